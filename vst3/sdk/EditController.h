#pragma once
// The edit controller: the host's parameter list over a parameter container,
// the host's component handler, and the edit notifications sent through it.
//
// A host may pass null where the interface takes a reference; every method
// that fills a record refuses that with kInvalidArgument.

#include "vst3/sdk/ComponentBase.h"
#include "vst3/sdk/ParameterContainer.h"

namespace vst3 {

class EditController : public ComponentBase, public IEditController, public IEditController2 {
public:
  EditController() = default;
  ~EditController() override;

  // UI thread.
  tresult PLUGIN_API initialize(FUnknown* context) override;
  // UI thread. Removes every parameter and releases the component handler.
  tresult PLUGIN_API terminate() override;

  // UI thread. Not implemented here; the controller keeps no state of its own.
  tresult PLUGIN_API setComponentState(IBStream* state) override;
  tresult PLUGIN_API setEditorState(IBStream* state) override;
  tresult PLUGIN_API getEditorState(IBStream* state) override;

  // UI thread: answers over the parameter container.
  int32 PLUGIN_API getParameterCount() override;
  tresult PLUGIN_API getParameterInfo(int32 paramIndex, ParameterInfo& info) override;
  tresult PLUGIN_API getParamStringByValue(ParamID id, ParamValue valueNormalized,
                                           String128 string) override;
  tresult PLUGIN_API getParamValueByString(ParamID id, TChar* string,
                                           ParamValue& valueNormalized) override;
  ParamValue PLUGIN_API normalizedParamToPlain(ParamID id, ParamValue valueNormalized) override;
  ParamValue PLUGIN_API plainParamToNormalized(ParamID id, ParamValue plainValue) override;
  ParamValue PLUGIN_API getParamNormalized(ParamID id) override;
  tresult PLUGIN_API setParamNormalized(ParamID id, ParamValue value) override;
  // UI thread. Keeps the handler with a reference until terminate or the next one.
  tresult PLUGIN_API setComponentHandler(IComponentHandler* handler) override;
  // UI thread. No view.
  IPlugView* PLUGIN_API createView(FIDString name) override;

  // UI thread.
  tresult PLUGIN_API setKnobMode(KnobMode mode) override;
  tresult PLUGIN_API openHelp(TBool onlyCheck) override;
  tresult PLUGIN_API openAboutBox(TBool onlyCheck) override;

  // Edit notifications to the host; false without a handler. The thread of the
  // edit (the editor's UI thread).
  tresult beginEdit(ParamID id);
  tresult performEdit(ParamID id, ParamValue valueNormalized);
  tresult endEdit(ParamID id);

  Parameter* getParameterObject(ParamID id) const { return parameters_.getParameter(id); }
  IComponentHandler* getComponentHandler() const { return componentHandler_; }

  // Any thread.
  tresult PLUGIN_API queryInterface(const TUID _iid, void** obj) override;
  VST3_REFCOUNT_METHODS(ComponentBase)
  VST3_OBJECT_TYPE(EditController, ComponentBase)

protected:
  ParameterContainer parameters_;
  IComponentHandler* componentHandler_ = nullptr;
};

// A host may pass null where an interface takes a reference; the address is
// read back through a volatile so that the check survives optimisation.
template <typename T>
bool IsNullReference(T& ref) {
  T* volatile address = &ref;
  return address == nullptr;
}

}  // namespace vst3
