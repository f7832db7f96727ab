#pragma once
// ZAVRO on the test binding, opened the way a host opens it, with its
// processing state readable by the tests.

#include <vector>

#include "plugin/ZAVRO.h"

class ZAVROProbe : public ZAVRO {
public:
  explicit ZAVROProbe(double sampleRate = 48000.0) : ZAVRO(IPlugInstanceInfo{}) {
    SetSampleRate(sampleRate);
    // Hosts run the change hook for every parameter when they open the plug-in.
    for (int i = 0; i < kParamCount; ++i) OnParameterChanged(i);
  }

  // A host setting a plain value, or a normalised one.
  void SetPlain(int paramIdx, double value) {
    GetParam(paramIdx)->SetClamped(value);
    OnParameterChanged(paramIdx);
  }
  void SetNormalized(int paramIdx, double value) {
    GetParam(paramIdx)->SetFromNormalized(value);
    OnParameterChanged(paramIdx);
  }

  // Processes separate left and right buffers out of place.
  void Process(const std::vector<double>& inL, const std::vector<double>& inR,
               std::vector<double>& outL, std::vector<double>& outR) {
    outL.assign(inL.size(), 0.0);
    outR.assign(inR.size(), 0.0);
    double* in[2] = {const_cast<double*>(inL.data()), const_cast<double*>(inR.data())};
    double* out[2] = {outL.data(), outR.data()};
    ProcessBlock(in, out, static_cast<int>(inL.size()));
  }

  // The copy the processing reads for a parameter that has one.
  double Copy(int paramIdx) { return *CopyFor(paramIdx); }

  using ZAVRO::lmHighMidQ;
  using ZAVRO::lmHighPass;
  using ZAVRO::lmHighShelf;
  using ZAVRO::lmHpfSmoother;
  using ZAVRO::lmHpfTarget;
  using ZAVRO::lmLowMid;
  using ZAVRO::lmLowMidQ;
  using ZAVRO::lmLowShelf;
  using ZAVRO::lmTrimSmoother;
  using ZAVRO::masterSmoother;
  using ZAVRO::rsHighMidQ;
  using ZAVRO::rsHighPass;
  using ZAVRO::rsHighShelf;
  using ZAVRO::rsHpfSmoother;
  using ZAVRO::rsHpfTarget;
  using ZAVRO::rsLowMid;
  using ZAVRO::rsLowMidQ;
  using ZAVRO::rsLowShelf;
  using ZAVRO::rsTrimSmoother;
};
