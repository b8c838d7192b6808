#pragma once

#include "ReportLayout.h"

#include <QDateTime>
#include <QList>
#include <QStringList>

#include <functional>

namespace report {

class DataSet;

// A band as it was printed on a page: which band of the layout, where its top edge stands
// (millimetres from the paper's top edge) and the texts of its data fields in element order.
struct PlacedBand
{
    int band = 0;
    qreal top = 0;
    QStringList values;
};

// A finished page. Page number and print time are kept as values and turned into text only when
// the page is painted.
struct MadePage
{
    int number = 0;
    QDateTime madeAt;
    QList<PlacedBand> bands;
};

// For each band of a layout, the data set column of each of its data fields in element order;
// -1 prints an empty text.
using FieldBinding = QList<QList<int>>;

// Binds the data fields of the layout to the columns of the data set. Raises "Поле «NAME» не
// найдено" when the data set is open and lacks a field; a closed or absent data set binds every
// field to -1.
FieldBinding bindFields(const ReportLayout& layout, const DataSet* data);

// The page make-up of a band report, in one pass:
// - a page's body runs from the top margin down to the paper length less the bottom margin less
//   the page footer space (the heights of the enabled page footer bands together);
// - a band that does not fit in what is left of the body finishes the page and goes to the top of
//   the next page's body; a band that does not fit even on an empty body is printed there anyway
//   (cut off at the foot), so no layout can make pages forever;
// - finishing a page prints the page footer bands at the top of the footer space, on the last
//   page only with the last-page-footer option;
// - beginning a page counts the page number up from 1 and prints the page header bands at the
//   top margin, on page 1 only with the first-page-header option;
// - with records: the title bands (which begin page 1), the detail bands once per record, the
//   summary bands, then the last page is finished;
// - without (a closed data set or no records) and the print-if-empty option: the title, detail
//   and summary bands once each; without that option there are no pages at all.
// Every report that prints anything has at least one page.
class PageMaker
{
public:
    using PageSink = std::function<void(MadePage&&)>;

    // Keeps references to the layout and the data set; both must outlive `run`.
    PageMaker(const ReportLayout& layout, const DataSet* data, FieldBinding binding);

    // Makes every page, handing each to `sink` as soon as it is finished. `cancelled` is asked
    // before every band; when it answers true, making stops and the page under way is dropped.
    // Returns false when cancelled. A failure of the data set propagates as its exception.
    bool run(const PageSink& sink, const std::function<bool()>& cancelled = {});

private:
    bool printBands(BandKind kind);
    void printBand(int band);
    void place(int band, qreal top);
    void beginPage();
    void finishPage(bool last);

    const ReportLayout& m_layout;
    const DataSet* m_data;
    FieldBinding m_binding;
    const PageSink* m_sink = nullptr;
    const std::function<bool()>* m_cancelled = nullptr;

    qreal m_bodyBottom = 0;
    qreal m_footerSpace = 0;
    qreal m_y = 0;
    int m_record = -1;
    bool m_pageOpen = false;
    bool m_pageHasBody = false;
    MadePage m_page;
};

} // namespace report
