// IPlugVST: the three process callbacks and the host's parameter calls.
//
// The product always processes doubles. The double callback hands it the host's
// buffers directly; the float callbacks convert through the channels' scratch
// buffers. Host buffers go, in order, to the connected channels only.
#include <algorithm>
#include <cmath>

#include "graphics/IGraphics.h"
#include "vst2/IPlugVST.h"

namespace {
template <typename Sample>
Sample* HostBuffer(Sample** buffers, int k) {
  return buffers ? buffers[k] : nullptr;
}

// A disconnected input reads silence, whatever an earlier block left there.
double* SilentScratch(IInputChannel& channel, int nFrames) {
  std::fill_n(channel.scratch.begin(), nFrames, 0.0);
  return channel.scratch.data();
}
}  // namespace

void VSTCALLBACK IPlugVST::VSTProcess(AEffect* effect, float** inputs, float** outputs,
                                      VstInt32 nFrames) {
  if (IPlugVST* plug = FromEffect(effect)) plug->ProcessFloat(inputs, outputs, nFrames, true);
}

void VSTCALLBACK IPlugVST::VSTProcessReplacing(AEffect* effect, float** inputs, float** outputs,
                                               VstInt32 nFrames) {
  if (IPlugVST* plug = FromEffect(effect)) plug->ProcessFloat(inputs, outputs, nFrames, false);
}

void VSTCALLBACK IPlugVST::VSTProcessDoubleReplacing(AEffect* effect, double** inputs,
                                                     double** outputs, VstInt32 nFrames) {
  if (IPlugVST* plug = FromEffect(effect)) plug->ProcessDouble(inputs, outputs, nFrames);
}

void VSTCALLBACK IPlugVST::VSTSetParameter(AEffect* effect, VstInt32 index, float value) {
  if (IPlugVST* plug = FromEffect(effect)) plug->SetParameterFromHost(index, value);
}

float VSTCALLBACK IPlugVST::VSTGetParameter(AEffect* effect, VstInt32 index) {
  IPlugVST* plug = FromEffect(effect);
  return plug ? plug->GetParameterForHost(index) : 0.0f;
}

void IPlugVST::SendWantMidi() {
  if (DoesMidi()) CallHost(audioMasterWantMidi);
}

int IPlugVST::ScratchFrames() {
  size_t frames = static_cast<size_t>(std::max(BlockSize(), 0));
  for (int i = 0; i < NInChannels(); ++i) frames = std::min(frames, InputChannel(i).scratch.size());
  for (int i = 0; i < NOutChannels(); ++i) frames = std::min(frames, OutputChannel(i).scratch.size());
  return static_cast<int>(frames);
}

bool IPlugVST::DoubleNeedsScratch(double** inputs, double** outputs) {
  int k = 0;
  for (int i = 0; i < NInChannels(); ++i) {
    if (!InputChannel(i).connected || !HostBuffer(inputs, k++)) return true;
  }
  k = 0;
  for (int i = 0; i < NOutChannels(); ++i) {
    if (!OutputChannel(i).connected || !HostBuffer(outputs, k++)) return true;
  }
  return false;
}

void IPlugVST::ProcessDouble(double** inputs, double** outputs, int nFrames) {
  IMutexLock lock(InstanceLock());
  SendWantMidi();
  if (nFrames <= 0) return;
  // Host buffers alone take any length; scratch buffers only a block.
  const int piece = DoubleNeedsScratch(inputs, outputs) ? ScratchFrames() : nFrames;
  if (piece <= 0) {
    // Nothing can be processed; a replacing callback still owns its outputs.
    int k = 0;
    for (int i = 0; i < NOutChannels(); ++i) {
      if (!OutputChannel(i).connected) continue;
      if (double* out = HostBuffer(outputs, k++)) std::fill_n(out, nFrames, 0.0);
    }
    return;
  }
  for (int offset = 0; offset < nFrames; offset += piece) {
    ProcessDoublePiece(inputs, outputs, offset, std::min(piece, nFrames - offset));
  }
}

void IPlugVST::ProcessDoublePiece(double** inputs, double** outputs, int offset, int nFrames) {
  int k = 0;
  for (int i = 0; i < NInChannels(); ++i) {
    IInputChannel& channel = InputChannel(i);
    double* host = channel.connected ? HostBuffer(inputs, k++) : nullptr;
    *channel.dataSlot = host ? host + offset : SilentScratch(channel, nFrames);
  }
  k = 0;
  for (int i = 0; i < NOutChannels(); ++i) {
    IOutputChannel& channel = OutputChannel(i);
    double* host = channel.connected ? HostBuffer(outputs, k++) : nullptr;
    *channel.dataSlot = host ? host + offset : channel.scratch.data();
  }
  ProcessBlock(InputData(), OutputData(), nFrames);
}

void IPlugVST::ProcessFloat(float** inputs, float** outputs, int nFrames, bool accumulate) {
  IMutexLock lock(InstanceLock());
  SendWantMidi();
  if (nFrames <= 0) return;
  // A host that sends more frames than it announced gets them in pieces that
  // fit the scratch buffers, instead of an overrun.
  const int piece = ScratchFrames();
  if (piece <= 0) {
    if (accumulate) return;
    int k = 0;
    for (int i = 0; i < NOutChannels(); ++i) {
      if (!OutputChannel(i).connected) continue;
      if (float* out = HostBuffer(outputs, k++)) std::fill_n(out, nFrames, 0.0f);
    }
    return;
  }
  for (int offset = 0; offset < nFrames; offset += piece) {
    ProcessFloatPiece(inputs, outputs, offset, std::min(piece, nFrames - offset), accumulate);
  }
}

void IPlugVST::ProcessFloatPiece(float** inputs, float** outputs, int offset, int nFrames,
                                 bool accumulate) {
  int k = 0;
  for (int i = 0; i < NInChannels(); ++i) {
    IInputChannel& channel = InputChannel(i);
    const float* host = channel.connected ? HostBuffer(inputs, k++) : nullptr;
    if (!host) {
      *channel.dataSlot = SilentScratch(channel, nFrames);
      continue;
    }
    double* scratch = channel.scratch.data();
    for (int j = 0; j < nFrames; ++j) scratch[j] = host[offset + j];
    *channel.dataSlot = scratch;
  }
  k = 0;
  for (int i = 0; i < NOutChannels(); ++i) {
    IOutputChannel& channel = OutputChannel(i);
    float* host = channel.connected ? HostBuffer(outputs, k++) : nullptr;
    channel.floatDestination = host ? host + offset : nullptr;
    *channel.dataSlot = channel.scratch.data();
  }

  ProcessBlock(InputData(), OutputData(), nFrames);

  for (int i = 0; i < NOutChannels(); ++i) {
    IOutputChannel& channel = OutputChannel(i);
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

void IPlugVST::SetParameterFromHost(int paramIdx, float value) {
  IMutexLock lock(InstanceLock());
  IParamDef* param = GetParam(paramIdx);
  // Normalised values live in 0..1; a value that is no number is no value.
  if (!param || std::isnan(value)) return;
  const double normalized = std::clamp(static_cast<double>(value), 0.0, 1.0);
  if (IGraphics* editor = Editor()) editor->SetParamFromPlug(paramIdx, normalized, true);
  param->SetFromNormalized(normalized);
  OnParameterChanged(paramIdx);
}

float IPlugVST::GetParameterForHost(int paramIdx) {
  IMutexLock lock(InstanceLock());
  const IParamDef* param = GetParam(paramIdx);
  return param ? static_cast<float>(param->GetNormalized()) : 0.0f;
}
