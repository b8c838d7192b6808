#include "DateFormat.h"
#include "FileErrorText.h"
#include "FileTestSupport.h"
#include "NameCollation.h"
#include "NumberFormat.h"
#include "PlanFile.h"
#include "Recalculation.h"
#include "WorkFieldRule.h"
#include "WorkListFile.h"
#include "WorkTable.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>

#include <sys/stat.h>

namespace {

using testsupport::messageOf;
using testsupport::readAll;
using testsupport::writeAll;

// Texts that XML must escape or keep exactly: Cyrillic, quotes, ampersands, angle brackets,
// blanks at either end, nothing at all, characters beyond the basic plane.
QString randomText(QRandomGenerator& random)
{
    static const QStringList pieces = {
        QStringLiteral("Котлован"), QStringLiteral("\""),    QStringLiteral("'"),
        QStringLiteral("&"),        QStringLiteral("&amp;"), QStringLiteral("<"),
        QStringLiteral(">"),        QStringLiteral(" "),     QStringLiteral("«ёлка»"),
        QStringLiteral("]]>"),      QStringLiteral("1"),     QStringLiteral("Ω😀"),
        QStringLiteral("\t"),       QStringLiteral("2,5"),   QStringLiteral("A b")};
    QString text;
    for (int i = random.bounded(5); i > 0; --i)
        text += pieces[random.bounded(int(pieces.size()))];
    // A tab is a control character: no text of a plan holds one.
    text.remove(u'\t');
    return text;
}

// A text of a work or an event name: the work list file holds it, so only Windows-1251.
QString randomField(QRandomGenerator& random)
{
    return randomText(random).remove(QStringLiteral("Ω😀"));
}

std::optional<double> randomNumber(QRandomGenerator& random, double low = 0)
{
    if (random.bounded(3) == 0)
        return std::nullopt;
    const double values[] = {0.1, 1e-300, 1e300, 2.5, 1.0 / 3};
    return low + (random.bounded(4) ? random.bounded(1000.0) : values[random.bounded(5)]);
}

// Details that keep their own rules (their duration may not fit them).
WorkDetails randomDetails(QRandomGenerator& random, const Plan& plan)
{
    WorkDetails details;
    if (random.bounded(3) == 0)
        return details;
    details.name = randomText(random);
    const auto optimistic = randomNumber(random);
    details.setNumber(DetailNumber::Optimistic, optimistic);
    details.setNumber(DetailNumber::Pessimistic, randomNumber(random, optimistic.value_or(0)));
    details.setNumber(DetailNumber::Shortest, randomNumber(random));
    const auto cost = randomNumber(random);
    details.setNumber(DetailNumber::NormalCost, cost);
    details.setNumber(DetailNumber::ShortestCost, randomNumber(random, cost.value_or(0)));
    for (const Resource& resource : plan.resources()) {
        if (random.bounded(3) == 0)
            details.setDemand(resource.id, randomNumber(random));
    }
    return details;
}

Plan randomPlan(QRandomGenerator& random)
{
    Plan plan;
    for (int i = random.bounded(random.bounded(2) ? 4 : 40); i > 0; --i) {
        const ResourceId id = plan.addResource();
        Resource resource = *plan.resource(id);
        if (random.bounded(2))
            resource.name = randomText(random) + QString::number(id);
        resource.unit = randomText(random);
        resource.available = randomNumber(random);
        plan.updateResource(resource);
    }
    if (random.bounded(4) == 0)
        plan.removeResource(plan.resources().empty() ? 0 : plan.resources().front().id);
    plan.setStartDate(random.bounded(2) ? random.bounded(60000) : random.bounded(60000.0));
    plan.setEnds(randomField(random), randomField(random), random.bounded(2));
    std::vector<EventPlacement> placement;
    for (int i = random.bounded(5); i > 0; --i)
        placement.push_back({randomField(random) + QString::number(i),
                             QPoint(random.bounded(-50, 2000), random.bounded(2000))});
    plan.setGraphPlacement(placement);
    for (int i = random.bounded(3); i > 0; --i) {
        PlanSection section;
        for (int j = random.bounded(1, 4); j > 0; --j)
            section[randomText(random) + QString::number(j)] = randomText(random);
        plan.setSection(i == 1 ? QString::fromUtf16(plansection::kSimulation)
                               : randomText(random) + QString::number(i),
                        section);
    }
    return plan;
}

void fillRandomWorks(WorkTable& table, const Plan& plan, QRandomGenerator& random)
{
    // Now and then a plan far longer than one chunk of the parser.
    const int rows = random.bounded(8) == 0 ? random.bounded(1000, 4000)
                     : random.bounded(4)    ? random.bounded(1, 30)
                                            : 1;
    table.setRowCount(rows);
    for (int row = 0; row < rows; ++row) {
        for (WorkColumn column :
             {WorkColumn::StartEvent, WorkColumn::EndEvent, WorkColumn::Duration})
            table.setCell(column, row, randomField(random));
        table.setDetails(row, randomDetails(random, plan));
        // Computed cells are not part of the plan.
        table.setCell(WorkColumn::EarlyStart, row, QStringLiteral("7"));
    }
}

void apply(planfile::Contents contents, WorkTable& table, Plan& plan)
{
    table.replaceRows(0, table.rowCount(), contents.works);
    plan = std::move(contents.plan);
}

void compareWorks(const WorkTable& read, const WorkTable& written)
{
    QCOMPARE(read.rowCount(), written.rowCount());
    for (int row = 0; row < read.rowCount(); ++row) {
        for (WorkColumn column :
             {WorkColumn::StartEvent, WorkColumn::EndEvent, WorkColumn::Duration})
            QCOMPARE(read.cell(column, row), written.cell(column, row));
        QVERIFY(read.details(row) == written.details(row));
    }
}

QString planText(const QString& inside)
{
    return QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                          "<kestrin-plan version=\"1\">\n") +
           inside + QStringLiteral("</kestrin-plan>\n");
}

} // namespace

class TestPlanFile : public QObject
{
    Q_OBJECT

private slots:
    void randomPlansComeBackExactly();
    void readsAsTheWorkListFileDoes();
    void damagedFilesNameTheirLine_data();
    void damagedFilesNameTheirLine();
    void refusesWhatIsNoPlainFile();
    void failureWhileParsingReachesTheCaller();
    void writeRefusesTextsTheReaderRefuses();
};

void TestPlanFile::randomPlansComeBackExactly()
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("план «1».kpl"));
    QRandomGenerator random(2412);
    for (int round = 0; round < 60; ++round) {
        const Plan plan = randomPlan(random);
        WorkTable table;
        fillRandomWorks(table, plan, random);
        QCOMPARE(messageOf([&] { planfile::write(path, table, plan); }),
                 QStringLiteral("(no error)"));
        WorkTable readTable;
        readTable.setRowCount(3);
        Plan readPlan;
        QCOMPARE(messageOf([&] { apply(planfile::read(path), readTable, readPlan); }),
                 QStringLiteral("(no error)"));
        compareWorks(readTable, table);
        QVERIFY(readPlan == plan);
        // What was read writes the same bytes again.
        QCOMPARE(planfile::encode(readTable, readPlan), readAll(path));
    }
}

void TestPlanFile::readsAsTheWorkListFileDoes()
{
    // A network read from a plan and recalculated gives the cells the same works give when read
    // from a work list file and recalculated with the plan's start date and ends.
    const NumberFormat numbers(QStringLiteral(","));
    const DateFormat dates(QStringLiteral("dd.MM.yyyy"));
    const NameCollation names(QLocale(QLocale::Russian, QLocale::Russia));
    QRandomGenerator random(9);
    WorkTable table;
    const int rows = 400;
    table.setRowCount(rows);
    Plan plan;
    plan.addResource();
    for (int row = 0; row < rows; ++row) {
        // A chain from 0 to 130, and works across it.
        const int from = row < 130 ? row : random.bounded(120);
        const int to = row < 130 ? row + 1 : from + random.bounded(1, 10);
        table.setCell(WorkColumn::StartEvent, row, QString::number(from));
        table.setCell(WorkColumn::EndEvent, row, QString::number(to));
        table.setCell(WorkColumn::Duration, row,
                      random.bounded(2) ? QString::number(random.bounded(9))
                                        : QStringLiteral("%1,5").arg(random.bounded(9)));
        table.setDetails(row, randomDetails(random, plan));
    }
    plan.setStartDate(46363);
    plan.setEnds(QStringLiteral("0"), QStringLiteral("130"), false);

    QTemporaryDir folder;
    const QString kdf = folder.filePath(QStringLiteral("works.kdf"));
    const QString kpl = folder.filePath(QStringLiteral("works.kpl"));
    worklistfile::write(kdf, table);
    planfile::write(kpl, table, plan);

    WorkTable fromList;
    worklistfile::read(kdf, fromList);
    WorkTable fromPlan;
    Plan readPlan;
    apply(planfile::read(kpl), fromPlan, readPlan);
    for (WorkTable* read : {&fromList, &fromPlan}) {
        Recalculation recalculation(*read, readPlan.startEvent(), readPlan.endEvent(),
                                    readPlan.startDate(), numbers, dates, names);
        QStringList path;
        QVERIFY(recalculation.criticalLength(path) > 0);
        recalculation.fillComputedColumns();
    }
    QCOMPARE(fromPlan.rowCount(), rows);
    for (int row = 0; row < rows; ++row) {
        for (int column = 0; column < kWorkColumnCount; ++column) {
            const auto which = static_cast<WorkColumn>(column);
            QCOMPARE(fromPlan.cell(which, row), fromList.cell(which, row));
        }
        QVERIFY(fromPlan.details(row) == table.details(row));
    }
}

void TestPlanFile::damagedFilesNameTheirLine_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");

    const QString damaged = QStringLiteral("Файл плана «plan.kpl» повреждён: строка %1: %2");
    const QString resources =
        QStringLiteral("<resources>\n<resource id=\"1\" name=\"Бетон\"/>\n</resources>\n");
    QTest::newRow("cut short")
        << QStringLiteral("<?xml version=\"1.0\"?>\n<kestrin-plan version=\"1\">\n<works>\n")
        << damaged.arg(4).arg(QStringLiteral("файл обрывается"));
    QTest::newRow("not a plan") << QStringLiteral("<?xml version=\"1.0\"?>\n<html/>\n")
                                << damaged.arg(2).arg(QStringLiteral("это не файл плана Kestrin"));
    QTest::newRow("newer format")
        << QStringLiteral("<kestrin-plan version=\"2\"><future/></kestrin-plan>")
        << QStringLiteral("План «plan.kpl» записан более новой версией Kestrin (формат 2); эта "
                          "версия читает планы формата 1 и старше");
    QTest::newRow("no version") << QStringLiteral("<kestrin-plan/>")
                                << damaged.arg(1).arg(QStringLiteral("нет атрибута «version»"));
    QTest::newRow("unknown element")
        << planText(QStringLiteral("<works>\n<wrok start=\"1\" end=\"2\" duration=\"3\"/>\n"
                                   "</works>\n"))
        << damaged.arg(4).arg(QStringLiteral("неизвестный элемент «wrok»"));
    QTest::newRow("missing duration")
        << planText(QStringLiteral("<works>\n<work start=\"1\" end=\"2\"/>\n</works>\n"))
        << damaged.arg(4).arg(QStringLiteral("нет атрибута «duration»"));
    QTest::newRow("unknown attribute")
        << planText(QStringLiteral("<works>\n<work start=\"1\" end=\"2\" duration=\"3\" "
                                   "colour=\"red\"/>\n</works>\n"))
        << damaged.arg(4).arg(QStringLiteral("неизвестный атрибут «colour»"));
    QTest::newRow("number with a comma")
        << planText(QStringLiteral("<works>\n<work start=\"1\" end=\"2\" duration=\"3\" "
                                   "optimistic=\"2,5\"/>\n</works>\n"))
        << damaged.arg(4).arg(QStringLiteral("«2,5» — не число (атрибут «optimistic»)"));
    QTest::newRow("estimates crossed")
        << planText(QStringLiteral("<works>\n<work start=\"1\" end=\"2\" duration=\"3\" "
                                   "optimistic=\"4\" pessimistic=\"2\"/>\n</works>\n"))
        << damaged.arg(4).arg(
               QStringLiteral("Оптимистическая продолжительность больше пессимистической"));
    QTest::newRow("demand of no resource")
        << planText(resources + QStringLiteral("<works>\n<work start=\"1\" end=\"2\" "
                                               "duration=\"3\">\n<demand resource=\"2\" "
                                               "amount=\"1\"/>\n</work>\n</works>\n"))
        << damaged.arg(9).arg(QStringLiteral("Нет ресурса с номером 2"));
    QTest::newRow("line feed in an event")
        << planText(QStringLiteral("<works>\n<work start=\"1&#10;\" end=\"2\" duration=\"3\"/>\n"
                                   "</works>\n"))
        << damaged.arg(4).arg(QStringLiteral(
               "Начальное событие: управляющий символ U+000A нельзя сохранить в файле данных"));
    // The works and events of a plan keep the rule of the work list file they are saved to.
    QTest::newRow("an event Windows-1251 lacks")
        << planText(QStringLiteral("<graph-placement>\n<event name=\"Ω\" x=\"1\" y=\"2\"/>\n"
                                   "</graph-placement>\n"))
        << damaged.arg(4).arg(QStringLiteral("Имя события: символ «Ω» нельзя сохранить в файле "
                                             "данных (кодировка Windows-1251)"));
    // A resource's unit is free text: any character but a control one.
    QTest::newRow("DEL in a unit")
        << planText(QStringLiteral("<resources>\n<resource id=\"1\" name=\"a\" unit=\"&#127;\"/>\n"
                                   "</resources>\n"))
        << damaged.arg(4).arg(
               QStringLiteral("Единица измерения: управляющий символ U+007F недопустим"));
    // User text in a message is quoted by its beginning only.
    const QString longText(workfield::kMaxLength + 1, u'я');
    const QString beginning = QString(workfield::kQuotedLength, u'я') + QChar(0x2026);
    QTest::newRow("work name too long")
        << planText(QStringLiteral("<works>\n<work start=\"1\" end=\"2\" duration=\"3\" "
                                   "name=\"%1\"/>\n</works>\n")
                        .arg(longText))
        << damaged.arg(4).arg(
               QStringLiteral("Поле «Наименование» длиннее 4000 символов: «%1»").arg(beginning));
    QTest::newRow("event too long")
        << planText(
               QStringLiteral("<ends start=\"%1\" end=\"2\" automatic=\"no\"/>\n").arg(longText))
        << damaged.arg(3).arg(QStringLiteral("Поле «Начальное событие» длиннее 4000 символов: «%1»")
                                  .arg(beginning));
    // Qt refuses names over 4096 characters.
    const QString longName(3000, u'w');
    const QString nameBeginning = QString(workfield::kQuotedLength, u'w') + QChar(0x2026);
    QTest::newRow("long unknown element")
        << planText(QStringLiteral("<%1/>\n").arg(longName))
        << damaged.arg(3).arg(QStringLiteral("неизвестный элемент «%1»").arg(nameBeginning));
    QTest::newRow("long number")
        << planText(QStringLiteral("<start-date days=\"%1\"/>\n").arg(QString(100000, u'1') + u'x'))
        << damaged.arg(3).arg(QStringLiteral("«%1» — не число (атрибут «days»)")
                                  .arg(QString(workfield::kQuotedLength, u'1') + QChar(0x2026)));
    QTest::newRow("long section name twice")
        << planText(QStringLiteral("<section name=\"%1\"><setting key=\"k\" value=\"v\"/>"
                                   "</section>\n<section name=\"%1\"/>\n")
                        .arg(longName))
        << damaged.arg(4).arg(
               QStringLiteral("раздел «%1» пуст по имени или повторяется").arg(nameBeginning));
    QTest::newRow("text among the works")
        << planText(QStringLiteral("<works>\nработа\n</works>\n"))
        << damaged.arg(4).arg(QStringLiteral("текст вне атрибутов"));
    QTest::newRow("resource twice")
        << planText(QStringLiteral("<resources>\n<resource id=\"1\" name=\"a\"/>\n"
                                   "<resource id=\"1\" name=\"b\"/>\n</resources>\n"))
        << damaged.arg(5).arg(QStringLiteral("номер ресурса 1 повторяется или равен нулю"));
    QTest::newRow("parts out of order")
        << planText(QStringLiteral("<works/>\n") + resources)
        << damaged.arg(4).arg(QStringLiteral("неизвестный элемент «resources»"));
    QTest::newRow("broken markup")
        << planText(QStringLiteral("<works>\n<work start=\"1\" end=\"2\" duration=\"3\">\n"
                                   "</works>\n"))
        << damaged.arg(5).arg(QStringLiteral("нарушена разметка XML (mismatched tag)"));
    // The entities a document type declares could grow a small file without end.
    QTest::newRow("document type")
        << QStringLiteral(
               "<?xml version=\"1.0\"?>\n<!DOCTYPE kestrin-plan [<!ENTITY a \"aaaa\">]>\n"
               "<kestrin-plan version=\"1\"><works><work start=\"&a;\" end=\"2\" "
               "duration=\"3\"/></works></kestrin-plan>\n")
        << damaged.arg(2).arg(QStringLiteral("объявление DTD не допускается"));
    QTest::newRow("undefined entity")
        << planText(QStringLiteral("<works>\n<work start=\"&nbsp;\" end=\"2\" duration=\"3\"/>\n"
                                   "</works>\n"))
        << damaged.arg(4).arg(QStringLiteral("нарушена разметка XML (undefined entity)"));
    // Faults far into a long file keep their line, and one near its start stops the reading
    // while most of the file is still ahead.
    QString works;
    const int many = 20000;
    for (int i = 0; i < many; ++i)
        works += QStringLiteral("<work start=\"%1\" end=\"%2\" duration=\"1\" name=\"Работа\"/>\n")
                     .arg(i)
                     .arg(i + 1);
    QTest::newRow("fault after many chunks")
        << planText(QStringLiteral("<works>\n") + works +
                    QStringLiteral("<work start=\"1\" end=\"2\"/>\n</works>\n"))
        << damaged.arg(many + 4).arg(QStringLiteral("нет атрибута «duration»"));
    QTest::newRow("cut short after many chunks")
        << planText(QStringLiteral("<works>\n") + works).chopped(20)
        << damaged.arg(many + 3).arg(QStringLiteral("файл обрывается"));
    QTest::newRow("fault before many chunks")
        << planText(QStringLiteral("<works>\n<wrok/>\n") + works + QStringLiteral("</works>\n"))
        << damaged.arg(4).arg(QStringLiteral("неизвестный элемент «wrok»"));
}

void TestPlanFile::damagedFilesNameTheirLine()
{
    QFETCH(QString, text);
    QFETCH(QString, message);
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("plan.kpl"));
    writeAll(path, text.toUtf8());
    QCOMPARE(messageOf([&] { planfile::read(path); }), message);
}

void TestPlanFile::refusesWhatIsNoPlainFile()
{
    QTemporaryDir folder;
    // A FIFO with no writer would block a plain open for ever.
    const QString fifo = folder.filePath(QStringLiteral("pipe.kpl"));
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    QCOMPARE(messageOf([&] { planfile::read(fifo); }),
             QStringLiteral("Файл плана «%1» не прочитан: это не обычный файл (канал или "
                            "устройство)")
                 .arg(fifo));
    QCOMPARE(messageOf([&] { planfile::read(folder.path()); }),
             QStringLiteral("Файл плана «%1» не прочитан: %2")
                 .arg(folder.path(), fileErrorText(EISDIR)));
    // A sparse file over the limit takes no room on the disk.
    const QString huge = folder.filePath(QStringLiteral("huge.kpl"));
    QFile file(huge);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.resize(planfile::kSizeLimit + 1));
    file.close();
    QCOMPARE(messageOf([&] { planfile::read(huge); }),
             QStringLiteral("Файл плана «%1» не прочитан: файл больше 1024 МБ").arg(huge));
    QCOMPARE(messageOf([&] { planfile::read(folder.filePath(QStringLiteral("none.kpl"))); }),
             QStringLiteral("File not found"));
}

// A device that gives a long plan and then runs out of memory. The plan is parsed on a thread of
// its own; what that thread meets must reach the caller, not end the program.
class FailingDevice : public QIODevice
{
public:
    explicit FailingDevice(QByteArray start) : m_start(std::move(start))
    {
        open(QIODevice::ReadOnly);
    }

protected:
    qint64 readData(char* data, qint64 size) override
    {
        if (m_at == m_start.size())
            throw std::bad_alloc();
        const qint64 count = std::min(size, m_start.size() - m_at);
        std::memcpy(data, m_start.constData() + m_at, std::size_t(count));
        m_at += count;
        return count;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    QByteArray m_start;
    qint64 m_at = 0;
};

void TestPlanFile::failureWhileParsingReachesTheCaller()
{
    QByteArray plan = "<?xml version=\"1.0\"?>\n<kestrin-plan version=\"1\">\n<works>\n";
    while (plan.size() < 1000000)
        plan += "<work start=\"1\" end=\"2\" duration=\"3\"/>\n";
    FailingDevice device(plan);
    QVERIFY_THROWS_EXCEPTION(std::bad_alloc,
                             planfile::readDevice(device, QStringLiteral("plan.kpl")));
}

void TestPlanFile::writeRefusesTextsTheReaderRefuses()
{
    // A table read from a work list file may hold control characters; the plan refuses them
    // before the file is touched.
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("plan.kpl"));
    writeAll(path, "old");
    WorkTable table;
    table.setRowCount(2);
    table.setCell(WorkColumn::StartEvent, 1, QStringLiteral("a\x01"));
    QCOMPARE(messageOf([&] { planfile::write(path, table, Plan()); }),
             QStringLiteral("Строка 2: символ с кодом 1 нельзя записать в файл плана; файл не "
                            "записан"));
    table.setCell(WorkColumn::StartEvent, 1, QString(QChar(0xd800)));
    QVERIFY(messageOf([&] { planfile::write(path, table, Plan()); }).startsWith(u"Строка 2"));
    // What XML carries but the reader refuses: a plan written always reads back.
    table.setCell(WorkColumn::StartEvent, 1, QStringLiteral("Ω"));
    QCOMPARE(messageOf([&] { planfile::write(path, table, Plan()); }),
             QStringLiteral("Строка 2: символ «Ω» нельзя сохранить в файле данных (кодировка "
                            "Windows-1251); файл не записан"));
    table.setCell(WorkColumn::StartEvent, 1, QStringLiteral("a"));
    Plan plan;
    plan.setEnds(QStringLiteral("a"), QString(workfield::kMaxLength + 1, u'b'), false);
    QCOMPARE(messageOf([&] { planfile::write(path, table, plan); }),
             QStringLiteral("Поле «Конечное событие» длиннее 4000 символов: «%1…»; файл не "
                            "записан")
                 .arg(QString(workfield::kQuotedLength, u'b')));
    QCOMPARE(readAll(path), QByteArray("old"));
}

QTEST_GUILESS_MAIN(TestPlanFile)
#include "tst_planfile.moc"
