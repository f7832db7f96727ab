#pragma once
// A host-visible parameter: its ParameterInfo and its current normalised
// value, with the conversions a controller answers through. The list parameter
// shows one text per step.
//
// None of these operations locks; the controller owns its parameters and calls
// them on the UI thread.

#include <string>
#include <vector>

#include "vst3/interface/Vst3Controller.h"
#include "vst3/sdk/FObject.h"

namespace vst3 {

class Parameter : public FObject {
public:
  Parameter();
  // Copies title, units and short title with at most 127 characters each; the
  // default becomes the current value as given, unclamped.
  Parameter(const TChar* title, ParamID tag, const TChar* units = nullptr,
            ParamValue defaultValueNormalized = 0.0, int32 stepCount = 0,
            int32 flags = ParameterInfo::kCanAutomate, UnitID unitId = kRootUnitId,
            const TChar* shortTitle = nullptr);

  const ParameterInfo& getInfo() const { return info_; }
  ParamValue getNormalized() const { return valueNormalized_; }
  // Clamps to 0..1 (a value that is no number is refused); true when the value changed.
  virtual bool setNormalized(ParamValue value);
  // A toggle reads "On" above 0.5, else "Off"; others show the normalised value
  // with `precision` decimals.
  virtual void toString(ParamValue valueNormalized, String128 string) const;
  // The leading decimal number, unclamped; false when the text holds none.
  virtual bool fromString(const TChar* string, ParamValue& valueNormalized) const;
  virtual ParamValue toPlain(ParamValue valueNormalized) const { return valueNormalized; }
  virtual ParamValue toNormalized(ParamValue plainValue) const { return plainValue; }

  int32 getPrecision() const { return precision_; }
  void setPrecision(int32 precision) { precision_ = precision; }
  UnitID getUnitID() const { return info_.unitId; }

  VST3_OBJECT_TYPE(Parameter, FObject)

protected:
  // The leading decimal number of a host's text, after blanks and a sign; false
  // (value untouched) when there is none. Hexadecimal, infinity and NaN are no
  // decimal numbers; an overflowing exponent gives an infinity.
  static bool ScanDecimal(const TChar* string, ParamValue& value);

  ParameterInfo info_;
  ParamValue valueNormalized_ = 0.0;
  int32 precision_ = 4;
};

// A parameter with one text per step: N texts make N - 1 steps.
class StringListParameter : public Parameter {
public:
  StringListParameter(const TChar* title, ParamID tag, const TChar* units = nullptr,
                      int32 flags = ParameterInfo::kCanAutomate | ParameterInfo::kIsList,
                      UnitID unitId = kRootUnitId, const TChar* shortTitle = nullptr);

  void appendString(const TChar* string);

  // The text of the step the value falls in; empty for an empty list.
  void toString(ParamValue valueNormalized, String128 string) const override;
  // Only an exact, case-sensitive match with one of the texts.
  bool fromString(const TChar* string, ParamValue& valueNormalized) const override;
  ParamValue toPlain(ParamValue valueNormalized) const override;
  ParamValue toNormalized(ParamValue plainValue) const override;

  VST3_OBJECT_TYPE(StringListParameter, Parameter)

private:
  std::vector<std::u16string> strings_;
};

}  // namespace vst3
