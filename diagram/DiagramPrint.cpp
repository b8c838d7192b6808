#include "DiagramPrint.h"

#include "DiagramPainter.h"
#include "DiagramScene.h"
#include "ReportDocument.h"
#include "ReportPageHeader.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

// Millimetres, as every measure of a report layout.
constexpr double kCaptionHeight = 7;

} // namespace

struct DiagramPrint::State
{
    std::shared_ptr<const DiagramScene> scene;
    double mmPerPixel = report::kDrawingMillimetresPerPixel;
    QSizeF piece;   // diagram pixels per page
    QPointF offset; // a fitted drawing is centred across its page, in millimetres
    int columns = 1;
    int rows = 1;

    QRectF pieceOf(int page) const
    {
        const QRectF bounds = scene->bounds();
        const QPointF corner(bounds.left() + (page % columns) * piece.width(),
                             bounds.top() + (page / columns) * piece.height());
        return QRectF(corner, piece).intersected(bounds);
    }
};

DiagramPrint::DiagramPrint(std::shared_ptr<const DiagramScene> scene, const QString& caption,
                           report::Paper paper, DiagramPages pages)
    : DrawingPages(layoutWithPageHeader(PageHeaderCaption::PageNumber), paper, kCaptionHeight)
{
    auto state = std::make_shared<State>();
    state->scene = std::move(scene);
    const QSizeF room = this->room();
    const QSizeF drawing = state->scene->bounds().size();
    if (pages == DiagramPages::Fit) {
        state->mmPerPixel =
            std::min({room.width() / drawing.width(), room.height() / drawing.height(),
                      kLargestMillimetresPerPixel});
        state->piece = drawing;
        state->offset = QPointF((room.width() - drawing.width() * state->mmPerPixel) / 2, 0);
    } else {
        state->piece = room / state->mmPerPixel;
        state->columns = std::max(1, int(std::ceil(drawing.width() / state->piece.width())));
        state->rows = std::max(1, int(std::ceil(drawing.height() / state->piece.height())));
    }
    const int count = state->columns * state->rows;
    QStringList captions;
    captions.reserve(count);
    for (int page = 0; page < count; ++page) {
        QString line = caption;
        if (count > 1)
            line += QStringLiteral("; лист %1 из %2 (ряд %3, столбец %4)")
                        .arg(page + 1)
                        .arg(count)
                        .arg(page / state->columns + 1)
                        .arg(page % state->columns + 1);
        captions.append(line);
    }
    const std::shared_ptr<const State> pieces = state;
    setPages(captions, [pieces](QPainter& painter, int page, qreal dotsPerMm) {
        const QRectF piece = pieces->pieceOf(page);
        painter.translate(pieces->offset * dotsPerMm);
        painter.scale(dotsPerMm * pieces->mmPerPixel, dotsPerMm * pieces->mmPerPixel);
        painter.translate(-piece.topLeft());
        painter.setClipRect(piece, Qt::IntersectClip);
        paintDiagram(painter, *pieces->scene, piece, PaintDetail::Full);
    });
    m_state = std::move(state);
}

DiagramPrint::~DiagramPrint() = default;

int DiagramPrint::columns() const
{
    return m_state->columns;
}

int DiagramPrint::rows() const
{
    return m_state->rows;
}

QRectF DiagramPrint::piece(int page) const
{
    return m_state->pieceOf(page);
}

double DiagramPrint::millimetresPerPixel() const
{
    return m_state->mmPerPixel;
}
