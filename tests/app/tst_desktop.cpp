// The program as a desktop application: every command announces itself to screen readers, and
// at twice the pixel density the windows keep their sizes in device-independent pixels, the
// pictures are drawn for the density, and the graph picture stays in device-independent pixels.
#include "DialogDriver.h"
#include "TfmCalendar.h"
#include "TfmGraphView.h"
#include "TfmMain.h"
#include "TfmProps.h"
#include "WorkTable.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QSet>
#include <QTest>
#include <QToolButton>
#include <QWindow>

#include <memory>

namespace {

// The command buttons of a window: those the program names after their kind ("sb", "tb", "cb",
// "ToolButton").
QList<QAbstractButton*> commandButtons(const QWidget* window)
{
    QList<QAbstractButton*> buttons;
    for (QAbstractButton* button : window->findChildren<QAbstractButton*>()) {
        const QString name = button->objectName();
        if (name.startsWith(QLatin1String("sb")) || name.startsWith(QLatin1String("tb")) ||
            name.startsWith(QLatin1String("cbExit")) ||
            name.startsWith(QLatin1String("ToolButton")))
            buttons.append(button);
    }
    return buttons;
}

QStringList unannounced(const QWidget* window)
{
    QStringList missing;
    for (const QAbstractButton* button : commandButtons(window)) {
        if (button->accessibleName().isEmpty() || button->accessibleName() != button->toolTip())
            missing.append(button->objectName());
    }
    return missing;
}

} // namespace

class TestDesktop : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { cancelPendingAnswers(); }
    void commandsAnnounceTheirHints();
    void dialogFieldsFollowInOrder();
    void highDensityKeepsLogicalSizes();
};

void TestDesktop::commandsAnnounceTheirHints()
{
    TfmMain window;
    window.show();
    QVERIFY(commandButtons(&window).size() >= 12); // the twelve of old, and those added since
    QCOMPARE(unannounced(&window), QStringList());
    QVERIFY(!window.findChild<QComboBox*>(QStringLiteral("cbFrom"))->accessibleName().isEmpty());

    QStringList graphMissing, previewMissing;
    int graphButtons = 0;
    whenModalShown([&](QWidget* graph) {
        graphButtons = int(commandButtons(graph).size());
        graphMissing = unannounced(graph);
        whenModalShown([&](QWidget* preview) {
            previewMissing = unannounced(preview);
            clickChild(preview, "tbClose");
        });
        clickChild(graph, "tbPrintGraph");
        clickChild(graph, "ToolButton5");
    });
    window.findChild<QAbstractButton*>(QStringLiteral("tbGraph"))->click();
    QVERIFY(graphButtons >= 6);
    QCOMPARE(graphMissing, QStringList());
    QCOMPARE(previewMissing, QStringList());
}

void TestDesktop::dialogFieldsFollowInOrder()
{
    WorkTable table;
    const NumberFormat numbers(QStringLiteral("."));
    TfmProps dialog(table, NameCollation(), numbers);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    auto* from = dialog.findChild<QComboBox*>(QStringLiteral("cbFrom"));
    auto* to = dialog.findChild<QComboBox*>(QStringLiteral("cbTo"));
    auto* length = dialog.findChild<QLineEdit*>(QStringLiteral("eLength"));
    auto* ok = dialog.findChild<QAbstractButton*>(QStringLiteral("sbOk"));
    auto* cancel = dialog.findChild<QAbstractButton*>(QStringLiteral("sbCancel"));
    const auto tabOrder = [] {
        QList<QWidget*> order{QApplication::focusWidget()};
        for (int i = 0; i < 5; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            order.append(QApplication::focusWidget());
        }
        return order;
    };
    // OK is disabled while the fields are empty: Tab passes it by.
    from->setFocus();
    QCOMPARE(tabOrder(), (QList<QWidget*>{from, to, length, cancel, from, to}));
    from->setEditText(QStringLiteral("1"));
    to->setEditText(QStringLiteral("2"));
    length->setText(QStringLiteral("3"));
    from->setFocus();
    QCOMPARE(tabOrder(), (QList<QWidget*>{from, to, length, ok, cancel, from}));
    QCOMPARE(from->accessibleName(), QStringLiteral("Начало элемента"));

    // The calendar dialog: the calendar with its month and year buttons, then the two buttons.
    TfmCalendar calendar;
    calendar.show();
    QVERIFY(QTest::qWaitForWindowActive(&calendar));
    QSet<QString> reached;
    for (int i = 0; i < 12; ++i) {
        reached.insert(QApplication::focusWidget()->objectName());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    for (const char* name :
         {"qt_calendar_calendarview", "qt_calendar_prevmonth", "qt_calendar_nextmonth",
          "qt_calendar_monthbutton", "qt_calendar_yearbutton", "sbOk", "sbCancel"})
        QVERIFY2(reached.contains(QLatin1String(name)), name);
}

void TestDesktop::highDensityKeepsLogicalSizes()
{
    TfmMain window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(window.windowHandle()->devicePixelRatio(), 2.0);
    QCOMPARE(window.size(), QSize(800, 600));
    auto* recalc = window.findChild<QToolButton*>(QStringLiteral("sbRecalc"));
    const QPixmap picture = recalc->icon().pixmap(QSize(16, 16), 2.0);
    QCOMPARE(picture.size(), QSize(32, 32)); // drawn for the density, not scaled up
    QCOMPARE(window.windowIcon().pixmap(QSize(32, 32), 2.0).size(), QSize(64, 64));

    QSize graphPicture;
    QSize drawingArea;
    whenModalShown([&](QWidget* graph) {
        drawingArea = graph->findChild<QWidget*>(QStringLiteral("pMainPad"))->size();
        graphPicture = qobject_cast<TfmGraphView*>(graph)->picture().size();
        clickChild(graph, "ToolButton5");
    });
    window.findChild<QAbstractButton*>(QStringLiteral("tbGraph"))->click();
    // The picture stays in device-independent pixels: one less than the drawing area each way.
    QVERIFY(drawingArea.isValid());
    QCOMPARE(graphPicture, drawingArea - QSize(1, 1));
}

int main(int argc, char** argv)
{
    // Twice the pixel density for the whole run, as a high-DPI screen gives it.
    qputenv("QT_SCALE_FACTOR", "2");
    QApplication app(argc, argv);
    TestDesktop test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_desktop.moc"
