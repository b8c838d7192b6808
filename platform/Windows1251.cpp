#include "Windows1251.h"

#include "KestrinError.h"

#include <unicode/ucnv.h>

#include <array>
#include <memory>

namespace {

struct CodeTable
{
    std::array<char16_t, 256> toUnicode{};
    // Reverse map for the whole Basic Multilingual Plane: 0 means "no code" except for U+0000.
    std::unique_ptr<std::uint8_t[]> fromUnicode{new std::uint8_t[0x10000]()};
    std::unique_ptr<bool[]> encodable{new bool[0x10000]()};
};

CodeTable buildTable()
{
    CodeTable table;
    UErrorCode status = U_ZERO_ERROR;
    UConverter* converter = ucnv_open("windows-1251", &status);
    if (U_FAILURE(status) || !converter)
        throw KestrinError(QStringLiteral("Code page 1251 is not available"));
    for (int byte = 0; byte < 256; ++byte) {
        const char in = static_cast<char>(byte);
        UChar out[4] = {};
        status = U_ZERO_ERROR;
        ucnv_reset(converter);
        const int32_t length = ucnv_toUChars(converter, out, 4, &in, 1, &status);
        // A byte the code page leaves unassigned keeps its value as a C1 control character, so
        // that reading and writing it again gives the same byte.
        const bool substituted = U_FAILURE(status) || length != 1 || out[0] == 0xFFFD ||
                                 (out[0] == 0x1A && byte != 0x1A);
        const char16_t unit =
            substituted ? static_cast<char16_t>(byte) : static_cast<char16_t>(out[0]);
        table.toUnicode[static_cast<std::size_t>(byte)] = unit;
        if (!table.encodable[unit]) {
            table.encodable[unit] = true;
            table.fromUnicode[unit] = static_cast<std::uint8_t>(byte);
        }
    }
    ucnv_close(converter);
    return table;
}

const CodeTable& codeTable()
{
    static const CodeTable table = buildTable();
    return table;
}

} // namespace

namespace windows1251 {

QString decode(QByteArrayView bytes)
{
    QString text;
    decodeInto(bytes, text);
    return text;
}

void decodeInto(QByteArrayView bytes, QString& text)
{
    const CodeTable& table = codeTable();
    text.resize(bytes.size());
    char16_t* out = reinterpret_cast<char16_t*>(text.data());
    const auto* in = reinterpret_cast<const std::uint8_t*>(bytes.data());
    for (qsizetype i = 0; i < bytes.size(); ++i)
        out[i] = table.toUnicode[in[i]];
}

qsizetype firstUnencodable(QStringView text)
{
    const CodeTable& table = codeTable();
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (!table.encodable[text[i].unicode()])
            return i;
    }
    return -1;
}

bool tryEncodeAppend(QStringView text, QByteArray& out)
{
    const CodeTable& table = codeTable();
    const qsizetype start = out.size();
    out.resize(start + text.size());
    char* bytes = out.data() + start;
    const char16_t* units = text.utf16();
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t unit = units[i];
        if (!table.encodable[unit]) {
            out.resize(start);
            return false;
        }
        bytes[i] = static_cast<char>(table.fromUnicode[unit]);
    }
    return true;
}

void encodeAppend(QStringView text, QByteArray& out)
{
    if (tryEncodeAppend(text, out))
        return;
    const char16_t unit = text[firstUnencodable(text)].unicode();
    const QString code = QString::number(unit, 16).toUpper().rightJustified(4, QLatin1Char('0'));
    throw KestrinError(QStringLiteral("The character U+%1 has no code in Windows-1251").arg(code));
}

} // namespace windows1251
