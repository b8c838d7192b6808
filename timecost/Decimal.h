#pragma once

#include <QString>
#include <QStringView>

#include <compare>
#include <cstdint>

class NumberFormat;

// A decimal number held exactly: units / 10^decimals. Durations and costs enter the time–cost
// engine as the number texts the user typed, and 0,1 + 0,2 must equal 0,3 there, which no binary
// floating value gives.
class Decimal
{
public:
    // The most decimals a value may have, and so the finest scale: 10^18 still fits 64 bits.
    static constexpr int kMostDecimals = 18;

    constexpr Decimal() = default;
    // Trailing zeros of the fraction are dropped, so equal values have equal parts.
    Decimal(std::int64_t units, int decimals);

    // Reads a number text as NumberFormat::parse accepts it (blanks around, a sign, the locale's
    // separator, an exponent), exactly. Raises NumberFormat's message for a text that is not a
    // number, and "Число «…» слишком длинное для точного расчёта" for one whose digits do not fit
    // 18 digits and 18 decimals.
    static Decimal parse(QStringView text, const NumberFormat& numbers);

    std::int64_t units() const { return m_units; }
    int decimals() const { return m_decimals; }
    bool isNegative() const { return m_units < 0; }

    // The value counted in 10^-decimals (decimals >= this->decimals()); raises "Число «…» слишком
    // длинное для точного расчёта" when it does not fit 64 bits.
    std::int64_t unitsAt(int decimals) const;

    // Fixed notation with the format's separator and no exponent: every digit, none more.
    QString text(const NumberFormat& numbers) const;

    friend bool operator==(const Decimal&, const Decimal&) = default;
    friend std::strong_ordering operator<=>(const Decimal& a, const Decimal& b);

private:
    std::int64_t m_units = 0;
    int m_decimals = 0;
};
