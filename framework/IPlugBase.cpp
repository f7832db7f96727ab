#include "framework/IPlugBase.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "graphics/IGraphics.h"

IPlugBase::IPlugBase(const IPlugConfig& config, PluginApi api)
    : uniqueId_(config.uniqueId),
      manufacturerId_(config.manufacturerId),
      version_(config.version),
      pluginApi_(api),
      doesStateChunks_(config.doesStateChunks),
      isInstrument_(config.isInstrument),
      doesMidi_(config.doesMidi),
      latency_(config.latency) {
  params_.resize(static_cast<size_t>(std::max(config.nParams, 0)));
  presets_.resize(static_cast<size_t>(std::max(config.nPresets, 0)));

  CopyText(effectName_, config.effectName, kIdentityTextSize);
  CopyText(productName_, config.productName, kIdentityTextSize);
  CopyText(vendorName_, config.vendorName, kIdentityTextSize);

  int maxIn = 0;
  int maxOut = 0;
  ParseChannelIO(config.channelIOText, &maxIn, &maxOut);

  inData_.assign(static_cast<size_t>(maxIn), nullptr);
  outData_.assign(static_cast<size_t>(maxOut), nullptr);
  inChannels_.resize(static_cast<size_t>(maxIn));
  outChannels_.resize(static_cast<size_t>(maxOut));
  for (int i = 0; i < maxIn; ++i) inChannels_[static_cast<size_t>(i)].dataSlot = &inData_[static_cast<size_t>(i)];
  for (int i = 0; i < maxOut; ++i) outChannels_[static_cast<size_t>(i)].dataSlot = &outData_[static_cast<size_t>(i)];
}

IPlugBase::~IPlugBase() {
  editor_.reset();
  // Each list is released from its last element to its first.
  while (!params_.empty()) params_.pop_back();
  while (!presets_.empty()) presets_.pop_back();
  while (!inChannels_.empty()) inChannels_.pop_back();
  while (!outChannels_.empty()) outChannels_.pop_back();
  while (!channelPairs_.empty()) channelPairs_.pop_back();
}

void IPlugBase::ParseChannelIO(const char* text, int* maxIn, int* maxOut) {
  if (!text) return;
  const char* pair = text;
  while (pair) {
    int nIn = 0;
    int nOut = 0;
    // A number that cannot be read stays 0.
    std::sscanf(pair, "%d-%d", &nIn, &nOut);
    channelPairs_.push_back({nIn, nOut});
    *maxIn = std::max(*maxIn, nIn);
    *maxOut = std::max(*maxOut, nOut);
    pair = std::strchr(pair, ' ');
    if (pair) ++pair;
  }
}

bool IPlugBase::LegalIO(int nIn, int nOut) const {
  for (const IChannelPair& pair : channelPairs_) {
    if ((nIn < 0 || pair.inputs == nIn) && (nOut < 0 || pair.outputs == nOut)) return true;
  }
  return false;
}

template <typename Channel>
static void SetConnections(std::vector<Channel>& channels, int first, int count, bool connected) {
  const int64_t end = std::min<int64_t>(static_cast<int64_t>(first) + count, static_cast<int64_t>(channels.size()));
  for (int64_t i = std::max(first, 0); i < end; ++i) {
    Channel& channel = channels[static_cast<size_t>(i)];
    channel.connected = connected;
    if (!connected) *channel.dataSlot = channel.scratch.data();
  }
}

void IPlugBase::SetInputConnections(int first, int count, bool connected) {
  SetConnections(inChannels_, first, count, connected);
}

void IPlugBase::SetOutputConnections(int first, int count, bool connected) {
  SetConnections(outChannels_, first, count, connected);
}

void IPlugBase::PointDisconnectedAtScratch() {
  for (IInputChannel& channel : inChannels_) {
    if (!channel.connected) *channel.dataSlot = channel.scratch.data();
  }
  for (IOutputChannel& channel : outChannels_) {
    if (!channel.connected) *channel.dataSlot = channel.scratch.data();
  }
}

IParamDef* IPlugBase::GetParam(int paramIdx) {
  return IsValidParam(paramIdx) ? &params_[static_cast<size_t>(paramIdx)] : nullptr;
}

const IParamDef* IPlugBase::GetParam(int paramIdx) const {
  return IsValidParam(paramIdx) ? &params_[static_cast<size_t>(paramIdx)] : nullptr;
}

void IPlugBase::OnReset() { IMutexLock lock(mutex_); }

void IPlugBase::OnParameterChanged(int) { IMutexLock lock(mutex_); }

void IPlugBase::OnActiveChanged(bool) { IMutexLock lock(mutex_); }

void IPlugBase::ProcessBlock(double** inputs, double** outputs, int nFrames) {
  if (nFrames <= 0) return;
  const int nIn = NInChannels();
  const int nOut = NOutChannels();
  const size_t bytes = static_cast<size_t>(nFrames) * sizeof(double);
  for (int i = 0; i < nOut; ++i) {
    if (i < nIn) {
      if (outputs[i] != inputs[i]) std::memmove(outputs[i], inputs[i], bytes);
    } else {
      std::memset(outputs[i], 0, bytes);
    }
  }
}

void IPlugBase::HandleMidiMessage(const IMidiMessage& message) { SendMidiToHost(message); }

void IPlugBase::HandleSysEx(const ISysExMessage&) {}

bool IPlugBase::QueryMidiNoteName(int, char* name) {
  if (name) name[0] = '\0';
  return false;
}

bool IPlugBase::StateMatches(const double* values, int count) {
  // Values within one hundred-thousandth count as equal.
  constexpr double kTolerance = 0.00001;
  if (!values || count != NParams()) return false;
  for (int i = 0; i < count; ++i) {
    if (std::fabs(params_[static_cast<size_t>(i)].Value() - values[i]) > kTolerance) return false;
  }
  return true;
}

void IPlugBase::ShowHostContextMenu(int, int, int) {}

void IPlugBase::SetParameterFromEditor(int paramIdx, double normalized) {
  IMutexLock lock(mutex_);
  IParamDef* param = GetParam(paramIdx);
  if (!param) return;
  param->SetFromNormalized(normalized);
  // The host hears the value the control sent, not the snapped one.
  SendParameterToHost(paramIdx, normalized);
  OnParameterChanged(paramIdx);
}

void IPlugBase::AttachEditor(IGraphics* editor) {
  if (!editor) return;
  IMutexLock lock(mutex_);
  for (int i = 0; i < NParams(); ++i) {
    editor->SetParamFromPlug(i, params_[static_cast<size_t>(i)].GetNormalized(), true);
  }
  editor->CreateSurfaces();
  editor_.reset(editor);
}

void IPlugBase::RefreshParameterControls() {
  if (!editor_) return;
  for (int i = 0; i < NParams(); ++i) {
    editor_->SetParamFromPlug(i, params_[static_cast<size_t>(i)].Value(), false);
  }
}

void IPlugBase::ApplyBlockSize(int nFrames) {
  // A negative size from a host is taken as 0: there is no negative buffer.
  hostBlockSize_ = std::max(nFrames, 0);
  const int frames = std::min(hostBlockSize_, kMaxBlockSize);
  if (frames == blockSize_) return;
  const size_t size = static_cast<size_t>(frames);
  for (IInputChannel& channel : inChannels_) channel.scratch.assign(size, 0.0);
  for (IOutputChannel& channel : outChannels_) channel.scratch.assign(size, 0.0);
  blockSize_ = frames;
  PointDisconnectedAtScratch();
}
