#include "AnalysisCsv.h"

#include "AtomicFile.h"
#include "DelimitedText.h"
#include "NetworkAnalysis.h"

namespace {

constexpr QChar kSeparator = u';';
constexpr QStringView kLineEnd = u"\r\n";

// Appends one field of a line, after a separator unless it is the line's first. A text a
// spreadsheet would take for a formula starts with an apostrophe instead
// (delimitedtext::needsFormulaGuard), so that an event name read from someone's file cannot run
// as one. Number columns are left alone: their texts are the program's own numbers.
void appendField(QString& text, int column, QString field, bool number = false)
{
    if (column > 0)
        text += kSeparator;
    if (!number && delimitedtext::needsFormulaGuard(field))
        field.prepend(u'\'');
    const bool quote = field.contains(kSeparator) || field.contains(u'"') ||
                       field.contains(u'\n') || field.contains(u'\r') ||
                       (!field.isEmpty() && (field.front().isSpace() || field.back().isSpace()));
    if (!quote) {
        text += field;
        return;
    }
    text += u'"';
    for (const QChar c : field) {
        if (c == u'"')
            text += u'"';
        text += c;
    }
    text += u'"';
}

} // namespace

QByteArray analysisCsv(const NetworkAnalysis& analysis)
{
    QString text;
    appendField(text, 0, analysis.summary());
    text += kLineEnd;
    for (const AnalysisPage& page : analysis.pages()) {
        text += kLineEnd;
        appendField(text, 0, page.title());
        text += kLineEnd;
        for (int column = 0; column < page.columnCount(); ++column)
            appendField(text, column, page.columns()[column].caption);
        text += kLineEnd;
        for (int row = 0; row < page.rowCount(); ++row) {
            for (int column = 0; column < page.columnCount(); ++column)
                appendField(text, column, page.text(row, column), page.columns()[column].numeric);
            text += kLineEnd;
        }
    }
    return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
}

void writeAnalysisCsv(const QString& path, const NetworkAnalysis& analysis)
{
    AtomicFile file(path);
    file.open();
    file.write(analysisCsv(analysis));
    file.commit();
}
