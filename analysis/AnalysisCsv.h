#pragma once

#include <QByteArray>
#include <QString>

class NetworkAnalysis;

// The analysis as one CSV file that a spreadsheet opens as it is: UTF-8 with a byte order mark,
// fields separated by ";", lines ended by CR LF. First the summary line, then each page: its
// title, the column captions and its rows, the pages separated by an empty line. A field is
// enclosed in double quotes (doubled inside) when it holds a separator, a quote, a line break or
// blanks at either end. Texts are those of the window, numbers with the locale's decimal
// separator; a text (not a number) that a spreadsheet would take for a formula, one starting with
// "=", "+", "-" or "@", gets a leading apostrophe.
QByteArray analysisCsv(const NetworkAnalysis& analysis);

// Writes the file all or nothing (AtomicFile); raises KestrinError naming the file on failure.
void writeAnalysisCsv(const QString& path, const NetworkAnalysis& analysis);
