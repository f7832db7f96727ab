#pragma once
// One automatable parameter: a plain value with its range, step, response curve
// and the rules that turn it into text for a host. Hosts and the editor exchange
// the normalised form 0..1.
//
// None of these operations locks: callers on more than one thread hold the
// plug-in's instance lock around them.

#include <cstdint>
#include <vector>

enum class ParamKind : int32_t {
  Unset = 0,
  Boolean = 1,
  Integer = 2,
  Enumerated = 3,
  Continuous = 4,
};

// Fixed text fields hold up to this many characters plus the terminator.
constexpr int kParamTextSize = 32;

struct IParamDisplayText {
  int32_t value = 0;
  char text[kParamTextSize] = {};
};

class IParamDef {
public:
  IParamDef() = default;

  void InitContinuous(const char* name, double defaultValue, double min, double max, double step,
                      double shape = 1.0);
  void InitInteger(const char* name, int defaultValue, int min, int max);
  // Whole values 0 .. nValues - 1 (or 0 and 1), each named with AddDisplayText;
  // the editor offers them as a menu.
  void InitEnum(const char* name, int defaultValue, int nValues);
  void InitBool(const char* name, bool defaultValue);

  // Both ignore values that are no number (NaN; for normalised values also infinities).
  void SetClamped(double plainValue);
  void SetFromNormalized(double normalized);
  double GetNormalized() const;
  double DenormalizeValue(double normalized) const;
  // Normalised form of any plain value, from the value clamped into the range.
  double NormalizeValue(double plainValue) const;

  // The first display text whose value matches, or null.
  const char* FindDisplayText(int value) const;
  // Writes at most kParamTextSize bytes, always terminated.
  void FormatForHost(double value, bool isNormalized, char* out, bool useDisplayTexts) const;
  const char* LabelForHost() const;
  // False ("no match") when display texts exist and none equals the text, or
  // when the text reads as no number ("nan").
  bool ValueFromHostText(const char* text, double* plainValue) const;

  // Display texts and negated display: no operation of the product sets them,
  // but every lookup honours them.
  void AddDisplayText(int value, const char* text);
  void SetNegateDisplay(bool negate) { negateDisplay_ = negate; }
  void SetShape(double shape);
  void SetLabel(const char* label);
  void SetCanAutomate(bool canAutomate) { canAutomate_ = canAutomate; }

  ParamKind Kind() const { return kind_; }
  double Value() const { return value_; }
  double Min() const { return min_; }
  double Max() const { return max_; }
  double Step() const { return step_; }
  double Shape() const { return shape_; }
  double Default() const { return default_; }
  int DisplayPrecision() const { return displayPrecision_; }
  const char* Name() const { return name_; }
  const char* Label() const { return label_; }
  const char* Group() const { return group_; }
  bool NegateDisplay() const { return negateDisplay_; }
  bool CanAutomate() const { return canAutomate_; }
  int DisplayTextCount() const { return static_cast<int>(displayTexts_.size()); }
  const IParamDisplayText& DisplayTextAt(int i) const { return displayTexts_[i]; }
  // Current value truncated toward zero, as switches are read.
  int IntValue() const { return static_cast<int>(value_); }

private:
  ParamKind kind_ = ParamKind::Unset;
  double value_ = 0.0;
  double min_ = 0.0;
  double max_ = 1.0;
  double step_ = 1.0;
  double shape_ = 1.0;
  double default_ = 0.0;
  int32_t displayPrecision_ = 0;
  char name_[kParamTextSize] = {};
  char label_[kParamTextSize] = {};
  char group_[kParamTextSize] = {};
  bool negateDisplay_ = false;
  bool canAutomate_ = true;
  std::vector<IParamDisplayText> displayTexts_;
};

// Copies at most size - 1 characters and always terminates; a null source gives "".
void CopyText(char* dst, const char* src, int size);
