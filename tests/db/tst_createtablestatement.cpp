#include "CreateTableStatement.h"
#include "KestrinError.h"

#include <QTest>

namespace {

// "NAME:type:width:decimals" for each field, joined by blanks: one readable line per table.
QString layoutOf(const db::CreateTable& table)
{
    QStringList fields;
    for (const db::FieldInfo& field : table.fields)
        fields.append(QStringLiteral("%1:%2:%3:%4")
                          .arg(field.name)
                          .arg(QLatin1Char(char(field.type)))
                          .arg(field.width)
                          .arg(field.decimals));
    return fields.join(u' ');
}

} // namespace

class TestCreateTableStatement : public QObject
{
    Q_OBJECT

private slots:
    void acceptsTheFormsOfTheStatement_data();
    void acceptsTheFormsOfTheStatement();
    void refusesAnythingElse_data();
    void refusesAnythingElse();
};

void TestCreateTableStatement::acceptsTheFormsOfTheStatement_data()
{
    QTest::addColumn<QString>("statement");
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QString>("layout");

    QTest::newRow("schedule template") << QStringLiteral("create table \"plan.dbf\"\n(\n"
                                                         "   PevJobs  numeric,\n"
                                                         "   pFrom char(20),\n"
                                                         "   pTo char (20),\n"
                                                         "   mLength numeric,\n"
                                                         "   BeginDate date\n)")
                                       << QStringLiteral("plan.dbf")
                                       << QStringLiteral("PEVJOBS:N:21:6 PFROM:C:20:0 PTO:C:20:0 "
                                                         "MLENGTH:N:21:6 BEGINDATE:D:8:0");
    QTest::newRow("keywords in any case, no blanks")
        << QStringLiteral("CREATE Table\"A.DBF\"(x NUMERIC,Y Char(1),z DaTe)")
        << QStringLiteral("A.DBF") << QStringLiteral("X:N:21:6 Y:C:1:0 Z:D:8:0");
    QTest::newRow("tabs and CR LF between elements")
        << QStringLiteral(
               "\tcreate\r\ntable \"t.dbf\" (\r\n\tf_1 char ( 254 ) ,\r\n\t_g date )\r\n")
        << QStringLiteral("t.dbf") << QStringLiteral("F_1:C:254:0 _G:D:8:0");
    QTest::newRow("Cyrillic and blanks in the file name")
        << QStringLiteral("create table \"План работ.dbf\" (a numeric)")
        << QStringLiteral("План работ.dbf") << QStringLiteral("A:N:21:6");
    QTest::newRow("ten-character field name")
        << QStringLiteral("create table \"t.dbf\" (abcdefghij numeric)") << QStringLiteral("t.dbf")
        << QStringLiteral("ABCDEFGHIJ:N:21:6");
}

void TestCreateTableStatement::acceptsTheFormsOfTheStatement()
{
    QFETCH(QString, statement);
    QFETCH(QString, fileName);
    QFETCH(QString, layout);

    const db::CreateTable table = db::parseCreateTable(statement);
    QCOMPARE(table.fileName, fileName);
    QCOMPARE(layoutOf(table), layout);
}

void TestCreateTableStatement::refusesAnythingElse_data()
{
    QTest::addColumn<QString>("statement");
    QTest::addColumn<QString>("message");

    const auto syntax = [](int line, const char* what, const char* found) {
        return QStringLiteral("Ошибка в инструкции создания таблицы, строка %1: %2, а найдено %3")
            .arg(line)
            .arg(QString::fromUtf8(what), QString::fromUtf8(found));
    };

    QTest::newRow("empty") << QString() << syntax(1, "ожидалось слово CREATE", "конец текста");
    QTest::newRow("another statement")
        << QStringLiteral("drop table \"t.dbf\"") << syntax(1, "ожидалось слово CREATE", "«drop»");
    QTest::newRow("name without quotes")
        << QStringLiteral("create table t (a numeric)")
        << syntax(1, "ожидалось имя таблицы в двойных кавычках", "«t»");
    QTest::newRow("unclosed name")
        << QStringLiteral("create table \"t.dbf (a numeric)")
        << syntax(1, "имя таблицы не закрыто двойной кавычкой", "«\"t.dbf (a numeric)»");
    QTest::newRow("unknown type on line 3")
        << QStringLiteral("create table \"t.dbf\"\n(a numeric,\n b integer)")
        << syntax(3, "ожидался тип поля B: numeric, char(n) или date", "«integer»");
    QTest::newRow("char without length")
        << QStringLiteral("create table \"t.dbf\" (a char)") << syntax(1, "ожидалось «(»", "«)»");
    QTest::newRow("char of zero") << QStringLiteral("create table \"t.dbf\" (a char(0))")
                                  << syntax(1, "длина поля A должна быть от 1 до 254", "«0»");
    QTest::newRow("char too wide") << QStringLiteral("create table \"t.dbf\" (a char(255))")
                                   << syntax(1, "длина поля A должна быть от 1 до 254", "«255»");
    QTest::newRow("size on numeric") << QStringLiteral("create table \"t.dbf\" (a numeric(5))")
                                     << syntax(1, "ожидалось «)»", "«(»");
    QTest::newRow("no fields") << QStringLiteral("create table \"t.dbf\" ()")
                               << syntax(1, "ожидалось имя поля", "«)»");
    QTest::newRow("trailing comma") << QStringLiteral("create table \"t.dbf\" (a date,)")
                                    << syntax(1, "ожидалось имя поля", "«)»");
    QTest::newRow("missing close") << QStringLiteral("create table \"t.dbf\" (a date")
                                   << syntax(1, "ожидалось «)»", "конец текста");
    QTest::newRow("text after the statement") << QStringLiteral("create table \"t.dbf\" (a date);")
                                              << syntax(1, "недопустимый символ", "«;»");
    QTest::newRow("second statement")
        << QStringLiteral("create table \"t.dbf\" (a date)\ncreate table \"u.dbf\" (b date)")
        << syntax(2, "после закрывающей скобки ожидался конец инструкции", "«create»");
    QTest::newRow("duplicate field in other case")
        << QStringLiteral("create table \"t.dbf\" (fl1 numeric, FL1 date)")
        << syntax(1, "поле FL1 уже объявлено", "«)»");
    QTest::newRow("field name of eleven characters")
        << QStringLiteral("create table \"t.dbf\" (abcdefghijk numeric)")
        << syntax(1, "имя поля «abcdefghijk» длиннее 10 символов", "«abcdefghijk»");
    QTest::newRow("Cyrillic field name")
        << QStringLiteral("create table \"t.dbf\" (дата date)")
        << syntax(1,
                  "имя поля «дата» должно состоять из латинских букв, цифр и знака подчёркивания",
                  "«дата»");
    QTest::newRow("field name starting with a digit")
        << QStringLiteral("create table \"t.dbf\" (1a date)")
        << syntax(1, "ожидалось имя поля", "«1»");
    QTest::newRow("directory in the name")
        << QStringLiteral("create table \"sub/t.dbf\" (a date)")
        << QStringLiteral("Имя таблицы «sub/t.dbf» содержит разделитель папок; папку таблицы "
                          "задаёт база данных");
    QTest::newRow("not a dBASE table")
        << QStringLiteral("create table \"t.db\" (a date)")
        << QStringLiteral("Таблица «t.db» не является таблицей dBASE: имя файла таблицы должно "
                          "оканчиваться на .dbf");
    QTest::newRow("empty name") << QStringLiteral("create table \"\" (a date)")
                                << QStringLiteral("Не задано имя файла таблицы");
    QTest::newRow("control character in the name")
        << QStringLiteral("create table \"a\tb.dbf\" (a date)")
        << QStringLiteral("Имя таблицы «a\tb.dbf» содержит управляющий символ");

    QString many = QStringLiteral("create table \"t.dbf\" (f0 date");
    for (int i = 1; i <= 128; ++i)
        many += QStringLiteral(", f%1 date").arg(i);
    QTest::newRow("129 fields") << many + u')'
                                << syntax(1, "в таблице может быть не больше 128 полей", "«)»");
}

void TestCreateTableStatement::refusesAnythingElse()
{
    QFETCH(QString, statement);
    QFETCH(QString, message);

    try {
        db::parseCreateTable(statement);
        QFAIL("the statement was accepted");
    } catch (const KestrinError& error) {
        QCOMPARE(error.message(), message);
    }
}

QTEST_GUILESS_MAIN(TestCreateTableStatement)
#include "tst_createtablestatement.moc"
