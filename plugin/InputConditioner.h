#pragma once
// The fixed soft nonlinearity every input sample passes before the filters:
// y = x + 0.2 · (0.005 · tanh(x³) − 0.0005 · tanh(x⁸) + 0.001 · x²), with x the
// sample plus the silence offset, in double precision. It is written here
// once, in two halves around the tangents, so that the processing may form
// many samples' powers before their tangents, and reuse the tangents of a
// repeated sample, and still give the same bits.

#include <cmath>

// Keeps silence off exact zeros in the recursive filters; removed at the master stage.
inline constexpr double kDcOffset = 1e-10;

struct ConditionerPowers {
  double x, x3, x8;
};

inline ConditionerPowers ConditionerPowersOf(double sample) {
  const double x = sample + kDcOffset;
  const double x3 = (x * x) * x;
  return {x, x3, x3 * x * x * x * x * x};
}

inline double ConditionerSum(const ConditionerPowers& p, double tanhX3, double tanhX8) {
  return p.x + 0.2 * (0.005 * tanhX3 - 0.0005 * tanhX8 + 0.001 * (p.x * p.x));
}

inline double InputConditioner(double sample) {
  const ConditionerPowers p = ConditionerPowersOf(sample);
  return ConditionerSum(p, std::tanh(p.x3), std::tanh(p.x8));
}
