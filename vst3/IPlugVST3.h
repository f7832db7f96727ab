#pragma once
// The VST 3 binding: one object that is at once the framework plug-in, the
// processing component and the edit controller. The product derives from it.
//
// Component and processing: IPlugVST3.cpp (life cycle, buses, services to the
// framework) and IPlugVST3Process.cpp; the stored state: IPlugVST3State.cpp;
// parameters, units and the program list: IPlugVST3Controller.cpp.
//
// The host calls the component and controller methods on its UI thread and
// `process` on its audio thread. Everything that touches the framework's
// parameters, channels or state takes the instance lock.

#include <vector>

#include "framework/IPlugBase.h"
#include "vst3/IPlugVST3View.h"
#include "vst3/sdk/SingleComponentEffect.h"

// What the factory hands the product's constructor: nothing, the host tells
// the object what it needs through initialize and the set-up calls.
struct IPlugInstanceInfo {};

// The two parameters only this binding has; they precede the product's.
constexpr vst3::ParamID BypassParamId = static_cast<vst3::ParamID>(FourCharCode('b', 'p', 'a', 's'));
constexpr vst3::ParamID PresetParamId = static_cast<vst3::ParamID>(FourCharCode('p', 'r', 's', 't'));

class IPlugVST3 : public IPlugBase, public vst3::SingleComponentEffect {
public:
  IPlugVST3(const IPlugInstanceInfo& instanceInfo, const IPlugConfig& config);
  ~IPlugVST3() override;

  // --- Life cycle: UI thread, under the instance lock ------------------------
  // Identifies the host from its name; on the first initialisation adds the
  // buses and parameters; then tells the product and recalls preset 0.
  vst3::tresult PLUGIN_API initialize(vst3::FUnknown* context) override;
  // Removes buses and parameters and releases the host's objects (SDK base).
  vst3::tresult PLUGIN_API terminate() override;
  // UI thread, processing off, under the instance lock.
  vst3::tresult PLUGIN_API setActive(vst3::TBool state) override;
  // UI thread, processing off, under the instance lock: process reads the flag.
  vst3::tresult PLUGIN_API activateBus(vst3::MediaType type, vst3::BusDirection dir, vst3::int32 index,
                                       vst3::TBool state) override;

  // --- Processing: UI thread while processing is off, under the instance lock ---
  // Accepts only a legal channel pair, rebuilding a bus whose count changes.
  vst3::tresult PLUGIN_API setBusArrangements(vst3::SpeakerArrangement* inputs, vst3::int32 numIns,
                                              vst3::SpeakerArrangement* outputs,
                                              vst3::int32 numOuts) override;
  // Any thread, no lock: the answer depends on nothing that changes.
  vst3::tresult PLUGIN_API canProcessSampleSize(vst3::int32 symbolicSampleSize) override;
  // Any thread, under the instance lock.
  vst3::uint32 PLUGIN_API getLatencySamples() override;
  vst3::uint32 PLUGIN_API getTailSamples() override;
  // Sample rate, block size and a reset; clears the host bypass.
  vst3::tresult PLUGIN_API setupProcessing(vst3::ProcessSetup& setup) override;
  // Audio thread, under the instance lock for the whole block. Always OK.
  vst3::tresult PLUGIN_API process(vst3::ProcessData& data) override;

  // --- State: UI thread, under the instance lock -------------------------------
  // The product's state chunk, then the bypass flag as a 32-bit little-endian integer.
  vst3::tresult PLUGIN_API setEditorState(vst3::IBStream* state) override;
  vst3::tresult PLUGIN_API getEditorState(vst3::IBStream* state) override;

  // --- Controller: UI thread, under the instance lock ---------------------------
  vst3::tresult PLUGIN_API getParamStringByValue(vst3::ParamID id, vst3::ParamValue valueNormalized,
                                                 vst3::String128 string) override;
  vst3::ParamValue PLUGIN_API plainParamToNormalized(vst3::ParamID id, vst3::ParamValue plainValue) override;
  vst3::ParamValue PLUGIN_API getParamNormalized(vst3::ParamID id) override;
  // Stores the value only: the same change reaches process, which tells the
  // product and the editor.
  vst3::tresult PLUGIN_API setParamNormalized(vst3::ParamID id, vst3::ParamValue value) override;

  // --- Units and the program list: UI thread; names read under the instance lock --
  // The root unit, then one unit per parameter group.
  vst3::int32 PLUGIN_API getUnitCount() override;
  vst3::tresult PLUGIN_API getUnitInfo(vst3::int32 unitIndex, vst3::UnitInfo& info) override;
  // The presets' list is reachable by its id but not announced: hosts find the
  // presets through the program-change parameter.
  vst3::int32 PLUGIN_API getProgramListCount() override { return 0; }
  vst3::tresult PLUGIN_API getProgramListInfo(vst3::int32 listIndex, vst3::ProgramListInfo& info) override;
  vst3::tresult PLUGIN_API getProgramName(vst3::ProgramListID listId, vst3::int32 programIndex,
                                          vst3::String128 name) override;
  vst3::UnitID PLUGIN_API getSelectedUnit() override { return vst3::kRootUnitId; }

  // --- Editor view (IPlugVST3View.cpp): UI thread --------------------------------
  // A new view (one reference) for "editor" when the plug-in has an editor;
  // null for any other name or without an editor.
  vst3::IPlugView* PLUGIN_API createView(vst3::FIDString name) override;
  // The views created and not yet destroyed, in creation order: the first
  // serves size requests and host menus.
  const std::vector<IPlugVST3View*>& OpenViews() const { return openViews_; }
  // A view's destruction takes it (and only it) out of the list.
  void ForgetView(IPlugVST3View* view);
  // The view whose host window the editor's window is open in, or null.
  IPlugVST3View* WindowView() const { return windowView_; }
  void SetWindowView(IPlugVST3View* view) { windowView_ = view; }

  // --- Services to the framework ---------------------------------------------
  // UI thread (editor gesture), under the instance lock: forwarded to the
  // host's component handler, if it gave one.
  void BeginParameterEdit(int paramIdx) override;
  void SendParameterToHost(int paramIdx, double normalized) override;
  void EndParameterEdit(int paramIdx) override;
  // UI thread: the host's menu for the parameter at editor coordinates; nothing
  // without a handler that offers menus or without an open view.
  void ShowHostContextMenu(int paramIdx, int x, int y) override;
  // Any thread, under the instance lock: nothing to tell, the host reads the
  // program through the program-change parameter.
  void NotifyHostProgramChanged() override {}
  // Any thread, under the instance lock: true while the host renders offline.
  bool HostIsOffline() override;
  // Audio thread, under the instance lock: from the last process context.
  int QuerySamplePosition() override;
  double QueryTempo() override;
  void QueryTimeSignature(int* numerator, int* denominator) override;
  // Every field as the host sent it, valid or not.
  void QueryTransport(ITransportInfo* info) override;
  // UI thread, under the instance lock: the first open view asks its host
  // frame to resize it; nothing without an editor, a view or a frame.
  void ApplyEditorSize(int width, int height) override;
  // UI thread, under the instance lock: stores the latency and asks the host to
  // restart the component, if it gave a handler.
  void SetLatencySamples(int samples) override;
  // Audio thread: this binding sends no events.
  bool SendMidiToHost(const IMidiMessage& message) override;

  VST3_OBJECT_TYPE(IPlugVST3, SingleComponentEffect)

private:
  // The host's channel buffers of one block (sized at construction, so process
  // allocates nothing).
  template <typename Sample>
  struct HostChannels {
    std::vector<Sample*> input;   // per input channel; null for none
    std::vector<Sample*> output;  // per output channel; null for none
    std::vector<Sample*> connectedOutput;  // the connected outputs' buffers, in channel order
    int nConnectedOutputs = 0;
  };

  template <typename Sample>
  void SizeHostChannels(HostChannels<Sample>& host) {
    host.input.assign(static_cast<size_t>(NInChannels()), nullptr);
    host.output.assign(static_cast<size_t>(NOutChannels()), nullptr);
    host.connectedOutput.assign(static_cast<size_t>(NOutChannels()), nullptr);
  }

  // initialize's steps.
  void IdentifyHost(vst3::FUnknown* context);
  void AddBuses();
  void AddParameters();  // IPlugVST3Controller.cpp
  vst3::UnitID UnitForGroup(const char* group);

  // process's steps (IPlugVST3Process.cpp).
  void ApplyParameterChanges(vst3::IParameterChanges* changes);
  void ApplyHostValue(vst3::ParamID id, vst3::ParamValue value);
  template <typename Sample>
  void ProcessAudio(const vst3::ProcessData& data, HostChannels<Sample>& host);
  template <typename Sample>
  int ConnectInputs(const vst3::ProcessData& data, HostChannels<Sample>& host);
  template <typename Sample>
  void ConnectOutputs(const vst3::ProcessData& data, HostChannels<Sample>& host);
  template <typename Sample>
  void PassThrough(const HostChannels<Sample>& host, int nFrames);
  // Disconnects the input channels from `first` on; their scratch reads silence.
  void DisconnectInput(int first);
  void DisconnectAllChannels();

  bool IsFrameworkParam(vst3::ParamID id) const {
    return id < static_cast<vst3::ParamID>(NParams());
  }

  std::vector<IPlugVST3View*> openViews_;
  IPlugVST3View* windowView_ = nullptr;
  vst3::ProcessContext lastProcessContext_;
  HostChannels<float> hostFloat_;
  HostChannels<double> hostDouble_;
};
