#pragma once
// The fixed soft nonlinearity every input sample passes before the filters,
// in double precision: x the sample plus the silence offset, then
// y = x + 0.2 · (0.005 · tanh(x³) − 0.0005 · tanh(x⁸) + 0.001 · x²).

#include <cmath>

// Keeps silence off exact zeros in the recursive filters; removed at the master stage.
inline constexpr double kDcOffset = 1e-10;

inline double InputConditioner(double sample) {
  const double x = sample + kDcOffset;
  const double x3 = (x * x) * x;
  const double x8 = x3 * x * x * x * x * x;
  return x + 0.2 * (0.005 * std::tanh(x3) - 0.0005 * std::tanh(x8) + 0.001 * (x * x));
}
