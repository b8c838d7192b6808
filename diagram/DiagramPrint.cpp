#include "DiagramPrint.h"

#include "DiagramPainter.h"
#include "DiagramScene.h"
#include "MemoryDataSet.h"
#include "ReportDocument.h"
#include "ReportLayout.h"
#include "ReportPageHeader.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

// Millimetres, as every measure of a report layout.
constexpr double kMargin = 10;
constexpr double kCaptionHeight = 7;
const QString kPageField = QStringLiteral("PAGE");
const QString kCaptionField = QStringLiteral("CAPTION");

} // namespace

struct DiagramPrint::State
{
    std::shared_ptr<const DiagramScene> scene;
    double mmPerPixel = DiagramPrint::kMillimetresPerPixel;
    QSizeF piece;   // diagram pixels per page
    QPointF offset; // a fitted drawing is centred across its page, in millimetres
    int columns = 1;
    int rows = 1;
    report::MemoryDataSet pages{QStringList{kPageField, kCaptionField}};

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
{
    auto state = std::make_shared<State>();
    state->scene = std::move(scene);

    m_layout =
        std::make_unique<report::ReportLayout>(layoutWithPageHeader(PageHeaderCaption::PageNumber));
    report::ReportLayout& layout = *m_layout;
    layout.paper = report::paperSize(paper);
    layout.margins = QMarginsF(kMargin, kMargin, kMargin, kMargin);
    const double headerHeight = layout.bands.back().height;
    const QSizeF body(layout.bandWidth(), layout.paper.height() - 2 * kMargin - headerHeight);
    const QSizeF room(body.width(), body.height() - kCaptionHeight);

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
    state->pages.reserve(count);
    for (int page = 0; page < count; ++page) {
        QString line = caption;
        if (count > 1)
            line += QStringLiteral("; лист %1 из %2 (ряд %3, столбец %4)")
                        .arg(page + 1)
                        .arg(count)
                        .arg(page / state->columns + 1)
                        .arg(page % state->columns + 1);
        state->pages.appendRecord({QString::number(page), line});
    }

    // The band fills the body, so every record begins a page of its own.
    report::ReportBand& detail = layout.addBand(report::BandKind::Detail, body.height());
    detail.add(report::ReportElement::dataField(QRectF(0, 0, body.width(), kCaptionHeight),
                                                kCaptionField));
    const std::shared_ptr<const State> pieces = state;
    detail.add(report::ReportElement::drawing(
        QRectF(QPointF(0, kCaptionHeight), room), kPageField,
        [pieces](QPainter& painter, const QRectF& box, qreal dotsPerMm, const QString& value) {
            bool isNumber = false;
            const int page = value.toInt(&isNumber);
            if (!isNumber || page < 0 || page >= pieces->columns * pieces->rows)
                return;
            const QRectF piece = pieces->pieceOf(page);
            painter.translate(box.topLeft() + pieces->offset * dotsPerMm);
            painter.scale(dotsPerMm * pieces->mmPerPixel, dotsPerMm * pieces->mmPerPixel);
            painter.translate(-piece.topLeft());
            painter.setClipRect(piece, Qt::IntersectClip);
            paintDiagram(painter, *pieces->scene, piece, PaintDetail::Full);
        }));
    m_state = std::move(state);
}

DiagramPrint::~DiagramPrint() = default;

const report::DataSet& DiagramPrint::pages() const
{
    return m_state->pages;
}

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

std::unique_ptr<report::ReportDocument> DiagramPrint::makeDocument() const
{
    return report::makeDocument(layout(), &pages());
}
