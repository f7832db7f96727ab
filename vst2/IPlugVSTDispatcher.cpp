// IPlugVST: the dispatcher, one request at a time, under the instance lock.
#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstring>
#include <string>

#include "graphics/IGraphics.h"
#include "vst2/IPlugVST.h"

namespace {
// Longest texts written into host buffers, in characters; the terminator follows.
// Program texts and value texts keep to the published limits (hosts reserve at
// least one byte more). Parameter names get the framework's whole field: hosts
// reserve far more than the published 8, and cut names would collide.
constexpr int kProgramNameChars = kVstMaxProgNameLen;
constexpr int kParamValueChars = kVstMaxParamStrLen;
constexpr int kParamNameChars = kParamTextSize - 1;
constexpr int kEffectNameChars = kVstMaxEffectNameLen;
constexpr int kVendorChars = kVstMaxVendorStrLen;
constexpr int kProductChars = kVstMaxProductStrLen;
// Longest text read from a host: a capability or a value typed by the user.
constexpr int kHostTextChars = 255;

constexpr VstIntPtr kCockosExtensionsAnswer = 0xBEEF0000;
constexpr VstIntPtr kVendorSpecificAnswer = 0xBEEF;
constexpr int kVendorParamDisplay = 7;  // the number of effGetParamDisplay

void CopyToHost(char* out, const char* text, int maxChars) { CopyText(out, text, maxChars + 1); }

// A host text that may lack its terminator, read no further than maxChars.
std::string ReadHostText(const char* text, int maxChars) {
  int n = 0;
  while (n < maxChars && text[n] != '\0') ++n;
  return std::string(text, static_cast<size_t>(n));
}

// A pointer-wide host value as an index; anything outside the int range is no index.
int ToIndex(VstIntPtr value) {
  return value < 0 || value > INT_MAX ? -1 : static_cast<int>(value);
}
}  // namespace

VstIntPtr VSTCALLBACK IPlugVST::VSTDispatcher(AEffect* effect, VstInt32 opcode, VstInt32 index,
                                              VstIntPtr value, void* ptr, float opt) {
  // A closed record may already be gone: it is looked up before it is read.
  if (opcode == effClose) {
    CloseInstance(effect);
    return 0;
  }
  IPlugVST* plug = FromEffect(effect);
  if (!plug) return 0;
  try {
    IMutexLock lock(plug->InstanceLock());
    return plug->Dispatch(opcode, index, value, ptr, opt);
  } catch (...) {
    // Nothing may unwind into the host; an allocation that failed is a refusal.
    return 0;
  }
}

VstIntPtr IPlugVST::Dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                             float opt) {
  switch (opcode) {
    case effOpen: OpenForHost(); return 0;
    case effSetProgram: return SetProgram(value);
    case effGetProgram: return CurrentPresetIdx();
    case effSetProgramName: return SetProgramName(static_cast<const char*>(ptr));
    case effGetProgramName: return GetProgramName(static_cast<char*>(ptr));
    case effGetParamLabel:
    case effGetParamDisplay:
    case effGetParamName: return GetParamText(opcode, index, static_cast<char*>(ptr));
    case effSetSampleRate:
      SetSampleRate(static_cast<double>(opt));
      OnReset();
      return 0;
    case effSetBlockSize:
      ApplyBlockSize(static_cast<int>(std::clamp<VstIntPtr>(value, 0, INT_MAX)));
      OnReset();
      return 0;
    case effMainsChanged: return MainsChanged(value);
    case effEditGetRect: return EditGetRect(ptr);
    case effEditOpen: return EditOpen(ptr);
    case effEditClose: return EditClose();
    case effIdentify: return kVstIdentifyAnswer;
    case effGetChunk: return GetChunk(index == 0, static_cast<void**>(ptr));
    case effSetChunk: return SetChunk(index == 0, value, ptr);
    case effProcessEvents: return ProcessEvents(static_cast<const VstEvents*>(ptr));
    case effCanBeAutomated: return 1;
    case effString2Parameter: return StringToParameter(index, static_cast<const char*>(ptr));
    case effGetProgramNameIndexed: return GetProgramNameIndexed(index, static_cast<char*>(ptr));
    case effGetInputProperties:
      return GetPinProperties(true, index, static_cast<VstPinProperties*>(ptr));
    case effGetOutputProperties:
      return GetPinProperties(false, index, static_cast<VstPinProperties*>(ptr));
    case effGetPlugCategory: return IsInstrument() ? kPlugCategSynth : kPlugCategEffect;
    case effSetSpeakerArrangement: return SetSpeakerArrangement(value, ptr);
    case effGetEffectName:
      if (!ptr) return 0;
      CopyToHost(static_cast<char*>(ptr), EffectName(), kEffectNameChars);
      return 1;
    case effGetVendorString:
      if (!ptr) return 0;
      CopyToHost(static_cast<char*>(ptr), VendorName(), kVendorChars);
      return 1;
    case effGetProductString:
      if (!ptr) return 0;
      CopyToHost(static_cast<char*>(ptr), ProductName(), kProductChars);
      return 1;
    case effGetVendorVersion: return effect_.version;
    case effVendorSpecific: return VendorSpecific(index, value, ptr, opt);
    case effCanDo: return CanDo(static_cast<const char*>(ptr));
    case effGetTailSize: return TailSize();
    case effGetVstVersion: return kVstVersion;
    case effGetMidiKeyName: return GetMidiKeyName(static_cast<MidiKeyName*>(ptr));
    case effGetSpeakerArrangement: return GetSpeakerArrangement(value, ptr);
    // effEditIdle, effIdle, effProcessVarIo and everything unknown: nothing to do.
    default: return 0;
  }
}

void IPlugVST::OpenForHost() {
  InitForHost();
  for (int i = 0; i < NParams(); ++i) OnParameterChanged(i);
}

VstIntPtr IPlugVST::SetProgram(VstIntPtr value) {
  // Without chunks the host keeps no copy of the live values: the preset does.
  if (!DoesStateChunks()) ModifyCurrentPreset();
  RecallPreset(ToIndex(value));
  return 0;
}

VstIntPtr IPlugVST::SetProgramName(const char* name) {
  if (!name) return 0;
  ModifyCurrentPreset(ReadHostText(name, static_cast<int>(IPresetSlot::kMaxNameLength)).c_str());
  OnPresetsChangedByHost();
  return 0;
}

VstIntPtr IPlugVST::GetProgramName(char* out) {
  if (!out) return 0;
  const IPresetSlot* slot = GetPreset(CurrentPresetIdx());
  CopyToHost(out, slot ? slot->name.c_str() : "", kProgramNameChars);
  return 0;
}

VstIntPtr IPlugVST::GetProgramNameIndexed(VstInt32 index, char* out) {
  if (!out) return 0;
  const IPresetSlot* slot = GetPreset(index);
  CopyToHost(out, slot ? slot->name.c_str() : "", kProgramNameChars);
  return out[0] != '\0' ? 1 : 0;
}

VstIntPtr IPlugVST::GetParamText(VstInt32 opcode, VstInt32 index, char* out) {
  const IParamDef* param = GetParam(index);
  if (!param || !out) return 0;
  if (opcode == effGetParamLabel) {
    CopyToHost(out, param->LabelForHost(), kParamValueChars);
  } else if (opcode == effGetParamDisplay) {
    char text[kParamTextSize];
    param->FormatForHost(param->Value(), false, text, true);
    CopyToHost(out, text, kParamValueChars);
  } else {
    CopyToHost(out, param->Name(), kParamNameChars);
  }
  return 0;
}

VstIntPtr IPlugVST::StringToParameter(VstInt32 index, const char* text) {
  IParamDef* param = GetParam(index);
  if (!param) return 0;
  if (!text) return 1;  // the host asks whether texts are understood
  double value = 0.0;
  if (!param->ValueFromHostText(ReadHostText(text, kHostTextChars).c_str(), &value)) return 0;
  if (IGraphics* editor = Editor()) editor->SetParamFromPlug(index, value, false);
  param->SetClamped(value);
  OnParameterChanged(index);
  return 1;
}

VstIntPtr IPlugVST::MainsChanged(VstIntPtr value) {
  if (value == 0) {
    OnActiveChanged(false);
    OnReset();
  } else {
    OnActiveChanged(true);
  }
  return 0;
}

VstIntPtr IPlugVST::EditGetRect(void* ptr) {
  if (!ptr || !Editor()) return 0;
  *static_cast<ERect**>(ptr) = &editRect_;
  return 1;
}

VstIntPtr IPlugVST::EditOpen(void* parent) {
  IGraphics* editor = Editor();
  if (!editor || !parent) return 0;
  // A second open without a close replaces the window: the product sees the
  // first one closed before the second opens.
  if (editor->HasWindow()) OnEditorClosed();
  if (!editor->OpenWindow(parent)) {
    // Whatever was open before is gone too: the product was told so.
    editor->CloseWindow();
    return 0;
  }
  OnEditorOpened();
  return 1;
}

VstIntPtr IPlugVST::EditClose() {
  IGraphics* editor = Editor();
  if (!editor) return 0;
  // A close without an open window tells the product nothing.
  if (editor->HasWindow()) OnEditorClosed();
  editor->CloseWindow();
  return 1;
}

VstIntPtr IPlugVST::ProcessEvents(const VstEvents* events) {
  if (!events) return 0;
  // Declared with two entries, really numEvents long.
  VstEvent* const* list = events->events;
  for (VstInt32 i = 0; i < events->numEvents; ++i) {
    const VstEvent* event = list[i];
    // Only events inside the coming block reach the product (and from there
    // possibly the host again).
    if (!event || event->deltaFrames < 0 || event->deltaFrames >= HostBlockSize()) continue;
    // The type decides; byteSize is not trusted (hosts disagree on it).
    if (event->type == kVstMidiType) {
      const auto* midi = reinterpret_cast<const VstMidiEvent*>(event);
      // A message starts with a status byte; running status is not part of VST events.
      if (!(static_cast<uint8_t>(midi->midiData[0]) & 0x80)) continue;
      IMidiMessage message;
      message.offset = midi->deltaFrames;
      message.status = static_cast<uint8_t>(midi->midiData[0]);
      message.data1 = static_cast<uint8_t>(midi->midiData[1]);
      message.data2 = static_cast<uint8_t>(midi->midiData[2]);
      HandleMidiMessage(message);
    } else if (event->type == kVstSysExType) {
      const auto* sysex = reinterpret_cast<const VstMidiSysexEvent*>(event);
      // A dump is a count of bytes that are there.
      if (sysex->dumpBytes < 0 || (sysex->dumpBytes > 0 && !sysex->sysexDump)) continue;
      ISysExMessage message;
      message.offset = sysex->deltaFrames;
      message.size = sysex->dumpBytes;
      message.data = reinterpret_cast<const uint8_t*>(sysex->sysexDump);
      HandleSysEx(message);
    }
  }
  return 1;
}

VstIntPtr IPlugVST::GetPinProperties(bool isInput, VstInt32 index, VstPinProperties* properties) {
  const int count = isInput ? NInChannels() : NOutChannels();
  if (!properties || index < 0 || index >= count) return 0;
  properties->flags = kVstPinIsActive;
  // The first of each pair that has a partner is a stereo pin.
  if (index % 2 == 0 && index < count - 1) properties->flags |= kVstPinIsStereo;
  const std::string& label = isInput ? InputChannel(index).label : OutputChannel(index).label;
  if (!label.empty()) {
    CopyText(properties->label, label.c_str(), kVstMaxLabelLen);
  } else {
    std::snprintf(properties->label, kVstMaxLabelLen, isInput ? "Input %d" : "Output %d", index + 1);
  }
  return 1;
}

VstIntPtr IPlugVST::SetSpeakerArrangement(VstIntPtr inputArrangement, void* outputArrangement) {
  const auto* in = reinterpret_cast<const VstSpeakerArrangement*>(inputArrangement);
  const auto* out = static_cast<const VstSpeakerArrangement*>(outputArrangement);
  // A count outside 0..channels means none or all of them.
  if (in) {
    const int n = std::clamp(static_cast<int>(in->numChannels), 0, NInChannels());
    SetInputConnections(0, n, true);
    SetInputConnections(n, NInChannels() - n, false);
  }
  if (out) {
    const int n = std::clamp(static_cast<int>(out->numChannels), 0, NOutChannels());
    SetOutputConnections(0, n, true);
    SetOutputConnections(n, NOutChannels() - n, false);
  }
  return 1;
}

VstIntPtr IPlugVST::GetSpeakerArrangement(VstIntPtr inputSlot, void* outputSlot) {
  if (auto** in = reinterpret_cast<VstSpeakerArrangement**>(inputSlot)) *in = &inputArrangement_;
  if (auto** out = static_cast<VstSpeakerArrangement**>(outputSlot)) *out = &outputArrangement_;
  return 1;
}

VstIntPtr IPlugVST::VendorSpecific(VstInt32 index, VstIntPtr value, void* ptr, float opt) {
  const IParamDef* param = GetParam(ToIndex(value));
  if (index == kVendorParamDisplay) {
    if (!ptr) return 0;
    if (param) {
      char text[kParamTextSize];
      param->FormatForHost(static_cast<double>(opt), true, text, true);
      CopyToHost(static_cast<char*>(ptr), text, kParamValueChars);
    }
    return kVendorSpecificAnswer;
  }
  if (index == kVstParameterUsesIntStep) {
    return param && param->Kind() != ParamKind::Continuous ? kVendorSpecificAnswer : 0;
  }
  return 0;
}

VstIntPtr IPlugVST::CanDo(const char* text) const {
  if (!text) return 0;
  const std::string asked = ReadHostText(text, kHostTextChars);
  if (asked == "receiveVstTimeInfo") return 1;
  if (DoesMidi() && (asked == "sendVstEvents" || asked == "sendVstMidiEvent" ||
                     asked == "receiveVstEvents" || asked == "receiveVstMidiEvent")) {
    return 1;
  }
  if (asked == "hasCockosExtensions" || asked == "hasCockosViewAsConfig") return kCockosExtensionsAnswer;
  return 0;
}

VstIntPtr IPlugVST::GetMidiKeyName(MidiKeyName* keyName) {
  if (!keyName) return 0;
  keyName->keyName[0] = '\0';
  const bool named = QueryMidiNoteName(keyName->thisKeyNumber, keyName->keyName);
  keyName->keyName[kVstMaxNameLen - 1] = '\0';
  return named ? 1 : 0;
}
