#include "PageMaker.h"

#include "DataSet.h"
#include "KestrinError.h"

namespace report {

namespace {

// Band heights are sums of two-decimal millimetre figures; a band that fits exactly must not be
// pushed to the next page by rounding.
constexpr qreal kFitTolerance = 1e-6;

} // namespace

FieldBinding bindFields(const ReportLayout& layout, const DataSet* data)
{
    const bool open = data && data->isOpen();
    FieldBinding binding;
    binding.reserve(layout.bands.size());
    for (const ReportBand& band : layout.bands) {
        QList<int> columns;
        for (const ReportElement& element : band.elements) {
            if (!readsField(element))
                continue;
            const int column = open ? data->fieldIndex(element.text) : -1;
            if (open && column < 0)
                throw KestrinError(QStringLiteral("Поле «%1» не найдено").arg(element.text));
            columns.append(column);
        }
        binding.append(columns);
    }
    return binding;
}

PageMaker::PageMaker(const ReportLayout& layout, const DataSet* data, FieldBinding binding)
    : m_layout(layout), m_data(data), m_binding(std::move(binding))
{
    Q_ASSERT(std::size_t(m_binding.size()) == m_layout.bands.size());
}

bool PageMaker::run(const PageSink& sink, const std::function<bool()>& cancelled)
{
    m_sink = &sink;
    m_cancelled = &cancelled;
    m_footerSpace = 0;
    for (const ReportBand& band : m_layout.bands)
        if (band.enabled && band.kind == BandKind::PageFooter)
            m_footerSpace += band.height;
    m_bodyBottom = m_layout.paper.height() - m_layout.margins.bottom() - m_footerSpace;
    m_page = MadePage();
    m_pageOpen = false;

    const int records = m_data && m_data->isOpen() ? m_data->recordCount() : 0;
    if (records == 0 && !m_layout.options.printIfEmpty)
        return true;

    m_record = records > 0 ? 0 : -1;
    if (!printBands(BandKind::Title))
        return false;
    if (records > 0) {
        for (int record = 0; record < records; ++record) {
            m_record = record;
            if (!printBands(BandKind::Detail))
                return false;
        }
    } else if (!printBands(BandKind::Detail)) {
        return false;
    }
    if (!printBands(BandKind::Summary))
        return false;
    if (!m_pageOpen)
        beginPage();
    finishPage(true);
    return true;
}

bool PageMaker::printBands(BandKind kind)
{
    for (int band = 0; band < int(m_layout.bands.size()); ++band) {
        const ReportBand& b = m_layout.bands[std::size_t(band)];
        if (!b.enabled || b.kind != kind)
            continue;
        if (*m_cancelled && (*m_cancelled)())
            return false;
        printBand(band);
    }
    return true;
}

void PageMaker::printBand(int band)
{
    if (!m_pageOpen)
        beginPage();
    const qreal height = m_layout.bands[std::size_t(band)].height;
    if (m_pageHasBody && m_y + height > m_bodyBottom + kFitTolerance) {
        finishPage(false);
        beginPage();
    }
    place(band, m_y);
    m_y += height;
    m_pageHasBody = true;
}

void PageMaker::place(int band, qreal top)
{
    PlacedBand placed;
    placed.band = band;
    placed.top = top;
    const QList<int>& columns = m_binding[band];
    if (!columns.isEmpty()) {
        placed.values.reserve(columns.size());
        for (const int column : columns)
            placed.values.append(
                column >= 0 && m_record >= 0 ? m_data->displayText(m_record, column) : QString());
    }
    m_page.bands.append(std::move(placed));
}

void PageMaker::beginPage()
{
    const int number = m_page.number + 1;
    m_page = MadePage();
    m_page.number = number;
    m_page.madeAt = QDateTime::currentDateTime();
    m_pageOpen = true;
    m_pageHasBody = false;
    m_y = m_layout.margins.top();
    if (number == 1 && !m_layout.options.firstPageHeader)
        return;
    for (int band = 0; band < int(m_layout.bands.size()); ++band) {
        const ReportBand& b = m_layout.bands[std::size_t(band)];
        if (b.enabled && b.kind == BandKind::PageHeader) {
            place(band, m_y);
            m_y += b.height;
        }
    }
}

void PageMaker::finishPage(bool last)
{
    if (!last || m_layout.options.lastPageFooter) {
        qreal y = m_bodyBottom;
        for (int band = 0; band < int(m_layout.bands.size()); ++band) {
            const ReportBand& b = m_layout.bands[std::size_t(band)];
            if (b.enabled && b.kind == BandKind::PageFooter) {
                place(band, y);
                y += b.height;
            }
        }
    }
    m_pageOpen = false;
    const int number = m_page.number;
    (*m_sink)(std::move(m_page));
    m_page = MadePage();
    m_page.number = number;
}

} // namespace report
