#include "DiagramView.h"
#include "DialogDriver.h"
#include "FileTestSupport.h"
#include "TfmDiagram.h"
#include "TfmMain.h"
#include "TfmPreview.h"
#include "WidgetTestSupport.h"
#include "WorkTable.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QMenu>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

using testsupport::child;

// The commands as the user reaches them besides the tool bars: the grid's context menu, whose
// entries are the row commands enabled exactly as their buttons, and the keys of the windows
// beside the main one.
class TestCommands : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void gridMenuFollowsTheButtonsAndTheRowUnderThePointer();
    void sideWindowsTakeTheirKeys_data();
    void sideWindowsTakeTheirKeys();
    void resourcesFollowTheCalculatorAndThePlan();

private:
    QAbstractButton* button(const char* name) const
    {
        return child<QAbstractButton>(m_window.get(), name);
    }
    // Right-clicks the grid over the row; the menu that pops up.
    QMenu* rightClickRow(int row);
    void load(const QByteArray& content);

    QTemporaryDir m_dir;
    std::unique_ptr<TfmMain> m_window;
};

void TestCommands::init()
{
    m_window = std::make_unique<TfmMain>();
    m_window->show();
    QApplication::setActiveWindow(m_window.get());
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
}

void TestCommands::cleanup()
{
    cancelPendingAnswers();
    if (QWidget* popup = QApplication::activePopupWidget())
        popup->close();
    m_window.reset();
}

void TestCommands::load(const QByteArray& content)
{
    const QString path = m_dir.filePath(QStringLiteral("plan.kdf"));
    testsupport::writeAll(path, content);
    answerFileDialog(path, "odMain");
    button("sbLoadTemp")->click();
}

QMenu* TestCommands::rightClickRow(int row)
{
    auto* grid = child<QTableView>(m_window.get(), "sgMain");
    const QPoint at = grid->visualRect(grid->model()->index(row, 4)).center();
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, grid->viewport()->mapToGlobal(at));
    QApplication::sendEvent(grid->viewport(), &event);
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    return menu;
}

// In every state the menu's entries are the row commands, in their order, each enabled exactly as
// its button; a right click makes the row under the pointer current first, and an entry runs its
// command on that row.
void TestCommands::gridMenuFollowsTheButtonsAndTheRowUnderThePointer()
{
    const QStringList rowCommands{u"sbNewLine"_qs, u"sbEdit"_qs,  u"sbDel"_qs,  u"sbCopy"_qs,
                                  u"sbCopyAll"_qs, u"sbPaste"_qs, u"sbUndo"_qs, u"sbRedo"_qs};
    const auto checkMenu = [&](QMenu* menu, const char* state) {
        QVERIFY2(menu, state);
        QCOMPARE(menu->objectName(), QStringLiteral("pmGrid"));
        QStringList names;
        for (QAction* action : menu->actions()) {
            if (action->isSeparator())
                continue;
            names.append(action->objectName());
            QVERIFY2(action->isEnabled() == button(qPrintable(action->objectName()))->isEnabled(),
                     qPrintable(
                         QStringLiteral("%1 %2").arg(QLatin1String(state), action->objectName())));
        }
        QCOMPARE(names, rowCommands);
        menu->close();
    };

    // An empty table: only add and paste (undo has nothing yet).
    QMenu* menu = rightClickRow(0);
    QVERIFY(!menu->actions().isEmpty());
    QVERIFY(!child<QAction>(m_window.get(), "sbEdit")->isEnabled());
    checkMenu(menu, "empty");

    // Three works read: every row command but redo; the third row is made current.
    load("1\r\n2\r\n3\r\n2\r\n3\r\n4\r\n3\r\n4\r\n5\r\n");
    QCOMPARE(m_window->workTable().rowCount(), 3);
    QCOMPARE(m_window->currentRow(), 0);
    menu = rightClickRow(2);
    QCOMPARE(m_window->currentRow(), 2);
    checkMenu(menu, "loaded");

    // Delete from the menu takes the row right-clicked; afterwards undo and redo change state.
    menu = rightClickRow(1);
    QCOMPARE(m_window->currentRow(), 1);
    menu->actions().at(2)->trigger(); // sbDel
    QCOMPARE(m_window->workTable().rowCount(), 2);
    QCOMPARE(m_window->workTable().cell(WorkColumn::StartEvent, 1), QStringLiteral("3"));
    button("sbUndo")->click();
    QCOMPARE(m_window->workTable().rowCount(), 3);
    checkMenu(rightClickRow(0), "after undo");
    QVERIFY(button("sbRedo")->isEnabled());
}

void TestCommands::sideWindowsTakeTheirKeys_data()
{
    QTest::addColumn<QString>("opener"); // the main window's command
    QTest::addColumn<QKeySequence>("keys");
    QTest::addColumn<QString>("shows"); // the window the keys open over it; empty: it closes
    const auto row = [](const char* name, const char* opener, QKeySequence keys,
                        const char* shows) {
        QTest::newRow(name) << QString::fromLatin1(opener) << keys << QString::fromLatin1(shows);
    };
    for (const char* opener : {"sbAnalysis", "sbDiagram", "sbGantt", "sbRisk", "tbGraph"}) {
        row(qPrintable(QStringLiteral("%1 Escape").arg(QLatin1String(opener))), opener,
            QKeySequence(Qt::Key_Escape), "");
        row(qPrintable(QStringLiteral("%1 Ctrl+P").arg(QLatin1String(opener))), opener,
            QKeySequence(Qt::CTRL | Qt::Key_P), "fmPreview");
    }
    row("sbAnalysis Ctrl+S", "sbAnalysis", QKeySequence(Qt::CTRL | Qt::Key_S), "sdAnalysis");
    row("sbGantt Ctrl+S", "sbGantt", QKeySequence(Qt::CTRL | Qt::Key_S), "sdGantt");
    row("sbRisk Ctrl+S", "sbRisk", QKeySequence(Qt::CTRL | Qt::Key_S), "sdRiskCsv");
    row("tbGraph Ctrl+S", "tbGraph", QKeySequence(Qt::CTRL | Qt::Key_S), "sdView");
    row("sbDiagram Ctrl+S", "sbDiagram", QKeySequence(Qt::CTRL | Qt::Key_S), "pmSaveDiagram");
    row("sbResources Escape", "sbResources", QKeySequence(Qt::Key_Escape), "");
    row("sbResources Ctrl+P", "sbResources", QKeySequence(Qt::CTRL | Qt::Key_P), "fmPreview");
    row("sbResources Ctrl+S", "sbResources", QKeySequence(Qt::CTRL | Qt::Key_S),
        "sdResourceProfile");
}

// Each window beside the main one answers the program's keys for its print, save and close
// commands; the diagram's zoom keys step as its wheel does.
void TestCommands::sideWindowsTakeTheirKeys()
{
    QFETCH(QString, opener);
    QFETCH(QKeySequence, keys);
    QFETCH(QString, shows);
    load("1\r\n2\r\n3\r\n2\r\n3\r\n4\r\n");
    m_window->plan().addResource();
    m_window->updateCommands();
    QVERIFY(button(qPrintable(opener))->isEnabled());

    bool closedByKey = false;
    QString opened;
    QList<double> zooms;
    whenModalShown([&](QWidget* window) {
        QApplication::setActiveWindow(window);
        QVERIFY(QTest::qWaitForWindowActive(window));
        if (auto* diagram = qobject_cast<TfmDiagram*>(window)) {
            diagram->view()->setFocus();
            for (const QKeySequence& zoom :
                 {QKeySequence(Qt::CTRL | Qt::Key_0), QKeySequence(Qt::CTRL | Qt::Key_Plus),
                  QKeySequence(Qt::CTRL | Qt::Key_Minus)}) {
                QTest::keySequence(window, zoom);
                zooms.append(diagram->view()->zoom());
            }
        }
        // What the keys open over the window, a window or a menu (either may run its own loop),
        // is noted and closed at once.
        QTimer popups;
        connect(&popups, &QTimer::timeout, &popups, [&opened, window] {
            QWidget* shown = QApplication::activePopupWidget();
            if (!shown)
                shown = QApplication::activeModalWidget();
            if (shown && shown != window && shown->isVisible()) {
                opened = shown->objectName();
                shown->close();
            }
        });
        popups.start(10);
        QTest::keySequence(window, keys);
        QTRY_VERIFY(!opened.isEmpty() || !window->isVisible());
        closedByKey = !window->isVisible();
        if (window->isVisible())
            window->close();
    });
    button(qPrintable(opener))->click();
    cancelPendingAnswers();
    QVERIFY(!QApplication::activeModalWidget());
    QCOMPARE(closedByKey, shows.isEmpty());
    QCOMPARE(opened, shows);
    if (opener == QLatin1String("sbDiagram"))
        QCOMPARE(zooms, QList<double>({1.0, DiagramView::kWheelStep, 1.0}));
}

// The resources window needs a calculated network and something to level: its button follows the
// calculator's and the plan's resources, and opens fmResources.
void TestCommands::resourcesFollowTheCalculatorAndThePlan()
{
    QVERIFY(!button("sbRecalc")->isEnabled());
    m_window->plan().addResource();
    m_window->updateCommands();
    QVERIFY(!button("sbResources")->isEnabled());
    load("1\r\n2\r\n3\r\n2\r\n3\r\n4\r\n");
    QVERIFY(button("sbRecalc")->isEnabled());
    QVERIFY(button("sbResources")->isEnabled());
    QCOMPARE(button("sbResources")->toolTip(), QStringLiteral("Ресурсы"));
    QString opened;
    whenModalShown([&opened](QWidget* window) {
        opened = window->objectName();
        window->close();
    });
    button("sbResources")->click();
    QCOMPARE(opened, QStringLiteral("fmResources"));
    m_window->plan().removeResource(m_window->plan().resources().front().id);
    m_window->updateCommands();
    QVERIFY(button("sbRecalc")->isEnabled());
    QVERIFY(!button("sbResources")->isEnabled());
}

QTEST_MAIN(TestCommands)
#include "tst_commands.moc"
