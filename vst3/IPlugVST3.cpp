// IPlugVST3: construction, the life cycle, buses and set-up, and the services
// the binding gives the framework.
#include "vst3/IPlugVST3.h"

#include "framework/HostKind.h"
#include "vst3/sdk/String128.h"
#include "vst3/sdk/Vst3String.h"

using namespace vst3;

namespace {
// The arrangement a bus of n channels gets; empty for a count without one.
SpeakerArrangement ArrangementFor(int n) {
  static constexpr SpeakerArrangement kByCount[] = {
      SpeakerArr::kEmpty, SpeakerArr::kMono, SpeakerArr::kStereo,
      kSpeakerL | kSpeakerR | (1ull << 8),                            // L R Cs
      kSpeakerL | kSpeakerR | kSpeakerLs | kSpeakerRs,                // quadro
      kSpeakerL | kSpeakerR | kSpeakerC | kSpeakerLs | kSpeakerRs,    // 5.0
      kSpeakerL | kSpeakerR | kSpeakerC | kSpeakerLfe | kSpeakerLs | kSpeakerRs,  // 5.1
  };
  return n >= 1 && n <= 6 ? kByCount[n] : SpeakerArr::kEmpty;
}

// The label's text widened for a bus name; empty when there is no label.
void BusName(const std::vector<std::string>& labels, TChar* name) {
  WidenText(name, kString128Units, labels.empty() ? "" : labels.front().c_str());
}

void SetFirstLabel(std::vector<std::string>& labels, const char* text) {
  if (labels.empty()) labels.emplace_back(text);
  else labels.front() = text;
}
}  // namespace

IPlugVST3::IPlugVST3(const IPlugInstanceInfo&, const IPlugConfig& config)
    : IPlugBase(config, PluginApi::Vst3), lastProcessContext_{} {
  SetInputConnections(0, NInChannels(), true);
  SetOutputConnections(0, NOutChannels(), true);
  SetFirstLabel(InputBusLabels(), "Main Input");
  SetFirstLabel(OutputBusLabels(), "Output");
  SizeHostChannels(hostFloat_);
  SizeHostChannels(hostDouble_);
}

IPlugVST3::~IPlugVST3() = default;

tresult PLUGIN_API IPlugVST3::initialize(FUnknown* context) {
  IMutexLock lock(InstanceLock());
  const tresult result = SingleComponentEffect::initialize(context);
  IdentifyHost(context);
  if (result == kResultOk) {
    AddBuses();
    AddParameters();
  }
  OnHostKnown();
  RecallPreset(0);
  return result;
}

void IPlugVST3::IdentifyHost(FUnknown* context) {
  if (!context) return;
  void* found = nullptr;
  if (context->queryInterface(IHostApplication::iid.data, &found) != kResultOk || !found) return;
  auto* host = static_cast<IHostApplication*>(found);
  String128 name{};
  if (host->getName(name) == kResultOk) {
    char text[kString128Units];
    NarrowText(text, kString128Units, name, kString128Units);
    SetHostIdentity(LookUpHostKind(text), 0);
  }
  host->release();
}

void IPlugVST3::AddBuses() {
  String128 name{};
  const int nIn = NInChannels();
  if (nIn >= 1 && nIn <= 6) {
    BusName(InputBusLabels(), name);
    addAudioInput(name, ArrangementFor(nIn));
  }
  BusName(OutputBusLabels(), name);
  addAudioOutput(name, ArrangementFor(NOutChannels()));
}

tresult PLUGIN_API IPlugVST3::terminate() {
  IMutexLock lock(InstanceLock());
  return SingleComponentEffect::terminate();
}

tresult PLUGIN_API IPlugVST3::activateBus(MediaType type, BusDirection dir, int32 index, TBool state) {
  IMutexLock lock(InstanceLock());
  return SingleComponentEffect::activateBus(type, dir, index, state);
}

tresult PLUGIN_API IPlugVST3::setActive(TBool state) {
  // The product's hook is promised the lock, as under the VST 2.4 host.
  IMutexLock lock(InstanceLock());
  OnActiveChanged(state != 0);
  return kResultOk;
}

void IPlugVST3::DisconnectAllChannels() {
  DisconnectInput(0);
  SetOutputConnections(0, NOutChannels(), false);
}

tresult PLUGIN_API IPlugVST3::setBusArrangements(SpeakerArrangement* inputs, int32 numIns,
                                                 SpeakerArrangement* outputs, int32 numOuts) {
  IMutexLock lock(InstanceLock());
  DisconnectAllChannels();
  if (numIns < 1 || numOuts < 1 || !inputs || !outputs) return kResultFalse;
  const int nIn = SpeakerArr::getChannelCount(inputs[0]);
  const int nOut = SpeakerArr::getChannelCount(outputs[0]);
  if (!LegalIO(nIn, nOut)) return kResultFalse;
  String128 name{};
  const AudioBus* input = getAudioBus(kInput, 0);
  if (!input || SpeakerArr::getChannelCount(input->getArrangement()) != nIn) {
    audioInputs_.clear();
    WidenText(name, kString128Units, "Input");
    addAudioInput(name, ArrangementFor(nIn));
  }
  const AudioBus* output = getAudioBus(kOutput, 0);
  if (!output || SpeakerArr::getChannelCount(output->getArrangement()) != nOut) {
    audioOutputs_.clear();
    WidenText(name, kString128Units, "Output");
    addAudioOutput(name, ArrangementFor(nOut));
  }
  return numIns == 1 ? kResultOk : kResultFalse;
}

tresult PLUGIN_API IPlugVST3::canProcessSampleSize(int32 symbolicSampleSize) {
  return symbolicSampleSize == kSample32 || symbolicSampleSize == kSample64 ? kResultOk : kResultFalse;
}

uint32 PLUGIN_API IPlugVST3::getLatencySamples() {
  IMutexLock lock(InstanceLock());
  return static_cast<uint32>(Latency());
}

uint32 PLUGIN_API IPlugVST3::getTailSamples() {
  IMutexLock lock(InstanceLock());
  return static_cast<uint32>(TailSize());
}

tresult PLUGIN_API IPlugVST3::setupProcessing(ProcessSetup& setup) {
  // Only the two sample sizes process: any other would leave every block unprocessed.
  if (IsNullReference(setup) || canProcessSampleSize(setup.symbolicSampleSize) != kResultOk) {
    return kResultFalse;
  }
  IMutexLock lock(InstanceLock());
  SetSampleRate(setup.sampleRate);
  SetBypassed(false);
  ApplyBlockSize(setup.maxSamplesPerBlock);
  OnReset();
  processSetup_ = setup;
  return kResultOk;
}

bool IPlugVST3::HostIsOffline() { return processSetup_.processMode == kOffline; }

int IPlugVST3::QuerySamplePosition() {
  // The low 32 bits, as a signed number.
  return static_cast<int>(static_cast<uint32_t>(static_cast<uint64_t>(lastProcessContext_.projectTimeSamples)));
}

double IPlugVST3::QueryTempo() { return lastProcessContext_.tempo; }

void IPlugVST3::QueryTimeSignature(int* numerator, int* denominator) {
  if (numerator) *numerator = lastProcessContext_.timeSigNumerator;
  if (denominator) *denominator = lastProcessContext_.timeSigDenominator;
}

void IPlugVST3::QueryTransport(ITransportInfo* info) {
  if (!info) return;
  const ProcessContext& c = lastProcessContext_;
  info->tempo = c.tempo;
  info->samplePosition = static_cast<double>(c.projectTimeSamples);
  info->ppqPosition = c.projectTimeMusic;
  info->lastBarPosition = c.barPositionMusic;
  info->cycleStart = c.cycleStartMusic;
  info->cycleEnd = c.cycleEndMusic;
  info->numerator = c.timeSigNumerator;
  info->denominator = c.timeSigDenominator;
  info->transportRunning = (c.state & ProcessContext::kPlaying) != 0;
  info->cycleActive = (c.state & ProcessContext::kCycleActive) != 0;
}

void IPlugVST3::SetLatencySamples(int samples) {
  IMutexLock lock(InstanceLock());
  IPlugBase::SetLatencySamples(samples);
  if (IComponentHandler* handler = getComponentHandler()) handler->restartComponent(kLatencyChanged);
}

bool IPlugVST3::SendMidiToHost(const IMidiMessage&) { return false; }
