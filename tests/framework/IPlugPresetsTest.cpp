// Program state and preset bank of the real product on the test binding, plus a
// small multi-slot plug-in for what needs more than ZAVRO's one preset.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "plugin/ZAVRO.h"

namespace {

constexpr int kProgramSize = kParamCount * 8;

// ZAVRO recording the hooks the base runs.
class RecordingZAVRO : public ZAVRO {
public:
  RecordingZAVRO() : ZAVRO(IPlugInstanceInfo{}) {}
  void OnParameterChanged(int paramIdx) override {
    changed.push_back(paramIdx);
    ZAVRO::OnParameterChanged(paramIdx);
  }
  void OnPresetsChangedByHost() override { ++presetsChanged; }
  using ZAVRO::SetCurrentPresetIdx;

  std::vector<int> changed;
  int presetsChanged = 0;
};

std::vector<double> Values(const IPlugBase& plug) {
  std::vector<double> values;
  for (int i = 0; i < plug.NParams(); ++i) values.push_back(plug.GetParam(i)->Value());
  return values;
}

std::vector<double> Defaults(const IPlugBase& plug) {
  std::vector<double> values;
  for (int i = 0; i < plug.NParams(); ++i) values.push_back(plug.GetParam(i)->Default());
  return values;
}

// Values inside every range and away from the defaults: min + 0.3 of the span.
std::vector<double> Distinct(const IPlugBase& plug) {
  std::vector<double> values;
  for (int i = 0; i < plug.NParams(); ++i) {
    const IParamDef* p = plug.GetParam(i);
    values.push_back(p->Min() + 0.3 * (p->Max() - p->Min()));
  }
  return values;
}

void SetValues(IPlugBase& plug, const std::vector<double>& values) {
  for (int i = 0; i < plug.NParams(); ++i) plug.GetParam(i)->SetClamped(values[static_cast<size_t>(i)]);
}

IStateBuffer ProgramOf(const std::vector<double>& values) {
  IStateBuffer state;
  for (double v : values) state.AppendDouble(v);
  return state;
}

IStateBuffer Prefix(const IStateBuffer& whole, int size) {
  IStateBuffer cut;
  cut.AppendBytes(whole.Data(), size);
  return cut;
}

std::vector<int> AllIndices() {
  std::vector<int> indices;
  for (int i = 0; i < kParamCount; ++i) indices.push_back(i);
  return indices;
}

void ExpectInRange(const IPlugBase& plug) {
  for (int i = 0; i < plug.NParams(); ++i) {
    const IParamDef* p = plug.GetParam(i);
    EXPECT_TRUE(p->Value() >= p->Min() && p->Value() <= p->Max()) << "parameter " << i << " = " << p->Value();
  }
}

}  // namespace

TEST(ProgramState, Is216BytesOfPlainValuesInIndexOrder) {
  RecordingZAVRO plug;
  SetValues(plug, Distinct(plug));
  IStateBuffer state;
  ASSERT_TRUE(plug.SerializeParams(state));
  ASSERT_EQ(state.Size(), 216);
  for (int i = 0; i < kParamCount; ++i) {
    double stored;
    std::memcpy(&stored, state.Data() + 8 * i, 8);
    EXPECT_EQ(stored, plug.GetParam(i)->Value()) << "parameter " << i;
  }
}

TEST(ProgramState, RoundTripsIntoAnotherInstanceAndRunsEveryHookInOrder) {
  RecordingZAVRO source;
  SetValues(source, Distinct(source));
  IStateBuffer state;
  ASSERT_TRUE(source.SaveState(state));

  RecordingZAVRO target;
  target.changed.clear();
  EXPECT_EQ(target.LoadState(state, 0), 216);
  EXPECT_EQ(Values(target), Values(source));
  EXPECT_EQ(target.changed, AllIndices());
}

TEST(ProgramState, LoadsFromAnyStartPosition) {
  RecordingZAVRO plug;
  IStateBuffer state;
  state.AppendInt(0x12345678);
  const std::vector<double> values = Distinct(plug);
  state.AppendBuffer(ProgramOf(values));
  EXPECT_EQ(plug.UnserializeParams(state, 4), 4 + 216);
  EXPECT_EQ(Values(plug), values);
}

// A block cut at byte n loads the n / 8 whole values, sets the next parameter to 0
// clamped into its range and leaves the rest alone: 215 bytes load parameters 0 to
// 25 and set 26 to 0, an empty block sets only parameter 0.
TEST(ProgramState, TruncatedBlockLoadsWhatItHoldsAtEveryLength) {
  RecordingZAVRO reference;
  const std::vector<double> before = Distinct(reference);
  const std::vector<double> stored = Defaults(reference);
  const IStateBuffer whole = ProgramOf(stored);
  for (int size = 0; size < kProgramSize; ++size) {
    SCOPED_TRACE("block of " + std::to_string(size) + " bytes");
    RecordingZAVRO plug;
    SetValues(plug, before);
    plug.changed.clear();
    EXPECT_EQ(plug.LoadState(Prefix(whole, size), 0), -1);
    const int cut = size / 8;
    for (int i = 0; i < kParamCount; ++i) {
      const IParamDef* p = plug.GetParam(i);
      const double expected = i < cut ? stored[i] : i == cut ? std::clamp(0.0, p->Min(), p->Max()) : before[i];
      EXPECT_EQ(p->Value(), expected) << "parameter " << i;
    }
    EXPECT_EQ(plug.changed, AllIndices());
  }
}

TEST(ProgramState, NegativeStartChangesNothingButRunsEveryHook) {
  RecordingZAVRO plug;
  SetValues(plug, Distinct(plug));
  plug.changed.clear();
  for (int start : {-1, -8, INT_MIN}) {
    SCOPED_TRACE(start);
    EXPECT_EQ(plug.LoadState(ProgramOf(Defaults(plug)), start), -1);
  }
  EXPECT_EQ(Values(plug), Distinct(plug));
  EXPECT_EQ(plug.changed.size(), 3u * kParamCount);
}

TEST(ProgramState, HostileValuesLoadInsideEveryRange) {
  RecordingZAVRO plug;
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  std::vector<double> hostile(kParamCount, 0.0);
  hostile[kLMLowGain] = 1e300;
  hostile[kLMLowFreq] = -inf;
  hostile[kLMLowMidGain] = inf;
  hostile[kLMLowMidFreq] = nan;
  hostile[kLMHighFreq] = -nan;
  hostile[kReserved10] = 0.7;  // loading clamps but never snaps
  hostile[kLMHPF] = 1.5;
  hostile[kRSHPF] = std::numeric_limits<double>::denorm_min();
  hostile[kMasterBypass] = nan;
  EXPECT_EQ(plug.LoadState(ProgramOf(hostile), 0), 216);
  ExpectInRange(plug);
  EXPECT_EQ(plug.GetParam(kLMLowGain)->Value(), 15.0);
  EXPECT_EQ(plug.GetParam(kLMLowFreq)->Value(), 50.0);
  EXPECT_EQ(plug.GetParam(kLMLowMidGain)->Value(), 15.0);
  // A NaN loads as the parameter's default.
  EXPECT_EQ(plug.GetParam(kLMLowMidFreq)->Value(), 360.0);
  EXPECT_EQ(plug.GetParam(kLMHighFreq)->Value(), 5.0);
  EXPECT_EQ(plug.GetParam(kMasterBypass)->Value(), 1.0);
  EXPECT_EQ(plug.GetParam(kReserved10)->Value(), 0.7);
  EXPECT_EQ(plug.GetParam(kLMHPF)->Value(), 1.5);
}

TEST(ProgramState, HeaderedChunkCutAfterFiveBytesLoadsNothing) {
  // The VST 2.4 chunk path: header read, then the program from where it says.
  RecordingZAVRO plug;
  SetValues(plug, Distinct(plug));
  const std::vector<double> before = Values(plug);
  IStateBuffer chunk;
  WriteStateHeader(chunk);
  chunk.Resize(5);
  int32_t version = 0;
  const int start = ReadStateHeader(chunk, &version);
  EXPECT_EQ(start, -1);
  plug.changed.clear();
  EXPECT_EQ(plug.LoadState(chunk, start), -1);
  EXPECT_EQ(Values(plug), before);
  EXPECT_EQ(plug.changed, AllIndices());

  // A whole headered program loads from byte 8.
  IStateBuffer full;
  WriteStateHeader(full);
  full.AppendBuffer(ProgramOf(Defaults(plug)));
  EXPECT_EQ(full.Size(), 224);
  EXPECT_EQ(plug.LoadState(full, ReadStateHeader(full, &version)), 224);
  EXPECT_EQ(Values(plug), Defaults(plug));
}

TEST(RecallPreset, LoadsAnInitialisedSlotThenRunsEveryHookAndTellsTheHost) {
  RecordingZAVRO plug;
  SetValues(plug, Distinct(plug));
  plug.changed.clear();
  EXPECT_TRUE(plug.RecallPreset(0));
  // The factory preset "-" holds the defaults.
  EXPECT_EQ(plug.GetPreset(0)->name, "-");
  EXPECT_EQ(Values(plug), Defaults(plug));
  EXPECT_EQ(plug.changed, AllIndices());
  EXPECT_EQ(plug.presetsChanged, 1);
  EXPECT_EQ(plug.CurrentPresetIdx(), 0);
}

TEST(Bank, OneSlotIsNameFlagAndProgram222Bytes) {
  RecordingZAVRO plug;
  IStateBuffer bank;
  ASSERT_TRUE(plug.SerializePresets(bank));
  ASSERT_EQ(bank.Size(), 222);
  const std::vector<uint8_t> head = {0x01, 0x00, 0x00, 0x00, '-', 0x01};
  EXPECT_EQ(std::vector<uint8_t>(bank.Data(), bank.Data() + 6), head);
  const IStateBuffer& program = plug.GetPreset(0)->state;
  EXPECT_EQ(std::memcmp(bank.Data() + 6, program.Data(), 216), 0);

  // Behind the header a bank chunk is 230 bytes.
  IStateBuffer chunk;
  WriteStateHeader(chunk);
  plug.SerializePresets(chunk);
  EXPECT_EQ(chunk.Size(), 8 + 222);
}

TEST(Bank, RoundTripsNameAndValuesIntoAnotherInstance) {
  RecordingZAVRO source;
  SetValues(source, Distinct(source));
  source.ModifyCurrentPreset("Warm vocal");
  IStateBuffer bank;
  ASSERT_TRUE(source.SerializePresets(bank));

  RecordingZAVRO target;
  target.changed.clear();
  EXPECT_EQ(target.UnserializePresets(bank, 0), bank.Size());
  EXPECT_EQ(target.GetPreset(0)->name, "Warm vocal");
  EXPECT_EQ(Values(target), Values(source));
  EXPECT_EQ(target.CurrentPresetIdx(), 0);
  // Once from the bank, once from recalling the current preset.
  EXPECT_EQ(target.changed.size(), 2u * kParamCount);

  IStateBuffer again;
  ASSERT_TRUE(target.SerializePresets(again));
  ASSERT_EQ(again.Size(), bank.Size());
  EXPECT_EQ(std::memcmp(again.Data(), bank.Data(), static_cast<size_t>(bank.Size())), 0);
}

// With one slot the recall at the end of a failed load brings back the stored
// program, so a truncated bank leaves the sound as it was.
TEST(Bank, TruncatedAtEveryByteKeepsTheStoredProgram) {
  RecordingZAVRO source;
  SetValues(source, Distinct(source));
  source.ModifyCurrentPreset("Other");
  IStateBuffer bank;
  source.SerializePresets(bank);
  for (int size = 0; size < bank.Size(); ++size) {
    SCOPED_TRACE("bank of " + std::to_string(size) + " bytes");
    RecordingZAVRO plug;
    EXPECT_EQ(plug.UnserializePresets(Prefix(bank, size), 0), -1);
    EXPECT_EQ(Values(plug), Defaults(plug));
    // The name is read as soon as it is whole; a failed read leaves the empty holder.
    EXPECT_EQ(plug.GetPreset(0)->name, size >= 9 ? "Other" : "");
    EXPECT_TRUE(plug.GetPreset(0)->initialised);
  }
}

TEST(Bank, UninitialisedSlotIsRecalledAsUserPreset1HoldingTheLiveValues) {
  RecordingZAVRO plug;
  SetValues(plug, Distinct(plug));
  IStateBuffer bank;
  bank.AppendText("-");
  bank.AppendBool(false);
  EXPECT_EQ(plug.UnserializePresets(bank, 0), 6);
  const IPresetSlot* slot = plug.GetPreset(0);
  EXPECT_TRUE(slot->initialised);
  EXPECT_EQ(slot->name, "user preset 1");
  // The capture replaces the old program rather than adding to it.
  ASSERT_EQ(slot->state.Size(), 216);
  SetValues(plug, Defaults(plug));
  EXPECT_TRUE(plug.RecallPreset(0));
  EXPECT_EQ(Values(plug), Distinct(plug));
}

TEST(Bank, HostileNameFields) {
  RecordingZAVRO reference;
  const IStateBuffer program = ProgramOf(Distinct(reference));

  {
    SCOPED_TRACE("a 300-character name is cut to 255 and the program after it still loads");
    RecordingZAVRO plug;
    IStateBuffer bank;
    bank.AppendText(std::string(300, 'n'));
    bank.AppendBool(true);
    bank.AppendBuffer(program);
    EXPECT_EQ(plug.UnserializePresets(bank, 0), bank.Size());
    EXPECT_EQ(plug.GetPreset(0)->name, std::string(255, 'n'));
    EXPECT_EQ(Values(plug), Distinct(plug));
  }
  {
    SCOPED_TRACE("a length pointing beyond the end leaves the holder empty and fails the flag read");
    RecordingZAVRO plug;
    IStateBuffer bank;
    bank.AppendInt(1000);
    bank.AppendBytes("abc\x01", 4);
    EXPECT_EQ(plug.UnserializePresets(bank, 0), -1);
    EXPECT_EQ(plug.GetPreset(0)->name, "");
    EXPECT_EQ(Values(plug), Defaults(plug));
  }
  {
    SCOPED_TRACE("a negative length gives an empty name and moves back before the start");
    RecordingZAVRO plug;
    IStateBuffer bank;
    bank.AppendInt(-5);
    bank.AppendBuffer(program);
    EXPECT_EQ(plug.UnserializePresets(bank, 0), -1);
    EXPECT_EQ(plug.GetPreset(0)->name, "");
    EXPECT_EQ(Values(plug), Defaults(plug));
  }
  {
    SCOPED_TRACE("a name with a zero byte ends there, the position does not");
    RecordingZAVRO plug;
    IStateBuffer bank;
    bank.AppendInt(4);
    bank.AppendBytes("ab\0c", 4);
    bank.AppendBool(true);
    bank.AppendBuffer(program);
    EXPECT_EQ(plug.UnserializePresets(bank, 0), bank.Size());
    EXPECT_EQ(plug.GetPreset(0)->name, "ab");
  }
  {
    SCOPED_TRACE("a negative start loads nothing and recalls the current preset");
    RecordingZAVRO plug;
    SetValues(plug, Distinct(plug));
    EXPECT_EQ(plug.UnserializePresets(program, -1), -1);
    EXPECT_EQ(plug.GetPreset(0)->name, "-");
    EXPECT_EQ(Values(plug), Defaults(plug));
  }
}

TEST(ModifyCurrentPreset, StoresTheLiveValuesAndRenamesOnlyWithANonEmptyName) {
  RecordingZAVRO plug;
  SetValues(plug, Distinct(plug));
  plug.ModifyCurrentPreset("");
  EXPECT_EQ(plug.GetPreset(0)->name, "-");
  plug.ModifyCurrentPreset(nullptr);
  EXPECT_EQ(plug.GetPreset(0)->name, "-");
  ASSERT_EQ(plug.GetPreset(0)->state.Size(), 216);
  SetValues(plug, Defaults(plug));
  ASSERT_TRUE(plug.RecallPreset(0));
  EXPECT_EQ(Values(plug), Distinct(plug));

  plug.ModifyCurrentPreset("Bright");
  EXPECT_EQ(plug.GetPreset(0)->name, "Bright");
  plug.ModifyCurrentPreset(std::string(400, 'x').c_str());
  EXPECT_EQ(plug.GetPreset(0)->name, std::string(255, 'x'));
  EXPECT_TRUE(plug.GetPreset(0)->initialised);
}

TEST(ModifyCurrentPreset, IgnoresACurrentIndexOutsideTheBank) {
  RecordingZAVRO plug;
  const std::vector<uint8_t> before(plug.GetPreset(0)->state.Data(), plug.GetPreset(0)->state.Data() + 216);
  SetValues(plug, Distinct(plug));
  for (int index : {-1, 1}) {
    plug.SetCurrentPresetIdx(index);
    plug.ModifyCurrentPreset("x");
  }
  EXPECT_EQ(plug.GetPreset(0)->name, "-");
  EXPECT_EQ(std::vector<uint8_t>(plug.GetPreset(0)->state.Data(), plug.GetPreset(0)->state.Data() + 216), before);
}

TEST(RecallPreset, RefusesIndicesOutsideTheBank) {
  RecordingZAVRO plug;
  SetValues(plug, Distinct(plug));
  for (int index : {-1, 1, 1000}) {
    SCOPED_TRACE(index);
    plug.changed.clear();
    EXPECT_FALSE(plug.RecallPreset(index));
    EXPECT_TRUE(plug.changed.empty());
  }
  EXPECT_EQ(plug.CurrentPresetIdx(), 0);
  EXPECT_EQ(plug.presetsChanged, 0);
  EXPECT_EQ(Values(plug), Distinct(plug));
}

namespace {

// Three parameters, four presets, a program format of its own: a count in front
// of the values, so the routes that must go through SaveState/LoadState show.
class BankPlug : public IPlugTest {
public:
  static constexpr int kPresets = 4;
  static IPlugConfig MakeConfig() {
    IPlugConfig c;
    c.nParams = 3;
    c.channelIOText = "2-2";
    c.nPresets = kPresets;
    return c;
  }
  BankPlug() : IPlugTest(IPlugInstanceInfo{}, MakeConfig()) {
    GetParam(0)->InitContinuous("a", 1.0, 0.0, 10.0, 0.5);
    GetParam(1)->InitContinuous("b", -1.0, -5.0, 5.0, 0.1);
    GetParam(2)->InitInteger("c", 2, 0, 3);
  }
  bool SaveState(IStateBuffer& state) override {
    return state.AppendInt(NParams()) && SerializeParams(state);
  }
  int LoadState(const IStateBuffer& state, int position) override {
    int32_t count = 0;
    position = state.ReadInt(&count, position);
    if (count != NParams()) position = -1;
    return UnserializeParams(state, position);
  }
  void OnPresetsChangedByHost() override { ++presetsChanged; }
  int presetsChanged = 0;
};

void ExpectSlot(BankPlug& plug, int index, const std::string& name, bool initialised) {
  SCOPED_TRACE("slot " + std::to_string(index));
  EXPECT_EQ(plug.GetPreset(index)->name, name);
  EXPECT_EQ(plug.GetPreset(index)->initialised, initialised);
}

}  // namespace

TEST(BankPlug, FillDefaultPresetsFillsTheFirstUninitialisedSlotsInTheProductFormat) {
  BankPlug plug;
  plug.FillDefaultPresets("-", 1);
  plug.FillDefaultPresets(nullptr, 2);
  ExpectSlot(plug, 0, "-", true);
  ExpectSlot(plug, 1, "Empty", true);
  ExpectSlot(plug, 2, "Empty", true);
  ExpectSlot(plug, 3, "empty", false);
  EXPECT_EQ(plug.GetPreset(1)->state.Size(), 4 + 24);
  plug.FillDefaultPresets("Empty", 10);
  ExpectSlot(plug, 3, "Empty", true);
  plug.FillDefaultPresets("late", 1);  // nothing left to fill
  for (int i = 0; i < BankPlug::kPresets; ++i) EXPECT_NE(plug.GetPreset(i)->name, "late");
}

TEST(BankPlug, UserPresetNumberCountsEveryNameContainingTheWords) {
  BankPlug plug;
  plug.GetPreset(0)->SetName("my user preset");
  plug.GetPreset(1)->SetName("User Preset");  // other case: not counted
  plug.GetPreset(3)->SetName("user preset 7");
  EXPECT_TRUE(plug.RecallPreset(2));
  ExpectSlot(plug, 2, "user preset 3", true);
  EXPECT_EQ(plug.CurrentPresetIdx(), 2);
  EXPECT_EQ(plug.presetsChanged, 1);
  // The slot itself counts under its old name.
  EXPECT_TRUE(plug.RecallPreset(3));
  ExpectSlot(plug, 3, "user preset 4", true);
}

TEST(BankPlug, BankRoundTripsEverySlotThroughTheProductFormat) {
  BankPlug source;
  source.FillDefaultPresets("zero", 1);
  source.GetParam(0)->SetClamped(7.5);
  ASSERT_TRUE(source.RecallPreset(2));  // captures 7.5 as "user preset 1"
  source.GetParam(1)->SetClamped(3.3);
  IStateBuffer bank;
  ASSERT_TRUE(source.SerializePresets(bank));
  // Names "zero", "empty", "user preset 1", "empty"; two programs of 4 + 24 bytes.
  EXPECT_EQ(bank.Size(), (4 + 4 + 1 + 28) + (4 + 5 + 1) + (4 + 13 + 1 + 28) + (4 + 5 + 1));

  BankPlug target;
  EXPECT_EQ(target.UnserializePresets(bank, 0), bank.Size());
  ExpectSlot(target, 0, "zero", true);
  ExpectSlot(target, 1, "empty", false);
  ExpectSlot(target, 2, "user preset 1", true);
  ExpectSlot(target, 3, "empty", false);
  // The current preset (0) is recalled at the end.
  EXPECT_EQ(target.GetParam(0)->Value(), 1.0);
  ASSERT_TRUE(target.RecallPreset(2));
  EXPECT_EQ(target.GetParam(0)->Value(), 7.5);
  EXPECT_EQ(target.GetParam(1)->Value(), -1.0);
}

TEST(BankPlug, FailedNameReadCarriesThePreviousSlotsNameAndKeepsTheFlag) {
  BankPlug plug;
  IStateBuffer bank;
  bank.AppendText("first");
  bank.AppendBool(false);
  bank.AppendInt(50);  // the second name's length points beyond the end
  bank.AppendBytes("xy", 2);
  EXPECT_EQ(plug.UnserializePresets(bank, 0), -1);
  ExpectSlot(plug, 0, "user preset 1", true);  // recalled as the current preset
  ExpectSlot(plug, 1, "first", false);
  ExpectSlot(plug, 2, "empty", false);
}

TEST(BankPlug, SlotWhoseProgramFailsToLoadStillSavesAsAWholeBank) {
  BankPlug plug;
  plug.FillDefaultPresets("-", 1);
  IStateBuffer bank;
  bank.AppendText("-");
  bank.AppendBool(false);
  bank.AppendText("broken");
  bank.AppendBool(true);
  bank.AppendInt(99);  // not this plug-in's program
  EXPECT_EQ(plug.UnserializePresets(bank, 0), -1);
  ExpectSlot(plug, 1, "broken", true);
  IStateBuffer saved;
  ASSERT_TRUE(plug.SerializePresets(saved));
  BankPlug reloaded;
  EXPECT_EQ(reloaded.UnserializePresets(saved, 0), saved.Size());
  for (int i = 0; i < BankPlug::kPresets; ++i) {
    ExpectSlot(reloaded, i, plug.GetPreset(i)->name, plug.GetPreset(i)->initialised);
  }
}
