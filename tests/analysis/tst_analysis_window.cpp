#include "DateFormat.h"
#include "DialogDriver.h"
#include "FileTestSupport.h"
#include "ReportDocument.h"
#include "TfmAnalysis.h"
#include "TfmMain.h"
#include "TfmPreview.h"
#include "WorkTable.h"

#include <QAbstractButton>
#include <QFileDialog>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

// The analysis window as the user meets it: opened from the main window's button over the guide's
// example, its four pages read, printed, saved as CSV (once into a folder that does not exist),
// and closed, the works untouched.
class TestAnalysisWindow : public QObject
{
    Q_OBJECT

private slots:
    void opensPrintsSavesAndCloses();
};

namespace {

// The guide's example, its first and last events renamed: CSV has to keep the first from being
// taken for a formula and to quote the last.
const QString kFirstEvent = QStringLiteral("=1+1");
const QString kLastEvent = QStringLiteral("Сдача \"под ключ\"; акт");

QString cell(QTabWidget* tabs, const char* view, int row, int column)
{
    auto* table = tabs->findChild<QTableView*>(QLatin1String(view));
    return table->model()->index(row, column).data().toString();
}

void answerFileDialog(const QString& path)
{
    whenModalShown<QFileDialog>([path](QFileDialog* dialog) {
        QCOMPARE(dialog->objectName(), QStringLiteral("sdAnalysis"));
        dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(path);
        static_cast<QDialog*>(dialog)->accept();
    });
}

} // namespace

void TestAnalysisWindow::opensPrintsSavesAndCloses()
{
    TfmMain window;
    window.show();
    auto* open = window.findChild<QAbstractButton*>(QStringLiteral("sbAnalysis"));
    QCOMPARE(open->toolTip(), QStringLiteral("Анализ сети"));
    QVERIFY(!open->isEnabled()); // as sbRecalc: nothing to analyse yet

    const char* works[][3] = {{"1", "2", "3"}, {"1", "3", "5"},   {"2", "4", "4"},
                              {"3", "4", "0"}, {"3", "5", "2.5"}, {"4", "6", "6"},
                              {"5", "6", "1"}, {"6", "7", "3"},   {"6", "8", "2"},
                              {"7", "9", "4"}, {"8", "9", "1.5"}, {"9", "10", "1"}};
    const QString point = QLocale().decimalPoint();
    WorkTable& table = window.workTable();
    table.setRowCount(12);
    for (int row = 0; row < 12; ++row) {
        const QString start = QString::fromUtf8(works[row][0]);
        const QString end = QString::fromUtf8(works[row][1]);
        table.setCell(WorkColumn::StartEvent, row,
                      start == QStringLiteral("1") ? kFirstEvent : start);
        table.setCell(WorkColumn::EndEvent, row, end == QStringLiteral("10") ? kLastEvent : end);
        table.setCell(WorkColumn::Duration, row,
                      QString::fromUtf8(works[row][2]).replace(u'.', point));
    }
    window.FillEventLists();
    window.sbInitBordersClick();
    window.sbRecalcClick();
    QVERIFY(open->isEnabled());
    QList<QStringList> before;
    for (int row = 0; row < 12; ++row)
        for (int column = 0; column < kWorkColumnCount; ++column)
            before.append({table.cell(WorkColumn(column), row)});

    QTemporaryDir folder;
    const QString csv = folder.filePath(QStringLiteral("анализ.csv"));
    bool shown = false;
    QStringList printedHeadings;
    int printedPages = 0;
    QString errorText;
    whenModalShown<TfmAnalysis>([&](TfmAnalysis* analysis) {
        shown = true;
        QCOMPARE(analysis->objectName(), QStringLiteral("fmAnalysis"));
        auto* tabs = analysis->findChild<QTabWidget*>(QStringLiteral("tcAnalysis"));
        QCOMPARE(tabs->count(), 4);
        QCOMPARE(tabs->tabText(3), QStringLiteral("Проверка"));
        QCOMPARE(cell(tabs, "sgEvents", 4, 0), QStringLiteral("5"));
        QCOMPARE(cell(tabs, "sgEvents", 4, 1), QStringLiteral("7") + point + QStringLiteral("5"));
        QCOMPARE(cell(tabs, "sgEvents", 9, 0), kLastEvent);
        QCOMPARE(cell(tabs, "sgTension", 1, 8), QStringLiteral("0") + point + QStringLiteral("71"));
        QCOMPARE(cell(tabs, "sgPaths", 0, 4),
                 kFirstEvent + QStringLiteral(" -> 2 -> 4 -> 6 -> 7 -> 9 -> ") + kLastEvent);
        QCOMPARE(cell(tabs, "sgCheck", 0, 1), QStringLiteral("Сеть построена правильно"));

        whenModalShown<TfmPreview>([&](TfmPreview* preview) {
            QTRY_VERIFY(preview->document() && preview->document()->isComplete());
            const report::ReportDocument* document = preview->document();
            printedPages = document->pageCount();
            for (int page = 0; page < printedPages; ++page)
                for (const report::PlacedBand& band : document->page(page).bands)
                    if (band.values.size() > 2 && !band.values[0].isEmpty())
                        printedHeadings.append(band.values[0]);
            clickChild(preview, "tbClose");
        });
        clickChild(analysis, "tbPrint");

        // A folder that does not exist: the error box says so, and nothing is written.
        answerFileDialog(folder.filePath(QStringLiteral("нет/анализ.csv")));
        whenModalShown<QMessageBox>([&errorText](QMessageBox* box) {
            errorText = box->text();
            box->button(QMessageBox::Ok)->click();
        });
        clickChild(analysis, "tbSaveCsv");
        answerFileDialog(csv);
        clickChild(analysis, "tbSaveCsv");
        clickChild(analysis, "tbClose");
    });
    open->click();
    QVERIFY(shown);
    QVERIFY(!QApplication::activeModalWidget());

    QCOMPARE(printedPages, 1);
    QCOMPARE(printedHeadings, QStringList({QStringLiteral("События"), QStringLiteral("Работы"),
                                           QStringLiteral("Пути"), QStringLiteral("Проверка")}));
    QVERIFY2(errorText.startsWith(QStringLiteral("Файл «")) && errorText.contains(u'('),
             qPrintable(errorText));

    const QByteArray bytes = testsupport::readAll(csv);
    QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
    const QStringList lines = QString::fromUtf8(bytes.mid(3)).split(QStringLiteral("\r\n"));
    QCOMPARE(lines.value(2), QStringLiteral("События"));
    QCOMPARE(lines.value(3), QStringLiteral("Событие;Tр;Tп;R;Ранняя дата;Поздняя дата"));
    // Dates from the start-up start date: 30 December 1899, and 21 days later.
    const QString first = DateFormat::system().formatDate(window.startDate());
    const QString last = DateFormat::system().formatDate(window.startDate() + 21);
    QCOMPARE(lines.value(4), QStringLiteral("'=1+1;0;0;0;") + first + u';' + first);
    // The name with a separator and quotes, quoted and its quotes doubled.
    QVERIFY(lines.contains(QStringLiteral("\"Сдача \"\"под ключ\"\"; акт\";21;21;0;") + last +
                           u';' + last));
    QVERIFY(!QFile::exists(folder.filePath(QStringLiteral("нет"))));

    QList<QStringList> after;
    for (int row = 0; row < 12; ++row)
        for (int column = 0; column < kWorkColumnCount; ++column)
            after.append({table.cell(WorkColumn(column), row)});
    QCOMPARE(after, before);
}

QTEST_MAIN(TestAnalysisWindow)
#include "tst_analysis_window.moc"
