#pragma once
// The exactness oracle for the equaliser's audio path: the chain evaluated the
// plain way, every step at every frame in the order and precision of the
// design, with nothing cached or skipped. The product must agree with it bit
// for bit; the benchmark measures it as the unoptimised baseline.
//
// Like the product, it lowers every design frequency to kMaxDesignFraction of
// the sample rate (the shelves here, the bells and high-pass inside their
// sections), raises a single-precision shelf that rounding leaves unstable to
// fs / 4096, and clears non-finite histories and smoother states at the end of
// each block.

#include <algorithm>
#include <cmath>

#include "plugin/FilterSections.h"
#include "plugin/ParamSmoother.h"
#include "plugin/ZAVRO.h"

struct ZAVROReference {
  // Parameter records: value and range.
  double value[kParamCount] = {};
  double min[kParamCount] = {};
  double max[kParamCount] = {};

  // The product's copies of the parameter values.
  double lmLowGain = 0, lmLowFreq = 0, lmLowMidGain = 0, lmLowMidFreq = 0;
  double lmHighMidGain = 0, lmHighMidFreq = 0, lmHighGain = 0, lmHighFreq = 0;
  double rsHighGain = 0, rsHighFreq = 0;
  double rsLowGain = 0, rsLowFreq = 0, rsLowMidGain = 0, rsLowMidFreq = 0;
  double rsHighMidGain = 0, rsHighMidFreq = 0;
  double lmOutputDb = 0, rsOutputDb = 0;
  double masterGain = 1;
  double lmBypass = 0;
  double lmHpfPosition = 0, rsHpfPosition = 0;

  // Processing state.
  ParamSmoother lmTrimSmoother, rsTrimSmoother, masterSmoother, lmHpfSmoother, rsHpfSmoother;
  CookbookSection lmLowShelf, rsLowShelf, lmHighShelf, rsHighShelf;
  PeakSection lmLowMid, rsLowMid, lmHighMid, rsHighMid;
  BiquadSection lmHighPass, rsHighPass;
  double lmLowMidQ = 0.1, rsLowMidQ = 0.1, lmHighMidQ = 0.2, rsHighMidQ = 0.2;
  double lmHpfTarget = 10.0, rsHpfTarget = 10.0;
};

// The change hook: the new value of parameter i lands in its copy.
inline void ReferenceParameterChanged(ZAVROReference& r, int i) {
  double* copies[kParamCount] = {
      &r.lmLowGain,    &r.lmLowFreq,     &r.lmLowMidGain, &r.lmLowMidFreq, &r.lmHighMidGain,
      &r.lmHighMidFreq, &r.lmHighGain,   &r.lmHighFreq,   &r.rsHighGain,   &r.rsHighFreq,
      nullptr,         &r.rsLowGain,     &r.rsLowFreq,    &r.rsLowMidGain, &r.rsLowMidFreq,
      &r.rsHighMidGain, &r.rsHighMidFreq, &r.lmOutputDb,  &r.rsOutputDb,   nullptr,
      nullptr,         nullptr,          &r.lmBypass,     nullptr,         nullptr,
      &r.lmHpfPosition, &r.rsHpfPosition};
  if (i == kMasterOutput) r.masterGain = std::pow(10.0, r.value[i] / 20.0);
  if (copies[i]) *copies[i] = r.value[i];
}

// The reference takes parameter i as the product holds it: range and value.
inline void ReferenceFollow(ZAVROReference& r, const ZAVRO& plug, int i) {
  const IParamDef* param = plug.GetParam(i);
  r.min[i] = param->Min();
  r.max[i] = param->Max();
  r.value[i] = param->Value();
  ReferenceParameterChanged(r, i);
}

inline void ReferenceProcessBlock(ZAVROReference& r, double fs, double** inputs, double** outputs,
                                  int frameCount) {
  auto intValue = [&](int i) { return static_cast<int>(r.value[i]); };

  // 1. Smoother coefficients.
  for (ParamSmoother* s : {&r.lmTrimSmoother, &r.rsTrimSmoother, &r.masterSmoother,
                           &r.lmHpfSmoother, &r.rsHpfSmoother}) {
    s->a = std::exp((10.0 / fs) * (-6.283185307179586));
    s->b = 1.0 - s->a;
  }

  // 2. Link.
  if (intValue(kLink) == 1) {
    auto link = [&](int rsIdx, double source, double* copy) {
      r.value[rsIdx] = std::clamp(source, r.min[rsIdx], r.max[rsIdx]);
      if (copy) *copy = source;
    };
    link(kRSOutput, r.lmOutputDb, &r.rsOutputDb);
    link(kRSLowGain, r.lmLowGain, &r.rsLowGain);
    link(kRSLowFreq, r.lmLowFreq, &r.rsLowFreq);
    link(kRSLowMidGain, r.lmLowMidGain, &r.rsLowMidGain);
    link(kRSLowMidFreq, r.lmLowMidFreq, &r.rsLowMidFreq);
    link(kRSHighMidGain, r.lmHighMidGain, &r.rsHighMidGain);
    link(kRSHighMidFreq, r.lmHighMidFreq, &r.rsHighMidFreq);
    link(kRSHighGain, r.lmHighGain, &r.rsHighGain);
    link(kRSHighFreq, r.lmHighFreq, &r.rsHighFreq);
    link(kRSHPF, r.lmHpfPosition, &r.rsHpfPosition);
    link(kRSBypass, r.lmBypass, nullptr);
  }

  // 3. and 6. Shelves, in single precision; omega from the bounded frequency.
  auto shelf = [&](CookbookSection& s, int type, float q, double gain, float frequency) {
    s.type = type;
    s.gainDb = static_cast<float>(gain);
    s.amplitude = std::pow(10.0f, s.gainDb / 40.0f);
    s.q = q;
    s.sampleRate = static_cast<float>(fs);
    s.frequency = frequency;
    const float bounded = std::min(s.frequency, 0.45f * s.sampleRate);
    s.omega = bounded * 6.2831855f / s.sampleRate;
    s.alpha = std::sin(s.omega) / (s.q + s.q);
    s.UpdateCoefficients();
    // A shelf whose rounding leaves it unstable is designed at fs / 4096.
    if (!s.RecursionStable()) {
      const float raised = std::max(bounded, s.sampleRate / 4096.0f);
      s.omega = raised * 6.2831855f / s.sampleRate;
      s.alpha = std::sin(s.omega) / (s.q + s.q);
      s.UpdateCoefficients();
    }
  };
  shelf(r.lmLowShelf, 5, 0.504f, r.lmLowGain, static_cast<float>(r.lmLowFreq));
  shelf(r.rsLowShelf, 5, 0.504f, r.rsLowGain, static_cast<float>(r.rsLowFreq));

  // 4. Low-mid bells.
  auto bellQ = [](double g, double G, double base, double divisor, double& q) {
    if (g < 0.0001) q = base - G / divisor;
    if (g > 0.0001) q = G / divisor + base;
  };
  bellQ(r.value[kLMLowMidGain], r.lmLowMidGain, 0.1, 13.0, r.lmLowMidQ);
  bellQ(r.value[kRSLowMidGain], r.rsLowMidGain, 0.1, 13.0, r.rsLowMidQ);
  r.lmLowMid.sampleRate = fs;
  r.rsLowMid.sampleRate = fs;
  r.lmLowMid.Design(r.lmLowMidGain, r.lmLowMidFreq, r.lmLowMidQ);
  r.rsLowMid.Design(r.rsLowMidGain, r.rsLowMidFreq, r.rsLowMidQ);

  // 5. High-mid bells.
  bellQ(r.value[kLMHighMidGain], r.lmHighMidGain, 0.2, 14.0, r.lmHighMidQ);
  bellQ(r.value[kRSHighMidGain], r.rsHighMidGain, 0.2, 14.0, r.rsHighMidQ);
  r.lmHighMid.sampleRate = fs;
  r.rsHighMid.sampleRate = fs;
  r.lmHighMid.Design(r.lmHighMidGain, r.lmHighMidFreq, r.lmHighMidQ);
  r.rsHighMid.Design(r.rsHighMidGain, r.rsHighMidFreq, r.rsHighMidQ);

  // 6.
  shelf(r.lmHighShelf, 6, 0.44f, r.lmHighGain, static_cast<float>(r.lmHighFreq * 1000.0 - 1000.0));
  shelf(r.rsHighShelf, 6, 0.44f, r.rsHighGain, static_cast<float>(r.rsHighFreq * 1000.0 - 1000.0));

  // 7. High-pass targets.
  auto target = [](double position, double& t) {
    if (position == 0) t = 10;
    if (position == 1) t = 80;
    if (position == 2) t = 140;
  };
  target(r.lmHpfPosition, r.lmHpfTarget);
  target(r.rsHpfPosition, r.rsHpfTarget);

  for (int i = 0; i < frameCount; ++i) {
    const double inL = inputs[0][i];
    const double inR = inputs[1][i];

    // 1. High-pass settings.
    auto highPass = [&](ParamSmoother& smoother, double t, BiquadSection& hp) {
      const double z = smoother.Step(t);
      hp.type = 1;
      hp.q = 0.707;
      hp.peakGainDb = 0;
      hp.fc = z / fs;
      hp.UpdateCoefficients();
    };
    highPass(r.lmHpfSmoother, r.lmHpfTarget, r.lmHighPass);
    highPass(r.rsHpfSmoother, r.rsHpfTarget, r.rsHighPass);

    // 2. Input conditioner.
    auto condition = [](double sample) {
      const double x = sample + 1e-10;
      const double x3 = (x * x) * x;
      const double x8 = x3 * x * x * x * x * x;
      return x + 0.2 * (0.005 * std::tanh(x3) - 0.0005 * std::tanh(x8) + 0.001 * (x * x));
    };
    const double yl = condition(inL);
    const double yr = condition(inR);

    // 3. Encoding; any mode other than 1 is L/R.
    double P, S;
    if (intValue(kMode) == 1) {
      P = (yr + yl) / 1.4142135623730951;
      S = (yl - yr) / 1.4142135623730951;
    } else {
      P = yl;
      S = yr + 1e-10;
    }

    // 4. The chains.
    auto chain = [](double v, BiquadSection& hp, CookbookSection& low, PeakSection& lowMid,
                    PeakSection& highMid, CookbookSection& high) {
      const double a = hp.Process(static_cast<double>(static_cast<float>(v)));
      const float b = low.Process(static_cast<float>(a));
      const double c = highMid.Process(lowMid.Process(static_cast<double>(b)));
      return static_cast<double>(high.Process(static_cast<float>(c)));
    };
    const double p = chain(P, r.lmHighPass, r.lmLowShelf, r.lmLowMid, r.lmHighMid, r.lmHighShelf);
    const double s = chain(S, r.rsHighPass, r.rsLowShelf, r.rsLowMid, r.rsHighMid, r.rsHighShelf);

    // 5. Output trims.
    const double pt = std::pow(10.0, r.lmTrimSmoother.Step(r.lmOutputDb) / 20.0) * p;
    const double st = std::pow(10.0, r.rsTrimSmoother.Step(r.rsOutputDb) / 20.0) * s;

    // 6. Decoding.
    double L, R;
    if (intValue(kMode) == 1) {
      L = (st + pt) / 1.4142135623730951;
      R = (pt - st) / 1.4142135623730951;
    } else {
      L = pt;
      R = st;
    }

    // 7. Group bypass; any value other than 0 keeps the processed signal.
    if (intValue(kLMBypass) == 0) L = inL;
    if (intValue(kRSBypass) == 0) R = inR;

    // 8. Master stage.
    if (intValue(kMasterBypass) == 0) {
      outputs[0][i] = inL;
      outputs[1][i] = inR;
    } else {
      outputs[0][i] = (L - 1e-10) * r.masterSmoother.Step(r.masterGain);
      outputs[1][i] = (R - 1e-10) * r.masterSmoother.Step(r.masterGain);
    }
  }

  // Non-finite histories and smoother states go back to their start values.
  for (CookbookSection* s : {&r.lmLowShelf, &r.rsLowShelf, &r.lmHighShelf, &r.rsHighShelf}) {
    if (!std::isfinite(s->x1) || !std::isfinite(s->x2) || !std::isfinite(s->y1) || !std::isfinite(s->y2))
      s->x1 = s->x2 = s->y1 = s->y2 = 0.0f;
  }
  for (PeakSection* s : {&r.lmLowMid, &r.rsLowMid, &r.lmHighMid, &r.rsHighMid}) {
    if (!std::isfinite(s->x1) || !std::isfinite(s->x2) || !std::isfinite(s->y1) || !std::isfinite(s->y2))
      s->x1 = s->x2 = s->y1 = s->y2 = 0.0;
  }
  for (BiquadSection* s : {&r.lmHighPass, &r.rsHighPass}) {
    if (!std::isfinite(s->z1) || !std::isfinite(s->z2)) s->z1 = s->z2 = 0.0;
  }
  for (ParamSmoother* s : {&r.lmTrimSmoother, &r.rsTrimSmoother, &r.masterSmoother,
                           &r.lmHpfSmoother, &r.rsHpfSmoother}) {
    if (!std::isfinite(s->z)) s->z = 0.0;
  }
}
