#include "PrintToFile.h"

#include "AtomicFile.h"
#include "OutputFailure.h"
#include "ReportDocument.h"

#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>

namespace report {

bool printPagesToFile(const ReportDocument& document, const QPrinter& printer, int first, int last,
                      const OutputProgress& progress)
{
    Q_ASSERT(first >= 0 && first <= last && last < document.pageCount());
    // Qt's printer writes its file itself, in place, and never tells of a failed write; a PDF
    // writer on the all-or-nothing file writes the same document and has every write checked.
    AtomicFile file(printer.outputFileName(), outputFailureMessage);
    file.open();
    const int resolution = printer.resolution();
    QPageLayout layout = printer.pageLayout();
    // In full-page mode the painter's origin is the paper's corner, as on the printer.
    if (printer.fullPage()) {
        layout.setMinimumMargins(QMarginsF());
        layout.setMargins(QMarginsF());
    }
    QRectF paper = layout.fullRectPixels(resolution);
    paper.translate(-layout.paintRectPixels(resolution).topLeft());

    bool stopped = false;
    {
        QPdfWriter writer(file.device());
        writer.setResolution(resolution);
        writer.setCreator(QStringLiteral("Kestrin"));
        writer.setTitle(printer.docName());
        writer.setPageLayout(layout);
        QPainter painter;
        if (!painter.begin(&writer))
            file.raise(AtomicFile::Failure::Stage::Write, 0);
        const int copies = std::max(1, printer.copyCount());
        const int total = copies * (last - first + 1);
        int done = 0;
        for (int copy = 0; copy < copies && !stopped; ++copy) {
            for (int i = first; i <= last; ++i) {
                if (done > 0)
                    writer.newPage();
                document.paintPage(painter, i, paper);
                ++done;
                if (progress && !progress(done, total)) {
                    stopped = true;
                    break;
                }
            }
        }
    }
    // A stopped print leaves nothing: the temporary file goes with `file`.
    if (stopped)
        return false;
    file.commit();
    return true;
}

} // namespace report
