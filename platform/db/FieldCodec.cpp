#include "FieldCodec.h"

#include "KestrinError.h"
#include "NumberFormat.h"
#include "PowersOfTen.h"
#include "Windows1251.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>

namespace db::fieldcodec {

namespace {

constexpr qsizetype kDateBytes = 8;

// Decimals up to which a fraction, scaled by its exact power of ten, fits in 64 bits.
constexpr int kMaxExactDecimals = 18;
constexpr const auto& kPowersOfTen = poweroften::kLongDouble;

QString typeName(FieldType type)
{
    switch (type) {
    case FieldType::Character:
        return QStringLiteral("текстовое");
    case FieldType::Numeric:
    case FieldType::Float:
        return QStringLiteral("числовое");
    case FieldType::Date:
        return QStringLiteral("поле даты");
    case FieldType::Logical:
        return QStringLiteral("логическое");
    }
    return {};
}

QString kindName(Value::Kind kind)
{
    switch (kind) {
    case Value::Kind::Number:
        return QStringLiteral("число");
    case Value::Kind::Text:
        return QStringLiteral("текст");
    case Value::Kind::Date:
        return QStringLiteral("дату");
    case Value::Kind::Null:
        break;
    }
    return QStringLiteral("пустое значение");
}

[[noreturn]] void raiseMismatch(const FieldInfo& field, const Value& value)
{
    const QString type = typeName(field.type);
    throw KestrinError(
        QStringLiteral("Нельзя записать %1 в %2 %3")
            .arg(kindName(value.kind()),
                 field.type == FieldType::Date ? type : type + QStringLiteral(" поле"),
                 field.name));
}

QByteArrayView trimmed(QByteArrayView bytes)
{
    qsizetype begin = 0;
    qsizetype end = bytes.size();
    while (begin < end && (bytes[begin] == ' ' || bytes[begin] == '\0'))
        ++begin;
    while (end > begin && (bytes[end - 1] == ' ' || bytes[end - 1] == '\0'))
        --end;
    return bytes.sliced(begin, end - begin);
}

// The decimal digits of value, at least minimum of them (leading zeros), ending at end; returns
// where they begin. Two digits a step: this runs eight times for each record of a schedule.
char* writeDigitsBackwards(char* end, quint64 value, int minimum)
{
    static constexpr char kPairs[] = "00010203040506070809101112131415161718192021222324"
                                     "25262728293031323334353637383940414243444546474849"
                                     "50515253545556575859606162636465666768697071727374"
                                     "75767778798081828384858687888990919293949596979899";
    char* begin = end;
    while (value >= 100) {
        const auto pair = std::size_t(value % 100) * 2;
        value /= 100;
        *--begin = kPairs[pair + 1];
        *--begin = kPairs[pair];
    }
    if (value >= 10) {
        *--begin = kPairs[value * 2 + 1];
        *--begin = kPairs[value * 2];
    } else {
        *--begin = char('0' + value);
    }
    while (end - begin < minimum)
        *--begin = '0';
    return begin;
}

void writeDigits(char* out, int value, int count)
{
    for (int i = count - 1; i >= 0; --i, value /= 10)
        out[i] = char('0' + value % 10);
}

bool isDigits(QByteArrayView bytes)
{
    for (const char c : bytes) {
        if (c < '0' || c > '9')
            return false;
    }
    return true;
}

int digitsValue(QByteArrayView bytes)
{
    int value = 0;
    for (const char c : bytes)
        value = value * 10 + (c - '0');
    return value;
}

} // namespace

bool formatNumber(long double value, int width, int decimals, char* out)
{
    // From 1e18 on no field is wide enough, and every integer below fits 64 bits.
    const long double magnitude = std::fabs(value);
    if (!(magnitude < 1e18L))
        return false;
    char text[64];
    char* const end = text + sizeof text;
    char* begin = end;
    if (decimals <= kMaxExactDecimals) {
        // Whole part and fraction apart: both are exact in extended precision, and 10^decimals
        // is too, so only the scaled fraction rounds (to nearest, halves to even: the default
        // rounding of llrint; the fraction's last digit is the last digit kept).
        // Without decimals the whole part itself is rounded, its own parity deciding a half.
        auto integer = static_cast<quint64>(std::llrint(magnitude));
        if (decimals > 0 && static_cast<long double>(integer) > magnitude)
            --integer;
        const long double scale = kPowersOfTen[decimals];
        auto fraction = decimals == 0
                            ? quint64(0)
                            : static_cast<quint64>(std::llrint(
                                  (magnitude - static_cast<long double>(integer)) * scale));
        if (fraction == static_cast<quint64>(scale)) {
            fraction = 0;
            ++integer;
        }
        const bool zero = integer == 0 && fraction == 0;
        if (decimals > 0) {
            begin = writeDigitsBackwards(begin, fraction, decimals);
            *--begin = '.';
        }
        begin = writeDigitsBackwards(begin, integer, 1);
        // A tiny negative value rounds to zero; "-0.000000" would read back as a negative zero.
        if (value < 0 && !zero)
            *--begin = '-';
    } else {
        const std::to_chars_result result =
            std::to_chars(text, end, value, std::chars_format::fixed, decimals);
        if (result.ec != std::errc())
            return false;
        begin = text;
        if (*begin == '-' &&
            std::all_of(text + 1, result.ptr, [](char c) { return c == '0' || c == '.'; }))
            ++begin;
        const auto length = result.ptr - begin;
        std::memmove(end - length, begin, std::size_t(length));
        begin = end - length;
    }
    const auto length = int(end - begin);
    if (length > width)
        return false;
    std::memcpy(out + (width - length), begin, std::size_t(length));
    return true;
}

void encode(const FieldInfo& field, const Value& value, char* out, QByteArray& scratch)
{
    if (value.isNull())
        return;
    switch (field.type) {
    case FieldType::Character: {
        if (value.kind() != Value::Kind::Text)
            raiseMismatch(field, value);
        const QString text = value.toText();
        const QStringView kept = QStringView(text).left(field.width);
        const qsizetype bad = windows1251::firstUnencodable(kept);
        if (bad >= 0) {
            const qsizetype length = kept[bad].isHighSurrogate() && bad + 1 < text.size() ? 2 : 1;
            throw KestrinError(
                QStringLiteral("Символ «%1» нельзя записать в поле %2: в кодировке Windows-1251 "
                               "его нет")
                    .arg(QStringView(text).mid(bad, length), field.name));
        }
        scratch.resize(0);
        windows1251::encodeAppend(kept, scratch);
        std::memcpy(out, scratch.constData(), std::size_t(scratch.size()));
        return;
    }
    case FieldType::Numeric:
    case FieldType::Float:
        if (value.kind() != Value::Kind::Number)
            raiseMismatch(field, value);
        if (!formatNumber(value.toNumber(), field.width, field.decimals, out)) {
            throw KestrinError(
                QStringLiteral("Число %1 не помещается в поле %2 (ширина %3, из них знаков после "
                               "точки %4)")
                    .arg(NumberFormat::system().format(value.toNumber()), field.name)
                    .arg(field.width)
                    .arg(field.decimals));
        }
        return;
    case FieldType::Date: {
        if (value.kind() != Value::Kind::Date)
            raiseMismatch(field, value);
        int year = 0;
        int month = 0;
        int day = 0;
        value.toDate().getDate(&year, &month, &day);
        if (!value.toDate().isValid() || year < 1 || year > 9999)
            throw KestrinError(
                QStringLiteral("Дату нельзя записать в поле %1: год вне пределов 1–9999")
                    .arg(field.name));
        writeDigits(out, year, 4);
        writeDigits(out + 4, month, 2);
        writeDigits(out + 6, day, 2);
        return;
    }
    case FieldType::Logical: {
        const QString text = value.toText();
        if (value.kind() != Value::Kind::Text || text.size() != 1 ||
            !QStringLiteral("TtFfYyNn?").contains(text))
            raiseMismatch(field, value);
        out[0] = char(text.front().unicode());
        return;
    }
    }
}

std::optional<Value> decode(const FieldInfo& field, QByteArrayView bytes)
{
    switch (field.type) {
    case FieldType::Character: {
        qsizetype end = bytes.size();
        while (end > 0 && (bytes[end - 1] == ' ' || bytes[end - 1] == '\0'))
            --end;
        return Value::text(windows1251::decode(bytes.first(end)));
    }
    case FieldType::Numeric:
    case FieldType::Float: {
        QByteArrayView text = trimmed(bytes);
        if (text.isEmpty())
            return Value();
        if (text.front() == '+')
            text = text.sliced(1);
        long double number = 0;
        const std::from_chars_result result =
            std::from_chars(text.data(), text.data() + text.size(), number);
        if (result.ec != std::errc() || result.ptr != text.data() + text.size())
            return std::nullopt;
        return Value::number(number);
    }
    case FieldType::Date: {
        const QByteArrayView text = trimmed(bytes);
        if (text.isEmpty() || text == QByteArrayView("00000000"))
            return Value();
        if (text.size() != kDateBytes || !isDigits(text))
            return std::nullopt;
        const QDate day(digitsValue(text.first(4)), digitsValue(text.sliced(4, 2)),
                        digitsValue(text.sliced(6, 2)));
        if (!day.isValid())
            return std::nullopt;
        return Value::date(day);
    }
    case FieldType::Logical: {
        const QByteArrayView text = trimmed(bytes);
        return text.isEmpty() ? Value() : Value::text(windows1251::decode(text));
    }
    }
    return std::nullopt;
}

} // namespace db::fieldcodec
