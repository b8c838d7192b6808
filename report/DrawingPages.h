#pragma once

#include "Paper.h"
#include "ReportLayout.h"

#include <QSizeF>
#include <QStringList>

#include <functional>
#include <memory>

class QPainter;

namespace report {

class DataSet;
class ReportDocument;

// A drawing pixel on paper at its natural size, in millimetres: about the screen at 100 %.
inline constexpr qreal kDrawingMillimetresPerPixel = 0.25;

// The print layout of a drawing cut into pages, one piece a page: below the page header of the
// layout it is given, each page's body holds a caption line (when there is one) and the page's
// piece of the drawing, which the caller paints when the engine paints the page. Pages have
// margins of kPageMargin all round. The data set is one record per page.
//
// The layout's drawing element holds the page records and the painter, so the layout and its
// pages stay valid as long as any copy of the layout lives, whatever the window does meanwhile.
class DrawingPages
{
public:
    // Millimetres, as every measure of a report layout.
    static constexpr qreal kPageMargin = 10;

    // Paints page `page` (from 0): the painter's origin is the top left corner of the page's
    // drawing box (below the caption), `dotsPerMm` device units to the millimetre, the painter
    // clipped to the box.
    using PaintPage = std::function<void(QPainter& painter, int page, qreal dotsPerMm)>;

    // `header` is a layout that holds the page header only; a caption line of `captionHeight`
    // millimetres stands above each page's drawing (none for 0).
    DrawingPages(ReportLayout header, Paper paper, qreal captionHeight = 0);
    ~DrawingPages();

    // The room for each page's drawing, in millimetres.
    QSizeF room() const { return m_room; }
    // The pages, one per caption (empty captions where there is no caption line).
    void setPages(const QStringList& captions, PaintPage paint);

    const ReportLayout& layout() const { return m_layout; }
    const DataSet& pages() const;
    int pageCount() const;
    // Makes every page as the preview would.
    std::unique_ptr<ReportDocument> makeDocument() const;

private:
    struct State;
    ReportLayout m_layout;
    qreal m_captionHeight;
    QSizeF m_room;
    std::shared_ptr<State> m_state;
};

} // namespace report
