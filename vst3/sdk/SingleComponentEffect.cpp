#include "vst3/sdk/SingleComponentEffect.h"

namespace vst3 {

SingleComponentEffect::SingleComponentEffect() : processSetup_{kRealtime, kSample32, 1024, 44100.0} {}

SingleComponentEffect::~SingleComponentEffect() = default;

tresult PLUGIN_API SingleComponentEffect::initialize(FUnknown* context) {
  return EditControllerEx1::initialize(context);
}

tresult PLUGIN_API SingleComponentEffect::terminate() {
  // The controller base removes the parameters.
  removeAllBusses();
  return EditControllerEx1::terminate();
}

tresult PLUGIN_API SingleComponentEffect::getControllerClassId(TUID) { return kNotImplemented; }
tresult PLUGIN_API SingleComponentEffect::setIoMode(IoMode) { return kNotImplemented; }
tresult PLUGIN_API SingleComponentEffect::getRoutingInfo(RoutingInfo&, RoutingInfo&) {
  return kNotImplemented;
}

BusList* SingleComponentEffect::getBusList(MediaType type, BusDirection dir) {
  if (type == kAudio) return dir == kInput ? &audioInputs_ : &audioOutputs_;
  if (type == kEvent) return dir == kInput ? &eventInputs_ : &eventOutputs_;
  return nullptr;
}

AudioBus* SingleComponentEffect::getAudioBus(BusDirection dir, int32 index) {
  return static_cast<AudioBus*>(getBusList(kAudio, dir)->at(index));
}

int32 PLUGIN_API SingleComponentEffect::getBusCount(MediaType type, BusDirection dir) {
  const BusList* list = getBusList(type, dir);
  return list ? list->size() : 0;
}

tresult PLUGIN_API SingleComponentEffect::getBusInfo(MediaType type, BusDirection dir, int32 index,
                                                     BusInfo& bus) {
  const BusList* list = getBusList(type, dir);
  Bus* found = list ? list->at(index) : nullptr;
  if (!found || IsNullReference(bus)) return kInvalidArgument;
  bus.mediaType = type;
  bus.direction = dir;
  return found->getInfo(bus) ? kResultOk : kResultFalse;
}

tresult PLUGIN_API SingleComponentEffect::activateBus(MediaType type, BusDirection dir, int32 index,
                                                      TBool state) {
  const BusList* list = getBusList(type, dir);
  Bus* found = list ? list->at(index) : nullptr;
  if (!found) return kInvalidArgument;
  found->setActive(state != 0);
  return kResultOk;
}

tresult PLUGIN_API SingleComponentEffect::setActive(TBool) { return kResultOk; }
tresult PLUGIN_API SingleComponentEffect::setState(IBStream*) { return kNotImplemented; }
tresult PLUGIN_API SingleComponentEffect::getState(IBStream*) { return kNotImplemented; }

tresult PLUGIN_API SingleComponentEffect::setBusArrangements(SpeakerArrangement* inputs, int32 numIns,
                                                             SpeakerArrangement* outputs, int32 numOuts) {
  if (numIns < 0 || numOuts < 0) return kInvalidArgument;
  if ((numIns > 0 && !inputs) || (numOuts > 0 && !outputs)) return kInvalidArgument;
  if (numIns > audioInputs_.size() || numOuts > audioOutputs_.size()) return kResultFalse;
  for (int32 i = 0; i < numIns; ++i) getAudioBus(kInput, i)->setArrangement(inputs[i]);
  for (int32 i = 0; i < numOuts; ++i) getAudioBus(kOutput, i)->setArrangement(outputs[i]);
  return kResultOk;
}

tresult PLUGIN_API SingleComponentEffect::getBusArrangement(BusDirection dir, int32 index,
                                                            SpeakerArrangement& arr) {
  const AudioBus* bus = getAudioBus(dir, index);
  if (!bus || IsNullReference(arr)) return kInvalidArgument;
  arr = bus->getArrangement();
  return kResultOk;
}

tresult PLUGIN_API SingleComponentEffect::canProcessSampleSize(int32 symbolicSampleSize) {
  return symbolicSampleSize == kSample32 ? kResultOk : kResultFalse;
}

tresult PLUGIN_API SingleComponentEffect::setupProcessing(ProcessSetup& setup) {
  if (IsNullReference(setup)) return kInvalidArgument;
  if (canProcessSampleSize(setup.symbolicSampleSize) != kResultOk) return kResultFalse;
  processSetup_ = setup;
  return kResultOk;
}

tresult PLUGIN_API SingleComponentEffect::setProcessing(TBool) { return kNotImplemented; }
tresult PLUGIN_API SingleComponentEffect::process(ProcessData&) { return kNotImplemented; }

namespace {
AudioBus* AppendAudioBus(BusList& list, const TChar* name, SpeakerArrangement arrangement,
                         BusType busType, int32 flags) {
  auto* bus = new AudioBus(name, busType, flags, arrangement);
  list.append(bus);
  return bus;
}
}  // namespace

AudioBus* SingleComponentEffect::addAudioInput(const TChar* name, SpeakerArrangement arrangement,
                                               BusType busType, int32 flags) {
  return AppendAudioBus(audioInputs_, name, arrangement, busType, flags);
}

AudioBus* SingleComponentEffect::addAudioOutput(const TChar* name, SpeakerArrangement arrangement,
                                                BusType busType, int32 flags) {
  return AppendAudioBus(audioOutputs_, name, arrangement, busType, flags);
}

void SingleComponentEffect::removeAudioBusses() {
  audioInputs_.clear();
  audioOutputs_.clear();
}

void SingleComponentEffect::removeAllBusses() {
  removeAudioBusses();
  eventInputs_.clear();
  eventOutputs_.clear();
}

tresult PLUGIN_API SingleComponentEffect::queryInterface(const TUID _iid, void** obj) {
  if (!obj) return kInvalidArgument;
  // No connection point: refused like any unknown interface.
  if (IidEqual(_iid, IConnectionPoint::iid.data)) {
    *obj = nullptr;
    return kNoInterface;
  }
  if (QueryAs<IComponent>(this, _iid, obj)) return kResultOk;
  if (QueryAs<IAudioProcessor>(this, _iid, obj)) return kResultOk;
  return EditControllerEx1::queryInterface(_iid, obj);
}

}  // namespace vst3
