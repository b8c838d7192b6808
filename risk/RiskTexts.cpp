#include "RiskTexts.h"

#include "NumberFormat.h"

#include <charconv>
#include <cmath>

namespace risk {

QString percentText(double share, const NumberFormat& numbers)
{
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, share * 100, std::chars_format::fixed, 1);
    QString text = QString::fromLatin1(buffer, int(result.ptr - buffer));
    // "-0.0" of a share a hair below zero is still none.
    if (text.startsWith(u'-') && text == QStringLiteral("-0.0"))
        text.remove(0, 1);
    text.replace(u'.', numbers.decimalSeparator());
    return text + QStringLiteral(" %");
}

QString simulatedLengthText(double days, const NumberFormat& numbers)
{
    return numbers.format(std::round(days * 100) / 100);
}

} // namespace risk
