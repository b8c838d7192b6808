#include "DrawingPages.h"

#include "MemoryDataSet.h"
#include "ReportDocument.h"

#include <QPainter>

namespace report {

namespace {

const QString kPageField = QStringLiteral("PAGE");
const QString kCaptionField = QStringLiteral("CAPTION");

} // namespace

struct DrawingPages::State
{
    MemoryDataSet pages{QStringList{kPageField, kCaptionField}};
    PaintPage paint;
};

DrawingPages::DrawingPages(ReportLayout header, Paper paper, qreal captionHeight)
    : m_layout(std::move(header)), m_captionHeight(captionHeight),
      m_state(std::make_shared<State>())
{
    m_layout.paper = paperSize(paper);
    m_layout.margins = QMarginsF(kPageMargin, kPageMargin, kPageMargin, kPageMargin);
    qreal headers = 0;
    for (const ReportBand& band : m_layout.bands)
        headers += band.height;
    m_room = QSizeF(m_layout.bandWidth(),
                    m_layout.paper.height() - 2 * kPageMargin - headers - m_captionHeight);
}

DrawingPages::~DrawingPages() = default;

void DrawingPages::setPages(const QStringList& captions, PaintPage paint)
{
    const int count = int(captions.size());
    m_state->paint = std::move(paint);
    m_state->pages.reserve(count);
    for (int page = 0; page < count; ++page)
        m_state->pages.appendRecord({QString::number(page), captions[page]});

    // The band fills the body, so every record begins a page of its own.
    const QSizeF drawing = room();
    ReportBand& detail = m_layout.addBand(BandKind::Detail, drawing.height() + m_captionHeight);
    if (m_captionHeight > 0)
        detail.add(ReportElement::dataField(QRectF(0, 0, drawing.width(), m_captionHeight),
                                            kCaptionField));
    const std::shared_ptr<const State> state = m_state;
    detail.add(ReportElement::drawing(QRectF(QPointF(0, m_captionHeight), drawing), kPageField,
                                      [state, count](QPainter& painter, const QRectF& box,
                                                     qreal dotsPerMm, const QString& value) {
                                          bool isNumber = false;
                                          const int page = value.toInt(&isNumber);
                                          if (!isNumber || page < 0 || page >= count)
                                              return;
                                          painter.translate(box.topLeft());
                                          state->paint(painter, page, dotsPerMm);
                                      }));
}

const DataSet& DrawingPages::pages() const
{
    return m_state->pages;
}

int DrawingPages::pageCount() const
{
    return m_state->pages.recordCount();
}

std::unique_ptr<ReportDocument> DrawingPages::makeDocument() const
{
    return report::makeDocument(m_layout, &m_state->pages);
}

} // namespace report
