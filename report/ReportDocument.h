#pragma once

#include "PageMaker.h"
#include "ReportLayout.h"

#include <QFont>
#include <QList>
#include <QRectF>
#include <QString>

#include <memory>

class QPaintDevice;
class QPainter;

namespace report {

// An element where it stands on a page: its box in millimetres from the paper's top left corner
// (a "fits" label already as wide as its text on the device asked about) and, for text elements,
// the text it prints.
struct PlacedElement
{
    const ReportElement* element = nullptr;
    QRectF box;
    QString text;
    QFont font; // in points, as the layout gives it
};

// The made pages of a report together with the layout that made them. This is the one thing the
// preview, the printer and the PDF export paint from: a page count and "paint page n".
// Not thread-safe; pages are appended on the thread that owns the document.
class ReportDocument
{
public:
    explicit ReportDocument(std::shared_ptr<const ReportLayout> layout);

    const ReportLayout& layout() const { return *m_layout; }

    int pageCount() const { return int(m_pages.size()); }
    const MadePage& page(int index) const { return m_pages.at(index); }
    void appendPages(QList<MadePage> pages);

    // True once the last page has been made (or the pages were loaded from a file); until then
    // the page count may grow.
    bool isComplete() const { return m_complete; }
    void setComplete(bool complete) { m_complete = complete; }

    // Paints page `index` (from 0) scaled uniformly into `target` (device units of the painter's
    // device) and centred there. For a target of the paper's proportions this is simply a scale
    // of target.width() / paper width device units per millimetre; fonts are sized for it
    // whatever the device's resolution, so the page looks the same on a screen image, a printer
    // and a PDF writer.
    void paintPage(QPainter& painter, int index, const QRectF& target) const;
    // The same with the paper's corner at the painter's origin, `dotsPerMm` device units to the
    // millimetre.
    void paintPage(QPainter& painter, int index, qreal dotsPerMm) const
    {
        paintPage(painter, index, QRectF(QPointF(0, 0), m_layout->paper * dotsPerMm));
    }

    // The elements of page `index` in painting order, "fits" widths measured on `device` at
    // `dotsPerMm` device units per millimetre.
    QList<PlacedElement> pageElements(int index, const QPaintDevice& device, qreal dotsPerMm) const;

private:
    std::shared_ptr<const ReportLayout> m_layout;
    QList<MadePage> m_pages;
    bool m_complete = false;
};

// The text a system data element prints on a page.
QString systemText(SystemField field, const MadePage& page);

// Makes every page of the report at once, on this thread, as the preview would.
std::unique_ptr<ReportDocument> makeDocument(const ReportLayout& layout, const DataSet* data);

} // namespace report
