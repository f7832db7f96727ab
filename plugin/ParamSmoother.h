#pragma once
// One-pole low-pass that moves a setting towards its target a little at every
// step, so that changes glide instead of jumping.

#include <cmath>

struct ParamSmoother {
  double b = 1.0;  // input weight
  double a = 0.0;  // pole
  double z = 0.0;  // state, the smoothed value

  // A 10 Hz corner at the given sample rate: fast enough to follow a knob,
  // slow enough not to click.
  void SetCorner10Hz(double sampleRate) {
    a = std::exp((10.0 / sampleRate) * (-6.283185307179586));
    b = 1.0 - a;
  }

  double Step(double target) {
    z = b * target + a * z;
    return z;
  }

  void ForgetNonFiniteState() {
    if (!std::isfinite(z)) z = 0.0;
  }
};
