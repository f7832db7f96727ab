// Program state and the preset bank of IPlugBase.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "framework/IPlugBase.h"

namespace {
constexpr const char* kUserPresetName = "user preset";
constexpr const char* kDefaultPresetName = "Empty";

// A NaN has no place in any range and clamping lets it through, so a stored NaN
// loads as the parameter's default; infinities clamp to the nearer bound.
double LoadableValue(const IParamDef& param, double stored) {
  return std::isnan(stored) ? param.Default() : stored;
}
}  // namespace

bool IPlugBase::SaveState(IStateBuffer& state) { return SerializeParams(state); }

int IPlugBase::LoadState(const IStateBuffer& state, int position) {
  return UnserializeParams(state, position);
}

IPresetSlot* IPlugBase::GetPreset(int presetIdx) {
  if (presetIdx < 0 || presetIdx >= NPresets()) return nullptr;
  return &presets_[static_cast<size_t>(presetIdx)];
}

bool IPlugBase::SerializeParams(IStateBuffer& state) {
  IMutexLock lock(mutex_);
  bool ok = true;
  for (const IParamDef& param : params_) ok = state.AppendDouble(param.Value()) && ok;
  return ok && (state.Size() > 0 || params_.empty());
}

int IPlugBase::UnserializeParams(const IStateBuffer& state, int position) {
  IMutexLock lock(mutex_);
  for (IParamDef& param : params_) {
    if (position < 0) break;
    double value = 0.0;
    position = state.ReadDouble(&value, position);
    // Where the data runs out the parameter gets 0 clamped into its range.
    param.SetClamped(position < 0 ? 0.0 : LoadableValue(param, value));
  }
  for (int i = 0; i < NParams(); ++i) OnParameterChanged(i);
  return position < 0 ? -1 : position;
}

bool IPlugBase::SerializePresets(IStateBuffer& state) {
  IMutexLock lock(mutex_);
  bool ok = true;
  for (const IPresetSlot& slot : presets_) {
    if (!ok) break;
    ok = state.AppendText(slot.name) && state.AppendBool(slot.initialised);
    if (ok && slot.initialised) ok = state.AppendBuffer(slot.state);
  }
  return presets_.empty() || (ok && state.Size() > 0);
}

int IPlugBase::UnserializePresets(const IStateBuffer& state, int position) {
  IMutexLock lock(mutex_);
  // One holder for all slots: a failed name read leaves the previous slot's name.
  std::string name;
  for (IPresetSlot& slot : presets_) {
    if (position < 0) break;
    position = state.ReadText(&name, position);
    slot.SetName(name);
    // A failed read keeps the slot's flag.
    position = state.ReadBool(&slot.initialised, position);
    if (!slot.initialised) continue;
    position = LoadState(state, position);
    if (position > 0 || slot.state.Size() == 0) {
      // After a failed load a slot that never held a program takes the live
      // values: an initialised slot without state would shift every later slot
      // of the bank when it is saved again.
      slot.state.Clear();
      SaveState(slot.state);
    }
  }
  RecallPreset(currentPreset_);
  return position < 0 ? -1 : position;
}

IPlugSnapshot IPlugBase::TakeSnapshot() {
  IMutexLock lock(mutex_);
  IPlugSnapshot snapshot;
  for (const IParamDef& param : params_) snapshot.values.push_back(param.Value());
  snapshot.presets = presets_;
  snapshot.currentPreset = currentPreset_;
  return snapshot;
}

void IPlugBase::RestoreSnapshot(const IPlugSnapshot& snapshot) {
  IMutexLock lock(mutex_);
  const size_t count = std::min(params_.size(), snapshot.values.size());
  for (size_t i = 0; i < count; ++i) params_[i].SetClamped(snapshot.values[i]);
  if (snapshot.presets.size() == presets_.size()) presets_ = snapshot.presets;
  currentPreset_ = snapshot.currentPreset;
  for (int i = 0; i < NParams(); ++i) OnParameterChanged(i);
  RefreshParameterControls();
}

void IPlugBase::ModifyCurrentPreset(const char* name) {
  IMutexLock lock(mutex_);
  IPresetSlot* slot = GetPreset(currentPreset_);
  if (!slot) return;
  slot->state.Clear();
  SaveState(slot->state);
  if (name && name[0] != '\0') slot->SetName(name);
}

bool IPlugBase::RecallPreset(int presetIdx) {
  IMutexLock lock(mutex_);
  IPresetSlot* slot = GetPreset(presetIdx);
  if (!slot) return false;
  bool ok;
  if (slot->initialised) {
    ok = LoadState(slot->state, 0) > 0;
  } else {
    slot->initialised = true;
    // The slot itself counts under its old name.
    int count = 0;
    for (const IPresetSlot& other : presets_) {
      if (other.name.find(kUserPresetName) != std::string::npos) ++count;
    }
    char name[32];
    std::snprintf(name, sizeof name, "%s %d", kUserPresetName, count + 1);
    slot->SetName(name);
    slot->state.Clear();
    ok = SaveState(slot->state);
  }
  if (ok) {
    currentPreset_ = presetIdx;
    OnPresetsChangedByHost();
    RefreshParameterControls();
  }
  return ok;
}

void IPlugBase::FillDefaultPresets(const char* name, int count) {
  IMutexLock lock(mutex_);
  for (int n = 0; n < count; ++n) {
    IPresetSlot* slot = nullptr;
    for (IPresetSlot& candidate : presets_) {
      if (!candidate.initialised) {
        slot = &candidate;
        break;
      }
    }
    if (!slot) break;
    slot->initialised = true;
    slot->SetName(name ? name : kDefaultPresetName);
    // A slot marked uninitialised by a bank may still hold an old program.
    slot->state.Clear();
    SaveState(slot->state);
  }
}
