#include "DiagramView.h"
#include "DialogDriver.h"
#include "ReportDocument.h"
#include "TfmDiagram.h"
#include "TfmMain.h"
#include "TfmPreview.h"
#include "WidgetTestSupport.h"
#include "WorkListFile.h"
#include "WorkTable.h"

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QImage>
#include <QLineEdit>
#include <QMessageBox>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QWheelEvent>

#include <memory>

using namespace Qt::StringLiterals;

using testsupport::allCells;
using testsupport::child;

namespace {

void answerFileDialog(const char* name, const QString& path)
{
    whenModalShown<QFileDialog>([name, path](QFileDialog* dialog) {
        QCOMPARE(dialog->objectName(), QLatin1String(name));
        dialog->findChild<QLineEdit*>(u"fileNameEdit"_s)->setText(path);
        static_cast<QDialog*>(dialog)->accept();
    });
}

// What the window showed and did before it was closed.
struct Seen
{
    bool shown = false;
    int events = 0;
    double fitting = 0;
    double afterButton = 0;
    double afterWheel = 0;
    QPointF heldPoint;
    QPointF pointAfterWheel;
    QPoint scrollMoved;
    bool scrollsDown = false;
    double sectorRadius = 0;
    double namedRadius = 0;
    bool floatsShown = false;
    int fittedPages = 0;
    int spreadPages = 0;
};

} // namespace

// The diagram window as the user meets it: its button on the main window follows sbRecalc, the
// window shows the network of the chosen ends, zooms by buttons and wheel, moves by dragging,
// changes the look of events, prints fitted or spread over pages, saves PDF and PNG through the
// main window's dialogs, and writes nothing back; a loop never opens it.
class TestDiagramWindow : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void opensFromTheMainWindowAndWritesNothingBack();
    void loopIsRefusedWithTheRecalculationsMessage();

private:
    void loadWorks(const QList<QStringList>& works);
    QAbstractButton* button(const char* name) const
    {
        return child<QAbstractButton>(m_window.get(), name);
    }

    std::unique_ptr<TfmMain> m_window;
};

void TestDiagramWindow::init()
{
    m_window = std::make_unique<TfmMain>();
    m_window->show();
}

void TestDiagramWindow::cleanup()
{
    cancelPendingAnswers();
    m_window.reset();
}

// The works read into the main window, the ends chosen automatically, recalculated.
void TestDiagramWindow::loadWorks(const QList<QStringList>& works)
{
    WorkTable& table = m_window->workTable();
    table.setRowCount(int(works.size()));
    const QString point = QLocale().decimalPoint();
    for (int row = 0; row < works.size(); ++row) {
        table.setCell(WorkColumn::StartEvent, row, works[row][0]);
        table.setCell(WorkColumn::EndEvent, row, works[row][1]);
        table.setCell(WorkColumn::Duration, row, QString(works[row][2]).replace(u'.', point));
    }
    m_window->updateCommands();
    m_window->FillEventLists();
    m_window->sbInitBordersClick();
}

void TestDiagramWindow::opensFromTheMainWindowAndWritesNothingBack()
{
    QAbstractButton* open = button("sbDiagram");
    QCOMPARE(open->toolTip(), u"Схема сети"_s);
    QVERIFY(!open->icon().isNull());
    QVERIFY(!open->isEnabled());
    // On the second tool bar, between the analysis and the Gantt chart.
    QCOMPARE(open->parentWidget(), button("sbAnalysis")->parentWidget());
    QVERIFY(button("sbAnalysis")->x() < open->x() && open->x() < button("sbGantt")->x());

    loadWorks({{u"1"_s, u"2"_s, u"3"_s},
               {u"1"_s, u"3"_s, u"5"_s},
               {u"2"_s, u"4"_s, u"4"_s},
               {u"3"_s, u"4"_s, u"0"_s},
               {u"3"_s, u"5"_s, u"2.5"_s},
               {u"4"_s, u"6"_s, u"6"_s},
               {u"5"_s, u"6"_s, u"1"_s},
               {u"6"_s, u"7"_s, u"3"_s},
               {u"6"_s, u"8"_s, u"2"_s},
               {u"7"_s, u"9"_s, u"4"_s},
               {u"8"_s, u"9"_s, u"1.5"_s},
               {u"9"_s, u"10"_s, u"1"_s}});
    QVERIFY(button("sbRecalc")->isEnabled());
    QVERIFY(open->isEnabled());
    const QStringList before = allCells(m_window->workTable());

    QTemporaryDir folder;
    const QString pdf = folder.filePath(u"схема.pdf"_s);
    const QString png = folder.filePath(u"схема.png"_s);
    Seen seen;
    whenModalShown<TfmDiagram>([&](TfmDiagram* window) {
        seen.shown = window->objectName() == u"fmDiagram"_s;
        seen.events = int(window->scene().events().size());
        DiagramView* view = window->view();
        QTRY_VERIFY(view->isVisible());
        seen.fitting = view->zoom();

        clickChild(window, "tbZoom100");
        seen.afterButton = view->zoom();
        // One notch of the wheel zooms in about the point under the pointer.
        const QPointF at(view->viewport()->width() / 3.0, view->viewport()->height() / 2.0);
        seen.heldPoint = view->diagramPoint(at);
        QWheelEvent wheel(at, view->viewport()->mapToGlobal(at), QPoint(), QPoint(0, 120),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(view->viewport(), &wheel);
        seen.afterWheel = view->zoom();
        seen.pointAfterWheel = view->diagramPoint(at);
        // Dragging 40 pixels left and 10 up moves the drawing with the pointer.
        const QPoint scroll(view->horizontalScrollBar()->value(),
                            view->verticalScrollBar()->value());
        QTest::mousePress(view->viewport(), Qt::LeftButton, {}, QPoint(200, 100));
        QTest::mouseMove(view->viewport(), QPoint(160, 90));
        QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, QPoint(160, 90));
        seen.scrollMoved =
            QPoint(view->horizontalScrollBar()->value(), view->verticalScrollBar()->value()) -
            scroll;
        seen.scrollsDown = view->verticalScrollBar()->maximum() > 10;

        seen.sectorRadius = window->scene().radius();
        child<QCheckBox>(window, "cbSectors")->setChecked(false);
        seen.namedRadius = window->scene().radius();
        child<QCheckBox>(window, "cbFloats")->setChecked(true);
        for (const SceneWork& work : window->scene().works())
            seen.floatsShown = seen.floatsShown || !work.totalFloat.text.isEmpty();

        for (int* pages : {&seen.fittedPages, &seen.spreadPages}) {
            whenModalShown<TfmPreview>([pages](TfmPreview* preview) {
                QTRY_VERIFY(preview->document() && preview->document()->isComplete());
                *pages = preview->document()->pageCount();
                clickChild(preview, "tbClose");
            });
            clickChild(window, "tbPrintDiagram");
            auto* mode = child<QComboBox>(window, "cbPrintPages");
            mode->setCurrentIndex(mode->findText(u"На нескольких листах"_s));
        }

        answerFileDialog("sdDiagramPdf", pdf);
        child<QAction>(window, "acSavePdf")->trigger();
        answerFileDialog("sdDiagramPng", png);
        child<QAction>(window, "acSavePng150")->trigger();
        clickChild(window, "tbCloseDiagram");
    });
    open->click();

    QVERIFY(seen.shown);
    QVERIFY(!QApplication::activeModalWidget());
    QCOMPARE(seen.events, 10);
    QVERIFY(seen.fitting > 0 && seen.fitting <= 1);
    QCOMPARE(seen.afterButton, 1.0);
    QCOMPARE(seen.afterWheel, DiagramView::kWheelStep);
    QVERIFY(QLineF(seen.heldPoint, seen.pointAfterWheel).length() < 1);
    // The drawing may be lower than the view, which then holds it in the middle.
    QCOMPARE(seen.scrollMoved, QPoint(40, seen.scrollsDown ? 10 : 0));
    QVERIFY(seen.namedRadius < seen.sectorRadius);
    QVERIFY(seen.floatsShown);
    QCOMPARE(seen.fittedPages, 1);
    QVERIFY(seen.spreadPages > 1);
    QFile written(pdf);
    QVERIFY(written.open(QIODevice::ReadOnly));
    QVERIFY(written.read(5) == "%PDF-");
    const QImage picture(png);
    QVERIFY(!picture.isNull());
    QCOMPARE(std::lround(picture.dotsPerMeterX() * 0.0254), 150L);
    QCOMPARE(allCells(m_window->workTable()), before);

    // Without both ends named there is no recalculation, and no diagram either.
    m_window->sbInitBordersClick();
    child<QComboBox>(m_window.get(), "cbTo")->setEditText(QString());
    QVERIFY(!button("sbRecalc")->isEnabled());
    QVERIFY(!open->isEnabled());
}

// A loop in the network: the error box gives the recalculation's message and no window opens.
void TestDiagramWindow::loopIsRefusedWithTheRecalculationsMessage()
{
    loadWorks({{u"1"_s, u"2"_s, u"1"_s},
               {u"2"_s, u"3"_s, u"1"_s},
               {u"3"_s, u"2"_s, u"1"_s},
               {u"3"_s, u"4"_s, u"1"_s}});
    QCOMPARE(child<QComboBox>(m_window.get(), "cbTo")->currentText(), u"4"_s);
    QVERIFY(button("sbDiagram")->isEnabled());
    bool opened = false;
    QString message;
    whenModalShown<QWidget>([&](QWidget* modal) {
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            message = box->text();
            box->button(QMessageBox::Ok)->click();
        } else {
            opened = true;
            modal->close();
        }
    });
    button("sbDiagram")->click();
    QVERIFY(!opened);
    QCOMPARE(message, u"Сетевой график содержит цикл: 2 -> 3 -> 2."_s);
}

QTEST_MAIN(TestDiagramWindow)
#include "tst_diagramwindow.moc"
