#pragma once
// The VST 3 controller side: parameters, units and program lists, the host's
// component handler with its context menus, the host application, and the
// connection-point messaging a single-component effect refuses.

#include "vst3/interface/Vst3View.h"

namespace vst3 {

constexpr UnitID kRootUnitId = 0;
constexpr UnitID kNoParentUnitId = -1;
constexpr ProgramListID kNoProgramListId = -1;
constexpr int32 kAllProgramInvalid = -1;
constexpr ParamID kNoParamId = 0xFFFFFFFFu;

enum KnobModes : int32 { kCircularMode = 0, kRelativCircularMode = 1, kLinearMode = 2 };

enum RestartFlags : int32 {
  kReloadComponent = 1 << 0,
  kIoChanged = 1 << 1,
  kParamValuesChanged = 1 << 2,
  kLatencyChanged = 1 << 3,
  kParamTitlesChanged = 1 << 4,
  kMidiCCAssignmentChanged = 1 << 5,
  kNoteExpressionChanged = 1 << 6,
  kIoTitlesChanged = 1 << 7,
  kPrefetchableSupportChanged = 1 << 8,
  kRoutingInfoChanged = 1 << 9,
};

struct ParameterInfo {
  enum ParameterFlags : int32 {
    kNoFlags = 0,
    kCanAutomate = 1 << 0,
    kIsReadOnly = 1 << 1,
    kIsWrapAround = 1 << 2,
    kIsList = 1 << 3,
    kIsProgramChange = 1 << 15,
    kIsBypass = 1 << 16,
  };
  ParamID id;
  String128 title;
  String128 shortTitle;
  String128 units;
  int32 stepCount;  // 0 continuous, 1 toggle, n: n + 1 discrete values
  ParamValue defaultNormalizedValue;
  UnitID unitId;
  int32 flags;
};

struct UnitInfo {
  UnitID id;
  UnitID parentUnitId;
  String128 name;
  ProgramListID programListId;
};

struct ProgramListInfo {
  ProgramListID id;
  String128 name;
  int32 programCount;
};

class IComponentHandler : public FUnknown {
public:
  virtual tresult PLUGIN_API beginEdit(ParamID id) = 0;
  virtual tresult PLUGIN_API performEdit(ParamID id, ParamValue valueNormalized) = 0;
  virtual tresult PLUGIN_API endEdit(ParamID id) = 0;
  // UI thread only.
  virtual tresult PLUGIN_API restartComponent(int32 flags) = 0;
  static constexpr Uid iid = Uid::FromWords(0x93A0BEA3, 0x0BD045DB, 0x8E890B0C, 0xC1E46AC6);

protected:
  ~IComponentHandler() = default;
};

class IComponentHandler2 : public FUnknown {
public:
  virtual tresult PLUGIN_API setDirty(TBool state) = 0;
  virtual tresult PLUGIN_API requestOpenEditor(FIDString name) = 0;
  virtual tresult PLUGIN_API startGroupEdit() = 0;
  virtual tresult PLUGIN_API finishGroupEdit() = 0;
  static constexpr Uid iid = Uid::FromWords(0xF040B4B3, 0xA36045EC, 0xABCDC045, 0xB4D5A2CC);

protected:
  ~IComponentHandler2() = default;
};

struct IContextMenuItem {
  enum Flags : int32 {
    kIsSeparator = 1 << 0,
    kIsDisabled = 1 << 1,
    kIsChecked = 1 << 2,
    kIsGroupStart = 1 << 3 | kIsDisabled,
    kIsGroupEnd = 1 << 4 | kIsSeparator,
  };
  String128 name;
  int32 tag;
  int32 flags;
};

class IContextMenuTarget : public FUnknown {
public:
  virtual tresult PLUGIN_API executeMenuItem(int32 tag) = 0;
  static constexpr Uid iid = Uid::FromWords(0x3CDF2E75, 0x85D34144, 0xBF86D36B, 0xD7C4894D);

protected:
  ~IContextMenuTarget() = default;
};

class IContextMenu : public FUnknown {
public:
  using Item = IContextMenuItem;
  virtual int32 PLUGIN_API getItemCount() = 0;
  virtual tresult PLUGIN_API getItem(int32 index, Item& item, IContextMenuTarget** target) = 0;
  virtual tresult PLUGIN_API addItem(const Item& item, IContextMenuTarget* target) = 0;
  virtual tresult PLUGIN_API removeItem(const Item& item, IContextMenuTarget* target) = 0;
  // Relative to the plug-in view's top-left corner.
  virtual tresult PLUGIN_API popup(UCoord x, UCoord y) = 0;
  static constexpr Uid iid = Uid::FromWords(0x2E93C863, 0x0C9C4588, 0x97DBECF5, 0xAD17817D);

protected:
  ~IContextMenu() = default;
};

class IComponentHandler3 : public FUnknown {
public:
  // A new reference, released by the caller; paramID null asks for a generic menu.
  virtual IContextMenu* PLUGIN_API createContextMenu(IPlugView* plugView, const ParamID* paramID) = 0;
  static constexpr Uid iid = Uid::FromWords(0x69F11617, 0xD26B400D, 0xA4B6B964, 0x7B6EBBAB);

protected:
  ~IComponentHandler3() = default;
};

class IUnitHandler : public FUnknown {
public:
  virtual tresult PLUGIN_API notifyUnitSelection(UnitID unitId) = 0;
  virtual tresult PLUGIN_API notifyProgramListChange(ProgramListID listId, int32 programIndex) = 0;
  static constexpr Uid iid = Uid::FromWords(0x4B5147F8, 0x4654486B, 0x8DAB30BA, 0x163A3C56);

protected:
  ~IUnitHandler() = default;
};

class IHostApplication : public FUnknown {
public:
  virtual tresult PLUGIN_API getName(String128 name) = 0;
  virtual tresult PLUGIN_API createInstance(TUID cid, TUID _iid, void** obj) = 0;
  static constexpr Uid iid = Uid::FromWords(0x58E595CC, 0xDB2D4969, 0x8B6AAF8C, 0x36A664E5);

protected:
  ~IHostApplication() = default;
};

class IAttributeList : public FUnknown {
public:
  using AttrID = const char*;
  virtual tresult PLUGIN_API setInt(AttrID id, int64 value) = 0;
  virtual tresult PLUGIN_API getInt(AttrID id, int64& value) = 0;
  virtual tresult PLUGIN_API setFloat(AttrID id, double value) = 0;
  virtual tresult PLUGIN_API getFloat(AttrID id, double& value) = 0;
  virtual tresult PLUGIN_API setString(AttrID id, const TChar* string) = 0;
  // sizeInBytes counts bytes, not characters.
  virtual tresult PLUGIN_API getString(AttrID id, TChar* string, uint32 sizeInBytes) = 0;
  virtual tresult PLUGIN_API setBinary(AttrID id, const void* data, uint32 sizeInBytes) = 0;
  virtual tresult PLUGIN_API getBinary(AttrID id, const void*& data, uint32& sizeInBytes) = 0;
  static constexpr Uid iid = Uid::FromWords(0x1E5F0AEB, 0xCC7F4533, 0xA2544011, 0x38AD5EE4);

protected:
  ~IAttributeList() = default;
};

class IMessage : public FUnknown {
public:
  virtual FIDString PLUGIN_API getMessageID() = 0;
  virtual void PLUGIN_API setMessageID(FIDString id) = 0;
  virtual IAttributeList* PLUGIN_API getAttributes() = 0;  // borrowed
  static constexpr Uid iid = Uid::FromWords(0x936F033B, 0xC6C047DB, 0xBB0882F8, 0x13C1E613);

protected:
  ~IMessage() = default;
};

// Refused by the single-component effect: there is no separate side to talk to.
class IConnectionPoint : public FUnknown {
public:
  virtual tresult PLUGIN_API connect(IConnectionPoint* other) = 0;
  virtual tresult PLUGIN_API disconnect(IConnectionPoint* other) = 0;
  virtual tresult PLUGIN_API notify(IMessage* message) = 0;
  static constexpr Uid iid = Uid::FromWords(0x70A4156F, 0x6E6E4026, 0x989148BF, 0xAA60D8D1);

protected:
  ~IConnectionPoint() = default;
};

// Slots 6 and 7 carry the controller's own state. They are named
// setEditorState/getEditorState here (the slot is what binds, not the name) so
// one object can implement them apart from the component's setState/getState.
class IEditController : public IPluginBase {
public:
  virtual tresult PLUGIN_API setComponentState(IBStream* state) = 0;
  virtual tresult PLUGIN_API setEditorState(IBStream* state) = 0;
  virtual tresult PLUGIN_API getEditorState(IBStream* state) = 0;
  virtual int32 PLUGIN_API getParameterCount() = 0;
  virtual tresult PLUGIN_API getParameterInfo(int32 paramIndex, ParameterInfo& info) = 0;
  virtual tresult PLUGIN_API getParamStringByValue(ParamID id, ParamValue valueNormalized, String128 string) = 0;
  virtual tresult PLUGIN_API getParamValueByString(ParamID id, TChar* string, ParamValue& valueNormalized) = 0;
  virtual ParamValue PLUGIN_API normalizedParamToPlain(ParamID id, ParamValue valueNormalized) = 0;
  virtual ParamValue PLUGIN_API plainParamToNormalized(ParamID id, ParamValue plainValue) = 0;
  virtual ParamValue PLUGIN_API getParamNormalized(ParamID id) = 0;
  virtual tresult PLUGIN_API setParamNormalized(ParamID id, ParamValue value) = 0;
  virtual tresult PLUGIN_API setComponentHandler(IComponentHandler* handler) = 0;
  // A new reference, or null.
  virtual IPlugView* PLUGIN_API createView(FIDString name) = 0;
  static constexpr Uid iid = Uid::FromWords(0xDCD7BBE3, 0x7742448D, 0xA874AACC, 0x979C759E);

protected:
  ~IEditController() = default;
};

class IEditController2 : public FUnknown {
public:
  virtual tresult PLUGIN_API setKnobMode(KnobMode mode) = 0;
  virtual tresult PLUGIN_API openHelp(TBool onlyCheck) = 0;
  virtual tresult PLUGIN_API openAboutBox(TBool onlyCheck) = 0;
  static constexpr Uid iid = Uid::FromWords(0x7F4EFE59, 0xF3204967, 0xAC27A3AE, 0xAFB63038);

protected:
  ~IEditController2() = default;
};

class IUnitInfo : public FUnknown {
public:
  virtual int32 PLUGIN_API getUnitCount() = 0;
  virtual tresult PLUGIN_API getUnitInfo(int32 unitIndex, UnitInfo& info) = 0;
  virtual int32 PLUGIN_API getProgramListCount() = 0;
  virtual tresult PLUGIN_API getProgramListInfo(int32 listIndex, ProgramListInfo& info) = 0;
  virtual tresult PLUGIN_API getProgramName(ProgramListID listId, int32 programIndex, String128 name) = 0;
  // attributeId is 8-bit text.
  virtual tresult PLUGIN_API getProgramInfo(ProgramListID listId, int32 programIndex, const char8* attributeId,
                                            String128 attributeValue) = 0;
  virtual tresult PLUGIN_API hasProgramPitchNames(ProgramListID listId, int32 programIndex) = 0;
  virtual tresult PLUGIN_API getProgramPitchName(ProgramListID listId, int32 programIndex, int16 midiPitch,
                                                 String128 name) = 0;
  virtual UnitID PLUGIN_API getSelectedUnit() = 0;
  virtual tresult PLUGIN_API selectUnit(UnitID unitId) = 0;
  virtual tresult PLUGIN_API getUnitByBus(MediaType type, BusDirection dir, int32 busIndex, int32 channel,
                                          UnitID& unitId) = 0;
  virtual tresult PLUGIN_API setUnitProgramData(int32 listOrUnitId, int32 programIndex, IBStream* data) = 0;
  static constexpr Uid iid = Uid::FromWords(0x3D4BD6B5, 0x913A4FD2, 0xA886E768, 0xA5EB92C1);

protected:
  ~IUnitInfo() = default;
};

static_assert(sizeof(ParameterInfo) == 792 && alignof(ParameterInfo) == 8);
static_assert(offsetof(ParameterInfo, title) == 4);
static_assert(offsetof(ParameterInfo, shortTitle) == 260);
static_assert(offsetof(ParameterInfo, units) == 516);
static_assert(offsetof(ParameterInfo, stepCount) == 772);
static_assert(offsetof(ParameterInfo, defaultNormalizedValue) == 776);
static_assert(offsetof(ParameterInfo, unitId) == 784);
static_assert(offsetof(ParameterInfo, flags) == 788);
static_assert(sizeof(UnitInfo) == 268 && alignof(UnitInfo) == 4);
static_assert(offsetof(UnitInfo, parentUnitId) == 4);
static_assert(offsetof(UnitInfo, name) == 8 && offsetof(UnitInfo, programListId) == 264);
static_assert(sizeof(ProgramListInfo) == 264 && alignof(ProgramListInfo) == 4);
static_assert(offsetof(ProgramListInfo, name) == 4 && offsetof(ProgramListInfo, programCount) == 260);
static_assert(sizeof(IContextMenuItem) == 264);
static_assert(offsetof(IContextMenuItem, tag) == 256 && offsetof(IContextMenuItem, flags) == 260);

}  // namespace vst3
