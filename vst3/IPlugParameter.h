#pragma once
// One framework parameter as the host's parameter list shows it. The adapter
// reads the parameter's range, curve and texts; the plug-in base owns the
// parameter and outlives the adapter.
//
// UI thread; the conversions read only what never changes after
// construction, so they need no lock.

#include "framework/IParamDef.h"
#include "vst3/sdk/Parameter.h"

class IPlugParameter : public vst3::Parameter {
public:
  // Title, units, steps, default, flags and unit, filled once.
  IPlugParameter(const IParamDef& param, vst3::ParamID id, vst3::UnitID unitId);

  // The text the framework shows for the plain value, display texts included.
  void toString(vst3::ParamValue valueNormalized, vst3::String128 string) const override;
  // The leading decimal number of the text (0 when there is none), clamped
  // into the range and normalised. Always succeeds.
  bool fromString(const vst3::TChar* string, vst3::ParamValue& valueNormalized) const override;
  // The curve of the range, neither snapped nor clamped.
  vst3::ParamValue toPlain(vst3::ParamValue valueNormalized) const override;
  // From the plain value clamped into the range.
  vst3::ParamValue toNormalized(vst3::ParamValue plainValue) const override;

  // The host's text for a normalised value of the parameter.
  static void FormatText(const IParamDef& param, vst3::ParamValue valueNormalized, vst3::String128 string);

  VST3_OBJECT_TYPE(IPlugParameter, Parameter)

private:
  const IParamDef& param_;
};
