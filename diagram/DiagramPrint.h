#pragma once

#include "DrawingPages.h"
#include "Paper.h"

#include <QRectF>
#include <QString>

#include <memory>

class DiagramScene;

namespace report {
class DataSet;
class ReportDocument;
struct ReportLayout;
} // namespace report

enum class DiagramPages {
    Fit,   // the whole drawing on one page, as large as the page allows
    Tiles, // at its natural size (report::kDrawingMillimetresPerPixel), cut into pages
};

// The diagram as the report engine prints it and as its PDF holds it, a report::DrawingPages
// (its layout, its page records, their count and their making): below the page header that the
// program's reports share, each page holds a caption line (the network, and for several pages which
// one this is) and its piece of the drawing, painted by paintDiagram as vectors when the engine
// paints the page. Several pages run along the drawing first, left to right, then down.
//
// The print shares the scene (the window may show another one meanwhile), so the layout and its
// pages stay valid as long as any copy of the layout lives.
class DiagramPrint : public report::DrawingPages
{
public:
    static constexpr double kMillimetresPerPixel = report::kDrawingMillimetresPerPixel;
    // A fitted small network is not blown up beyond this.
    static constexpr double kLargestMillimetresPerPixel = 0.35;

    DiagramPrint(std::shared_ptr<const DiagramScene> scene, const QString& caption,
                 report::Paper paper, DiagramPages pages);
    ~DiagramPrint();

    int columns() const;
    int rows() const;
    // The piece of the drawing page `page` (from 0) shows, in diagram pixels, and its scale.
    QRectF piece(int page) const;
    double millimetresPerPixel() const;

    struct State;

private:
    std::shared_ptr<const State> m_state;
};
