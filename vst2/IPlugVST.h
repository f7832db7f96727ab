#pragma once
// The VST 2.4 binding: translates the host's AEffect record, dispatcher and
// callbacks into the operations of IPlugBase, and the base's host-facing
// operations into calls of the host callback. The product derives from it.
//
// Every host entry is a static trampoline that recovers the instance from the
// record, refuses a record without one, takes the instance lock and forwards.

#include <array>
#include <cstdint>

#include "framework/IPlugBase.h"
#include "vst2/Vst2Interface.h"

// What the entry point hands the product's constructor.
struct IPlugInstanceInfo {
  audioMasterCallback hostCallback = nullptr;
};

class IPlugVST : public IPlugBase {
public:
  IPlugVST(const IPlugInstanceInfo& instanceInfo, const IPlugConfig& config);
  ~IPlugVST() override;

  // The record handed to the host; it stays at this address until effClose.
  AEffect* Effect() { return &effect_; }
  // The instance behind a host's record, or null when the record has none.
  static IPlugVST* FromEffect(AEffect* effect);

  // --- Host-facing operations of the base ------------------------------------
  // Calls to the host are made on the caller's thread with the instance lock held.
  // UI thread (editor gesture), under the instance lock.
  void BeginParameterEdit(int paramIdx) override;
  // Any thread, under the instance lock: audioMasterAutomate with the value as given.
  void SendParameterToHost(int paramIdx, double normalized) override;
  // UI thread (editor gesture), under the instance lock.
  void EndParameterEdit(int paramIdx) override;
  // UI thread, under the instance lock: the host re-reads names and texts.
  void NotifyHostProgramChanged() override;
  // Any thread, under the instance lock: true while the host renders offline.
  bool HostIsOffline() override;
  // Audio thread, inside processing, under the instance lock; the host's time
  // record is valid only until the block ends.
  int QuerySamplePosition() override;
  double QueryTempo() override;
  void QueryTimeSignature(int* numerator, int* denominator) override;
  void QueryTransport(ITransportInfo* info) override;
  // Identifies the host on the first call (product text and version), then
  // answers the stored kind. UI thread, under the instance lock.
  HostKind GetHostKind() override;
  // UI thread, under the instance lock: the edit rectangle follows the editor.
  void ApplyEditorSize(int width, int height) override;
  // UI thread, from effOpen under the instance lock; runs once per instance.
  void InitForHost() override;
  // Product constructor (entry lock held): adds the editor flag and the edit rectangle.
  void AttachEditor(IGraphics* editor) override;
  // Any thread, under the instance lock; the host is not told.
  void SetLatencySamples(int samples) override;
  // Audio thread, inside processing, under the instance lock; the event stays
  // valid until the processing call ends. False when the host refuses it or the
  // block already sent kMaxSentEvents.
  bool SendMidiToHost(const IMidiMessage& message) override;
  bool SendSysExToHost(const ISysExMessage& message) override;

  // --- Host entries (installed in the AEffect record) ---------------------------
  // UI thread mostly (some hosts use others); the whole request runs under the
  // instance lock, except effClose, which releases it before destroying.
  static VstIntPtr VSTCALLBACK VSTDispatcher(AEffect* effect, VstInt32 opcode, VstInt32 index,
                                             VstIntPtr value, void* ptr, float opt);
  // Audio thread, under the instance lock.
  static void VSTCALLBACK VSTProcess(AEffect* effect, float** inputs, float** outputs,
                                     VstInt32 nFrames);
  static void VSTCALLBACK VSTProcessReplacing(AEffect* effect, float** inputs, float** outputs,
                                              VstInt32 nFrames);
  static void VSTCALLBACK VSTProcessDoubleReplacing(AEffect* effect, double** inputs,
                                                    double** outputs, VstInt32 nFrames);
  // Any thread, under the instance lock.
  static void VSTCALLBACK VSTSetParameter(AEffect* effect, VstInt32 index, float value);
  static float VSTCALLBACK VSTGetParameter(AEffect* effect, VstInt32 index);

protected:
  // Calls the host callback with this instance's record; 0 without a callback.
  VstIntPtr CallHost(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                     float opt = 0.0f);
  bool HasHostCallback() const { return hostCallback_ != nullptr; }

private:
  // UI thread mostly, under the instance lock.
  VstIntPtr Dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt);
  // Destroys the instance behind the record exactly once; later closes of the same
  // record answer without touching it.
  static void CloseInstance(AEffect* effect);

  // Dispatcher requests grouped by concern (IPlugVSTDispatcher.cpp). UI thread
  // mostly, under the instance lock (taken by VSTDispatcher).
  void OpenForHost();
  VstIntPtr SetProgram(VstIntPtr value);
  VstIntPtr SetProgramName(const char* name);
  VstIntPtr GetProgramName(char* out);
  VstIntPtr GetProgramNameIndexed(VstInt32 index, char* out);
  VstIntPtr GetParamText(VstInt32 opcode, VstInt32 index, char* out);
  VstIntPtr StringToParameter(VstInt32 index, const char* text);
  VstIntPtr MainsChanged(VstIntPtr value);
  VstIntPtr EditGetRect(void* ptr);
  VstIntPtr EditOpen(void* parent);
  VstIntPtr EditClose();
  VstIntPtr ProcessEvents(const VstEvents* events);
  VstIntPtr GetPinProperties(bool isInput, VstInt32 index, VstPinProperties* properties);
  VstIntPtr SetSpeakerArrangement(VstIntPtr inputArrangement, void* outputArrangement);
  VstIntPtr GetSpeakerArrangement(VstIntPtr inputSlot, void* outputSlot);
  VstIntPtr VendorSpecific(VstInt32 index, VstIntPtr value, void* ptr, float opt);
  VstIntPtr CanDo(const char* text) const;
  VstIntPtr GetMidiKeyName(MidiKeyName* keyName);

  // Chunks (IPlugVSTChunks.cpp). UI thread, under the instance lock. The block
  // handed out stays valid until the next request of the same kind.
  VstIntPtr GetChunk(bool isBank, void** data);
  VstIntPtr SetChunk(bool isBank, VstIntPtr size, const void* data);

  // Processing (IPlugVSTProcess.cpp). Audio thread, takes the instance lock,
  // with subnormal numbers flushed to zero for the duration of the call.
  void ProcessDouble(double** inputs, double** outputs, int nFrames);
  void ProcessFloat(float** inputs, float** outputs, int nFrames, bool accumulate);
  // Audio thread, under the instance lock.
  void SendWantMidi();
  // Any thread, takes the instance lock.
  void SetParameterFromHost(int paramIdx, float value);
  float GetParameterForHost(int paramIdx);

  // The host's time record for a request, or null.
  const VstTimeInfo* GetTimeInfo(VstInt32 requestFlags);
  void SetEditRectFromEditor();

  ERect editRect_ = {};
  audioMasterCallback hostCallback_ = nullptr;
  VstSpeakerArrangement inputArrangement_ = {};
  VstSpeakerArrangement outputArrangement_ = {};
  bool hostSetUpDone_ = false;
  IStateBuffer programChunk_;
  IStateBuffer bankChunk_;
  AEffect effect_ = {};
  // An event sent to the host stays as sent until the end of the processing
  // call that contains or follows the send, so every send takes a slot of its
  // own; the slots are free again when that call returns. A block that sends
  // more events than there are slots has the rest refused.
  static constexpr int kMaxSentEvents = 128;
  struct SentEvent {
    VstEvents list;
    VstMidiEvent midi;
    VstMidiSysexEvent sysex;
  };
  // Audio thread, under the instance lock: a cleared slot, or null when all are taken.
  SentEvent* TakeSentSlot();
  // Audio thread, under the instance lock: the slot's one event to the host.
  bool HandToHost(SentEvent& slot, VstEvent* event);
  std::array<SentEvent, kMaxSentEvents> sentEvents_ = {};
  int sentCount_ = 0;
};

// Creates the product on this binding; defined by the product, called by the
// entry point under the entry lock. Null when no instance could be made.
IPlugVST* CreateVst2Plugin(const IPlugInstanceInfo& instanceInfo);

// The loaded module's own handle (HINSTANCE on Windows, the address the object
// is mapped at on Linux), recorded when the module is loaded; for the editor's
// window class and resources.
void* Vst2ModuleHandle();
