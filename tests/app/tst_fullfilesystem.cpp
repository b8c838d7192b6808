#include "DateFormat.h"
#include "FileTestSupport.h"
#include "GraphPicture.h"
#include "MemoryDataSet.h"
#include "NumberFormat.h"
#include "PageFile.h"
#include "PageMaker.h"
#include "PageOutput.h"
#include "Query.h"
#include "ReportDocument.h"
#include "ScheduleTable.h"
#include "Table.h"
#include "TfmReport.h"
#include "WorkListFile.h"
#include "WorkTable.h"

#include <QDir>
#include <QFile>
#include <QPrinter>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

#include <unistd.h>

using testsupport::messageOf;
using testsupport::readAll;
using testsupport::writeAll;

namespace {

constexpr int kWorks = 5000;
constexpr int kRecords = 600;
// Free space of a nearly full disk: less than any of the new files needs, so that writing starts
// and fails part way.
constexpr qint64 kNearlyFullFree = 16 * 1024;
const QString kFiller = QStringLiteral("filler");
const QByteArray kOldContent = QByteArray("1\r\n2\r\n5\r\n2\r\n3\r\n4\r\n").repeated(20);

enum class Disk { Full, NearlyFull, ReadOnly, ReadOnlyNewFile };

// Runs a system command; its error output when it fails.
std::optional<QString> runCommand(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(30000))
        return QStringLiteral("%1 did not finish").arg(program);
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return QString::fromLocal8Bit(process.readAllStandardError()).trimmed();
    return std::nullopt;
}

// Fills the file system until a write fails, then frees `free` bytes again.
void fillUp(const QString& folder, qint64 free)
{
    QFile filler(QDir(folder).filePath(kFiller));
    QVERIFY(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
    const QByteArray chunk(64 * 1024, 'f');
    while (filler.write(chunk) > 0) {
    }
    QVERIFY(filler.size() > free);
    QVERIFY(filler.resize(filler.size() - free));
}

} // namespace

Q_DECLARE_METATYPE(Disk)

// Every writer of the user's files against real file systems that refuse it: a full one, a nearly
// full one (the write starts and fails part way) and a read-only one (with and without an old file
// to replace). Each must raise its message, leave the old file byte for byte, and leave no
// temporary file. The file systems are small tmpfs mounts made here, which needs root.
class TestFullFileSystem : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void failedWriteKeepsTheOldFile_data();
    void failedWriteKeepsTheOldFile();

private:
    void write(const QString& writer, const QString& path);

    WorkTable m_works;
    std::unique_ptr<report::ReportDocument> m_document;
    GraphPicture m_picture;
    db::Query m_qCreate;
    db::Table m_dtData;
    std::optional<QTemporaryDir> m_mountPoint;
    bool m_mounted = false;
};

void TestFullFileSystem::initTestCase()
{
    if (::geteuid() != 0)
        QSKIP("NOT RUN: writing on a full and a read-only file system needs a tmpfs mount, and "
              "mounting needs root. Run the suite as root (as CI does) to prove these writers.");
    const QTemporaryDir probe;
    if (const auto error =
            runCommand(QStringLiteral("mount"),
                       {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                        QStringLiteral("size=64k"), QStringLiteral("kestrin-test"), probe.path()}))
        QSKIP(qPrintable(QStringLiteral("NOT RUN: this system refuses a tmpfs mount even to root "
                                        "(%1); the full and read-only file system tests need one.")
                             .arg(*error)));
    QVERIFY(!runCommand(QStringLiteral("umount"), {probe.path()}));

    // Calculated works, as the dBASE export needs them.
    m_works.setRowCount(kWorks);
    for (int row = 0; row < kWorks; ++row) {
        const QStringList cells{QString::number(row % 3),
                                QStringLiteral("E%1").arg(row),
                                QStringLiteral("E%1").arg(row + 1),
                                QStringLiteral("2.5"),
                                QString::number(row),
                                QString::number(row + 2.5),
                                QString::number(row),
                                QString::number(row + 2.5),
                                QStringLiteral("0"),
                                QStringLiteral("0"),
                                QStringLiteral("01.02.2024")};
        for (int column = 0; column < kWorkColumnCount; ++column)
            m_works.setCell(WorkColumn(column), row, cells[column]);
    }

    // The table report over as many records, some dozen pages.
    const report::ReportLayout layout = tableReportLayout();
    report::MemoryDataSet data({QStringLiteral("PevJobs"), QStringLiteral("pFrom"),
                                QStringLiteral("pTo"), QStringLiteral("mLength"),
                                QStringLiteral("fl1"), QStringLiteral("fl2"), QStringLiteral("fl3"),
                                QStringLiteral("fl4"), QStringLiteral("fl5"), QStringLiteral("fl6"),
                                QStringLiteral("BeginDate")});
    for (int record = 0; record < kRecords; ++record) {
        QStringList texts;
        for (int column = 0; column < kWorkColumnCount; ++column)
            texts.append(m_works.cell(WorkColumn(column), record));
        data.appendRecord(texts);
    }
    m_document =
        std::make_unique<report::ReportDocument>(std::make_shared<report::ReportLayout>(layout));
    QList<report::MadePage> pages;
    report::PageMaker maker(m_document->layout(), &data,
                            report::bindFields(m_document->layout(), &data));
    maker.run([&](report::MadePage&& page) { pages.append(std::move(page)); });
    QVERIFY(pages.size() > 5);
    m_document->appendPages(std::move(pages));
    m_document->setComplete(true);

    m_picture.resize(792, 544);
    m_picture.clear(QPoint(800, 600));
}

void TestFullFileSystem::init()
{
    m_mountPoint.emplace();
    QVERIFY(m_mountPoint->isValid());
    const auto error = runCommand(QStringLiteral("mount"),
                                  {QStringLiteral("-t"), QStringLiteral("tmpfs"),
                                   QStringLiteral("-o"), QStringLiteral("size=1m,mode=0755"),
                                   QStringLiteral("kestrin-test"), m_mountPoint->path()});
    QVERIFY2(!error, qPrintable(error.value_or(QString())));
    m_mounted = true;
}

// Runs after every row, failed ones included, so no mount outlives its row.
void TestFullFileSystem::cleanup()
{
    m_dtData.close();
    if (m_mounted && runCommand(QStringLiteral("umount"), {m_mountPoint->path()}))
        runCommand(QStringLiteral("umount"), {QStringLiteral("-l"), m_mountPoint->path()});
    m_mounted = false;
    m_mountPoint.reset();
}

void TestFullFileSystem::write(const QString& writer, const QString& path)
{
    if (writer == QLatin1String("work list"))
        worklistfile::write(path, m_works);
    else if (writer == QLatin1String("dBASE export"))
        scheduletable::exportTo(path, m_works, scheduletable::creationTemplate(), m_qCreate,
                                m_dtData, NumberFormat(QStringLiteral(".")),
                                DateFormat(QStringLiteral("dd.MM.yyyy")));
    else if (writer == QLatin1String("page file"))
        report::savePages(*m_document, path);
    else if (writer == QLatin1String("PDF"))
        report::exportPdf(*m_document, path);
    else if (writer == QLatin1String("print to file")) {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(path);
        printer.setFullPage(true);
        report::printPages(*m_document, printer, 0, m_document->pageCount() - 1);
    } else
        m_picture.saveAsBmp(path);
}

void TestFullFileSystem::failedWriteKeepsTheOldFile_data()
{
    QTest::addColumn<QString>("writer");
    QTest::addColumn<QString>("name");
    QTest::addColumn<Disk>("disk");
    QTest::addColumn<QString>("message"); // %1 the file, %2 the folder

    const QString newFileInReadOnly =
        QStringLiteral("Файл «%1» не записан: в папке «%2» нельзя создать файл (диск доступен "
                       "только для чтения)");
    struct Writer
    {
        const char* name;
        const char* file;
        QString full, nearlyFull, readOnly, readOnlyNewFile;
    };
    const QString reportWrite =
        QStringLiteral("Ошибка записи файла %1: недостаточно места на диске");
    const QString reportCreate =
        QStringLiteral("Не удаётся создать файл %1: диск доступен только для чтения");
    const Writer writers[] = {
        {"work list", "plan.kdf", QStringLiteral("Disk full"), QStringLiteral("Disk full"),
         QStringLiteral("File access denied"), newFileInReadOnly},
        // A disk too full for the table's header fails where the table is made.
        {"dBASE export", "plan.dbf",
         QStringLiteral("Не удалось создать таблицу в папке «%2/»: недостаточно места на диске"),
         QStringLiteral("Не удалось записать таблицу «%1»: недостаточно места на диске"),
         QStringLiteral("Не удалось заменить таблицу «%1»: диск доступен только для чтения"),
         QStringLiteral("Не удалось создать таблицу в папке «%2/»: диск доступен только для "
                        "чтения")},
        {"page file", "report.krp", reportWrite, reportWrite, reportCreate, newFileInReadOnly},
        {"PDF", "report.pdf", reportWrite, reportWrite, reportCreate, newFileInReadOnly},
        // "Печать в файл (PDF)" in the print dialog: Qt's printer cut the old file short.
        {"print to file", "printed.pdf", reportWrite, reportWrite, reportCreate, newFileInReadOnly},
        {"BMP", "graph.bmp", QStringLiteral("Stream write error: Disk full (%1)"),
         QStringLiteral("Stream write error: Disk full (%1)"),
         QStringLiteral("Cannot create file %1: File access denied"), newFileInReadOnly},
    };
    for (const Writer& w : writers) {
        const auto row = [&](const char* disk) -> QTestData& {
            return QTest::addRow("%s, %s", w.name, disk)
                   << QString::fromLatin1(w.name) << QString::fromLatin1(w.file);
        };
        row("full disk") << Disk::Full << w.full;
        row("nearly full disk") << Disk::NearlyFull << w.nearlyFull;
        row("read-only disk") << Disk::ReadOnly << w.readOnly;
        row("read-only disk, new file") << Disk::ReadOnlyNewFile << w.readOnlyNewFile;
    }
}

void TestFullFileSystem::failedWriteKeepsTheOldFile()
{
    QFETCH(QString, writer);
    QFETCH(QString, name);
    QFETCH(Disk, disk);
    QFETCH(QString, message);

    const QString folder = m_mountPoint->path();
    const QString path = QDir(folder).filePath(name);
    QStringList expectedEntries;
    if (disk != Disk::ReadOnlyNewFile) {
        writeAll(path, kOldContent);
        expectedEntries.append(name);
    }
    if (disk == Disk::Full || disk == Disk::NearlyFull) {
        fillUp(folder, disk == Disk::Full ? 0 : kNearlyFullFree);
        expectedEntries.append(kFiller);
    } else {
        const auto error = runCommand(QStringLiteral("mount"),
                                      {QStringLiteral("-o"), QStringLiteral("remount,ro"), folder});
        QVERIFY2(!error, qPrintable(error.value_or(QString())));
    }
    expectedEntries.sort();

    QCOMPARE(messageOf([&] { write(writer, path); }),
             QString(message)
                 .replace(QStringLiteral("%1"), QDir::toNativeSeparators(path))
                 .replace(QStringLiteral("%2"), QDir::toNativeSeparators(folder)));
    if (disk != Disk::ReadOnlyNewFile)
        QCOMPARE(readAll(path), kOldContent);
    QCOMPARE(QDir(folder).entryList(
                 QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name),
             expectedEntries);
}

QTEST_MAIN(TestFullFileSystem)
#include "tst_fullfilesystem.moc"
