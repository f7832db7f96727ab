#include "framework/IChannelWalk.h"

#include <algorithm>
#include <type_traits>

namespace {
// An input without a host buffer reads silence, whatever an earlier block left there.
double* SilentScratch(IInputChannel& channel, int nFrames) {
  std::fill_n(channel.scratch.begin(), nFrames, 0.0);
  return channel.scratch.data();
}

double* BoundInput(IInputChannel& channel, double* host, int nFrames) {
  return host ? host : SilentScratch(channel, nFrames);
}

double* BoundInput(IInputChannel& channel, float* host, int nFrames) {
  if (!host) return SilentScratch(channel, nFrames);
  double* scratch = channel.scratch.data();
  for (int j = 0; j < nFrames; ++j) scratch[j] = host[j];
  return scratch;
}

double* BoundOutput(IOutputChannel& channel, double* host) {
  return host ? host : channel.scratch.data();
}

// Float outputs are rendered into the scratch buffer and converted afterwards.
double* BoundOutput(IOutputChannel& channel, float* host) {
  channel.floatDestination = host;
  return channel.scratch.data();
}
}  // namespace

int IChannelWalk::ScratchFrames() {
  size_t frames = static_cast<size_t>(std::max(plug_.BlockSize(), 0));
  for (int i = 0; i < plug_.NInChannels(); ++i) {
    frames = std::min(frames, plug_.InputChannel(i).scratch.size());
  }
  for (int i = 0; i < plug_.NOutChannels(); ++i) {
    frames = std::min(frames, plug_.OutputChannel(i).scratch.size());
  }
  return static_cast<int>(frames);
}

bool IChannelWalk::NeedsScratch(IHostBuffers<double> inputs, IHostBuffers<double> outputs) {
  int k = 0;
  for (int i = 0; i < plug_.NInChannels(); ++i) {
    if (!plug_.InputChannel(i).connected || !inputs.At(k++)) return true;
  }
  k = 0;
  for (int i = 0; i < plug_.NOutChannels(); ++i) {
    if (!plug_.OutputChannel(i).connected || !outputs.At(k++)) return true;
  }
  return false;
}

template <typename Sample>
void IChannelWalk::BindChannels(IHostBuffers<Sample> inputs, IHostBuffers<Sample> outputs,
                                int offset, int nFrames) {
  int k = 0;
  for (int i = 0; i < plug_.NInChannels(); ++i) {
    IInputChannel& channel = plug_.InputChannel(i);
    Sample* host = channel.connected ? inputs.At(k++) : nullptr;
    *channel.dataSlot = BoundInput(channel, host ? host + offset : nullptr, nFrames);
  }
  k = 0;
  for (int i = 0; i < plug_.NOutChannels(); ++i) {
    IOutputChannel& channel = plug_.OutputChannel(i);
    Sample* host = channel.connected ? outputs.At(k++) : nullptr;
    *channel.dataSlot = BoundOutput(channel, host ? host + offset : nullptr);
  }
}

void IChannelWalk::StoreFloatOutputs(int nFrames, bool accumulate) {
  for (int i = 0; i < plug_.NOutChannels(); ++i) {
    IOutputChannel& channel = plug_.OutputChannel(i);
    float* destination = channel.floatDestination;
    if (!destination) continue;
    const double* scratch = channel.scratch.data();
    if (accumulate) {
      for (int j = 0; j < nFrames; ++j) destination[j] += static_cast<float>(scratch[j]);
    } else {
      for (int j = 0; j < nFrames; ++j) destination[j] = static_cast<float>(scratch[j]);
    }
  }
}

template <typename Sample>
void IChannelWalk::ZeroOutputs(IHostBuffers<Sample> outputs, int nFrames) {
  int k = 0;
  for (int i = 0; i < plug_.NOutChannels(); ++i) {
    if (!plug_.OutputChannel(i).connected) continue;
    if (Sample* out = outputs.At(k++)) std::fill_n(out, nFrames, Sample(0));
  }
}

void IChannelWalk::ProcessDoublePiece(IHostBuffers<double> inputs, IHostBuffers<double> outputs,
                                      int offset, int nFrames) {
  BindChannels(inputs, outputs, offset, nFrames);
  plug_.ProcessBlock(plug_.InputData(), plug_.OutputData(), nFrames);
}

void IChannelWalk::ProcessFloatPiece(IHostBuffers<float> inputs, IHostBuffers<float> outputs,
                                     int offset, int nFrames, bool accumulate) {
  BindChannels(inputs, outputs, offset, nFrames);
  plug_.ProcessBlock(plug_.InputData(), plug_.OutputData(), nFrames);
  StoreFloatOutputs(nFrames, accumulate);
}

template <typename Sample>
void IChannelWalk::Process(IHostBuffers<Sample> inputs, IHostBuffers<Sample> outputs, int nFrames,
                           int piece, bool accumulate) {
  if (nFrames < 0) return;
  if (nFrames == 0) {
    // The product's per-block steps still run; no host buffer is looked at.
    if constexpr (std::is_same_v<Sample, float>) {
      ProcessFloatPiece({}, {}, 0, 0, accumulate);
    } else {
      ProcessDoublePiece({}, {}, 0, 0);
    }
    return;
  }
  if (piece <= 0) {
    // Nothing can be processed; a replacing call still owns its outputs.
    if (!accumulate) ZeroOutputs(outputs, nFrames);
    return;
  }
  // Stepping by what is left, never past nFrames: a count near INT_MAX must not
  // wrap the offset.
  for (int offset = 0, n = 0; offset < nFrames; offset += n) {
    n = std::min(piece, nFrames - offset);
    if constexpr (std::is_same_v<Sample, float>) {
      ProcessFloatPiece(inputs, outputs, offset, n, accumulate);
    } else {
      ProcessDoublePiece(inputs, outputs, offset, n);
    }
  }
}

void IChannelWalk::ProcessDouble(IHostBuffers<double> inputs, IHostBuffers<double> outputs,
                                 int nFrames) {
  // Host buffers alone take any length; scratch buffers only a block.
  const int piece = NeedsScratch(inputs, outputs) ? ScratchFrames() : nFrames;
  Process(inputs, outputs, nFrames, piece, false);
}

void IChannelWalk::ProcessFloat(IHostBuffers<float> inputs, IHostBuffers<float> outputs,
                                int nFrames, bool accumulate) {
  Process(inputs, outputs, nFrames, ScratchFrames(), accumulate);
}
