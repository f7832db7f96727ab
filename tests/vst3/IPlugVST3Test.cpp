// IPlugVST3 with a small test product, driven as a host drives it: what the
// controller answers, what process does with queues and bus buffers, the
// stored state, bus arrangements, the life cycle and the calls back to the host.
#include "vst3/IPlugVST3.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <new>
#include <string>
#include <thread>
#include <vector>

#include "tests/vst3/Vst3TestHost.h"

using namespace vst3;
using namespace vst3test;

// Every allocation of this program is counted, so that a test can show that a
// stretch of code allocates nothing.
namespace {
int gAllocations = 0;
}  // namespace
void* operator new(std::size_t size) {
  ++gAllocations;
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}
// GCC takes the free of these deletes for a mismatch once they are inlined
// into the library's containers; malloc is what the new above used.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
#pragma GCC diagnostic pop

namespace {
constexpr int kGain = 0;    // continuous -15..15, step 0.1, "dB"
constexpr int kSwitch = 1;  // integer 0..2
constexpr int kFreq = 2;    // continuous 50..400

IPlugConfig TestConfig() {
  IPlugConfig c;
  c.nParams = 3;
  c.channelIOText = "1-1 2-2";
  c.nPresets = 1;
  c.effectName = "TestFx";
  return c;
}

// Outputs a third of each input plus a channel offset, so that 32-bit output
// differs from 64-bit output by rounding alone.
class TestProduct : public IPlugVST3 {
public:
  TestProduct() : IPlugVST3(IPlugInstanceInfo{}, TestConfig()) {
    blocks.reserve(64);  // recording must not allocate while processing
    changed.reserve(64);
    GetParam(kGain)->InitContinuous("Gain", 0.0, -15.0, 15.0, 0.1);
    GetParam(kGain)->SetLabel("dB");
    GetParam(kSwitch)->InitInteger("Switch", 0, 0, 2);
    GetParam(kFreq)->InitContinuous("Freq", 120.0, 50.0, 400.0, 1.0);
    FillDefaultPresets("Init", 1);
  }
  void ProcessBlock(double** inputs, double** outputs, int nFrames) override {
    blocks.push_back(nFrames);
    for (int c = 0; c < NOutChannels(); ++c) {
      for (int j = 0; j < nFrames; ++j) outputs[c][j] = inputs[c][j] / 3.0 + 0.001 * (c + 1);
    }
  }
  void OnParameterChanged(int paramIdx) override { changed.push_back(paramIdx); }
  void OnHostKnown() override { ++hostKnown; }
  // Counts the calls made under the instance lock: held here, another thread cannot take it.
  void OnActiveChanged(bool) override {
    std::thread([this] {
      if (!InstanceLock().try_lock()) {
        ++activeChangesUnderLock;
      } else {
        InstanceLock().unlock();
      }
    }).join();
  }
  std::vector<int> blocks;
  std::vector<int> changed;
  int hostKnown = 0;
  int activeChangesUnderLock = 0;
};

// A product initialised by a host, set up, its buses active; released at the end.
struct Rig {
  explicit Rig(int32 sampleSize = kSample32, int32 maxBlock = 64) {
    EXPECT_EQ(StartProcessing(plug, &host, sampleSize, maxBlock), kResultOk);
    plug->changed.clear();
  }
  ~Rig() {
    plug->terminate();
    plug->release();
  }
  double Value(int paramIdx) { return plug->GetParam(paramIdx)->Value(); }

  HostApplication host{"REAPER"};
  TestProduct* plug = new TestProduct();
};

std::string Text(const TChar* text) {
  std::string s;
  for (; *text; ++text) s += static_cast<char>(*text);
  return s;
}

std::u16string Wide(const char* text) { return std::u16string(text, text + std::strlen(text)); }
}  // namespace

TEST(IPlugVST3Controller, ParameterListStartsWithProgramChangeAndBypass) {
  Rig rig;
  ASSERT_EQ(rig.plug->getParameterCount(), 3 + 2);
  ParameterInfo info{};
  ASSERT_EQ(rig.plug->getParameterInfo(0, info), kResultOk);
  EXPECT_EQ(info.id, 0x70727374u);
  EXPECT_EQ(Text(info.title), "Preset");
  EXPECT_EQ(info.stepCount, 1) << "the number of presets";
  EXPECT_EQ(info.flags, 0x8000);
  ASSERT_EQ(rig.plug->getParameterInfo(1, info), kResultOk);
  EXPECT_EQ(info.id, 0x62706173u);
  EXPECT_EQ(Text(info.title), "Bypass");
  EXPECT_EQ(info.stepCount, 1);
  EXPECT_EQ(info.flags, 0x10009);
  ASSERT_EQ(rig.plug->getParameterInfo(2 + kGain, info), kResultOk);
  EXPECT_EQ(info.id, static_cast<ParamID>(kGain));
  EXPECT_EQ(Text(info.title), "Gain");
  EXPECT_EQ(Text(info.units), "dB");
  EXPECT_EQ(info.stepCount, 0);
  EXPECT_EQ(info.defaultNormalizedValue, 0.5);
  EXPECT_EQ(info.flags, 1);
  EXPECT_EQ(info.unitId, 0);
  ASSERT_EQ(rig.plug->getParameterInfo(2 + kSwitch, info), kResultOk);
  EXPECT_EQ(info.stepCount, 2);
  EXPECT_EQ(rig.plug->getParameterInfo(5, info), kInvalidArgument);
  EXPECT_EQ(rig.plug->getParameterInfo(-1, info), kInvalidArgument);
}

TEST(IPlugVST3Controller, TextsAndConversionsFollowTheFrameworkParameter) {
  Rig rig;
  String128 text{};
  ASSERT_EQ(rig.plug->getParamStringByValue(kGain, 0.5, text), kResultOk);
  EXPECT_EQ(Text(text), "0.0");
  ASSERT_EQ(rig.plug->getParamStringByValue(kSwitch, 1.0, text), kResultOk);
  EXPECT_EQ(Text(text), "2");
  EXPECT_EQ(rig.plug->getParamStringByValue(BypassParamId, 1.0, text), kResultFalse);
  EXPECT_EQ(rig.plug->getParamStringByValue(PresetParamId, 0.0, text), kResultFalse);
  EXPECT_EQ(rig.plug->getParamStringByValue(kGain, 0.5, nullptr), kInvalidArgument);

  ParamValue v = -1.0;
  std::u16string input = Wide("7.5 dB");
  ASSERT_EQ(rig.plug->getParamValueByString(kGain, input.data(), v), kResultOk);
  EXPECT_EQ(v, 0.75);
  input = Wide("abc");
  ASSERT_EQ(rig.plug->getParamValueByString(kGain, input.data(), v), kResultOk);
  EXPECT_EQ(v, 0.5) << "no number reads as 0";
  ASSERT_EQ(rig.plug->getParamValueByString(kFreq, input.data(), v), kResultOk);
  EXPECT_EQ(v, 0.0) << "0 is clamped to the minimum";
  for (const char* notDecimal : {"nan", "0x1A", "-inf"}) {
    input = Wide(notDecimal);
    ASSERT_EQ(rig.plug->getParamValueByString(kGain, input.data(), v), kResultOk);
    EXPECT_EQ(v, 0.5) << notDecimal;
  }
  input = Wide("nan");
  EXPECT_EQ(rig.plug->getParamValueByString(PresetParamId, input.data(), v), kResultFalse);
  input = Wide("on");
  ASSERT_EQ(rig.plug->getParamValueByString(BypassParamId, input.data(), v), kResultOk);
  EXPECT_EQ(v, 1.0);
  input = Wide("On");
  EXPECT_EQ(rig.plug->getParamValueByString(BypassParamId, input.data(), v), kResultFalse);

  EXPECT_DOUBLE_EQ(rig.plug->normalizedParamToPlain(kFreq, 0.2), 120.0);
  EXPECT_DOUBLE_EQ(rig.plug->normalizedParamToPlain(kFreq, 1.5), 575.0) << "neither snapped nor clamped";
  EXPECT_EQ(rig.plug->normalizedParamToPlain(BypassParamId, 0.7), 1.0);
  EXPECT_DOUBLE_EQ(rig.plug->plainParamToNormalized(kFreq, 120.0), 0.2);
  EXPECT_EQ(rig.plug->plainParamToNormalized(kFreq, 1000.0), 1.0);
  EXPECT_EQ(rig.plug->plainParamToNormalized(BypassParamId, 7.0), 7.0);
  EXPECT_EQ(rig.plug->plainParamToNormalized(99, 7.0), 7.0);
}

TEST(IPlugVST3Controller, NormalizedValuesAreStoredWithoutTellingTheProduct) {
  Rig rig;
  EXPECT_EQ(rig.plug->setParamNormalized(kSwitch, 1.0), kResultOk);
  EXPECT_EQ(rig.Value(kSwitch), 2.0);
  EXPECT_EQ(rig.plug->getParamNormalized(kSwitch), 1.0);
  rig.plug->setParamNormalized(kGain, -1.0);
  EXPECT_EQ(rig.Value(kGain), -15.0) << "held in the range";
  rig.plug->setParamNormalized(kGain, std::nan(""));
  EXPECT_EQ(rig.Value(kGain), -15.0);
  EXPECT_TRUE(rig.plug->changed.empty());
  EXPECT_EQ(rig.plug->setParamNormalized(BypassParamId, 1.0), kResultFalse);
  EXPECT_EQ(rig.plug->setParamNormalized(99, 1.0), kResultFalse);
  EXPECT_EQ(rig.plug->getParamNormalized(BypassParamId), 0.0);
  EXPECT_EQ(rig.plug->getParamNormalized(PresetParamId), 0.0);
  EXPECT_EQ(rig.plug->getParamNormalized(99), 0.0);
}

// What a host written in C can do: pass null where the interface takes a
// reference (a pointer at machine level). The call goes through the vtable slot.
TEST(IPlugVST3Controller, NullRecordsFromTheHostAreRefused) {
  Rig rig;
  auto call = [](auto* iface, int slot, auto... args) {
    using Fn = tresult(PLUGIN_API*)(decltype(iface), decltype(args)...);
    return reinterpret_cast<Fn>((*reinterpret_cast<void***>(iface))[slot])(iface, args...);
  };
  IEditController* controller = rig.plug;
  IUnitInfo* units = rig.plug;
  IComponent* component = rig.plug;
  IAudioProcessor* processor = rig.plug;
  std::u16string text = Wide("1");
  EXPECT_EQ(call(controller, 9, int32{0}, static_cast<ParameterInfo*>(nullptr)), kInvalidArgument);
  EXPECT_EQ(call(controller, 11, ParamID{0}, text.data(), static_cast<ParamValue*>(nullptr)), kInvalidArgument);
  EXPECT_EQ(call(units, 4, int32{0}, static_cast<UnitInfo*>(nullptr)), kInvalidArgument);
  EXPECT_EQ(call(units, 6, int32{0}, static_cast<ProgramListInfo*>(nullptr)), kInvalidArgument);
  EXPECT_EQ(call(component, 8, MediaType{kAudio}, BusDirection{kInput}, int32{0}, static_cast<BusInfo*>(nullptr)),
            kInvalidArgument);
  EXPECT_EQ(call(processor, 4, BusDirection{kOutput}, int32{0}, static_cast<SpeakerArrangement*>(nullptr)),
            kInvalidArgument);
  EXPECT_NE(call(processor, 7, static_cast<ProcessSetup*>(nullptr)), kResultOk);
  EXPECT_EQ(call(processor, 9, static_cast<ProcessData*>(nullptr)), kInvalidArgument);
}

TEST(IPlugVST3Units, RootUnitAndTheUnannouncedPresetList) {
  Rig rig;
  EXPECT_EQ(rig.plug->getUnitCount(), 1);
  UnitInfo unit{};
  ASSERT_EQ(rig.plug->getUnitInfo(0, unit), kResultOk);
  EXPECT_EQ(unit.id, 0);
  EXPECT_EQ(unit.parentUnitId, -1);
  EXPECT_EQ(Text(unit.name), "Root Unit");
  EXPECT_EQ(unit.programListId, -1);
  EXPECT_EQ(rig.plug->getUnitInfo(1, unit), kResultFalse);
  EXPECT_EQ(rig.plug->getUnitInfo(-1, unit), kResultFalse);

  EXPECT_EQ(rig.plug->getProgramListCount(), 0);
  ProgramListInfo list{};
  ASSERT_EQ(rig.plug->getProgramListInfo(0, list), kResultOk);
  EXPECT_EQ(list.id, 0x70727374);
  EXPECT_EQ(Text(list.name), "Factory Presets");
  EXPECT_EQ(list.programCount, 1);
  EXPECT_EQ(rig.plug->getProgramListInfo(1, list), kResultFalse);
  String128 name{};
  ASSERT_EQ(rig.plug->getProgramName(0x70727374, 0, name), kResultOk);
  EXPECT_EQ(Text(name), "Init");
  name[0] = 'x';
  ASSERT_EQ(rig.plug->getProgramName(0x70727374, 5, name), kResultOk);
  EXPECT_EQ(Text(name), "");
  EXPECT_EQ(rig.plug->getProgramName(0, 0, name), kResultFalse);
  EXPECT_EQ(rig.plug->getProgramName(0x70727374, 0, nullptr), kInvalidArgument);
}

TEST(IPlugVST3Process, LastPointOfEachQueueAppliesToTheWholeBlock) {
  Rig rig;
  ParamChanges changes;
  changes.Add(kGain, {{0, 0.2}, {100, 0.8}});
  changes.Add(kSwitch, {});                  // empty: skipped
  changes.Add(kFreq, {{0, std::nan("")}});   // no number: ignored
  changes.Add(77, {{0, 1.0}});               // unknown: ignored
  BusBuffers<float> in(2, 16, 0.3f), out(2, 16, 9.0f);
  ProcessData data = Data(&in, &out, 16, &changes);
  ASSERT_EQ(rig.plug->process(data), kResultOk);
  EXPECT_DOUBLE_EQ(rig.Value(kGain), 9.0);
  EXPECT_EQ(rig.Value(kFreq), 120.0);
  EXPECT_EQ(rig.plug->changed, std::vector<int>{kGain});
  EXPECT_EQ(rig.plug->blocks, std::vector<int>{16}) << "the change comes before the audio, in one block";
}

TEST(IPlugVST3Process, BypassAboveHalfPassesInputThrough) {
  Rig rig;
  BusBuffers<float> in(2, 8, 0.3f), out(2, 8, 9.0f);
  ParamChanges half;
  half.Add(BypassParamId, {{0, 0.5}});
  ProcessData data = Data(&in, &out, 8, &half);
  rig.plug->process(data);
  EXPECT_EQ(rig.plug->getParamNormalized(BypassParamId), 0.0);
  EXPECT_FLOAT_EQ(out.data[0][0], 0.1f + 0.001f);

  ParamChanges over;
  over.Add(BypassParamId, {{0, 0.51}});
  data = Data(&in, &out, 8, &over);
  rig.plug->process(data);
  EXPECT_EQ(rig.plug->getParamNormalized(BypassParamId), 1.0);
  EXPECT_EQ(out.data[0], in.data[0]);
  EXPECT_EQ(out.data[1], in.data[1]);
  EXPECT_EQ(rig.plug->blocks.size(), 1u) << "a bypassed block does not reach the product";
}

TEST(IPlugVST3Process, ProgramChangeOfOneIsRefused) {
  Rig rig;
  rig.plug->GetParam(kGain)->SetClamped(6.0);
  ParamChanges one;
  one.Add(PresetParamId, {{0, 1.0}});
  ProcessData data = Data<float>(nullptr, nullptr, 0, &one);
  rig.plug->process(data);
  EXPECT_EQ(rig.Value(kGain), 6.0);
  ParamChanges below;
  below.Add(PresetParamId, {{0, 0.99}});
  data = Data<float>(nullptr, nullptr, 0, &below);
  rig.plug->process(data);
  EXPECT_EQ(rig.Value(kGain), 0.0) << "preset 0 recalled";
}

TEST(IPlugVST3Process, DoubleOutputIsExactAndFloatOutputIsItsRounding) {
  Rig rig64(kSample64);
  BusBuffers<double> in64(2, 8, 0.7), out64(2, 8, 9.0);
  ProcessData data = Data(&in64, &out64, 8);
  ASSERT_EQ(rig64.plug->process(data), kResultOk);
  EXPECT_EQ(out64.data[1][7], 0.7 / 3.0 + 0.002);

  Rig rig32(kSample32);
  BusBuffers<float> in32(2, 8, 0.7f), out32(2, 8, 9.0f);
  data = Data(&in32, &out32, 8);
  ASSERT_EQ(rig32.plug->process(data), kResultOk);
  EXPECT_EQ(out32.data[1][7], static_cast<float>(static_cast<double>(0.7f) / 3.0 + 0.002));
}

TEST(IPlugVST3Process, OnlyTheHostsActiveBuffersAreWritten) {
  Rig rig;
  BusBuffers<float> in(2, 8, 0.3f), out(2, 8, 9.0f), extra(2, 8, 9.0f);
  AudioBusBuffers outputs[2] = {out.bus, extra.bus};
  ProcessData data = Data(&in, &out, 8);
  data.numOutputs = 2;
  data.outputs = outputs;
  rig.plug->process(data);
  EXPECT_FLOAT_EQ(out.data[1][0], 0.1f + 0.002f);
  EXPECT_EQ(extra.data[0][0], 9.0f) << "a bus the component does not have";

  rig.plug->activateBus(kAudio, kOutput, 0, false);
  out.data[0].assign(8, 9.0f);
  data = Data(&in, &out, 8);
  rig.plug->process(data);
  EXPECT_EQ(out.data[0][0], 9.0f) << "an inactive bus";
  rig.plug->activateBus(kAudio, kOutput, 0, true);

  // A null channel pointer: that input reads silence, that output is not written.
  in.pointers[1] = nullptr;
  out.pointers[0] = nullptr;
  data = Data(&in, &out, 8);
  rig.plug->process(data);
  EXPECT_FLOAT_EQ(out.data[1][0], 0.002f);
  EXPECT_EQ(out.data[0][0], 9.0f);

  // No input bus at all: silence in.
  out.pointers[0] = out.data[0].data();
  data = Data<float>(nullptr, &out, 8);
  rig.plug->process(data);
  EXPECT_FLOAT_EQ(out.data[0][0], 0.001f);
  data = Data<float>(&in, nullptr, 8);
  EXPECT_EQ(rig.plug->process(data), kResultOk);

  // More channels than the component has are not read; fewer leave the rest disconnected.
  BusBuffers<float> wide(3, 8, 0.3f), narrow(1, 8, 9.0f);
  data = Data(&wide, &narrow, 8);
  rig.plug->process(data);
  EXPECT_FLOAT_EQ(narrow.data[0][0], 0.1f + 0.001f);
  EXPECT_FALSE(rig.plug->OutputChannel(1).connected);
}

TEST(IPlugVST3Process, LongBlocksArePiecedAndEarlyCallsAreSafe) {
  Rig rig(kSample32, 64);
  BusBuffers<float> in(2, 150, 0.3f), out(2, 150, 9.0f);
  ProcessData data = Data(&in, &out, 150);
  rig.plug->process(data);
  EXPECT_EQ(rig.plug->blocks, (std::vector<int>{64, 64, 22}));
  EXPECT_FLOAT_EQ(out.data[1][149], 0.1f + 0.002f);

  // Before any set-up there is no scratch memory: the block is silent, not a crash.
  auto* fresh = new TestProduct();
  fresh->initialize(nullptr);
  fresh->activateBus(kAudio, kOutput, 0, true);
  data = Data(&in, &out, 150);
  EXPECT_EQ(fresh->process(data), kResultOk);
  EXPECT_EQ(out.data[0][149], 0.0f);
  fresh->terminate();
  fresh->release();
}

TEST(IPlugVST3Process, AllocatesNothing) {
  for (int32 sampleSize : {kSample32, kSample64}) {
    Rig rig(sampleSize, 64);
    BusBuffers<float> in32(2, 150, 0.3f), out32(2, 150, 0.0f);
    BusBuffers<double> in64(2, 150, 0.3), out64(2, 150, 0.0);
    ParamChanges changes;
    changes.Add(kGain, {{0, 0.2}, {10, 0.4}});
    changes.Add(PresetParamId, {{0, 0.0}});
    changes.Add(BypassParamId, {{0, 0.0}});
    ProcessContext context{};
    ProcessData data = sampleSize == kSample32 ? Data(&in32, &out32, 150, &changes) : Data(&in64, &out64, 150, &changes);
    data.processContext = &context;
    const int before = gAllocations;
    rig.plug->process(data);
    EXPECT_EQ(gAllocations, before) << sampleSize;
  }
}

TEST(IPlugVST3Process, TransportAndOfflineRenderingAsTheHostReportsThem) {
  Rig rig;
  ProcessContext context{};
  context.state = ProcessContext::kPlaying | ProcessContext::kCycleActive;
  context.projectTimeSamples = (5ll << 32) + 1234;
  context.projectTimeMusic = 8.5;
  context.barPositionMusic = 8.0;
  context.cycleStartMusic = 4.0;
  context.cycleEndMusic = 12.0;
  context.tempo = 128.0;
  context.timeSigNumerator = 7;
  context.timeSigDenominator = 8;
  ProcessData data = Data<float>(nullptr, nullptr, 0);
  data.processContext = &context;
  rig.plug->process(data);
  context = {};
  EXPECT_EQ(rig.plug->QuerySamplePosition(), 1234) << "the low 32 bits";
  ITransportInfo t;
  rig.plug->QueryTransport(&t);
  EXPECT_EQ(t.samplePosition, static_cast<double>((5ll << 32) + 1234));
  EXPECT_EQ(t.ppqPosition, 8.5);
  EXPECT_EQ(t.lastBarPosition, 8.0);
  EXPECT_EQ(t.cycleStart, 4.0);
  EXPECT_EQ(t.cycleEnd, 12.0);
  EXPECT_EQ(t.tempo, 128.0);
  EXPECT_EQ(t.numerator, 7);
  EXPECT_EQ(t.denominator, 8);
  EXPECT_TRUE(t.transportRunning);
  EXPECT_TRUE(t.cycleActive);

  EXPECT_FALSE(rig.plug->HostIsOffline());
  ProcessSetup offline{kOffline, kSample32, 64, 48000.0};
  rig.plug->setupProcessing(offline);
  EXPECT_TRUE(rig.plug->HostIsOffline());
}

TEST(IPlugVST3State, RoundTripRestoresParametersAndBypass) {
  Rig rig;
  rig.plug->GetParam(kGain)->SetClamped(-4.5);
  rig.plug->GetParam(kSwitch)->SetClamped(1.0);
  rig.plug->SetBypassed(true);
  MemoryStream stream;
  ASSERT_EQ(rig.plug->getEditorState(&stream), kResultOk);
  ASSERT_EQ(stream.bytes.size(), 3 * 8 + 4u);
  EXPECT_EQ(std::vector<uint8_t>(stream.bytes.end() - 4, stream.bytes.end()), (std::vector<uint8_t>{1, 0, 0, 0}));

  Rig other;
  stream.pos = 0;
  ASSERT_EQ(other.plug->setEditorState(&stream), kResultOk);
  EXPECT_EQ(other.Value(kGain), -4.5);
  EXPECT_EQ(other.Value(kSwitch), 1.0);
  EXPECT_EQ(other.plug->getParamNormalized(BypassParamId), 1.0);
  EXPECT_EQ(other.plug->changed.size(), 3u) << "every parameter's change hook ran";
}

TEST(IPlugVST3State, ShortEmptyAndRefusingStreams) {
  Rig rig;
  rig.plug->GetParam(kGain)->SetClamped(3.0);
  rig.plug->GetParam(kFreq)->SetClamped(200.0);
  MemoryStream state;
  rig.plug->getEditorState(&state);

  Rig other;
  other.plug->GetParam(kFreq)->SetClamped(300.0);
  MemoryStream shortStream;
  shortStream.bytes.assign(state.bytes.begin(), state.bytes.begin() + 12);  // gain and half the switch
  EXPECT_EQ(other.plug->setEditorState(&shortStream), kResultFalse);
  EXPECT_EQ(other.Value(kGain), 3.0) << "what was read stays applied";
  EXPECT_EQ(other.Value(kFreq), 300.0) << "what was missing keeps its value";

  MemoryStream chunkOnly;
  chunkOnly.bytes.assign(state.bytes.begin(), state.bytes.end() - 2);
  EXPECT_EQ(other.plug->setEditorState(&chunkOnly), kResultFalse) << "two bytes are no flag";
  EXPECT_EQ(other.Value(kFreq), 200.0);

  MemoryStream empty;
  EXPECT_EQ(other.plug->setEditorState(&empty), kResultFalse);
  EXPECT_EQ(other.Value(kFreq), 200.0);
  EXPECT_EQ(other.plug->setEditorState(nullptr), kInvalidArgument);

  MemoryStream refusing;
  refusing.refuseWrites = true;
  EXPECT_EQ(rig.plug->getEditorState(&refusing), kResultFalse);
  EXPECT_EQ(rig.plug->getEditorState(nullptr), kInvalidArgument);
  EXPECT_EQ(static_cast<IComponent*>(rig.plug)->getState(&state), kNotImplemented) << "the component keeps no state";
}

TEST(IPlugVST3Buses, ArrangementsFollowTheLegalChannelPairs) {
  Rig rig;
  BusInfo bus{};
  ASSERT_EQ(rig.plug->getBusInfo(kAudio, kInput, 0, bus), kResultOk);
  EXPECT_EQ(Text(bus.name), "Main Input");
  EXPECT_EQ(bus.channelCount, 2);
  EXPECT_EQ(bus.flags, 1u);
  EXPECT_EQ(rig.plug->getBusInfo(kAudio, kInput, 1, bus), kInvalidArgument);
  EXPECT_EQ(rig.plug->getBusInfo(kAudio, kOutput, -1, bus), kInvalidArgument);
  EXPECT_EQ(rig.plug->getBusCount(kEvent, kInput), 0);

  SpeakerArrangement stereo = SpeakerArr::kStereo, mono = SpeakerArr::kMono;
  ASSERT_EQ(rig.plug->setBusArrangements(&stereo, 1, &stereo, 1), kResultOk);
  rig.plug->getBusInfo(kAudio, kInput, 0, bus);
  EXPECT_EQ(Text(bus.name), "Main Input") << "same count, same bus";
  EXPECT_EQ(rig.plug->setBusArrangements(&stereo, 1, &mono, 1), kResultFalse);
  EXPECT_FALSE(rig.plug->OutputChannel(0).connected) << "disconnected until the next block";

  ASSERT_EQ(rig.plug->setBusArrangements(&mono, 1, &mono, 1), kResultOk);
  rig.plug->getBusInfo(kAudio, kInput, 0, bus);
  EXPECT_EQ(Text(bus.name), "Input");
  EXPECT_EQ(bus.channelCount, 1);
  rig.plug->getBusInfo(kAudio, kOutput, 0, bus);
  EXPECT_EQ(Text(bus.name), "Output");
  SpeakerArrangement arr = 0;
  ASSERT_EQ(rig.plug->getBusArrangement(kOutput, 0, arr), kResultOk);
  EXPECT_EQ(arr, SpeakerArr::kMono);
  EXPECT_EQ(rig.plug->getBusArrangement(kOutput, 1, arr), kInvalidArgument);

  rig.plug->activateBus(kAudio, kInput, 0, true);
  rig.plug->activateBus(kAudio, kOutput, 0, true);
  BusBuffers<float> in(1, 8, 0.3f), out(1, 8, 9.0f);
  ProcessData data = Data(&in, &out, 8);
  rig.plug->process(data);
  EXPECT_TRUE(rig.plug->InputChannel(0).connected);
  EXPECT_FALSE(rig.plug->InputChannel(1).connected);
  EXPECT_TRUE(rig.plug->OutputChannel(0).connected);
  EXPECT_FALSE(rig.plug->OutputChannel(1).connected);
  EXPECT_FLOAT_EQ(out.data[0][0], 0.1f + 0.001f);

  EXPECT_EQ(rig.plug->setBusArrangements(nullptr, 1, &mono, 1), kResultFalse);
  EXPECT_EQ(rig.plug->canProcessSampleSize(kSample64), kResultOk);
  EXPECT_EQ(rig.plug->canProcessSampleSize(2), kResultFalse);
  ProcessSetup wide{kRealtime, 2, 64, 48000.0};
  EXPECT_EQ(rig.plug->setupProcessing(wide), kResultFalse);
}

TEST(IPlugVST3LifeCycle, InitializeOnceUntilTerminate) {
  HostApplication host("REAPER");
  auto* plug = new TestProduct();
  ASSERT_EQ(plug->initialize(&host), kResultOk);
  EXPECT_EQ(plug->GetHostKind(), HostKind::Reaper);
  EXPECT_EQ(host.refs, 2) << "the context is kept";
  EXPECT_EQ(plug->initialize(&host), kResultFalse);
  EXPECT_EQ(plug->getParameterCount(), 5) << "nothing added twice";
  EXPECT_EQ(plug->getBusCount(kAudio, kOutput), 1);
  EXPECT_EQ(plug->hostKnown, 2) << "the second call still identifies and recalls";

  ComponentHandler handler;
  plug->setComponentHandler(&handler);
  EXPECT_EQ(plug->terminate(), kResultOk);
  EXPECT_EQ(host.refs, 1);
  EXPECT_EQ(handler.refs, 1);
  EXPECT_EQ(plug->getParameterCount(), 0);
  EXPECT_EQ(plug->getBusCount(kAudio, kInput), 0);
  EXPECT_EQ(plug->initialize(nullptr), kResultOk);
  EXPECT_EQ(plug->initialize(nullptr), kResultFalse) << "no context is no second initialisation";
  EXPECT_EQ(plug->getParameterCount(), 5);
  plug->terminate();
  plug->release();
  EXPECT_EQ(host.refs, 1);
}

TEST(IPlugVST3LifeCycle, ActivationReachesTheProductUnderTheInstanceLock) {
  Rig rig;
  rig.plug->setActive(false);
  EXPECT_EQ(rig.plug->activeChangesUnderLock, 2);
}

TEST(IPlugVST3Services, EditsLatencyAndMenusGoToTheHandler) {
  ComponentHandler handler;
  MenuHandler menus;
  handler.menus = &menus;
  Rig rig;
  // Without a handler nothing is sent and nothing breaks.
  rig.plug->SetParameterFromEditor(kGain, 0.75);
  rig.plug->SetLatencySamples(32);
  rig.plug->ShowHostContextMenu(kGain, 1, 2);
  EXPECT_EQ(rig.plug->getLatencySamples(), 32u);

  rig.plug->setComponentHandler(&handler);
  rig.plug->BeginParameterEdit(kGain);
  rig.plug->SetParameterFromEditor(kGain, 0.25);
  rig.plug->EndParameterEdit(kGain);
  rig.plug->SetLatencySamples(0);
  EXPECT_EQ(handler.calls, (std::vector<std::string>{"begin 0", "perform 0 0.250000", "end 0", "restart 8"}));
  rig.plug->ShowHostContextMenu(kGain, 1, 2);
  EXPECT_TRUE(menus.requests.empty()) << "no view to show a menu in";
  EXPECT_EQ(handler.refs, 2);
  EXPECT_EQ(menus.refs, 1) << "every interface asked for is given back";
}
