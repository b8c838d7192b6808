#pragma once

#include <QString>

#include <functional>

class QPrinter;

namespace report {

class ReportDocument;

// Called after each page put out with the pages done and the pages in all; answering false stops.
using OutputProgress = std::function<bool(int done, int total)>;

// Writes every page of the document as one PDF at `path`: the layout's paper, kPdfDotsPerInch,
// lines as vectors and text in embedded fonts, so it stays sharp and selectable. All or nothing
// (AtomicFile): an existing file is replaced only by a complete one that is on the disk; when
// stopped, nothing is left of the new file, false is returned and an existing file stays.
bool exportPdf(const ReportDocument& document, const QString& path,
               const OutputProgress& progress = {});

// Prints pages `first` to `last` (from 0) on the printer, each scaled to fit its paper and
// centred, collated; copies are printed one by one when the printer cannot make them itself.
// When stopped, the job is aborted and false is returned. A printer set to print to a file
// writes it all or nothing (printPagesToFile).
bool printPages(const ReportDocument& document, QPrinter& printer, int first, int last,
                const OutputProgress& progress = {});

} // namespace report
