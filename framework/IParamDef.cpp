#include "framework/IParamDef.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {
// Decimals shown never exceed this, whatever the step.
constexpr int kMaxDisplayPrecision = 6;

// Truncation toward zero that stays defined for values no int can hold.
int TruncateToInt(double x) {
  if (!(x == x)) return 0;
  if (x >= 2147483647.0) return 2147483647;
  if (x <= -2147483648.0) return -2147483647 - 1;
  return static_cast<int>(x);
}

int PrecisionFromStep(double step) {
  int precision = 0;
  double d = step;
  while (d != std::floor(d) && precision < kMaxDisplayPrecision) {
    ++precision;
    d *= 10.0;
  }
  return precision;
}
}  // namespace

void CopyText(char* dst, const char* src, int size) {
  if (!dst || size <= 0) return;
  int n = 0;
  if (src) {
    while (n < size - 1 && src[n] != '\0') ++n;
    std::memcpy(dst, src, static_cast<size_t>(n));
  }
  dst[n] = '\0';
}

void IParamDef::InitContinuous(const char* name, double defaultValue, double min, double max,
                               double step, double shape) {
  if (kind_ == ParamKind::Unset) kind_ = ParamKind::Continuous;
  CopyText(name_, name, kParamTextSize);
  label_[0] = '\0';
  group_[0] = '\0';
  min_ = min;
  value_ = defaultValue;
  default_ = defaultValue;
  step_ = step;
  max_ = std::max(max, min + step);
  displayPrecision_ = PrecisionFromStep(step);
  if (shape != 0.0) shape_ = shape;
}

void IParamDef::InitInteger(const char* name, int defaultValue, int min, int max) {
  if (kind_ == ParamKind::Unset) kind_ = ParamKind::Integer;
  InitContinuous(name, defaultValue, min, max, 1.0, 1.0);
}

void IParamDef::InitEnum(const char* name, int defaultValue, int nValues) {
  if (kind_ == ParamKind::Unset) kind_ = ParamKind::Enumerated;
  InitInteger(name, defaultValue, 0, std::max(nValues, 1) - 1);
}

void IParamDef::InitBool(const char* name, bool defaultValue) {
  if (kind_ == ParamKind::Unset) kind_ = ParamKind::Boolean;
  InitInteger(name, defaultValue ? 1 : 0, 0, 1);
}

void IParamDef::SetClamped(double plainValue) {
  // A NaN has no place in the range (and clamping would let it through): ignored.
  if (std::isnan(plainValue)) return;
  value_ = std::clamp(plainValue, min_, max_);
}

double IParamDef::DenormalizeValue(double normalized) const {
  return std::pow(normalized, shape_) * (max_ - min_) + min_;
}

double IParamDef::NormalizeValue(double plainValue) const {
  const double v = std::clamp(plainValue, min_, max_);
  return std::pow((v - min_) / (max_ - min_), 1.0 / shape_);
}

double IParamDef::GetNormalized() const { return NormalizeValue(value_); }

void IParamDef::SetFromNormalized(double normalized) {
  // A host's NaN or infinity is no position on the control: ignored.
  if (!std::isfinite(normalized)) return;
  double v = DenormalizeValue(normalized);
  // The step grid is anchored at 0, not at the minimum.
  if (kind_ != ParamKind::Continuous) v = std::floor(v / step_ + 0.5) * step_;
  // No lower clamp: normalised values are expected within 0..1.
  value_ = std::min(v, max_);
}

const char* IParamDef::FindDisplayText(int value) const {
  for (const IParamDisplayText& entry : displayTexts_) {
    if (entry.value == value) return entry.text;
  }
  return nullptr;
}

void IParamDef::FormatForHost(double value, bool isNormalized, char* out,
                              bool useDisplayTexts) const {
  if (!out) return;
  double x = isNormalized ? DenormalizeValue(value) : value;
  if (useDisplayTexts && !displayTexts_.empty()) {
    const char* text = FindDisplayText(TruncateToInt(x));
    if (text && text[0] != '\0') {
      CopyText(out, text, kParamTextSize);
      return;
    }
  }
  if (negateDisplay_) x = -x;
  if (displayPrecision_ == 0) {
    std::snprintf(out, kParamTextSize, "%d", TruncateToInt(x));
  } else {
    std::snprintf(out, kParamTextSize, "%.*f", displayPrecision_, x);
  }
}

const char* IParamDef::LabelForHost() const {
  const char* text = FindDisplayText(TruncateToInt(value_));
  if (text && text[0] != '\0') return "";
  return label_;
}

bool IParamDef::ValueFromHostText(const char* text, double* plainValue) const {
  if (!text || !plainValue) return false;
  if (displayTexts_.empty()) {
    double v = std::strtod(text, nullptr);
    // "nan" reads as no number at all; the parameter would ignore it anyway.
    if (std::isnan(v)) return false;
    if (negateDisplay_) v = -v;
    *plainValue = v;
    return true;
  }
  for (const IParamDisplayText& entry : displayTexts_) {
    if (std::strcmp(entry.text, text) == 0) {
      *plainValue = entry.value;
      return true;
    }
  }
  return false;
}

void IParamDef::AddDisplayText(int value, const char* text) {
  IParamDisplayText entry;
  entry.value = value;
  CopyText(entry.text, text, kParamTextSize);
  displayTexts_.push_back(entry);
}

void IParamDef::SetShape(double shape) {
  if (shape != 0.0) shape_ = shape;
}

void IParamDef::SetLabel(const char* label) { CopyText(label_, label, kParamTextSize); }
