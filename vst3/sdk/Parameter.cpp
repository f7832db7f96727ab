#include "vst3/sdk/Parameter.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cctype>
#include <cstdlib>
#include <cstring>

#include "vst3/sdk/String128.h"
#include "vst3/sdk/Vst3String.h"

namespace vst3 {

Parameter::Parameter() : info_{} {}

Parameter::Parameter(const TChar* title, ParamID tag, const TChar* units,
                     ParamValue defaultValueNormalized, int32 stepCount, int32 flags,
                     UnitID unitId, const TChar* shortTitle)
    : info_{}, valueNormalized_(defaultValueNormalized) {
  CopyString128(info_.title, title);
  CopyString128(info_.units, units);
  CopyString128(info_.shortTitle, shortTitle);
  info_.id = tag;
  info_.stepCount = stepCount;
  info_.defaultNormalizedValue = defaultValueNormalized;
  info_.flags = flags;
  info_.unitId = unitId;
}

bool Parameter::setNormalized(ParamValue value) {
  if (std::isnan(value)) return false;
  value = std::clamp(value, 0.0, 1.0);
  if (value == valueNormalized_) return false;
  valueNormalized_ = value;
  return true;
}

void Parameter::toString(ParamValue valueNormalized, String128 string) const {
  if (!string) return;
  char text[kString128Units];
  if (info_.stepCount == 1) {
    std::snprintf(text, sizeof text, "%s", valueNormalized > 0.5 ? "On" : "Off");
  } else {
    std::snprintf(text, sizeof text, "%.*f", std::clamp(precision_, 0, 16), valueNormalized);
  }
  WidenText(string, kString128Units, text);
}

bool Parameter::ScanDecimal(const TChar* string, ParamValue& value) {
  char text[kString128Units];
  NarrowText(text, sizeof text, string, kString128Units);
  const char* digits = text + std::strspn(text, " \t");
  if (*digits == '+' || *digits == '-') ++digits;
  const bool leadingDigit = std::isdigit(static_cast<unsigned char>(digits[0])) ||
                            (digits[0] == '.' && std::isdigit(static_cast<unsigned char>(digits[1])));
  if (!leadingDigit) return false;
  // "0x1A" reads as 0 in decimal; strtod would take it as hexadecimal.
  const bool hexadecimal = digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X');
  value = hexadecimal ? 0.0 : std::strtod(text, nullptr);
  return true;
}

bool Parameter::fromString(const TChar* string, ParamValue& valueNormalized) const {
  return ScanDecimal(string, valueNormalized);
}

StringListParameter::StringListParameter(const TChar* title, ParamID tag, const TChar* units,
                                         int32 flags, UnitID unitId, const TChar* shortTitle)
    : Parameter(title, tag, units, 0.0, -1, flags, unitId, shortTitle) {}

void StringListParameter::appendString(const TChar* string) {
  String128 copy{};
  CopyString128(copy, string);
  strings_.emplace_back(copy);
  ++info_.stepCount;
}

ParamValue StringListParameter::toPlain(ParamValue valueNormalized) const {
  if (info_.stepCount <= 0 || !(valueNormalized > 0.0)) return 0.0;
  const double steps = info_.stepCount;
  return std::min(steps, std::floor(std::min(valueNormalized, 1.0) * (steps + 1.0)));
}

ParamValue StringListParameter::toNormalized(ParamValue plainValue) const {
  if (info_.stepCount <= 0) return 0.0;
  return plainValue / info_.stepCount;
}

void StringListParameter::toString(ParamValue valueNormalized, String128 string) const {
  if (!string) return;
  const size_t index = static_cast<size_t>(toPlain(valueNormalized));
  CopyString128(string, index < strings_.size() ? strings_[index].c_str() : nullptr);
}

bool StringListParameter::fromString(const TChar* string, ParamValue& valueNormalized) const {
  if (!string) return false;
  String128 text{};
  CopyString128(text, string);
  for (size_t i = 0; i < strings_.size(); ++i) {
    if (strings_[i] == text) {
      valueNormalized = toNormalized(static_cast<ParamValue>(i));
      return true;
    }
  }
  return false;
}

}  // namespace vst3
