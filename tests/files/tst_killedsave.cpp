#include "FileTestSupport.h"
#include "WorkCells.h"
#include "WorkListFile.h"
#include "WorkTable.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <string_view>

using testsupport::readAll;
using testsupport::writeAll;

namespace {

constexpr int kWorks = 1'000'000;
// Kill points spread over a whole save, the last ones after its end.
constexpr int kKills = 12;
const char* const kSaveOption = "--save-works";

// The work list file of kWorks works whose event names start with `prefix`, byte for byte as the
// program writes it. Made with plain pointers: each child makes it anew, also in Debug builds.
QByteArray workListBytes(std::string_view prefix)
{
    QByteArray bytes(qsizetype(kWorks) * 40, Qt::Uninitialized);
    char* out = bytes.data();
    const auto put = [&out](std::string_view text) {
        out = std::copy(text.begin(), text.end(), out);
    };
    const auto putNumber = [&out](int number) {
        out = std::to_chars(out, out + 16, number).ptr;
    };
    for (int work = 0; work < kWorks; ++work) {
        put(prefix);
        putNumber(work);
        put("\r\n");
        put(prefix);
        putNumber(work + 1);
        put("\r\n");
        putNumber(work % 97);
        put(",5\r\n");
    }
    bytes.truncate(out - bytes.data());
    return bytes;
}

// The works of a work list file served straight from its text, as the save reads them: through
// WorkCells alone. (Filling a work table cell by cell would cost every child seconds.)
class WorksFromText final : public WorkCells
{
public:
    explicit WorksFromText(const QByteArray& bytes) : m_text(QString::fromLatin1(bytes))
    {
        for (qsizetype start = 0, end; (end = m_text.indexOf(u'\r', start)) >= 0; start = end + 2)
            m_lines.append({start, end - start});
    }

    int rowCount() const override { return int(m_lines.size() / 3); }
    void setRowCount(int) override { QFAIL("the save must not change the table"); }
    QStringView cellView(WorkColumn column, int row) const override
    {
        const int line = columnIndex(column) - columnIndex(WorkColumn::StartEvent);
        if (line < 0 || line > 2)
            return {};
        const auto [start, length] = m_lines[qsizetype(row) * 3 + line];
        return QStringView(m_text).mid(start, length);
    }
    void setCell(WorkColumn, int, QStringView) override
    {
        QFAIL("the save must not change the table");
    }

private:
    QString m_text;
    QList<std::pair<qsizetype, qsizetype>> m_lines;
};

// The child process: saves the new works over `target`, saying "saving" the moment the save
// starts.
int saveNewWorks(const QString& target)
{
    const WorksFromText works(workListBytes("new"));
    std::fputs("saving\n", stdout);
    std::fflush(stdout);
    worklistfile::write(target, works);
    return 0;
}

} // namespace

// A save of a large work list killed (SIGKILL) at many instants: the file must always be either
// the old one or the complete new one, and what a killed save left behind goes with the next save.
class TestKilledSave : public QObject
{
    Q_OBJECT

private slots:
    void killedSaveLeavesTheOldOrTheNewFile();

private:
    // Starts a child that saves the new works over `target`; returns once the save has begun.
    void startSave(QProcess& child, const QString& target);
};

void TestKilledSave::startSave(QProcess& child, const QString& target)
{
    child.start(QCoreApplication::applicationFilePath(), {QLatin1String(kSaveOption), target});
    QVERIFY(child.waitForStarted());
    while (!child.canReadLine())
        QVERIFY2(child.waitForReadyRead(120000), "the child never began to save");
    QCOMPARE(child.readLine(), QByteArray("saving\n"));
}

void TestKilledSave::killedSaveLeavesTheOldOrTheNewFile()
{
    const QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString target = dir.filePath(QStringLiteral("plan.kdf"));
    const QByteArray oldBytes = workListBytes("old");
    const QByteArray newBytes = workListBytes("new");

    // A save that runs to its end: how long it takes, and that it makes exactly the new file.
    writeAll(target, oldBytes);
    QProcess child;
    startSave(child, target);
    QElapsedTimer timer;
    timer.start();
    QVERIFY(child.waitForFinished(120000));
    const qint64 saveMicroseconds = timer.nsecsElapsed() / 1000;
    QCOMPARE(child.exitCode(), 0);
    QVERIFY(readAll(target) == newBytes);

    int oldLeft = 0;
    int newLeft = 0;
    for (int kill = 0; kill < kKills; ++kill) {
        writeAll(target, oldBytes);
        QProcess killed;
        startSave(killed, target);
        QThread::usleep(static_cast<unsigned long>(saveMicroseconds * kill / (kKills - 2)));
        killed.kill();
        QVERIFY(killed.waitForFinished(120000));
        const QByteArray left = readAll(target);
        QVERIFY2(left == oldBytes || left == newBytes,
                 qPrintable(QStringLiteral("kill %1: a file of %2 bytes is neither old nor new")
                                .arg(kill)
                                .arg(left.size())));
        ++(left == oldBytes ? oldLeft : newLeft);
    }
    qInfo("%d kills left the old file, %d the new one", oldLeft, newLeft);

    // At most hidden temporary files of the save stay behind; the next save removes them.
    QDir folder(dir.path());
    static const QRegularExpression temporary(QStringLiteral("^\\.kestrin-[0-9a-f]{16}\\.tmp$"));
    for (const QString& name :
         folder.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)) {
        if (name != QLatin1String("plan.kdf"))
            QVERIFY2(temporary.match(name).hasMatch(), qPrintable(name));
    }
    WorkTable small;
    worklistfile::write(target, small);
    QCOMPARE(
        folder.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot),
        QStringList({QStringLiteral("plan.kdf")}));
}

int main(int argc, char** argv)
{
    if (argc == 3 && qstrcmp(argv[1], kSaveOption) == 0)
        return saveNewWorks(QString::fromLocal8Bit(argv[2]));
    QCoreApplication app(argc, argv);
    TestKilledSave test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_killedsave.moc"
