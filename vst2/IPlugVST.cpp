// IPlugVST: construction, host set-up, the editor's rectangle and every call
// back to the host.
#include "vst2/IPlugVST.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <mutex>
#include <unordered_set>

#include "graphics/IGraphics.h"

namespace {
// Instances whose record a host may still close. Guards against a record being
// destroyed twice.
struct LiveInstances {
  std::mutex mutex;
  std::unordered_set<AEffect*> effects;
};

LiveInstances& Live() {
  static LiveInstances live;
  return live;
}

void Register(AEffect* effect) {
  std::lock_guard<std::mutex> lock(Live().mutex);
  Live().effects.insert(effect);
}

// True only for the caller that removed it.
bool Unregister(AEffect* effect) {
  std::lock_guard<std::mutex> lock(Live().mutex);
  return Live().effects.erase(effect) == 1;
}

VstInt32 ArrangementTypeFor(int nChannels) {
  if (nChannels <= 0) return kSpeakerArrEmpty;
  if (nChannels == 1) return kSpeakerArrMono;
  if (nChannels == 2) return kSpeakerArrStereo;
  return kSpeakerArrUserDefined;
}

// Hosts that take only the first two inputs and expect every output.
bool LimitsChannels(HostKind kind) {
  return kind == HostKind::Forte || kind == HostKind::Audition || kind == HostKind::Orion ||
         kind == HostKind::SawStudio;
}

// The packed version (major << 16 | minor << 8 | patch) in the decimal form
// hosts show: 50000 for 5.0.0.
VstInt32 DecimalVersion(int32_t packed) {
  return ((packed >> 16) & 0xFFFF) * 10000 + ((packed >> 8) & 0xFF) * 100 + (packed & 0xFF);
}
}  // namespace

IPlugVST::IPlugVST(const IPlugInstanceInfo& instanceInfo, const IPlugConfig& config)
    : IPlugBase(config, PluginApi::Vst2), hostCallback_(instanceInfo.hostCallback) {
  std::memset(&effect_, 0, sizeof effect_);
  effect_.magic = kEffectMagic;
  effect_.dispatcher = VSTDispatcher;
  effect_.process = VSTProcess;
  effect_.setParameter = VSTSetParameter;
  effect_.getParameter = VSTGetParameter;
  effect_.numPrograms = NPresets();
  effect_.numParams = NParams();
  effect_.numInputs = NInChannels();
  effect_.numOutputs = NOutChannels();
  effect_.flags = effFlagsCanReplacing | effFlagsCanDoubleReplacing;
  if (LegalIO(1, -1)) effect_.flags |= effFlagsCanMono;
  effect_.initialDelay = Latency();
  effect_.ioRatio = 1.0f;
  effect_.object = this;
  effect_.uniqueID = UniqueId();
  effect_.version = DecimalVersion(Version());
  effect_.processReplacing = VSTProcessReplacing;
  effect_.processDoubleReplacing = VSTProcessDoubleReplacing;

  editRect_ = ERect{};
  inputArrangement_.numChannels = NInChannels();
  inputArrangement_.type = ArrangementTypeFor(NInChannels());
  outputArrangement_.numChannels = NOutChannels();
  outputArrangement_.type = ArrangementTypeFor(NOutChannels());

  SetInputConnections(0, NInChannels(), true);
  SetOutputConnections(0, NOutChannels(), true);
  // Until the host tells its block size.
  constexpr int kInitialBlockSize = 1024;
  ApplyBlockSize(kInitialBlockSize);

  Register(&effect_);
}

IPlugVST::~IPlugVST() {
  Unregister(&effect_);
  effect_.object = nullptr;
}

IPlugVST* IPlugVST::FromEffect(AEffect* effect) {
  return effect ? static_cast<IPlugVST*>(effect->object) : nullptr;
}

void IPlugVST::CloseInstance(AEffect* effect) {
  if (!Unregister(effect)) return;
  IPlugVST* plug = FromEffect(effect);
  if (!plug) return;
  {
    // Waits for a block or request in flight; nothing reaches the instance after.
    IMutexLock lock(plug->InstanceLock());
    effect->object = nullptr;
  }
  delete plug;
}

VstIntPtr IPlugVST::CallHost(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                             float opt) {
  return hostCallback_ ? hostCallback_(&effect_, opcode, index, value, ptr, opt) : 0;
}

// --- Host identification and set-up -------------------------------------------

HostKind IPlugVST::GetHostKind() {
  const HostKind stored = IPlugBase::GetHostKind();
  if (stored != HostKind::NotIdentified) return stored;
  Vst2HostQueries queries;
  queries.context = this;
  queries.getProductString = [](void* context, char* buffer, int) {
    static_cast<IPlugVST*>(context)->CallHost(audioMasterGetProductString, 0, 0, buffer);
  };
  queries.getVendorVersion = [](void* context) -> int64_t {
    return static_cast<IPlugVST*>(context)->CallHost(audioMasterGetVendorVersion);
  };
  int32_t version = 0;
  const HostKind kind = IdentifyVst2Host(queries, &version);
  SetHostIdentity(kind, version);
  return kind;
}

void IPlugVST::InitForHost() {
  if (hostSetUpDone_) return;
  hostSetUpDone_ = true;
  if (LimitsChannels(GetHostKind())) {
    if (NInChannels() > 2) SetInputConnections(2, NInChannels() - 2, false);
    for (int i = 2; i < NOutChannels(); ++i) OutputChannel(i).connected = true;
  }
  effect_.numInputs = inputArrangement_.numChannels = NInChannels();
  effect_.numOutputs = outputArrangement_.numChannels = NOutChannels();
  OnHostKnown();
}

// --- Editor -------------------------------------------------------------------

void IPlugVST::SetEditRectFromEditor() {
  const IGraphics* editor = Editor();
  if (!editor) return;
  editRect_.top = 0;
  editRect_.left = 0;
  editRect_.bottom = static_cast<VstInt16>(std::clamp(editor->Height(), 0, static_cast<int>(INT16_MAX)));
  editRect_.right = static_cast<VstInt16>(std::clamp(editor->Width(), 0, static_cast<int>(INT16_MAX)));
}

void IPlugVST::AttachEditor(IGraphics* editor) {
  IPlugBase::AttachEditor(editor);
  if (!Editor()) return;
  effect_.flags |= effFlagsHasEditor;
  SetEditRectFromEditor();
}

void IPlugVST::ApplyEditorSize(int, int) {
  // The rectangle always follows the editor's own size.
  if (!Editor()) return;
  SetEditRectFromEditor();
  OnEditorResized();
}

// --- Calls to the host -----------------------------------------------------------

void IPlugVST::BeginParameterEdit(int paramIdx) { CallHost(audioMasterBeginEdit, paramIdx); }

void IPlugVST::SendParameterToHost(int paramIdx, double normalized) {
  CallHost(audioMasterAutomate, paramIdx, 0, nullptr, static_cast<float>(normalized));
}

void IPlugVST::EndParameterEdit(int paramIdx) { CallHost(audioMasterEndEdit, paramIdx); }

void IPlugVST::NotifyHostProgramChanged() { CallHost(audioMasterUpdateDisplay); }

bool IPlugVST::HostIsOffline() {
  return CallHost(audioMasterGetCurrentProcessLevel) == kVstProcessLevelOffline;
}

void IPlugVST::SetLatencySamples(int samples) {
  IPlugBase::SetLatencySamples(samples);
  effect_.initialDelay = samples;
}

const VstTimeInfo* IPlugVST::GetTimeInfo(VstInt32 requestFlags) {
  return reinterpret_cast<const VstTimeInfo*>(CallHost(audioMasterGetTime, 0, requestFlags));
}

int IPlugVST::QuerySamplePosition() {
  const VstTimeInfo* info = GetTimeInfo(0);
  if (!info || !(info->samplePos >= 0.0)) return 0;
  const double rounded = info->samplePos + 0.5;
  // Long sessions pass the int range; the position saturates instead of wrapping.
  return rounded >= static_cast<double>(INT_MAX) ? INT_MAX : static_cast<int>(rounded);
}

double IPlugVST::QueryTempo() {
  if (!HasHostCallback()) return 0.0;
  const VstTimeInfo* info = GetTimeInfo(kVstTempoValid);
  if (info && (info->flags & kVstTempoValid) && info->tempo >= 0.0) return info->tempo;
  return 0.0;
}

void IPlugVST::QueryTimeSignature(int* numerator, int* denominator) {
  int num = 0;
  int den = 0;
  const VstTimeInfo* info = GetTimeInfo(kVstTimeSigValid);
  if (info && (info->flags & kVstTimeSigValid) && info->timeSigNumerator >= 0 &&
      info->timeSigDenominator >= 0) {
    num = info->timeSigNumerator;
    den = info->timeSigDenominator;
  }
  if (numerator) *numerator = num;
  if (denominator) *denominator = den;
}

void IPlugVST::QueryTransport(ITransportInfo* out) {
  constexpr VstInt32 kRequest =
      kVstPpqPosValid | kVstTempoValid | kVstBarsValid | kVstCyclePosValid | kVstTimeSigValid;
  const VstTimeInfo* info = GetTimeInfo(kRequest);
  if (!out || !info || !(info->flags & kRequest)) return;
  const VstInt32 flags = info->flags;
  out->samplePosition = info->samplePos;
  if ((flags & kVstPpqPosValid) && info->ppqPos >= 0.0) out->ppqPosition = info->ppqPos;
  // Strictly positive here, unlike QueryTempo and QueryTimeSignature.
  if ((flags & kVstTempoValid) && info->tempo > 0.0) out->tempo = info->tempo;
  if ((flags & kVstBarsValid) && info->barStartPos >= 0.0) out->lastBarPosition = info->barStartPos;
  if ((flags & kVstCyclePosValid) && info->cycleStartPos >= 0.0 && info->cycleEndPos >= 0.0) {
    out->cycleStart = info->cycleStartPos;
    out->cycleEnd = info->cycleEndPos;
  }
  if ((flags & kVstTimeSigValid) && info->timeSigNumerator > 0 && info->timeSigDenominator > 0) {
    out->numerator = info->timeSigNumerator;
    out->denominator = info->timeSigDenominator;
  }
  out->transportRunning = (flags & kVstTransportPlaying) != 0;
  out->cycleActive = (flags & kVstTransportCycleActive) != 0;
}

IPlugVST::SentEvent* IPlugVST::TakeSentSlot() {
  if (sentCount_ >= kMaxSentEvents) return nullptr;
  SentEvent& slot = sentEvents_[static_cast<size_t>(sentCount_++)];
  slot = SentEvent{};
  return &slot;
}

bool IPlugVST::HandToHost(SentEvent& slot, VstEvent* event) {
  slot.list.numEvents = 1;
  slot.list.events[0] = event;
  return CallHost(audioMasterProcessEvents, 0, 0, &slot.list) == 1;
}

bool IPlugVST::SendMidiToHost(const IMidiMessage& message) {
  SentEvent* slot = TakeSentSlot();
  if (!slot) return false;
  VstMidiEvent& midi = slot->midi;
  midi.type = kVstMidiType;
  midi.byteSize = sizeof(VstMidiEvent);
  midi.deltaFrames = message.offset;
  midi.midiData[0] = static_cast<char>(message.status);
  midi.midiData[1] = static_cast<char>(message.data1);
  midi.midiData[2] = static_cast<char>(message.data2);
  return HandToHost(*slot, reinterpret_cast<VstEvent*>(&midi));
}

bool IPlugVST::SendSysExToHost(const ISysExMessage& message) {
  SentEvent* slot = TakeSentSlot();
  if (!slot) return false;
  VstMidiSysexEvent& sysex = slot->sysex;
  sysex.type = kVstSysExType;
  sysex.byteSize = sizeof(VstMidiSysexEvent);
  sysex.deltaFrames = message.offset;
  sysex.dumpBytes = message.size;
  sysex.sysexDump = reinterpret_cast<char*>(const_cast<uint8_t*>(message.data));
  return HandToHost(*slot, reinterpret_cast<VstEvent*>(&sysex));
}
