#pragma once

// Extended-precision arithmetic that refuses to produce infinities or not-a-number values.
// Each operation checks its result and raises the error that a trapping floating-point unit
// would raise, so that no command ever writes "INF" or "NAN" into the table. Process-wide
// floating-point traps are never enabled: the checks are explicit.
namespace checked {

[[noreturn]] void raiseInvalidOperation();
[[noreturn]] void raiseDivisionByZero();
[[noreturn]] void raiseOverflow();

// Raises the matching error when value is infinite or not a number; returns it otherwise.
long double finite(long double value);

long double add(long double a, long double b);
long double subtract(long double a, long double b);
// 0 / 0 is an invalid operation; x / 0 for any other x is a division by zero.
long double divide(long double a, long double b);
// Narrows to double precision; a value beyond the double range is an overflow.
double toDouble(long double value);

} // namespace checked
