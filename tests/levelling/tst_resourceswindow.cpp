// The resources window driven through its controls: a small network worked by hand, random
// networks whose levelled schedule is checked straight against the work table, and the messages
// of input that cannot be levelled.
#include "DateFormat.h"
#include "DelimitedText.h"
#include "DialogDriver.h"
#include "EventIndex.h"
#include "FileTestSupport.h"
#include "LevellingOracle.h"
#include "LoadChartPainter.h"
#include "NameCollation.h"
#include "NumberFormat.h"
#include "Recalculation.h"
#include "ResourceNetwork.h"
#include "TfmResources.h"
#include "WidgetTestSupport.h"
#include "WorkTable.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

#include <random>

using testsupport::child;

class TestResourcesWindow : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { cancelPendingAnswers(); }
    void showsTheProfilesAndLevelsTheExample();
    void levelledScheduleKeepsTheLinksAndTheAmounts();
    void refusesWhatCannotBeLevelled();
    void savesTheTablesAndTheProfileAsShown();
};

namespace {

struct Work
{
    const char* from;
    const char* to;
    QString duration;
    QString name;
    double workers = 0;
};

const NumberFormat& numbers()
{
    static const NumberFormat format(QStringLiteral(","));
    return format;
}

// The works in the table, each demanding `workers` of the plan's one resource.
void fill(WorkTable& table, const std::vector<Work>& works, ResourceId resource)
{
    table.setRowCount(int(works.size()));
    for (int row = 0; row < int(works.size()); ++row) {
        const Work& work = works[std::size_t(row)];
        table.setCell(WorkColumn::StartEvent, row, QString::fromLatin1(work.from));
        table.setCell(WorkColumn::EndEvent, row, QString::fromLatin1(work.to));
        table.setCell(WorkColumn::Duration, row, work.duration);
        WorkDetails details;
        details.name = work.name;
        if (work.workers > 0)
            details.setDemand(resource, work.workers);
        table.setDetails(row, details);
    }
}

ResourceId addWorkers(Plan& plan, std::optional<double> available)
{
    const ResourceId id = plan.addResource();
    plan.updateResource({id, QStringLiteral("Монтажники"), QStringLiteral("чел."), available});
    return id;
}

std::vector<QStringList> texts(std::initializer_list<std::initializer_list<const char*>> rows)
{
    std::vector<QStringList> list;
    for (const auto& row : rows) {
        QStringList cells;
        for (const char* cell : row)
            cells.append(QString::fromUtf8(cell));
        list.push_back(cells);
    }
    return list;
}

std::vector<QStringList> rowsOf(const QTableWidget* table)
{
    std::vector<QStringList> rows;
    for (int row = 0; row < table->rowCount(); ++row) {
        QStringList cells;
        for (int column = 0; column < table->columnCount(); ++column)
            cells.append(table->item(row, column)->text());
        rows.push_back(cells);
    }
    return rows;
}

QStringList captionsOf(const QTableWidget* table)
{
    QStringList captions;
    for (int column = 0; column < table->columnCount(); ++column)
        captions.append(table->horizontalHeaderItem(column)->text());
    return captions;
}

QString levelledLength(const QLabel* label)
{
    const QString prefix = QStringLiteral("Выровненная длина: ");
    const qsizetype at = label->text().indexOf(prefix);
    return at < 0 ? QString() : label->text().mid(at + prefix.size()).trimmed();
}

struct Step
{
    double from, to, demand;
    bool operator==(const Step&) const = default;
};

std::vector<Step> stepsOf(const ResourceLoad& load)
{
    std::vector<Step> steps;
    for (const ResourceLoad::Step& step : load.steps)
        steps.push_back({step.from, step.to, step.demand});
    return steps;
}

// What the window shows for a table, given a plan, made as the main window makes it.
struct Opened
{
    Opened(const WorkTable& table, Plan& plan, const QString& start, const QString& end)
        : index(table, names), network(table, index, start, end, plan.resources(), numbers()),
          window(network, plan, numbers())
    {
    }
    NameCollation names;
    EventIndex index;
    ResourceNetwork network;
    TfmResources window;
};

void level(TfmResources& window)
{
    child<QAbstractButton>(&window, "sbLevel")->click();
}

} // namespace

void TestResourcesWindow::showsTheProfilesAndLevelsTheExample()
{
    // Three fitters. Installing (A, 4 days, 2 fitters) and then testing (C, 2 days, 1) is the
    // critical path of 6 days; cabling (B, 2 days, 2) and marking (D, 1 day, 1) run beside it.
    WorkTable table;
    Plan plan;
    const ResourceId fitters = addWorkers(plan, 3);
    fill(table,
         {{"1", "2", QStringLiteral("4"), QStringLiteral("Монтаж"), 2},
          {"2", "3", QStringLiteral("2"), QStringLiteral("Испытания"), 1},
          {"1", "3", QStringLiteral("2"), QStringLiteral("Кабели"), 2},
          {"1", "3", QStringLiteral("1"), QStringLiteral("Разметка"), 1}},
         fitters);
    const QStringList cellsBefore = testsupport::allCells(table);
    Opened opened(table, plan, QStringLiteral("1"), QStringLiteral("3"));
    TfmResources& window = opened.window;
    QCOMPARE(testsupport::comboEntries(child<QComboBox>(&window, "cbResource")),
             QStringList{QStringLiteral("Монтажники")});
    QCOMPARE(testsupport::comboEntries(child<QComboBox>(&window, "cbSchedule")),
             (QStringList{QStringLiteral("Ранние сроки"), QStringLiteral("Поздние сроки"),
                          QStringLiteral("После выравнивания")}));
    auto* schedule = child<QComboBox>(&window, "cbSchedule");
    auto* overloads = child<QTableWidget>(&window, "sgOverloads");
    auto* levelled = child<QTableWidget>(&window, "sgLevelled");
    QCOMPARE(captionsOf(overloads),
             (QStringList{QStringLiteral("С"), QStringLiteral("По"), QStringLiteral("Требуется"),
                          QStringLiteral("Доступно")}));
    QCOMPARE(child<QLineEdit>(&window, "eLevelSeconds")->text(), QStringLiteral("1"));
    QCOMPARE(levelledLength(child<QLabel>(&window, "lLevelled")), QStringLiteral("—"));

    // Early: all start at 0: 5 fitters on day 0, 4 on day 1, A alone to day 4, then C.
    QCOMPARE(stepsOf(window.shownLoad()),
             (std::vector<Step>{{0, 1, 5}, {1, 2, 4}, {2, 4, 2}, {4, 6, 1}}));
    QCOMPARE(rowsOf(overloads), texts({{"0", "1", "5", "3"}, {"1", "2", "4", "3"}}));
    // Late: B at 4, D at 5: 2 fitters to day 4, 3 on day 4, 4 on day 5.
    schedule->setCurrentIndex(1);
    QCOMPARE(stepsOf(window.shownLoad()), (std::vector<Step>{{0, 4, 2}, {4, 5, 3}, {5, 6, 4}}));
    QCOMPARE(rowsOf(overloads), texts({{"5", "6", "4", "3"}}));

    // B cannot run beside A (2 + 2 > 3) and so waits for it, beside C; D fits beside A at once.
    // L = 6 is kept.
    level(window);
    QCOMPARE(schedule->currentIndex(), 2);
    QCOMPARE(levelledLength(child<QLabel>(&window, "lLevelled")), QStringLiteral("6"));
    QVERIFY(child<QLabel>(&window, "lLevelled")->text().contains(QStringLiteral("L = 6")));
    QCOMPARE(stepsOf(window.shownLoad()), (std::vector<Step>{{0, 1, 3}, {1, 4, 2}, {4, 6, 3}}));
    QCOMPARE(overloads->rowCount(), 0);
    QCOMPARE(captionsOf(levelled),
             (QStringList{QStringLiteral("Работа"), QStringLiteral("Наименование"),
                          QStringLiteral("Раннее начало"),
                          QStringLiteral("Начало после выравнивания"), QStringLiteral("Сдвиг")}));
    QCOMPARE(rowsOf(levelled), texts({{"1 → 2", "Монтаж", "0", "0", "0"},
                                      {"2 → 3", "Испытания", "4", "4", "0"},
                                      {"1 → 3", "Кабели", "0", "4", "4"},
                                      {"1 → 3", "Разметка", "0", "0", "0"}}));
    // The levelled starts live in the plan, not in the table, and a new window shows them again.
    QCOMPARE(testsupport::allCells(table), cellsBefore);
    QVERIFY(!plan.section(QString::fromUtf16(plansection::kLevelling)).empty());
    Opened again(table, plan, QStringLiteral("1"), QStringLiteral("3"));
    QCOMPARE(child<QComboBox>(&again.window, "cbSchedule")->currentIndex(), 2);
    QCOMPARE(rowsOf(child<QTableWidget>(&again.window, "sgLevelled")), rowsOf(levelled));
    // A changed network does not take the old starts for its own.
    table.setCell(WorkColumn::Duration, 2, QStringLiteral("3"));
    Opened changed(table, plan, QStringLiteral("1"), QStringLiteral("3"));
    QCOMPARE(child<QTableWidget>(&changed.window, "sgLevelled")->rowCount(), 0);
    QCOMPARE(child<QComboBox>(&changed.window, "cbSchedule")->currentIndex(), 0);
}

namespace {

// A levelled schedule checked against the table itself, with none of the levelling's parts:
// every work starts when the works ending at its start event have finished, at no start of a work
// do the works running need more than `available`, and the last finish is `length`. Empty when
// all holds.
QString tableScheduleFault(const WorkTable& table, const std::vector<QStringList>& levelledRows,
                           ResourceId resource, double available, double length)
{
    struct Running
    {
        QString from, to;
        double start, duration, demand;
    };
    std::vector<Running> works;
    for (const QStringList& row : levelledRows) {
        const QStringList events = row[0].split(QStringLiteral(" → "));
        int found = -1;
        for (int r = 0; r < table.rowCount(); ++r)
            if (table.cell(WorkColumn::StartEvent, r) == events[0] &&
                table.cell(WorkColumn::EndEvent, r) == events[1] && table.details(r).name == row[1])
                found = r;
        if (found < 0)
            return QStringLiteral("no row for ") + row.join(u' ');
        works.push_back({events[0], events[1], double(numbers().parse(row[3])),
                         double(numbers().parse(table.cell(WorkColumn::Duration, found))),
                         table.details(found).demand(resource).value_or(0)});
    }
    constexpr double kSlack = 1e-9;
    double last = 0;
    for (const Running& work : works) {
        last = std::max(last, work.start + work.duration);
        if (work.start < -kSlack)
            return QStringLiteral("%1 starts before 0").arg(work.from);
        for (const Running& before : works)
            if (before.to == work.from && before.start + before.duration > work.start + kSlack)
                return QStringLiteral("%1 → %2 starts too early").arg(work.from, work.to);
        double load = 0;
        for (const Running& other : works)
            if (other.duration > 0 && other.start <= work.start + kSlack &&
                work.start < other.start + other.duration - kSlack)
                load += other.demand;
        if (work.duration > 0 && load > available + kSlack)
            return QStringLiteral("%1 fitters at %2").arg(load).arg(work.start);
    }
    if (std::abs(last - length) > kSlack)
        return QStringLiteral("length %1, last finish %2").arg(length).arg(last);
    return {};
}

} // namespace

void TestResourcesWindow::levelledScheduleKeepsTheLinksAndTheAmounts()
{
    // Random layered networks with halves of days and of fitters: the window puts them on finer
    // grids, and its schedule must still hold in the table's own numbers. Tiny ones must be as
    // short as an exhaustive search finds.
    std::mt19937 random(27);
    for (int round = 0; round < 24; ++round) {
        const bool tiny = round % 2 == 0;
        const int events = tiny ? 4 : 9;
        std::vector<Work> works;
        std::vector<QByteArray> names;
        for (int e = 1; e < events; ++e) {
            // Every event has a work to the next, so all works lie between the ends.
            const int extra = tiny ? int(random() % 2) : int(random() % 3);
            for (int k = 0; k <= extra; ++k) {
                const int to = k == 0 ? e + 1 : std::min(events, e + 1 + int(random() % 3));
                const int halves = 1 + int(random() % (tiny ? 4 : 8));
                const double workers = 0.5 * double(random() % 7);
                names.push_back(QByteArray::number(e));
                names.push_back(QByteArray::number(to));
                works.push_back({nullptr, nullptr, numbers().format(halves / 2.0),
                                 QStringLiteral("W%1").arg(works.size()), workers});
            }
        }
        for (std::size_t i = 0; i < works.size(); ++i) {
            works[i].from = names[2 * i].constData();
            works[i].to = names[2 * i + 1].constData();
        }
        WorkTable table;
        Plan plan;
        const double available = 3 + 0.5 * double(random() % 3);
        const ResourceId fitters = addWorkers(plan, available);
        fill(table, works, fitters);
        Opened opened(table, plan, QStringLiteral("1"), QString::number(events));
        // A tenth of a second is plenty for a network this small, and keeps the test quick.
        child<QLineEdit>(&opened.window, "eLevelSeconds")->setText(QStringLiteral("0,1"));
        level(opened.window);
        const std::vector<QStringList> rows =
            rowsOf(child<QTableWidget>(&opened.window, "sgLevelled"));
        QCOMPARE(rows.size(), works.size());
        const double length =
            double(numbers().parse(levelledLength(child<QLabel>(&opened.window, "lLevelled"))));
        const QString fault = tableScheduleFault(table, rows, fitters, available, length);
        QVERIFY2(fault.isEmpty(), qPrintable(fault));
        if (tiny) {
            const int shortest = shortestLengthByEnumeration(opened.network.problem());
            QCOMPARE(length, opened.network.days(shortest));
        }
    }
}

void TestResourcesWindow::refusesWhatCannotBeLevelled()
{
    WorkTable table;
    Plan plan;
    const ResourceId fitters = addWorkers(plan, 2.5);
    fill(table,
         {{"1", "2", QStringLiteral("4"), QStringLiteral("Монтаж"), 2},
          {"2", "3", QStringLiteral("2"), QStringLiteral("Подъём"), 3.5}},
         fitters);
    {
        Opened opened(table, plan, QStringLiteral("1"), QStringLiteral("3"));
        QString message;
        captureErrorBox(message);
        level(opened.window);
        QTRY_VERIFY(!message.isEmpty());
        for (const QString& part :
             {QStringLiteral("2 → 3"), QStringLiteral("Подъём"), QStringLiteral("Монтажники"),
              QStringLiteral("3,5"), QStringLiteral("2,5")})
            QVERIFY2(message.contains(part), qPrintable(message));
        QCOMPARE(child<QTableWidget>(&opened.window, "sgLevelled")->rowCount(), 0);
        QCOMPARE(levelledLength(child<QLabel>(&opened.window, "lLevelled")), QStringLiteral("—"));
        QVERIFY(!LevellingSettings::fromSection(
                     plan.section(QString::fromUtf16(plansection::kLevelling)))
                     .hasSchedule());
    }
    // A loop between the ends gives the message a recalculation gives.
    table.setCell(WorkColumn::EndEvent, 1, QStringLiteral("1"));
    table.setRowCount(3);
    table.setCell(WorkColumn::StartEvent, 2, QStringLiteral("2"));
    table.setCell(WorkColumn::EndEvent, 2, QStringLiteral("3"));
    table.setCell(WorkColumn::Duration, 2, QStringLiteral("1"));
    const NameCollation names;
    const DateFormat dates(QLocale::c());
    const QString recalculation = testsupport::messageOf([&] {
        Recalculation recalculate(table, QStringLiteral("1"), QStringLiteral("3"), 0, numbers(),
                                  dates, names);
        QStringList path;
        recalculate.criticalLength(path);
    });
    QVERIFY(recalculation.contains(QStringLiteral("1")));
    QCOMPARE(testsupport::messageOf(
                 [&] { Opened opened(table, plan, QStringLiteral("1"), QStringLiteral("3")); }),
             recalculation);
}

namespace {

int pixelsOf(const QImage& image, unsigned colour)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += image.pixel(x, y) == QRgb(colour);
    return count;
}

} // namespace

// The CSV file holds the tables as the window shows them, and the picture shows the overload in
// red exactly when the overload table lists one.
void TestResourcesWindow::savesTheTablesAndTheProfileAsShown()
{
    WorkTable table;
    Plan plan;
    const ResourceId fitters = addWorkers(plan, 3);
    fill(table,
         {{"1", "2", QStringLiteral("4"), QStringLiteral("Монтаж"), 2},
          {"1", "2", QStringLiteral("2"), QStringLiteral("=Кабели; \"жилые\""), 2}},
         fitters);
    Opened opened(table, plan, QStringLiteral("1"), QStringLiteral("2"));
    TfmResources& window = opened.window;
    QTemporaryDir folder;
    const auto save = [&](const char* command, const char* dialog, const char* name) {
        const QString path = folder.filePath(QLatin1String(name));
        answerFileDialog(path, dialog);
        child<QAbstractButton>(&window, command)->click();
        return path;
    };
    const QImage early(save("tbSaveProfile", "sdResourceProfile", "early.png"));
    QCOMPARE(child<QTableWidget>(&window, "sgOverloads")->rowCount(), 1);
    level(window);
    QCOMPARE(child<QTableWidget>(&window, "sgOverloads")->rowCount(), 0);
    const QImage levelled(save("tbSaveProfile", "sdResourceProfile", "levelled.png"));
    QCOMPARE(early.size(), loadchart::kPictureSize.toSize());
    QVERIFY(pixelsOf(early, loadchart::kOverloadColour) > 0);
    QCOMPARE(pixelsOf(levelled, loadchart::kOverloadColour), 0);
    QVERIFY(pixelsOf(levelled, loadchart::kAvailableColour) > 0);
    QVERIFY(pixelsOf(levelled, loadchart::kDemandColour) >
            pixelsOf(early, loadchart::kDemandColour));

    QByteArray bytes = testsupport::readAll(save("tbSaveResourcesCsv", "sdResourcesCsv", "t.csv"));
    QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
    // Read back with the program's own reader of delimited text, formula guards taken off.
    std::vector<QStringList> records;
    delimitedtext::forEachRecord(QString::fromUtf8(bytes.mid(3)), u';',
                                 [&records](const QStringList& fields, int) {
                                     QStringList plain;
                                     for (const QString& field : fields)
                                         plain.append(delimitedtext::formulaUnguarded(field));
                                     records.push_back(plain);
                                 });
    // The title line names the resource and the schedule the overloads are of.
    QVERIFY(!records.empty());
    QCOMPARE(records.front(),
             QStringList{QStringLiteral("Ресурс «Монтажники», чел.: после выравнивания")});
    std::vector<QStringList> expected{records.front()};
    expected.push_back(captionsOf(child<QTableWidget>(&window, "sgOverloads")));
    expected.push_back({QString()});
    expected.push_back({QStringLiteral("Выровненные сроки")});
    expected.push_back(captionsOf(child<QTableWidget>(&window, "sgLevelled")));
    for (const QStringList& row : rowsOf(child<QTableWidget>(&window, "sgLevelled")))
        expected.push_back(row);
    QCOMPARE(records, expected);
    QCOMPARE(records.back()[1], QStringLiteral("=Кабели; \"жилые\""));
}

QTEST_MAIN(TestResourcesWindow)
#include "tst_resourceswindow.moc"
