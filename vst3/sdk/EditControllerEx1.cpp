#include "vst3/sdk/EditControllerEx1.h"

namespace vst3 {

tresult PLUGIN_API EditControllerEx1::getUnitInfo(int32, UnitInfo&) { return kResultFalse; }

tresult PLUGIN_API EditControllerEx1::getProgramListInfo(int32, ProgramListInfo&) {
  return kResultFalse;
}

tresult PLUGIN_API EditControllerEx1::getProgramName(ProgramListID, int32, String128) {
  return kResultFalse;
}

tresult PLUGIN_API EditControllerEx1::getProgramInfo(ProgramListID, int32, const char8*, String128) {
  return kResultFalse;
}

tresult PLUGIN_API EditControllerEx1::hasProgramPitchNames(ProgramListID, int32) {
  return kResultFalse;
}

tresult PLUGIN_API EditControllerEx1::getProgramPitchName(ProgramListID, int32, int16, String128) {
  return kResultFalse;
}

tresult PLUGIN_API EditControllerEx1::selectUnit(UnitID unitId) {
  selectedUnit_ = unitId;
  return kResultOk;
}

tresult PLUGIN_API EditControllerEx1::getUnitByBus(MediaType, BusDirection, int32, int32, UnitID&) {
  return kResultFalse;
}

tresult PLUGIN_API EditControllerEx1::setUnitProgramData(int32, int32, IBStream*) {
  return kResultFalse;
}

tresult PLUGIN_API EditControllerEx1::queryInterface(const TUID _iid, void** obj) {
  if (!obj) return kInvalidArgument;
  if (QueryAs<IUnitInfo>(this, _iid, obj)) return kResultOk;
  return EditController::queryInterface(_iid, obj);
}

}  // namespace vst3
