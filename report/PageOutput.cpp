#include "PageOutput.h"

#include "AtomicFile.h"
#include "DrawingUnits.h"
#include "KestrinError.h"
#include "OutputFailure.h"
#include "PrintToFile.h"
#include "ReportDocument.h"

#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>

namespace report {

bool exportPdf(const ReportDocument& document, const QString& path, const OutputProgress& progress)
{
    if (document.pageCount() == 0)
        throw KestrinError(QStringLiteral("В отчёте нет страниц"));
    AtomicFile file(path, outputFailureMessage);
    file.open();

    const QSizeF paper = document.layout().paper;
    bool stopped = false;
    {
        QPdfWriter writer(file.device());
        writer.setResolution(kPdfDotsPerInch);
        writer.setCreator(QStringLiteral("Kestrin"));
        writer.setPageLayout(QPageLayout(QPageSize(paper, QPageSize::Millimeter),
                                         QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
        const qreal dotsPerMm = kPdfDotsPerInch / kMillimetresPerInch;
        const QRectF target(0, 0, paper.width() * dotsPerMm, paper.height() * dotsPerMm);
        QPainter painter(&writer);
        const int total = document.pageCount();
        for (int i = 0; i < total; ++i) {
            if (i > 0)
                writer.newPage();
            document.paintPage(painter, i, target);
            if (progress && !progress(i + 1, total)) {
                stopped = true;
                break;
            }
        }
    }
    // A stopped export leaves nothing: the temporary file goes with `file`.
    if (stopped)
        return false;
    file.commit();
    return true;
}

bool printPages(const ReportDocument& document, QPrinter& printer, int first, int last,
                const OutputProgress& progress)
{
    Q_ASSERT(first >= 0 && first <= last && last < document.pageCount());
    if (printer.outputFormat() == QPrinter::PdfFormat)
        return printPagesToFile(document, printer, first, last, progress);
    QPainter painter;
    if (!painter.begin(&printer))
        throw KestrinError(
            QStringLiteral("Не удаётся начать печать на принтере «%1»").arg(printer.printerName()));
    // The painter's origin is the paper's corner only in full-page mode; otherwise it is the
    // corner of the printable area.
    QRectF paper = printer.paperRect(QPrinter::DevicePixel);
    if (!printer.fullPage())
        paper.translate(-printer.pageRect(QPrinter::DevicePixel).topLeft());

    const int copies = printer.supportsMultipleCopies() ? 1 : std::max(1, printer.copyCount());
    const int total = copies * (last - first + 1);
    int done = 0;
    for (int copy = 0; copy < copies; ++copy) {
        for (int i = first; i <= last; ++i) {
            if (done > 0)
                printer.newPage();
            document.paintPage(painter, i, paper);
            ++done;
            if (progress && !progress(done, total)) {
                printer.abort();
                return false;
            }
        }
    }
    painter.end();
    return true;
}

} // namespace report
