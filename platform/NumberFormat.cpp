#include "NumberFormat.h"

#include "CheckedArithmetic.h"
#include "ExtendedBits.h"
#include "KestrinError.h"
#include "PowersOfTen.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>

NumberFormat::NumberFormat(const QLocale& locale) : NumberFormat(locale.decimalPoint()) {}

NumberFormat::NumberFormat(QString decimalSeparator)
    : m_decimalSeparator(std::move(decimalSeparator))
{
    if (m_decimalSeparator.isEmpty())
        m_decimalSeparator = QStringLiteral(".");
    // Every locale's separator is a character or two; NumberText has room for a few.
    m_decimalSeparator.truncate(NumberText::kSeparatorRoom);
}

const NumberFormat& NumberFormat::system()
{
    static const NumberFormat format{QLocale::system()};
    return format;
}

QString NumberFormat::conversionMessage(QStringView text)
{
    return QStringLiteral("'%1' is not a valid floating point value").arg(text);
}

namespace {

constexpr int kSignificantDigits = 15;

constexpr const auto& kIntegerPowersOfTen = poweroften::kInteger;

// A positive value rounded to at most 15 significant decimal digits, half to even:
// digits * 10^(exponent - count + 1) with `count` digits and no trailing zero dropped yet.
struct Rounded
{
    std::uint64_t digits = 0;
    int exponent = 0; // of the leading digit
};

// The binary parts of a positive finite x87 value: a = mantissa * 2^-shift, the mantissa's top
// bit set for every normal value.
struct Binary
{
    std::uint64_t mantissa = 0;
    int shift = 0;
};

Binary binaryOf(long double a)
{
    const ExtendedBits bits = ExtendedBits::of(a);
    return {bits.significand, ExtendedBits::kBias + 63 - bits.biasedExponent()};
}

// Exact integer arithmetic where the value allows it: a = m / 2^t with a 64-bit m, so
// a * 10^s = m * 10^s / 2^t, whose numerator fits in 128 bits for s <= 19. That covers
// 2^-16 <= a < 10^15, where the table's numbers live; elsewhere the result is empty.
std::optional<Rounded> roundExactly(long double a)
{
    const Binary binary = binaryOf(a);
    if ((binary.mantissa >> 63) == 0 || binary.shift < 14 || binary.shift > 80)
        return std::nullopt; // unnormal, or outside the range
    // A whole number below 10^15 is its own digits.
    if (binary.shift < 64 && (binary.mantissa & ((std::uint64_t(1) << binary.shift) - 1)) == 0) {
        const std::uint64_t whole = binary.mantissa >> binary.shift;
        if (whole < kIntegerPowersOfTen[kSignificantDigits]) {
            int exponent = 0;
            while (exponent + 1 < 20 && whole >= kIntegerPowersOfTen[std::size_t(exponent + 1)])
                ++exponent;
            return Rounded{whole, exponent};
        }
    }
    const int binaryExponent = 64 - binary.shift; // a = fraction * 2^e, fraction in [0.5, 1)
    // floor(log10(2^(e-1))) <= floor(log10(a)) <= that + 1.
    int exponent = ((binaryExponent - 1) * 78913) >> 18;
    for (int attempt = 0; attempt < 2; ++attempt, ++exponent) {
        const int scale = kSignificantDigits - 1 - exponent;
        if (scale < 0 || scale > 19)
            return std::nullopt;
        __extension__ using u128 = unsigned __int128; // GCC and clang on 64-bit targets
        const u128 scaled = u128(binary.mantissa) * kIntegerPowersOfTen[std::size_t(scale)];
        u128 digits = scaled >> binary.shift;
        if (digits >= kIntegerPowersOfTen[kSignificantDigits])
            continue; // the decimal exponent is one more
        const u128 remainder = scaled & ((u128(1) << binary.shift) - 1);
        const u128 half = u128(1) << (binary.shift - 1);
        if (remainder > half || (remainder == half && (digits & 1) != 0))
            ++digits;
        Rounded rounded{std::uint64_t(digits), exponent};
        if (rounded.digits == kIntegerPowersOfTen[kSignificantDigits]) {
            rounded.digits = kIntegerPowersOfTen[kSignificantDigits - 1];
            ++rounded.exponent;
        }
        return rounded;
    }
    return std::nullopt;
}

// Any finite value: scientific with 14 decimals rounds the binary value correctly to 15
// significant digits, d.ddddddddddddddde±x. std::to_chars never follows the C library's locale,
// whose decimal point a Russian desktop makes a comma.
Rounded roundThroughCharconv(long double a)
{
    char buffer[64];
    const std::to_chars_result written =
        std::to_chars(buffer, buffer + sizeof buffer, a, std::chars_format::scientific, 14);
    const std::string_view text(buffer, static_cast<std::size_t>(written.ptr - buffer));
    Rounded rounded;
    const std::size_t ePos = text.find('e');
    for (std::size_t i = 0; i < ePos; ++i) {
        if (text[i] != '.')
            rounded.digits = rounded.digits * 10 + std::uint64_t(text[i] - '0');
    }
    std::from_chars(text.data() + ePos + (text[ePos + 1] == '+' ? 2 : 1), text.data() + text.size(),
                    rounded.exponent);
    return rounded;
}

} // namespace

NumberText NumberFormat::text(long double value) const
{
    if (!std::isfinite(value))
        checked::finite(value); // raises
    NumberText out;
    char16_t* const text = out.m_chars.data();
    int& length = out.m_length;
    if (value == 0) {
        text[length++] = u'0';
        return out;
    }

    const bool negative = value < 0;
    const long double magnitude = negative ? -value : value;
    // A whole number below 10^15 is its own digits: the common case of whole-day schedules.
    if (magnitude < 1e15L && magnitude == static_cast<long double>(std::uint64_t(magnitude))) {
        if (negative)
            text[length++] = u'-';
        char digits[16];
        const std::to_chars_result end =
            std::to_chars(digits, digits + sizeof digits, std::uint64_t(magnitude));
        for (const char* c = digits; c != end.ptr; ++c)
            text[length++] = char16_t(*c);
        return out;
    }
    const std::optional<Rounded> exact = roundExactly(magnitude);
    const Rounded rounded = exact ? *exact : roundThroughCharconv(magnitude);
    char digitBuffer[24];
    const std::to_chars_result end =
        std::to_chars(digitBuffer, digitBuffer + sizeof digitBuffer, rounded.digits);
    std::string_view digits(digitBuffer, static_cast<std::size_t>(end.ptr - digitBuffer));
    while (digits.size() > 1 && digits.back() == '0')
        digits.remove_suffix(1);
    const int exponent = rounded.exponent;

    const auto put = [&](char c) {
        text[length++] = char16_t(c);
    };
    const auto putDigits = [&](std::string_view part) {
        for (const char c : part)
            put(c);
    };
    const auto putSeparator = [&] {
        for (const QChar c : m_decimalSeparator)
            text[length++] = c.unicode();
    };
    if (negative)
        put('-');
    const int count = static_cast<int>(digits.size());
    if (exponent >= -5 && exponent < kSignificantDigits) {
        if (exponent < 0) {
            put('0');
            putSeparator();
            for (int i = 0; i < -exponent - 1; ++i)
                put('0');
            putDigits(digits);
        } else {
            const int integerDigits = exponent + 1;
            if (count <= integerDigits) {
                putDigits(digits);
                for (int i = count; i < integerDigits; ++i)
                    put('0');
            } else {
                putDigits(digits.substr(0, std::size_t(integerDigits)));
                putSeparator();
                putDigits(digits.substr(std::size_t(integerDigits)));
            }
        }
    } else {
        put(digits.front());
        if (count > 1) {
            putSeparator();
            putDigits(digits.substr(1));
        }
        put('E');
        char exponentText[8];
        const std::to_chars_result exponentEnd =
            std::to_chars(exponentText, exponentText + sizeof exponentText, exponent);
        putDigits(std::string_view(exponentText, std::size_t(exponentEnd.ptr - exponentText)));
    }
    return out;
}

QString NumberFormat::format(long double value) const
{
    return text(value).toString();
}

NumberText NumberFormat::text(long double value, long double& readBack) const
{
    NumberText written = text(value);
    // A whole number's text holds all its digits, so it reads back as the value itself.
    const long double magnitude = value < 0 ? -value : value;
    readBack = magnitude < 1e15L && magnitude == static_cast<long double>(std::uint64_t(magnitude))
                   ? value + 0.0L
                   : parse(written.view());
    return written;
}

namespace {

constexpr int kExactPowers = poweroften::kLongDoubleCount - 1;
constexpr const auto& kPowersOfTen = poweroften::kLongDouble;

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

} // namespace

std::optional<long double> NumberFormat::tryParse(QStringView text) const
{
    qsizetype pos = 0;
    qsizetype end = text.size();
    while (pos < end && text[pos] == QLatin1Char(' '))
        ++pos;
    while (end > pos && text[end - 1] == QLatin1Char(' '))
        --end;

    bool negative = false;
    if (pos < end && (text[pos] == QLatin1Char('+') || text[pos] == QLatin1Char('-'))) {
        negative = text[pos] == QLatin1Char('-');
        ++pos;
    }

    // One pass collects the significant digits; the C-locale spelling for std::from_chars is
    // made afterwards from the digit runs, only when the value needs more than the exact fast
    // path below.
    std::uint64_t mantissa = 0;
    int significant = 0;          // significant digits seen (leading zeros excluded)
    int fractionDigits = 0;       // digits after the separator
    int leadingFractionZeros = 0; // zeros right after the separator, before a significant digit
    int integerSignificant = 0;   // significant digits before the separator
    int mantissaDigits = 0;
    const auto takeDigit = [&](QChar c, bool inFraction) {
        const int digit = c.unicode() - '0';
        ++mantissaDigits;
        if (inFraction)
            ++fractionDigits;
        if (digit == 0 && significant == 0) {
            if (inFraction)
                ++leadingFractionZeros;
            return;
        }
        if (!inFraction)
            ++integerSignificant;
        if (++significant <= 19)
            mantissa = mantissa * 10 + static_cast<std::uint64_t>(digit);
    };
    const qsizetype integerStart = pos;
    while (pos < end && isDigit(text[pos]))
        takeDigit(text[pos++], false);
    const qsizetype integerEnd = pos;
    qsizetype fractionStart = pos;
    const bool separatorFollows = pos < end && (m_decimalSeparator.size() == 1
                                                    ? text[pos] == m_decimalSeparator.front()
                                                    : text.mid(pos).startsWith(m_decimalSeparator));
    if (separatorFollows) {
        pos += m_decimalSeparator.size();
        fractionStart = pos;
        while (pos < end && isDigit(text[pos]))
            takeDigit(text[pos++], true);
    }
    const qsizetype fractionEnd = pos;
    if (mantissaDigits == 0)
        return std::nullopt;

    long long exponent = 0;
    if (pos < end && (text[pos] == QLatin1Char('e') || text[pos] == QLatin1Char('E'))) {
        ++pos;
        bool negativeExponent = false;
        if (pos < end && (text[pos] == QLatin1Char('+') || text[pos] == QLatin1Char('-'))) {
            negativeExponent = text[pos] == QLatin1Char('-');
            ++pos;
        }
        const qsizetype exponentStart = pos;
        while (pos < end && isDigit(text[pos])) {
            if (exponent < 1'000'000'000)
                exponent = exponent * 10 + (text[pos].unicode() - '0');
            ++pos;
        }
        if (pos == exponentStart)
            return std::nullopt;
        if (negativeExponent)
            exponent = -exponent;
    }
    if (pos != end)
        return std::nullopt;
    if (significant == 0)
        return negative ? -0.0L : 0.0L;

    // Fast path: at most 19 significant digits and a power of ten that long double holds exactly.
    // One multiplication or division of two exact values rounds once, so the result is the
    // correctly rounded value, as std::from_chars would give.
    if (significant <= 19) {
        const long long scale = exponent - fractionDigits;
        if (scale >= -kExactPowers && scale <= kExactPowers) {
            long double value = static_cast<long double>(mantissa);
            if (scale >= 0)
                value *= kPowersOfTen[static_cast<std::size_t>(scale)];
            else
                value /= kPowersOfTen[static_cast<std::size_t>(-scale)];
            return negative ? -value : value;
        }
    }

    std::string ascii;
    ascii.reserve(std::size_t(mantissaDigits) + 24);
    for (qsizetype i = integerStart; i < integerEnd; ++i)
        ascii.push_back(char(text[i].unicode()));
    ascii.push_back('.');
    for (qsizetype i = fractionStart; i < fractionEnd; ++i)
        ascii.push_back(char(text[i].unicode()));
    ascii.push_back('e');
    char exponentText[24];
    const std::to_chars_result exponentEnd =
        std::to_chars(exponentText, exponentText + sizeof exponentText, exponent);
    ascii.append(exponentText, exponentEnd.ptr);
    long double value = 0;
    const auto [ptr, ec] = std::from_chars(ascii.data(), ascii.data() + ascii.size(), value);
    if (ec == std::errc::result_out_of_range) {
        // Decimal magnitude of the leading significant digit decides overflow vs underflow.
        const long long magnitude =
            exponent + (integerSignificant > 0 ? integerSignificant : -leadingFractionZeros);
        if (magnitude > 0)
            return std::nullopt;
        return negative ? -0.0L : 0.0L;
    }
    if (ec != std::errc() || ptr != ascii.data() + ascii.size() || !std::isfinite(value))
        return std::nullopt;
    return negative ? -value : value;
}

long double NumberFormat::parse(QStringView text) const
{
    const std::optional<long double> value = tryParse(text);
    if (!value)
        throw KestrinError(conversionMessage(text));
    return *value;
}
