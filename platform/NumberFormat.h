#pragma once

#include <QLocale>
#include <QString>
#include <QStringView>

#include <array>
#include <optional>

// One general number text, held without a heap allocation: what the recalculation writes into
// millions of cells.
class NumberText
{
public:
    static constexpr int kSeparatorRoom = 8;

    QStringView view() const { return QStringView(m_chars.data(), m_length); }
    QString toString() const { return view().toString(); }

private:
    friend class NumberFormat;
    // A sign, 20 digits or zeros, "E", a sign and four exponent digits, and the separator.
    // Left uninitialised: only the first m_length characters are ever read.
    std::array<char16_t, 28 + kSeparatorRoom> m_chars;
    int m_length = 0;
};

// The text form of numbers in the work table: "general number text" for computed values and the
// parser that every Part uses when it needs a number from a cell. Only the decimal separator is
// taken from the locale; digits are always ASCII and there is never a thousands separator, so a
// text written here is read back to the value it stands for.
class NumberFormat
{
public:
    explicit NumberFormat(const QLocale& locale);
    // A format with the given decimal separator; handy where a test needs a fixed locale.
    explicit NumberFormat(QString decimalSeparator);

    // The format of the user's locale (QLocale::system()), read once per process.
    static const NumberFormat& system();

    const QString& decimalSeparator() const { return m_decimalSeparator; }

    // General number text: at most 15 significant digits (rounded to nearest), no trailing
    // zeros, fixed notation for 1e-5 <= |x| < 1e15 after rounding, otherwise mantissa, "E" and
    // the exponent ("1E15", "1,5E-6"). Negative zero is "0". A value that is not finite raises
    // the floating-point error it stands for.
    QString format(long double value) const;
    NumberText text(long double value) const;
    // The text, and in readBack the value it reads back as (parse of the text), without parsing
    // where the text holds every digit of the value.
    NumberText text(long double value, long double& readBack) const;

    // Accepts blanks around the number, an optional sign, digits with at most one decimal
    // separator and an optional exponent (E or e, optional sign, digits). Raises
    // "'%s' is not a valid floating point value" for anything else, and for a value beyond the
    // long double range. A value too small to represent reads as zero of its sign.
    long double parse(QStringView text) const;
    std::optional<long double> tryParse(QStringView text) const;

    static QString conversionMessage(QStringView text);

private:
    QString m_decimalSeparator;
};
