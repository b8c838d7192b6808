#include "../../app/DialogDriver.h"
#include "DelimitedText.h"
#include "Plan.h"
#include "ReportDocument.h"
#include "TfmCost.h"
#include "TfmMain.h"
#include "TfmPreview.h"
#include "WidgetTestSupport.h"
#include "WorkHistory.h"
#include "WorkInputs.h"
#include "WorkTable.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QSvgRenderer>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using testsupport::allCells;
using testsupport::child;

namespace {

// A work as the tests type it: events, duration, normal cost, shortest duration, its cost.
struct CostedRow
{
    const char* from;
    const char* to;
    const char* duration;
    double cost;
    double shortest;
    double shortestCost;
};

// The textbook network with two critical paths, 1-2-4 and 1-3-4, of 7 days each. Cost of a day
// shortened: 1-2 30 (2 days), 1-3 20 (1 day), 2-4 20 (2 days), 3-4 40 (1 day). Solved by hand:
// speeding one work gains nothing, each day must cut both paths. The first day costs 1-3 + 2-4
// = 40 (length 6, direct cost 290,1 + 40); then 1-3 is at its shortest and the second day costs
// 2-4 + 3-4 = 60 (length 5, 390,1); then 1-3-4 is at its shortest throughout: 5 is the least.
const CostedRow kTwoPaths[] = {
    {"1", "2", "4", 100, 2, 160},
    {"1", "3", "4", 80.1, 3, 100.1},
    {"2", "4", "3", 50, 1, 90},
    {"3", "4", "3", 60, 2, 100},
};

// The texts as the program writes them in the locale the test runs in.
QString local(QString text)
{
    return text.replace(QLatin1Char(','), QLocale().decimalPoint());
}

QStringList localRow(std::initializer_list<const char*> texts)
{
    QStringList row;
    for (const char* text : texts)
        row.append(local(QString::fromUtf8(text)));
    return row;
}

QList<QStringList> tableTexts(const QTableWidget* table)
{
    QList<QStringList> rows;
    QStringList header;
    for (int column = 0; column < table->columnCount(); ++column)
        header.append(table->model()->headerData(column, Qt::Horizontal).toString());
    rows.append(header);
    for (int row = 0; row < table->rowCount(); ++row) {
        QStringList texts;
        for (int column = 0; column < table->columnCount(); ++column)
            texts.append(table->model()->index(row, column).data(Qt::DisplayRole).toString());
        rows.append(texts);
    }
    return rows;
}

std::vector<WorkDetails> allDetails(const WorkTable& table)
{
    std::vector<WorkDetails> details;
    for (int row = 0; row < table.rowCount(); ++row)
        details.push_back(table.details(row));
    return details;
}

// What the window showed before it was closed.
struct CostSeen
{
    QList<QStringList> texts;
    int currentRow = -1;
    bool applyEnabled = false;
    QString best;
    QString leftOut; // empty while hidden
};

CostSeen see(TfmCost* window)
{
    CostSeen seen;
    auto* table = child<QTableWidget>(window, "sgCurve");
    seen.texts = tableTexts(table);
    seen.currentRow = table->currentRow();
    seen.applyEnabled = child<QAbstractButton>(window, "sbApply")->isEnabled();
    seen.best = child<QLabel>(window, "lBest")->text();
    const auto* leftOut = child<QLabel>(window, "lLeftOut");
    if (!leftOut->isHidden())
        seen.leftOut = leftOut->text();
    return seen;
}

void typeDayCost(TfmCost* window, const QString& text)
{
    auto* edit = child<QLineEdit>(window, "eDayCost");
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, text);
    QTest::keyClick(edit, Qt::Key_Return);
}

} // namespace

// The time–cost window as the user reaches it from the main window: the curve of a network solved
// by hand, the total with a typed day cost and its best row, applying a row as one undo step, and
// the CSV file against the table it was written from.
class TestCostWindow : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void twoCriticalPathsSolvedByHandAndAppliedAsOneUndoStep();
    void csvHoldsWhatTheTableShows();
    void loopGivesTheRecalculationsMessage();
    void printsAndSavesTheChartInTheTypeOfTheName();
    void worksBelowTheirShortestAreNotShortened();

private:
    QAbstractButton* button(const char* name) const
    {
        return child<QAbstractButton>(m_window.get(), name);
    }
    void load(std::span<const CostedRow> works, const QString& renamedStart = {});
    CostSeen openAndSee();

    std::unique_ptr<TfmMain> m_window;
    QTemporaryDir m_dir;
};

void TestCostWindow::init()
{
    m_window = std::make_unique<TfmMain>();
    m_window->show();
}

void TestCostWindow::cleanup()
{
    cancelPendingAnswers();
    m_window.reset();
}

void TestCostWindow::load(std::span<const CostedRow> works, const QString& renamedStart)
{
    WorkInputs rows;
    for (const CostedRow& work : works) {
        WorkDetails details;
        details.setNumber(DetailNumber::NormalCost, work.cost);
        details.setNumber(DetailNumber::Shortest, work.shortest);
        details.setNumber(DetailNumber::ShortestCost, work.shortestCost);
        QString from = QString::fromUtf8(work.from);
        if (!renamedStart.isEmpty() && from == QLatin1String("1"))
            from = renamedStart;
        rows.append(from, QString::fromUtf8(work.to), QString::fromUtf8(work.duration), details);
    }
    m_window->workTable().replaceRows(0, m_window->workTable().rowCount(), rows);
    m_window->updateCommands();
    m_window->FillEventLists(); // the mode goes off: its selectors were empty
    m_window->sbInitBordersClick();
    m_window->sbRecalcClick();
}

CostSeen TestCostWindow::openAndSee()
{
    m_window->sbRecalcClick();
    CostSeen seen;
    whenModalShown<TfmCost>([&](TfmCost* window) {
        seen = see(window);
        window->reject();
    });
    button("sbCost")->click();
    return seen;
}

void TestCostWindow::twoCriticalPathsSolvedByHandAndAppliedAsOneUndoStep()
{
    QAbstractButton* cost = button("sbCost");
    QCOMPARE(cost->toolTip(), QStringLiteral("Время и стоимость"));
    QVERIFY(!cost->isEnabled());
    load(kTwoPaths);
    QVERIFY(button("sbRecalc")->isEnabled());
    QVERIFY(cost->isEnabled());
    const QStringList cellsBefore = allCells(m_window->workTable());
    const std::vector<WorkDetails> detailsBefore = allDetails(m_window->workTable());

    CostSeen withoutDayCost;
    CostSeen withDayCost;
    whenModalShown<TfmCost>([&](TfmCost* window) {
        QCOMPARE(window->objectName(), QStringLiteral("fmCost"));
        QCOMPARE(child<QAbstractButton>(window, "sbApply")->text(), QStringLiteral("Применить"));
        withoutDayCost = see(window);
        typeDayCost(window, local(QStringLiteral("50,5")));
        withDayCost = see(window);
        clickChild(window, "sbApply");
    });
    cost->click();

    const QStringList header{QStringLiteral("Срок"), QStringLiteral("Прямые затраты"),
                             QStringLiteral("Косвенные затраты"), QStringLiteral("Итого"),
                             QStringLiteral("Сокращаемые работы")};
    // Without an indirect cost the normal length is the cheapest, and it changes nothing.
    QCOMPARE(
        withoutDayCost.texts,
        (QList<QStringList>{header, localRow({"7", "290,1", "0", "290,1", ""}),
                            localRow({"6", "330,1", "0", "330,1", "1→3 (3); 2→4 (2)"}),
                            localRow({"5", "390,1", "0", "390,1", "1→3 (3); 2→4 (1); 3→4 (2)"})}));
    QCOMPARE(withoutDayCost.currentRow, 0);
    QVERIFY(!withoutDayCost.applyEnabled);
    // 50,5 a day: 643,6 at 7, 633,1 at 6, 642,6 at 5.
    QCOMPARE(withDayCost.texts,
             (QList<QStringList>{
                 header, localRow({"7", "290,1", "353,5", "643,6", ""}),
                 localRow({"6", "330,1", "303", "633,1", "1→3 (3); 2→4 (2)"}),
                 localRow({"5", "390,1", "252,5", "642,6", "1→3 (3); 2→4 (1); 3→4 (2)"})}));
    QCOMPARE(withDayCost.currentRow, 1);
    QCOMPARE(withDayCost.best, local(QStringLiteral("Наименьшие общие затраты 633,1 при сроке 6")));
    QVERIFY(withDayCost.applyEnabled);
    // The plan keeps the day cost, locale-free.
    QCOMPARE(
        m_window->plan().section(QStringLiteral("project-cost")).at(QStringLiteral("day-cost")),
        QStringLiteral("50.5"));

    // Applied: 1-3 at 3 days costs its shortest cost, 2-4 at 2 days 50 + 20; recalculated to 6.
    WorkTable& table = m_window->workTable();
    QCOMPARE(table.cell(WorkColumn::Duration, 1), QStringLiteral("3"));
    QCOMPARE(table.cell(WorkColumn::Duration, 2), QStringLiteral("2"));
    QCOMPARE(table.details(1).number(DetailNumber::NormalCost), std::optional<double>(100.1));
    QCOMPARE(table.details(2).number(DetailNumber::NormalCost), std::optional<double>(70));
    for (int row : {2, 3})
        QCOMPARE(table.cell(WorkColumn::EarlyFinish, row), QStringLiteral("6"));

    // Opened again, the curve goes on from the applied point at its cost.
    CostSeen again;
    whenModalShown<TfmCost>([&](TfmCost* window) {
        again = see(window);
        window->reject();
    });
    cost->click();
    QCOMPARE(again.texts.size(), 3);
    QCOMPARE(again.texts[1].mid(0, 4), localRow({"6", "330,1", "303", "633,1"}));
    QCOMPARE(again.texts[2].mid(0, 4), localRow({"5", "390,1", "252,5", "642,6"}));

    // One undo gives the table back, cell for cell and detail for detail.
    m_window->sbUndoClick();
    QCOMPARE(allCells(table), cellsBefore);
    QVERIFY(allDetails(table) == detailsBefore);
    QVERIFY(!m_window->workHistory().canUndo());
}

void TestCostWindow::csvHoldsWhatTheTableShows()
{
    // A start event a spreadsheet would take for a formula: the file guards it, the reader
    // takes the guard off again.
    load(kTwoPaths, QStringLiteral("=1"));
    const QString path = m_dir.filePath(QStringLiteral("curve"));
    QList<QStringList> shown;
    whenModalShown<TfmCost>([&](TfmCost* window) {
        typeDayCost(window, local(QStringLiteral("12,25")));
        shown = tableTexts(child<QTableWidget>(window, "sgCurve"));
        answerFileDialog(path, "sdCostCsv");
        clickChild(window, "tbSaveCostCsv");
        clickChild(window, "tbCloseCost");
    });
    button("sbCost")->click();

    QFile file(path + QStringLiteral(".csv"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QByteArray bytes = file.readAll();
    QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
    QList<QStringList> read;
    const int unclosed = delimitedtext::forEachRecord(
        QString::fromUtf8(bytes.mid(3)), u';', [&read](const QStringList& fields, int) {
            QStringList unguarded;
            for (const QString& field : fields)
                unguarded.append(delimitedtext::formulaUnguarded(field));
            read.append(unguarded);
        });
    QCOMPARE(unclosed, 0);
    QCOMPARE(shown.size(), 4);
    QVERIFY(shown[2][4].startsWith(QStringLiteral("=1→3")));
    QCOMPARE(read, shown);
}

void TestCostWindow::loopGivesTheRecalculationsMessage()
{
    const CostedRow loop[] = {
        {"1", "2", "2", 10, 1, 20},
        {"2", "3", "2", 10, 1, 20},
        {"3", "2", "2", 10, 1, 20},
        {"3", "4", "2", 10, 1, 20},
    };
    WorkInputs rows;
    for (const CostedRow& work : loop)
        rows.append(QString::fromUtf8(work.from), QString::fromUtf8(work.to),
                    QString::fromUtf8(work.duration));
    m_window->workTable().replaceRows(0, 1, rows);
    m_window->FillEventLists();
    child<QComboBox>(m_window.get(), "cbFrom")->setEditText(QStringLiteral("1"));
    child<QComboBox>(m_window.get(), "cbTo")->setEditText(QStringLiteral("4"));
    QVERIFY(button("sbCost")->isEnabled());
    QString recalculation;
    captureErrorBox(recalculation);
    button("sbRecalc")->click();
    QVERIFY(recalculation.contains(QStringLiteral("цикл")));

    QString shown;
    captureErrorBox(shown);
    button("sbCost")->click();
    QCOMPARE(shown, recalculation);
    QVERIFY(!m_window->findChild<TfmCost*>());
}

void TestCostWindow::printsAndSavesTheChartInTheTypeOfTheName()
{
    load(kTwoPaths);
    int printedPages = 0;
    const QString png = m_dir.filePath(QStringLiteral("chart.png"));
    const QString svg = m_dir.filePath(QStringLiteral("chart.svg"));
    const QString pdf = m_dir.filePath(QStringLiteral("chart.pdf"));
    whenModalShown<TfmCost>([&](TfmCost* window) {
        whenModalShown<TfmPreview>([&printedPages](TfmPreview* preview) {
            // The pages are made on the report's worker thread.
            QTRY_VERIFY(preview->document() && preview->document()->isComplete());
            printedPages = preview->document()->pageCount();
            clickChild(preview, "tbClose");
        });
        clickChild(window, "tbPrintCost");
        // The type of each file is the one its name's suffix says, whatever the list shows.
        for (const QString& path : {png, svg, pdf}) {
            answerFileDialog(path, "sdCost");
            clickChild(window, "tbSaveCost");
        }
        clickChild(window, "tbCloseCost");
    });
    button("sbCost")->click();

    QCOMPARE(printedPages, 1);
    const QImage picture(png, "PNG");
    QCOMPARE(picture.size(), QSize(760, 440));
    QVERIFY(picture.pixelColor(0, 0) == Qt::white);
    QSvgRenderer drawing(svg);
    QVERIFY(drawing.isValid());
    QCOMPARE(drawing.viewBoxF(), QRectF(0, 0, 760, 440));
    QFile file(pdf);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.readAll().startsWith("%PDF"));
}

// Durations changed below the shortest ones after those were set, as the element dialog may
// change them: the window still opens, names exactly those works, and shows the curve of the same
// network whose works have no shortening data at all.
void TestCostWindow::worksBelowTheirShortestAreNotShortened()
{
    load(kTwoPaths);
    WorkTable& table = m_window->workTable();
    // 2–4 below its shortest 1 and named, 3–4 below its shortest 2.
    table.setCell(WorkColumn::Duration, 2, local(QStringLiteral("0,5")));
    table.setCell(WorkColumn::Duration, 3, QStringLiteral("1"));
    WorkDetails named = table.details(2);
    named.name = QStringLiteral("Монтаж");
    table.setDetails(2, named);
    const CostSeen seen = openAndSee();
    QCOMPARE(seen.leftOut, QStringLiteral("Без сокращения (продолжительность меньше кратчайшей): "
                                          "2→4 «Монтаж», 3→4"));

    // The oracle: the same durations and costs, those two works with nothing to leave out.
    for (int row : {2, 3}) {
        WorkDetails details = table.details(row);
        details.setNumber(DetailNumber::Shortest, std::nullopt);
        details.setNumber(DetailNumber::ShortestCost, std::nullopt);
        table.setDetails(row, details);
    }
    const CostSeen plain = openAndSee();
    QVERIFY(plain.leftOut.isEmpty());
    QCOMPARE(seen.texts, plain.texts);
    QCOMPARE(seen.best, plain.best);
    // Not a vacuous match: 1–2 and 1–3 can still be shortened, from 5 days down to 4.
    QCOMPARE(plain.texts.size(), 4);
}

QTEST_MAIN(TestCostWindow)
#include "tst_costwindow.moc"
