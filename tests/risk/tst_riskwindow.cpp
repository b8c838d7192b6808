#include "../app/DialogDriver.h"

#include "DateFormat.h"
#include "DelimitedText.h"
#include "DetailRules.h"
#include "EventIndex.h"
#include "FileTestSupport.h"
#include "GeneratedNetwork.h"
#include "KestrinError.h"
#include "NameCollation.h"
#include "NumberFormat.h"
#include "Plan.h"
#include "Recalculation.h"
#include "RiskTableInput.h"
#include "ScheduleDates.h"
#include "TfmRisk.h"
#include "WidgetTestSupport.h"
#include "WorkCalendar.h"
#include "WorkTable.h"

#include <QComboBox>
#include <QDateEdit>
#include <QDoubleSpinBox>
#include <QImage>
#include <QLabel>
#include <QProgressBar>
#include <QSpinBox>
#include <QSvgRenderer>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

#include <memory>

using namespace testsupport;
using namespace Qt::StringLiterals;

namespace {

const NumberFormat& numbers()
{
    static const NumberFormat format(QStringLiteral(","));
    return format;
}

const DateFormat& dates()
{
    static const DateFormat format(QStringLiteral("dd.MM.yyyy"));
    return format;
}

// Monday.
const QDate kStart(2027, 3, 1);

struct Row
{
    const char* from;
    const char* to;
    const char* duration;
    std::optional<double> optimistic;
    std::optional<double> pessimistic;
    const char* name;
};

// The textbook example worked by hand. Two paths of expected length 13 by three estimates:
// 1-2-4-5 with σ² = (8² + 8² + 4²)/36 = 4, and 1-3-4-5 with σ² = (1,8² + 1,4² + 4²)/36. By two
// estimates 1-2-4-5 is the longest: 5,2 + 4,2 + 3,6 = 13 with σ² = 0,04 (64 + 64 + 16) = 5,76.
const std::vector<Row> kTextbook{
    {"1", "2", "3", 2, 10, "Проект"},       {"2", "4", "5", 1, 9, "Закупка"},
    {"4", "5", "4", 2, 6, "Монтаж"},        {"1", "3", "4", 3.1, 4.9, "Площадка"},
    {"3", "4", "5", 4.3, 5.7, "Фундамент"},
};

void fill(WorkTable& table, const std::vector<Row>& rows)
{
    table.setRowCount(int(rows.size()));
    for (int row = 0; row < int(rows.size()); ++row) {
        const Row& work = rows[std::size_t(row)];
        table.setCell(WorkColumn::StartEvent, row, QString::fromUtf8(work.from));
        table.setCell(WorkColumn::EndEvent, row, QString::fromUtf8(work.to));
        table.setCell(WorkColumn::Duration, row, QString::fromUtf8(work.duration));
        WorkDetails details;
        details.name = QString::fromUtf8(work.name);
        details.setNumber(DetailNumber::Optimistic, work.optimistic);
        details.setNumber(DetailNumber::Pessimistic, work.pessimistic);
        table.setDetails(row, details);
    }
}

ScheduleDates scheduleDates(bool workingDays)
{
    WorkCalendar calendar;
    calendar.setCountsWorkingDays(workingDays);
    return ScheduleDates(calendar, DateFormat::daysOf(kStart));
}

QStringList tableTexts(const QTableView* view)
{
    QStringList texts;
    const QAbstractItemModel* model = view->model();
    for (int row = 0; row < model->rowCount(); ++row)
        for (int column = 0; column < model->columnCount(); ++column)
            texts.append(model->index(row, column).data(Qt::DisplayRole).toString());
    return texts;
}

QStringList tableRow(const QTableView* view, int row)
{
    QStringList texts;
    for (int column = 0; column < view->model()->columnCount(); ++column)
        texts.append(view->model()->index(row, column).data(Qt::DisplayRole).toString());
    return texts;
}

QString label(const QWidget* window, const char* name)
{
    return child<QLabel>(window, name)->text();
}

// Every figure the window shows, the simulation's tables included.
QStringList figures(const QWidget* window)
{
    QStringList seen;
    for (const char* name : {"lExpected", "lProbability", "lConfidenceDate", "lSimProbability"})
        seen.append(label(window, name));
    seen.append(child<QDateEdit>(window, "deDirective")->text());
    for (const char* name : {"sgPercentiles", "sgCriticality"})
        seen.append(tableTexts(child<QTableView>(window, name)));
    return seen;
}

} // namespace

// The risk window driven as a user drives it, over the textbook example whose figures come from
// hand computation and the table of the normal law.
class TestRiskWindow : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void handExampleShowsTableValues_data();
    void handExampleShowsTableValues();
    void sameSeedGivesSameTablesAndSettingsStayInThePlan();
    void csvHoldsTheTables();
    void chartFilesAreValid();
    void loopGivesTheRecalculationMessage();
    void worksWithoutEstimatesKeepTheirLength();
    void worksOutsideTheirEstimatesAreCountedWithoutThem();
    void cancelKeepsTheRunsMade();

private:
    std::unique_ptr<TfmRisk> open(const ScheduleDates& schedule, const QString& end = u"5"_s);
    void simulate(TfmRisk& window);
    void saveThrough(TfmRisk& window, const char* command, const char* dialog, const QString& path);

    WorkTable m_table;
    Plan m_plan;
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestRiskWindow::init()
{
    m_table.setRowCount(1);
    fill(m_table, kTextbook);
    m_plan = Plan();
    m_dir = std::make_unique<QTemporaryDir>();
}

void TestRiskWindow::cleanup()
{
    cancelPendingAnswers();
}

std::unique_ptr<TfmRisk> TestRiskWindow::open(const ScheduleDates& schedule, const QString& end)
{
    const NameCollation names(QLocale(QLocale::Russian, QLocale::Russia));
    const EventIndex events(m_table, names);
    auto window = std::make_unique<TfmRisk>(
        risk::readRiskInput(m_table, events, QStringLiteral("1"), end, numbers()), schedule, m_plan,
        numbers(), dates());
    window->show();
    return window;
}

void TestRiskWindow::simulate(TfmRisk& window)
{
    clickChild(&window, "sbSimulate");
}

void TestRiskWindow::saveThrough(TfmRisk& window, const char* command, const char* dialog,
                                 const QString& path)
{
    answerFileDialog(path, dialog);
    clickChild(&window, command);
}

void TestRiskWindow::handExampleShowsTableValues_data()
{
    QTest::addColumn<bool>("workingDays");
    QTest::addColumn<int>("method");
    QTest::addColumn<QDate>("directive"); // invalid: the window's default
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QString>("probability");
    QTest::addColumn<QString>("reached"); // with the default confidence 0,95: z = 1,645

    // Φ(1) = 0,8413; Tкр + 1,645σ = 16,29 ends within day 17, so on the 18th.
    QTest::newRow("three estimates, Tд = 15")
        << false << 0 << QDate(2027, 3, 16) << u"Tкр = 13; σ = 2"_s << u"84,1 %"_s
        << u"16,29 — 18.03.2027"_s;
    // The default directive is the start plus 13 days: Φ(0).
    QTest::newRow("three estimates, default directive")
        << false << 0 << QDate() << u"Tкр = 13; σ = 2"_s << u"50,0 %"_s << u"16,29 — 18.03.2027"_s;
    // Φ(−1,5) = 0,0668.
    QTest::newRow("three estimates, Tд = 10")
        << false << 0 << QDate(2027, 3, 11) << u"Tкр = 13; σ = 2"_s << u"6,7 %"_s
        << u"16,29 — 18.03.2027"_s;
    // z = 2/2,4 = 0,833: between Φ(0,83) = 0,7967 and Φ(0,84) = 0,7995, 0,7976. 13 + 2,4 × 1,645
    // = 16,948.
    QTest::newRow("two estimates, Tд = 15")
        << false << 1 << QDate(2027, 3, 16) << u"Tкр = 13; σ = 2,4"_s << u"79,8 %"_s
        << u"16,95 — 18.03.2027"_s;
    QTest::newRow("directive before the start")
        << false << 0 << QDate(2027, 2, 27) << u"Tкр = 13; σ = 2"_s << u"0,0 %"_s
        << u"16,29 — 18.03.2027"_s;
    // Five-day weeks from Monday 1 March: Friday 19 March is working day 14 (three weeks of five
    // days, from 0), so z = 0,5 and Φ = 0,6915. Length 16,29 ends within working day 16,
    // Tuesday 23 March; it is met on Wednesday 24.
    QTest::newRow("working days, Tд = 14")
        << true << 0 << QDate(2027, 3, 19) << u"Tкр = 13; σ = 2"_s << u"69,1 %"_s
        << u"16,29 — 24.03.2027"_s;
}

void TestRiskWindow::handExampleShowsTableValues()
{
    QFETCH(bool, workingDays);
    QFETCH(int, method);
    QFETCH(QDate, directive);
    QFETCH(QString, expected);
    QFETCH(QString, probability);
    QFETCH(QString, reached);

    const ScheduleDates dates = scheduleDates(workingDays);
    const std::unique_ptr<TfmRisk> window = open(dates);
    QCOMPARE(child<QDoubleSpinBox>(window.get(), "eConfidence")->value(), 0.95);
    QCOMPARE(child<QSpinBox>(window.get(), "eRuns")->value(), 10000);
    QCOMPARE(child<QSpinBox>(window.get(), "eRuns")->maximum(), 1'000'000);
    QCOMPARE(child<QAbstractButton>(window.get(), "sbSimulate")->text(), u"Моделировать"_s);
    auto* directiveEdit = child<QDateEdit>(window.get(), "deDirective");
    // Tкр = 13: day 13 from the start, counted as the schedule counts.
    QCOMPARE(directiveEdit->date(), workingDays ? QDate(2027, 3, 18) : QDate(2027, 3, 14));
    child<QComboBox>(window.get(), "cbEstimate")->setCurrentIndex(method);
    if (directive.isValid())
        directiveEdit->setDate(directive);

    QVERIFY2(label(window.get(), "lExpected").contains(expected),
             qPrintable(label(window.get(), "lExpected")));
    QCOMPARE(label(window.get(), "lProbability"), probability);
    QCOMPARE(label(window.get(), "lConfidenceDate"), reached);
    if (probability == u"0,0 %"_s) {
        simulate(*window);
        QCOMPARE(label(window.get(), "lSimProbability"), probability);
    }
}

// Every setting made in one window is the plan's: a window opened afresh shows it, and its
// simulation gives the very same tables; another seed gives others. Every run is critical along
// one of the two paths, and 4–5 lies on both.
void TestRiskWindow::sameSeedGivesSameTablesAndSettingsStayInThePlan()
{
    const ScheduleDates dates = scheduleDates(false);
    QStringList percentiles;
    QStringList criticality;
    {
        const std::unique_ptr<TfmRisk> window = open(dates);
        child<QSpinBox>(window.get(), "eRuns")->setValue(20000);
        child<QSpinBox>(window.get(), "eSeed")->setValue(7);
        child<QComboBox>(window.get(), "cbDistribution")->setCurrentIndex(1);
        child<QComboBox>(window.get(), "cbEstimate")->setCurrentIndex(1);
        child<QDoubleSpinBox>(window.get(), "eConfidence")->setValue(0.9);
        child<QDateEdit>(window.get(), "deDirective")->setDate(QDate(2027, 3, 20));
        simulate(*window);
        percentiles = tableTexts(child<QTableView>(window.get(), "sgPercentiles"));
        criticality = tableTexts(child<QTableView>(window.get(), "sgCriticality"));
    }
    QCOMPARE(percentiles.size(), 6 * 3);
    QCOMPARE(percentiles[0], u"10,0 %"_s);
    QCOMPARE(percentiles[15], u"99,0 %"_s);

    const std::unique_ptr<TfmRisk> window = open(dates);
    QCOMPARE(child<QSpinBox>(window.get(), "eRuns")->value(), 20000);
    QCOMPARE(child<QSpinBox>(window.get(), "eSeed")->value(), 7);
    QCOMPARE(child<QComboBox>(window.get(), "cbDistribution")->currentIndex(), 1);
    QCOMPARE(child<QComboBox>(window.get(), "cbEstimate")->currentIndex(), 1);
    QCOMPARE(child<QDoubleSpinBox>(window.get(), "eConfidence")->value(), 0.9);
    QCOMPARE(child<QDateEdit>(window.get(), "deDirective")->date(), QDate(2027, 3, 20));
    simulate(*window);
    auto* sgCriticality = child<QTableView>(window.get(), "sgCriticality");
    QCOMPARE(tableTexts(child<QTableView>(window.get(), "sgPercentiles")), percentiles);
    QCOMPARE(tableTexts(sgCriticality), criticality);

    QCOMPARE(tableRow(sgCriticality, 0), (QStringList{u"4–5"_s, u"Монтаж"_s, u"100,0 %"_s}));
    std::map<QString, double> index;
    for (int row = 0; row < 5; ++row) {
        const QStringList texts = tableRow(sgCriticality, row);
        index[texts[0]] = double(numbers().parse(QStringView(texts[2]).chopped(2)));
        if (row > 0)
            QVERIFY(index[texts[0]] <= index[tableRow(sgCriticality, row - 1)[0]]);
    }
    QCOMPARE(index[u"1–2"_s], index[u"2–4"_s]);
    QCOMPARE(index[u"1–3"_s], index[u"3–4"_s]);
    QVERIFY(qAbs(index[u"1–2"_s] + index[u"1–3"_s] - 100) <= 0.1);

    child<QSpinBox>(window.get(), "eSeed")->setValue(8);
    simulate(*window);
    QVERIFY(tableTexts(child<QTableView>(window.get(), "sgPercentiles")) != percentiles);
}

// The CSV file read back as a spreadsheet reads it holds each table's captions and rows as the
// window shows them.
void TestRiskWindow::csvHoldsTheTables()
{
    const ScheduleDates dates = scheduleDates(false);
    const std::unique_ptr<TfmRisk> window = open(dates);
    simulate(*window);
    const QString path = m_dir->filePath(u"risk.csv"_s);
    saveThrough(*window, "tbSaveRiskCsv", "sdRiskCsv", path);

    const QByteArray bytes = readAll(path);
    QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
    QList<QStringList> records;
    QCOMPARE(delimitedtext::forEachRecord(
                 QString::fromUtf8(bytes.mid(3)), u';',
                 [&](const QStringList& fields, int) { records.append(fields); }),
             0);
    for (const char* name : {"sgPercentiles", "sgCriticality"}) {
        auto* view = child<QTableView>(window.get(), name);
        QStringList captions;
        for (int column = 0; column < view->model()->columnCount(); ++column)
            captions.append(view->model()->headerData(column, Qt::Horizontal).toString());
        const qsizetype at = records.indexOf(captions);
        QVERIFY2(at >= 0, name);
        QVERIFY(view->model()->rowCount() > 0);
        for (int row = 0; row < view->model()->rowCount(); ++row) {
            QStringList written = records.value(at + 1 + row);
            for (QString& field : written)
                field = delimitedtext::formulaUnguarded(field);
            QCOMPARE(written, tableRow(view, row));
        }
        // The table ends where the file's empty line or its end comes.
        const QStringList after = records.value(at + 1 + view->model()->rowCount());
        QVERIFY(after.isEmpty() || after == QStringList{QString()});
    }
    QCOMPARE(records.value(0).value(0).contains(label(window.get(), "lExpected")), true);
}

// The chart saved in each format through the one save dialog: a PNG of the chart's size that
// loads, an SVG that parses and renders, a PDF.
void TestRiskWindow::chartFilesAreValid()
{
    const ScheduleDates dates = scheduleDates(false);
    const std::unique_ptr<TfmRisk> window = open(dates);
    simulate(*window);

    const QString png = m_dir->filePath(u"chart.png"_s);
    saveThrough(*window, "tbSaveRiskChart", "sdRiskChart", png);
    const QImage image(png);
    QVERIFY(!image.isNull());
    QCOMPARE(image.size(), QSize(720, 380));
    // The bars and the curve are painted, not only the white ground.
    bool bar = false;
    bool curve = false;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            bar = bar || pixel == 0xff7fa4e0;
            curve = curve || pixel == 0xffd81818;
        }
    QVERIFY(bar && curve);

    const QString svg = m_dir->filePath(u"chart.svg"_s);
    saveThrough(*window, "tbSaveRiskChart", "sdRiskChart", svg);
    QXmlStreamReader xml(readAll(svg));
    while (!xml.atEnd())
        xml.readNext();
    QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
    QVERIFY(QSvgRenderer(svg).isValid());

    const QString pdf = m_dir->filePath(u"chart.pdf"_s);
    saveThrough(*window, "tbSaveRiskChart", "sdRiskChart", pdf);
    const QByteArray bytes = readAll(pdf);
    QVERIFY(bytes.startsWith("%PDF-"));
    QVERIFY(bytes.trimmed().endsWith("%%EOF"));
}

void TestRiskWindow::loopGivesTheRecalculationMessage()
{
    fill(m_table, {{"1", "2", "3", 2, 4, ""},
                   {"2", "3", "1", {}, {}, ""},
                   {"3", "2", "1", {}, {}, ""},
                   {"3", "4", "2", 1, 3, ""}});
    const NameCollation names(QLocale(QLocale::Russian, QLocale::Russia));
    const QString expected = messageOf([&] {
        Recalculation recalculation(m_table, u"1"_s, u"4"_s, 0, numbers(), dates(), names);
        QStringList path;
        recalculation.criticalLength(path);
    });
    QVERIFY(expected.startsWith(u"Сетевой график содержит цикл"_s));
    const EventIndex events(m_table, names);
    QCOMPARE(messageOf([&] { risk::readRiskInput(m_table, events, u"1"_s, u"4"_s, numbers()); }),
             expected);
}

// Without estimates every run has the fixed length: each percentile is Tкр and falls on its date,
// the default directive is met for sure by either method, and the one path is always critical.
void TestRiskWindow::worksWithoutEstimatesKeepTheirLength()
{
    fill(m_table, {{"1", "2", "2,5", {}, {}, ""}, {"2", "3", "4", {}, {}, ""}});
    const ScheduleDates dates = scheduleDates(false);
    const std::unique_ptr<TfmRisk> window = open(dates, u"3"_s);
    QCOMPARE(label(window.get(), "lExpected"), u"Tкр = 6,5; σ = 0"_s);
    QCOMPARE(child<QDateEdit>(window.get(), "deDirective")->date(), QDate(2027, 3, 8));
    QCOMPARE(label(window.get(), "lProbability"), u"100,0 %"_s);
    simulate(*window);
    QCOMPARE(label(window.get(), "lSimProbability"), u"100,0 %"_s);
    auto* percentiles = child<QTableView>(window.get(), "sgPercentiles");
    QCOMPARE(percentiles->model()->rowCount(), 6);
    for (int row = 0; row < 6; ++row)
        QCOMPARE(tableRow(percentiles, row).mid(1), (QStringList{u"6,5"_s, u"08.03.2027"_s}));
    const QStringList criticality = tableTexts(child<QTableView>(window.get(), "sgCriticality"));
    QCOMPARE(criticality,
             (QStringList{u"1–2"_s, QString(), u"100,0 %"_s, u"2–3"_s, QString(), u"100,0 %"_s}));
}

// A long simulation stopped from the window: while it runs, the window stays live with only the
// cancel enabled and does not close; afterwards it shows the runs made, marked as cancelled.
void TestRiskWindow::cancelKeepsTheRunsMade()
{
    testsupport::fillGeneratedNetwork(m_table, 2000, 6000);
    for (int row = 0; row < m_table.rowCount(); ++row) {
        const double m = double(numbers().parse(m_table.cellView(WorkColumn::Duration, row)));
        WorkDetails details;
        details.setNumber(DetailNumber::Optimistic, m / 2);
        details.setNumber(DetailNumber::Pessimistic, m * 2);
        m_table.setDetails(row, details);
    }
    const ScheduleDates dates = scheduleDates(false);
    const std::unique_ptr<TfmRisk> window = open(dates, u"2000"_s);
    child<QSpinBox>(window.get(), "eRuns")->setValue(1'000'000);
    auto* progress = child<QProgressBar>(window.get(), "pbSimulation");
    bool liveWhileRunning = false;
    QTimer poll;
    connect(&poll, &QTimer::timeout, &poll, [&] {
        if (progress->value() == 0)
            return;
        poll.stop();
        window->reject();
        liveWhileRunning = window->isVisible() &&
                           !child<QAbstractButton>(window.get(), "sbSimulate")->isEnabled() &&
                           !child<QSpinBox>(window.get(), "eRuns")->isEnabled();
        clickChild(window.get(), "sbCancel");
    });
    poll.start(5);
    simulate(*window);
    QVERIFY(liveWhileRunning);
    const QString summary = label(window.get(), "lSimulated");
    QVERIFY2(summary.endsWith(u" (прервано)"_s), qPrintable(summary));
    const qint64 runs = summary.section(u';', 0, 0).section(u' ', 1).toLongLong();
    QVERIFY2(runs > 0 && runs < 1'000'000, qPrintable(summary));
    QCOMPARE(child<QTableView>(window.get(), "sgPercentiles")->model()->rowCount(), 6);
    QVERIFY(child<QAbstractButton>(window.get(), "sbSimulate")->isEnabled());
    QVERIFY(!child<QAbstractButton>(window.get(), "sbCancel")->isEnabled());
}

// A duration changed after the estimates were set, as the element dialog may change it, leaves
// them behind: the window still opens, names exactly those works, and its figures are those of
// the same network whose works have no estimates at all.
void TestRiskWindow::worksOutsideTheirEstimatesAreCountedWithoutThem()
{
    // 1–2 above its pessimistic 10, 3–4 below its optimistic 4,3 and without a name.
    m_table.setCell(WorkColumn::Duration, 0, u"11"_s);
    m_table.setCell(WorkColumn::Duration, 4, u"4"_s);
    WorkDetails nameless = m_table.details(4);
    nameless.name.clear();
    m_table.setDetails(4, nameless);
    QCOMPARE(detailrules::worksBreakingDetails(m_table, numbers()), (std::vector<int>{0, 4}));

    const ScheduleDates dates = scheduleDates(false);
    const std::unique_ptr<TfmRisk> window = open(dates);
    auto* leftOut = child<QLabel>(window.get(), "lLeftOut");
    QVERIFY(leftOut->isVisible());
    const QString line = u"Без оценок (продолжительность вне оценок): 1–2 «Проект», 3–4"_s;
    QCOMPARE(leftOut->text(), line);
    simulate(*window);
    const QStringList seen = figures(window.get());
    const QString path = m_dir->filePath(u"risk.csv"_s);
    saveThrough(*window, "tbSaveRiskCsv", "sdRiskCsv", path);
    QVERIFY(QString::fromUtf8(readAll(path)).contains(line));

    // The oracle: the same durations, those two works with no estimates to leave out.
    for (int row : {0, 4}) {
        WorkDetails details = m_table.details(row);
        details.setNumber(DetailNumber::Optimistic, std::nullopt);
        details.setNumber(DetailNumber::Pessimistic, std::nullopt);
        m_table.setDetails(row, details);
    }
    const std::unique_ptr<TfmRisk> plain = open(dates);
    QVERIFY(child<QLabel>(plain.get(), "lLeftOut")->isHidden());
    simulate(*plain);
    QCOMPARE(figures(plain.get()), seen);
    // Not a vacuous match: the works kept their estimates, so the length is uncertain.
    QVERIFY(!label(plain.get(), "lExpected").endsWith(u"σ = 0"_s));
}

QTEST_MAIN(TestRiskWindow)
#include "tst_riskwindow.moc"
