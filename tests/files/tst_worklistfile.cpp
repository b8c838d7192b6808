#include "FileTestSupport.h"
#include "KestrinError.h"
#include "Windows1251.h"
#include "WorkListFile.h"
#include "WorkTable.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

namespace {

using testsupport::messageOf;
using testsupport::readAll;
using testsupport::writeAll;

QStringList inputRows(const WorkTable& table)
{
    QStringList rows;
    for (int row = 0; row < table.rowCount(); ++row) {
        rows.append(table.cell(WorkColumn::StartEvent, row) + QLatin1Char('|') +
                    table.cell(WorkColumn::EndEvent, row) + QLatin1Char('|') +
                    table.cell(WorkColumn::Duration, row));
    }
    return rows;
}

} // namespace

class TestWorkListFile : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void writesThreeCrLfLinesPerWork();
    void emptyTableIsSixBytesAndReadsBack();
    void readingFollowsTheLineRules_data();
    void readingFollowsTheLineRules();
    void emptyFileKeepsTheFirstRow();
    void roundTripKeepsEveryByte();
    void longLinesAndManyWorks();
    void missingFileLeavesTheTable();
    void onlyRegularFilesOfBoundedSizeAreRead_data();
    void onlyRegularFilesOfBoundedSizeAreRead();
    void folderThatCannotBeWrittenIsRefused();
    void unencodableCellStopsBeforeWriting();

private:
    QString path(const char* name) const { return m_dir.filePath(QLatin1String(name)); }
    QTemporaryDir m_dir;
};

void TestWorkListFile::init()
{
    QVERIFY(m_dir.isValid());
}

void TestWorkListFile::writesThreeCrLfLinesPerWork()
{
    WorkTable table;
    table.setRowCount(2);
    const char* cells[][3] = {{"1", "2", "5"}, {"2", "3", "4"}};
    for (int row = 0; row < 2; ++row) {
        table.setCell(WorkColumn::StartEvent, row, QString::fromLatin1(cells[row][0]));
        table.setCell(WorkColumn::EndEvent, row, QString::fromLatin1(cells[row][1]));
        table.setCell(WorkColumn::Duration, row, QString::fromLatin1(cells[row][2]));
        table.setCell(WorkColumn::EarlyStart, row, QStringLiteral("computed, never stored"));
    }
    worklistfile::write(path("two.kdf"), table);
    QCOMPARE(readAll(path("two.kdf")), QByteArray::fromHex("310D0A320D0A350D0A320D0A330D0A340D0A"));

    // Writing over an existing file replaces it.
    table.setRowCount(1);
    worklistfile::write(path("two.kdf"), table);
    QCOMPARE(readAll(path("two.kdf")), QByteArray("1\r\n2\r\n5\r\n"));
}

void TestWorkListFile::emptyTableIsSixBytesAndReadsBack()
{
    WorkTable empty;
    worklistfile::write(path("empty.kdf"), empty);
    QCOMPARE(readAll(path("empty.kdf")), QByteArray("\r\n\r\n\r\n"));
    WorkTable table;
    table.setRowCount(3);
    table.setCell(WorkColumn::StartEvent, 0, QStringLiteral("x"));
    worklistfile::read(path("empty.kdf"), table);
    QCOMPARE(table.rowCount(), 1);
    QVERIFY(table.isEmptyTable());
    QVERIFY(table.cell(WorkColumn::EndEvent, 0).isEmpty() &&
            table.cell(WorkColumn::Duration, 0).isEmpty());
}

void TestWorkListFile::readingFollowsTheLineRules_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("rows");

    QTest::newRow("last line without CR LF")
        << QByteArray("1\r\n2\r\n5") << QStringList{QStringLiteral("1|2|5")};
    QTest::newRow("one trailing empty line adds a row")
        << QByteArray("1\r\n2\r\n5\r\n\r\n")
        << QStringList{QStringLiteral("1|2|5"), QStringLiteral("||")};
    QTest::newRow("four lines give two rows")
        << QByteArray("a\r\nb\r\n1\r\nc\r\n")
        << QStringList{QStringLiteral("a|b|1"), QStringLiteral("c||")};
    QTest::newRow("LF only is text")
        << QByteArray("1\n2\n5\n") << QStringList{QStringLiteral("1\n2\n5\n||")};
    QTest::newRow("lone CR ends a line")
        << QByteArray("1\r2\r5\r") << QStringList{QStringLiteral("1|2|5")};
    QTest::newRow("0x1A between works ends the file") << QByteArray("1\r\n2\r\n5\r\n\x1a"
                                                                    "2\r\n3\r\n4\r\n")
                                                      << QStringList{QStringLiteral("1|2|5")};
    QTest::newRow("0x1A inside a line cuts it") << QByteArray("1\r\n2\x1a"
                                                              "9\r\n5\r\n")
                                                << QStringList{QStringLiteral("1|2|")};
    QTest::newRow("windows-1251 text")
        << QByteArray("\xcd\xe0\xf7\xe0\xeb\xee\r\n\xb9 2\r\n2,5\r\n")
        << QStringList{QStringLiteral("Начало|№ 2|2,5")};
}

void TestWorkListFile::readingFollowsTheLineRules()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, rows);
    writeAll(path("rules.kdf"), bytes);
    WorkTable table;
    table.setRowCount(5);
    worklistfile::read(path("rules.kdf"), table);
    QCOMPARE(inputRows(table), rows);
}

void TestWorkListFile::emptyFileKeepsTheFirstRow()
{
    writeAll(path("nothing.kdf"), QByteArray());
    WorkTable table;
    table.setRowCount(3);
    for (int column = 0; column < kWorkColumnCount; ++column)
        table.setCell(static_cast<WorkColumn>(column), 0, QStringLiteral("keep %1").arg(column));
    worklistfile::read(path("nothing.kdf"), table);
    QCOMPARE(table.rowCount(), 1);
    for (int column = 0; column < kWorkColumnCount; ++column)
        QCOMPARE(table.cell(static_cast<WorkColumn>(column), 0),
                 QStringLiteral("keep %1").arg(column));
}

void TestWorkListFile::roundTripKeepsEveryByte()
{
    // Every byte from 0x20 to 0xFF, 0x98 (unassigned in the code page) included, survives
    // text -> file -> text and file -> text -> file.
    QByteArray all;
    for (int byte = 0x20; byte <= 0xFF; ++byte)
        all.append(static_cast<char>(byte));
    QRandomGenerator random(1251);
    for (int round = 0; round < 20; ++round) {
        WorkTable table;
        const int rows = 1 + random.bounded(30);
        table.setRowCount(rows);
        for (int row = 0; row < rows; ++row) {
            for (WorkColumn column :
                 {WorkColumn::StartEvent, WorkColumn::EndEvent, WorkColumn::Duration}) {
                QByteArray bytes;
                const int length = random.bounded(12);
                for (int i = 0; i < length; ++i)
                    bytes.append(all[random.bounded(static_cast<int>(all.size()))]);
                table.setCell(column, row, windows1251::decode(bytes));
            }
        }
        table.setCell(WorkColumn::StartEvent, 0, windows1251::decode(all));
        worklistfile::write(path("round.kdf"), table);
        const QByteArray written = readAll(path("round.kdf"));
        QVERIFY(written.startsWith(all + "\r\n"));
        WorkTable back;
        worklistfile::read(path("round.kdf"), back);
        QCOMPARE(inputRows(back), inputRows(table));
        worklistfile::write(path("again.kdf"), back);
        QCOMPARE(readAll(path("again.kdf")), written);
    }
}

void TestWorkListFile::longLinesAndManyWorks()
{
    // A line longer than the reader's buffer, and a CR LF split across two buffer fills.
    QByteArray longName(3 * 1024 * 1024 + 5, 'n');
    QByteArray bytes = longName + "\r\n2\r\n5\r\n";
    for (int i = 0; i < 50000; ++i)
        bytes += QByteArray::number(i) + "\r\n" + QByteArray::number(i + 1) + "\r\n1,5\r\n";
    writeAll(path("big.kdf"), bytes);
    WorkTable table;
    worklistfile::read(path("big.kdf"), table);
    QCOMPARE(table.rowCount(), 50001);
    QCOMPARE(table.cell(WorkColumn::StartEvent, 0).size(), longName.size());
    QCOMPARE(table.cell(WorkColumn::EndEvent, 50000), QStringLiteral("50000"));
    worklistfile::write(path("big2.kdf"), table);
    QCOMPARE(readAll(path("big2.kdf")), bytes);

    // CR as the last byte of one buffer fill and LF as the first of the next, both ways round
    // (the reader fills 1 MiB at a time).
    for (qsizetype before : {qsizetype(1 << 20) - 1, qsizetype(1 << 20)}) {
        QByteArray split(before, 'a');
        split += "\r\nb\r\n7\r\n";
        writeAll(path("split.kdf"), split);
        WorkTable splitTable;
        worklistfile::read(path("split.kdf"), splitTable);
        QCOMPARE(splitTable.rowCount(), 1);
        QCOMPARE(splitTable.cell(WorkColumn::StartEvent, 0).size(), before);
        QCOMPARE(splitTable.cell(WorkColumn::EndEvent, 0), QStringLiteral("b"));
        QCOMPARE(splitTable.cell(WorkColumn::Duration, 0), QStringLiteral("7"));
    }
}

void TestWorkListFile::missingFileLeavesTheTable()
{
    WorkTable table;
    table.setRowCount(2);
    table.setCell(WorkColumn::StartEvent, 1, QStringLiteral("kept"));
    QCOMPARE(messageOf([&] { worklistfile::read(path("no such.kdf"), table); }),
             QStringLiteral("File not found"));
    QCOMPARE(messageOf([&] { worklistfile::read(path("no folder/x.kdf"), table); }),
             QStringLiteral("Invalid filename"));
    QCOMPARE(messageOf([&] { worklistfile::read(m_dir.path(), table); }),
             QStringLiteral("Файл «%1» не прочитан: это папка")
                 .arg(QDir::toNativeSeparators(m_dir.path())));
    QCOMPARE(messageOf([&] { worklistfile::write(m_dir.path(), table); }),
             QStringLiteral("File access denied"));
    QCOMPARE(table.rowCount(), 2);
    QCOMPARE(table.cell(WorkColumn::StartEvent, 1), QStringLiteral("kept"));
}

void TestWorkListFile::onlyRegularFilesOfBoundedSizeAreRead_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("reason");
    // A FIFO nobody writes to would block the window for ever; /dev/zero would fill the memory.
    QTest::newRow("FIFO") << "fifo"
                          << "это не обычный файл (канал или устройство)";
    QTest::newRow("device") << "device"
                            << "это не обычный файл (канал или устройство)";
    QTest::newRow("larger than the limit") << "huge"
                                           << "файл больше 64 МБ";
}

void TestWorkListFile::onlyRegularFilesOfBoundedSizeAreRead()
{
    QFETCH(QString, kind);
    QFETCH(QString, reason);
    QString target = path("odd.kdf");
    if (kind == QLatin1String("fifo")) {
        QVERIFY(::mkfifo(QFile::encodeName(target).constData(), 0600) == 0);
    } else if (kind == QLatin1String("device")) {
        target = QStringLiteral("/dev/zero");
    } else {
        // Sparse: no room taken on the disk.
        QFile file(target);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.resize(worklistfile::kMaxBytes + 1));
    }
    WorkTable table;
    table.setRowCount(3);
    table.setCell(WorkColumn::StartEvent, 2, QStringLiteral("kept"));
    QCOMPARE(
        messageOf([&] { worklistfile::read(target, table); }),
        QStringLiteral("Файл «%1» не прочитан: %2").arg(QDir::toNativeSeparators(target), reason));
    // Refused before the table is touched.
    QCOMPARE(table.rowCount(), 3);
    QCOMPARE(table.cell(WorkColumn::StartEvent, 2), QStringLiteral("kept"));
    QFile::remove(path("odd.kdf"));
}

void TestWorkListFile::folderThatCannotBeWrittenIsRefused()
{
    WorkTable table;
    table.setCell(WorkColumn::StartEvent, 0, QStringLiteral("1"));
    if (geteuid() == 0) {
        // Permissions do not stop the superuser; the kernel's own folders still do.
        QCOMPARE(
            messageOf([&] { worklistfile::write(QStringLiteral("/sys/kestrin-test.kdf"), table); }),
            QStringLiteral("Файл «/sys/kestrin-test.kdf» не записан: в папке «/sys» нельзя "
                           "создать файл (нет доступа)"));
        QSKIP("running as root: folder permissions cannot be tested beyond /sys");
    }
    const QString folder = path("locked");
    QVERIFY(QDir().mkdir(folder));
    const QString target = folder + QStringLiteral("/old.kdf");
    writeAll(target, "old\r\n");
    QVERIFY(QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    const QString message = messageOf([&] { worklistfile::write(target, table); });
    QFile::setPermissions(folder,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    // The file itself may be written, but never in place: the folder is named.
    QCOMPARE(message, QStringLiteral("Файл «%1» не записан: в папке «%2» нельзя создать файл "
                                     "(нет доступа)")
                          .arg(target, folder));
    QCOMPARE(readAll(target), QByteArray("old\r\n"));
}

void TestWorkListFile::unencodableCellStopsBeforeWriting()
{
    const QTemporaryDir folder;
    const QString target = folder.filePath(QStringLiteral("keep.kdf"));
    writeAll(target, "old\r\n");
    WorkTable table;
    table.setRowCount(3);
    table.setCell(WorkColumn::EndEvent, 2, QStringLiteral("日本"));
    const QString message = messageOf([&] { worklistfile::write(target, table); });
    QVERIFY(message.startsWith(QStringLiteral("Строка 3")));
    QVERIFY(message.contains(QStringLiteral("日")));
    QCOMPARE(readAll(target), QByteArray("old\r\n"));
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

QTEST_GUILESS_MAIN(TestWorkListFile)
#include "tst_worklistfile.moc"
