#include "../app/DialogDriver.h"
#include "GanttGeometry.h"
#include "GanttTestSupport.h"
#include "GanttView.h"
#include "LoadChartView.h"
#include "ReportDocument.h"
#include "TfmGantt.h"
#include "TfmMain.h"
#include "TfmPreview.h"
#include "TfmResources.h"
#include "WidgetTestSupport.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <QStackedWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolTip>

#include <memory>

using testsupport::allCells;
using testsupport::child;

namespace {

// What the window showed before it was closed.
struct GanttSeen
{
    bool shown = false;
    bool chartShown = false;
    QString notice;
    bool printEnabled = false;
    QString toolTip;
    QList<int> rowsByEarlyStart;
    int printedPages = 0;
    bool pageFileOffered = true;
    QPageLayout::Orientation printerOrientation = QPageLayout::Portrait;
};

} // namespace

class TestGanttWindow : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void opensFromTheMainWindowAndWritesNothingBack();
    void asksForARecalculationFirst();
    void bareNameTakesTheTypeChosenInTheSaveDialog();
    void showsTheLevellingOfTheResourcesWindow();

private:
    QAbstractButton* button(const char* name) const
    {
        return child<QAbstractButton>(m_window.get(), name);
    }
    // The guide's example read into the main window, the ends chosen automatically.
    void loadHouse(bool recalculate);

    std::unique_ptr<TfmMain> m_window;
    QTemporaryDir m_dir;
};

void TestGanttWindow::init()
{
    m_window = std::make_unique<TfmMain>();
    m_window->show();
}

void TestGanttWindow::cleanup()
{
    cancelPendingAnswers();
    m_window.reset();
}

void TestGanttWindow::loadHouse(bool recalculate)
{
    gantttest::loadHouse(m_window->workTable(), false);
    m_window->updateCommands();
    m_window->FillEventLists(); // the mode goes off: its selectors were empty
    m_window->sbInitBordersClick();
    // The example has a decimal comma; in other locales the durations are typed anew.
    const QString separator = QLocale().decimalPoint();
    for (int row = 0; row < m_window->workTable().rowCount(); ++row) {
        QString duration = m_window->workTable().cell(WorkColumn::Duration, row);
        m_window->workTable().setCell(WorkColumn::Duration, row,
                                      duration.replace(QLatin1Char(','), separator));
    }
    if (recalculate)
        m_window->sbRecalcClick();
}

// The button follows sbRecalc; the window it opens shows the chart, names a bar's row in its tool
// tip, sorts by early start, prints on the paper chosen through the report preview (whose page
// file command it leaves out), and the table is cell for cell what it was.
void TestGanttWindow::opensFromTheMainWindowAndWritesNothingBack()
{
    QAbstractButton* gantt = button("sbGantt");
    QCOMPARE(gantt->toolTip(), QStringLiteral("Диаграмма Ганта"));
    QVERIFY(!gantt->isEnabled());
    loadHouse(true);
    QVERIFY(button("sbRecalc")->isEnabled());
    QVERIFY(gantt->isEnabled());
    const QStringList before = allCells(m_window->workTable());

    GanttSeen seen;
    whenModalShown<TfmGantt>([&seen](TfmGantt* window) {
        seen.shown = window->objectName() == QLatin1String("fmGantt");
        auto* body = child<QStackedWidget>(window, "pBody");
        seen.chartShown = body->currentWidget() == child<QWidget>(window, "gvChart");
        seen.printEnabled = child<QAbstractButton>(window, "tbPrintGantt")->isEnabled();

        // Pointing at the bar of 3 → 5 (table row 4) shows its row.
        GanttView* view = window->view();
        const GanttGeometry& geometry = *window->geometry();
        int position = 0;
        while (window->chart().work(position).row != 4)
            ++position;
        const QPointF bar = geometry.barRect(position).center() +
                            QPointF(gantt::kWorkColumnWidth, gantt::kAxisHeight);
        const QPoint at = bar.toPoint() - QPoint(int(view->shownX()), 0);
        QHelpEvent help(QEvent::ToolTip, at, view->viewport()->mapToGlobal(at));
        QApplication::sendEvent(view->viewport(), &help);
        seen.toolTip = QToolTip::text();

        child<QCheckBox>(window, "cbSortByStart")->setChecked(true);
        for (int p = 0; p < window->chart().workCount(); ++p)
            seen.rowsByEarlyStart.append(window->chart().work(p).row);

        auto* paper = child<QComboBox>(window, "cbPaper");
        paper->setCurrentIndex(paper->findText(QStringLiteral("A3, альбомная")));
        whenModalShown<TfmPreview>([&seen](TfmPreview* preview) {
            QTRY_VERIFY(preview->document() && preview->document()->isComplete());
            seen.printedPages = preview->document()->pageCount();
            seen.pageFileOffered = child<QAbstractButton>(preview, "tbSave")->isEnabled();
            seen.printerOrientation = preview->printer().pageLayout().orientation();
            clickChild(preview, "tbClose");
        });
        clickChild(window, "tbPrintGantt");
        clickChild(window, "tbCloseGantt");
    });
    gantt->click();

    QVERIFY(seen.shown);
    QVERIFY(seen.chartShown);
    QVERIFY(seen.printEnabled);
    QVERIFY2(seen.toolTip.contains(QStringLiteral("Начальное событие: 3\nКонечное событие: 5")),
             qPrintable(seen.toolTip));
    QVERIFY2(seen.toolTip.contains(QStringLiteral("Общий запас: 4") + QLocale().decimalPoint() +
                                   QStringLiteral("5")),
             qPrintable(seen.toolTip));
    QCOMPARE(seen.rowsByEarlyStart, QList<int>({0, 1, 2, 3, 4, 5, 6, 7, 8, 10, 9, 11}));
    QCOMPARE(seen.printedPages, 1);
    QVERIFY(!seen.pageFileOffered);
    QCOMPARE(seen.printerOrientation, QPageLayout::Landscape);
    QCOMPARE(allCells(m_window->workTable()), before);

    // Without both ends named there is no recalculation, and no chart either.
    m_window->sbInitBordersClick();
    child<QComboBox>(m_window.get(), "cbTo")->setEditText(QString());
    QVERIFY(!button("sbRecalc")->isEnabled());
    QVERIFY(!gantt->isEnabled());
}

// Works read but never recalculated: the window says so and offers nothing to print or save.
void TestGanttWindow::asksForARecalculationFirst()
{
    loadHouse(false);
    QVERIFY(button("sbGantt")->isEnabled());
    GanttSeen seen;
    whenModalShown<TfmGantt>([&seen](TfmGantt* window) {
        seen.shown = true;
        auto* notice = child<QLabel>(window, "lbNotCalculated");
        seen.chartShown = child<QStackedWidget>(window, "pBody")->currentWidget() != notice;
        seen.notice = notice->text();
        seen.printEnabled = child<QAbstractButton>(window, "tbPrintGantt")->isEnabled() ||
                            child<QAbstractButton>(window, "tbSaveGantt")->isEnabled();
        clickChild(window, "tbCloseGantt");
    });
    button("sbGantt")->click();
    QVERIFY(seen.shown);
    QVERIFY(!seen.chartShown);
    QCOMPARE(seen.notice, QStringLiteral("Сначала пересчитайте график"));
    QVERIFY(!seen.printEnabled);
}

// "Рисунки SVG" picked in the save dialog's list with the keyboard and a name typed without a
// suffix: the file takes the SVG suffix and holds an SVG drawing, and no PDF is written.
void TestGanttWindow::bareNameTakesTheTypeChosenInTheSaveDialog()
{
    loadHouse(true);
    const QString bare = m_dir.filePath(QStringLiteral("chart"));
    QString dialogName;
    whenModalShown<TfmGantt>([&](TfmGantt* window) {
        whenModalShown<QFileDialog>([&](QFileDialog* dialog) {
            dialogName = dialog->objectName();
            auto* types = child<QComboBox>(dialog, "fileTypeCombo");
            QTest::keyClick(types, Qt::Key_Down); // from PDF to SVG
            auto* field = child<QLineEdit>(dialog, "fileNameEdit");
            field->setText(bare);
            QTest::keyClick(field, Qt::Key_Return);
        });
        clickChild(window, "tbSaveGantt");
        clickChild(window, "tbCloseGantt");
    });
    button("sbGantt")->click();
    QCOMPARE(dialogName, QStringLiteral("sdGantt"));
    QVERIFY(!QFile::exists(bare + QStringLiteral(".pdf")));
    QFile svg(bare + QStringLiteral(".svg"));
    QVERIFY(svg.open(QIODevice::ReadOnly));
    const QByteArray content = svg.readAll();
    QVERIFY(content.startsWith("<?xml"));
    QVERIFY(content.contains("<svg"));
}

// What the resources window levelled, the chart shows on request: each work from the start the
// resources window listed for its row, and the profile under the bars as that window showed it.
void TestGanttWindow::showsTheLevellingOfTheResourcesWindow()
{
    loadHouse(true);
    // One crew for everything: the levelled works follow one another.
    Plan& plan = m_window->plan();
    const ResourceId crew = plan.addResource();
    plan.updateResource({crew, QStringLiteral("Бригада"), QString(), 1.0});
    WorkTable& table = m_window->workTable();
    for (int row = 0; row < table.rowCount(); ++row) {
        WorkDetails details = table.details(row);
        details.setDemand(crew, 1);
        table.setDetails(row, details);
    }
    m_window->updateCommands();

    // "start → end" and the levelled start of every work, as the resources window lists them.
    using Starts = std::vector<std::pair<QString, QString>>;
    Starts listed;
    std::vector<ResourceLoad::Step> listedLoad;
    whenModalShown<TfmResources>([&](TfmResources* window) {
        child<QAbstractButton>(window, "sbLevel")->click();
        auto* list = child<QTableWidget>(window, "sgLevelled");
        for (int row = 0; row < list->rowCount(); ++row)
            listed.emplace_back(list->item(row, 0)->text(), list->item(row, 3)->text());
        listedLoad = window->shownLoad().steps;
        window->close();
    });
    button("sbResources")->click();

    // The chart's works with the levelled starts and then without, in the main window's numbers.
    const NumberFormat numbers(QLocale().decimalPoint());
    bool choiceEnabled = false;
    bool profileShown = false;
    Starts levelled;
    Starts calculated;
    std::vector<ResourceLoad::Step> shownLoad;
    const auto starts = [&numbers](const TfmGantt* window) {
        Starts all;
        for (int p = 0; p < window->chart().workCount(); ++p)
            all.emplace_back(window->chart().label(p),
                             numbers.format(window->chart().work(p).earlyStart));
        std::sort(all.begin(), all.end());
        return all;
    };
    whenModalShown<TfmGantt>([&](TfmGantt* window) {
        auto* choice = child<QCheckBox>(window, "cbLevelled");
        choiceEnabled = choice->isEnabled();
        profileShown = child<QWidget>(window, "pbProfile")->isVisible();
        choice->setChecked(true);
        levelled = starts(window);
        shownLoad = window->findChild<LoadChartView*>(QStringLiteral("pbProfile"))->load().steps;
        choice->setChecked(false);
        calculated = starts(window);
        window->close();
    });
    button("sbGantt")->click();

    QVERIFY(choiceEnabled);
    QVERIFY(profileShown);
    std::sort(listed.begin(), listed.end());
    QCOMPARE(levelled, listed);
    Starts asCalculated;
    for (int row = 0; row < m_window->workTable().rowCount(); ++row)
        asCalculated.emplace_back(
            QStringLiteral("%1 → %2").arg(m_window->workTable().cell(WorkColumn::StartEvent, row),
                                          m_window->workTable().cell(WorkColumn::EndEvent, row)),
            m_window->workTable().cell(WorkColumn::EarlyStart, row));
    std::sort(asCalculated.begin(), asCalculated.end());
    QCOMPARE(calculated, asCalculated);
    QVERIFY(levelled != calculated);
    QCOMPARE(shownLoad.size(), listedLoad.size());
    for (std::size_t i = 0; i < shownLoad.size(); ++i) {
        QCOMPARE(shownLoad[i].from, listedLoad[i].from);
        QCOMPARE(shownLoad[i].demand, listedLoad[i].demand);
    }
}

QTEST_MAIN(TestGanttWindow)
#include "tst_ganttwindow.moc"
