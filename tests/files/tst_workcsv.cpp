#include "FileTestSupport.h"
#include "NumberFormat.h"
#include "Plan.h"
#include "Windows1251.h"
#include "WorkCsv.h"
#include "WorkFieldRule.h"
#include "WorkTable.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

namespace {

using testsupport::messageOf;
using Works = QList<QStringList>; // start event, end event, duration

const NumberFormat& russianNumbers()
{
    static const NumberFormat numbers(QStringLiteral(","));
    return numbers;
}

// A table of the works, each row's computed cells filled with texts of their own.
void fill(WorkTable& table, const Works& works)
{
    table.setRowCount(static_cast<int>(works.size()));
    for (int row = 0; row < works.size(); ++row) {
        for (int column = 0; column < kWorkColumnCount; ++column)
            table.setCell(static_cast<WorkColumn>(column), row, QStringLiteral("c%1").arg(column));
        const QStringList& work = works[row];
        table.setCell(WorkColumn::StartEvent, row, work[0]);
        table.setCell(WorkColumn::EndEvent, row, work[1]);
        table.setCell(WorkColumn::Duration, row, work[2]);
    }
}

Works worksOf(const WorkInputs& inputs)
{
    WorkTable table;
    table.setRowCount(inputs.rowCount());
    inputs.writeInto(table, 0);
    Works works;
    for (int row = 0; row < inputs.rowCount(); ++row)
        works.append({table.cell(WorkColumn::StartEvent, row),
                      table.cell(WorkColumn::EndEvent, row),
                      table.cell(WorkColumn::Duration, row)});
    return works;
}

QByteArray utf8(const char* text)
{
    return QByteArray(text);
}

QByteArray cp1251(const char* text)
{
    QByteArray bytes;
    windows1251::encodeAppend(QString::fromUtf8(text), bytes);
    return bytes;
}

} // namespace

class TestWorkCsv : public QObject
{
    Q_OBJECT

private slots:
    void exportWritesHeadingAndQuotedCells();
    void exportedOrCopiedWorksReadBackTheSame_data();
    void exportedOrCopiedWorksReadBackTheSame();
    // Every work checked as the element dialog checks it: a bad line stops with its number.
    void readsWhatSpreadsheetsWrite_data();
    void readsWhatSpreadsheetsWrite();
    void formulaLikeNamesAreGuardedInTheFile();
    void onlyRegularFilesOfBoundedSizeAreRead();
    // The works' details after the eleven columns, by heading.
    void detailsTravelAfterTheElevenColumns();
    void detailsAreReadByHeadingAndOlderFilesStillRead();
};

void TestWorkCsv::exportWritesHeadingAndQuotedCells()
{
    WorkTable table;
    fill(table, {{QStringLiteral("a;b"), QStringLiteral("Конец \"X\""), QStringLiteral(" 5 ")}});
    table.setCell(WorkColumn::BeginDate, 0, QString());
    const QByteArray expected = QByteArray("\xEF\xBB\xBF") +
                                "К-во предш. работ;Начало;Конец;Продолжит.;В.Р.Н.;В.Р.О.;"
                                "В.П.Н.;В.П.О.;О.З.В.;Ч.З.В.;Дата\r\n"
                                "c0;\"a;b\";\"Конец \"\"X\"\"\";\" 5 \";c4;c5;c6;c7;c8;c9;\r\n";
    QCOMPARE(workcsv::encode(table), expected);
    QCOMPARE(workcsv::clipboardText(table, 0, 1),
             QStringLiteral("c0\ta;b\t\"Конец \"\"X\"\"\"\t\" 5 \"\tc4\tc5\tc6\tc7\tc8\tc9\t\n"));
}

void TestWorkCsv::exportedOrCopiedWorksReadBackTheSame_data()
{
    QTest::addColumn<Works>("works");
    QTest::newRow("numbers") << Works{
        {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")},
        {QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("2,5")}};
    QTest::newRow("Cyrillic, separators, quotes, blanks")
        << Works{{QStringLiteral("Начало; этап 1"), QStringLiteral("«Конец» \"проекта\""),
                  QStringLiteral(" 1e3 ")},
                 {QStringLiteral("\"\""), QStringLiteral("a b"), QStringLiteral("-0")},
                 {QStringLiteral("строка"), QStringLiteral(" "), QStringLiteral("0")}};
    // Formula-like names go out guarded and come back as they were, apostrophes and all.
    QTest::newRow("formula-like names")
        << Works{{QStringLiteral("=1+1"), QStringLiteral("+B"), QStringLiteral("+5")},
                 {QStringLiteral("'=C"), QStringLiteral("''@D"), QStringLiteral("0")},
                 {QStringLiteral("'"), QStringLiteral("-"), QStringLiteral("1")}};
}

void TestWorkCsv::exportedOrCopiedWorksReadBackTheSame()
{
    QFETCH(Works, works);
    WorkTable table;
    fill(table, works);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("план.csv"));
    workcsv::write(path, table);
    QCOMPARE(worksOf(workcsv::read(path, russianNumbers())), works);
    // Copying every row, or one, and pasting gives the same works.
    const QString copied = workcsv::clipboardText(table, 0, table.rowCount());
    QCOMPARE(worksOf(workcsv::pastedWorks(copied, russianNumbers())), works);
    const QString last = workcsv::clipboardText(table, table.rowCount() - 1, 1);
    QCOMPARE(worksOf(workcsv::pastedWorks(last, russianNumbers())), Works{works.last()});
}

void TestWorkCsv::readsWhatSpreadsheetsWrite_data()
{
    QTest::addColumn<bool>("pasted");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<Works>("works");
    QTest::addColumn<QString>("message"); // of the line that stops the reading
    const Works two{{QStringLiteral("А"), QStringLiteral("Б"), QStringLiteral("1,5")},
                    {QStringLiteral("Б"), QStringLiteral("В"), QStringLiteral("2")}};
    const auto row = [](const char* name, bool pasted, const QByteArray& bytes, const Works& works,
                        const char* message = "") {
        QTest::newRow(name) << pasted << bytes << works << QString::fromUtf8(message);
    };
    row("UTF-8, BOM, heading", false,
        utf8("\xEF\xBB\xBFНачало;Конец;Продолжит.\r\nА;Б;1,5\r\nБ;В;2\r\n"), two);
    row("UTF-8, no BOM, no heading, LF, no last line end", false, utf8("А;Б;1,5\nБ;В;2"), two);
    row("Windows-1251", false, cp1251("А;Б;1,5\r\nБ;В;2\r\n"), two);
    row("heading in another order, more columns", false,
        utf8(" продолжит. ;Примечание;конец;НАЧАЛО\r\n1,5;x;Б;А\r\n2;;В;Б\r\n"), two);
    row("eleven fields as exported, no heading", false,
        utf8("0;А;Б;1,5;0;1,5;0;1,5;0;0;30.12.1899\r\n;Б;В;2;;;;;;;\r\n"), two);
    row("blank lines skipped, CR line ends", false, utf8(";;\r\rА;Б;1,5\r\r;\rБ;В;2\r"), two);
    row("paste: spreadsheet cells", true, utf8("Начало\tКонец\tПродолжит.\nА\tБ\t1,5\nБ\tВ\t2\n"),
        two);
    row("paste: semicolons", true, utf8("А;Б;1,5\r\nБ;В;2"), two);
    row("paste: semicolon inside tab-separated cells", true, utf8("А;1\tБ\t1,5\n"),
        {{QStringLiteral("А;1"), QStringLiteral("Б"), QStringLiteral("1,5")}});
    row("paste: nothing but a heading", true, utf8("Начало;Конец;Продолжит.\n"), {});
    row("duration not a number", false, utf8("Начало;Конец;Продолжит.\r\n1;2;3\r\n2;3;2.5\r\n"), {},
        "Файл «план.csv», строка 3: длина элемента «2.5» не является неотрицательным числом; "
        "работы не прочитаны");
    row("negative duration, lines counted past a quoted line end", false,
        utf8("Начало;Конец;Продолжит.;\"При\nмечание\"\r\n2;3;-1\r\n"), {},
        "Файл «план.csv», строка 3: длина элемента «-1» не является неотрицательным числом; "
        "работы не прочитаны");
    row("no start event", false, utf8("1;2;3\r\n;3;1\r\n"), {},
        "Файл «план.csv», строка 2: не задано начало элемента; работы не прочитаны");
    row("character the work list file cannot hold", false, utf8("1;2😀;3\r\n"), {},
        "Файл «план.csv», строка 1: символ «😀» нельзя сохранить в файле данных (кодировка "
        "Windows-1251); работы не прочитаны");
    row("paste: spreadsheet cells with a bad duration", true, utf8("1\t2\t3\n2\t3\tтри\n3\t4\t1\n"),
        {},
        "Строка 2 вставляемого текста: длина элемента «три» не является неотрицательным числом; "
        "ничего не вставлено");
    row("paste: missing end event", true, utf8("1\n"), {},
        "Строка 1 вставляемого текста: не задан конец элемента; ничего не вставлено");

    // A line break or Ctrl+Z in a name would shift or cut the work list file saved from it.
    row("line break in a quoted name", false, utf8("\"A\r\nX\";B;3\r\nB;C;4\r\nC;D;5\r\n"), {},
        "Файл «план.csv», строка 1: управляющий символ U+000D нельзя сохранить в файле данных; "
        "работы не прочитаны");
    row("paste: LF in a spreadsheet cell", true, utf8("A\tB\t1\n\"C\nD\"\tE\t2\n"), {},
        "Строка 2 вставляемого текста: управляющий символ U+000A нельзя сохранить в файле данных; "
        "ничего не вставлено");
    row("Ctrl+Z in an end event", false, utf8("A;B\x1A;1\r\n"), {},
        "Файл «план.csv», строка 1: управляющий символ U+001A нельзя сохранить в файле данных; "
        "работы не прочитаны");
    row("NUL in a name", false, QByteArray("A;B;1\r\nB\0;C;2\r\n", 15), {},
        "Файл «план.csv», строка 2: управляющий символ U+0000 нельзя сохранить в файле данных; "
        "работы не прочитаны");
    row("paste: DEL in a duration", true, utf8("A;B;1\x7F\n"), {},
        "Строка 1 вставляемого текста: управляющий символ U+007F нельзя сохранить в файле "
        "данных; ничего не вставлено");
    // A text beyond the limit is quoted by its beginning only.
    const QByteArray longName(workfield::kMaxLength + 1, 'n');
    row("name one character too long", false, "A;" + longName + ";1\r\n", {},
        qPrintable(QStringLiteral("Файл «план.csv», строка 1: поле «Конец» длиннее 4000 символов: "
                                  "«%1…»; работы не прочитаны")
                       .arg(QString(workfield::kQuotedLength, u'n'))));
    row("name as long as allowed", false, "A;" + longName.left(workfield::kMaxLength) + ";1\r\n",
        {{QStringLiteral("A"), QString::fromLatin1(longName.left(workfield::kMaxLength)),
          QStringLiteral("1")}});
    row("paste: long bad duration quoted by its beginning", true,
        "A;B;" + QByteArray(3000, '9') + "x\n", {},
        qPrintable(QStringLiteral("Строка 1 вставляемого текста: длина элемента «%1…» не является "
                                  "неотрицательным числом; ничего не вставлено")
                       .arg(QString(workfield::kQuotedLength, u'9'))));
    row("paste: 10 MB bad duration", true, "A;B;" + QByteArray(10 << 20, '9') + "x\n", {},
        qPrintable(QStringLiteral("Строка 1 вставляемого текста: поле «Продолжит.» длиннее 4000 "
                                  "символов: «%1…»; ничего не вставлено")
                       .arg(QString(workfield::kQuotedLength, u'9'))));
    // An unclosed quote would otherwise swallow the rest of the file into one name.
    row("quote never closed", false, utf8("A;B;1\r\nB;\"C;2\r\nC;D;3\r\n"), {},
        "Файл «план.csv», строка 2: кавычка не закрыта; работы не прочитаны");
    row("paste: quote never closed", true, utf8("A\tB\t1\n\"B\tC\t2"), {},
        "Строка 2 вставляемого текста: кавычка не закрыта; ничего не вставлено");
    // A file without a single work would empty the table; it is refused as pasting it is.
    const char* const empties[][2] = {{"no work: empty file", ""},
                                      {"no work: BOM only", "\xEF\xBB\xBF"},
                                      {"no work: heading only", "Начало;Конец;Продолжит.\r\n"},
                                      {"no work: separators only", ";;;\r\n;;\r\n"},
                                      {"no work: BOM and blank lines", "\xEF\xBB\xBF\r\n\r\n"}};
    for (const auto& empty : empties)
        row(empty[0], false, utf8(empty[1]), {},
            "В файле «план.csv» нет элементов графика; работы не прочитаны");
}

void TestWorkCsv::readsWhatSpreadsheetsWrite()
{
    QFETCH(bool, pasted);
    QFETCH(QByteArray, bytes);
    QFETCH(Works, works);
    QFETCH(QString, message);
    Works read;
    const QString raised = messageOf([&] {
        read =
            worksOf(pasted ? workcsv::pastedWorks(QString::fromUtf8(bytes), russianNumbers())
                           : workcsv::decode(bytes, russianNumbers(), QStringLiteral("план.csv")));
    });
    QCOMPARE(raised, message.isEmpty() ? QStringLiteral("(no error)") : message);
    QCOMPARE(read, works);
}

void TestWorkCsv::formulaLikeNamesAreGuardedInTheFile()
{
    // A spreadsheet opening the file must see texts, not formulas; the grid's own numbers and
    // the clipboard's text stay as they are.
    WorkTable table;
    fill(table, {{QStringLiteral("=HYPERLINK(\"x\")"), QStringLiteral("@B"), QStringLiteral("1")}});
    table.setCell(WorkColumn::TotalFloat, 0, QStringLiteral("-1"));
    const QString line =
        QString::fromUtf8(workcsv::encode(table)).split(QStringLiteral("\r\n")).value(1);
    QCOMPARE(line, QStringLiteral("c0;\"'=HYPERLINK(\"\"x\"\")\";'@B;1;c4;c5;c6;c7;-1;c9;c10"));
    QCOMPARE(workcsv::clipboardText(table, 0, 1).section(u'\t', 1, 2),
             QStringLiteral("\"=HYPERLINK(\"\"x\"\")\"\t@B"));
}

void TestWorkCsv::onlyRegularFilesOfBoundedSizeAreRead()
{
    QTemporaryDir dir;
    const QString fifo = dir.filePath(QStringLiteral("pipe.csv"));
    QVERIFY(::mkfifo(QFile::encodeName(fifo).constData(), 0600) == 0);
    // Opening a FIFO nobody writes to would wait for ever.
    QCOMPARE(messageOf([&] { workcsv::read(fifo, russianNumbers()); }),
             QStringLiteral("Файл «%1» не прочитан: это не обычный файл (канал или устройство)")
                 .arg(QDir::toNativeSeparators(fifo)));
    QCOMPARE(messageOf([&] { workcsv::read(QStringLiteral("/dev/zero"), russianNumbers()); }),
             QStringLiteral("Файл «/dev/zero» не прочитан: это не обычный файл (канал или "
                            "устройство)"));
    QCOMPARE(messageOf([&] { workcsv::read(dir.path(), russianNumbers()); }),
             QStringLiteral("Файл «%1» не прочитан: это папка")
                 .arg(QDir::toNativeSeparators(dir.path())));
    // A sparse file takes no room on the disk.
    const QString huge = dir.filePath(QStringLiteral("huge.csv"));
    QFile file(huge);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.resize(workcsv::kMaxBytes + 1));
    file.close();
    QCOMPARE(messageOf([&] { workcsv::read(huge, russianNumbers()); }),
             QStringLiteral("Файл «%1» не прочитан: файл больше 64 МБ")
                 .arg(QDir::toNativeSeparators(huge)));
    QCOMPARE(messageOf([&] {
                 workcsv::read(dir.filePath(QStringLiteral("none.csv")), russianNumbers());
             }),
             QStringLiteral("File not found"));
}

namespace {

// A plan of two resources, one of them named like nothing else in a heading.
Plan twoResources(ResourceId& crew, ResourceId& crane)
{
    Plan plan;
    crew = plan.addResource();
    crane = plan.addResource();
    Resource resource = *plan.resource(crew);
    resource.name = QStringLiteral("Бригада; \"А\"");
    plan.updateResource(resource);
    resource = *plan.resource(crane);
    resource.name = QStringLiteral("Кран");
    plan.updateResource(resource);
    return plan;
}

} // namespace

void TestWorkCsv::detailsTravelAfterTheElevenColumns()
{
    ResourceId crew = 0, crane = 0;
    const Plan plan = twoResources(crew, crane);
    QRandomGenerator random(11);
    const QString names[] = {QStringLiteral("Кладка «стен»; этап \"2\""),
                             QStringLiteral("=СУММ(A1)"), QStringLiteral("'+тег"),
                             QStringLiteral(" пробелы ")};
    WorkTable table;
    fill(table, {{QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")}});
    WorkInputs works;
    for (int row = 0; row < 60; ++row) {
        WorkDetails details;
        if (random.bounded(5)) {
            details.name = names[random.bounded(4)] + QString::number(row);
            // Values that the number text must carry exactly: thirds, tiny and huge ones.
            const double optimistic = random.bounded(100) / 3.0;
            if (random.bounded(2)) {
                details.setNumber(DetailNumber::Optimistic, optimistic);
                details.setNumber(DetailNumber::Pessimistic, optimistic * 2 + 1e-9);
            }
            details.setNumber(DetailNumber::Shortest,
                              random.bounded(2) ? std::optional(0.0) : std::nullopt);
            details.setNumber(DetailNumber::NormalCost, 1e12 / 7);
            details.setNumber(DetailNumber::ShortestCost, 1e12 / 7 + 0.5);
            details.setDemand(crew, random.bounded(3));
            if (random.bounded(2))
                details.setDemand(crane, 0.125);
        }
        works.append(QString::number(row), QString::number(row + 1), QStringLiteral("2,5"),
                     details);
    }
    table.replaceRows(0, 1, works);
    QVERIFY(table.rowsWithDetails() > 30);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("сведения.csv"));
    workcsv::write(path, table, plan, russianNumbers());
    QVERIFY(workcsv::read(path, russianNumbers(), plan) == works);
    const QString copied =
        workcsv::clipboardText(table, plan, russianNumbers(), 0, table.rowCount());
    QVERIFY(workcsv::pastedWorks(copied, russianNumbers(), plan) == works);
    QVERIFY(workcsv::pastedWorks(workcsv::clipboardText(table, plan, russianNumbers(), 7, 1),
                                 russianNumbers(), plan) == WorkInputs::ofRows(table, 7, 1));
    // The heading names the details after the grid's eleven captions.
    const QString heading = QString::fromUtf8(workcsv::encode(table, plan, russianNumbers()))
                                .section(QStringLiteral("\r\n"), 0, 0);
    QCOMPARE(heading.section(u';', 11),
             QStringLiteral("Наименование;Оптимист.;Пессимист.;Мин. продолжит.;Стоимость;"
                            "Стоимость при мин.;\"Бригада; \"\"А\"\"\";Кран"));

    // A table without details, beside a plan without resources, is written as it always was.
    WorkTable plain;
    fill(plain, {{QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")}});
    QCOMPARE(workcsv::encode(plain, Plan(), russianNumbers()), workcsv::encode(plain));
    QCOMPARE(workcsv::clipboardText(plain, Plan(), russianNumbers(), 0, 1),
             workcsv::clipboardText(plain, 0, 1));
}

void TestWorkCsv::detailsAreReadByHeadingAndOlderFilesStillRead()
{
    ResourceId crew = 0, crane = 0;
    const Plan plan = twoResources(crew, crane);
    // As a spreadsheet may leave it: columns moved, an unknown one, captions in other letter
    // case, a resource the plan does not have (passed over like any unknown column).
    const QByteArray moved = "Кран;Продолжит.;НАЧАЛО;Примечание;Конец;наименование;Оптимист.;"
                             "Пессимист.;Экскаватор\r\n"
                             "2;5;1;x;2;Фундамент;4;7,5;1\r\n"
                             ";3;2;;3;;;;\r\n";
    const WorkInputs read = workcsv::decode(moved, russianNumbers(), QStringLiteral("a.csv"), plan);
    WorkDetails foundation;
    foundation.name = QStringLiteral("Фундамент");
    foundation.setNumber(DetailNumber::Optimistic, 4);
    foundation.setNumber(DetailNumber::Pessimistic, 7.5);
    foundation.setDemand(crane, 2);
    WorkInputs expected;
    expected.append(u"1", u"2", u"5", foundation);
    expected.append(u"2", u"3", u"3");
    QVERIFY(read == expected);

    // An older file of eleven columns reads its works without details, with a plan or without.
    WorkTable table;
    fill(table, {{QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")},
                 {QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("4")}});
    const QByteArray older = workcsv::encode(table);
    WorkInputs plain;
    plain.append(u"1", u"2", u"3");
    plain.append(u"2", u"3", u"4");
    QVERIFY(workcsv::decode(older, russianNumbers(), QStringLiteral("old.csv"), plan) == plain);
    QVERIFY(workcsv::decode(older, russianNumbers(), QStringLiteral("old.csv")) == plain);

    // Details that break their own rules, or a number that is not one, stop the reading at
    // their line.
    QCOMPARE(messageOf([&] {
                 workcsv::decode("Начало;Конец;Продолжит.;Оптимист.;Пессимист.\r\n1;2;3;1;2\r\n"
                                 "2;3;4;5;2\r\n",
                                 russianNumbers(), QStringLiteral("b.csv"), plan);
             }).left(22),
             QStringLiteral("Файл «b.csv», строка 3"));
    const QString notNumber = messageOf([&] {
        workcsv::pastedWorks(QStringLiteral("Начало\tКонец\tПродолжит.\tКран\n1\t2\t3\tмного\n"),
                             russianNumbers(), plan);
    });
    QVERIFY2(notNumber.startsWith(QStringLiteral("Строка 2")) && notNumber.contains(u"Кран"),
             qPrintable(notNumber));
}

QTEST_GUILESS_MAIN(TestWorkCsv)
#include "tst_workcsv.moc"
