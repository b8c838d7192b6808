#include "AnalysisCsv.h"

#include "AtomicFile.h"
#include "NetworkAnalysis.h"

namespace {

constexpr QChar kSeparator = u';';

void appendField(QString& line, const QString& field)
{
    const bool quote = field.contains(kSeparator) || field.contains(u'"') ||
                       field.contains(u'\n') || field.contains(u'\r') ||
                       (!field.isEmpty() && (field.front().isSpace() || field.back().isSpace()));
    if (!quote) {
        line += field;
        return;
    }
    line += u'"';
    for (const QChar c : field) {
        if (c == u'"')
            line += u'"';
        line += c;
    }
    line += u'"';
}

// One line of `count` fields, field(i) giving each.
template <typename Field> void appendLine(QString& text, int count, const Field& field)
{
    for (int i = 0; i < count; ++i) {
        if (i > 0)
            text += kSeparator;
        appendField(text, field(i));
    }
    text += QStringLiteral("\r\n");
}

} // namespace

QByteArray analysisCsv(const NetworkAnalysis& analysis)
{
    QString text;
    appendLine(text, 1, [&](int) { return analysis.summary(); });
    for (const AnalysisPage& page : analysis.pages()) {
        text += QStringLiteral("\r\n");
        appendLine(text, 1, [&](int) { return page.title(); });
        appendLine(text, page.columnCount(),
                   [&](int column) { return page.columns()[column].caption; });
        for (int row = 0; row < page.rowCount(); ++row)
            appendLine(text, page.columnCount(),
                       [&](int column) { return page.text(row, column); });
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
