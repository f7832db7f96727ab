#include "plugin/FilterSections.h"

#include <algorithm>
#include <cmath>

void CookbookSection::UpdateCoefficients() {
  const float c = std::cos(omega);
  const float s = std::sin(omega);
  const float A = amplitude;
  const float twoRootAAlpha = 2.0f * std::sqrt(A) * alpha;
  // The recursion every type but the shelves and the bell shares.
  a0 = 1.0f + alpha;
  a1 = -2.0f * c;
  a2 = 1.0f - alpha;
  switch (type) {
    case 1:  // high-pass
      b0 = (1.0f + c) / 2.0f;
      b1 = -(1.0f + c);
      b2 = (1.0f + c) / 2.0f;
      break;
    case 2:  // band-pass, skirt gain
      b0 = s / 2.0f;
      b1 = 0.0f;
      b2 = -s / 2.0f;
      break;
    case 3:  // band-pass, 0 dB peak
      b0 = alpha;
      b1 = 0.0f;
      b2 = -alpha;
      break;
    case 4:  // notch
      b0 = 1.0f;
      b1 = -2.0f * c;
      b2 = 1.0f;
      break;
    case 5:  // low shelf
      b0 = A * ((A + 1.0f) - (A - 1.0f) * c + twoRootAAlpha);
      b1 = 2.0f * A * ((A - 1.0f) - (A + 1.0f) * c);
      b2 = A * ((A + 1.0f) - (A - 1.0f) * c - twoRootAAlpha);
      a0 = (A + 1.0f) + (A - 1.0f) * c + twoRootAAlpha;
      a1 = -2.0f * ((A - 1.0f) + (A + 1.0f) * c);
      a2 = (A + 1.0f) + (A - 1.0f) * c - twoRootAAlpha;
      break;
    case 6:  // high shelf
      b0 = A * ((A + 1.0f) + (A - 1.0f) * c + twoRootAAlpha);
      b1 = -2.0f * A * ((A - 1.0f) + (A + 1.0f) * c);
      b2 = A * ((A + 1.0f) + (A - 1.0f) * c - twoRootAAlpha);
      a0 = (A + 1.0f) - (A - 1.0f) * c + twoRootAAlpha;
      a1 = 2.0f * ((A - 1.0f) - (A + 1.0f) * c);
      a2 = (A + 1.0f) - (A - 1.0f) * c - twoRootAAlpha;
      break;
    case 7:  // bell
      b0 = 1.0f + alpha * A;
      b1 = -2.0f * c;
      b2 = 1.0f - alpha * A;
      a0 = 1.0f + alpha / A;
      a2 = 1.0f - alpha / A;
      break;
    case 8:  // all-pass
      b0 = 1.0f - alpha;
      b1 = -2.0f * c;
      b2 = 1.0f + alpha;
      break;
    default:  // low-pass, also for any type outside 0..8
      b0 = (1.0f - c) / 2.0f;
      b1 = 1.0f - c;
      b2 = (1.0f - c) / 2.0f;
      break;
  }
}

void CookbookSection::Design(int32_t filterType, float gain, float hz, float quality, float rate) {
  // 2π as the single-precision omega is formed with it.
  constexpr float kTwoPi = 6.2831855f;
  type = filterType;
  gainDb = gain;
  amplitude = std::pow(10.0f, gainDb / 40.0f);
  q = quality;
  sampleRate = rate;
  frequency = hz;
  const float bounded = std::min(frequency, kMaxDesignFractionF * sampleRate);
  omega = bounded * kTwoPi / sampleRate;
  alpha = std::sin(omega) / (q + q);
  UpdateCoefficients();
  if (RecursionStable()) return;
  const float raised = std::max(bounded, kMinShelfFractionF * sampleRate);
  omega = raised * kTwoPi / sampleRate;
  alpha = std::sin(omega) / (q + q);
  UpdateCoefficients();
}

void PeakSection::Design(double gainDb, double frequency, double q) {
  const double fs = sampleRate;
  const double f = std::min(frequency, kMaxDesignFraction * fs);
  const double d = bandwidthDivisor;

  const double GB = std::pow(10.0, gainDb / d / 20.0);
  const double w0 = (pi + pi) / fs * f;
  // q times this is w0 over the bandwidth the design is given (between the
  // band-edge gains): a fixed part of the bell's voicing.
  constexpr double kQToBandwidth = 1.588308819;
  const double Dw = w0 / (q * kQToBandwidth);
  const double G = std::pow(10.0, gainDb / 20.0);
  const double G0 = 1.0;
  // G equals GB exactly when gainDb is 0. Gains a little above 0 (a host's
  // normalised value one step off the centre gives 3.6e-15 dB) leave the
  // differences of squared gains below without a correct digit, and the design
  // answers infinities, NaNs or a bell that is not flat at all; below
  // kFlatGainDb the bell is therefore flat too. From there up the design is
  // finite and stable.
  constexpr double kFlatGainDb = 1e-9;
  if (G == GB || std::fabs(gainDb) < kFlatGainDb) {
    b0 = 1.0;
    b1 = b2 = a1 = a2 = 0.0;
    return;
  }

  const double F = std::fabs(G * G - GB * GB);
  const double G00 = std::fabs(G * G - G0 * G0);
  const double F00 = std::fabs(GB * GB - G0 * G0);

  // Gain at the Nyquist frequency.
  const double nyq = (w0 * w0 - pi * pi) * (w0 * w0 - pi * pi);
  const double band = F00 * (pi * pi) * (Dw * Dw) / F;
  const double G1 = std::sqrt((G0 * G0 * nyq + G * G * band) / (nyq + band));

  const double G01 = std::fabs(G * G - G0 * G1);
  const double G11 = std::fabs(G * G - G1 * G1);
  const double F01 = std::fabs(GB * GB - G0 * G1);
  const double F11 = std::fabs(GB * GB - G1 * G1);

  const double tanHalfW0 = std::tan(w0 / 2.0);
  const double W2 = std::sqrt(G11 / G00) * (tanHalfW0 * tanHalfW0);
  const double DW = (1.0 + std::sqrt(F00 / F11) * W2) * std::tan(Dw / 2.0);
  const double C = F11 * (DW * DW) - 2.0 * W2 * (F01 - std::sqrt(F00 * F11));
  const double D = 2.0 * W2 * (G01 - std::sqrt(G00 * G11));
  const double A = std::sqrt((C + D) / F);
  const double B = std::sqrt((G * G * C + GB * GB * D) / F);

  const double N = 1.0 + W2 + A;
  b0 = (G1 + G0 * W2 + B) / N;
  b1 = -2.0 * (G1 - G0 * W2) / N;
  b2 = (G1 - B + G0 * W2) / N;
  a1 = -2.0 * (1.0 - W2) / N;
  a2 = (1.0 + W2 - A) / N;
}

namespace {

// The terms every biquad type shares, from the corner (lowered to the design
// bound) and q.
struct BiquadTerms {
  double K, KK, Kq, n, poleA1, poleA2;
};

BiquadTerms TermsOf(double fc, double q) {
  constexpr double kPi = 3.141592653589793;
  BiquadTerms t;
  t.K = std::tan(kPi * std::min(fc, kMaxDesignFraction));
  t.KK = t.K * t.K;
  t.Kq = t.K / q;
  t.n = 1.0 / (1.0 + t.Kq + t.KK);
  t.poleA1 = 2.0 * (t.KK - 1.0) * t.n;
  t.poleA2 = (1.0 - t.Kq + t.KK) * t.n;
  return t;
}

}  // namespace

// Type 1 of UpdateCoefficients, term for term, without the gain it ignores.
void BiquadSection::UpdateHighPassCoefficients() {
  const BiquadTerms t = TermsOf(fc, q);
  b0 = t.n;
  b1 = -2.0 * t.n;
  b2 = t.n;
  a1 = t.poleA1;
  a2 = t.poleA2;
}

void BiquadSection::UpdateCoefficients() {
  if (type < 0 || type > 6) return;  // unknown type: the coefficients stand
  const double V = std::pow(10.0, std::fabs(peakGainDb) / 20.0);
  const BiquadTerms t = TermsOf(fc, q);
  const double KK = t.KK, Kq = t.Kq, n = t.n;
  const bool boost = peakGainDb >= 0.0;
  // The recursion of every type, but for a cut of the last three.
  a1 = t.poleA1;
  a2 = t.poleA2;
  switch (type) {
    case 0:  // low-pass
      b0 = KK * n;
      b1 = 2.0 * KK * n;
      b2 = KK * n;
      break;
    case 1:  // high-pass
      b0 = n;
      b1 = -2.0 * n;
      b2 = n;
      break;
    case 2:  // band-pass
      b0 = Kq * n;
      b1 = 0.0;
      b2 = -Kq * n;
      break;
    case 3:  // notch
      b0 = (1.0 + KK) * n;
      b1 = 2.0 * (KK - 1.0) * n;
      b2 = (1.0 + KK) * n;
      break;
    case 4:  // bell
      if (boost) {
        b0 = (1.0 + V * Kq + KK) * n;
        b1 = 2.0 * (KK - 1.0) * n;
        b2 = (1.0 - V * Kq + KK) * n;
      } else {
        const double m = 1.0 / (1.0 + V * Kq + KK);
        b0 = (1.0 + Kq + KK) * m;
        b1 = 2.0 * (KK - 1.0) * m;
        b2 = (1.0 - Kq + KK) * m;
        a1 = 2.0 * (KK - 1.0) * m;
        a2 = (1.0 - V * Kq + KK) * m;
      }
      break;
    case 5:  // low shelf
      if (boost) {
        b0 = (1.0 + V * Kq + V * KK) * n;
        b1 = 2.0 * (V * KK - 1.0) * n;
        b2 = (1.0 - V * Kq + V * KK) * n;
      } else {
        const double m = 1.0 / (1.0 + V * Kq + V * KK);
        b0 = (1.0 + Kq + KK) * m;
        b1 = 2.0 * (KK - 1.0) * m;
        b2 = (1.0 - Kq + KK) * m;
        a1 = 2.0 * (V * KK - 1.0) * m;
        a2 = (1.0 - V * Kq + V * KK) * m;
      }
      break;
    case 6:  // high shelf
      if (boost) {
        b0 = (V + V * Kq + KK) * n;
        b1 = 2.0 * (KK - V) * n;
        b2 = (V - V * Kq + KK) * n;
      } else {
        const double m = 1.0 / (V + V * Kq + KK);
        b0 = (1.0 + Kq + KK) * m;
        b1 = 2.0 * (KK - 1.0) * m;
        b2 = (1.0 - Kq + KK) * m;
        a1 = 2.0 * (KK - V) * m;
        a2 = (V - V * Kq + KK) * m;
      }
      break;
  }
}
