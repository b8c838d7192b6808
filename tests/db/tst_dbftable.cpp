#include "FieldCodec.h"
#include "FileTestSupport.h"
#include "KestrinError.h"
#include "NumberFormat.h"
#include "Query.h"
#include "Table.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <functional>
#include <limits>
#include <sys/resource.h>

namespace {

using testsupport::messageOf;
using testsupport::readAll;
using testsupport::writeAll;

const QString kStatement = QStringLiteral(
    "create table \"t.dbf\" (\n num numeric,\n name char(20),\n code char(3),\n day date\n)");
constexpr int kHeaderLength = 32 + 4 * 32 + 1;
constexpr int kRecordLength = 1 + 21 + 20 + 3 + 8;

int le32(const QByteArray& bytes, int at)
{
    return int(quint8(bytes[at])) | int(quint8(bytes[at + 1])) << 8 |
           int(quint8(bytes[at + 2])) << 16 | int(quint8(bytes[at + 3])) << 24;
}

int le16(const QByteArray& bytes, int at)
{
    return int(quint8(bytes[at])) | int(quint8(bytes[at + 1])) << 8;
}

db::Value number(const char* text)
{
    return db::Value::number(NumberFormat(QStringLiteral(".")).parse(QString::fromLatin1(text)));
}

} // namespace

class TestDbfTable : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void createsAnEmptyDbaseThreeTable();
    void leavesFilesBesideTheTableAlone();
    void createRefusesAnExistingFile();
    void numbersReadBackToTheirGeneralText_data();
    void numbersReadBackToTheirGeneralText();
    void numericTextOfOtherLayouts_data();
    void numericTextOfOtherLayouts();
    void numbersThatDoNotFitAreRefused_data();
    void numbersThatDoNotFitAreRefused();
    void textsAreWindows1251CutToTheField();
    void datesAndEmptyFields();
    void valuesOfAnotherKindAreRefused();
    void appendsAfterReopening();
    void manyRecordsSurviveTheWriteBuffer();
    void opensTheFileOfExactlyItsName();
    void openRefuses_data();
    void openRefuses();
    void writeFailureIsReported();

private:
    QString path(const QString& name) const { return m_dir->filePath(name); }
    void createTable(const QString& statement = kStatement);
    void openTable(db::Table& table, const QString& name = QStringLiteral("t.dbf"));

    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestDbfTable::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TestDbfTable::createTable(const QString& statement)
{
    db::Query query;
    query.setDatabaseName(m_dir->path());
    query.sql() = statement.split(u'\n');
    query.execSql();
}

void TestDbfTable::openTable(db::Table& table, const QString& name)
{
    table.setTableName(name);
    table.setDatabaseName(m_dir->path() + u'/');
    table.open();
}

void TestDbfTable::createsAnEmptyDbaseThreeTable()
{
    createTable();
    const QByteArray file = readAll(path(QStringLiteral("t.dbf")));
    QCOMPARE(file.size(), kHeaderLength + 1);
    QCOMPARE(quint8(file[0]), quint8(0x03));
    const QDate today = QDate::currentDate();
    QCOMPARE(QDate(1900 + quint8(file[1]), quint8(file[2]), quint8(file[3])), today);
    QCOMPARE(le32(file, 4), 0);
    QCOMPARE(le16(file, 8), kHeaderLength);
    QCOMPARE(le16(file, 10), kRecordLength);
    QCOMPARE(quint8(file[29]), quint8(0xC9)); // language driver: Windows-1251

    struct Expected
    {
        const char* name;
        char type;
        int width;
        int decimals;
    };
    const Expected fields[] = {
        {"NUM", 'N', 21, 6}, {"NAME", 'C', 20, 0}, {"CODE", 'C', 3, 0}, {"DAY", 'D', 8, 0}};
    for (int i = 0; i < 4; ++i) {
        const QByteArray descriptor = file.mid(32 + 32 * i, 32);
        QCOMPARE(descriptor.left(11), QByteArray(fields[i].name).leftJustified(11, '\0'));
        QCOMPARE(descriptor[11], fields[i].type);
        QCOMPARE(int(quint8(descriptor[16])), fields[i].width);
        QCOMPARE(int(quint8(descriptor[17])), fields[i].decimals);
    }
    QCOMPARE(file[kHeaderLength - 1], '\x0d');
    QCOMPARE(file[kHeaderLength], '\x1a');

    db::Table table;
    openTable(table);
    QCOMPARE(table.recordCount(), 0);
    const QList<db::FieldInfo> expected = {
        {QStringLiteral("NUM"), db::FieldType::Numeric, 21, 6},
        {QStringLiteral("NAME"), db::FieldType::Character, 20, 0},
        {QStringLiteral("CODE"), db::FieldType::Character, 3, 0},
        {QStringLiteral("DAY"), db::FieldType::Date, 8, 0},
    };
    QVERIFY(table.fields() == expected);
}

void TestDbfTable::leavesFilesBesideTheTableAlone()
{
    // A code page file of the same base name belongs to someone else.
    writeAll(path(QStringLiteral("t.cpg")), "UTF-8");
    createTable();
    db::Table table;
    openTable(table);
    table.appendRecord({number("1")});
    table.close();
    QCOMPARE(readAll(path(QStringLiteral("t.cpg"))), QByteArray("UTF-8"));
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden),
             QStringList({QStringLiteral("t.cpg"), QStringLiteral("t.dbf")}));
}

void TestDbfTable::createRefusesAnExistingFile()
{
    writeAll(path(QStringLiteral("t.dbf")), "precious");
    QCOMPARE(messageOf([&] { createTable(); }),
             QStringLiteral("Таблица «t.dbf» уже есть в папке «%1»").arg(m_dir->path()));
    QCOMPARE(readAll(path(QStringLiteral("t.dbf"))), QByteArray("precious"));

    QCOMPARE(messageOf([&] {
                 db::Query query;
                 query.setDatabaseName(path(QStringLiteral("missing")));
                 query.sql() = kStatement.split(u'\n');
                 query.execSql();
             }),
             QStringLiteral("Не удалось создать таблицу в папке «%1»: папка или файл не найдены")
                 .arg(path(QStringLiteral("missing"))));
}

void TestDbfTable::numbersReadBackToTheirGeneralText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<QString>("readBack");

    const auto row = [](const char* text, const char* stored, const char* readBack) {
        QTest::newRow(text) << QString::fromLatin1(text) << QByteArray(stored).rightJustified(21)
                            << QString::fromLatin1(readBack);
    };
    row("0", "0.000000", "0");
    row("1.5", "1.500000", "1.5");
    row("-2.25", "-2.250000", "-2.25");
    row("0.1", "0.100000", "0.1");
    row("1E-6", "0.000001", "1E-6");
    row("1E-5", "0.000010", "0.00001");
    row("123456.789012", "123456.789012", "123456.789012");
    row("9999999999999.99", "9999999999999.990000", "9999999999999.99");
    row("-9999999999999.99", "-9999999999999.990000", "-9999999999999.99");
    row("-1234567890123.45", "-1234567890123.450000", "-1234567890123.45");
    row("12345678901234", "12345678901234.000000", "12345678901234");
    // Beyond six decimals the field rounds; a tiny negative value becomes a plain zero.
    row("0.3333333", "0.333333", "0.333333");
    row("2.0000006", "2.000001", "2.000001");
    row("0.9999996", "1.000000", "1");
    row("0.0078125", "0.007812", "0.007812"); // a tie held exactly: to the even neighbour
    row("-1E-9", "0.000000", "0");
}

void TestDbfTable::numbersReadBackToTheirGeneralText()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, stored);
    QFETCH(QString, readBack);

    createTable();
    db::Table table;
    openTable(table);
    table.appendRecord({db::Value::number(NumberFormat(QStringLiteral(".")).parse(text))});
    table.close();
    QCOMPARE(readAll(path(QStringLiteral("t.dbf"))).mid(kHeaderLength + 1, 21), stored);

    openTable(table);
    const db::Value value = table.value(0, 0);
    QCOMPARE(value.kind(), db::Value::Kind::Number);
    QCOMPARE(NumberFormat(QStringLiteral(".")).format(value.toNumber()), readBack);
}

void TestDbfTable::numericTextOfOtherLayouts_data()
{
    // Tables made elsewhere have numeric fields of other widths and decimals.
    QTest::addColumn<long double>("value");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<QByteArray>("text"); // empty: does not fit

    QTest::newRow("integer field, half to even down") << 2.5L << 5 << 0 << QByteArray("    2");
    QTest::newRow("integer field, half to even up") << 3.5L << 5 << 0 << QByteArray("    4");
    QTest::newRow("exactly the width") << 1e9L << 10 << 0 << QByteArray("1000000000");
    QTest::newRow("one digit too many") << 12345.0L << 4 << 0 << QByteArray();
    QTest::newRow("sign takes a place") << -1234.0L << 4 << 0 << QByteArray();
    QTest::newRow("negative rounding to zero") << -0.001L << 6 << 2 << QByteArray("  0.00");
    QTest::newRow("carry into the whole part") << 9.999L << 5 << 2 << QByteArray("10.00");
    QTest::newRow("eighteen decimals") << 0.5L << 20 << 18 << QByteArray("0.500000000000000000");
    QTest::newRow("more decimals than exact powers")
        << 0.25L << 30 << 20 << QByteArray("0.25000000000000000000").rightJustified(30);
    QTest::newRow("not a number") << std::numeric_limits<long double>::quiet_NaN() << 21 << 6
                                  << QByteArray();
    QTest::newRow("infinity") << std::numeric_limits<long double>::infinity() << 21 << 6
                              << QByteArray();
}

void TestDbfTable::numericTextOfOtherLayouts()
{
    QFETCH(long double, value);
    QFETCH(int, width);
    QFETCH(int, decimals);
    QFETCH(QByteArray, text);

    QByteArray field(width, ' ');
    const bool fits = db::fieldcodec::formatNumber(value, width, decimals, field.data());
    QCOMPARE(fits, !text.isEmpty());
    QCOMPARE(field, fits ? text : QByteArray(width, ' '));
}

void TestDbfTable::numbersThatDoNotFitAreRefused_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("fifteen integer digits") << QStringLiteral("123456789012345");
    QTest::newRow("negative fourteen integer digits") << QStringLiteral("-12345678901234");
    QTest::newRow("1E15") << QStringLiteral("1E15");
    QTest::newRow("1E300") << QStringLiteral("1E300");
    QTest::newRow("-1E4000") << QStringLiteral("-1E4000");
}

void TestDbfTable::numbersThatDoNotFitAreRefused()
{
    QFETCH(QString, text);

    createTable();
    db::Table table;
    openTable(table);
    table.appendRecord({number("1")});
    const NumberFormat& system = NumberFormat::system();
    const long double value = NumberFormat(QStringLiteral(".")).parse(text);
    QCOMPARE(messageOf([&] { table.appendRecord({db::Value::number(value)}); }),
             QStringLiteral("Число %1 не помещается в поле NUM (ширина 21, из них знаков после "
                            "точки 6)")
                 .arg(system.format(value)));
    QCOMPARE(table.recordCount(), 1);
    table.close();
    const QByteArray file = readAll(path(QStringLiteral("t.dbf")));
    QCOMPARE(file.size(), kHeaderLength + kRecordLength + 1);
    QVERIFY(!file.contains('*'));
}

void TestDbfTable::textsAreWindows1251CutToTheField()
{
    createTable();
    db::Table table;
    openTable(table);
    const QString cyrillic = QStringLiteral("Начало ёЁ");
    const QString twentyFive = QStringLiteral("abcdefghijklmnopqrstuvwxy");
    table.appendRecord(
        {db::Value(), db::Value::text(cyrillic), db::Value::text(QStringLiteral("АБВГД"))});
    table.appendRecord({db::Value(), db::Value::text(twentyFive)});
    table.appendRecord({db::Value(), db::Value::text(QStringLiteral("  lead"))});
    // Only the first twenty characters are stored, so a character beyond them cannot stop it.
    table.appendRecord({db::Value(), db::Value::text(QStringLiteral("01234567890123456789漢"))});
    QCOMPARE(messageOf([&] {
                 table.appendRecord({db::Value(), db::Value::text(QStringLiteral("a漢"))});
             }),
             QStringLiteral("Символ «漢» нельзя записать в поле NAME: в кодировке Windows-1251 "
                            "его нет"));
    QCOMPARE(table.recordCount(), 4);
    table.close();

    const QByteArray file = readAll(path(QStringLiteral("t.dbf")));
    const QByteArray first = file.mid(kHeaderLength, kRecordLength);
    QCOMPARE(first.mid(22, 20), QByteArray("\xcd\xe0\xf7\xe0\xeb\xee \xb8\xa8").leftJustified(20));
    QCOMPARE(first.mid(42, 3), QByteArray("\xc0\xc1\xc2"));

    openTable(table);
    QCOMPARE(table.value(0, 1).toText(), cyrillic);
    QCOMPARE(table.value(0, 2).toText(), QStringLiteral("АБВ"));
    QCOMPARE(table.value(1, 1).toText(), twentyFive.left(20));
    QCOMPARE(table.value(2, 1).toText(), QStringLiteral("  lead"));
    QCOMPARE(table.value(3, 1).toText(), QStringLiteral("01234567890123456789"));
}

void TestDbfTable::datesAndEmptyFields()
{
    createTable();
    db::Table table;
    openTable(table);
    table.appendRecord({number("2"), db::Value::text(QStringLiteral("x")), db::Value::text({}),
                        db::Value::date(QDate(2024, 1, 31))});
    table.appendRecord({db::Value(), db::Value(), db::Value(), db::Value::date(QDate(1, 1, 1))});
    table.appendRecord({});
    table.close();

    const QByteArray file = readAll(path(QStringLiteral("t.dbf")));
    QCOMPARE(file.mid(kHeaderLength + kRecordLength - 8, 8), QByteArray("20240131"));
    QCOMPARE(file.mid(kHeaderLength + 2 * kRecordLength, kRecordLength),
             QByteArray(kRecordLength, ' '));
    QCOMPARE(file.back(), '\x1a');

    openTable(table);
    QCOMPARE(table.recordCount(), 3);
    QCOMPARE(table.value(0, 3), db::Value::date(QDate(2024, 1, 31)));
    QCOMPARE(table.value(0, 2), db::Value::text({}));
    QCOMPARE(table.value(1, 3), db::Value::date(QDate(1, 1, 1)));
    for (int field = 0; field < 4; ++field) {
        const db::Value value = table.value(2, field);
        QCOMPARE(value.isNull(), field == 0 || field == 3);
    }
}

void TestDbfTable::valuesOfAnotherKindAreRefused()
{
    createTable();
    db::Table table;
    openTable(table);
    QCOMPARE(messageOf([&] { table.appendRecord({db::Value::text(QStringLiteral("1"))}); }),
             QStringLiteral("Нельзя записать текст в числовое поле NUM"));
    QCOMPARE(messageOf([&] {
                 table.appendRecord({db::Value(), number("1")});
             }),
             QStringLiteral("Нельзя записать число в текстовое поле NAME"));
    QCOMPARE(messageOf([&] {
                 table.appendRecord({db::Value(), db::Value(), db::Value(), number("45000")});
             }),
             QStringLiteral("Нельзя записать число в поле даты DAY"));
    QCOMPARE(
        messageOf([&] { table.appendRecord(QList<db::Value>(5)); }),
        QStringLiteral("В таблице «%1» 4 полей, а значений 5").arg(path(QStringLiteral("t.dbf"))));
    QCOMPARE(table.recordCount(), 0);
    QCOMPARE(messageOf([&] { table.value(0, 0); }),
             QStringLiteral("В таблице «%1» нет записи 1").arg(path(QStringLiteral("t.dbf"))));
    QCOMPARE(messageOf([&] { table.setTableName(QStringLiteral("u.dbf")); }),
             QStringLiteral("Нельзя сменить имя открытой таблицы «t.dbf»"));
}

void TestDbfTable::appendsAfterReopening()
{
    createTable();
    db::Table table;
    for (int round = 0; round < 3; ++round) {
        openTable(table);
        table.appendRecord({db::Value::number(round), db::Value::text(QString::number(round))});
        table.close();
    }
    const QByteArray file = readAll(path(QStringLiteral("t.dbf")));
    QCOMPARE(le32(file, 4), 3);
    QCOMPARE(file.size(), kHeaderLength + 3 * kRecordLength + 1);
    openTable(table);
    QCOMPARE(table.recordCount(), 3);
    for (int record = 0; record < 3; ++record) {
        QCOMPARE(table.value(record, 0), db::Value::number(record));
        QCOMPARE(table.value(record, 1), db::Value::text(QString::number(record)));
    }
}

void TestDbfTable::manyRecordsSurviveTheWriteBuffer()
{
    // Enough records to pass the engine's write buffer several times; reading in between makes
    // the buffered records reach the file first.
    constexpr int records = 12000;
    createTable();
    db::Table table;
    openTable(table);
    for (int record = 0; record < records; ++record) {
        table.appendRecord({db::Value::number(record),
                            db::Value::text(QStringLiteral("событие %1").arg(record)),
                            db::Value::text(QString::number(record % 1000)),
                            db::Value::date(QDate(2000, 1, 1).addDays(record))});
        if (record == records / 2)
            QCOMPARE(table.value(records / 3, 0), db::Value::number(records / 3));
    }
    QCOMPARE(table.recordCount(), records);
    table.close();
    QCOMPARE(readAll(path(QStringLiteral("t.dbf"))).size(),
             kHeaderLength + records * kRecordLength + 1);
    openTable(table);
    QCOMPARE(table.recordCount(), records);
    for (int record = 0; record < records; ++record) {
        QCOMPARE(table.value(record, 0), db::Value::number(record));
        QCOMPARE(table.value(record, 1).toText(), QStringLiteral("событие %1").arg(record));
        QCOMPARE(table.value(record, 2).toText(), QString::number(record % 1000));
        QCOMPARE(table.value(record, 3).toDate(), QDate(2000, 1, 1).addDays(record));
    }
}

void TestDbfTable::opensTheFileOfExactlyItsName()
{
    createTable(QString(kStatement).replace(QStringLiteral("t.dbf"), QStringLiteral("Plan.Dbf")));
    QVERIFY(QFile::exists(path(QStringLiteral("Plan.Dbf"))));
    db::Table table;
    openTable(table, QStringLiteral("Plan.Dbf"));
    table.appendRecord({number("7")});
    table.close();
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden),
             QStringList({QStringLiteral("Plan.Dbf")}));
    openTable(table, QStringLiteral("Plan.Dbf"));
    QCOMPARE(table.value(0, 0), number("7"));
}

void TestDbfTable::openRefuses_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("content"); // written first unless empty
    QTest::addColumn<QString>("message");    // %1: the folder

    QTest::newRow("missing file") << QStringLiteral("none.dbf") << QByteArray()
                                  << QStringLiteral("Таблица «%1/none.dbf» не найдена");
    QTest::newRow("text file") << QStringLiteral("text.dbf") << QByteArray("hello, world\n")
                               << QStringLiteral("Файл «%1/text.dbf» не является таблицей dBASE");
    QTest::newRow("empty file") << QStringLiteral("empty.dbf") << QByteArray("")
                                << QStringLiteral("Файл «%1/empty.dbf» не является таблицей dBASE");
    QTest::newRow("header cut short")
        << QStringLiteral("short.dbf") << QByteArray("\x03\x7c\x01\x01", 4)
        << QStringLiteral("Файл «%1/short.dbf» не является таблицей dBASE");
    QTest::newRow("other extension")
        << QStringLiteral("t.db") << QByteArray()
        << QStringLiteral("Таблица «t.db» не является таблицей dBASE: имя файла таблицы должно "
                          "оканчиваться на .dbf");
    QTest::newRow("directory in the name")
        << QStringLiteral("a/t.dbf") << QByteArray()
        << QStringLiteral("Имя таблицы «a/t.dbf» содержит разделитель папок; папку таблицы "
                          "задаёт база данных");
    QTest::newRow("quotation mark")
        << QStringLiteral("a\"b.dbf") << QByteArray()
        << QStringLiteral("Имя таблицы «a\"b.dbf» содержит двойную кавычку");
}

void TestDbfTable::openRefuses()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, content);
    QFETCH(QString, message);

    if (!content.isNull())
        writeAll(path(name), content);
    db::Table table;
    table.setTableName(name);
    table.setDatabaseName(m_dir->path());
    QCOMPARE(messageOf([&] { table.open(); }),
             message.contains(QStringLiteral("%1")) ? message.arg(m_dir->path()) : message);
    QVERIFY(!table.isOpen());
    if (!content.isNull())
        QCOMPARE(readAll(path(name)), content);
}

void TestDbfTable::writeFailureIsReported()
{
    // A file size limit makes the system refuse writes as a full disk would.
    createTable();
    db::Table table;
    openTable(table);
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = old;
    limit.rlim_cur = 64 * 1024;
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &limit), 0);
    QString message;
    int appended = 0;
    try {
        for (; appended < 100000; ++appended)
            table.appendRecord({db::Value::number(appended)});
        table.close();
    } catch (const KestrinError& error) {
        message = error.message();
    }
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    QCOMPARE(message,
             QStringLiteral("Не удалось записать таблицу «%1»: недостаточно места на диске")
                 .arg(path(QStringLiteral("t.dbf"))));
    QVERIFY(appended < 100000);
    // Closing after the failure still reports it: the file on disk is not complete.
    QCOMPARE(messageOf([&] { table.close(); }), message);
    QVERIFY(!table.isOpen());
}

QTEST_GUILESS_MAIN(TestDbfTable)
#include "tst_dbftable.moc"
