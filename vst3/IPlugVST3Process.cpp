// IPlugVST3: the per-block process call. Parameter changes apply to the whole
// block before any audio; the host's bus buffers are gathered per channel and
// handed to the framework's channel walk, or copied through when bypassed.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "framework/IChannelWalk.h"
#include "framework/IFlushToZeroScope.h"
#include "graphics/IGraphics.h"
#include "vst3/IPlugVST3.h"

using namespace vst3;

namespace {
template <typename Sample>
Sample** ChannelBuffers(const AudioBusBuffers& bus);
template <>
float** ChannelBuffers<float>(const AudioBusBuffers& bus) { return bus.channelBuffers32; }
template <>
double** ChannelBuffers<double>(const AudioBusBuffers& bus) { return bus.channelBuffers64; }
}  // namespace

tresult PLUGIN_API IPlugVST3::process(ProcessData& data) {
  if (IsNullReference(data)) return kInvalidArgument;
  IMutexLock lock(InstanceLock());
  IFlushToZeroScope flushToZero;
  if (data.processContext) lastProcessContext_ = *data.processContext;
  ApplyParameterChanges(data.inputParameterChanges);
  // Input events are not read: the plug-in declares no event bus. Output
  // parameter changes are never written.
  if (data.symbolicSampleSize == kSample32) {
    ProcessAudio(data, hostFloat_);
  } else if (data.symbolicSampleSize == kSample64) {
    ProcessAudio(data, hostDouble_);
  }
  return kResultOk;
}

void IPlugVST3::ApplyParameterChanges(IParameterChanges* changes) {
  if (!changes) return;
  const int32 nQueues = changes->getParameterCount();
  for (int32 i = 0; i < nQueues; ++i) {
    IParamValueQueue* queue = changes->getParameterData(i);
    if (!queue) continue;
    // Only the last point counts, for the whole block.
    const int32 nPoints = queue->getPointCount();
    int32 offset = 0;
    ParamValue value = 0.0;
    if (nPoints <= 0 || queue->getPoint(nPoints - 1, offset, value) != kResultOk) continue;
    ApplyHostValue(queue->getParameterId(), value);
  }
}

void IPlugVST3::ApplyHostValue(ParamID id, ParamValue value) {
  // A value that is no number is no position of any control.
  if (std::isnan(value)) return;
  if (id == BypassParamId) {
    SetBypassed(value > 0.5);
  } else if (id == PresetParamId) {
    // Truncated toward zero; the bank refuses an index at or beyond its end.
    const double presetIdx = std::trunc(value * NPresets());
    if (presetIdx >= 0.0 && presetIdx < NPresets()) RecallPreset(static_cast<int>(presetIdx));
  } else if (IsFrameworkParam(id)) {
    const int paramIdx = static_cast<int>(id);
    // Normalised values live in 0..1, as for the VST 2.4 host.
    const double normalized = std::clamp(value, 0.0, 1.0);
    GetParam(paramIdx)->SetFromNormalized(normalized);
    if (IGraphics* editor = Editor()) editor->SetParamFromPlug(paramIdx, normalized, true);
    OnParameterChanged(paramIdx);
  }
}

template <typename Sample>
void IPlugVST3::ProcessAudio(const ProcessData& data, HostChannels<Sample>& host) {
  const int nConnectedInputs = ConnectInputs(data, host);
  ConnectOutputs(data, host);
  if (IsBypassed()) {
    PassThrough(host, data.numSamples);
    return;
  }
  IChannelWalk walk(*this);
  const IHostBuffers<Sample> inputs{host.input.data(), nConnectedInputs};
  const IHostBuffers<Sample> outputs{host.connectedOutput.data(), host.nConnectedOutputs};
  if constexpr (std::is_same_v<Sample, float>) {
    walk.ProcessFloat(inputs, outputs, data.numSamples, false);
  } else {
    walk.ProcessDouble(inputs, outputs, data.numSamples);
  }
}

void IPlugVST3::DisconnectInput(int first) {
  for (int i = first; i < NInChannels(); ++i) {
    IInputChannel& channel = InputChannel(i);
    if (!channel.connected) continue;
    // What a connected channel converted must not be heard once it is gone.
    std::fill(channel.scratch.begin(), channel.scratch.end(), 0.0);
    SetInputConnections(i, 1, false);
  }
}

// The first input bus feeds the first channels; without one, the channels keep
// their connections and read silence.
template <typename Sample>
int IPlugVST3::ConnectInputs(const ProcessData& data, HostChannels<Sample>& host) {
  std::fill(host.input.begin(), host.input.end(), nullptr);
  if (data.numInputs < 1 || !data.inputs) return 0;
  const AudioBusBuffers& bus = data.inputs[0];
  const int nConnected = std::clamp(bus.numChannels, 0, NInChannels());
  SetInputConnections(0, nConnected, true);
  DisconnectInput(nConnected);
  if (Sample** buffers = ChannelBuffers<Sample>(bus)) {
    std::copy_n(buffers, nConnected, host.input.begin());
  }
  return nConnected;
}

// Output buses feed the channels in order; the channels of a bus the component
// does not have active, or beyond every bus, are disconnected for the block.
template <typename Sample>
void IPlugVST3::ConnectOutputs(const ProcessData& data, HostChannels<Sample>& host) {
  std::fill(host.output.begin(), host.output.end(), nullptr);
  host.nConnectedOutputs = 0;
  SetOutputConnections(0, NOutChannels(), false);
  if (data.numOutputs < 1 || !data.outputs) return;
  // Buses beyond the component's are never written, so never read either.
  const int32 nBuses = std::min(data.numOutputs, audioOutputs_.size());
  int first = 0;
  for (int32 b = 0; b < nBuses && first < NOutChannels(); ++b) {
    const AudioBusBuffers& bus = data.outputs[b];
    const int n = std::min(std::max(bus.numChannels, 0), NOutChannels() - first);
    if (audioOutputs_.at(b)->isActive()) {
      SetOutputConnections(first, n, true);
      Sample** buffers = ChannelBuffers<Sample>(bus);
      for (int j = 0; j < n; ++j) {
        Sample* buffer = buffers ? buffers[j] : nullptr;
        host.output[static_cast<size_t>(first + j)] = buffer;
        host.connectedOutput[static_cast<size_t>(host.nConnectedOutputs++)] = buffer;
      }
    }
    first += n;
  }
}

// Every output takes its own input as it came, or silence when there is none.
template <typename Sample>
void IPlugVST3::PassThrough(const HostChannels<Sample>& host, int nFrames) {
  if (nFrames <= 0) return;
  for (int i = 0; i < NOutChannels(); ++i) {
    Sample* out = host.output[static_cast<size_t>(i)];
    if (!out) continue;
    const Sample* in = i < NInChannels() ? host.input[static_cast<size_t>(i)] : nullptr;
    if (!in) {
      std::fill_n(out, nFrames, Sample(0));
    } else if (in != out) {
      std::memmove(out, in, static_cast<size_t>(nFrames) * sizeof(Sample));
    }
  }
}
