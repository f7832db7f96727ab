#pragma once
// One object that is component, audio processor and edit controller at once:
// the host needs no connection between two sides, so it is refused.
//
// Bus queries refuse an index outside the list (negative ones too) with
// kInvalidArgument and leave the host's record untouched.

#include "vst3/sdk/Bus.h"
#include "vst3/sdk/EditControllerEx1.h"

namespace vst3 {

class SingleComponentEffect : public EditControllerEx1, public IComponent, public IAudioProcessor {
public:
  // Real-time, 32-bit samples, 1024 samples per block at 44100 Hz until the host sets up.
  SingleComponentEffect();
  ~SingleComponentEffect() override;

  // UI thread. A second initialize answers false, through any of the interfaces.
  tresult PLUGIN_API initialize(FUnknown* context) override;
  // UI thread. Removes every parameter and every bus, so that the next
  // initialize builds them again.
  tresult PLUGIN_API terminate() override;

  // --- IComponent: UI thread -------------------------------------------------
  tresult PLUGIN_API getControllerClassId(TUID classId) override;
  tresult PLUGIN_API setIoMode(IoMode mode) override;
  int32 PLUGIN_API getBusCount(MediaType type, BusDirection dir) override;
  tresult PLUGIN_API getBusInfo(MediaType type, BusDirection dir, int32 index, BusInfo& bus) override;
  tresult PLUGIN_API getRoutingInfo(RoutingInfo& inInfo, RoutingInfo& outInfo) override;
  tresult PLUGIN_API activateBus(MediaType type, BusDirection dir, int32 index, TBool state) override;
  tresult PLUGIN_API setActive(TBool state) override;
  // The component keeps no state apart from the controller's: not implemented.
  tresult PLUGIN_API setState(IBStream* state) override;
  tresult PLUGIN_API getState(IBStream* state) override;

  // --- IAudioProcessor: UI thread, while processing is off, unless said otherwise
  // Assigns arrangements to the existing buses as given.
  tresult PLUGIN_API setBusArrangements(SpeakerArrangement* inputs, int32 numIns,
                                        SpeakerArrangement* outputs, int32 numOuts) override;
  tresult PLUGIN_API getBusArrangement(BusDirection dir, int32 index, SpeakerArrangement& arr) override;
  tresult PLUGIN_API canProcessSampleSize(int32 symbolicSampleSize) override;
  uint32 PLUGIN_API getLatencySamples() override { return 0; }
  tresult PLUGIN_API setupProcessing(ProcessSetup& setup) override;
  // Audio or UI thread.
  tresult PLUGIN_API setProcessing(TBool state) override;
  // Audio thread.
  tresult PLUGIN_API process(ProcessData& data) override;
  uint32 PLUGIN_API getTailSamples() override { return kNoTail; }

  // Any thread.
  tresult PLUGIN_API queryInterface(const TUID _iid, void** obj) override;
  VST3_REFCOUNT_METHODS(EditControllerEx1)
  VST3_OBJECT_TYPE(SingleComponentEffect, EditControllerEx1)

protected:
  // Appends a bus that the list owns; the pointer is borrowed.
  AudioBus* addAudioInput(const TChar* name, SpeakerArrangement arrangement, BusType busType = kMain,
                          int32 flags = BusInfo::kDefaultActive);
  AudioBus* addAudioOutput(const TChar* name, SpeakerArrangement arrangement, BusType busType = kMain,
                           int32 flags = BusInfo::kDefaultActive);
  void removeAudioBusses();
  void removeAllBusses();
  // The list of a media type and direction (any direction but input is
  // output), or null for an unknown media type.
  BusList* getBusList(MediaType type, BusDirection dir);
  // Audio buses only, so the cast holds; null for an index outside the list.
  AudioBus* getAudioBus(BusDirection dir, int32 index);

  ProcessSetup processSetup_;
  BusList audioInputs_{kAudio, kInput};
  BusList audioOutputs_{kAudio, kOutput};
  BusList eventInputs_{kEvent, kInput};
  BusList eventOutputs_{kEvent, kOutput};
};

}  // namespace vst3
