#include "framework/IParamDef.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

namespace {

IParamDef Gain() {
  IParamDef p;
  p.InitContinuous("Gain", 0.0, -15.0, 15.0, 0.1, 1.0);
  return p;
}

IParamDef Selector() {
  IParamDef p;
  p.InitInteger("HPF", 0, 0, 2);
  return p;
}

std::string Format(const IParamDef& p, double value, bool normalized = false, bool texts = true) {
  char out[kParamTextSize];
  p.FormatForHost(value, normalized, out, texts);
  return out;
}

}  // namespace

TEST(IParamDef, FreshRecordIsUnsetZeroToOneStepOne) {
  IParamDef p;
  EXPECT_EQ(p.Kind(), ParamKind::Unset);
  EXPECT_EQ(p.Value(), 0.0);
  EXPECT_EQ(p.Min(), 0.0);
  EXPECT_EQ(p.Max(), 1.0);
  EXPECT_EQ(p.Step(), 1.0);
  EXPECT_EQ(p.Shape(), 1.0);
  EXPECT_STREQ(p.Name(), "");
  // An undeclared record still snaps to whole steps from a host.
  p.SetFromNormalized(0.6);
  EXPECT_EQ(p.Value(), 1.0);
}

TEST(IParamDef, InitialisersSetKindOnlyWhenUnset) {
  IParamDef a = Gain();
  EXPECT_EQ(a.Kind(), ParamKind::Continuous);
  IParamDef b = Selector();
  EXPECT_EQ(b.Kind(), ParamKind::Integer);
  EXPECT_EQ(b.Step(), 1.0);
  // A kind once given survives a later initialiser.
  b.InitContinuous("Again", 0.5, 0.0, 1.0, 0.5);
  EXPECT_EQ(b.Kind(), ParamKind::Integer);
}

TEST(IParamDef, DisplayPrecisionCountsStepDecimalsUpToSix) {
  const struct { double step; int decimals; } cases[] = {
      {1.0, 0}, {0.1, 1}, {0.01, 2}, {0.25, 2}, {1e-7, 6}, {5.0, 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.step);
    IParamDef p;
    p.InitContinuous("p", 0.0, 0.0, 10.0, c.step);
    EXPECT_EQ(p.DisplayPrecision(), c.decimals);
  }
}

TEST(IParamDef, MaxIsRaisedToMinPlusStep) {
  IParamDef p;
  p.InitContinuous("p", 3.0, 2.0, 1.0, 0.5);
  EXPECT_EQ(p.Max(), 2.5);
  EXPECT_EQ(p.Value(), 3.0);  // the default itself is not clamped
}

TEST(IParamDef, ZeroShapeKeepsThePreviousShape) {
  IParamDef p;
  p.InitContinuous("p", 0.0, 0.0, 1.0, 0.1, 2.0);
  p.InitContinuous("p", 0.0, 0.0, 1.0, 0.1, 0.0);
  EXPECT_EQ(p.Shape(), 2.0);
}

TEST(IParamDef, NormalisationFollowsTheShapeBothWays) {
  IParamDef p;
  p.InitContinuous("p", 0.0, 10.0, 110.0, 0.01, 2.0);
  EXPECT_DOUBLE_EQ(p.DenormalizeValue(0.5), 10.0 + 0.25 * 100.0);
  p.SetClamped(p.DenormalizeValue(0.5));
  EXPECT_DOUBLE_EQ(p.GetNormalized(), 0.5);
  IParamDef lin = Gain();
  EXPECT_DOUBLE_EQ(lin.DenormalizeValue(0.25), -7.5);
}

TEST(IParamDef, GetNormalizedUsesTheClampedValue) {
  IParamDef p = Gain();
  p.SetFromNormalized(1.0);
  EXPECT_EQ(p.GetNormalized(), 1.0);
  // SetFromNormalized has no lower clamp, so a value below the range can be stored.
  p.SetFromNormalized(-1.0);
  EXPECT_DOUBLE_EQ(p.Value(), -45.0);
  EXPECT_EQ(p.GetNormalized(), 0.0);
}

TEST(IParamDef, SetFromNormalizedSnapsNonContinuousToTheGridAnchoredAtZero) {
  IParamDef p = Selector();
  p.SetFromNormalized(0.5);
  EXPECT_EQ(p.Value(), 1.0);
  p.SetFromNormalized(0.74);
  EXPECT_EQ(p.Value(), 1.0);
  p.SetFromNormalized(0.76);
  EXPECT_EQ(p.Value(), 2.0);
  // Grid anchored at 0, not at the minimum: 0.3..2.3 in steps of 1 snaps to 1, not 1.3.
  IParamDef enumerated;
  enumerated.InitInteger("e", 0, 0, 2);
  enumerated.InitContinuous("e", 0.3, 0.3, 2.3, 1.0);  // keeps Integer kind
  enumerated.SetFromNormalized(0.4);                     // 0.3 + 0.8 = 1.1
  EXPECT_EQ(enumerated.Value(), 1.0);
}

TEST(IParamDef, SetFromNormalizedClampsOnlyAtTheTop) {
  IParamDef p;
  p.InitContinuous("f", 120.0, 50.0, 400.0, 1.0);
  p.SetFromNormalized(1.0);
  EXPECT_EQ(p.Value(), 400.0);
  p.SetFromNormalized(1.5);
  EXPECT_EQ(p.Value(), 400.0);
  IParamDef s = Selector();
  s.SetFromNormalized(1.2);  // 2.4 snaps to 2, below max
  EXPECT_EQ(s.Value(), 2.0);
}

TEST(IParamDef, SetClampedLimitsToTheRange) {
  IParamDef p = Gain();
  p.SetClamped(20.0);
  EXPECT_EQ(p.Value(), 15.0);
  p.SetClamped(-20.0);
  EXPECT_EQ(p.Value(), -15.0);
  p.SetClamped(3.3);
  EXPECT_EQ(p.Value(), 3.3);
}

TEST(IParamDef, FormatForHostWithDecimalsRoundsAndWithoutTruncates) {
  IParamDef gain = Gain();
  EXPECT_EQ(Format(gain, 0.0), "0.0");
  EXPECT_EQ(Format(gain, 12.34), "12.3");
  EXPECT_EQ(Format(gain, -15.0), "-15.0");
  EXPECT_EQ(Format(gain, 0.5, true), "0.0");
  EXPECT_EQ(Format(gain, 0.75, true), "7.5");
  IParamDef sel = Selector();
  EXPECT_EQ(Format(sel, 1.0), "1");
  IParamDef freq;
  freq.InitContinuous("f", 120.0, 50.0, 400.0, 1.0);
  EXPECT_EQ(Format(freq, 120.7), "120");
  EXPECT_EQ(Format(freq, -0.9), "0");  // toward zero, not down
}

TEST(IParamDef, FormatForHostUsesDisplayTextsAndNegation) {
  IParamDef p = Selector();
  p.AddDisplayText(0, "10 Hz");
  p.AddDisplayText(1, "");
  p.AddDisplayText(2, "140 Hz");
  p.AddDisplayText(2, "second entry never wins");
  EXPECT_EQ(Format(p, 0.0), "10 Hz");
  EXPECT_EQ(Format(p, 2.9), "140 Hz");        // truncated to 2
  EXPECT_EQ(Format(p, 1.0), "1");             // empty text falls through to the number
  EXPECT_EQ(Format(p, 0.0, false, false), "0");  // texts not wanted
  EXPECT_EQ(Format(p, 1.0, true), "140 Hz");  // normalised 1.0 is 2
  p.SetNegateDisplay(true);
  EXPECT_EQ(Format(p, 1.0), "-1");
}

TEST(IParamDef, FormatForHostNeverOverrunsItsBuffer) {
  IParamDef p;
  p.InitContinuous("huge", 0.0, -1e300, 1e300, 1e-6);
  char out[kParamTextSize + 8];
  std::memset(out, 'X', sizeof out);
  p.FormatForHost(1e300, false, out, true);
  EXPECT_EQ(out[kParamTextSize], 'X');
  EXPECT_EQ(std::strlen(out), static_cast<size_t>(kParamTextSize - 1));
  IParamDef q;
  q.InitContinuous("int", 0.0, -1e300, 1e300, 1.0);
  q.FormatForHost(1e300, false, out, false);  // beyond int: saturates, no undefined cast
  EXPECT_STREQ(out, "2147483647");
  q.FormatForHost(std::nan(""), false, out, false);
  EXPECT_STREQ(out, "0");
}

TEST(IParamDef, LabelIsHiddenWhileADisplayTextShows) {
  IParamDef p = Selector();
  p.SetLabel("Hz");
  EXPECT_STREQ(p.LabelForHost(), "Hz");
  p.AddDisplayText(0, "Off");
  EXPECT_STREQ(p.LabelForHost(), "");
  p.SetFromNormalized(1.0);
  EXPECT_STREQ(p.LabelForHost(), "Hz");
}

TEST(IParamDef, ValueFromHostTextReadsALeadingNumber) {
  IParamDef p = Gain();
  double v = 99.0;
  ASSERT_TRUE(p.ValueFromHostText("-3.5 dB", &v));
  EXPECT_EQ(v, -3.5);
  ASSERT_TRUE(p.ValueFromHostText("loud", &v));
  EXPECT_EQ(v, 0.0);
  // "nan" reads as no number: no match, so the host is not told a value was set.
  EXPECT_FALSE(p.ValueFromHostText("nan", &v));
  EXPECT_EQ(v, 0.0);
  p.SetNegateDisplay(true);
  ASSERT_TRUE(p.ValueFromHostText("2", &v));
  EXPECT_EQ(v, -2.0);
}

TEST(IParamDef, ValueFromHostTextMatchesDisplayTextsExactly) {
  IParamDef p = Selector();
  p.AddDisplayText(0, "Off");
  p.AddDisplayText(2, "On");
  double v = 7.0;
  ASSERT_TRUE(p.ValueFromHostText("On", &v));
  EXPECT_EQ(v, 2.0);
  EXPECT_FALSE(p.ValueFromHostText("on", &v));
  EXPECT_FALSE(p.ValueFromHostText("1", &v));
  EXPECT_EQ(v, 2.0);
}

TEST(IParamDef, LongTextsAreCutToThirtyOneCharacters) {
  IParamDef p;
  const std::string longName(80, 'n');
  p.InitContinuous(longName.c_str(), 0.0, 0.0, 1.0, 0.1);
  p.SetLabel(longName.c_str());
  p.AddDisplayText(0, longName.c_str());
  EXPECT_EQ(std::string(p.Name()), longName.substr(0, 31));
  EXPECT_EQ(std::string(p.Label()), longName.substr(0, 31));
  EXPECT_EQ(std::string(p.FindDisplayText(0)), longName.substr(0, 31));
  p.InitContinuous(nullptr, 0.0, 0.0, 1.0, 0.1);
  EXPECT_STREQ(p.Name(), "");
}

TEST(IParamDef, ValuesThatAreNoNumberLeaveTheParameterAlone) {
  IParamDef p = Gain();
  p.SetClamped(3.0);
  p.SetClamped(std::nan(""));
  EXPECT_EQ(p.Value(), 3.0);
  p.SetFromNormalized(std::nan(""));
  p.SetFromNormalized(-INFINITY);
  p.SetFromNormalized(INFINITY);
  EXPECT_EQ(p.Value(), 3.0);
  p.SetClamped(-INFINITY);  // a plain infinity still clamps to the nearer bound
  EXPECT_EQ(p.Value(), -15.0);
}
