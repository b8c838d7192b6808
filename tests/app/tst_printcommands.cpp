#include "DialogDriver.h"
#include "PrivateTempFolder.h"
#include "ReportDocument.h"
#include "TfmMain.h"
#include "TfmPreview.h"
#include "WorkTable.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QTest>

#include <memory>

namespace {

QString temporaryTable()
{
    return QDir(privateTempFolder()).filePath(QStringLiteral("$kestrin-preprint$.dbf"));
}

// What the preview showed once all its pages were made; it is then closed.
struct PreviewSeen
{
    bool shown = false;
    bool temporaryTableExisted = false;
    int pages = 0;
    QList<int> bandsOnPage;  // bands placed on each page
    QStringList firstValues; // the values of the first detail band
};

void watchPreview(PreviewSeen& seen)
{
    whenModalShown<TfmPreview>([&seen](TfmPreview* preview) {
        seen.shown = true;
        seen.temporaryTableExisted = QFile::exists(temporaryTable());
        QTRY_VERIFY(preview->document() && preview->document()->isComplete());
        const report::ReportDocument* document = preview->document();
        seen.pages = document->pageCount();
        for (int page = 0; page < document->pageCount(); ++page) {
            seen.bandsOnPage.append(int(document->page(page).bands.size()));
            for (const report::PlacedBand& band : document->page(page).bands) {
                if (seen.firstValues.isEmpty() && band.values.size() == 11)
                    seen.firstValues = band.values;
            }
        }
        clickChild(preview, "tbClose");
    });
}

} // namespace

class TestPrintCommands : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void reportOfOneWorkIsOnePage();
    void longTableRunsOverSeveralPages();
    void badCellStopsBeforeAnyPreview();
    void graphPrintsThroughItsPreview();

private:
    void fillChain(int works);
    QAbstractButton* button(const char* name) const
    {
        return m_window->findChild<QAbstractButton*>(QLatin1String(name));
    }

    std::unique_ptr<TfmMain> m_window;
};

void TestPrintCommands::init()
{
    m_window = std::make_unique<TfmMain>();
    m_window->show();
}

void TestPrintCommands::cleanup()
{
    cancelPendingAnswers();
    m_window.reset();
}

// A chain of works 1 -> 2 -> ... with durations 1, recalculated with automatic ends.
void TestPrintCommands::fillChain(int works)
{
    WorkTable& table = m_window->workTable();
    table.setRowCount(works);
    for (int row = 0; row < works; ++row) {
        table.setCell(WorkColumn::StartEvent, row, QString::number(row + 1));
        table.setCell(WorkColumn::EndEvent, row, QString::number(row + 2));
        table.setCell(WorkColumn::Duration, row, QStringLiteral("1"));
    }
    m_window->FillEventLists(); // the mode goes off: its selectors were empty
    m_window->sbInitBordersClick();
    m_window->sbRecalcClick();
}

void TestPrintCommands::reportOfOneWorkIsOnePage()
{
    fillChain(1);
    // A table left behind by an earlier run is removed before the new one is made.
    {
        QFile stale(temporaryTable());
        QVERIFY(stale.open(QIODevice::WriteOnly));
        stale.write("stale");
    }
    PreviewSeen seen;
    watchPreview(seen);
    button("sbPrint")->click();
    QVERIFY(seen.shown);
    QVERIFY(seen.temporaryTableExisted);
    QCOMPARE(seen.pages, 1);
    QCOMPARE(seen.bandsOnPage, QList<int>({4})); // page header, headings, one row, page footer
    QCOMPARE(seen.firstValues.value(1), QStringLiteral("1"));
    QCOMPARE(seen.firstValues.value(2), QStringLiteral("2"));
    QVERIFY(!QFile::exists(temporaryTable()));
}

void TestPrintCommands::longTableRunsOverSeveralPages()
{
    fillChain(150);
    PreviewSeen seen;
    watchPreview(seen);
    button("sbPrint")->click();
    QVERIFY(seen.pages > 1);
    // Page 1: header, headings, rows, footer; later pages: header, rows, footer.
    int rows = 0;
    for (int page = 0; page < seen.pages; ++page)
        rows += seen.bandsOnPage[page] - (page == 0 ? 3 : 2);
    QCOMPARE(rows, 150);
    QVERIFY(!QFile::exists(temporaryTable()));
}

void TestPrintCommands::badCellStopsBeforeAnyPreview()
{
    fillChain(2);
    m_window->RecalcOrClear();
    m_window->workTable().setCell(WorkColumn::EarlyStart, 1, QStringLiteral("x"));
    PreviewSeen seen;
    QString message;
    whenModalShown<QMessageBox>([&message](QMessageBox* box) {
        message = box->text();
        box->button(QMessageBox::Ok)->click();
    });
    button("sbPrint")->click();
    QCOMPARE(message, QStringLiteral("'x' is not a valid floating point value."));
    QVERIFY(!QApplication::activeModalWidget());
    // The failed report closed its temporary table and removed it at once.
    QVERIFY(!QFile::exists(temporaryTable()));

    m_window->RecalcOrClear();
    watchPreview(seen);
    button("sbPrint")->click();
    QVERIFY(seen.shown);
    QVERIFY(!QFile::exists(temporaryTable()));
}

void TestPrintCommands::graphPrintsThroughItsPreview()
{
    fillChain(3);
    PreviewSeen seen;
    bool graphShown = false;
    whenModalShown([&](QWidget* graph) {
        graphShown = graph->objectName() == QLatin1String("fmGraphView");
        watchPreview(seen);
        clickChild(graph, "tbPrintGraph");
        clickChild(graph, "ToolButton5");
    });
    button("tbGraph")->click();
    QVERIFY(graphShown);
    QVERIFY(seen.shown);
    QCOMPARE(seen.pages, 1);
    // The report keeps its own copy of the picture; the file is gone once it has been printed.
    QVERIFY(
        !QFile::exists(QDir(privateTempFolder()).filePath(QStringLiteral("$kestrin-graph$.bmp"))));
}

QTEST_MAIN(TestPrintCommands)
#include "tst_printcommands.moc"
