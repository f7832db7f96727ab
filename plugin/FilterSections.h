#pragma once
// The three second-order sections the equaliser is built from. Each is a plain
// value: settings, coefficients and history, a function that derives the
// coefficients from the settings, and a per-sample step. No allocation, no
// virtual calls; the chain holds them by value.
//
// The precision of each kind is part of the sound: CookbookSection works in
// single precision and divides by a0 at every sample, the other two in double.

#include <cmath>
#include <cstdint>

// Highest design frequency, as a fraction of the sample rate. At and above
// Nyquist the designs turn unstable or non-finite; below this bound nothing
// changes, and at 44.1 kHz and up no setting of the equaliser reaches it.
constexpr double kMaxDesignFraction = 0.45;
constexpr float kMaxDesignFractionF = 0.45f;
// A single-precision shelf far below the sample rate (only above 384 kHz) can
// have its rounded quotients put a pole on or outside the unit circle. Such a
// shelf is designed at this fraction of the sample rate instead, the lowest
// one at which rounding leaves every gain stable; sound designs stay as they are.
constexpr float kMinShelfFractionF = 1.0f / 4096.0f;

// The five normalised coefficients of a CookbookSection. Division is correctly
// rounded, so quotients formed once give the same samples as quotients formed
// at every sample, as long as the coefficients stay put.
struct CookbookQuotients {
  float b0 = 1.0f, b1 = 0.0f, b2 = 0.0f, a1 = 0.0f, a2 = 0.0f;
};

// Direct form I in single precision, coefficients not normalised.
struct CookbookSection {
  int32_t type = 0;
  float sampleRate = 48000.0f;
  float frequency = 20.0f;
  float q = 0.707f;
  float gainDb = 0.0f;
  // omega, alpha and amplitude are written by the user of the section, which
  // derives them from the four settings above.
  float omega = 0.002617994f;
  float alpha = 0.0018514788f;  // sin(0.002617994) / 1.414
  float amplitude = 1.0f;
  float x1 = 0.0f, x2 = 0.0f, y1 = 0.0f, y2 = 0.0f;
  float b0 = 1.0f, b1 = 0.0f, b2 = 0.0f, a0 = 1.0f, a1 = 0.0f, a2 = 0.0f;

  // Recomputes b0..a2 from type, omega, alpha and amplitude; nothing else
  // changes. A type outside 0..8 designs a low-pass.
  void UpdateCoefficients();

  // Stores the settings, derives omega, alpha and amplitude from them (in
  // single precision, the frequency lowered to kMaxDesignFractionF of the
  // rate) and updates the coefficients. A design that rounding leaves
  // unstable is made again at kMinShelfFractionF of the rate.
  void Design(int32_t filterType, float gain, float hz, float quality, float rate);

  CookbookQuotients Quotients() const {
    return CookbookQuotients{b0 / a0, b1 / a0, b2 / a0, a1 / a0, a2 / a0};
  }

  // True when both poles of the recursion, with its quotients rounded as the
  // filtering step rounds them, lie strictly inside the unit circle (the
  // stability triangle, evaluated exactly).
  bool RecursionStable() const {
    const CookbookQuotients n = Quotients();
    const double p1 = n.a1, p2 = n.a2;
    return 1.0 + p1 + p2 > 0.0 && 1.0 - p1 + p2 > 0.0 && std::fabs(p2) < 1.0;
  }

  float Process(float x) {
    const float y = (b0 / a0) * x + (b1 / a0) * x1 + (b2 / a0) * x2 - (a1 / a0) * y1 - (a2 / a0) * y2;
    Advance(x, y);
    return y;
  }

  // The same step with quotients formed earlier from the current coefficients.
  float Process(float x, const CookbookQuotients& n) {
    const float y = n.b0 * x + n.b1 * x1 + n.b2 * x2 - n.a1 * y1 - n.a2 * y2;
    Advance(x, y);
    return y;
  }

  // A non-finite history would stay in the recursion for ever: it starts afresh.
  void ForgetNonFiniteHistory() {
    if (!(std::isfinite(x1) && std::isfinite(x2) && std::isfinite(y1) && std::isfinite(y2))) x1 = x2 = y1 = y2 = 0.0f;
  }

private:
  void Advance(float x, float y) {
    x2 = x1;
    x1 = x;
    y2 = y1;
    y1 = y;
  }
};

// Bell designed from the gains at the centre, the band edges and Nyquist;
// direct form I in double, a0 = 1.
struct PeakSection {
  double b0 = 0.0, b1 = 0.0, b2 = 0.0, a1 = 0.0, a2 = 0.0;
  double sampleRate = 0.0;  // written by the user before each design
  double pi = 3.141592653589793;
  double bandwidthDivisor = 1.4142135623730951;  // band-edge gain in dB = gain / this
  double x1 = 0.0, x2 = 0.0, y1 = 0.0, y2 = 0.0;

  // Recomputes b0..a2 from the arguments and sampleRate; the history stays.
  void Design(double gainDb, double frequency, double q);

  double Process(double x) {
    const double y = b0 * x + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2;
    x2 = x1;
    x1 = x;
    y2 = y1;
    y1 = y;
    return y;
  }

  void ForgetNonFiniteHistory() {
    if (!(std::isfinite(x1) && std::isfinite(x2) && std::isfinite(y1) && std::isfinite(y2))) x1 = x2 = y1 = y2 = 0.0;
  }
};

// Transposed direct form II in double, a0 = 1; fc is a fraction of the sample rate.
struct BiquadSection {
  int32_t type = 0;
  double b0 = 1.0, b1 = 0.0, b2 = 0.0;
  double a1 = 0.0, a2 = 0.0;
  double fc = 0.5;
  double q = 0.707;
  double peakGainDb = 0.0;
  double z1 = 0.0, z2 = 0.0;

  // Recomputes b0..a2 from type, fc, q and peakGainDb; the state stays. A type
  // outside 0..6 keeps the previous coefficients.
  void UpdateCoefficients();
  // The high-pass (type 1) of UpdateCoefficients, for a caller that redesigns
  // it at every sample: the same result without the gain term it ignores.
  void UpdateHighPassCoefficients();

  double Process(double x) {
    const double y = b0 * x + z1;
    z1 = b1 * x + z2 - a1 * y;
    z2 = b2 * x - a2 * y;
    return y;
  }

  void ForgetNonFiniteHistory() {
    if (!(std::isfinite(z1) && std::isfinite(z2))) z1 = z2 = 0.0;
  }
};
