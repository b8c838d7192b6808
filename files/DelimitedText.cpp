#include "DelimitedText.h"

namespace {

constexpr QChar kQuote = u'"';
constexpr QChar kCr = u'\r';
constexpr QChar kLf = u'\n';
constexpr QChar kBlank = u' ';
constexpr QChar kApostrophe = u'\'';

bool startsFormula(QChar c)
{
    return c == u'=' || c == u'+' || c == u'-' || c == u'@' || c == u'\t' || c == u'\r';
}

} // namespace

namespace delimitedtext {

int forEachRecord(QStringView text, QChar separator,
                  const std::function<void(const QStringList& fields, int line)>& record)
{
    const qsizetype size = text.size();
    const auto endsField = [&](qsizetype i) {
        return text[i] == separator || text[i] == kCr || text[i] == kLf;
    };
    QStringList fields;
    QString field;
    qsizetype i = 0;
    int line = 1;
    int recordLine = 1;
    while (i < size) {
        field.clear();
        if (text[i] == kQuote) {
            const int quoteLine = line;
            bool closed = false;
            for (++i; i < size; ++i) {
                const QChar c = text[i];
                if (c == kQuote) {
                    if (i + 1 < size && text[i + 1] == kQuote) {
                        field.append(kQuote);
                        ++i;
                        continue;
                    }
                    ++i;
                    closed = true;
                    break;
                }
                if (c == kLf || (c == kCr && !(i + 1 < size && text[i + 1] == kLf)))
                    ++line;
                field.append(c);
            }
            if (!closed)
                return quoteLine;
        }
        const qsizetype from = i;
        while (i < size && !endsField(i))
            ++i;
        field.append(text.mid(from, i - from));
        fields.append(field);
        if (i < size && text[i] == separator) {
            ++i;
            // A separator at the very end leaves one more, empty, field.
            if (i == size)
                fields.append(QString());
            continue;
        }
        record(fields, recordLine);
        fields.clear();
        if (i < size) {
            i += text[i] == kCr && i + 1 < size && text[i + 1] == kLf ? 2 : 1;
            ++line;
            recordLine = line;
        }
    }
    if (!fields.isEmpty())
        record(fields, recordLine);
    return 0;
}

void appendField(QString& out, QStringView field, QChar separator)
{
    bool quoted = !field.isEmpty() && (field.front() == kBlank || field.back() == kBlank);
    for (qsizetype i = 0; i < field.size() && !quoted; ++i) {
        const QChar c = field[i];
        quoted = c == separator || c == kQuote || c == kCr || c == kLf;
    }
    if (!quoted) {
        out.append(field);
        return;
    }
    out.append(kQuote);
    for (QChar c : field) {
        if (c == kQuote)
            out.append(kQuote);
        out.append(c);
    }
    out.append(kQuote);
}

bool needsFormulaGuard(QStringView text)
{
    qsizetype i = 0;
    while (i < text.size() && text[i] == kApostrophe)
        ++i;
    return i < text.size() && startsFormula(text[i]);
}

QString formulaGuarded(QStringView text)
{
    return needsFormulaGuard(text) ? kApostrophe + text.toString() : text.toString();
}

QString formulaUnguarded(QStringView text)
{
    if (!text.isEmpty() && text.front() == kApostrophe && needsFormulaGuard(text.sliced(1)))
        return text.sliced(1).toString();
    return text.toString();
}

} // namespace delimitedtext
