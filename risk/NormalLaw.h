#pragma once

namespace risk {

// The standard normal law: Φ(z) = P(Z ≤ z), and its inverse for 0 < p < 1.
long double normalProbability(long double z);
long double normalQuantile(long double probability);

} // namespace risk
