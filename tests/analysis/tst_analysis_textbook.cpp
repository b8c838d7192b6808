#include "DateFormat.h"
#include "EventIndex.h"
#include "NameCollation.h"
#include "NetworkAnalysis.h"
#include "NumberFormat.h"
#include "ScheduleTestSupport.h"
#include "WorkListFile.h"
#include "WorkTable.h"

#include <QTest>

#include <memory>

// The example network of the user guide, analysed as a textbook exercise solves it by hand: 12
// works, 10 events, L = 21, one critical path 1-2-4-6-7-9-10, start date 1 March 2027.
class TestAnalysisTextbook : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void eventTable();
    void tensionCoefficients_data();
    void tensionCoefficients();
    void criticalAndLongestPaths();

private:
    QStringList rows(NetworkAnalysis::Page page) const
    {
        QStringList lines;
        const AnalysisPage& shown = m_analysis->page(page);
        for (int row = 0; row < shown.rowCount(); ++row) {
            QStringList cells;
            for (int column = 0; column < shown.columnCount(); ++column)
                cells.append(shown.text(row, column));
            lines.append(cells.join(u'|'));
        }
        return lines;
    }

    const NumberFormat m_numbers{QStringLiteral(",")};
    const DateFormat m_dates{QStringLiteral("dd.MM.yyyy")};
    const NameCollation m_names{QLocale(QLocale::Russian, QLocale::Russia)};
    const double m_startDate = DateFormat::daysOf(QDate(2027, 3, 1));
    WorkTable m_table;
    std::unique_ptr<EventIndex> m_events;
    std::unique_ptr<NetworkAnalysis> m_analysis;
};

void TestAnalysisTextbook::initTestCase()
{
    worklistfile::read(QStringLiteral(KESTRIN_HOUSE_FILE), m_table);
    QCOMPARE(m_table.rowCount(), 12);
    m_events = std::make_unique<EventIndex>(m_table, m_names);
    m_analysis =
        std::make_unique<NetworkAnalysis>(m_table, *m_events, QStringLiteral("1"),
                                          QStringLiteral("10"), m_startDate, m_numbers, m_dates);
    QVERIFY(m_analysis->timesKnown());
    QCOMPARE(
        m_analysis->summary(),
        QStringLiteral("От «1» до «10»: L = 21; работ 12, событий 10; начало работ 01.03.2027"));
    QCOMPARE(rows(NetworkAnalysis::Check),
             QStringList{QStringLiteral("|Сеть построена правильно|")});
}

void TestAnalysisTextbook::eventTable()
{
    // Tр forward (the greatest of Tр(i) + t(i,j)), Tп backward (the least of Tп(j) - t(i,j)),
    // R = Tп - Tр; ordered by Tр. Event 5's Tр 7,5 falls at midday: its date is still 8 March.
    QCOMPARE(rows(NetworkAnalysis::Events),
             texts({"1|0|0|0|01.03.2027|01.03.2027", "2|3|3|0|04.03.2027|04.03.2027",
                    "3|5|7|2|06.03.2027|08.03.2027", "4|7|7|0|08.03.2027|08.03.2027",
                    "5|7,5|12|4,5|08.03.2027|13.03.2027", "6|13|13|0|14.03.2027|14.03.2027",
                    "8|15|18,5|3,5|16.03.2027|19.03.2027", "7|16|16|0|17.03.2027|17.03.2027",
                    "9|20|20|0|21.03.2027|21.03.2027", "10|21|21|0|22.03.2027|22.03.2027"}));
}

void TestAnalysisTextbook::tensionCoefficients_data()
{
    QTest::addColumn<QString>("work");
    QTest::addColumn<QString>("figures"); // О.З.В.|Ч.З.В.|t(Lmax)|t'кр|Kн|zone

    // Worked by hand. 1→3: the longest path through it is 1-3-4-6-7-9-10 = 19, of which 4-6-7-9-10
    // = 14 is critical: Kн = (19 - 14) / (21 - 14) = 5/7 = 0,71.
    QTest::newRow("1-3") << "2|1|3|5"
                         << "2|0|19|14|0,71|подкритическая";
    // 6→8: 1-2-4-6-8-9-10 = 17,5, critical 1-2-4-6 and 9-10 = 14: Kн = 3,5 / 7 = 0,5.
    QTest::newRow("6-8") << "9|6|8|2"
                         << "3,5|0|17,5|14|0,5|резервная";
    QTest::newRow("8-9") << "11|8|9|1,5"
                         << "3,5|3,5|17,5|14|0,5|резервная";
    // 3→5 and 5→6 lie on 1-3-5-6-7-9-10 = 16,5 whose critical part is 6-7-9-10 = 8: 8,5 / 13.
    QTest::newRow("3-5") << "5|3|5|2,5"
                         << "4,5|0|16,5|8|0,65|подкритическая";
    QTest::newRow("5-6") << "7|5|6|1"
                         << "4,5|4,5|16,5|8|0,65|подкритическая";
    QTest::newRow("dummy 3-4") << "4|3|4|0"
                               << "2|2|19|14|0,71|подкритическая";
    QTest::newRow("critical 4-6") << "6|4|6|6"
                                  << "0|0|21|21|1|критическая";
}

void TestAnalysisTextbook::tensionCoefficients()
{
    QFETCH(QString, work);
    QFETCH(QString, figures);
    QVERIFY(rows(NetworkAnalysis::Tension).contains(work + u'|' + figures));
}

void TestAnalysisTextbook::criticalAndLongestPaths()
{
    // All six paths of the network: the one critical path, then the rest by falling length.
    QCOMPARE(rows(NetworkAnalysis::Paths),
             texts({"1|критический|21|0|1 -> 2 -> 4 -> 6 -> 7 -> 9 -> 10",
                    "2|некритический|19|2|1 -> 3 -> 4 -> 6 -> 7 -> 9 -> 10",
                    "3|некритический|17,5|3,5|1 -> 2 -> 4 -> 6 -> 8 -> 9 -> 10",
                    "4|некритический|16,5|4,5|1 -> 3 -> 5 -> 6 -> 7 -> 9 -> 10",
                    "5|некритический|15,5|5,5|1 -> 3 -> 4 -> 6 -> 8 -> 9 -> 10",
                    "6|некритический|13|8|1 -> 3 -> 5 -> 6 -> 8 -> 9 -> 10"}));
}

QTEST_GUILESS_MAIN(TestAnalysisTextbook)
#include "tst_analysis_textbook.moc"
