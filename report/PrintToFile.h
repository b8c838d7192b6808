#pragma once

#include "PageOutput.h"

class QPrinter;

namespace report {

class ReportDocument;

// Printing to a file ("Печать в файл (PDF)" in the print dialog): pages `first` to `last` (from 0)
// of the document as the printer would print them (its paper, orientation, margins, resolution,
// copies collated), written all or nothing (AtomicFile) to the printer's output file name: an
// existing file is replaced only by a complete one that is on the disk, a full disk or a folder
// that takes no file raises the reason in the report's words (outputFailureMessage), and when
// stopped nothing is left of the new file and false is returned.
bool printPagesToFile(const ReportDocument& document, const QPrinter& printer, int first, int last,
                      const OutputProgress& progress = {});

} // namespace report
