#include "NumberFormat.h"

#include "CheckedArithmetic.h"
#include "KestrinError.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>

NumberFormat::NumberFormat(const QLocale& locale) : m_decimalSeparator(locale.decimalPoint())
{
    if (m_decimalSeparator.isEmpty())
        m_decimalSeparator = QStringLiteral(".");
}

NumberFormat::NumberFormat(QString decimalSeparator)
    : m_decimalSeparator(std::move(decimalSeparator))
{
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

QString NumberFormat::format(long double value) const
{
    checked::finite(value);
    if (value == 0)
        return QStringLiteral("0");

    // Scientific with 14 decimals rounds the binary value correctly to 15 significant digits:
    // d.ddddddddddddddde±x. std::to_chars never follows the C library's locale, whose decimal
    // point a Russian desktop makes a comma.
    char buffer[64];
    const std::to_chars_result written =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, 14);
    const std::string_view text(buffer, static_cast<std::size_t>(written.ptr - buffer));
    const bool negative = text.front() == '-';
    const std::size_t first = negative ? 1 : 0;
    const std::size_t ePos = text.find('e');
    std::string digits;
    digits.reserve(15);
    for (std::size_t i = first; i < ePos; ++i) {
        if (text[i] != '.')
            digits.push_back(text[i]);
    }
    int exponent = 0;
    std::from_chars(text.data() + ePos + (text[ePos + 1] == '+' ? 2 : 1), text.data() + text.size(),
                    exponent);
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();

    QString result;
    result.reserve(24);
    if (negative)
        result += QLatin1Char('-');
    const int count = static_cast<int>(digits.size());
    if (exponent >= -5 && exponent < 15) {
        if (exponent < 0) {
            result += QLatin1Char('0');
            result += m_decimalSeparator;
            result += QString(-exponent - 1, QLatin1Char('0'));
            result += QLatin1String(digits.data(), count);
        } else {
            const int integerDigits = exponent + 1;
            if (count <= integerDigits) {
                result += QLatin1String(digits.data(), count);
                result += QString(integerDigits - count, QLatin1Char('0'));
            } else {
                result += QLatin1String(digits.data(), integerDigits);
                result += m_decimalSeparator;
                result += QLatin1String(digits.data() + integerDigits, count - integerDigits);
            }
        }
    } else {
        result += QLatin1Char(digits.front());
        if (count > 1) {
            result += m_decimalSeparator;
            result += QLatin1String(digits.data() + 1, count - 1);
        }
        result += QLatin1Char('E');
        result += QString::number(exponent);
    }
    return result;
}

namespace {

// Powers of ten that long double holds exactly: 10^27 = 2^27 * 5^27 and 5^27 < 2^64.
constexpr int kExactPowers = 27;

constexpr std::array<long double, kExactPowers + 1> exactPowersOfTen()
{
    std::array<long double, kExactPowers + 1> powers{};
    long double power = 1;
    for (long double& entry : powers) {
        entry = power;
        power *= 10;
    }
    return powers;
}

constexpr std::array<long double, kExactPowers + 1> kPowersOfTen = exactPowersOfTen();

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
    // built alongside, in case the value needs more than the exact fast path below.
    std::uint64_t mantissa = 0;
    int significant = 0;          // significant digits seen (leading zeros excluded)
    int fractionDigits = 0;       // digits after the separator
    int leadingFractionZeros = 0; // zeros right after the separator, before a significant digit
    int integerSignificant = 0;   // significant digits before the separator
    int mantissaDigits = 0;
    std::string ascii;
    const auto takeDigit = [&](QChar c, bool inFraction) {
        const int digit = c.unicode() - '0';
        ascii.push_back(static_cast<char>('0' + digit));
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
    while (pos < end && isDigit(text[pos]))
        takeDigit(text[pos++], false);
    if (pos < end && text.mid(pos).startsWith(m_decimalSeparator)) {
        pos += m_decimalSeparator.size();
        ascii.push_back('.');
        while (pos < end && isDigit(text[pos]))
            takeDigit(text[pos++], true);
    }
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

    ascii.push_back('e');
    ascii += std::to_string(exponent);
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
