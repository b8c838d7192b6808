#pragma once

#include <QString>

#include <memory>

namespace report {

class ReportDocument;

// Report page files: the pages of a report together with the layout that made them, so that a
// loaded file paints exactly as the pages did (docs/report-pages-format.md describes the bytes).

// Writes all pages of the document; the file is replaced only once it is completely written.
void savePages(const ReportDocument& document, const QString& path);

// Reads a page file into a complete document. Raises a message naming the file when it cannot be
// read, is not a page file, comes from a newer format or is damaged.
std::unique_ptr<ReportDocument> loadPages(const QString& path);

} // namespace report
