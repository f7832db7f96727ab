// IPlugVST3 as the edit controller: the host's parameter list (program change,
// bypass, then one adapter per framework parameter; ids of framework
// parameters are their indexes), the unit tree from the parameters' groups,
// the unannounced list of factory presets, and the editor's edit gestures
// forwarded to the host.
#include <algorithm>
#include <cmath>

#include "vst3/IPlugParameter.h"
#include "vst3/IPlugVST3.h"
#include "vst3/sdk/String128.h"
#include "vst3/sdk/Vst3String.h"

using namespace vst3;

namespace {
constexpr const char* kRootUnitName = "Root Unit";
constexpr const char* kPresetListName = "Factory Presets";
}  // namespace

void IPlugVST3::AddParameters() {
  if (NPresets() > 0) {
    String128 title{};
    WidenText(title, kString128Units, "Preset");
    parameters_.addParameter(new Parameter(title, PresetParamId, nullptr, 0.0, NPresets(),
                                           ParameterInfo::kIsProgramChange, kRootUnitId));
  }
  String128 text{};
  WidenText(text, kString128Units, "Bypass");
  auto* bypass = new StringListParameter(
      text, BypassParamId, nullptr,
      ParameterInfo::kCanAutomate | ParameterInfo::kIsList | ParameterInfo::kIsBypass, kRootUnitId);
  for (const char* state : {"off", "on"}) {
    WidenText(text, kString128Units, state);
    bypass->appendString(text);
  }
  parameters_.addParameter(bypass);
  for (int i = 0; i < NParams(); ++i) {
    const IParamDef& param = *GetParam(i);
    parameters_.addParameter(new IPlugParameter(param, static_cast<ParamID>(i), UnitForGroup(param.Group())));
  }
}

// Unit k (from 1) is the k-th group name met; no group is the root unit.
UnitID IPlugVST3::UnitForGroup(const char* group) {
  if (!group || group[0] == '\0') return kRootUnitId;
  std::vector<std::string>& names = UnitNames();
  for (size_t k = 0; k < names.size(); ++k) {
    if (names[k] == group) return static_cast<UnitID>(k + 1);
  }
  names.emplace_back(group);
  return static_cast<UnitID>(names.size());
}

tresult PLUGIN_API IPlugVST3::getParamStringByValue(ParamID id, ParamValue valueNormalized,
                                                    String128 string) {
  if (!string) return kInvalidArgument;
  if (!IsFrameworkParam(id)) return kResultFalse;
  IMutexLock lock(InstanceLock());
  IPlugParameter::FormatText(*GetParam(static_cast<int>(id)), valueNormalized, string);
  return kResultOk;
}

ParamValue PLUGIN_API IPlugVST3::plainParamToNormalized(ParamID id, ParamValue plainValue) {
  if (!IsFrameworkParam(id)) return plainValue;
  return GetParam(static_cast<int>(id))->NormalizeValue(plainValue);
}

ParamValue PLUGIN_API IPlugVST3::getParamNormalized(ParamID id) {
  IMutexLock lock(InstanceLock());
  if (id == BypassParamId) return IsBypassed() ? 1.0 : 0.0;
  return IsFrameworkParam(id) ? GetParam(static_cast<int>(id))->GetNormalized() : 0.0;
}

tresult PLUGIN_API IPlugVST3::setParamNormalized(ParamID id, ParamValue value) {
  if (!IsFrameworkParam(id)) return kResultFalse;
  IMutexLock lock(InstanceLock());
  // Normalised values live in 0..1: outside, the curve would leave the range.
  if (!std::isnan(value)) GetParam(static_cast<int>(id))->SetFromNormalized(std::clamp(value, 0.0, 1.0));
  return kResultOk;
}

int32 PLUGIN_API IPlugVST3::getUnitCount() {
  return static_cast<int32>(UnitNames().size()) + 1;
}

tresult PLUGIN_API IPlugVST3::getUnitInfo(int32 unitIndex, UnitInfo& info) {
  if (IsNullReference(info)) return kInvalidArgument;
  const std::vector<std::string>& names = UnitNames();
  if (unitIndex < 0 || static_cast<size_t>(unitIndex) > names.size()) return kResultFalse;
  info.id = unitIndex;
  info.parentUnitId = unitIndex == 0 ? kNoParentUnitId : kRootUnitId;
  WidenText(info.name, kString128Units, unitIndex == 0 ? kRootUnitName : names[static_cast<size_t>(unitIndex - 1)].c_str());
  info.programListId = kNoProgramListId;
  return kResultOk;
}

tresult PLUGIN_API IPlugVST3::getProgramListInfo(int32 listIndex, ProgramListInfo& info) {
  if (IsNullReference(info)) return kInvalidArgument;
  if (listIndex != 0) return kResultFalse;
  info.id = static_cast<ProgramListID>(PresetParamId);
  WidenText(info.name, kString128Units, kPresetListName);
  info.programCount = NPresets();
  return kResultOk;
}

tresult PLUGIN_API IPlugVST3::getProgramName(ProgramListID listId, int32 programIndex, String128 name) {
  if (!name) return kInvalidArgument;
  if (listId != static_cast<ProgramListID>(PresetParamId)) return kResultFalse;
  IMutexLock lock(InstanceLock());
  const IPresetSlot* preset = GetPreset(programIndex);
  WidenText(name, kString128Units, preset ? preset->name.c_str() : "");
  return kResultOk;
}

void IPlugVST3::BeginParameterEdit(int paramIdx) { beginEdit(static_cast<ParamID>(paramIdx)); }

void IPlugVST3::SendParameterToHost(int paramIdx, double normalized) {
  performEdit(static_cast<ParamID>(paramIdx), normalized);
}

void IPlugVST3::EndParameterEdit(int paramIdx) { endEdit(static_cast<ParamID>(paramIdx)); }

void IPlugVST3::ShowHostContextMenu(int paramIdx, int x, int y) {
  IComponentHandler* handler = getComponentHandler();
  // The host's menu belongs to a view: without one there is nothing to show it in.
  if (!handler || openViews_.empty()) return;
  void* found = nullptr;
  if (handler->queryInterface(IComponentHandler3::iid.data, &found) != kResultOk || !found) return;
  auto* menus = static_cast<IComponentHandler3*>(found);
  const ParamID id = static_cast<ParamID>(paramIdx);
  if (IContextMenu* menu = menus->createContextMenu(openViews_.front(), &id)) {
    menu->popup(x, y);
    menu->release();
  }
  menus->release();
}
