#include "DateFormat.h"
#include "EventIndex.h"
#include "NameCollation.h"
#include "NetworkAnalysis.h"
#include "NumberFormat.h"
#include "ScheduleTestSupport.h"
#include "WorkTable.h"

#include <QTest>

// The check of networks built wrong on purpose, each rule at least once: every finding, its
// severity and its rows, and nothing else.
class TestAnalysisCheck : public QObject
{
    Q_OBJECT

private slots:
    void findsEveryFault_data();
    void findsEveryFault();
};

void TestAnalysisCheck::findsEveryFault_data()
{
    QTest::addColumn<QString>("works");
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<QStringList>("findings"); // severity|text|rows (from 1)

    const auto row = [](const char* name, const char* works, const char* from, const char* to,
                        std::initializer_list<const char*> findings) {
        QTest::newRow(name) << QString::fromUtf8(works) << QString::fromUtf8(from)
                            << QString::fromUtf8(to) << texts(findings);
    };
    row("built right", "1>2:3;2>3:4", "1", "3", {"|Сеть построена правильно|"});
    // The times fail where the recalculation would, in its words; the check still runs.
    row("rows without events or durations", "1>2:1;>2:1;2>:1;2>3:abc;3>4:;4>5:-1", "1", "5",
        {"ошибка|Сроки не рассчитаны: 'abc' is not a valid floating point value|",
         "ошибка|У работы «»→«2» не указано начальное событие|2",
         "ошибка|У работы «2»→«» не указано конечное событие|3",
         "ошибка|Продолжительность «abc» работы «2»→«3» не является числом|4",
         "ошибка|У работы «3»→«4» не указана продолжительность|5",
         "ошибка|Продолжительность «-1» работы «4»→«5» отрицательна|6"});
    row("start event entered", "0>1:1;1>2:1", "1", "2",
        {"ошибка|В начальное событие «1» входят работы|1",
         "ошибка|Событие «0» недостижимо из начального события «1»|1",
         "ошибка|Работа «0»→«1» не лежит ни на одном пути от «1» до «2»|1"});
    // The work behind the end event is the one that gets negative floats.
    row("end event left", "1>2:1;2>3:1", "1", "2",
        {"ошибка|Из конечного события «2» выходят работы|2",
         "ошибка|Из события «3» нельзя попасть в конечное событие «2»|2",
         "ошибка|Работа «2»→«3» не лежит ни на одном пути от «1» до «2»|2"});
    row("several initial events", "1>3:1;2>3:1;3>4:1", "1", "4",
        {"ошибка|Несколько начальных событий (в них не входит ни одна работа): «1», «2»|2",
         "ошибка|Работа «2»→«3» не лежит ни на одном пути от «1» до «4»|2"});
    row("several final events", "1>2:1;1>3:1", "1", "2",
        {"ошибка|Несколько конечных событий (из них не выходит ни одна работа): «2», «3»|2",
         "ошибка|Работа «1»→«3» не лежит ни на одном пути от «1» до «2»|2"});
    row("loop on the way", "1>2:1;2>3:1;3>2:1;3>4:1", "1", "4",
        {"ошибка|Сроки не рассчитаны: Сетевой график содержит цикл: 2 -> 3 -> 2|",
         "ошибка|Сетевой график содержит цикл: 2 -> 3 -> 2|2, 3",
         "предупреждение|Номер начального события работы «3»→«2» не меньше номера конечного|3"});
    row("loop off the way", "1>2:1;3>3:1", "1", "2",
        {"ошибка|Сроки не рассчитаны: Сетевой график содержит цикл: 3 -> 3|",
         "ошибка|Сетевой график содержит цикл: 3 -> 3|2",
         "ошибка|Событие «3» недостижимо из начального события «1»|2",
         "ошибка|Работа «3»→«3» не лежит ни на одном пути от «1» до «2»|2",
         "предупреждение|Номер начального события работы «3»→«3» не меньше номера конечного|2"});
    // B is no successor of A: b, equal to it ignoring case, came first.
    row("case twin", "A>b:1;A>B:5;b>C:1;B>C:1", "A", "C",
        {"ошибка|Событие «B» недостижимо из начального события «A»|2, 4",
         "ошибка|Работа «B»→«C» не лежит ни на одном пути от «A» до «C»|4",
         "ошибка|Работа «A»→«B» не учитывается в расчёте: из события «A» уже выходит работа в "
         "«b», имя которого отличается только регистром букв|2"});
    row("parallel works", "1>2:1;1>2:2;2>3:1", "1", "3",
        {"предупреждение|Параллельные работы «1»→«2»: их продолжительности на пути "
         "складываются; разделите их фиктивной работой|1, 2"});
    // Numbers are compared as numbers: 011 is eleven, above 10 and not below 0010.
    row("numbering", "9>10:1;10>011:1;011>0010:1", "9", "0010",
        {"предупреждение|Номер начального события работы «011»→«0010» не меньше номера "
         "конечного|3"});
    row("start event unknown", "1>2:1", "X", "2",
        {"ошибка|Начальное событие «X» не встречается в таблице|"});
    row("start is end", "1>2:1", "1", "1",
        {"ошибка|Из конечного события «1» выходят работы|1",
         "ошибка|Начальное и конечное события совпадают|",
         "ошибка|Из события «2» нельзя попасть в конечное событие «1»|1"});
}

void TestAnalysisCheck::findsEveryFault()
{
    QFETCH(QString, works);
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(QStringList, findings);

    WorkTable table;
    setWorks(table, worksFrom(works));
    const NameCollation names(QLocale(QLocale::Russian, QLocale::Russia));
    const EventIndex events(table, names);
    const NetworkAnalysis analysis(table, events, from, to, 0, NumberFormat(QStringLiteral(",")),
                                   DateFormat(QStringLiteral("dd.MM.yyyy")));
    const AnalysisPage& check = analysis.page(NetworkAnalysis::Check);
    QStringList found;
    for (int row = 0; row < check.rowCount(); ++row)
        found.append(check.text(row, 0) + u'|' + check.text(row, 1) + u'|' + check.text(row, 2));
    QCOMPARE(found, findings);
}

QTEST_GUILESS_MAIN(TestAnalysisCheck)
#include "tst_analysis_check.moc"
