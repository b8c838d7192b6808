#pragma once

#include <QString>

class NumberFormat;

namespace risk {

// A share of 0..1 as the risk window shows a probability: a percentage with one decimal in the
// number format's separator and a blank before the sign, "84,1 %".
QString percentText(double share, const NumberFormat& numbers);

// A simulated length, days, to the hundredth: the simulation resolves lengths no finer than its
// histogram's bins, so further digits would only be noise.
QString simulatedLengthText(double days, const NumberFormat& numbers);

} // namespace risk
