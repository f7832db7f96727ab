#pragma once
// The host side of a VST 3 conversation, in process: a host application, a
// component handler with context menus, a memory stream, parameter queues and
// bus buffers. Host objects count references but never delete themselves, so
// a test can check that the plug-in gave back every reference it took.

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "vst3/interface/Vst3Controller.h"
#include "vst3/interface/Vst3Processing.h"

namespace vst3test {
using namespace vst3;

// One host interface, answering queries for itself and FUnknown.
template <class Interface>
class HostObject : public Interface {
public:
  virtual ~HostObject() = default;
  tresult PLUGIN_API queryInterface(const TUID _iid, void** obj) override {
    if (IidEqual(_iid, Interface::iid.data) || IidEqual(_iid, FUnknown::iid.data)) {
      *obj = static_cast<Interface*>(this);
      ++refs;
      return kResultOk;
    }
    *obj = nullptr;
    return kNoInterface;
  }
  uint32 PLUGIN_API addRef() override { return static_cast<uint32>(++refs); }
  uint32 PLUGIN_API release() override { return static_cast<uint32>(--refs); }
  int refs = 1;
};

class HostApplication : public HostObject<IHostApplication> {
public:
  explicit HostApplication(const char* name) : name_(name) {}
  tresult PLUGIN_API getName(String128 name) override {
    size_t i = 0;
    for (; i < 127 && name_[i]; ++i) name[i] = static_cast<TChar>(name_[i]);
    name[i] = 0;
    return kResultOk;
  }
  tresult PLUGIN_API createInstance(TUID, TUID, void** obj) override {
    *obj = nullptr;
    return kNoInterface;
  }

private:
  std::string name_;
};

class ContextMenu : public HostObject<IContextMenu> {
public:
  int32 PLUGIN_API getItemCount() override { return 0; }
  tresult PLUGIN_API getItem(int32, Item&, IContextMenuTarget**) override { return kResultFalse; }
  tresult PLUGIN_API addItem(const Item&, IContextMenuTarget*) override { return kResultFalse; }
  tresult PLUGIN_API removeItem(const Item&, IContextMenuTarget*) override { return kResultFalse; }
  tresult PLUGIN_API popup(UCoord x, UCoord y) override {
    popups.push_back({x, y});
    return kResultOk;
  }
  std::vector<std::pair<int, int>> popups;
};

class MenuHandler : public HostObject<IComponentHandler3> {
public:
  IContextMenu* PLUGIN_API createContextMenu(IPlugView* view, const ParamID* id) override {
    requests.push_back({view, id ? *id : kNoParamId});
    menu.addRef();
    return &menu;
  }
  std::vector<std::pair<IPlugView*, ParamID>> requests;
  ContextMenu menu;
};

// Records every call as text: "begin 3", "perform 3 0.5", "end 3", "restart 8".
class ComponentHandler : public HostObject<IComponentHandler> {
public:
  tresult PLUGIN_API queryInterface(const TUID _iid, void** obj) override {
    if (menus && IidEqual(_iid, IComponentHandler3::iid.data)) return menus->queryInterface(_iid, obj);
    return HostObject::queryInterface(_iid, obj);
  }
  tresult PLUGIN_API beginEdit(ParamID id) override { return Record("begin " + std::to_string(id)); }
  tresult PLUGIN_API performEdit(ParamID id, ParamValue v) override {
    return Record("perform " + std::to_string(id) + " " + std::to_string(v));
  }
  tresult PLUGIN_API endEdit(ParamID id) override { return Record("end " + std::to_string(id)); }
  tresult PLUGIN_API restartComponent(int32 flags) override { return Record("restart " + std::to_string(flags)); }

  MenuHandler* menus = nullptr;
  std::vector<std::string> calls;

private:
  tresult Record(std::string call) {
    calls.push_back(std::move(call));
    return kResultOk;
  }
};

// A stream over bytes in memory, with one position for reading and writing.
class MemoryStream : public HostObject<IBStream> {
public:
  tresult PLUGIN_API read(void* buffer, int32 numBytes, int32* numBytesRead) override {
    const int32 n = std::max(0, std::min(numBytes, static_cast<int32>(bytes.size() - pos)));
    if (n > 0) std::memcpy(buffer, bytes.data() + pos, static_cast<size_t>(n));
    pos += static_cast<size_t>(n);
    if (numBytesRead) *numBytesRead = n;
    return kResultOk;
  }
  tresult PLUGIN_API write(void* buffer, int32 numBytes, int32* numBytesWritten) override {
    if (refuseWrites || numBytes < 0) return kResultFalse;
    const auto* p = static_cast<const uint8_t*>(buffer);
    bytes.insert(bytes.begin() + static_cast<long>(pos), p, p + numBytes);
    pos += static_cast<size_t>(numBytes);
    if (numBytesWritten) *numBytesWritten = numBytes;
    return kResultOk;
  }
  tresult PLUGIN_API seek(int64 to, int32, int64* result) override {
    pos = static_cast<size_t>(to);
    if (result) *result = to;
    return kResultOk;
  }
  tresult PLUGIN_API tell(int64* at) override {
    *at = static_cast<int64>(pos);
    return kResultOk;
  }
  std::vector<uint8_t> bytes;
  size_t pos = 0;
  bool refuseWrites = false;
};

class ParamQueue : public HostObject<IParamValueQueue> {
public:
  ParamQueue(ParamID id, std::vector<std::pair<int32, double>> points) : id_(id), points_(std::move(points)) {}
  ParamID PLUGIN_API getParameterId() override { return id_; }
  int32 PLUGIN_API getPointCount() override { return static_cast<int32>(points_.size()); }
  tresult PLUGIN_API getPoint(int32 index, int32& offset, ParamValue& value) override {
    if (index < 0 || index >= getPointCount()) return kResultFalse;
    offset = points_[static_cast<size_t>(index)].first;
    value = points_[static_cast<size_t>(index)].second;
    return kResultOk;
  }
  tresult PLUGIN_API addPoint(int32, ParamValue, int32&) override { return kResultFalse; }

private:
  ParamID id_;
  std::vector<std::pair<int32, double>> points_;
};

class ParamChanges : public HostObject<IParameterChanges> {
public:
  // A queue per parameter, each with (sample offset, value) points in order.
  void Add(ParamID id, std::vector<std::pair<int32, double>> points) { queues_.emplace_back(id, std::move(points)); }
  int32 PLUGIN_API getParameterCount() override { return static_cast<int32>(queues_.size()); }
  IParamValueQueue* PLUGIN_API getParameterData(int32 index) override {
    return index >= 0 && index < getParameterCount() ? &queues_[static_cast<size_t>(index)] : nullptr;
  }
  IParamValueQueue* PLUGIN_API addParameterData(const ParamID&, int32&) override { return nullptr; }

private:
  std::vector<ParamQueue> queues_;
};

// One bus of host buffers, every sample preset to `fill`.
template <typename Sample>
struct BusBuffers {
  BusBuffers(int channels, int frames, Sample fill) : data(static_cast<size_t>(channels), std::vector<Sample>(static_cast<size_t>(frames), fill)) {
    for (auto& c : data) pointers.push_back(c.data());
    bus = {};
    bus.numChannels = channels;
    if constexpr (sizeof(Sample) == 4) bus.channelBuffers32 = pointers.data();
    else bus.channelBuffers64 = pointers.data();
  }
  std::vector<std::vector<Sample>> data;
  std::vector<Sample*> pointers;
  AudioBusBuffers bus;
};

// Brings a plug-in up as a host does before processing: initialised with
// `context`, set up, its main buses and itself active. The first refusal of
// initialise or set-up, or kResultOk.
template <class Plug>
tresult StartProcessing(Plug* plug, FUnknown* context, int32 sampleSize, int32 maxBlock,
                        SampleRate rate = 48000.0) {
  tresult result = plug->initialize(context);
  ProcessSetup setup{kRealtime, sampleSize, maxBlock, rate};
  if (result == kResultOk) result = plug->setupProcessing(setup);
  plug->activateBus(kAudio, kInput, 0, true);
  plug->activateBus(kAudio, kOutput, 0, true);
  plug->setActive(true);
  return result;
}

// One block over a bus of input and one of output; either may be absent.
template <typename Sample>
ProcessData Data(BusBuffers<Sample>* in, BusBuffers<Sample>* out, int frames,
                 IParameterChanges* changes = nullptr) {
  ProcessData d{};
  d.processMode = kRealtime;
  d.symbolicSampleSize = sizeof(Sample) == 4 ? kSample32 : kSample64;
  d.numSamples = frames;
  d.numInputs = in ? 1 : 0;
  d.inputs = in ? &in->bus : nullptr;
  d.numOutputs = out ? 1 : 0;
  d.outputs = out ? &out->bus : nullptr;
  d.inputParameterChanges = changes;
  return d;
}
}  // namespace vst3test
