#include "vst3/IPlugParameter.h"

#include "vst3/sdk/String128.h"
#include "vst3/sdk/Vst3String.h"

using namespace vst3;

IPlugParameter::IPlugParameter(const IParamDef& param, ParamID id, UnitID unitId)
    : Parameter(nullptr, id, nullptr, param.NormalizeValue(param.Default()),
                param.Kind() == ParamKind::Continuous ? 0 : static_cast<int32>(param.Max() - param.Min()),
                param.CanAutomate() ? ParameterInfo::kCanAutomate : ParameterInfo::kNoFlags, unitId),
      param_(param) {
  WidenText(info_.title, kString128Units, param.Name());
  WidenText(info_.units, kString128Units, param.LabelForHost());
  setPrecision(param.DisplayPrecision());
}

void IPlugParameter::FormatText(const IParamDef& param, ParamValue valueNormalized, String128 string) {
  char text[kParamTextSize];
  param.FormatForHost(param.DenormalizeValue(valueNormalized), false, text, true);
  WidenText(string, kString128Units, text);
}

void IPlugParameter::toString(ParamValue valueNormalized, String128 string) const {
  if (string) FormatText(param_, valueNormalized, string);
}

bool IPlugParameter::fromString(const TChar* string, ParamValue& valueNormalized) const {
  ParamValue plain = 0.0;
  ScanDecimal(string, plain);
  valueNormalized = toNormalized(plain);
  return true;
}

ParamValue IPlugParameter::toPlain(ParamValue valueNormalized) const {
  return param_.DenormalizeValue(valueNormalized);
}

ParamValue IPlugParameter::toNormalized(ParamValue plainValue) const {
  return param_.NormalizeValue(plainValue);
}
