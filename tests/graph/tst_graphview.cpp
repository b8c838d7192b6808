#include "Edition.h"
#include "GraphTestSupport.h"

#include <QFileDialog>
#include <QFrame>
#include <QLabel>
#include <QTest>
#include <QToolButton>

using namespace graphtest;
using namespace Qt::StringLiterals;

// The graph window and the placement of events: its controls, the list of unplaced events, manual
// insertion and dragging, automatic placement along the critical path, resizing, and that every
// opening starts afresh.
class TestGraphView : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void windowAsOpened();
    void listHoldsEachEventOnce_data();
    void listHoldsEachEventOnce();
    void insertButtonFollowsTheSelection();

    void manualInsertionStartsADrag();
    void clickDropsAndPicksUp();
    void clickOnAnotherMarkerDropsTheFirst();
    void onlyMovesOverTheAreaItselfMoveTheMarker();

    void automaticPlacementPositions_data();
    void automaticPlacementPositions();
    void automaticPlacementLeavesGapsForPlacedEvents();
    void automaticPlacementMatchesPathNamesIgnoringCase();
    void automaticPlacementEndsADragOnlyWhenItInserts();
    void automaticPlacementWithoutPathDoesNothing();

    void insertionWhilePictureShownIsHidden();
    void resizeClearsThePicture();
    void reopeningStartsAfresh();
    void closeCommandEndsTheModalShowing();
};

void TestGraphView::initTestCase()
{
    installClassicFontSubstitutes();
}

void TestGraphView::windowAsOpened()
{
    const auto table = makeTable({{u"1"_s, u"2"_s, u"3"_s}});
    const auto window = openWindow(*table);
    QCOMPARE(window->objectName(), u"fmGraphView"_s);
    QCOMPARE(window->windowTitle(), u"Kestrin - построение графа, редакция "_s + edition());
    QVERIFY(window->isModal());
    QVERIFY(!window->windowIcon().isNull());

    const struct
    {
        const char* name;
        QString hint;
    } commands[] = {
        {"tbSaveView", u"Сохранить граф"_s},
        {"tbPrintGraph", u"Распечатать граф"_s},
        {"ToolButton5", u"Закончить работу с графом"_s},
        {"tbInsPoint", u"Вставить текущую точку"_s},
        {"tbAutoPlace", u"Расставить точки критического пути автоматически"_s},
        {"tbDrawGraph", u"Отрисовать граф"_s},
    };
    for (const auto& command : commands) {
        const auto* button = control<QAbstractButton>(*window, command.name);
        QVERIFY2(button, command.name);
        QCOMPARE(button->toolTip(), command.hint);
        QVERIFY(!button->icon().isNull());
    }
    QVERIFY(control<QAbstractButton>(*window, "tbDrawGraph")->isCheckable());
    QVERIFY(!control<QAbstractButton>(*window, "tbDrawGraph")->isChecked());

    const auto* points = control<QComboBox>(*window, "cbPoints");
    QVERIFY(!points->isEditable());
    QCOMPARE(points->width(), 217);

    // Both tool bars sit in one 29-pixel band; the drawing area fills the rest.
    const auto* pad = control<QFrame>(*window, "pMainPad");
    QVERIFY(pad->hasMouseTracking());
    QCOMPARE(pad->geometry(), QRect(0, 29, window->width(), window->height() - 29));
    QCOMPARE(pad->size(), QSize(792, 544));
    for (const char* bar : {"ToolBar1", "ToolBar2"}) {
        const auto* toolBar = window->findChild<QWidget*>(QLatin1String(bar));
        QVERIFY(toolBar->geometry().bottom() < 29);
    }

    // The picture: hidden, one pixel short of the area each way, white, with the clearing
    // rectangle's outline along its top and left edges only.
    const auto* image = control<QLabel>(*window, "iMain");
    QCOMPARE(image->parentWidget(), pad);
    QVERIFY(!image->isVisible());
    const QImage& picture = window->picture();
    QCOMPARE(picture.size(), QSize(791, 543));
    QCOMPARE(blackCount(picture, picture.rect()), picture.width() + picture.height() - 1);
    QCOMPARE(blackBounds(picture, QRect(0, 0, picture.width(), 1)),
             QRect(0, 0, picture.width(), 1));
    QCOMPARE(blackBounds(picture, QRect(0, 0, 1, picture.height())),
             QRect(0, 0, 1, picture.height()));

    const auto* dialog = control<QFileDialog>(*window, "sdView");
    QVERIFY(dialog);
    QCOMPARE(dialog->acceptMode(), QFileDialog::AcceptSave);
    QCOMPARE(dialog->nameFilters(), QStringList({u"Файлы BMP (*.bmp)"_s, u"Все файлы (*)"_s}));
    QCOMPARE(dialog->defaultSuffix(), u"bmp"_s);
    QVERIFY(dialog->testOption(QFileDialog::DontConfirmOverwrite));
    QVERIFY(window->markers().empty());
    QVERIFY(!window->isDragging());
    QVERIFY(!window->isPictureShown());
}

void TestGraphView::listHoldsEachEventOnce_data()
{
    QTest::addColumn<std::vector<Work>>("works");
    QTest::addColumn<QStringList>("listed");

    QTest::newRow("empty table") << std::vector<Work>{{}} << QStringList();
    // "Alpha" comes first in the table, but start events are read before end events.
    QTest::newRow("spelling of the start column")
        << std::vector<Work>{{u"x"_s, u"Alpha"_s, u"1"_s}, {u"alpha"_s, u"beta"_s, u"2"_s}}
        << QStringList({u"alpha"_s, u"beta"_s, u"x"_s});
    QTest::newRow("first spelling among the end events")
        << std::vector<Work>{{u"a"_s, u"Ende"_s, u"1"_s}, {u"b"_s, u"ENDE"_s, u"2"_s}}
        << QStringList({u"a"_s, u"b"_s, u"Ende"_s});
    QTest::newRow("alphabetical, case ignored")
        << std::vector<Work>{{u"b"_s, u"C"_s, u"1"_s},
                             {u"A"_s, u"b"_s, u"2"_s},
                             {u"Яблоко"_s, u"арбуз"_s, u"3"_s}}
        << QStringList({u"A"_s, u"b"_s, u"C"_s, u"арбуз"_s, u"Яблоко"_s});
    QTest::newRow("blank end cells skipped")
        << std::vector<Work>{{u"s"_s, QString(), u"1"_s}, {u"t"_s, u"s"_s, u"2"_s}}
        << QStringList({u"s"_s, u"t"_s});
}

void TestGraphView::listHoldsEachEventOnce()
{
    QFETCH(std::vector<Work>, works);
    QFETCH(QStringList, listed);
    const auto table = makeTable(works);
    const auto window = openWindow(*table);
    QCOMPARE(entries(*window), listed);
    QCOMPARE(control<QComboBox>(*window, "cbPoints")->currentIndex(), -1);
    QVERIFY(!control<QAbstractButton>(*window, "tbInsPoint")->isEnabled());
}

void TestGraphView::insertButtonFollowsTheSelection()
{
    const auto table = makeTable({{u"a"_s, u"b"_s, u"1"_s}, {u"b"_s, u"c"_s, u"1"_s}});
    const auto window = openWindow(*table);
    auto* points = control<QComboBox>(*window, "cbPoints");
    auto* insert = control<QAbstractButton>(*window, "tbInsPoint");

    // By keyboard, as a user picks an entry from the closed list.
    points->setFocus();
    QTest::keyClick(points, Qt::Key_Down);
    QCOMPARE(points->currentText(), u"a"_s);
    QVERIFY(insert->isEnabled());

    insert->click();
    QCOMPARE(entries(*window), QStringList({u"b"_s, u"c"_s}));
    QCOMPARE(points->currentIndex(), -1);
    QVERIFY(points->currentText().isEmpty());
    QVERIFY(!insert->isEnabled());

    QTest::keyClick(points, Qt::Key_Down);
    QVERIFY(insert->isEnabled());
    insert->click();
    insert->click(); // disabled: nothing happens
    QCOMPARE(window->markers().size(), std::size_t(2));
    QCOMPARE(entries(*window), QStringList({u"c"_s}));
}

void TestGraphView::manualInsertionStartsADrag()
{
    const auto table = makeTable({{u"a"_s, u"b"_s, u"1"_s}});
    const auto window = openWindow(*table);
    auto* pad = control<QFrame>(*window, "pMainPad");
    select(*window, u"b"_s);
    control<QAbstractButton>(*window, "tbInsPoint")->click();

    QCOMPARE(window->markers().size(), std::size_t(1));
    EventMarker* marker = window->markers().front();
    QCOMPARE(window->currentMarker(), marker);
    QVERIFY(window->isDragging());
    QCOMPARE(marker->parentWidget(), pad);
    QCOMPARE(marker->geometry(), QRect(10, 50, 100, 24));
    QCOMPARE(marker->text(), u"b"_s);
    QVERIFY(marker->isVisible());
    QCOMPARE(marker->frameShape(), QFrame::Panel);
    QCOMPARE(marker->frameShadow(), QFrame::Raised);
    QCOMPARE(marker->alignment(), Qt::AlignCenter);

    window->pMainPadMouseMove(300, 200);
    QCOMPARE(marker->pos(), QPoint(300, 200));
    window->pMainPadMouseMove(5, 7);
    QCOMPARE(marker->pos(), QPoint(5, 7));
}

void TestGraphView::clickDropsAndPicksUp()
{
    const auto table = makeTable({{u"a"_s, u"b"_s, u"1"_s}});
    const auto window = openWindow(*table);
    select(*window, u"a"_s);
    control<QAbstractButton>(*window, "tbInsPoint")->click();
    EventMarker* marker = window->currentMarker();

    // A real click on the marker: the first one drops it.
    window->pMainPadMouseMove(200, 100);
    QTest::mouseClick(marker, Qt::LeftButton, {}, QPoint(50, 12));
    QVERIFY(!window->isDragging());
    window->pMainPadMouseMove(400, 300);
    QCOMPARE(marker->pos(), QPoint(200, 100));

    QTest::mouseClick(marker, Qt::RightButton, {}, QPoint(50, 12));
    QVERIFY(!window->isDragging());
    QTest::mouseClick(marker, Qt::LeftButton, {}, QPoint(50, 12));
    QVERIFY(window->isDragging());
    window->pMainPadMouseMove(400, 300);
    QCOMPARE(marker->pos(), QPoint(400, 300));
}

void TestGraphView::clickOnAnotherMarkerDropsTheFirst()
{
    const auto table = makeTable({{u"a"_s, u"b"_s, u"1"_s}});
    const auto window = openWindow(*table);
    EventMarker* first = place(*window, u"a"_s, {100, 100});
    EventMarker* second = place(*window, u"b"_s, {300, 100});

    window->DraggedClick(first);
    QVERIFY(window->isDragging());
    QCOMPARE(window->currentMarker(), first);
    window->pMainPadMouseMove(120, 150);

    window->DraggedClick(second);
    QVERIFY(!window->isDragging());
    QCOMPARE(window->currentMarker(), first);
    window->pMainPadMouseMove(600, 400);
    QCOMPARE(first->pos(), QPoint(120, 150));
    QCOMPARE(second->pos(), QPoint(300, 100));

    window->DraggedClick(second);
    QVERIFY(window->isDragging());
    QCOMPARE(window->currentMarker(), second);
    window->pMainPadMouseMove(600, 400);
    QCOMPARE(second->pos(), QPoint(600, 400));
    QCOMPARE(first->pos(), QPoint(120, 150));
}

void TestGraphView::onlyMovesOverTheAreaItselfMoveTheMarker()
{
    const auto table = makeTable({{u"a"_s, u"b"_s, u"1"_s}});
    const auto window = openWindow(*table);
    auto* pad = control<QFrame>(*window, "pMainPad");
    EventMarker* other = place(*window, u"b"_s, {400, 300});
    select(*window, u"a"_s);
    control<QAbstractButton>(*window, "tbInsPoint")->click();
    EventMarker* dragged = window->currentMarker();

    QTest::mouseMove(pad, QPoint(200, 150));
    QTRY_COMPARE(dragged->pos(), QPoint(200, 150));
    // Over the dragged marker itself (its top-left corner sits under the pointer) and over
    // another marker, nothing moves.
    QTest::mouseMove(pad, QPoint(230, 160));
    QTest::mouseMove(pad, QPoint(420, 310));
    QApplication::processEvents();
    QCOMPARE(dragged->pos(), QPoint(200, 150));
    QTest::mouseMove(pad, QPoint(150, 100));
    QTRY_COMPARE(dragged->pos(), QPoint(150, 100));
    QCOMPARE(other->pos(), QPoint(400, 300));

    // Over the shown picture nothing moves either.
    window->tbDrawGraphClick();
    QTest::mouseMove(pad, QPoint(50, 60));
    QApplication::processEvents();
    QCOMPARE(dragged->pos(), QPoint(150, 100));
}

void TestGraphView::automaticPlacementPositions_data()
{
    QTest::addColumn<QSize>("area");
    QTest::addColumn<QList<QPoint>>("corners");
    QTest::newRow("792 x 544") << QSize(792, 544)
                               << QList<QPoint>{{0, 272}, {198, 272}, {396, 272}, {594, 272}};
    // Halves rounded to the even neighbour.
    QTest::newRow("height 545") << QSize(792, 545)
                                << QList<QPoint>{{0, 272}, {198, 272}, {396, 272}, {594, 272}};
    QTest::newRow("height 547") << QSize(792, 547)
                                << QList<QPoint>{{0, 274}, {198, 274}, {396, 274}, {594, 274}};
    QTest::newRow("width 602") << QSize(602, 544)
                               << QList<QPoint>{{0, 272}, {150, 272}, {301, 272}, {452, 272}};
    QTest::newRow("width 606") << QSize(606, 544)
                               << QList<QPoint>{{0, 272}, {152, 272}, {303, 272}, {454, 272}};
}

void TestGraphView::automaticPlacementPositions()
{
    QFETCH(QSize, area);
    QFETCH(QList<QPoint>, corners);
    const auto table = makeTable({{u"S"_s, u"X"_s, u"1"_s},
                                  {u"X"_s, u"Y"_s, u"2"_s},
                                  {u"Y"_s, u"E"_s, u"3"_s},
                                  {u"S"_s, u"off"_s, u"1"_s}});
    const auto window = openWindow(*table, {u"S"_s, u"X"_s, u"Y"_s, u"E"_s});
    window->resize(area + QSize(0, 29));
    QApplication::processEvents();
    QCOMPARE(control<QFrame>(*window, "pMainPad")->size(), area);

    control<QAbstractButton>(*window, "tbAutoPlace")->click();
    const QStringList order{u"S"_s, u"X"_s, u"Y"_s, u"E"_s};
    QCOMPARE(window->markers().size(), std::size_t(4));
    for (int i = 0; i < 4; ++i) {
        const EventMarker* marker = window->markers()[static_cast<std::size_t>(i)];
        QCOMPARE(marker->text(), order[i]);
        QCOMPARE(marker->pos(), corners[i]);
        QVERIFY(marker->isVisible());
    }
    QCOMPARE(entries(*window), QStringList({u"off"_s}));
    QVERIFY(!window->isDragging());
    QCOMPARE(window->currentMarker(), window->markers().back());
    QVERIFY(!control<QAbstractButton>(*window, "tbInsPoint")->isEnabled());
}

void TestGraphView::automaticPlacementLeavesGapsForPlacedEvents()
{
    const auto table =
        makeTable({{u"S"_s, u"X"_s, u"1"_s}, {u"X"_s, u"Y"_s, u"2"_s}, {u"Y"_s, u"E"_s, u"3"_s}});
    const auto window = openWindow(*table, {u"S"_s, u"X"_s, u"Y"_s, u"E"_s});
    EventMarker* x = place(*window, u"X"_s, {30, 40});
    control<QAbstractButton>(*window, "tbAutoPlace")->click();

    QCOMPARE(window->markers().size(), std::size_t(4));
    QCOMPARE(x->pos(), QPoint(30, 40));
    QCOMPARE(markerOf(*window, u"S"_s)->pos(), QPoint(0, 272));
    QCOMPARE(markerOf(*window, u"Y"_s)->pos(), QPoint(396, 272));
    QCOMPARE(markerOf(*window, u"E"_s)->pos(), QPoint(594, 272));

    // A second run finds nothing left to place.
    control<QAbstractButton>(*window, "tbAutoPlace")->click();
    QCOMPARE(window->markers().size(), std::size_t(4));
}

void TestGraphView::automaticPlacementMatchesPathNamesIgnoringCase()
{
    // The path names its events in other letter case; the markers keep the list's spelling, and
    // a name repeated in the path takes its first position.
    const auto table = makeTable({{u"Start"_s, u"mid"_s, u"1"_s}, {u"mid"_s, u"END"_s, u"2"_s}});
    const auto window = openWindow(*table, {u"start"_s, u"MID"_s, u"Start"_s, u"end"_s});
    control<QAbstractButton>(*window, "tbAutoPlace")->click();
    QCOMPARE(window->markers().size(), std::size_t(3));
    QCOMPARE(markerOf(*window, u"Start"_s)->pos(), QPoint(0, 272));
    QCOMPARE(markerOf(*window, u"mid"_s)->pos(), QPoint(198, 272));
    QCOMPARE(markerOf(*window, u"END"_s)->pos(), QPoint(594, 272));
}

void TestGraphView::automaticPlacementEndsADragOnlyWhenItInserts()
{
    const auto table = makeTable({{u"S"_s, u"E"_s, u"1"_s}, {u"E"_s, u"free"_s, u"1"_s}});
    const auto window = openWindow(*table, {u"S"_s, u"E"_s});
    select(*window, u"free"_s);
    control<QAbstractButton>(*window, "tbInsPoint")->click();
    QVERIFY(window->isDragging());
    control<QAbstractButton>(*window, "tbAutoPlace")->click();
    QVERIFY(!window->isDragging());

    window->DraggedClick(markerOf(*window, u"free"_s));
    QVERIFY(window->isDragging());
    control<QAbstractButton>(*window, "tbAutoPlace")->click();
    QVERIFY(window->isDragging());
    QCOMPARE(window->currentMarker(), markerOf(*window, u"free"_s));
}

void TestGraphView::automaticPlacementWithoutPathDoesNothing()
{
    const auto table = makeTable({{u"S"_s, u"E"_s, u"1"_s}});
    const auto empty = makeTable({{}});
    for (const WorkTable* works : {table.get(), empty.get()}) {
        const auto window = openWindow(*works);
        control<QAbstractButton>(*window, "tbAutoPlace")->click();
        QVERIFY(window->markers().empty());
        QCOMPARE(entries(*window).size(), works == empty.get() ? 0 : 2);
    }
}

void TestGraphView::insertionWhilePictureShownIsHidden()
{
    const auto table = makeTable({{u"S"_s, u"E"_s, u"1"_s}, {u"E"_s, u"F"_s, u"1"_s}});
    const auto window = openWindow(*table, {u"S"_s, u"E"_s});
    EventMarker* placed = place(*window, u"F"_s, {500, 400});
    control<QAbstractButton>(*window, "tbDrawGraph")->click();
    QVERIFY(window->isPictureShown());
    QVERIFY(control<QLabel>(*window, "iMain")->isVisible());
    QVERIFY(!placed->isVisible());

    select(*window, u"S"_s);
    control<QAbstractButton>(*window, "tbInsPoint")->click();
    EventMarker* hidden = window->currentMarker();
    QVERIFY(!hidden->isVisible());
    QVERIFY(window->isDragging());
    window->pMainPadMouseMove(70, 80);
    window->DraggedClick(hidden);
    control<QAbstractButton>(*window, "tbAutoPlace")->click();
    QVERIFY(!markerOf(*window, u"E"_s)->isVisible());

    control<QAbstractButton>(*window, "tbDrawGraph")->click();
    QVERIFY(!window->isPictureShown());
    QVERIFY(!control<QLabel>(*window, "iMain")->isVisible());
    for (EventMarker* marker : window->markers())
        QVERIFY(marker->isVisible());
    QCOMPARE(hidden->pos(), QPoint(70, 80));
    QCOMPARE(markerOf(*window, u"E"_s)->pos(), QPoint(396, 272));
}

void TestGraphView::resizeClearsThePicture()
{
    const auto table = makeTable({{u"a"_s, u"b"_s, u"1"_s}});
    const auto window = openWindow(*table);
    place(*window, u"a"_s, {100, 100});
    place(*window, u"b"_s, {400, 100});
    auto* draw = control<QAbstractButton>(*window, "tbDrawGraph");
    draw->click();
    QVERIFY(blackCount(window->picture(), QRect(140, 131, 320, 20)) > 0);

    window->resize(700, 500);
    QApplication::processEvents();
    const QImage& picture = window->picture();
    QCOMPARE(picture.size(), QSize(699, 470));
    QCOMPARE(blackCount(picture, picture.rect()), picture.width() + picture.height() - 1);
    QVERIFY(isBlack(picture, 0, 0) && isBlack(picture, 698, 0) && isBlack(picture, 0, 469));
    QVERIFY(window->isPictureShown());
    QVERIFY(draw->isChecked());
    QCOMPARE(control<QLabel>(*window, "iMain")->pixmap().toImage(),
             picture.convertToFormat(QImage::Format_RGB32));
    QCOMPARE(control<QLabel>(*window, "iMain")->geometry(), QRect(1, 1, 698, 469));
}

void TestGraphView::reopeningStartsAfresh()
{
    const auto table = makeTable({{u"S"_s, u"E"_s, u"1"_s}});
    const QStringList path{u"S"_s, u"E"_s};
    {
        const auto window = openWindow(*table, path);
        control<QAbstractButton>(*window, "tbAutoPlace")->click();
        control<QAbstractButton>(*window, "tbDrawGraph")->click();
        QVERIFY(entries(*window).isEmpty());
    }
    const auto window = openWindow(*table, path);
    QCOMPARE(entries(*window), QStringList({u"E"_s, u"S"_s}));
    QVERIFY(window->markers().empty());
    QVERIFY(!window->isPictureShown());
    QVERIFY(!control<QAbstractButton>(*window, "tbDrawGraph")->isChecked());
    QVERIFY(!control<QLabel>(*window, "iMain")->isVisible());
    QVERIFY(!window->currentMarker());
}

void TestGraphView::closeCommandEndsTheModalShowing()
{
    const auto table = makeTable({{u"S"_s, u"E"_s, u"1"_s}});
    TfmGraphView window(*table, {}, numbers(), names());
    QTimer::singleShot(0, &window, [&window] {
        QCOMPARE(QApplication::activeModalWidget(), &window);
        control<QAbstractButton>(window, "ToolButton5")->click();
    });
    window.exec();
    QVERIFY(!window.isVisible());
    QVERIFY(!QApplication::activeModalWidget());
}

QTEST_MAIN(TestGraphView)
#include "tst_graphview.moc"
