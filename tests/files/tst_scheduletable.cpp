#include "DateFormat.h"
#include "FileTestSupport.h"
#include "KestrinError.h"
#include "NumberFormat.h"
#include "Query.h"
#include "ScheduleTable.h"
#include "Table.h"
#include "WorkTable.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <functional>
#include <sys/resource.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

using testsupport::messageOf;
using testsupport::readAll;
using testsupport::writeAll;

const NumberFormat kNumbers(QStringLiteral("."));
const DateFormat kDates(QStringLiteral("dd.MM.yyyy"));

// Calculated works: cells of columns 0 to 10 as the recalculation writes them (row 3 is blank and
// is no work).
const QList<QStringList> kWorks = {
    {u"0"_s, u"1"_s, u"2"_s, u"3"_s, u"0"_s, u"3"_s, u"0"_s, u"3"_s, u"0"_s, u"0"_s,
     u"01.02.2024"_s},
    {u"1"_s, u"2"_s, u"Сборка узла ёЁ"_s, u" 2.5 "_s, u"3"_s, u"5.5"_s, u"4.25"_s, u"6.75"_s,
     u"1.25"_s, u"-1.25"_s, u"04.02.2024"_s},
    {u"1"_s, u"abcdefghijklmnopqrstuvwxy"_s, u"  Э"_s, u"0.333333"_s, u"1E-5"_s,
     u"9999999999999.99"_s, u"-1234567890123.45"_s, u"123456.789012"_s, u"0"_s, u"0"_s,
     u"29.02.2024 12:30"_s},
    {{}, {}, {}, {}, {}, {}, {}, {}, {}, {}, {}},
    {u"2"_s, u"Э"_s, u"1"_s, u"0"_s, u"1E-6"_s, u"7"_s, u"7"_s, u"7"_s, u"0"_s, u"0"_s,
     u"31.12.9999"_s},
};

// The records the works give, field by field: numbers as general number text, dates ISO.
const QList<QStringList> kRecords = {
    {u"0"_s, u"1"_s, u"2"_s, u"3"_s, u"0"_s, u"3"_s, u"0"_s, u"3"_s, u"0"_s, u"0"_s,
     u"2024-02-01"_s},
    {u"1"_s, u"2"_s, u"Сборка узла ёЁ"_s, u"2.5"_s, u"3"_s, u"5.5"_s, u"4.25"_s, u"6.75"_s,
     u"1.25"_s, u"-1.25"_s, u"2024-02-04"_s},
    {u"1"_s, u"abcdefghijklmnopqrst"_s, u"  Э"_s, u"0.333333"_s, u"0.00001"_s,
     u"9999999999999.99"_s, u"-1234567890123.45"_s, u"123456.789012"_s, u"0"_s, u"0"_s,
     u"2024-02-29"_s},
    {u"2"_s, u"Э"_s, u"1"_s, u"0"_s, u"1E-6"_s, u"7"_s, u"7"_s, u"7"_s, u"0"_s, u"0"_s,
     u"9999-12-31"_s},
};

const QStringList kFieldNames = {u"PEVJOBS"_s, u"PFROM"_s, u"PTO"_s,      u"MLENGTH"_s,
                                 u"FL1"_s,     u"FL2"_s,   u"FL3"_s,      u"FL4"_s,
                                 u"FL5"_s,     u"FL6"_s,   u"BEGINDATE"_s};

void fillTable(WorkTable& table, const QList<QStringList>& rows)
{
    table.setRowCount(int(rows.size()));
    for (int row = 0; row < rows.size(); ++row) {
        for (int column = 0; column < kWorkColumnCount; ++column)
            table.setCell(WorkColumn(column), row, rows[row][column]);
    }
}

QString shown(const db::Value& value)
{
    switch (value.kind()) {
    case db::Value::Kind::Number:
        return kNumbers.format(value.toNumber());
    case db::Value::Kind::Text:
        return value.toText();
    case db::Value::Kind::Date:
        return value.toDate().toString(Qt::ISODate);
    case db::Value::Kind::Null:
        break;
    }
    return QStringLiteral("<empty>");
}

QList<QStringList> recordsOf(const QString& path)
{
    db::Table table;
    table.setTableName(QFileInfo(path).fileName());
    table.setDatabaseName(QFileInfo(path).path());
    table.open();
    QList<QStringList> records;
    for (int record = 0; record < table.recordCount(); ++record) {
        QStringList fields;
        for (int field = 0; field < table.fields().size(); ++field)
            fields.append(shown(table.value(record, field)));
        records.append(fields);
    }
    return records;
}

QStringList filesIn(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

// A Python that has the dbfread module, or nothing.
QString pythonWithDbfread()
{
    QStringList candidates = {QStringLiteral("/usr/bin/python3")};
    const QString onPath = QStandardPaths::findExecutable(QStringLiteral("python3"));
    if (!onPath.isEmpty())
        candidates.append(onPath);
    for (const QString& python : candidates) {
        if (!QFile::exists(python))
            continue;
        QProcess probe;
        probe.start(python, {QStringLiteral("-c"), QStringLiteral("import dbfread")});
        if (probe.waitForFinished(30000) && probe.exitStatus() == QProcess::NormalExit &&
            probe.exitCode() == 0)
            return python;
    }
    return {};
}

} // namespace

class TestScheduleTable : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void formatLineInsertsTheArgumentAsText_data();
    void formatLineInsertsTheArgumentAsText();
    void splitPathCutsAfterTheLastSeparator_data();
    void splitPathCutsAfterTheLastSeparator();
    void createRunsTheTemplateWithTheFileName();
    void exportWritesEveryWorkAsARecord();
    void emptyTableExportsATableWithoutRecords();
    void failedExportLeavesNoFileAndKeepsTheOldOne_data();
    void failedExportLeavesNoFileAndKeepsTheOldOne();
    void exportReplacesAnExistingFileKeepingItsPermissions();
    void folderWithoutWritePermissionIsRefused();
    void writeFailureKeepsTheOldFile();
    void fillStopsAtTheFailingRowKeepingEarlierRecords();
    void independentReaderAgrees();

private:
    QString path(const QString& name) const { return m_dir->filePath(name); }
    void exportTable(const WorkCells& table, const QString& target);

    std::unique_ptr<QTemporaryDir> m_dir;
    db::Query m_qCreate;
    db::Table m_dtData;
};

void TestScheduleTable::init()
{
    m_dtData.close();
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TestScheduleTable::exportTable(const WorkCells& table, const QString& target)
{
    scheduletable::exportTo(target, table, scheduletable::creationTemplate(), m_qCreate, m_dtData,
                            kNumbers, kDates);
}

void TestScheduleTable::formatLineInsertsTheArgumentAsText_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("argument");
    QTest::addColumn<QString>("result"); // empty: refused

    QTest::newRow("first template line")
        << u"create table \"%s\""_s << u"plan.dbf"_s << u"create table \"plan.dbf\""_s;
    QTest::newRow("line without directive")
        << u"   pTo char (20),"_s << u"plan.dbf"_s << u"   pTo char (20),"_s;
    QTest::newRow("directives in the argument stay text")
        << u"create table \"%s\""_s << u"%s%d%%.dbf"_s << u"create table \"%s%d%%.dbf\""_s;
    QTest::newRow("percent sign") << u"100%% %s"_s << u"x"_s << u"100% x"_s;
    QTest::newRow("second %s") << u"%s %s"_s << u"x"_s << QString();
    QTest::newRow("number directive") << u"%d"_s << u"x"_s << QString();
    QTest::newRow("percent sign at the end") << u"abc%"_s << u"x"_s << QString();
}

void TestScheduleTable::formatLineInsertsTheArgumentAsText()
{
    QFETCH(QString, line);
    QFETCH(QString, argument);
    QFETCH(QString, result);

    if (result.isEmpty()) {
        QCOMPARE(messageOf([&] { scheduletable::formatLine(line, argument); }),
                 QStringLiteral("Строка шаблона «%1»: неверный формат или не хватает аргументов")
                     .arg(line));
    } else {
        QCOMPARE(scheduletable::formatLine(line, argument), result);
    }
}

void TestScheduleTable::splitPathCutsAfterTheLastSeparator_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("directory");
    QTest::addColumn<QString>("fileName");

    QTest::newRow("absolute") << u"/home/u/plan.dbf"_s << u"/home/u/"_s << u"plan.dbf"_s;
    QTest::newRow("root") << u"/plan.dbf"_s << u"/"_s << u"plan.dbf"_s;
    QTest::newRow("no directory") << u"plan.dbf"_s << QString() << u"plan.dbf"_s;
    QTest::newRow("folder only") << u"/home/u/"_s << u"/home/u/"_s << QString();
    QTest::newRow("dots and blanks")
        << u"/a b/c.d/План 1.DBF"_s << u"/a b/c.d/"_s << u"План 1.DBF"_s;
}

void TestScheduleTable::splitPathCutsAfterTheLastSeparator()
{
    QFETCH(QString, path);
    QFETCH(QString, directory);
    QFETCH(QString, fileName);

    const scheduletable::PathParts parts = scheduletable::splitPath(path);
    QCOMPARE(parts.directory, directory);
    QCOMPARE(parts.fileName, fileName);
}

void TestScheduleTable::createRunsTheTemplateWithTheFileName()
{
    const QStringList lines = scheduletable::creationTemplate();
    m_qCreate.sql() = {u"stale"_s};
    scheduletable::create(m_qCreate, lines, path({}), u"100%s.dbf"_s);

    QStringList expected = lines;
    expected[0] = u"create table \"100%s.dbf\""_s;
    QCOMPARE(m_qCreate.sql(), expected);
    QCOMPARE(m_qCreate.databaseName(), path({}));

    m_dtData.setTableName(u"100%s.dbf"_s);
    m_dtData.setDatabaseName(path({}));
    m_dtData.open();
    const QList<db::FieldInfo> fields = m_dtData.fields();
    QCOMPARE(fields.size(), 11);
    for (int i = 0; i < 11; ++i) {
        QCOMPARE(fields[i].name, kFieldNames[i]);
        const bool text = i == 1 || i == 2;
        const bool date = i == 10;
        QCOMPARE(fields[i].type, text   ? db::FieldType::Character
                                 : date ? db::FieldType::Date
                                        : db::FieldType::Numeric);
        QCOMPARE(fields[i].width, text ? 20 : date ? 8 : 21);
        QCOMPARE(fields[i].decimals, text || date ? 0 : 6);
    }
    QCOMPARE(m_dtData.recordCount(), 0);
}

void TestScheduleTable::exportWritesEveryWorkAsARecord()
{
    WorkTable table;
    fillTable(table, kWorks);
    const QString target = path(u"Plan.dbf"_s);
    exportTable(table, target);

    QCOMPARE(recordsOf(target), kRecords);
    const QByteArray file = readAll(target);
    QCOMPARE(quint8(file[0]), quint8(0x03));
    QCOMPARE(int(quint8(file[4])), 4); // record count in the header
    QCOMPARE(quint8(file[29]), quint8(0xC9));
    QCOMPARE(filesIn(path({})), QStringList({u"Plan.dbf"_s}));

    QVERIFY(!m_dtData.isOpen());
    QCOMPARE(m_dtData.tableName(), u"Plan.dbf"_s);
    QCOMPARE(m_dtData.databaseName(), path({}) + u'/');
    QCOMPARE(m_qCreate.sql().size(), 14);
    QCOMPARE(m_qCreate.sql().mid(1), scheduletable::creationTemplate().mid(1));
}

void TestScheduleTable::emptyTableExportsATableWithoutRecords()
{
    const WorkTable table;
    const QString target = path(u"empty.dbf"_s);
    exportTable(table, target);
    QCOMPARE(recordsOf(target), QList<QStringList>());
    const QByteArray file = readAll(target);
    QCOMPARE(file.size(), 32 + 11 * 32 + 1 + 1);
    QCOMPARE(filesIn(path({})), QStringList({u"empty.dbf"_s}));
}

void TestScheduleTable::failedExportLeavesNoFileAndKeepsTheOldOne_data()
{
    QTest::addColumn<int>("row"); // the row changed, -1: none
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("text"); // its new text
    QTest::addColumn<QString>("name"); // the file name chosen
    QTest::addColumn<QString>("message");

    QTest::newRow("not calculated")
        << 0 << 0 << QString() << u"plan.dbf"_s << u"'' is not a valid floating point value"_s;
    QTest::newRow("not a number in a later row")
        << 4 << 9 << u"1,5"_s << u"plan.dbf"_s << u"'1,5' is not a valid floating point value"_s;
    QTest::newRow("not a date") << 2 << 10 << u"30.02.2024"_s << u"plan.dbf"_s
                                << u"'30.02.2024' is not a valid date and time"_s;
    QTest::newRow("value too large")
        << 1 << 6 << u"1E15"_s << u"plan.dbf"_s
        << u"Строка 2 не записана. Число 1E15 не помещается в поле FL3 (ширина 21, из них знаков "
           "после точки 6)"_s;
    QTest::newRow("character without a code")
        << 4 << 2 << u"€漢"_s << u"plan.dbf"_s
        << u"Строка 5 не записана. Символ «漢» нельзя записать в поле PTO: в кодировке "
           "Windows-1251 его нет"_s;
    QTest::newRow("quotation mark in the name")
        << -1 << 0 << QString() << u"pl\"an.dbf"_s
        << u"Имя таблицы «pl\"an.dbf» содержит двойную кавычку"_s;
    QTest::newRow("not a dBASE name")
        << -1 << 0 << QString() << u"plan.txt"_s
        << u"Таблица «plan.txt» не является таблицей dBASE: имя файла таблицы должно "
           "оканчиваться на .dbf"_s;
}

void TestScheduleTable::failedExportLeavesNoFileAndKeepsTheOldOne()
{
    QFETCH(int, row);
    QFETCH(int, column);
    QFETCH(QString, text);
    QFETCH(QString, name);
    QFETCH(QString, message);

    WorkTable table;
    fillTable(table, kWorks);
    if (row >= 0)
        table.setCell(WorkColumn(column), row, text);

    // Once into a folder where the file does not exist, once over an existing file.
    QCOMPARE(messageOf([&] { exportTable(table, path(name)); }), message);
    QCOMPARE(filesIn(path({})), QStringList());
    QVERIFY(!m_dtData.isOpen());

    writeAll(path(name), "old content");
    QCOMPARE(messageOf([&] { exportTable(table, path(name)); }), message);
    QCOMPARE(filesIn(path({})), QStringList({name}));
    QCOMPARE(readAll(path(name)), QByteArray("old content"));
}

void TestScheduleTable::exportReplacesAnExistingFileKeepingItsPermissions()
{
    const QString target = path(u"plan.dbf"_s);
    writeAll(target, "old content");
    const QFileDevice::Permissions permissions =
        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup;
    QVERIFY(QFile::setPermissions(target, permissions));

    WorkTable table;
    fillTable(table, kWorks);
    exportTable(table, target);
    QCOMPARE(recordsOf(target), kRecords);
    QCOMPARE(QFile::permissions(target) & 0x7077, permissions);
    QCOMPARE(filesIn(path({})), QStringList({u"plan.dbf"_s}));

    // A write-protected file is refused, as the work list refuses it, even for the superuser.
    const QByteArray exported = readAll(target);
    QVERIFY(QFile::setPermissions(target, QFileDevice::ReadOwner | QFileDevice::ReadGroup |
                                              QFileDevice::ReadOther));
    QCOMPARE(messageOf([&] { exportTable(table, target); }),
             u"Не удалось заменить таблицу «%1»: нет доступа"_s.arg(target));
    QCOMPARE(readAll(target), exported);
    QCOMPARE(filesIn(path({})), QStringList({u"plan.dbf"_s}));
}

void TestScheduleTable::folderWithoutWritePermissionIsRefused()
{
    WorkTable table;
    fillTable(table, kWorks);
    if (geteuid() == 0) {
        // Permissions do not stop the superuser; the kernel's own folders still do.
        QCOMPARE(messageOf([&] { exportTable(table, u"/sys/kestrin-test.dbf"_s); }),
                 u"Не удалось создать таблицу в папке «/sys/»: нет доступа"_s);
        QVERIFY(!QFile::exists(u"/sys/kestrin-test.dbf"_s));
        QSKIP("running as root: folder permissions cannot be tested beyond /sys");
    }
    const QString folder = path(u"locked"_s);
    QVERIFY(QDir().mkdir(folder));
    const QString target = folder + u"/plan.dbf"_s;
    writeAll(target, "old content");
    QVERIFY(QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    const QString message = messageOf([&] { exportTable(table, target); });
    QFile::setPermissions(folder,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QCOMPARE(message, u"Не удалось создать таблицу в папке «%1/»: нет доступа"_s.arg(folder));
    QCOMPARE(readAll(target), QByteArray("old content"));
    QCOMPARE(filesIn(folder), QStringList({u"plan.dbf"_s}));
}

void TestScheduleTable::writeFailureKeepsTheOldFile()
{
    // Enough works to pass the engine's write buffer; a file size limit refuses the writes as a
    // full disk would.
    WorkTable table;
    QList<QStringList> rows;
    for (int i = 0; i < 8000; ++i)
        rows.append(kWorks[i % 3]);
    fillTable(table, rows);
    const QString target = path(u"plan.dbf"_s);
    writeAll(target, "old content");

    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = old;
    limit.rlim_cur = 64 * 1024;
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &limit), 0);
    const QString message = messageOf([&] { exportTable(table, target); });
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    QVERIFY2(message.endsWith(u": недостаточно места на диске"_s), qPrintable(message));
    QCOMPARE(readAll(target), QByteArray("old content"));
    QCOMPARE(filesIn(path({})), QStringList({u"plan.dbf"_s}));
}

void TestScheduleTable::fillStopsAtTheFailingRowKeepingEarlierRecords()
{
    // The table report fills its own table directly: a failing row adds nothing, the records
    // before it stay, and the table stays open for the caller to close.
    WorkTable table;
    fillTable(table, kWorks);
    table.setCell(WorkColumn::BeginDate, 4, QString());
    scheduletable::create(m_qCreate, scheduletable::creationTemplate(), path({}), u"t.dbf"_s);
    m_dtData.setTableName(u"t.dbf"_s);
    m_dtData.setDatabaseName(path({}));
    m_dtData.open();
    QCOMPARE(messageOf([&] { scheduletable::fill(m_dtData, table, kNumbers, kDates); }),
             u"'' is not a valid date and time"_s);
    QVERIFY(m_dtData.isOpen());
    QCOMPARE(m_dtData.recordCount(), 3);
    m_dtData.close();
    QCOMPARE(recordsOf(path(u"t.dbf"_s)), kRecords.mid(0, 3));
}

void TestScheduleTable::independentReaderAgrees()
{
    const QString python = pythonWithDbfread();
    if (python.isEmpty())
        QSKIP("Python 3 with the dbfread module is not installed (Debian package python3-dbfread)");

    WorkTable table;
    fillTable(table, kWorks);
    const QString target = path(u"План.dbf"_s);
    exportTable(table, target);

    // dbfread picks the text encoding from the language driver byte by itself.
    const QString script = uR"(
import datetime, json, sys
from dbfread import DBF
table = DBF(sys.argv[1], char_decode_errors='strict')
def shown(value):
    if isinstance(value, datetime.date):
        return value.isoformat()
    if isinstance(value, (int, float)):
        return repr(value)
    return value
print(json.dumps({
    'encoding': table.encoding,
    'fields': [[f.name, f.type, f.length, f.decimal_count] for f in table.fields],
    'records': [[shown(v) for v in record.values()] for record in table],
}))
)"_s;
    QProcess reader;
    reader.start(python, {u"-c"_s, script, target});
    QVERIFY(reader.waitForFinished(60000));
    QVERIFY2(reader.exitCode() == 0, reader.readAllStandardError().constData());
    const QJsonObject result = QJsonDocument::fromJson(reader.readAllStandardOutput()).object();

    QCOMPARE(result[u"encoding"].toString(), u"cp1251"_s);
    const QJsonArray fields = result[u"fields"].toArray();
    QCOMPARE(fields.size(), 11);
    for (int i = 0; i < 11; ++i) {
        const QJsonArray field = fields[i].toArray();
        const bool text = i == 1 || i == 2;
        const bool date = i == 10;
        QCOMPARE(field[0].toString(), kFieldNames[i]);
        QCOMPARE(field[1].toString(), text ? u"C"_s : date ? u"D"_s : u"N"_s);
        QCOMPARE(field[2].toInt(), text ? 20 : date ? 8 : 21);
        QCOMPARE(field[3].toInt(), text || date ? 0 : 6);
    }
    const QJsonArray records = result[u"records"].toArray();
    QCOMPARE(records.size(), kRecords.size());
    for (int record = 0; record < records.size(); ++record) {
        const QJsonArray values = records[record].toArray();
        QCOMPARE(values.size(), 11);
        for (int i = 0; i < 11; ++i) {
            const QString expected = kRecords[record][i];
            const QString actual = values[i].toString();
            if (i == 1 || i == 2 || i == 10) {
                QCOMPARE(actual, expected);
            } else {
                // Python writes the nearest double its own way ("1e-05"); compare the numbers.
                bool ok = false;
                QCOMPARE(actual.toDouble(&ok), expected.toDouble());
                QVERIFY2(ok, qPrintable(actual));
            }
        }
    }
}

QTEST_GUILESS_MAIN(TestScheduleTable)
#include "tst_scheduletable.moc"
