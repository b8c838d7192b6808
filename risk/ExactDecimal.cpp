#include "ExactDecimal.h"

#include <algorithm>
#include <charconv>
#include <string>

namespace risk {

namespace {

constexpr std::uint64_t kTenToThe19 = 10'000'000'000'000'000'000ULL;

std::uint64_t powerOfTen(int exponent)
{
    std::uint64_t power = 1;
    for (int k = 0; k < exponent; ++k)
        power *= 10;
    return power;
}

} // namespace

int Decimal::digitCount() const
{
    int count = 0;
    for (Unsigned128 rest = digits; rest != 0; rest /= 10)
        ++count;
    return count;
}

Decimal shortestDecimal(long double value)
{
    // The scientific form of the shortest text that reads back to the value: "-d.ddde-05".
    char text[64];
    const auto written =
        std::to_chars(std::begin(text), std::end(text), value, std::chars_format::scientific);
    Decimal decimal;
    const char* at = text;
    if (*at == '-') {
        decimal.negative = true;
        ++at;
    }
    int fractionDigits = 0;
    bool afterPoint = false;
    for (; at != written.ptr && *at != 'e'; ++at) {
        if (*at == '.') {
            afterPoint = true;
            continue;
        }
        decimal.digits = decimal.digits * 10 + unsigned(*at - '0');
        fractionDigits += afterPoint ? 1 : 0;
    }
    int exponent = 0;
    if (at != written.ptr) {
        ++at;
        if (*at == '+')
            ++at;
        std::from_chars(at, written.ptr, exponent);
    }
    decimal.exponent = exponent - fractionDigits;
    if (decimal.digits == 0) {
        decimal.exponent = 0;
        decimal.negative = false;
    }
    return decimal;
}

WideInteger::WideInteger(std::int64_t value)
{
    m_limbs.fill(value < 0 ? ~0ULL : 0ULL);
    m_limbs[0] = std::uint64_t(value);
}

WideInteger WideInteger::fromUnsigned(std::uint64_t value)
{
    WideInteger wide;
    wide.m_limbs[0] = value;
    return wide;
}

WideInteger& WideInteger::operator+=(const WideInteger& other)
{
    unsigned carry = 0;
    for (int k = 0; k < kLimbs; ++k) {
        const Unsigned128 sum = static_cast<Unsigned128>(m_limbs[std::size_t(k)]) +
                                other.m_limbs[std::size_t(k)] + carry;
        m_limbs[std::size_t(k)] = std::uint64_t(sum);
        carry = unsigned(sum >> 64);
    }
    return *this;
}

WideInteger WideInteger::operator-() const
{
    WideInteger negated;
    for (int k = 0; k < kLimbs; ++k)
        negated.m_limbs[std::size_t(k)] = ~m_limbs[std::size_t(k)];
    negated += WideInteger(1);
    return negated;
}

WideInteger& WideInteger::multiplyBy(std::uint64_t factor)
{
    // Two's complement: the low kBits of the product are right for negative numbers too.
    std::uint64_t carry = 0;
    for (int k = 0; k < kLimbs; ++k) {
        const Unsigned128 product =
            static_cast<Unsigned128>(m_limbs[std::size_t(k)]) * factor + carry;
        m_limbs[std::size_t(k)] = std::uint64_t(product);
        carry = std::uint64_t(product >> 64);
    }
    return *this;
}

WideInteger operator*(const WideInteger& left, const WideInteger& right)
{
    WideInteger product;
    for (int i = 0; i < WideInteger::kLimbs; ++i) {
        std::uint64_t carry = 0;
        for (int j = 0; i + j < WideInteger::kLimbs; ++j) {
            const Unsigned128 sum = static_cast<Unsigned128>(left.m_limbs[std::size_t(i)]) *
                                        right.m_limbs[std::size_t(j)] +
                                    product.m_limbs[std::size_t(i + j)] + carry;
            product.m_limbs[std::size_t(i + j)] = std::uint64_t(sum);
            carry = std::uint64_t(sum >> 64);
        }
    }
    return product;
}

bool WideInteger::isZero() const
{
    return std::all_of(m_limbs.begin(), m_limbs.end(),
                       [](std::uint64_t limb) { return limb == 0; });
}

std::strong_ordering operator<=>(const WideInteger& left, const WideInteger& right)
{
    if (left.isNegative() != right.isNegative())
        return left.isNegative() ? std::strong_ordering::less : std::strong_ordering::greater;
    for (int k = WideInteger::kLimbs - 1; k >= 0; --k) {
        if (left.m_limbs[std::size_t(k)] != right.m_limbs[std::size_t(k)])
            return left.m_limbs[std::size_t(k)] <=> right.m_limbs[std::size_t(k)];
    }
    return std::strong_ordering::equal;
}

std::uint64_t WideInteger::divideBy(std::uint64_t divisor)
{
    Unsigned128 remainder = 0;
    for (int k = kLimbs - 1; k >= 0; --k) {
        const Unsigned128 part = (remainder << 64) | m_limbs[std::size_t(k)];
        m_limbs[std::size_t(k)] = std::uint64_t(part / divisor);
        remainder = part % divisor;
    }
    return std::uint64_t(remainder);
}

long double WideInteger::toLongDouble(int exponent) const
{
    // Through the decimal text, so that from_chars rounds once, correctly.
    WideInteger magnitude = isNegative() ? -*this : *this;
    std::string digits;
    while (!magnitude.isZero()) {
        std::uint64_t chunk = magnitude.divideBy(kTenToThe19);
        for (int k = 0; k < 19; ++k) {
            digits.push_back(char('0' + chunk % 10));
            chunk /= 10;
        }
    }
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();
    if (digits.empty())
        return 0;
    std::reverse(digits.begin(), digits.end());
    char exponentText[16];
    const auto written = std::to_chars(exponentText, exponentText + sizeof exponentText, exponent);
    digits += 'e';
    digits.append(exponentText, written.ptr);
    long double value = 0;
    std::from_chars(digits.data(), digits.data() + digits.size(), value);
    return isNegative() ? -value : value;
}

void DecimalScale::include(const Decimal& value)
{
    if (value.digits == 0)
        return;
    const int top = value.exponent + value.digitCount();
    m_exponent = m_empty ? value.exponent : std::min(m_exponent, value.exponent);
    m_top = m_empty ? top : std::max(m_top, top);
    m_empty = false;
}

int DecimalScale::valueBits() const
{
    // 10^digits < 2^(digits × 3.33 ...): 10 bits cover 3 digits with room (1024 > 1000).
    const int digits = m_empty ? 0 : m_top - m_exponent;
    return (digits * 10 + 2) / 3 + 1;
}

WideInteger DecimalScale::toWide(const Decimal& value) const
{
    WideInteger wide = WideInteger::fromUnsigned(std::uint64_t(value.digits % kTenToThe19));
    WideInteger high = WideInteger::fromUnsigned(std::uint64_t(value.digits / kTenToThe19));
    high.multiplyBy(kTenToThe19);
    wide += high;
    for (int shift = value.exponent - m_exponent; shift > 0; shift -= 19)
        wide.multiplyBy(powerOfTen(std::min(shift, 19)));
    return value.negative ? -wide : wide;
}

} // namespace risk
