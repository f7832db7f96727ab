#pragma once
// A scripted VST 2.4 host for tests: it answers the plug-in's calls from a script
// (product text, vendor version, time info, process level) and records every
// call the plug-in makes. It drives a plug-in only through its AEffect record.

#include <cstring>
#include <mutex>
#include <string>
#include <vector>

#include "vst2/Vst2Interface.h"

class Vst2TestHost {
public:
  struct Call {
    VstInt32 opcode;
    VstInt32 index;
    VstIntPtr value;
    float opt;
  };

  // What the host answers.
  std::string productString = "Vst2TestHost";
  VstIntPtr vendorVersion = 10000;
  bool hasTimeInfo = false;
  VstTimeInfo timeInfo = {};
  VstIntPtr processLevel = kVstProcessLevelRealtime;
  VstIntPtr processEventsAnswer = 1;

  // Events the plug-in sent, copied while the call lasted.
  std::vector<VstMidiEvent> midiSent;
  std::vector<VstMidiSysexEvent> sysexSent;
  std::vector<std::vector<char>> sysexBytes;
  // The lists themselves: the plug-in keeps them valid until the processing call ends.
  std::vector<const VstEvents*> eventLists;

  // Entry points are handed this; the host finds itself again through resvd1,
  // its own field of the record, or as the host of the record being created.
  static VstIntPtr VSTCALLBACK Callback(AEffect* effect, VstInt32 opcode, VstInt32 index,
                                        VstIntPtr value, void* ptr, float opt) {
    Vst2TestHost* host = effect && effect->resvd1 ? reinterpret_cast<Vst2TestHost*>(effect->resvd1)
                                                  : Creating();
    return host ? host->Answer(opcode, index, value, ptr, opt) : 0;
  }

  // Calls an entry point for this host and claims the record it returns.
  AEffect* Create(AEffect* (*entry)(audioMasterCallback)) {
    Creating() = this;
    AEffect* effect = entry(&Callback);
    Creating() = nullptr;
    if (effect) effect->resvd1 = reinterpret_cast<VstIntPtr>(this);
    return effect;
  }

  std::vector<Call> Calls() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return calls_;
  }
  std::vector<Call> CallsOf(VstInt32 opcode) const {
    std::vector<Call> found;
    for (const Call& call : Calls()) {
      if (call.opcode == opcode) found.push_back(call);
    }
    return found;
  }
  void ClearCalls() {
    std::lock_guard<std::mutex> lock(mutex_);
    calls_.clear();
  }

private:
  static Vst2TestHost*& Creating() {
    static Vst2TestHost* creating = nullptr;
    return creating;
  }

  VstIntPtr Answer(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
    std::lock_guard<std::mutex> lock(mutex_);
    calls_.push_back({opcode, index, value, opt});
    switch (opcode) {
      case audioMasterVersion: return kVstVersion;
      case audioMasterGetProductString:
        if (!ptr) return 0;
        std::strncpy(static_cast<char*>(ptr), productString.c_str(), kVstMaxProductStrLen);
        static_cast<char*>(ptr)[kVstMaxProductStrLen] = '\0';
        return 1;
      case audioMasterGetVendorVersion: return vendorVersion;
      case audioMasterGetTime: return hasTimeInfo ? reinterpret_cast<VstIntPtr>(&timeInfo) : 0;
      case audioMasterGetCurrentProcessLevel: return processLevel;
      case audioMasterProcessEvents: RecordEvents(static_cast<const VstEvents*>(ptr)); return processEventsAnswer;
      default: return 0;
    }
  }

  void RecordEvents(const VstEvents* events) {
    if (!events) return;
    eventLists.push_back(events);
    VstEvent* const* list = events->events;
    for (VstInt32 i = 0; i < events->numEvents; ++i) {
      const VstEvent* event = list[i];
      if (event->type == kVstMidiType) {
        midiSent.push_back(*reinterpret_cast<const VstMidiEvent*>(event));
      } else if (event->type == kVstSysExType) {
        const auto* sysex = reinterpret_cast<const VstMidiSysexEvent*>(event);
        sysexSent.push_back(*sysex);
        sysexBytes.emplace_back(sysex->sysexDump, sysex->sysexDump + sysex->dumpBytes);
      }
    }
  }

  mutable std::mutex mutex_;
  std::vector<Call> calls_;
};

// Dispatcher shorthand.
inline VstIntPtr Dispatch(AEffect* effect, VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0,
                          void* ptr = nullptr, float opt = 0.0f) {
  return effect->dispatcher(effect, opcode, index, value, ptr, opt);
}
