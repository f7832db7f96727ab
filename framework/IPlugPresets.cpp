// Program state and the preset bank of IPlugBase.
#include <cstdio>
#include <cstring>

#include "framework/IPlugBase.h"

namespace {
constexpr const char* kUserPresetName = "user preset";
constexpr const char* kDefaultPresetName = "Empty";
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
    param.SetClamped(position < 0 ? 0.0 : value);
  }
  for (int i = 0; i < NParams(); ++i) OnParameterChanged(i);
  return position;
}

bool IPlugBase::SerializePresets(IStateBuffer& state) {
  bool ok = true;
  for (IPresetSlot& slot : presets_) {
    if (!ok) break;
    ok = state.AppendText(slot.name) && state.AppendBool(slot.initialised);
    if (ok && slot.initialised) ok = state.AppendBuffer(slot.state);
  }
  return presets_.empty() || (ok && state.Size() > 0);
}

int IPlugBase::UnserializePresets(const IStateBuffer& state, int position) {
  // A failed name read leaves the previous slot's name in the holder.
  std::string name;
  for (IPresetSlot& slot : presets_) {
    if (position < 0) break;
    position = state.ReadText(&name, position);
    slot.SetName(name);
    bool initialised = slot.initialised;
    position = state.ReadBool(&initialised, position);
    slot.initialised = initialised;
    if (slot.initialised) {
      position = LoadState(state, position);
      if (position > 0) {
        slot.state.Clear();
        SaveState(slot.state);
      }
    }
  }
  RecallPreset(currentPreset_);
  return position;
}

void IPlugBase::ModifyCurrentPreset(const char* name) {
  IPresetSlot* slot = GetPreset(currentPreset_);
  if (!slot) return;
  slot->state.Clear();
  SaveState(slot->state);
  if (name && name[0] != '\0') slot->SetName(name);
}

bool IPlugBase::RecallPreset(int presetIdx) {
  IPresetSlot* slot = GetPreset(presetIdx);
  if (!slot) return false;
  bool ok;
  if (slot->initialised) {
    ok = LoadState(slot->state, 0) > 0;
  } else {
    slot->initialised = true;
    int count = 0;
    for (const IPresetSlot& other : presets_) {
      if (other.name.find(kUserPresetName) != std::string::npos) ++count;
    }
    char name[64];
    std::snprintf(name, sizeof name, "%s %d", kUserPresetName, count + 1);
    slot->SetName(name);
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
    SaveState(slot->state);
  }
}
