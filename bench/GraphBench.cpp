#include "Bench.h"

#include "ClassicFonts.h"
#include "EventMarker.h"
#include "NameCollation.h"
#include "NetworkDrawing.h"
#include "NumberFormat.h"
#include "TfmGraphView.h"
#include "WorkTable.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QFrame>

#include <cstdint>

// The graph window over a network of 2,000 events and 5,000 works: opening it, placing every event
// by hand, drawing the network (the whole switch to the picture, and the drawing alone), one step
// of dragging a marker among 2,000, and placing a 2,000-event critical path automatically.
namespace {

constexpr int kEvents = 2000;
constexpr int kWorks = 5000;

QString eventName(int i)
{
    return QStringLiteral("E%1").arg(i, 4, 10, QLatin1Char('0'));
}

// A chain through every event, then works forward between random events; one duration in ten is
// zero, so that both line styles are drawn.
void fillNetwork(WorkTable& table)
{
    const WorkTable::Batch batch(table);
    table.setRowCount(kWorks);
    std::uint32_t seed = 12345;
    const auto next = [&seed] {
        seed = seed * 1664525u + 1013904223u;
        return seed >> 8;
    };
    for (int row = 0; row < kWorks; ++row) {
        int from = row;
        int to = row + 1;
        if (row >= kEvents - 1) {
            from = static_cast<int>(next() % (kEvents - 1));
            to = from + 1 +
                 static_cast<int>(next() % static_cast<std::uint32_t>(kEvents - 1 - from));
        }
        table.setCell(WorkColumn::StartEvent, row, eventName(from));
        table.setCell(WorkColumn::EndEvent, row, eventName(to));
        table.setCell(WorkColumn::Duration, row,
                      next() % 10 == 0 ? QStringLiteral("0") : QString::number(1 + next() % 9));
    }
}

// Grid positions for the markers, 50 to a row, all node centres distinct.
QPoint gridPlace(int i)
{
    return QPoint(10 + (i % 50) * 30, 10 + (i / 50) * 28);
}

QString ms(double seconds)
{
    return QStringLiteral("%1 ms").arg(seconds * 1000.0, 0, 'f', 1);
}

} // namespace

void benchGraph()
{
    installClassicFontSubstitutes();
    WorkTable table;
    fillNetwork(table);
    const NumberFormat numbers(QStringLiteral("."));
    const NameCollation names{QLocale(QLocale::English, QLocale::UnitedStates)};
    QStringList path;
    for (int i = 0; i < 300; ++i)
        path.append(eventName(i));

    std::unique_ptr<TfmGraphView> window;
    const double open = bench::seconds(
        [&] { window = std::make_unique<TfmGraphView>(table, path, numbers, names); });
    window->resize(1600, 1229);
    window->show();
    QApplication::processEvents();
    auto* points = window->findChild<QComboBox*>(QStringLiteral("cbPoints"));
    auto* insert = window->findChild<QAbstractButton*>(QStringLiteral("tbInsPoint"));
    auto* draw = window->findChild<QAbstractButton*>(QStringLiteral("tbDrawGraph"));

    const double place = bench::seconds([&] {
        for (int i = 0; i < kEvents; ++i) {
            points->setCurrentIndex(points->findText(eventName(i)));
            window->BitBtn2Click(insert);
            const QPoint at = gridPlace(i);
            window->pMainPadMouseMove(at.x(), at.y());
            window->DraggedClick(window->currentMarker());
        }
        QApplication::processEvents();
    });

    // Switching on draws; switching off again is not timed.
    const double switchOn = bench::seconds(
        [&] {
            draw->click();
            QApplication::processEvents();
            draw->click();
        },
        5);

    std::vector<PlacedEvent> events;
    for (const EventMarker* marker : window->markers())
        events.push_back(
            {marker->text(), marker->geometry(), static_cast<int>(path.indexOf(marker->text()))});
    GraphPicture picture;
    picture.resize(1599, 1199);
    const double drawing = bench::seconds(
        [&] {
            picture.clear(QPoint(1601, 1201));
            GraphPicture::Canvas canvas(picture);
            drawNetwork(canvas, events, table, numbers);
        },
        5);

    // Dragging: pick the last marker up and move it over free parts of the area, repainting each
    // time as the window system would.
    window->DraggedClick(window->markers().back());
    constexpr int kSteps = 200;
    const double drag = bench::seconds([&] {
        for (int step = 0; step < kSteps; ++step) {
            window->pMainPadMouseMove(1500 - step, 1150 - step % 40);
            QApplication::processEvents();
        }
    });
    window->DraggedClick(window->markers().back());

    QStringList fullPath;
    for (int i = 0; i < kEvents; ++i)
        fullPath.append(eventName(i));
    TfmGraphView automatic(table, fullPath, numbers, names);
    automatic.resize(1600, 1229);
    const double autoPlace = bench::seconds([&] { automatic.tbAutoPlaceClick(); });

    bench::report(QStringLiteral("graph: open the window over 5,000 works"), ms(open));
    bench::report(QStringLiteral("graph: place 2,000 events by hand"), ms(place));
    bench::report(QStringLiteral("graph: draw 2,000 events, 5,000 works (tbDrawGraph on)"),
                  ms(switchOn));
    bench::report(QStringLiteral("graph: the drawing alone"), ms(drawing));
    bench::report(QStringLiteral("graph: one drag step among 2,000 markers, with repaint"),
                  ms(drag / kSteps));
    bench::report(QStringLiteral("graph: place a 2,000-event critical path automatically"),
                  ms(autoPlace));
}
