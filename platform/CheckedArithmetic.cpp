#include "CheckedArithmetic.h"

#include "KestrinError.h"

#include <cmath>

namespace checked {

void raiseInvalidOperation()
{
    throw KestrinError(QStringLiteral("Invalid floating point operation"));
}

void raiseDivisionByZero()
{
    throw KestrinError(QStringLiteral("Floating point division by zero"));
}

void raiseOverflow()
{
    throw KestrinError(QStringLiteral("Floating point overflow"));
}

long double finite(long double value)
{
    if (std::isnan(value))
        raiseInvalidOperation();
    if (std::isinf(value))
        raiseOverflow();
    return value;
}

long double add(long double a, long double b)
{
    return finite(a + b);
}

long double subtract(long double a, long double b)
{
    return finite(a - b);
}

long double divide(long double a, long double b)
{
    if (b == 0) {
        if (a == 0 || std::isnan(a))
            raiseInvalidOperation();
        raiseDivisionByZero();
    }
    return finite(a / b);
}

double toDouble(long double value)
{
    finite(value);
    const double narrowed = static_cast<double>(value);
    if (std::isinf(narrowed))
        raiseOverflow();
    return narrowed;
}

} // namespace checked
