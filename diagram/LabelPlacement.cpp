#include "LabelPlacement.h"

#include "NetworkLayout.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

namespace {

constexpr double kPad = 3;
// How far apart the places tried across a room are, at the least, and how many on each side.
constexpr double kLeastStep = 4;
constexpr int kStepsEachWay = 4;

// The highest (above) or lowest (below) y of a route over [left, right]. The routes run left to
// right, and each of their segments is straight, so its extremes over a stretch are at the
// stretch's ends.
double routeExtreme(const std::vector<QPointF>& route, double left, double right, bool above)
{
    double extreme =
        above ? std::numeric_limits<double>::infinity() : -std::numeric_limits<double>::infinity();
    for (std::size_t i = 1; i < route.size(); ++i) {
        const QPointF& a = route[i - 1];
        const QPointF& b = route[i];
        const double from = std::max(left, std::min(a.x(), b.x()));
        const double to = std::min(right, std::max(a.x(), b.x()));
        if (from > to)
            continue;
        const auto yAt = [&](double x) {
            return a.y() + (b.y() - a.y()) * (x - a.x()) / (b.x() - a.x());
        };
        const double first = a.x() == b.x() ? a.y() : yAt(from);
        const double second = a.x() == b.x() ? b.y() : yAt(to);
        extreme = above ? std::min({extreme, first, second}) : std::max({extreme, first, second});
    }
    return extreme;
}

// Whether some stretch of the segment a-b lies inside the rectangle (Liang and Barsky).
bool segmentEnters(const QPointF& a, const QPointF& b, const QRectF& rect)
{
    double from = 0;
    double to = 1;
    const QPointF d = b - a;
    const double p[] = {-d.x(), d.x(), -d.y(), d.y()};
    const double q[] = {a.x() - rect.left(), rect.right() - a.x(), a.y() - rect.top(),
                        rect.bottom() - a.y()};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0)
                return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0)
            from = std::max(from, t);
        else
            to = std::min(to, t);
    }
    return from < to;
}

} // namespace

LabelPlacement::LabelPlacement(const NetworkLayout& layout, double eventRadius)
    : m_layout(layout), m_radius(eventRadius)
{
    int layers = 0;
    for (const int layer : layout.layers)
        layers = std::max(layers, layer + 1);
    m_rooms.resize(std::size_t(layers));
    const double pitch = layout.layerPitch;
    for (std::size_t work = 0; work < layout.routes.size(); ++work) {
        const std::vector<QPointF>& route = layout.routes[work];
        for (std::size_t i = 1; i < route.size(); ++i) {
            const QPointF& a = route[i - 1];
            const QPointF& b = route[i];
            const int first = std::max(0, int(std::floor((a.x() - m_radius) / pitch)));
            const int last = std::min(layers - 1, int(std::floor((b.x() + m_radius) / pitch)));
            for (int room = first; room <= last; ++room) {
                const double left = room * pitch + m_radius;
                const double right = (room + 1) * pitch - m_radius;
                if (std::min(b.x(), right) > std::max(a.x(), left))
                    m_rooms[std::size_t(room)].segments.push_back({a, b, int(work)});
            }
        }
    }
}

QRectF LabelPlacement::boxAt(int work, double middle, const QSizeF& size, bool above) const
{
    const std::vector<QPointF>& route = m_layout.routes[std::size_t(work)];
    double edge = routeExtreme(route, middle - size.width() / 2 - kPad,
                               middle + size.width() / 2 + kPad, above);
    if (!std::isfinite(edge))
        edge = route.front().y();
    const double top = above ? edge - kPad - size.height() : edge + kPad;
    return QRectF(middle - size.width() / 2, top, size.width(), size.height());
}

bool LabelPlacement::crossesOthers(const Room& room, int work, const QRectF& box) const
{
    return std::any_of(room.segments.begin(), room.segments.end(), [&](const Segment& segment) {
        return segment.work != work && segmentEnters(segment.a, segment.b, box);
    });
}

QRectF LabelPlacement::place(int work, const QSizeF& size, bool above)
{
    const QPointF from = m_layout.routes[std::size_t(work)].front();
    const int layer =
        m_layout.layers.empty() ? 0 : int(std::lround(from.x() / m_layout.layerPitch));
    Room& room = m_rooms[std::size_t(std::clamp(layer, 0, int(m_rooms.size()) - 1))];
    const double left = from.x() + m_radius + kPad + size.width() / 2;
    const double right = from.x() + m_layout.layerPitch - m_radius - kPad - size.width() / 2;
    const double middle = (left + right) / 2;
    const double slack = std::max(0.0, (right - left) / 2);
    const double step = std::max(kLeastStep, slack / kStepsEachWay);

    const auto overlapsLabel = [&](const QRectF& box) {
        return std::any_of(room.labels.begin(), room.labels.end(),
                           [&](const QRectF& other) { return other.intersects(box); });
    };
    std::optional<QRectF> apart;
    for (int k = 0; step * ((k + 1) / 2) <= slack + 1e-9; ++k) {
        const double offset = (k % 2 == 1 ? 1 : -1) * step * ((k + 1) / 2);
        const QRectF box = boxAt(work, middle + offset, size, above);
        if (overlapsLabel(box))
            continue;
        if (!crossesOthers(room, work, box)) {
            room.labels.push_back(box);
            return box;
        }
        if (!apart)
            apart = box;
    }
    const QRectF chosen = apart ? *apart : boxAt(work, middle, size, above);
    room.labels.push_back(chosen);
    return chosen;
}
