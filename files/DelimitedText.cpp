#include "DelimitedText.h"

namespace {

constexpr QChar kQuote = u'"';
constexpr QChar kCr = u'\r';
constexpr QChar kLf = u'\n';
constexpr QChar kBlank = u' ';

} // namespace

namespace delimitedtext {

void forEachRecord(QStringView text, QChar separator,
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
            for (++i; i < size; ++i) {
                const QChar c = text[i];
                if (c == kQuote) {
                    if (i + 1 < size && text[i + 1] == kQuote) {
                        field.append(kQuote);
                        ++i;
                        continue;
                    }
                    ++i;
                    break;
                }
                if (c == kLf || (c == kCr && !(i + 1 < size && text[i + 1] == kLf)))
                    ++line;
                field.append(c);
            }
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

} // namespace delimitedtext
