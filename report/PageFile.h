#pragma once

#include <QString>
#include <QtGlobal>

#include <memory>

class QIODevice;

namespace report {

class ReportDocument;

// Report page files: the pages of a report together with the layout that made them, so that a
// loaded file paints exactly as the pages did (docs/report-pages-format.md describes the bytes).

// Writes all pages of the document, all or nothing (AtomicFile): an existing file is replaced
// only by a complete one that is on the disk. A layout with drawings (painted by code) cannot be
// kept in a file; it is refused before anything is written.
void savePages(const ReportDocument& document, const QString& path);

// The largest page file read: hundreds of pages with pictures.
inline constexpr qint64 kMaxPageFileBytes = qint64(256) << 20;

// Reads a page file into a complete document. Raises a message naming the file when it cannot be
// read (only a regular file of at most kMaxPageFileBytes is opened: InputFile), is not a page
// file, comes from a newer format or is damaged; every count and length in the file is checked
// against the bytes that follow it before anything is reserved for it, and every length, position
// and font size against bounds far beyond any report (a negative width is damage).
std::unique_ptr<ReportDocument> loadPages(const QString& path);

// The same from an open device that can seek (a file, a buffer); path names the file in
// messages. Used by loadPages and the fuzzer.
std::unique_ptr<ReportDocument> readPages(QIODevice& device, const QString& path);

} // namespace report
