#include "AnalysisDataSet.h"
#include "AnalysisReport.h"
#include "DateFormat.h"
#include "EventIndex.h"
#include "NameCollation.h"
#include "NetworkAnalysis.h"
#include "NumberFormat.h"
#include "PageMaker.h"
#include "PageOutput.h"
#include "PopplerTestSupport.h"
#include "ReportDocument.h"
#include "ReportFonts.h"
#include "WorkListFile.h"
#include "WorkTable.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

// The printed analysis of the guide's example, read back from its PDF with pdftotext.
class TestAnalysisPrint : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        report::installReportFontSubstitutes();
        QVERIFY(m_dir.isValid());
    }

    void printsTheNamesWithinThePage_data();
    void printsTheNamesWithinThePage();

private:
    QTemporaryDir m_dir;
};

namespace {

const QString kLongName = QStringLiteral(
    "Устройство ленточного фундамента с гидроизоляцией и утеплением по всему периметру");

// Every word of `text`, in its order, somewhere in `printed` (a wrapped text is cut between
// words, with other columns' texts in between).
bool holdsWordsInOrder(const QString& printed, const QString& text)
{
    qsizetype from = 0;
    for (const QString& word : text.split(u' ')) {
        from = printed.indexOf(word, from);
        if (from < 0)
            return false;
        from += word.size();
    }
    return true;
}

} // namespace

void TestAnalysisPrint::printsTheNamesWithinThePage_data()
{
    QTest::addColumn<bool>("named");
    QTest::newRow("no names") << false;
    QTest::newRow("names") << true;
}

// With names, the works page prints their column, a long name over several lines, and every
// column of every page still ends within the printed line; without, there is no such column.
void TestAnalysisPrint::printsTheNamesWithinThePage()
{
    QFETCH(bool, named);
    WorkTable table;
    worklistfile::read(QStringLiteral(KESTRIN_HOUSE_FILE), table);
    if (named) {
        WorkDetails details;
        details.name = QStringLiteral("Фундамент");
        table.setDetails(0, details);
        details.name = kLongName;
        table.setDetails(5, details);
    }
    const NumberFormat numbers(QStringLiteral(","));
    const DateFormat dates(QStringLiteral("dd.MM.yyyy"));
    const NameCollation names(QLocale(QLocale::Russian, QLocale::Russia));
    const EventIndex events(table, names);
    const NetworkAnalysis analysis(table, events, QStringLiteral("1"), QStringLiteral("10"),
                                   DateFormat::daysOf(QDate(2027, 3, 1)), numbers, dates);
    QVERIFY(analysis.timesKnown());

    const AnalysisDataSet records(analysis);
    auto document = std::make_unique<report::ReportDocument>(
        std::make_shared<report::ReportLayout>(analysisReportLayout(analysis)));
    const report::ReportLayout& layout = document->layout();
    for (const report::ReportBand& band : layout.bands)
        for (const report::ReportElement& element : band.elements)
            QVERIFY2(element.box.right() <= layout.bandWidth() + 1e-9,
                     qPrintable(element.name +
                                QStringLiteral(" ends at %1 mm").arg(element.box.right())));
    QList<report::MadePage> pages;
    report::PageMaker maker(layout, &records, report::bindFields(layout, &records));
    maker.run([&](report::MadePage&& page) { pages.append(std::move(page)); });
    document->appendPages(std::move(pages));
    document->setComplete(true);

    const QString path = m_dir.filePath(QStringLiteral("analysis.pdf"));
    QVERIFY(report::exportPdf(*document, path));
    POPPLER(text, "pdftotext", QStringLiteral("-layout"), path, QStringLiteral("-"));
    QCOMPARE(text.contains(QStringLiteral("Наименование")), named);
    QVERIFY2(text.contains(QRegularExpression(QStringLiteral("(?m)^\\s*1\\s+1\\s+2\\s+3\\s"))),
             qPrintable(text));
    if (!named)
        return;
    QVERIFY2(text.contains(QRegularExpression(QStringLiteral("(?m)^\\s*1\\s+1\\s+2\\s+3\\s.*"
                                                             "Фундамент\\s*$"))),
             qPrintable(text));
    QVERIFY2(!text.contains(kLongName), "the long name wraps");
    QVERIFY2(holdsWordsInOrder(text, kLongName), qPrintable(text));
}

QTEST_MAIN(TestAnalysisPrint)
#include "tst_analysis_print.moc"
