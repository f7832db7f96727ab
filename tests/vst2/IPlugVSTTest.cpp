// IPlugVST with a small test product: what the binding tells the host, asks of
// it and hands the product, for configurations the equaliser does not have
// (MIDI, four channels, state chunks, an instrument, an editor).
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include <xmmintrin.h>

#include "framework/IFlushToZeroScope.h"
#include "graphics/IGraphicsHeadless.h"
#include "tests/support/TestSignals.h"
#include "tests/support/Vst2TestHost.h"
#include "vst2/IPlugVST.h"

namespace {
constexpr int kGain = 0;    // continuous -15..15, step 0.1
constexpr int kSwitch = 1;  // integer 0..2

IPlugConfig TestConfig(const char* io = "1-1 2-2") {
  IPlugConfig c;
  c.nParams = 2;
  c.channelIOText = io;
  c.nPresets = 2;
  c.effectName = "TestFx";
  c.vendorName = "Tests";
  c.version = 0x00010203;
  c.uniqueId = FourCharCode('T', 'e', 's', 't');
  return c;
}

// Doubles its inputs plus a channel offset, and records what it was handed.
class TestProduct : public IPlugVST {
public:
  TestProduct(audioMasterCallback callback, const IPlugConfig& config)
      : IPlugVST(IPlugInstanceInfo{callback}, config) {
    GetParam(kGain)->InitContinuous("Gain", 0.0, -15.0, 15.0, 0.1);
    GetParam(kSwitch)->InitInteger("Switch", 0, 0, 2);
    ++alive;
  }
  ~TestProduct() override { --alive; }

  void ProcessBlock(double** inputs, double** outputs, int nFrames) override {
    blocks.push_back(nFrames);
    fpModes.push_back(_mm_getcsr());
    std::vector<std::vector<double>> seen(static_cast<size_t>(NInChannels()));
    for (int c = 0; c < NInChannels(); ++c) seen[c].assign(inputs[c], inputs[c] + nFrames);
    inputsSeen.push_back(seen);
    for (int c = 0; c < NOutChannels(); ++c) {
      for (int j = 0; j < nFrames; ++j) {
        outputs[c][j] = (c < NInChannels() ? 2.0 * seen[c][j] : 0.0) + 0.001 * (c + 1);
      }
    }
  }
  void OnParameterChanged(int paramIdx) override { changed.push_back(paramIdx); }
  void OnReset() override { ++resets; }
  void OnActiveChanged(bool active) override { activeChanges.push_back(active); }
  void HandleSysEx(const ISysExMessage& message) override {
    sysexIn.emplace_back(message.data, message.data + message.size);
    SendSysExToHost(message);
  }

  static int alive;
  std::vector<int> blocks;
  std::vector<unsigned> fpModes;
  std::vector<std::vector<std::vector<double>>> inputsSeen;
  std::vector<int> changed;
  int resets = 0;
  std::vector<bool> activeChanges;
  std::vector<std::vector<uint8_t>> sysexIn;
};
int TestProduct::alive = 0;

// A product and its scripted host; the record is claimed by the host like one
// coming from the entry point.
struct Rig {
  explicit Rig(const IPlugConfig& config = TestConfig()) {
    plug = new TestProduct(&Vst2TestHost::Callback, config);
    effect = plug->Effect();
    effect->resvd1 = reinterpret_cast<VstIntPtr>(&host);
  }
  ~Rig() {
    if (effect) Dispatch(effect, effClose);
  }
  Vst2TestHost host;
  TestProduct* plug = nullptr;
  AEffect* effect = nullptr;
};
}  // namespace

TEST(IPlugVSTRecord, FlagsAndVersionFollowTheConfiguration) {
  Rig stereo;
  EXPECT_EQ(stereo.effect->flags, 4120);
  EXPECT_EQ(stereo.effect->version, 10203);
  EXPECT_EQ(Dispatch(stereo.effect, effGetVendorVersion), 10203);
  EXPECT_EQ(stereo.effect->numPrograms, 2);
  EXPECT_EQ(stereo.plug->BlockSize(), 1024);

  Rig noMono(TestConfig("2-2"));
  EXPECT_EQ(noMono.effect->flags, 16 + 4096) << "no can-mono flag without a 1-in pair";

  IPlugConfig synth = TestConfig();
  synth.isInstrument = true;
  Rig instrument(synth);
  EXPECT_EQ(Dispatch(instrument.effect, effGetPlugCategory), 2);
  EXPECT_EQ(Dispatch(stereo.effect, effGetPlugCategory), 1);

  stereo.plug->SetLatencySamples(64);
  EXPECT_EQ(stereo.effect->initialDelay, 64);
  EXPECT_TRUE(stereo.host.Calls().empty()) << "the host is not told of latency";
}

TEST(IPlugVSTRecord, AttachedEditorAddsTheFlagAndTheRectangle) {
  Rig rig;
  ERect* rect = nullptr;
  EXPECT_EQ(Dispatch(rig.effect, effEditGetRect, 0, 0, &rect), 0);
  rig.plug->AttachEditor(new IGraphicsHeadless(rig.plug, 1002, 476, 25));
  EXPECT_EQ(rig.effect->flags, 4121);
  EXPECT_EQ(Dispatch(rig.effect, effEditGetRect, 0, 0, nullptr), 0);
  ASSERT_EQ(Dispatch(rig.effect, effEditGetRect, 0, 0, &rect), 1);
  ASSERT_NE(rect, nullptr);
  EXPECT_EQ(rect->top, 0);
  EXPECT_EQ(rect->left, 0);
  EXPECT_EQ(rect->bottom, 476);
  EXPECT_EQ(rect->right, 1002);
  rig.plug->ApplyEditorSize(10, 10);
  EXPECT_EQ(rect->right, 1002) << "the rectangle follows the editor, not the arguments";
  EXPECT_EQ(Dispatch(rig.effect, effEditClose), 1);
}

TEST(IPlugVSTDispatcher, LifecycleRequestsReachTheProduct) {
  Rig rig;
  Dispatch(rig.effect, effOpen);
  EXPECT_EQ(rig.plug->changed, (std::vector<int>{0, 1}));
  Dispatch(rig.effect, effSetSampleRate, 0, 0, nullptr, 96000.0f);
  EXPECT_EQ(rig.plug->SampleRate(), 96000.0);
  Dispatch(rig.effect, effSetBlockSize, 0, 333);
  EXPECT_EQ(rig.plug->BlockSize(), 333);
  EXPECT_EQ(rig.plug->resets, 2);
  Dispatch(rig.effect, effMainsChanged, 0, 1);
  Dispatch(rig.effect, effMainsChanged, 0, 0);
  EXPECT_EQ(rig.plug->activeChanges, (std::vector<bool>{true, false}));
  EXPECT_EQ(rig.plug->resets, 3) << "suspending resets";
}

TEST(IPlugVSTDispatcher, CloseDestroysTheInstanceExactlyOnce) {
  const int before = TestProduct::alive;
  auto* plug = new TestProduct(nullptr, TestConfig());
  AEffect* effect = plug->Effect();
  EXPECT_EQ(TestProduct::alive, before + 1);
  EXPECT_EQ(Dispatch(effect, effClose), 0);
  EXPECT_EQ(TestProduct::alive, before);
  // A second close of the same record (through the function the host already
  // holds; the record itself is gone) reaches nothing.
  EXPECT_EQ(IPlugVST::VSTDispatcher(effect, effClose, 0, 0, nullptr, 0.0f), 0);
  EXPECT_EQ(TestProduct::alive, before);

  AEffect orphan = {};
  EXPECT_EQ(IPlugVST::VSTDispatcher(&orphan, effGetVstVersion, 0, 0, nullptr, 0.0f), 0)
      << "a record without an instance answers 0";
  EXPECT_EQ(IPlugVST::VSTDispatcher(nullptr, effOpen, 0, 0, nullptr, 0.0f), 0);
  EXPECT_EQ(IPlugVST::VSTGetParameter(&orphan, 0), 0.0f);
}

TEST(IPlugVSTDispatcher, VendorSpecificRequests) {
  Rig rig;
  AEffect* e = rig.effect;
  EXPECT_EQ(Dispatch(e, effVendorSpecific, 8, kSwitch), 0xBEEF);
  EXPECT_EQ(Dispatch(e, effVendorSpecific, 8, kGain), 0);
  EXPECT_EQ(Dispatch(e, effVendorSpecific, 8, 7), 0);
  char text[32];
  EXPECT_EQ(Dispatch(e, effVendorSpecific, 7, kGain, text, 0.75f), 0xBEEF);
  EXPECT_STREQ(text, "7.5");
  std::memset(text, 'x', sizeof text);
  EXPECT_EQ(Dispatch(e, effVendorSpecific, 7, 99, text, 0.75f), 0xBEEF);
  EXPECT_EQ(text[0], 'x') << "an unknown parameter gets no text";
  EXPECT_EQ(Dispatch(e, effVendorSpecific, 7, kGain, nullptr, 0.75f), 0);
  EXPECT_EQ(Dispatch(e, effVendorSpecific, 0x73744341, 0x57686565, nullptr, 1.0f), 0);

  MidiKeyName key = {};
  key.thisKeyNumber = 60;
  std::strcpy(key.keyName, "old");
  EXPECT_EQ(Dispatch(e, effGetMidiKeyName, 0, 0, &key), 0);
  EXPECT_STREQ(key.keyName, "");
  EXPECT_EQ(Dispatch(e, effGetMidiKeyName), 0);
}

TEST(IPlugVSTDispatcher, SetProgramCapturesLiveValuesOnlyWithoutChunks) {
  Rig plain;
  Rig chunked([] {
    IPlugConfig c = TestConfig();
    c.doesStateChunks = true;
    return c;
  }());
  for (Rig* rig : {&plain, &chunked}) {
    rig->plug->FillDefaultPresets("Empty", 2);
    rig->effect->setParameter(rig->effect, kGain, 1.0f);
    Dispatch(rig->effect, effSetProgram, 0, 1);
    Dispatch(rig->effect, effSetProgram, 0, 0);
  }
  EXPECT_FLOAT_EQ(plain.effect->getParameter(plain.effect, kGain), 1.0f);
  EXPECT_FLOAT_EQ(chunked.effect->getParameter(chunked.effect, kGain), 0.5f)
      << "with chunks the preset keeps its stored values";
}

TEST(IPlugVSTChunks, TheBlockJustHandedOutCanBeHandedBack) {
  Rig rig;
  rig.plug->FillDefaultPresets("Empty", 2);
  rig.effect->setParameter(rig.effect, kGain, 0.9f);
  for (VstInt32 index : {0, 1}) {
    SCOPED_TRACE(index);
    void* data = nullptr;
    const VstIntPtr size = Dispatch(rig.effect, effGetChunk, index, 0, &data);
    ASSERT_GT(size, 0);
    EXPECT_EQ(Dispatch(rig.effect, effSetChunk, index, size, data), 1);
    EXPECT_FLOAT_EQ(rig.effect->getParameter(rig.effect, kGain), 0.9f);
  }
}

TEST(IPlugVSTChunks, OldBankVersionsLoadAsOneProgram) {
  Rig rig;
  IStateBuffer block;
  block.AppendInt(kStateMagic);
  block.AppendInt(kStateVersion - 1);
  block.AppendDouble(-3.0);
  block.AppendDouble(2.0);
  EXPECT_EQ(Dispatch(rig.effect, effSetChunk, 0, block.Size(), block.Data()), 1);
  EXPECT_FLOAT_EQ(rig.effect->getParameter(rig.effect, kGain), 0.4f);
  EXPECT_FLOAT_EQ(rig.effect->getParameter(rig.effect, kSwitch), 1.0f);

  // A block that ends early is refused and changes nothing.
  IStateBuffer shortBlock;
  shortBlock.AppendDouble(6.0);
  EXPECT_EQ(Dispatch(rig.effect, effSetChunk, 1, shortBlock.Size(), shortBlock.Data()), 0);
  EXPECT_FLOAT_EQ(rig.effect->getParameter(rig.effect, kGain), 0.4f);
  EXPECT_FLOAT_EQ(rig.effect->getParameter(rig.effect, kSwitch), 1.0f) << "refused: nothing loaded";
}

TEST(IPlugVSTChunks, RefusedBankLeavesValuesPresetsAndNamesAsTheyWere) {
  Rig rig;
  rig.plug->FillDefaultPresets("Empty", 2);
  Dispatch(rig.effect, effSetProgramName, 0, 0, const_cast<char*>("Theirs"));
  void* data = nullptr;
  const VstIntPtr size = Dispatch(rig.effect, effGetChunk, 0, 0, &data);
  std::vector<char> bank(static_cast<char*>(data), static_cast<char*>(data) + size);
  Dispatch(rig.effect, effSetProgramName, 0, 0, const_cast<char*>("Mine"));
  rig.effect->setParameter(rig.effect, kGain, 0.9f);
  // Cut inside the second slot, after the first has loaded.
  EXPECT_EQ(Dispatch(rig.effect, effSetChunk, 0, size - 4, bank.data()), 0);
  EXPECT_FLOAT_EQ(rig.effect->getParameter(rig.effect, kGain), 0.9f);
  char name[kVstMaxProgNameLen + 1] = {};
  Dispatch(rig.effect, effGetProgramName, 0, 0, name);
  EXPECT_STREQ(name, "Mine");
}

// --- Calls to the host ---------------------------------------------------------------

TEST(IPlugVSTHostCalls, EditorGesturesReachTheHostUnsnapped) {
  Rig rig;
  rig.plug->BeginParameterEdit(kSwitch);
  rig.plug->SetParameterFromEditor(kSwitch, 0.3);
  rig.plug->EndParameterEdit(kSwitch);
  rig.plug->NotifyHostProgramChanged();
  const auto calls = rig.host.Calls();
  ASSERT_EQ(calls.size(), 4u);
  EXPECT_EQ(calls[0].opcode, audioMasterBeginEdit);
  EXPECT_EQ(calls[0].index, kSwitch);
  EXPECT_EQ(calls[1].opcode, audioMasterAutomate);
  EXPECT_EQ(calls[1].index, kSwitch);
  EXPECT_FLOAT_EQ(calls[1].opt, 0.3f) << "the value the control sent, not the snapped 0.5";
  EXPECT_EQ(calls[2].opcode, audioMasterEndEdit);
  EXPECT_EQ(calls[3].opcode, audioMasterUpdateDisplay);
  EXPECT_FLOAT_EQ(rig.effect->getParameter(rig.effect, kSwitch), 0.5f);
}

TEST(IPlugVSTHostCalls, ProcessLevelTellsOffline) {
  Rig rig;
  rig.host.processLevel = kVstProcessLevelOffline;
  EXPECT_TRUE(rig.plug->HostIsOffline());
  rig.host.processLevel = kVstProcessLevelRealtime;
  EXPECT_FALSE(rig.plug->HostIsOffline());
}

TEST(IPlugVSTHostCalls, WithoutHostCallbackEveryQueryAnswersNothing) {
  TestProduct* plug = new TestProduct(nullptr, TestConfig());
  EXPECT_EQ(plug->QuerySamplePosition(), 0);
  EXPECT_EQ(plug->QueryTempo(), 0.0);
  EXPECT_FALSE(plug->HostIsOffline());
  EXPECT_EQ(plug->GetHostKind(), HostKind::Unmatched);
  plug->SendParameterToHost(0, 0.5);
  Dispatch(plug->Effect(), effClose);
}

TEST(IPlugVSTHostCalls, HostKindsFromProductStrings) {
  struct Case {
    const char* product;
    VstIntPtr version;
    HostKind kind;
    int32_t hostVersion;
  } cases[] = {
      {"Cubase VST", 50003, HostKind::Cubase, 0x50003},
      {"REAPER", 10203, HostKind::Reaper, 0x10203},
      {"Ableton Live", 0, HostKind::Live, 0},
      {"Studio One (PreSonus)", 0, HostKind::PreSonus, 0},
      {"Nuendo and Cubase", 0, HostKind::Cubase, 0},
      {"", 70300, HostKind::Unmatched, 0},
      {"Some Host", 0, HostKind::Unmatched, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.product);
    Rig rig;
    rig.host.productString = c.product;
    rig.host.vendorVersion = c.version;
    Dispatch(rig.effect, effOpen);
    EXPECT_EQ(rig.plug->GetHostKind(), c.kind);
    EXPECT_EQ(rig.plug->HostVersion(), c.hostVersion);
    rig.host.productString = "Cubase";
    EXPECT_EQ(rig.plug->GetHostKind(), c.kind) << "identified once";
    EXPECT_EQ(rig.host.CallsOf(audioMasterGetProductString).size(), 1u);
  }
}

// --- Transport --------------------------------------------------------------------

TEST(IPlugVSTTransport, SamplePositionRoundsAndRefusesNegatives) {
  Rig rig;
  EXPECT_EQ(rig.plug->QuerySamplePosition(), 0) << "no time info";
  rig.host.hasTimeInfo = true;
  struct Case {
    double position;
    int expected;
  } cases[] = {{1000.4, 1000}, {1000.5, 1001}, {-3.0, 0}, {0.0, 0}, {1e12, 2147483647}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.position);
    rig.host.timeInfo.samplePos = c.position;
    EXPECT_EQ(rig.plug->QuerySamplePosition(), c.expected);
  }
  EXPECT_EQ(rig.host.CallsOf(audioMasterGetTime).back().value, 0);
}

TEST(IPlugVSTTransport, TempoAndTimeSignatureAcceptZeroAloneButTransportWantsPositive) {
  Rig rig;
  rig.host.hasTimeInfo = true;
  VstTimeInfo& t = rig.host.timeInfo;
  t.flags = kVstTempoValid | kVstTimeSigValid;
  t.tempo = 0.0;
  t.timeSigNumerator = 0;
  t.timeSigDenominator = 4;
  t.samplePos = 512.0;

  EXPECT_EQ(rig.plug->QueryTempo(), 0.0);
  EXPECT_EQ(rig.host.CallsOf(audioMasterGetTime).back().value, kVstTempoValid);
  int num = -1, den = -1;
  rig.plug->QueryTimeSignature(&num, &den);
  EXPECT_EQ(num, 0);
  EXPECT_EQ(den, 4);
  EXPECT_EQ(rig.host.CallsOf(audioMasterGetTime).back().value, kVstTimeSigValid);

  ITransportInfo info;
  info.tempo = 99.0;
  info.numerator = 7;
  info.denominator = 8;
  rig.plug->QueryTransport(&info);
  EXPECT_EQ(rig.host.CallsOf(audioMasterGetTime).back().value, 0x3E00);
  EXPECT_EQ(info.tempo, 99.0) << "tempo 0 leaves the record's tempo";
  EXPECT_EQ(info.numerator, 7);
  EXPECT_EQ(info.denominator, 8);
  EXPECT_EQ(info.samplePosition, 512.0);

  t.tempo = 120.0;
  t.timeSigNumerator = 3;
  EXPECT_EQ(rig.plug->QueryTempo(), 120.0);
  t.flags = 0;
  EXPECT_EQ(rig.plug->QueryTempo(), 0.0) << "not valid";
  rig.plug->QueryTimeSignature(&num, &den);
  EXPECT_EQ(num, 0);
  EXPECT_EQ(den, 0);
}

TEST(IPlugVSTTransport, TransportTakesOnlyValidFields) {
  Rig rig;
  rig.host.hasTimeInfo = true;
  VstTimeInfo& t = rig.host.timeInfo;
  t.samplePos = 44100.0;
  t.ppqPos = 8.5;
  t.tempo = 140.0;
  t.barStartPos = 8.0;
  t.cycleStartPos = 4.0;
  t.cycleEndPos = -1.0;
  t.timeSigNumerator = 6;
  t.timeSigDenominator = 8;

  ITransportInfo untouched;
  untouched.samplePosition = -5.0;
  t.flags = kVstTransportPlaying;  // none of the five requested fields
  rig.plug->QueryTransport(&untouched);
  EXPECT_EQ(untouched.samplePosition, -5.0);
  EXPECT_FALSE(untouched.transportRunning);

  t.flags = kVstPpqPosValid | kVstTempoValid | kVstBarsValid | kVstCyclePosValid | kVstTimeSigValid |
            kVstTransportPlaying | kVstTransportCycleActive;
  ITransportInfo info;
  rig.plug->QueryTransport(&info);
  EXPECT_EQ(info.samplePosition, 44100.0);
  EXPECT_EQ(info.ppqPosition, 8.5);
  EXPECT_EQ(info.tempo, 140.0);
  EXPECT_EQ(info.lastBarPosition, 8.0);
  EXPECT_EQ(info.cycleStart, 0.0) << "a negative cycle end drops both";
  EXPECT_EQ(info.cycleEnd, 0.0);
  EXPECT_EQ(info.numerator, 6);
  EXPECT_EQ(info.denominator, 8);
  EXPECT_TRUE(info.transportRunning);
  EXPECT_TRUE(info.cycleActive);
}

// --- MIDI ---------------------------------------------------------------------------

TEST(IPlugVSTMidi, EventsInAreHandedOnAndEventsOutAreWellFormed) {
  IPlugConfig config = TestConfig();
  config.doesMidi = true;
  Rig rig(config);
  AEffect* e = rig.effect;
  EXPECT_EQ(Dispatch(e, effCanDo, 0, 0, const_cast<char*>("receiveVstMidiEvent")), 1);
  EXPECT_EQ(Dispatch(e, effCanDo, 0, 0, const_cast<char*>("sendVstEvents")), 1);

  VstMidiEvent note = {};
  note.type = kVstMidiType;
  note.byteSize = 24;  // some hosts send the old size: it is not checked
  note.deltaFrames = 17;
  note.midiData[0] = static_cast<char>(0x90);
  note.midiData[1] = 60;
  note.midiData[2] = 100;
  char dump[] = {static_cast<char>(0xF0), 0x7E, 0x01, static_cast<char>(0xF7)};
  VstMidiSysexEvent sysex = {};
  sysex.type = kVstSysExType;
  sysex.byteSize = sizeof sysex;
  sysex.deltaFrames = 3;
  sysex.dumpBytes = 4;
  sysex.sysexDump = dump;
  VstEvent unknown = {};
  unknown.type = 4;
  struct {
    VstInt32 numEvents;
    VstIntPtr reserved;
    VstEvent* events[4];
  } events = {4, 0, {reinterpret_cast<VstEvent*>(&note), nullptr, &unknown, reinterpret_cast<VstEvent*>(&sysex)}};
  EXPECT_EQ(Dispatch(e, effProcessEvents, 0, 0, &events), 1);
  EXPECT_EQ(Dispatch(e, effProcessEvents), 0);

  // The base hands incoming notes straight back to the host.
  ASSERT_EQ(rig.host.midiSent.size(), 1u);
  const VstMidiEvent& sent = rig.host.midiSent[0];
  EXPECT_EQ(sent.type, kVstMidiType);
  EXPECT_EQ(sent.byteSize, 32);
  EXPECT_EQ(sent.deltaFrames, 17);
  EXPECT_EQ(static_cast<uint8_t>(sent.midiData[0]), 0x90);
  EXPECT_EQ(sent.midiData[1], 60);
  EXPECT_EQ(sent.midiData[2], 100);
  EXPECT_EQ(sent.midiData[3], 0);
  EXPECT_EQ(sent.noteLength, 0);

  ASSERT_EQ(rig.plug->sysexIn.size(), 1u);
  EXPECT_EQ(rig.plug->sysexIn[0].size(), 4u);
  ASSERT_EQ(rig.host.sysexSent.size(), 1u);
  EXPECT_EQ(rig.host.sysexSent[0].byteSize, 48);
  EXPECT_EQ(rig.host.sysexSent[0].deltaFrames, 3);
  EXPECT_EQ(rig.host.sysexSent[0].dumpBytes, 4);
  EXPECT_EQ(rig.host.sysexBytes[0], std::vector<char>(dump, dump + 4));

  rig.host.processEventsAnswer = 0;
  EXPECT_FALSE(rig.plug->SendMidiToHost(IMidiMessage{}));

  // A block's events are held in a fixed store, which a processing call frees.
  rig.host.processEventsAnswer = 1;
  int held = 0;
  while (held < 100000 && rig.plug->SendMidiToHost(IMidiMessage{})) ++held;
  EXPECT_LT(held, 100000);
  float silence[4] = {};
  float* io[2] = {silence, silence};
  e->processReplacing(e, io, io, 4);
  EXPECT_TRUE(rig.plug->SendMidiToHost(IMidiMessage{}));
}

TEST(IPlugVSTMidi, OnlyWellFormedEventsInsideTheBlockAreHandedOn) {
  IPlugConfig config = TestConfig();
  config.doesMidi = true;
  Rig rig(config);
  Dispatch(rig.effect, effSetBlockSize, 0, 64);
  VstMidiEvent midi[7] = {};
  const VstInt32 deltas[7] = {0, 63, -1, 64, INT_MIN, 5, 5};
  const uint8_t statuses[7] = {0x90, 0xB0, 0x90, 0x90, 0x90, 0x3C, 0x00};
  char dump[2] = {static_cast<char>(0xF0), static_cast<char>(0xF7)};
  VstMidiSysexEvent sysex[3] = {};
  struct {
    VstInt32 numEvents;
    VstIntPtr reserved;
    VstEvent* events[10];
  } events = {10, 0, {}};
  for (int i = 0; i < 7; ++i) {
    midi[i] = {kVstMidiType, 32, deltas[i], 0, 0, 0, {static_cast<char>(statuses[i])}, 0, 0, 0, 0};
    events.events[i] = reinterpret_cast<VstEvent*>(&midi[i]);
  }
  for (int i = 0; i < 3; ++i) {
    sysex[i] = {kVstSysExType, 48, i == 1 ? 64 : 0, 0, i == 2 ? -2 : 2, 0, dump, 0};
    events.events[7 + i] = reinterpret_cast<VstEvent*>(&sysex[i]);
  }
  EXPECT_EQ(Dispatch(rig.effect, effProcessEvents, 0, 0, &events), 1);
  ASSERT_EQ(rig.host.midiSent.size(), 2u);
  EXPECT_EQ(rig.host.midiSent[1].deltaFrames, 63);
  EXPECT_EQ(rig.plug->sysexIn.size(), 1u);

  // Every event handed back stays as sent (until the coming processing call
  // ends), though each went to the host in a list of its own.
  ASSERT_EQ(rig.host.eventLists.size(), 3u);
  for (size_t i = 0; i < 2; ++i) {
    const auto* kept = reinterpret_cast<const VstMidiEvent*>(rig.host.eventLists[i]->events[0]);
    EXPECT_EQ(kept->deltaFrames, rig.host.midiSent[i].deltaFrames) << i;
    EXPECT_EQ(kept->midiData[0], rig.host.midiSent[i].midiData[0]) << i;
  }

  // A block longer than the scratch buffers hold is still the host's block.
  Dispatch(rig.effect, effSetBlockSize, 0, kMaxBlockSize + 100);
  events.numEvents = 1;
  midi[0].deltaFrames = kMaxBlockSize + 99;
  EXPECT_EQ(Dispatch(rig.effect, effProcessEvents, 0, 0, &events), 1);
  ASSERT_EQ(rig.host.midiSent.size(), 3u);
  EXPECT_EQ(rig.host.midiSent[2].deltaFrames, kMaxBlockSize + 99);
}

TEST(IPlugVSTMidi, WantMidiNoticePrecedesEveryBlockOnlyWhenMidiIsDone) {
  IPlugConfig config = TestConfig();
  config.doesMidi = true;
  Rig midi(config);
  Rig plain;
  ChannelBuffers<float> buffers(2, 16);
  for (Rig* rig : {&midi, &plain}) {
    rig->effect->processReplacing(rig->effect, buffers.Ptrs(), buffers.Ptrs(), 16);
    rig->effect->process(rig->effect, buffers.Ptrs(), buffers.Ptrs(), 16);
  }
  EXPECT_EQ(midi.host.CallsOf(audioMasterWantMidi).size(), 2u);
  EXPECT_TRUE(plain.host.CallsOf(audioMasterWantMidi).empty());
}

// --- Channels ------------------------------------------------------------------------

TEST(IPlugVSTChannels, FourHostRuleKeepsTwoInputs) {
  struct Case {
    const char* product;
    bool limited;
  } cases[] = {{"Adobe Audition", true}, {"FORTE", true}, {"Orion", true}, {"SAWStudio", true},
               {"Cubase", false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.product);
    Rig rig(TestConfig("2-2 4-4"));
    rig.host.productString = c.product;
    Dispatch(rig.effect, effOpen);
    EXPECT_EQ(rig.effect->numInputs, 4);
    EXPECT_EQ(rig.effect->numOutputs, 4);
    ChannelBuffers<float> ins(4, 8, 0.5f), outs(4, 8);
    rig.effect->processReplacing(rig.effect, ins.Ptrs(), outs.Ptrs(), 8);
    ASSERT_EQ(rig.plug->inputsSeen.size(), 1u);
    const auto& seen = rig.plug->inputsSeen[0];
    EXPECT_EQ(seen[1][0], 0.5);
    EXPECT_EQ(seen[3][0], c.limited ? 0.0 : 0.5);
    EXPECT_EQ(outs[3][0], c.limited ? 0.004f : 1.004f) << "every output still written";
  }
}

TEST(IPlugVSTChannels, DisconnectedInputReadsZerosEvenAfterCarryingAudio) {
  Rig rig;
  ChannelBuffers<float> ins(2, 32, 0.25f), outs(2, 32);
  rig.effect->processReplacing(rig.effect, ins.Ptrs(), outs.Ptrs(), 32);
  VstSpeakerArrangement mono = {};
  mono.numChannels = 1;
  EXPECT_EQ(Dispatch(rig.effect, effSetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(&mono), nullptr), 1);
  ins[0].assign(32, 0.75f);
  rig.effect->processReplacing(rig.effect, ins.Ptrs(), outs.Ptrs(), 32);
  ChannelBuffers<double> dins(2, 32, 0.5), douts(2, 32);
  rig.effect->processDoubleReplacing(rig.effect, dins.Ptrs(), douts.Ptrs(), 32);
  ASSERT_EQ(rig.plug->inputsSeen.size(), 3u);
  for (int call = 1; call < 3; ++call) {
    SCOPED_TRACE(call);
    for (double x : rig.plug->inputsSeen[call][1]) ASSERT_EQ(x, 0.0);
  }
  EXPECT_EQ(rig.plug->inputsSeen[1][0][0], 0.75);
  EXPECT_EQ(rig.plug->inputsSeen[2][0][0], 0.5);
  // Reconnecting takes the second host buffer again.
  VstSpeakerArrangement stereo = {};
  stereo.numChannels = 2;
  Dispatch(rig.effect, effSetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(&stereo), &stereo);
  rig.effect->processReplacing(rig.effect, ins.Ptrs(), outs.Ptrs(), 32);
  EXPECT_EQ(rig.plug->inputsSeen[3][1][0], 0.25);
  // Counts below 0 connect none of them.
  VstSpeakerArrangement none = {};
  none.numChannels = INT_MIN;
  Dispatch(rig.effect, effSetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(&none), nullptr);
  rig.effect->processReplacing(rig.effect, ins.Ptrs(), outs.Ptrs(), 32);
  EXPECT_EQ(rig.plug->inputsSeen.back()[0][0], 0.0);
}

// --- Frame counts -------------------------------------------------------------------

TEST(IPlugVSTFrames, LongCallsArePiecedAtTheBlockSize) {
  Rig rig;
  Dispatch(rig.effect, effSetBlockSize, 0, 64);
  ChannelBuffers<float> ins(2, 200, 0.1f), outs(2, 200);
  rig.effect->processReplacing(rig.effect, ins.Ptrs(), outs.Ptrs(), 200);
  EXPECT_EQ(rig.plug->blocks, (std::vector<int>{64, 64, 64, 8}));
  for (float x : outs[1]) ASSERT_FLOAT_EQ(x, 0.202f);

  // The double path uses the host's buffers whole while every channel has one.
  ChannelBuffers<double> dins(2, 200, 0.1), douts(2, 200);
  rig.plug->blocks.clear();
  rig.effect->processDoubleReplacing(rig.effect, dins.Ptrs(), douts.Ptrs(), 200);
  EXPECT_EQ(rig.plug->blocks, (std::vector<int>{200}));
  // With a disconnected channel its scratch buffer bounds the pieces.
  VstSpeakerArrangement mono = {};
  mono.numChannels = 1;
  Dispatch(rig.effect, effSetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(&mono), &mono);
  rig.plug->blocks.clear();
  rig.effect->processDoubleReplacing(rig.effect, dins.Ptrs(), douts.Ptrs(), 200);
  EXPECT_EQ(rig.plug->blocks, (std::vector<int>{64, 64, 64, 8}));
}

TEST(IPlugVSTFrames, EveryCallbackFlushesSubnormalsAndRestoresTheHostMode) {
  Rig rig;
  ChannelBuffers<float> buffers(2, 16);
  ChannelBuffers<double> dbuffers(2, 16);
  const unsigned hostMode = _mm_getcsr();
  rig.effect->process(rig.effect, buffers.Ptrs(), buffers.Ptrs(), 16);
  rig.effect->processReplacing(rig.effect, buffers.Ptrs(), buffers.Ptrs(), 16);
  rig.effect->processDoubleReplacing(rig.effect, dbuffers.Ptrs(), dbuffers.Ptrs(), 16);
  EXPECT_EQ(_mm_getcsr(), hostMode);
  const unsigned flush = IFlushToZeroScope::kFlushToZero | IFlushToZeroScope::kDenormalsAreZero;
  ASSERT_EQ(rig.plug->fpModes.size(), 3u);
  for (unsigned mode : rig.plug->fpModes) EXPECT_EQ(mode, hostMode | flush);
}

TEST(IPlugVSTFrames, AccumulatingAddsAndReplacingOverwrites) {
  Rig rig;
  ChannelBuffers<float> ins(2, 8, 0.25f), outs(2, 8, 1.0f);
  rig.effect->process(rig.effect, ins.Ptrs(), outs.Ptrs(), 8);
  EXPECT_FLOAT_EQ(outs[0][7], 1.501f);
  EXPECT_FLOAT_EQ(outs[1][0], 1.502f);
  rig.effect->processReplacing(rig.effect, ins.Ptrs(), outs.Ptrs(), 8);
  EXPECT_FLOAT_EQ(outs[0][7], 0.501f);
  EXPECT_FLOAT_EQ(outs[1][0], 0.502f);
}

TEST(IPlugVSTFrames, NoBlockSizeMeansSilenceAndNoProcessing) {
  Rig rig;
  Dispatch(rig.effect, effSetBlockSize, 0, 0);
  ChannelBuffers<float> ins(2, 16, 0.5f), outs(2, 16, 3.0f);
  rig.effect->process(rig.effect, ins.Ptrs(), outs.Ptrs(), 16);
  EXPECT_EQ(outs[0][0], 3.0f) << "accumulating adds nothing";
  rig.effect->processReplacing(rig.effect, ins.Ptrs(), outs.Ptrs(), 16);
  EXPECT_EQ(outs[0][15], 0.0f) << "replacing owns its outputs";
  rig.effect->processReplacing(rig.effect, ins.Ptrs(), outs.Ptrs(), -5);
  rig.effect->processReplacing(rig.effect, nullptr, nullptr, 16);
  EXPECT_TRUE(rig.plug->blocks.empty());
  Dispatch(rig.effect, effSetBlockSize, 0, -7);
  EXPECT_EQ(rig.plug->BlockSize(), 0);
}

TEST(IPlugVSTFrames, MissingHostBuffersReadSilenceAndDiscardOutput) {
  Rig rig;
  std::vector<float> out0(16, 9.0f);
  float* outs[2] = {out0.data(), nullptr};
  float* ins[2] = {nullptr, nullptr};
  rig.effect->processReplacing(rig.effect, ins, outs, 16);
  ASSERT_EQ(rig.plug->blocks.size(), 1u);
  EXPECT_EQ(rig.plug->inputsSeen[0][0][0], 0.0);
  EXPECT_FLOAT_EQ(out0[0], 0.001f);
  rig.effect->processReplacing(rig.effect, nullptr, nullptr, 16);
  EXPECT_EQ(rig.plug->blocks.size(), 2u);
}
