#include "DialogDriver.h"
#include "FileTestSupport.h"
#include "TfmMain.h"
#include "WorkTable.h"

#include <QCalendarWidget>
#include <QComboBox>
#include <QHelpEvent>
#include <QLineEdit>
#include <QSet>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QToolTip>

#include <memory>

class TestKeyboard : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void keysRunTheirCommandOnlyWhileItsButtonIsEnabled_data();
    void keysRunTheirCommandOnlyWhileItsButtonIsEnabled();
    void doubleClickEditsTheRow();
    void toolTipsNameTheKeys_data();
    void toolTipsNameTheKeys();
    void tabReachesEveryControl();
    void onlySpaceOnAFocusedButtonClosesADialog_data();
    void onlySpaceOnAFocusedButtonClosesADialog();

private:
    template <typename T = QAbstractButton> T* control(const char* name) const
    {
        return m_window->findChild<T*>(QLatin1String(name));
    }

    QTemporaryDir m_dir;
    std::unique_ptr<TfmMain> m_window;
};

void TestKeyboard::init()
{
    m_window = std::make_unique<TfmMain>();
    m_window->show();
    QApplication::setActiveWindow(m_window.get());
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    // The keyboard starts in the grid.
    QCOMPARE(QApplication::focusWidget(), control<QWidget>("sgMain"));
    // A calculated network: every command is enabled but redo.
    const QString path = m_dir.filePath(QStringLiteral("plan.kdf"));
    testsupport::writeAll(path, "1\r\n2\r\n3\r\n2\r\n3\r\n4\r\n");
    answerFileDialog(path, "odMain");
    control("sbLoadTemp")->click();
    QCOMPARE(m_window->workTable().rowCount(), 2);
    QApplication::setActiveWindow(m_window.get());
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
}

void TestKeyboard::cleanup()
{
    cancelPendingAnswers();
    m_window.reset();
}

void TestKeyboard::keysRunTheirCommandOnlyWhileItsButtonIsEnabled_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QKeySequence>("keys");
    QTest::addColumn<QString>("focus"); // the control that has the keyboard focus
    QTest::addColumn<bool>("acts");
    const auto row = [](const char* button, QKeySequence keys, const char* focus = "sbSaveCsv",
                        bool acts = true) {
        QTest::addRow("%s %s in %s", button, qPrintable(keys.toString()), focus)
            << QString::fromLatin1(button) << keys << QString::fromLatin1(focus) << acts;
    };
    // Anywhere in the window (here with a tool button focused), Enter in the grid only.
    row("sbNewLine", QKeySequence(Qt::Key_Insert));
    row("sbEdit", QKeySequence(Qt::Key_F2));
    row("sbEdit", QKeySequence(Qt::Key_Return), "sgMain");
    row("sbEdit", QKeySequence(Qt::Key_Enter), "sgMain");
    row("sbEdit", QKeySequence(Qt::Key_Return), "sbSaveCsv", false);
    row("sbDel", QKeySequence(Qt::Key_Delete));
    row("sbUndo", QKeySequence(Qt::CTRL | Qt::Key_Z));
    row("sbRedo", QKeySequence(Qt::CTRL | Qt::Key_Y));
    row("sbCopy", QKeySequence(Qt::CTRL | Qt::Key_C));
    row("sbCopyAll", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C));
    row("sbPaste", QKeySequence(Qt::CTRL | Qt::Key_V));
    row("sbRecalc", QKeySequence(Qt::Key_F9));
    row("sbLoadTemp", QKeySequence(Qt::CTRL | Qt::Key_O));
    row("sbSaveTemp", QKeySequence(Qt::CTRL | Qt::Key_S));
    row("sbPrint", QKeySequence(Qt::CTRL | Qt::Key_P));
    // A selector's text field keeps the keys it edits with.
    row("sbDel", QKeySequence(Qt::Key_Delete), "cbTo", false);
    row("sbCopy", QKeySequence(Qt::CTRL | Qt::Key_C), "cbTo", false);
    row("sbPaste", QKeySequence(Qt::CTRL | Qt::Key_V), "cbTo", false);
    row("sbUndo", QKeySequence(Qt::CTRL | Qt::Key_Z), "cbTo", false);
    row("sbRedo", QKeySequence(Qt::CTRL | Qt::Key_Y), "cbTo", false);
}

void TestKeyboard::keysRunTheirCommandOnlyWhileItsButtonIsEnabled()
{
    QFETCH(QString, button);
    QFETCH(QKeySequence, keys);
    QFETCH(QString, focus);
    QFETCH(bool, acts);
    auto* target = m_window->findChild<QAbstractButton*>(button);
    auto* focused = m_window->findChild<QWidget*>(focus);
    control("sbInitBorders")->click(); // the selectors are free
    QSignalSpy clicks(target, &QAbstractButton::clicked);
    for (const bool enabled : {true, false}) {
        target->setEnabled(enabled);
        QApplication::setActiveWindow(m_window.get());
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
        focused->setFocus(Qt::TabFocusReason);
        QCOMPARE(QApplication::focusWidget(), focused);
        // A window the command opens (a dialog, the preview, an error box) is closed at once.
        bool opened = false;
        whenModalShown([&opened](QWidget* modal) {
            opened = true;
            modal->close();
        });
        QTest::keySequence(focused, keys);
        cancelPendingAnswers();
        QCOMPARE(clicks.size(), acts ? 1 : 0);
        if (!enabled)
            QVERIFY(!opened);
    }
}

void TestKeyboard::doubleClickEditsTheRow()
{
    auto* grid = control<QTableView>("sgMain");
    QString shownStart;
    whenModalShown([&shownStart](QWidget* dialog) {
        shownStart = dialog->findChild<QComboBox*>(QStringLiteral("cbFrom"))->currentText();
        clickChild(dialog, "sbCancel");
    });
    const QPoint cell = grid->visualRect(grid->model()->index(1, 2)).center();
    // A double click as the window system delivers it: a click, then the double click.
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell);
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, cell);
    QCOMPARE(shownStart, QStringLiteral("2"));
    QCOMPARE(m_window->currentRow(), 1);
}

void TestKeyboard::toolTipsNameTheKeys_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("keys"); // as the tool tip names them after the hint
    QTest::newRow("undo") << QStringLiteral("sbUndo") << QStringLiteral(" (Ctrl+Z)");
    QTest::newRow("edit") << QStringLiteral("sbEdit") << QStringLiteral(" (Enter, F2)");
    QTest::newRow("copy all") << QStringLiteral("sbCopyAll") << QStringLiteral(" (Ctrl+Shift+C)");
    QTest::newRow("no keys") << QStringLiteral("sbSaveBase") << QString();
}

void TestKeyboard::toolTipsNameTheKeys()
{
    QFETCH(QString, button);
    QFETCH(QString, keys);
    auto* target = m_window->findChild<QAbstractButton*>(button);
    const QString hint = target->toolTip();
    const QPoint centre = target->rect().center();
    QHelpEvent event(QEvent::ToolTip, centre, target->mapToGlobal(centre));
    QApplication::sendEvent(target, &event);
    QTRY_VERIFY(QToolTip::isVisible());
    QCOMPARE(QToolTip::text(), hint + keys);
    QCOMPARE(target->toolTip(), hint); // the hint itself stays as it is
    QToolTip::hideText();
}

void TestKeyboard::tabReachesEveryControl()
{
    control("sbInitBorders")->click(); // the selectors are free
    QSet<QWidget*> expected{control<QWidget>("sgMain"), control<QWidget>("cbFrom"),
                            control<QWidget>("cbTo")};
    for (QAbstractButton* button : m_window->findChildren<QAbstractButton*>()) {
        if (button->isVisible() && button->isEnabled())
            expected.insert(button);
    }
    QSet<QWidget*> reached;
    control<QWidget>("sgMain")->setFocus(Qt::TabFocusReason);
    for (int step = 0; step < 100; ++step) {
        QWidget* focus = QApplication::focusWidget();
        if (auto* box = qobject_cast<QComboBox*>(focus->parentWidget()))
            focus = box;
        reached.insert(focus);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        if (QApplication::focusWidget() == control<QWidget>("sgMain"))
            break;
    }
    QCOMPARE(reached, expected);
}

void TestKeyboard::onlySpaceOnAFocusedButtonClosesADialog_data()
{
    QTest::addColumn<QString>("dialog");
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("closes");
    for (const char* dialog : {"fmProps", "fmCalendar"}) {
        for (const char* button : {"sbOk", "sbCancel"}) {
            for (const auto& [key, name] : {std::pair{Qt::Key_Return, "Return"},
                                            {Qt::Key_Enter, "Enter"},
                                            {Qt::Key_Escape, "Escape"},
                                            {Qt::Key_Space, "Space"}}) {
                QTest::addRow("%s %s %s", dialog, button, name)
                    << QString::fromLatin1(dialog) << QString::fromLatin1(button) << int(key)
                    << (key == Qt::Key_Space);
            }
        }
    }
}

void TestKeyboard::onlySpaceOnAFocusedButtonClosesADialog()
{
    QFETCH(QString, dialog);
    QFETCH(QString, button);
    QFETCH(int, key);
    QFETCH(bool, closes);
    bool stillShown = true;
    int tag = -1;
    whenModalShown([&](QWidget* shown) {
        QCOMPARE(shown->objectName(), dialog);
        if (auto* length = shown->findChild<QLineEdit*>(QStringLiteral("eLength"))) {
            shown->findChild<QComboBox*>(QStringLiteral("cbFrom"))
                ->setEditText(QStringLiteral("4"));
            shown->findChild<QComboBox*>(QStringLiteral("cbTo"))->setEditText(QStringLiteral("5"));
            length->setText(QStringLiteral("1"));
        }
        QApplication::setActiveWindow(shown);
        QVERIFY(QTest::qWaitForWindowActive(shown));
        auto* target = shown->findChild<QAbstractButton*>(button);
        target->setFocus(Qt::TabFocusReason);
        QCOMPARE(QApplication::focusWidget(), target);
        QTest::keyClick(target, Qt::Key(key));
        stillShown = shown->isVisible();
        tag = shown->property("Tag").toInt();
        if (stillShown)
            clickChild(shown, "sbCancel");
    });
    control(dialog == QLatin1String("fmProps") ? "sbNewLine" : "sbCalendar")->click();
    QCOMPARE(!stillShown, closes);
    QCOMPARE(tag, closes && button == QLatin1String("sbOk") ? 1 : 0);
    QCOMPARE(m_window->workTable().rowCount(),
             tag == 1 && dialog == QLatin1String("fmProps") ? 3 : 2);
}

QTEST_MAIN(TestKeyboard)
#include "tst_keyboard.moc"
