// The command-line program as a script sees it: its exit status and words for what it refuses,
// and its outputs read back by independent readers (our own CSV parse, python3-dbfread,
// python3-openpyxl, TaskJuggler's tj3, poppler's pdftotext) against a longest path computed here,
// and the levelled length against an exhaustive search.
#include "FileTestSupport.h"
#include "LevellingOracle.h"
#include "Plan.h"
#include "PlanFile.h"
#include "WorkInputs.h"
#include "WorkTable.h"

#include <QDate>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <optional>
#include <set>

namespace {

struct Work
{
    int start;
    int end;
    int days;
};

struct Run
{
    int exitCode = -1;
    QStringList output;
    QString errors;
};

Run runBatch(const QStringList& arguments)
{
    QProcess process;
    process.start(QStringLiteral(KESTRIN_BATCH), arguments);
    Run run;
    if (!process.waitForFinished(120'000))
        return run;
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.output =
        QString::fromUtf8(process.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
    run.errors = QString::fromUtf8(process.readAllStandardError());
    return run;
}

// A tool's standard output, or none when it is missing or fails.
std::optional<QString> toolOutput(const QString& program, const QStringList& arguments)
{
    if (QStandardPaths::findExecutable(program).isEmpty() && !QFile::exists(program))
        return std::nullopt;
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(120'000) || process.exitCode() != 0) {
        qWarning().noquote() << process.readAllStandardError();
        return std::nullopt;
    }
    return QString::fromUtf8(process.readAllStandardOutput());
}

// A random network over events 1 .. n: every event after the first is reached from a lower one
// and every event before the last leads to a higher one, so 1 is the only start and n the only
// end, as the automatic choice of the ends finds them.
std::vector<Work> randomNetwork(QRandomGenerator& random, int events)
{
    std::vector<Work> works;
    std::set<std::pair<int, int>> pairs;
    const auto add = [&](int start, int end) {
        if (pairs.emplace(start, end).second)
            works.push_back({start, end, random.bounded(7)});
    };
    for (int head = 2; head <= events; ++head) {
        for (int k = 1 + random.bounded(3); k > 0; --k)
            add(std::max(1, head - 1 - random.bounded(4)), head);
    }
    for (int tail = 1; tail < events; ++tail) {
        if (std::none_of(works.begin(), works.end(),
                         [&](const Work& w) { return w.start == tail; }))
            add(tail, events);
    }
    return works;
}

// A work list file written byte by byte: three lines of CR LF per work.
QByteArray workListBytes(const std::vector<Work>& works)
{
    QByteArray bytes;
    for (const Work& work : works)
        bytes += QByteArray::number(work.start) + "\r\n" + QByteArray::number(work.end) + "\r\n" +
                 QByteArray::number(work.days) + "\r\n";
    return bytes;
}

// Early event times by the longest path (events are numbered in order).
std::vector<int> earlyTimes(const std::vector<Work>& works, int events)
{
    std::vector<int> early(std::size_t(events) + 1, 0);
    for (int event = 2; event <= events; ++event) {
        for (const Work& work : works) {
            if (work.end == event)
                early[std::size_t(event)] =
                    std::max(early[std::size_t(event)], early[std::size_t(work.start)] + work.days);
        }
    }
    return early;
}

// The early start of every work as the output file holds it, in the works' order.
std::vector<double> earlyStartsIn(const QString& format, const QString& path, QDate startDate)
{
    std::vector<double> starts;
    if (format == u"csv") {
        const QStringList lines =
            QString::fromUtf8(testsupport::readAll(path)).split(QStringLiteral("\r\n"));
        for (const QString& line : lines.mid(1)) {
            if (!line.isEmpty())
                starts.push_back(line.split(u';').value(4).replace(u',', u'.').toDouble());
        }
    } else if (format == u"dbf") {
        const QString text =
            toolOutput(QStringLiteral("/usr/bin/python3"),
                       {QStringLiteral("-c"),
                        QStringLiteral("import sys, dbfread\n"
                                       "for r in dbfread.DBF(sys.argv[1], encoding='cp1251'):\n"
                                       "    print(list(r.values())[4])\n"),
                        path})
                .value_or(QString());
        for (const QString& line : text.split(u'\n', Qt::SkipEmptyParts))
            starts.push_back(line.toDouble());
    } else if (format == u"xlsx") {
        const QString text =
            toolOutput(QStringLiteral("/usr/bin/python3"),
                       {QStringLiteral("-c"),
                        QStringLiteral("import sys, openpyxl\n"
                                       "sheet = openpyxl.load_workbook(sys.argv[1])['Работы']\n"
                                       "for row in sheet.iter_rows(min_row=2, values_only=True):\n"
                                       "    assert isinstance(row[4], (int, float))\n"
                                       "    print(row[4])\n"),
                        path})
                .value_or(QString());
        for (const QString& line : text.split(u'\n', Qt::SkipEmptyParts))
            starts.push_back(line.toDouble());
    } else if (format == u"tjp") {
        QTemporaryDir folder;
        if (!toolOutput(QStringLiteral("tj3"),
                        {QStringLiteral("--silent"), QStringLiteral("--no-color"),
                         QStringLiteral("-o"), folder.path(), path}))
            return starts;
        const QStringList lines =
            QString::fromUtf8(testsupport::readAll(folder.filePath(QStringLiteral("schedule.csv"))))
                .remove(u'"')
                .split(u'\n', Qt::SkipEmptyParts);
        std::vector<std::pair<int, double>> byWork;
        for (const QString& line : lines.mid(1)) {
            const QStringList fields = line.split(u';');
            if (fields.size() == 3 && fields[0].startsWith(u'w'))
                byWork.emplace_back(
                    fields[0].mid(1).toInt(),
                    double(startDate.daysTo(QDate::fromString(fields[1].left(10), Qt::ISODate))));
        }
        std::sort(byWork.begin(), byWork.end());
        for (const auto& [work, start] : byWork)
            starts.push_back(start);
    } else if (format == u"pdf") {
        // Each row of the printed table is eleven words; its fifth is the early start.
        const QString text = toolOutput(QStringLiteral("pdftotext"),
                                        {QStringLiteral("-layout"), path, QStringLiteral("-")})
                                 .value_or(QString());
        for (const QString& line : text.split(u'\n')) {
            const QStringList words = line.simplified().split(u' ');
            bool number = false;
            words.value(0).toInt(&number);
            if (words.size() == 11 && number)
                starts.push_back(QString(words[4]).replace(u',', u'.').toDouble());
        }
    }
    return starts;
}

QString pathLength(int length)
{
    return QStringLiteral("Критический путь [L=%1]").arg(length);
}

} // namespace

class TestKestrinBatch : public QObject
{
    Q_OBJECT

private slots:
    void refusesWithItsOwnWords_data();
    void refusesWithItsOwnWords();
    void everyFormatHoldsTheLongestPathSchedule_data();
    void everyFormatHoldsTheLongestPathSchedule();
    void msProjectXmlComesBackToTheSameCriticalLength();
    void levelledLengthIsTheShortestWithinTheResources();

private:
    QTemporaryDir m_folder;
};

void TestKestrinBatch::refusesWithItsOwnWords_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("words");
    const QString good = QStringLiteral("good.kdf");
    const QString out = QStringLiteral("out.csv");
    const QString output = QStringLiteral("--output");
    QTest::newRow("unknown option") << QStringList{good, QStringLiteral("--fast"), output, out} << 2
                                    << QStringLiteral("Неизвестный параметр «--fast»");
    QTest::newRow("no output") << QStringList{good} << 2
                               << QStringLiteral("Не указан выходной файл");
    QTest::newRow("one end only") << QStringList{good, QStringLiteral("--from"),
                                                 QStringLiteral("1"), output, out}
                                  << 2 << QStringLiteral("--from и --to");
    QTest::newRow("bad date") << QStringList{good, QStringLiteral("--start"),
                                             QStringLiteral("2026-13-01"), output, out}
                              << 2 << QStringLiteral("ГГГГ-ММ-ДД");
    QTest::newRow("unknown output suffix")
        << QStringList{good, output, QStringLiteral("out.doc")} << 2
        << QStringLiteral("Вид выходного файла «out.doc» не известен");
    QTest::newRow("unknown input suffix")
        << QStringList{QStringLiteral("plan.mpp"), output, out} << 2
        << QStringLiteral("Вид входного файла «plan.mpp» не известен");
    QTest::newRow("missing file") << QStringList{QStringLiteral("missing.kdf"), output, out} << 1
                                  << QStringLiteral("File not found");
    QTest::newRow("loop") << QStringList{QStringLiteral("loop.kdf"),
                                         QStringLiteral("--from"),
                                         QStringLiteral("1"),
                                         QStringLiteral("--to"),
                                         QStringLiteral("3"),
                                         output,
                                         out}
                          << 1 << QStringLiteral("Сетевой график содержит цикл");
    QTest::newRow("not MS Project XML") << QStringList{QStringLiteral("other.xml"), output, out}
                                        << 1 << QStringLiteral("other.xml");
    QTest::newRow("missing ends") << QStringList{good,
                                                 QStringLiteral("--from"),
                                                 QStringLiteral("1"),
                                                 QStringLiteral("--to"),
                                                 QStringLiteral("9"),
                                                 QStringLiteral("--level"),
                                                 output,
                                                 out}
                                  << 0 << QString();
}

void TestKestrinBatch::refusesWithItsOwnWords()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, words);
    QVERIFY(m_folder.isValid());
    QDir::setCurrent(m_folder.path());
    QFile::remove(QStringLiteral("out.csv"));
    testsupport::writeAll(QStringLiteral("good.kdf"), workListBytes({{1, 2, 3}, {2, 3, 4}}));
    testsupport::writeAll(QStringLiteral("loop.kdf"),
                          workListBytes({{1, 2, 3}, {2, 4, 1}, {4, 2, 1}, {2, 3, 4}}));
    testsupport::writeAll(QStringLiteral("other.xml"), "<html><body>no plan</body></html>");

    const Run run = runBatch(arguments);
    QCOMPARE(run.exitCode, exitCode);
    if (exitCode == 0) {
        // Events that no work joins give no path; the run still succeeds and writes its file.
        QVERIFY(run.errors.isEmpty());
        QCOMPARE(run.output.size(), 2);
        QVERIFY(QFile::exists(QStringLiteral("out.csv")));
        return;
    }
    QVERIFY2(run.errors.contains(words), qPrintable(run.errors));
    QVERIFY(run.output.isEmpty());
    QVERIFY(!QFile::exists(QStringLiteral("out.csv")));
}

void TestKestrinBatch::everyFormatHoldsTheLongestPathSchedule_data()
{
    QTest::addColumn<QString>("format");
    for (const char* format : {"csv", "dbf", "xlsx", "tjp", "pdf"})
        QTest::newRow(format) << QString::fromLatin1(format);
}

void TestKestrinBatch::everyFormatHoldsTheLongestPathSchedule()
{
    QFETCH(QString, format);
    QVERIFY(m_folder.isValid());
    QRandomGenerator random(20261207);
    const int events = 18;
    const std::vector<Work> works = randomNetwork(random, events);
    const QString input = m_folder.filePath(QStringLiteral("random.kdf"));
    const QString output = m_folder.filePath(QStringLiteral("random.") + format);
    testsupport::writeAll(input, workListBytes(works));
    const QDate startDate(2027, 3, 1);

    const Run run = runBatch({input, QStringLiteral("--start"), startDate.toString(Qt::ISODate),
                              QStringLiteral("--output"), output});
    QCOMPARE(run.exitCode, 0);
    const std::vector<int> early = earlyTimes(works, events);
    QVERIFY2(run.output.value(0).contains(pathLength(early[std::size_t(events)])),
             qPrintable(run.output.value(0)));

    const std::vector<double> starts = earlyStartsIn(format, output, startDate);
    if (starts.empty() && format != u"csv")
        QSKIP("the independent reader of this format is not installed (scripts/kestrin.sh test "
              "installs it)");
    QCOMPARE(starts.size(), works.size());
    for (std::size_t w = 0; w < works.size(); ++w)
        QCOMPARE(starts[w], double(early[std::size_t(works[w].start)]));
}

void TestKestrinBatch::msProjectXmlComesBackToTheSameCriticalLength()
{
    QVERIFY(m_folder.isValid());
    QRandomGenerator random(7);
    for (int round = 0; round < 5; ++round) {
        const int events = 10 + random.bounded(20);
        const std::vector<Work> works = randomNetwork(random, events);
        const QString input = m_folder.filePath(QStringLiteral("trip.kdf"));
        const QString xml = m_folder.filePath(QStringLiteral("trip.xml"));
        testsupport::writeAll(input, workListBytes(works));
        QCOMPARE(runBatch({input, QStringLiteral("--output"), xml}).exitCode, 0);
        const Run back = runBatch(
            {xml, QStringLiteral("--output"), m_folder.filePath(QStringLiteral("trip.csv"))});
        QCOMPARE(back.exitCode, 0);
        QVERIFY2(back.output.value(0).contains(
                     pathLength(earlyTimes(works, events)[std::size_t(events)])),
                 qPrintable(back.output.value(0)));
    }
}

void TestKestrinBatch::levelledLengthIsTheShortestWithinTheResources()
{
    QVERIFY(m_folder.isValid());
    QRandomGenerator random(29);
    for (int round = 0; round < 4; ++round) {
        const int events = 5 + random.bounded(2);
        const std::vector<Work> works = randomNetwork(random, events);
        const int capacity = 2 + random.bounded(2);

        WorkTable table;
        Plan plan;
        plan.addResource({1, QStringLiteral("Бригада"), QString(), double(capacity)});
        WorkInputs inputs;
        LevellingProblem problem;
        problem.capacities = {capacity};
        std::vector<int> startEvents;
        std::vector<int> endEvents;
        for (const Work& work : works) {
            WorkDetails details;
            const int demand = random.bounded(capacity + 1);
            details.setDemand(1, double(demand));
            inputs.append(QString::number(work.start), QString::number(work.end),
                          QString::number(work.days), details);
            problem.durations.push_back(work.days);
            problem.demands.push_back(demand);
            startEvents.push_back(work.start);
            endEvents.push_back(work.end);
        }
        // Work j follows work i when i ends where j starts: written out here, pair by pair.
        for (std::size_t i = 0; i < works.size(); ++i) {
            for (std::size_t j = 0; j < works.size(); ++j) {
                if (works[i].end == works[j].start)
                    problem.precedences.push_back({int(i), int(j)});
            }
        }
        table.replaceRows(0, table.rowCount(), inputs);
        const QString input = m_folder.filePath(QStringLiteral("levelled.kpl"));
        planfile::write(input, table, plan);

        const Run run = runBatch({input, QStringLiteral("--level"), QStringLiteral("--output"),
                                  m_folder.filePath(QStringLiteral("levelled.csv"))});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.output.size(), 2);
        QCOMPARE(run.output[1],
                 QStringLiteral("Выровненная длина: %1").arg(shortestLengthByEnumeration(problem)));
    }
}

QTEST_GUILESS_MAIN(TestKestrinBatch)
#include "tst_kestrinbatch.moc"
