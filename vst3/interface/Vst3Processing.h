#pragma once
// The VST 3 processing side: buses, speaker arrangements, the records of a
// process call, the host's parameter-change queues and event lists, and the
// component and audio-processor interfaces. All records have the compiler's
// natural layout on both targets; no packing pragma may wrap them.

#include "vst3/interface/Vst3Base.h"

namespace vst3 {

enum MediaTypes : int32 { kAudio = 0, kEvent = 1, kNumMediaTypes = 2 };
enum BusDirections : int32 { kInput = 0, kOutput = 1 };
enum BusTypes : int32 { kMain = 0, kAux = 1 };
enum IoModes : int32 { kSimple = 0, kAdvanced = 1, kOfflineProcessing = 2 };
enum SymbolicSampleSizes : int32 { kSample32 = 0, kSample64 = 1 };
enum ProcessModes : int32 { kRealtime = 0, kPrefetch = 1, kOffline = 2 };
constexpr uint32 kNoTail = 0;
constexpr uint32 kInfiniteTail = 0xFFFFFFFFu;

constexpr Speaker kSpeakerL = 1ull << 0;
constexpr Speaker kSpeakerR = 1ull << 1;
constexpr Speaker kSpeakerC = 1ull << 2;
constexpr Speaker kSpeakerLfe = 1ull << 3;
constexpr Speaker kSpeakerLs = 1ull << 4;
constexpr Speaker kSpeakerRs = 1ull << 5;
constexpr Speaker kSpeakerM = 1ull << 19;  // mono has its own bit; it is not the centre

namespace SpeakerArr {
constexpr SpeakerArrangement kEmpty = 0;
constexpr SpeakerArrangement kMono = kSpeakerM;
constexpr SpeakerArrangement kStereo = kSpeakerL | kSpeakerR;

// One channel per set bit.
constexpr int32 getChannelCount(SpeakerArrangement arr) {
  int32 count = 0;
  for (; arr != 0; arr &= arr - 1) ++count;
  return count;
}
}  // namespace SpeakerArr

struct ProcessSetup {
  int32 processMode;
  int32 symbolicSampleSize;
  int32 maxSamplesPerBlock;
  SampleRate sampleRate;
};

struct AudioBusBuffers {
  int32 numChannels;
  uint64 silenceFlags;  // bit i: channel i is all zeros
  union {
    Sample32** channelBuffers32;
    Sample64** channelBuffers64;
  };
};

struct Chord {
  uint8 keyNote;
  uint8 rootNote;
  int16 chordMask;
};

struct FrameRate {
  enum FrameRateFlags : uint32 { kPullDownRate = 1 << 0, kDropRate = 1 << 1 };
  uint32 framesPerSecond;
  uint32 flags;
};

struct ProcessContext {
  enum StatesAndFlags : uint32 {
    kPlaying = 1 << 1,
    kCycleActive = 1 << 2,
    kRecording = 1 << 3,
    kSystemTimeValid = 1 << 8,
    kProjectTimeMusicValid = 1 << 9,
    kTempoValid = 1 << 10,
    kBarPositionValid = 1 << 11,
    kCycleValid = 1 << 12,
    kTimeSigValid = 1 << 13,
    kSmpteValid = 1 << 14,
    kClockValid = 1 << 15,
    kContTimeValid = 1 << 17,
    kChordValid = 1 << 18,
  };
  uint32 state;
  double sampleRate;
  TSamples projectTimeSamples;
  int64 systemTime;
  TSamples continousTimeSamples;  // the published spelling
  TQuarterNotes projectTimeMusic;
  TQuarterNotes barPositionMusic;
  TQuarterNotes cycleStartMusic;
  TQuarterNotes cycleEndMusic;
  double tempo;
  int32 timeSigNumerator;
  int32 timeSigDenominator;
  Chord chord;
  int32 smpteOffsetSubframes;
  FrameRate frameRate;
  int32 samplesToNextClock;
};

// The plug-in has no event bus; the payload is carried, never read.
struct Event {
  enum EventFlags : uint16 { kIsLive = 1 << 0 };
  int32 busIndex;
  int32 sampleOffset;
  TQuarterNotes ppqPosition;
  uint16 flags;
  uint16 type;
  union {
    uint8 payload[24];
    double payloadAlignment;
  };
};

class IParamValueQueue : public FUnknown {
public:
  virtual ParamID PLUGIN_API getParameterId() = 0;
  virtual int32 PLUGIN_API getPointCount() = 0;
  virtual tresult PLUGIN_API getPoint(int32 index, int32& sampleOffset, ParamValue& value) = 0;
  virtual tresult PLUGIN_API addPoint(int32 sampleOffset, ParamValue value, int32& index) = 0;
  static constexpr Uid iid = Uid::FromWords(0x01263A18, 0xED074F6F, 0x98C9D356, 0x4686F9BA);

protected:
  ~IParamValueQueue() = default;
};

class IParameterChanges : public FUnknown {
public:
  virtual int32 PLUGIN_API getParameterCount() = 0;
  // Borrowed; null for a bad index.
  virtual IParamValueQueue* PLUGIN_API getParameterData(int32 index) = 0;
  virtual IParamValueQueue* PLUGIN_API addParameterData(const ParamID& id, int32& index) = 0;
  static constexpr Uid iid = Uid::FromWords(0xA4779663, 0x0BB64A56, 0xB44384A8, 0x466FEB9D);

protected:
  ~IParameterChanges() = default;
};

class IEventList : public FUnknown {
public:
  virtual int32 PLUGIN_API getEventCount() = 0;
  virtual tresult PLUGIN_API getEvent(int32 index, Event& e) = 0;
  virtual tresult PLUGIN_API addEvent(Event& e) = 0;
  static constexpr Uid iid = Uid::FromWords(0x3A2C4214, 0x346349FE, 0xB2C4F397, 0xB9695A44);

protected:
  ~IEventList() = default;
};

// Bus buffer i belongs to audio bus i, active or not; every pointer may be null.
struct ProcessData {
  int32 processMode;
  int32 symbolicSampleSize;
  int32 numSamples;
  int32 numInputs;
  int32 numOutputs;
  AudioBusBuffers* inputs;
  AudioBusBuffers* outputs;
  IParameterChanges* inputParameterChanges;
  IParameterChanges* outputParameterChanges;
  IEventList* inputEvents;
  IEventList* outputEvents;
  ProcessContext* processContext;
};

struct BusInfo {
  enum BusFlags : uint32 { kDefaultActive = 1 << 0 };
  MediaType mediaType;
  BusDirection direction;
  int32 channelCount;
  String128 name;
  BusType busType;
  uint32 flags;
};

struct RoutingInfo {
  MediaType mediaType;
  int32 busIndex;
  int32 channel;  // -1: all channels
};

class IComponent : public IPluginBase {
public:
  virtual tresult PLUGIN_API getControllerClassId(TUID classId) = 0;
  virtual tresult PLUGIN_API setIoMode(IoMode mode) = 0;
  virtual int32 PLUGIN_API getBusCount(MediaType type, BusDirection dir) = 0;
  virtual tresult PLUGIN_API getBusInfo(MediaType type, BusDirection dir, int32 index, BusInfo& bus) = 0;
  virtual tresult PLUGIN_API getRoutingInfo(RoutingInfo& inInfo, RoutingInfo& outInfo) = 0;
  virtual tresult PLUGIN_API activateBus(MediaType type, BusDirection dir, int32 index, TBool state) = 0;
  virtual tresult PLUGIN_API setActive(TBool state) = 0;
  // The processor's state.
  virtual tresult PLUGIN_API setState(IBStream* state) = 0;
  virtual tresult PLUGIN_API getState(IBStream* state) = 0;
  static constexpr Uid iid = Uid::FromWords(0xE831FF31, 0xF2D54301, 0x928EBBEE, 0x25697802);

protected:
  ~IComponent() = default;
};

class IAudioProcessor : public FUnknown {
public:
  virtual tresult PLUGIN_API setBusArrangements(SpeakerArrangement* inputs, int32 numIns,
                                                SpeakerArrangement* outputs, int32 numOuts) = 0;
  virtual tresult PLUGIN_API getBusArrangement(BusDirection dir, int32 index, SpeakerArrangement& arr) = 0;
  virtual tresult PLUGIN_API canProcessSampleSize(int32 symbolicSampleSize) = 0;
  virtual uint32 PLUGIN_API getLatencySamples() = 0;
  virtual tresult PLUGIN_API setupProcessing(ProcessSetup& setup) = 0;
  virtual tresult PLUGIN_API setProcessing(TBool state) = 0;
  virtual tresult PLUGIN_API process(ProcessData& data) = 0;
  virtual uint32 PLUGIN_API getTailSamples() = 0;
  static constexpr Uid iid = Uid::FromWords(0x42043F99, 0xB7DA453C, 0xA569E79D, 0x9AAEC33D);

protected:
  ~IAudioProcessor() = default;
};

static_assert(sizeof(ProcessSetup) == 24 && alignof(ProcessSetup) == 8);
static_assert(offsetof(ProcessSetup, symbolicSampleSize) == 4);
static_assert(offsetof(ProcessSetup, maxSamplesPerBlock) == 8);
static_assert(offsetof(ProcessSetup, sampleRate) == 16);
static_assert(sizeof(AudioBusBuffers) == 24 && alignof(AudioBusBuffers) == 8);
static_assert(offsetof(AudioBusBuffers, silenceFlags) == 8);
static_assert(offsetof(AudioBusBuffers, channelBuffers32) == 16);
static_assert(offsetof(AudioBusBuffers, channelBuffers64) == 16);
static_assert(sizeof(ProcessData) == 80 && alignof(ProcessData) == 8);
static_assert(offsetof(ProcessData, symbolicSampleSize) == 4);
static_assert(offsetof(ProcessData, numSamples) == 8);
static_assert(offsetof(ProcessData, numInputs) == 12);
static_assert(offsetof(ProcessData, numOutputs) == 16);
static_assert(offsetof(ProcessData, inputs) == 24);
static_assert(offsetof(ProcessData, outputs) == 32);
static_assert(offsetof(ProcessData, inputParameterChanges) == 40);
static_assert(offsetof(ProcessData, outputParameterChanges) == 48);
static_assert(offsetof(ProcessData, inputEvents) == 56);
static_assert(offsetof(ProcessData, outputEvents) == 64);
static_assert(offsetof(ProcessData, processContext) == 72);
static_assert(sizeof(Chord) == 4 && alignof(Chord) == 2);
static_assert(offsetof(Chord, rootNote) == 1 && offsetof(Chord, chordMask) == 2);
static_assert(sizeof(FrameRate) == 8 && offsetof(FrameRate, flags) == 4);
static_assert(sizeof(ProcessContext) == 112 && alignof(ProcessContext) == 8);
static_assert(offsetof(ProcessContext, sampleRate) == 8);
static_assert(offsetof(ProcessContext, projectTimeSamples) == 16);
static_assert(offsetof(ProcessContext, systemTime) == 24);
static_assert(offsetof(ProcessContext, continousTimeSamples) == 32);
static_assert(offsetof(ProcessContext, projectTimeMusic) == 40);
static_assert(offsetof(ProcessContext, barPositionMusic) == 48);
static_assert(offsetof(ProcessContext, cycleStartMusic) == 56);
static_assert(offsetof(ProcessContext, cycleEndMusic) == 64);
static_assert(offsetof(ProcessContext, tempo) == 72);
static_assert(offsetof(ProcessContext, timeSigNumerator) == 80);
static_assert(offsetof(ProcessContext, timeSigDenominator) == 84);
static_assert(offsetof(ProcessContext, chord) == 88);
static_assert(offsetof(ProcessContext, smpteOffsetSubframes) == 92);
static_assert(offsetof(ProcessContext, frameRate) == 96);
static_assert(offsetof(ProcessContext, samplesToNextClock) == 104);
static_assert(sizeof(Event) == 48 && alignof(Event) == 8);
static_assert(offsetof(Event, sampleOffset) == 4);
static_assert(offsetof(Event, ppqPosition) == 8);
static_assert(offsetof(Event, flags) == 16);
static_assert(offsetof(Event, type) == 18);
static_assert(offsetof(Event, payload) == 24);
static_assert(sizeof(BusInfo) == 276 && alignof(BusInfo) == 4);
static_assert(offsetof(BusInfo, direction) == 4);
static_assert(offsetof(BusInfo, channelCount) == 8);
static_assert(offsetof(BusInfo, name) == 12);
static_assert(offsetof(BusInfo, busType) == 268);
static_assert(offsetof(BusInfo, flags) == 272);
static_assert(sizeof(RoutingInfo) == 12 && alignof(RoutingInfo) == 4);
static_assert(offsetof(RoutingInfo, busIndex) == 4 && offsetof(RoutingInfo, channel) == 8);
static_assert(SpeakerArr::getChannelCount(SpeakerArr::kStereo) == 2);

}  // namespace vst3
