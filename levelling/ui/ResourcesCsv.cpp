#include "ResourcesCsv.h"

#include "AtomicFile.h"
#include "DelimitedText.h"

namespace {

constexpr QChar kSeparator = u';';
constexpr QStringView kLineEnd = u"\r\n";

void appendLine(QString& out, const QStringList& fields)
{
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0)
            out += kSeparator;
        // A work's name comes from the user's files: never let a spreadsheet run it.
        delimitedtext::appendField(out, delimitedtext::formulaGuarded(fields[i]), kSeparator);
    }
    out += kLineEnd;
}

} // namespace

QByteArray tablesCsv(const std::vector<std::pair<QString, TextTable>>& tables)
{
    QString text;
    for (std::size_t i = 0; i < tables.size(); ++i) {
        if (i > 0)
            text += kLineEnd;
        appendLine(text, {tables[i].first});
        appendLine(text, tables[i].second.captions);
        for (const QStringList& row : tables[i].second.rows)
            appendLine(text, row);
    }
    return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
}

void writeTablesCsv(const QString& path, const std::vector<std::pair<QString, TextTable>>& tables)
{
    AtomicFile file(path);
    file.open();
    file.write(tablesCsv(tables));
    file.commit();
}
