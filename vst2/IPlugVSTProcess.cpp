// IPlugVST: the three process callbacks and the host's parameter calls.
//
// The product always processes doubles; the channel walk hands it the host's
// double buffers directly and converts float buffers through the channels'
// scratch buffers.
#include <algorithm>
#include <cmath>

#include "framework/IChannelWalk.h"
#include "framework/IFlushToZeroScope.h"
#include "graphics/IGraphics.h"
#include "vst2/IPlugVST.h"

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

void IPlugVST::ProcessDouble(double** inputs, double** outputs, int nFrames) {
  IFlushToZeroScope flushToZero;
  IMutexLock lock(InstanceLock());
  SendWantMidi();
  // The host hands as many buffers as the record announces: one per channel.
  IChannelWalk(*this).ProcessDouble({inputs, NInChannels()}, {outputs, NOutChannels()}, nFrames);
  // The host is done with the events sent for this block.
  sentCount_ = 0;
}

void IPlugVST::ProcessFloat(float** inputs, float** outputs, int nFrames, bool accumulate) {
  IFlushToZeroScope flushToZero;
  IMutexLock lock(InstanceLock());
  SendWantMidi();
  IChannelWalk(*this).ProcessFloat({inputs, NInChannels()}, {outputs, NOutChannels()}, nFrames,
                                   accumulate);
  sentCount_ = 0;  // as above
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
