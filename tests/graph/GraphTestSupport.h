#pragma once

#include "ClassicFonts.h"
#include "EventMarker.h"
#include "NameCollation.h"
#include "NumberFormat.h"
#include "TfmGraphView.h"
#include "WorkTable.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QImage>
#include <QMessageBox>
#include <QPoint>
#include <QRect>
#include <QStringList>
#include <QTimer>

#include <memory>
#include <vector>

// Shared by the graph window tests: a work table from literal rows, a window over it, placing an
// event where a test wants it the way a user does (insert, move the pointer, click), the error box
// answered as a user would, and pixel probes of the picture.
namespace graphtest {

struct Work
{
    QString start;
    QString end;
    QString duration;
};

inline std::unique_ptr<WorkTable> makeTable(const std::vector<Work>& works)
{
    auto table = std::make_unique<WorkTable>();
    table->setRowCount(static_cast<int>(works.size()));
    for (int row = 0; row < static_cast<int>(works.size()); ++row) {
        const Work& work = works[static_cast<std::size_t>(row)];
        table->setCell(WorkColumn::StartEvent, row, work.start);
        table->setCell(WorkColumn::EndEvent, row, work.end);
        table->setCell(WorkColumn::Duration, row, work.duration);
    }
    return table;
}

inline const NumberFormat& numbers()
{
    static const NumberFormat format(QStringLiteral("."));
    return format;
}

inline const NameCollation& names()
{
    static const NameCollation collation(QLocale(QLocale::English, QLocale::UnitedStates));
    return collation;
}

// A window as tbGraph opens it, shown (not run modally, so that the test goes on).
inline std::unique_ptr<TfmGraphView> openWindow(const WorkTable& table,
                                                const QStringList& criticalPath = {})
{
    auto window = std::make_unique<TfmGraphView>(table, criticalPath, numbers(), names());
    window->show();
    QApplication::processEvents();
    return window;
}

template <typename T> T* control(const TfmGraphView& window, const char* name)
{
    return window.findChild<T*>(QLatin1String(name));
}

inline QStringList entries(const TfmGraphView& window)
{
    const auto* box = control<QComboBox>(window, "cbPoints");
    QStringList texts;
    for (int i = 0; i < box->count(); ++i)
        texts.append(box->itemText(i));
    return texts;
}

inline void select(TfmGraphView& window, const QString& name)
{
    auto* box = control<QComboBox>(window, "cbPoints");
    box->setCurrentIndex(box->findText(name));
}

// Inserts the event by hand, moves the pointer to `at` and clicks the marker to drop it there.
inline EventMarker* place(TfmGraphView& window, const QString& name, QPoint at)
{
    select(window, name);
    window.BitBtn2Click(control<QAbstractButton>(window, "tbInsPoint"));
    EventMarker* marker = window.currentMarker();
    window.pMainPadMouseMove(at.x(), at.y());
    window.DraggedClick(marker);
    return marker;
}

inline EventMarker* markerOf(const TfmGraphView& window, const QString& caption)
{
    for (EventMarker* marker : window.markers()) {
        if (marker->text() == caption)
            return marker;
    }
    return nullptr;
}

// Polls every few milliseconds, from the event loop of whatever modal window runs, until `step`
// reports that it has done its part.
inline void pollUntilDone(std::function<bool()> step)
{
    auto* timer = new QTimer(qApp);
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, step = std::move(step)] {
        if (step()) {
            timer->stop();
            timer->deleteLater();
        }
    });
    timer->start();
}

// Runs the button's command through its guard; the error box it shows, if any, is answered with
// OK and its text returned (empty when no box came up).
inline QString clickAndAnswerErrorBox(QAbstractButton* button)
{
    auto shown = std::make_shared<QString>();
    auto done = std::make_shared<bool>(false);
    pollUntilDone([shown, done] {
        if (*done)
            return true;
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* box = qobject_cast<QMessageBox*>(widget);
            if (box && box->isVisible()) {
                *shown = box->text();
                box->button(QMessageBox::Ok)->click();
                return true;
            }
        }
        return false;
    });
    button->click();
    *done = true;
    return *shown;
}

inline bool isBlack(const QImage& image, int x, int y)
{
    return image.pixel(x, y) == qRgb(0, 0, 0);
}

inline bool isWhite(const QImage& image, int x, int y)
{
    return image.pixel(x, y) == qRgb(255, 255, 255);
}

// The bounding box of the black pixels inside the region (null when there are none).
inline QRect blackBounds(const QImage& image, const QRect& region)
{
    QRect bounds;
    const QRect inside = region & image.rect();
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        for (int x = inside.left(); x <= inside.right(); ++x) {
            if (isBlack(image, x, y))
                bounds |= QRect(x, y, 1, 1);
        }
    }
    return bounds;
}

inline int blackCount(const QImage& image, const QRect& region)
{
    int count = 0;
    const QRect inside = region & image.rect();
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        for (int x = inside.left(); x <= inside.right(); ++x)
            count += isBlack(image, x, y) ? 1 : 0;
    }
    return count;
}

// Every pixel black or white: nothing is antialiased.
inline bool onlyBlackAndWhite(const QImage& image)
{
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (!isBlack(image, x, y) && !isWhite(image, x, y))
                return false;
        }
    }
    return true;
}

} // namespace graphtest
