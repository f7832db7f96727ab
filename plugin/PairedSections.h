#pragma once
// The sections of both channel groups run side by side in the two lanes of
// one register (lane 0 L/M, lane 1 R/S). The groups share no state, and each
// lane does exactly the arithmetic of the scalar section, operation for
// operation, so every result is the same to the bit. The registers'
// arithmetic operators work lane by lane.

#if defined(__SSE2__)
#include <emmintrin.h>

#include "plugin/FilterSections.h"

#define ZAVRO_PAIRED_SECTIONS 1

// Two doubles.
struct LanePair {
  using Reg = __m128d;
  Reg v;
  static LanePair Of(double lm, double rs) { return {_mm_set_pd(rs, lm)}; }
  void Store(double& lm, double& rs) const {
    _mm_storel_pd(&lm, v);
    _mm_storeh_pd(&rs, v);
  }
};

// Two floats; lanes 2 and 3 unused.
struct FloatLanePair {
  using Reg = __m128;
  Reg v;
  static FloatLanePair Of(float lm, float rs) { return {_mm_set_ps(0.0f, 0.0f, rs, lm)}; }
  void Store(float& lm, float& rs) const {
    alignas(16) float lanes[4];
    _mm_store_ps(lanes, v);
    lm = lanes[0];
    rs = lanes[1];
  }
};

// A pair of BiquadSection coefficients. They are apart from the history
// because a gliding high-pass changes them at every frame.
struct PairedBiquadCoefficients {
  __m128d b0, b1, b2, a1, a2;
  static PairedBiquadCoefficients Of(const BiquadSection& l, const BiquadSection& r) {
    return {LanePair::Of(l.b0, r.b0).v, LanePair::Of(l.b1, r.b1).v, LanePair::Of(l.b2, r.b2).v,
            LanePair::Of(l.a1, r.a1).v, LanePair::Of(l.a2, r.a2).v};
  }
};

// Two BiquadSection histories (transposed direct form II).
struct PairedBiquad {
  __m128d z1, z2;
  PairedBiquad(const BiquadSection& l, const BiquadSection& r)
      : z1(LanePair::Of(l.z1, r.z1).v), z2(LanePair::Of(l.z2, r.z2).v) {}
  __m128d Process(__m128d x, const PairedBiquadCoefficients& c) {
    const __m128d y = c.b0 * x + z1;
    z1 = c.b1 * x + z2 - c.a1 * y;
    z2 = c.b2 * x - c.a2 * y;
    return y;
  }
  void StoreHistory(BiquadSection& l, BiquadSection& r) const {
    LanePair{z1}.Store(l.z1, r.z1);
    LanePair{z2}.Store(l.z2, r.z2);
  }
};

// Two direct-form-I sections with a0 = 1: PeakSection as it is, CookbookSection
// through its quotients (in single precision).
template <typename Lanes>
struct PairedDirectForm {
  using Reg = typename Lanes::Reg;
  Reg b0, b1, b2, a1, a2, x1, x2, y1, y2;
  template <typename Section, typename Coefficients>
  PairedDirectForm(const Section& l, const Coefficients& kl, const Section& r, const Coefficients& kr)
      : b0(Lanes::Of(kl.b0, kr.b0).v), b1(Lanes::Of(kl.b1, kr.b1).v),
        b2(Lanes::Of(kl.b2, kr.b2).v), a1(Lanes::Of(kl.a1, kr.a1).v),
        a2(Lanes::Of(kl.a2, kr.a2).v), x1(Lanes::Of(l.x1, r.x1).v),
        x2(Lanes::Of(l.x2, r.x2).v), y1(Lanes::Of(l.y1, r.y1).v),
        y2(Lanes::Of(l.y2, r.y2).v) {}
  Reg Process(Reg x) {
    const Reg y = b0 * x + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2;
    x2 = x1;
    x1 = x;
    y2 = y1;
    y1 = y;
    return y;
  }
  template <typename Section>
  void StoreHistory(Section& l, Section& r) const {
    Lanes{x1}.Store(l.x1, r.x1);
    Lanes{x2}.Store(l.x2, r.x2);
    Lanes{y1}.Store(l.y1, r.y1);
    Lanes{y2}.Store(l.y2, r.y2);
  }
};

struct PairedCookbook : PairedDirectForm<FloatLanePair> {
  PairedCookbook(const CookbookSection& l, const CookbookQuotients& kl, const CookbookSection& r,
                 const CookbookQuotients& kr)
      : PairedDirectForm(l, kl, r, kr) {}
};
struct PairedPeak : PairedDirectForm<LanePair> {
  PairedPeak(const PeakSection& l, const PeakSection& r) : PairedDirectForm(l, l, r, r) {}
};
#endif
