#pragma once
// The host-independent core of a plug-in instance: identity, parameters, presets,
// channel layout and buffers, the instance lock, and the virtual operations
// through which the product and a host binding meet. The product derives from a
// binding, which derives from this class.

#include <cmath>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "framework/HostKind.h"
#include "framework/IParamDef.h"
#include "framework/IPlugStructs.h"
#include "framework/IStateBuffer.h"

class IGraphics;

// Everything a program or bank load may change: every parameter's plain value,
// the preset bank and the current preset.
struct IPlugSnapshot {
  std::vector<double> values;
  std::vector<IPresetSlot> presets;
  int32_t currentPreset = 0;
};

// The longest block the scratch buffers are sized for. Hosts announce at most
// this; an announcement beyond it would only cost memory (32 bytes a frame).
constexpr int kMaxBlockSize = 65536;

// Texts that identify the plug-in to hosts hold up to 127 characters.
constexpr int kIdentityTextSize = 128;

// Packs four characters into a code, the first in the most significant byte.
constexpr int32_t FourCharCode(char a, char b, char c, char d) {
  return static_cast<int32_t>((static_cast<uint32_t>(static_cast<uint8_t>(a)) << 24) |
                              (static_cast<uint32_t>(static_cast<uint8_t>(b)) << 16) |
                              (static_cast<uint32_t>(static_cast<uint8_t>(c)) << 8) |
                              static_cast<uint32_t>(static_cast<uint8_t>(d)));
}

// What a product hands its base at construction.
struct IPlugConfig {
  int nParams = 0;
  const char* channelIOText = "";
  int nPresets = 0;
  const char* effectName = "";
  const char* productName = "";
  const char* vendorName = "";
  int32_t version = 0;  // major << 16 | minor << 8 | patch
  int32_t uniqueId = 0;
  int32_t manufacturerId = 0;
  int latency = 0;
  bool doesMidi = false;
  bool doesStateChunks = false;
  bool isInstrument = false;
};

class IPlugBase {
public:
  IPlugBase(const IPlugConfig& config, PluginApi api);
  IPlugBase(const IPlugBase&) = delete;
  IPlugBase& operator=(const IPlugBase&) = delete;

  // --- Virtual operations, in slot order ---------------------------------

  // UI thread (the host's close request), after the instance lock is released.
  // Destroys the editor first, then parameters, presets and channels.
  virtual ~IPlugBase();
  // UI thread, under the instance lock: after a sample-rate or block-size change
  // and on deactivation.
  virtual void OnReset();
  // Any thread, under the instance lock, after a parameter value changed.
  virtual void OnParameterChanged(int paramIdx);
  // Audio thread, under the instance lock. Default: inputs copied to outputs.
  virtual void ProcessBlock(double** inputs, double** outputs, int nFrames);
  // UI thread, under the instance lock: after the editor window opened, before it closes.
  virtual void OnEditorOpened() {}
  virtual void OnEditorClosed() {}
  // Not called by the bindings.
  virtual void OnIdleTick() {}
  // UI thread, under the instance lock: the host switches processing on or off.
  virtual void OnActiveChanged(bool active);
  // Audio thread (hosts deliver events just before the block), under the
  // instance lock; only events inside the block arrive. Default for MIDI: the
  // message goes back to the host.
  virtual void HandleMidiMessage(const IMidiMessage& message);
  virtual void HandleSysEx(const ISysExMessage& message);
  // UI thread, under the instance lock: the host asks for a key's name.
  virtual bool QueryMidiNoteName(int note, char* name);
  // Every program save and load goes through these two, so a product can replace
  // the program format; the default is SerializeParams / UnserializeParams. UI
  // thread (state transfers, preset operations), under the instance lock. The
  // format must be self-delimiting: a bank finds the end of a program by loading it.
  virtual bool SaveState(IStateBuffer& state);
  virtual int LoadState(const IStateBuffer& state, int position);
  // Any thread, under the instance lock; not called by the bindings.
  virtual bool StateMatches(const double* values, int count);
  // UI thread, under the instance lock, after ApplyEditorSize.
  virtual void OnEditorResized() {}
  // Not called by the bindings.
  virtual bool ReservedQuery() { return false; }
  // UI thread, under the instance lock, at the end of InitForHost.
  virtual void OnHostKnown() {}
  // UI thread (editor gesture), without the instance lock: the host's menu for a
  // parameter at x, y stays open while the user chooses, and processing must not
  // wait for it.
  virtual void ShowHostContextMenu(int paramIdx, int x, int y);
  // UI thread (editor gesture), takes the instance lock: sets the parameter,
  // tells the host, runs the change hook.
  virtual void SetParameterFromEditor(int paramIdx, double normalized);
  // UI thread (editor gesture), under the instance lock: the host hears where a
  // gesture starts and ends.
  virtual void BeginParameterEdit(int paramIdx) = 0;
  // Any thread, under the instance lock.
  virtual void SendParameterToHost(int paramIdx, double normalized) = 0;
  virtual void EndParameterEdit(int paramIdx) = 0;
  // UI thread, under the instance lock: the host re-reads names and texts.
  virtual void NotifyHostProgramChanged() = 0;
  // Any thread, under the instance lock.
  virtual bool HostIsOffline() { return false; }
  // Audio thread, inside processing, under the instance lock.
  virtual int QuerySamplePosition() = 0;
  virtual double QueryTempo() = 0;
  virtual void QueryTimeSignature(int* numerator, int* denominator) = 0;
  virtual void QueryTransport(ITransportInfo* info) = 0;
  // UI thread, under the instance lock.
  virtual HostKind GetHostKind() { return hostKind_; }
  // Any thread; fixed at construction.
  virtual PluginApi GetPluginApi() { return pluginApi_; }
  // UI thread, under the instance lock.
  virtual void ApplyEditorSize(int width, int height) = 0;
  // UI thread, under the instance lock, when the host opens the instance.
  virtual void InitForHost() {}
  // Product constructor, takes the instance lock. Takes ownership; hands every
  // parameter's value to the controls.
  virtual void AttachEditor(IGraphics* editor);
  // Any thread, under the instance lock.
  virtual void SetLatencySamples(int samples) { latency_ = samples; }
  // Audio thread, under the instance lock.
  virtual bool SendMidiToHost(const IMidiMessage& message) = 0;
  virtual bool SendSysExToHost(const ISysExMessage&) { return false; }
  // UI thread, under the instance lock: pushes every parameter's plain value to
  // the editor, if there is one.
  virtual void RefreshParameterControls();
  // Not called by the bindings.
  virtual void ReservedHook() {}
  // UI thread, under the instance lock, after a preset was recalled or renamed.
  virtual void OnPresetsChangedByHost() {}
  // UI thread, under the instance lock: records the host's block size and
  // resizes the scratch buffers to it, at most kMaxBlockSize frames (longer
  // calls are processed in pieces).
  virtual void ApplyBlockSize(int nFrames);

  // --- Parameters --------------------------------------------------------
  int NParams() const { return static_cast<int>(params_.size()); }
  IParamDef* GetParam(int paramIdx);
  const IParamDef* GetParam(int paramIdx) const;
  bool IsValidParam(int paramIdx) const { return paramIdx >= 0 && paramIdx < NParams(); }

  // --- Channels ----------------------------------------------------------
  int NInChannels() const { return static_cast<int>(inChannels_.size()); }
  int NOutChannels() const { return static_cast<int>(outChannels_.size()); }
  bool LegalIO(int nIn, int nOut) const;
  void SetInputConnections(int first, int count, bool connected);
  void SetOutputConnections(int first, int count, bool connected);
  const std::vector<IChannelPair>& ChannelPairs() const { return channelPairs_; }
  IInputChannel& InputChannel(int i) { return inChannels_[static_cast<size_t>(i)]; }
  IOutputChannel& OutputChannel(int i) { return outChannels_[static_cast<size_t>(i)]; }
  double** InputData() { return inData_.data(); }
  double** OutputData() { return outData_.data(); }

  // --- State and presets -------------------------------------------------
  // Each takes the instance lock itself (re-entered under the dispatcher); the
  // host calls them on its UI thread, the product's constructor once.

  // Appends every parameter's plain value as a double, in index order.
  bool SerializeParams(IStateBuffer& state);
  // Loads doubles from position on, clamping each into its parameter's range (a
  // NaN loads as the default); the parameter where the data runs out gets 0
  // clamped. Then runs the change hook for every parameter. Answers the end
  // position, or -1 when the data ran out.
  int UnserializeParams(const IStateBuffer& state, int position);
  // Per slot: name as text, initialised flag, and the stored program when initialised.
  bool SerializePresets(IStateBuffer& state);
  // Reads the bank written by SerializePresets, then recalls the current preset.
  int UnserializePresets(const IStateBuffer& state, int position);
  // Stores the live values in the current slot; a non-empty name renames it.
  void ModifyCurrentPreset(const char* name = nullptr);
  // Loads an initialised slot, or makes an uninitialised one a "user preset N"
  // holding the live values; false for an index outside the bank.
  bool RecallPreset(int presetIdx);
  // Gives up to count uninitialised slots the live values and the name ("Empty" for null).
  void FillDefaultPresets(const char* name, int count);
  // A refused load must change nothing: a binding takes a snapshot before it
  // loads host bytes and restores it when the load fails. Restoring runs the
  // change hook for every parameter and refreshes the controls.
  IPlugSnapshot TakeSnapshot();
  void RestoreSnapshot(const IPlugSnapshot& snapshot);
  int NPresets() const { return static_cast<int>(presets_.size()); }
  int CurrentPresetIdx() const { return currentPreset_; }
  IPresetSlot* GetPreset(int presetIdx);

  // --- Identity and host ---------------------------------------------------
  const char* EffectName() const { return effectName_; }
  const char* ProductName() const { return productName_; }
  const char* VendorName() const { return vendorName_; }
  int32_t UniqueId() const { return uniqueId_; }
  int32_t ManufacturerId() const { return manufacturerId_; }
  int32_t Version() const { return version_; }
  int32_t HostVersion() const { return hostVersion_; }
  bool DoesStateChunks() const { return doesStateChunks_; }
  bool IsInstrument() const { return isInstrument_; }
  bool DoesMidi() const { return doesMidi_; }
  double SampleRate() const { return sampleRate_; }
  // UI thread, under the instance lock. A rate that is not a positive number
  // would make every filter design non-finite: it is ignored.
  void SetSampleRate(double sampleRate) {
    if (sampleRate > 0.0 && sampleRate < HUGE_VAL) sampleRate_ = sampleRate;
  }
  // The scratch buffers' length: the host's block size, at most kMaxBlockSize.
  int BlockSize() const { return blockSize_; }
  // The longest call the host announced (a negative one as 0); events inside
  // such a call belong to it, however the call is pieced.
  int HostBlockSize() const { return hostBlockSize_; }
  int Latency() const { return latency_; }
  int TailSize() const { return tailSize_; }
  IGraphics* Editor() const { return editor_.get(); }

  // Kept for the VST 3 binding: its bypass state and the names of its buses and units.
  bool IsBypassed() const { return bypassed_; }
  void SetBypassed(bool bypassed) { bypassed_ = bypassed; }
  std::vector<std::string>& InputBusLabels() { return inputBusLabels_; }
  std::vector<std::string>& OutputBusLabels() { return outputBusLabels_; }
  std::vector<std::string>& UnitNames() { return unitNames_; }

  // The recursive instance lock: serialises processing, host and editor calls.
  std::recursive_mutex& InstanceLock() { return mutex_; }

protected:
  // Identification happens once: after the first call the stored answers stay.
  void SetHostIdentity(HostKind kind, int32_t version) {
    if (hostKind_ != HostKind::NotIdentified) return;
    hostKind_ = kind;
    hostVersion_ = version;
  }
  void SetCurrentPresetIdx(int presetIdx) { currentPreset_ = presetIdx; }

private:
  void ParseChannelIO(const char* text, int* maxIn, int* maxOut);
  // Disconnected channels read from and write to their own scratch buffers.
  void PointDisconnectedAtScratch();

  std::vector<IChannelPair> channelPairs_;
  std::recursive_mutex mutex_;
  char effectName_[kIdentityTextSize] = {};
  char productName_[kIdentityTextSize] = {};
  char vendorName_[kIdentityTextSize] = {};
  int32_t uniqueId_ = 0;
  int32_t manufacturerId_ = 0;
  int32_t version_ = 0;
  PluginApi pluginApi_ = PluginApi::Vst2;
  HostKind hostKind_ = HostKind::NotIdentified;
  int32_t hostVersion_ = 0;
  bool doesStateChunks_ = false;
  bool isInstrument_ = false;
  bool doesMidi_ = false;
  int32_t currentPreset_ = 0;
  double sampleRate_ = 44100.0;
  int32_t blockSize_ = 0;
  int32_t hostBlockSize_ = 0;
  int32_t latency_ = 0;
  int32_t tailSize_ = 0;
  std::unique_ptr<IGraphics> editor_;
  std::vector<IParamDef> params_;
  std::vector<IPresetSlot> presets_;
  std::vector<double*> inData_;
  std::vector<double*> outData_;
  std::vector<IInputChannel> inChannels_;
  std::vector<IOutputChannel> outChannels_;
  bool bypassed_ = false;
  std::vector<std::string> inputBusLabels_;
  std::vector<std::string> outputBusLabels_;
  std::vector<std::string> unitNames_;
};

// Scoped hold of an instance lock.
using IMutexLock = std::lock_guard<std::recursive_mutex>;
