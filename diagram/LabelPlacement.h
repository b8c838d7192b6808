#pragma once

#include <QPointF>
#include <QRectF>
#include <QSizeF>

#include <vector>

struct NetworkLayout;

// Finds room for the labels of works, in layout coordinates. A work's labels stand in the room
// between its start event's layer and the next, where no circle is: the duration above its line,
// the float below. Across that room a label may slide along its line; of the places where it
// stays clear of its own line, the first that overlaps no label placed before and crosses no
// other work's line is taken, trying the middle of the room first and then further out on either
// side by turns; failing that, the first that overlaps no label; failing that, the middle.
// Labels placed earlier have the first choice, so the caller places the important ones first.
class LabelPlacement
{
public:
    // eventRadius: the radius the layout left room for.
    LabelPlacement(const NetworkLayout& layout, double eventRadius);

    QRectF place(int work, const QSizeF& size, bool above);

private:
    struct Segment
    {
        QPointF a;
        QPointF b;
        int work;
    };
    struct Room
    {
        std::vector<Segment> segments;
        std::vector<QRectF> labels;
    };

    QRectF boxAt(int work, double middle, const QSizeF& size, bool above) const;
    bool crossesOthers(const Room& room, int work, const QRectF& box) const;

    const NetworkLayout& m_layout;
    double m_radius;
    std::vector<Room> m_rooms; // after each layer
};
