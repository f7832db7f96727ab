#include "vst3/sdk/EditController.h"

namespace vst3 {

EditController::~EditController() { setComponentHandler(nullptr); }

tresult PLUGIN_API EditController::initialize(FUnknown* context) {
  return ComponentBase::initialize(context);
}

tresult PLUGIN_API EditController::terminate() {
  parameters_.removeAll();
  setComponentHandler(nullptr);
  return ComponentBase::terminate();
}

tresult PLUGIN_API EditController::setComponentState(IBStream*) { return kNotImplemented; }
tresult PLUGIN_API EditController::setEditorState(IBStream*) { return kNotImplemented; }
tresult PLUGIN_API EditController::getEditorState(IBStream*) { return kNotImplemented; }

int32 PLUGIN_API EditController::getParameterCount() { return parameters_.getParameterCount(); }

tresult PLUGIN_API EditController::getParameterInfo(int32 paramIndex, ParameterInfo& info) {
  if (IsNullReference(info)) return kInvalidArgument;
  const Parameter* parameter = parameters_.getParameterByIndex(paramIndex);
  if (!parameter) return kInvalidArgument;
  info = parameter->getInfo();
  return kResultOk;
}

tresult PLUGIN_API EditController::getParamStringByValue(ParamID id, ParamValue valueNormalized,
                                                         String128 string) {
  if (!string) return kInvalidArgument;
  const Parameter* parameter = parameters_.getParameter(id);
  if (!parameter) return kResultFalse;
  parameter->toString(valueNormalized, string);
  return kResultOk;
}

tresult PLUGIN_API EditController::getParamValueByString(ParamID id, TChar* string,
                                                         ParamValue& valueNormalized) {
  if (!string || IsNullReference(valueNormalized)) return kInvalidArgument;
  const Parameter* parameter = parameters_.getParameter(id);
  return parameter && parameter->fromString(string, valueNormalized) ? kResultOk : kResultFalse;
}

ParamValue PLUGIN_API EditController::normalizedParamToPlain(ParamID id, ParamValue valueNormalized) {
  const Parameter* parameter = parameters_.getParameter(id);
  return parameter ? parameter->toPlain(valueNormalized) : valueNormalized;
}

ParamValue PLUGIN_API EditController::plainParamToNormalized(ParamID id, ParamValue plainValue) {
  const Parameter* parameter = parameters_.getParameter(id);
  return parameter ? parameter->toNormalized(plainValue) : plainValue;
}

ParamValue PLUGIN_API EditController::getParamNormalized(ParamID id) {
  const Parameter* parameter = parameters_.getParameter(id);
  return parameter ? parameter->getNormalized() : 0.0;
}

tresult PLUGIN_API EditController::setParamNormalized(ParamID id, ParamValue value) {
  Parameter* parameter = parameters_.getParameter(id);
  if (!parameter) return kResultFalse;
  parameter->setNormalized(value);
  return kResultOk;
}

tresult PLUGIN_API EditController::setComponentHandler(IComponentHandler* handler) {
  if (handler == componentHandler_) return kResultOk;
  if (componentHandler_) componentHandler_->release();
  componentHandler_ = handler;
  if (componentHandler_) componentHandler_->addRef();
  return kResultOk;
}

IPlugView* PLUGIN_API EditController::createView(FIDString) { return nullptr; }

// Nothing here reads the knob mode: the editor's controls keep their own.
tresult PLUGIN_API EditController::setKnobMode(KnobMode) { return kResultOk; }

tresult PLUGIN_API EditController::openHelp(TBool) { return kResultFalse; }
tresult PLUGIN_API EditController::openAboutBox(TBool) { return kResultFalse; }

tresult EditController::beginEdit(ParamID id) {
  return componentHandler_ ? componentHandler_->beginEdit(id) : kResultFalse;
}

tresult EditController::performEdit(ParamID id, ParamValue valueNormalized) {
  return componentHandler_ ? componentHandler_->performEdit(id, valueNormalized) : kResultFalse;
}

tresult EditController::endEdit(ParamID id) {
  return componentHandler_ ? componentHandler_->endEdit(id) : kResultFalse;
}

tresult PLUGIN_API EditController::queryInterface(const TUID _iid, void** obj) {
  if (!obj) return kInvalidArgument;
  if (QueryAs<IEditController>(this, _iid, obj)) return kResultOk;
  if (QueryAs<IEditController2>(this, _iid, obj)) return kResultOk;
  return ComponentBase::queryInterface(_iid, obj);
}

}  // namespace vst3
