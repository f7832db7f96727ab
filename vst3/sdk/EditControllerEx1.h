#pragma once
// The edit controller with the unit interface. Without units or program lists
// of its own it reports none; a plug-in answers its own through the overrides.

#include "vst3/sdk/EditController.h"

namespace vst3 {

class EditControllerEx1 : public EditController, public IUnitInfo {
public:
  EditControllerEx1() = default;

  // UI thread.
  int32 PLUGIN_API getUnitCount() override { return 0; }
  tresult PLUGIN_API getUnitInfo(int32 unitIndex, UnitInfo& info) override;
  int32 PLUGIN_API getProgramListCount() override { return 0; }
  tresult PLUGIN_API getProgramListInfo(int32 listIndex, ProgramListInfo& info) override;
  tresult PLUGIN_API getProgramName(ProgramListID listId, int32 programIndex, String128 name) override;
  tresult PLUGIN_API getProgramInfo(ProgramListID listId, int32 programIndex, const char8* attributeId,
                                    String128 attributeValue) override;
  tresult PLUGIN_API hasProgramPitchNames(ProgramListID listId, int32 programIndex) override;
  tresult PLUGIN_API getProgramPitchName(ProgramListID listId, int32 programIndex, int16 midiPitch,
                                         String128 name) override;
  UnitID PLUGIN_API getSelectedUnit() override { return selectedUnit_; }
  tresult PLUGIN_API selectUnit(UnitID unitId) override;
  tresult PLUGIN_API getUnitByBus(MediaType type, BusDirection dir, int32 busIndex, int32 channel,
                                  UnitID& unitId) override;
  tresult PLUGIN_API setUnitProgramData(int32 listOrUnitId, int32 programIndex, IBStream* data) override;

  // Any thread.
  tresult PLUGIN_API queryInterface(const TUID _iid, void** obj) override;
  VST3_REFCOUNT_METHODS(EditController)
  VST3_OBJECT_TYPE(EditControllerEx1, EditController)

protected:
  UnitID selectedUnit_ = kRootUnitId;
};

}  // namespace vst3
