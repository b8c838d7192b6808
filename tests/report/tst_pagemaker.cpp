#include "MemoryDataSet.h"
#include "PageMaker.h"
#include "TableLikeLayout.h"

#include <QTest>

using namespace report;

namespace {

// Builds a layout from a list of bands such as "H20 T15 D48 S10 F17": a letter for the kind
// (Header, Title, Detail, Summary, Footer; lower case for a disabled band) and the height in mm.
// The detail band holds one data field bound to the data set's field "N".
ReportLayout layoutOf(const QString& bands, const QString& options)
{
    ReportLayout layout;
    layout.options.firstPageHeader = !options.contains(QLatin1String("-first"));
    layout.options.lastPageFooter = !options.contains(QLatin1String("-last"));
    layout.options.printIfEmpty = !options.contains(QLatin1String("-empty"));
    for (const QString& token : bands.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const QChar letter = token.front();
        static const QString kinds = QStringLiteral("HTDSF");
        const int kind = int(kinds.indexOf(letter.toUpper()));
        Q_ASSERT(kind >= 0);
        ReportBand& band = layout.addBand(BandKind(kind), token.mid(1).toDouble());
        band.enabled = letter.isUpper();
        if (band.kind == BandKind::Detail)
            band.add(ReportElement::dataField({0, 0, 20, 5}, QStringLiteral("N")));
    }
    return layout;
}

QList<MadePage> make(const ReportLayout& layout, const DataSet* data)
{
    QList<MadePage> pages;
    PageMaker maker(layout, data, bindFields(layout, data));
    maker.run([&](MadePage&& page) { pages.append(std::move(page)); });
    return pages;
}

// "1: H10 D30 F270 | 2: ..." — page numbers, then each band's letter and top in mm.
QString describe(const QList<MadePage>& pages, const ReportLayout& layout)
{
    QStringList out;
    for (const MadePage& page : pages) {
        QStringList bands;
        for (const PlacedBand& b : page.bands)
            bands.append(QStringLiteral("HTDSF").at(int(layout.bands[b.band].kind)) +
                         QString::number(qRound(b.top * 100) / 100.0));
        out.append(QString::number(page.number) + QStringLiteral(": ") +
                   bands.join(QLatin1Char(' ')));
    }
    return out.join(QStringLiteral(" | "));
}

MemoryDataSet numbered(int records)
{
    MemoryDataSet data({QStringLiteral("N")});
    for (int i = 0; i < records; ++i)
        data.appendRecord({QString::number(i + 1)});
    return data;
}

} // namespace

class TestPageMaker : public QObject
{
    Q_OBJECT

private slots:
    // A4 with 10 mm margins: the body runs from 10 mm (below the header) down to 287 mm less
    // the footer space.
    void makesUpPages_data()
    {
        QTest::addColumn<QString>("bands");
        QTest::addColumn<int>("records"); // -1: the data set is closed
        QTest::addColumn<QString>("options");
        QTest::addColumn<QString>("pages");

        QTest::newRow("band that just fits stays on the page")
            << "H20 D48 F17" << 5 << ""
            << "1: H10 D30 D78 D126 D174 D222 F270";
        QTest::newRow("band that does not fit starts the next page's body")
            << "H20 D48 F17" << 6 << ""
            << "1: H10 D30 D78 D126 D174 D222 F270 | 2: H10 D30 F270";
        QTest::newRow("a hundredth too high does not fit")
            << "H20 D48.01 F17" << 5 << ""
            << "1: H10 D30 D78.01 D126.02 D174.03 F270 | 2: H10 D30 F270";
        QTest::newRow("footer space is the sum of the footer bands")
            << "H20 D48 F7 F10" << 5 << ""
            << "1: H10 D30 D78 D126 D174 D222 F270 F277";
        QTest::newRow("a disabled footer takes no space") << "H20 D48 F17 f30" << 5 << ""
                                                          << "1: H10 D30 D78 D126 D174 D222 F270";
        QTest::newRow("header on every page")
            << "H20 D100 F17" << 5 << ""
            << "1: H10 D30 D130 F270 | 2: H10 D30 D130 F270 | 3: H10 D30 F270";
        QTest::newRow("no header on page 1 without the first-page option")
            << "H20 D100 F17" << 3 << "-first"
            << "1: D10 D110 F270 | 2: H10 D30 F270";
        QTest::newRow("title once, right below the first page's header")
            << "H20 T15 D100 F17" << 3 << ""
            << "1: H10 T30 D45 D145 F270 | 2: H10 D30 F270";
        QTest::newRow("no footer on the last page without the last-page option")
            << "H20 D100 F17" << 3 << "-last"
            << "1: H10 D30 D130 F270 | 2: H10 D30";
        QTest::newRow("summary after the last record, moved when it does not fit")
            << "H20 D100 S50 F17" << 2 << ""
            << "1: H10 D30 D130 F270 | 2: H10 S30 F270";
        QTest::newRow("closed data set: title, one detail, summary")
            << "H20 T15 D100 S10 F17" << -1 << ""
            << "1: H10 T30 D45 S145 F270";
        QTest::newRow("open data set without records: the same")
            << "H20 T15 D100 S10 F17" << 0 << ""
            << "1: H10 T30 D45 S145 F270";
        QTest::newRow("no data and not printed when empty: no pages")
            << "H20 T15 D100 F17" << -1 << "-empty"
            << "";
        QTest::newRow("records are printed although not printed when empty")
            << "H20 D100 F17" << 1 << "-empty"
            << "1: H10 D30 F270";
        QTest::newRow("nothing but header and footer still makes one page") << "H20 F17" << -1 << ""
                                                                            << "1: H10 F270";
        QTest::newRow("band taller than the body: one per page, no endless paging")
            << "H20 D300 F17" << 2 << ""
            << "1: H10 D30 F270 | 2: H10 D30 F270";
        QTest::newRow("header and footer taller than the paper: still one band per page")
            << "H200 D10 F100" << 2 << ""
            << "1: H10 D210 F187 | 2: H10 D210 F187";
    }
    void makesUpPages()
    {
        QFETCH(QString, bands);
        QFETCH(int, records);
        QFETCH(QString, options);
        QFETCH(QString, pages);
        const ReportLayout layout = layoutOf(bands, options);
        MemoryDataSet data = numbered(std::max(records, 0));
        data.setOpen(records >= 0);
        QCOMPARE(describe(make(layout, &data), layout), pages);
        // No data set at all reads like a closed one.
        QCOMPARE(make(layout, nullptr).isEmpty(), options.contains(QLatin1String("-empty")));
    }

    void detailBandsCarryTheirRecordsInOrder()
    {
        const ReportLayout layout = layoutOf(QStringLiteral("H20 D48 F17"), QString());
        const MemoryDataSet data = numbered(12);
        QStringList printed;
        for (const MadePage& page : make(layout, &data))
            for (const PlacedBand& band : page.bands)
                if (layout.bands[band.band].kind == BandKind::Detail)
                    printed.append(band.values);
        QStringList expected;
        for (int i = 1; i <= 12; ++i)
            expected.append(QString::number(i));
        QCOMPARE(printed, expected);
    }

    void detailWithoutDataPrintsEmptyFields()
    {
        const ReportLayout layout = layoutOf(QStringLiteral("D10"), QString());
        MemoryDataSet closed = numbered(3);
        closed.setOpen(false);
        const QList<MadePage> pages = make(layout, &closed);
        QCOMPARE(pages.size(), 1);
        QCOMPARE(pages[0].bands[0].values, QStringList{QString()});
    }

    // The printed work table: 211.92 mm of body under the 54.50 mm header, 31 rows of 6.35 mm
    // under the headings on page 1 and 33 on every later page.
    void manyPagesOfTheTableReport()
    {
        const ReportLayout layout = tablelike::layout();
        const tablelike::DataSet data(1000);
        const QList<MadePage> pages = make(layout, &data);
        QCOMPARE(pages.size(), 31);
        int record = 0;
        for (int p = 0; p < pages.size(); ++p) {
            const MadePage& page = pages[p];
            QCOMPARE(page.number, p + 1);
            QVERIFY(page.madeAt.isValid());
            QCOMPARE(layout.bands[page.bands.first().band].kind, BandKind::PageHeader);
            QCOMPARE(page.bands.first().top, 10.0);
            QCOMPARE(layout.bands[page.bands.last().band].kind, BandKind::PageFooter);
            QVERIFY(qAbs(page.bands.last().top - (287 - tablelike::kFooterHeight)) < 1e-9);
            int titles = 0;
            int details = 0;
            for (const PlacedBand& band : page.bands) {
                const BandKind kind = layout.bands[band.band].kind;
                titles += kind == BandKind::Title;
                if (kind == BandKind::Detail) {
                    QCOMPARE(band.values[1], QStringLiteral("Событие %1").arg(record++));
                    ++details;
                }
            }
            QCOMPARE(titles, p == 0 ? 1 : 0);
            QCOMPARE(details, p == 0 ? 31 : p + 1 < pages.size() ? 33 : 1000 - 31 - 29 * 33);
        }
        QCOMPARE(record, 1000);
    }

    void missingFieldIsReportedBeforeAnyPage()
    {
        ReportLayout layout = layoutOf(QStringLiteral("D10"), QString());
        layout.bands[0].add(ReportElement::dataField({0, 0, 10, 5}, QStringLiteral("NOSUCH")));
        const MemoryDataSet data = numbered(2);
        try {
            bindFields(layout, &data);
            QFAIL("a missing field was accepted");
        } catch (const KestrinError& e) {
            QCOMPARE(e.message(), QStringLiteral("Поле «NOSUCH» не найдено"));
        }
        MemoryDataSet closed = numbered(0);
        closed.setOpen(false);
        QCOMPARE(bindFields(layout, &closed), (FieldBinding{{-1, -1}}));
    }

    void fieldsAreMatchedWithoutRegardToCase()
    {
        const ReportLayout layout = tablelike::layout();
        const tablelike::DataSet data(1);
        const FieldBinding binding = bindFields(layout, &data);
        QCOMPARE(binding[2], (QList<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
    }

    void cancelledMakingStopsAndDropsThePageUnderWay()
    {
        const ReportLayout layout = layoutOf(QStringLiteral("H20 D48 F17"), QString());
        const MemoryDataSet data = numbered(100);
        int asked = 0;
        QList<MadePage> pages;
        PageMaker maker(layout, &data, bindFields(layout, &data));
        const bool done = maker.run([&](MadePage&& page) { pages.append(std::move(page)); },
                                    [&] { return ++asked > 12; });
        QVERIFY(!done);
        QCOMPARE(pages.size(), 2); // 5 records a page: records 11 and 12 were on page 3
    }

    void dataSetFailureStopsMaking()
    {
        const ReportLayout layout = tablelike::layout();
        tablelike::DataSet data(100);
        data.failAt = 40;
        int pages = 0;
        PageMaker maker(layout, &data, bindFields(layout, &data));
        QVERIFY_THROWS_EXCEPTION(KestrinError, maker.run([&](MadePage&&) { ++pages; }));
        QCOMPARE(pages, 1);
    }
};

QTEST_MAIN(TestPageMaker)
#include "tst_pagemaker.moc"
