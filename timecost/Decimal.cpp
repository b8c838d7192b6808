#include "Decimal.h"

#include "KestrinError.h"
#include "NumberFormat.h"
#include "PowersOfTen.h"

namespace {

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

[[noreturn]] void raiseTooLong(QStringView text)
{
    throw KestrinError(
        QStringLiteral("Число «%1» слишком длинное для точного расчёта").arg(text.toString()));
}

} // namespace

Decimal::Decimal(std::int64_t units, int decimals) : m_units(units), m_decimals(decimals)
{
    while (m_decimals > 0 && m_units % 10 == 0) {
        m_units /= 10;
        --m_decimals;
    }
    if (m_units == 0)
        m_decimals = 0;
}

Decimal Decimal::parse(QStringView text, const NumberFormat& numbers)
{
    // The grammar is NumberFormat's; it speaks first, so both refuse the same texts alike.
    if (!numbers.tryParse(text))
        throw KestrinError(NumberFormat::conversionMessage(text));

    const QString& separator = numbers.decimalSeparator();
    qsizetype pos = 0;
    while (pos < text.size() && text[pos] == QLatin1Char(' '))
        ++pos;
    bool negative = false;
    if (text[pos] == QLatin1Char('+') || text[pos] == QLatin1Char('-'))
        negative = text[pos++] == QLatin1Char('-');

    // Significant digits only: leading zeros never count against the 18.
    std::int64_t units = 0;
    int digits = 0;
    long long scale = 0; // value = units * 10^scale
    bool inFraction = false;
    for (; pos < text.size(); ++pos) {
        const QChar c = text[pos];
        if (isDigit(c)) {
            if (units != 0 || c != QLatin1Char('0')) {
                if (++digits > Decimal::kMostDecimals)
                    raiseTooLong(text);
                units = units * 10 + (c.unicode() - '0');
            }
            if (inFraction)
                --scale;
        } else if (!inFraction && text.mid(pos).startsWith(separator)) {
            inFraction = true;
            pos += separator.size() - 1;
        } else {
            break;
        }
    }
    if (pos < text.size() && (text[pos] == QLatin1Char('e') || text[pos] == QLatin1Char('E'))) {
        ++pos;
        bool negativeExponent = false;
        if (text[pos] == QLatin1Char('+') || text[pos] == QLatin1Char('-'))
            negativeExponent = text[pos++] == QLatin1Char('-');
        long long exponent = 0;
        for (; pos < text.size() && isDigit(text[pos]); ++pos)
            exponent = std::min(exponent * 10 + (text[pos].unicode() - '0'), 1'000'000LL);
        scale += negativeExponent ? -exponent : exponent;
    }
    if (units == 0)
        return {};
    while (scale < 0 && units % 10 == 0) {
        units /= 10;
        ++scale;
    }
    if (scale < -Decimal::kMostDecimals)
        raiseTooLong(text);
    if (scale > 0) {
        if (scale > Decimal::kMostDecimals ||
            __builtin_mul_overflow(units, std::int64_t(poweroften::kInteger[std::size_t(scale)]),
                                   &units))
            raiseTooLong(text);
        scale = 0;
    }
    return Decimal(negative ? -units : units, int(-scale));
}

std::int64_t Decimal::unitsAt(int decimals) const
{
    const int more = decimals - m_decimals;
    std::int64_t result = 0;
    if (more < 0 || more > kMostDecimals ||
        __builtin_mul_overflow(m_units, std::int64_t(poweroften::kInteger[std::size_t(more)]),
                               &result))
        raiseTooLong(text(NumberFormat::system()));
    return result;
}

QString Decimal::text(const NumberFormat& numbers) const
{
    const std::uint64_t magnitude =
        m_units < 0 ? std::uint64_t(0) - std::uint64_t(m_units) : std::uint64_t(m_units);
    QString digits = QString::number(magnitude);
    if (m_decimals > 0) {
        if (digits.size() <= m_decimals)
            digits.prepend(QString(m_decimals - digits.size() + 1, QLatin1Char('0')));
        digits.insert(digits.size() - m_decimals, numbers.decimalSeparator());
    }
    if (m_units < 0)
        digits.prepend(QLatin1Char('-'));
    return digits;
}

std::strong_ordering operator<=>(const Decimal& a, const Decimal& b)
{
    // Compared at the finer scale in 128 bits: 18 digits times 10^18 still fits.
    __extension__ using Wide = __int128;
    const int decimals = std::max(a.m_decimals, b.m_decimals);
    const auto at = [decimals](const Decimal& x) {
        Wide value = x.m_units;
        for (int i = x.m_decimals; i < decimals; ++i)
            value *= 10;
        return value;
    };
    const Wide left = at(a);
    const Wide right = at(b);
    return left < right   ? std::strong_ordering::less
           : left > right ? std::strong_ordering::greater
                          : std::strong_ordering::equal;
}
