#include "vst3/sdk/ParameterContainer.h"

namespace vst3 {

Parameter* ParameterContainer::addParameter(Parameter* parameter) {
  if (!parameter) return nullptr;
  indexById_[parameter->getInfo().id] = params_.size();
  params_.push_back(parameter);
  return parameter;
}

Parameter* ParameterContainer::getParameterByIndex(int32 index) const {
  if (index < 0 || static_cast<size_t>(index) >= params_.size()) return nullptr;
  return params_[static_cast<size_t>(index)];
}

Parameter* ParameterContainer::getParameter(ParamID id) const {
  const auto found = indexById_.find(id);
  return found == indexById_.end() ? nullptr : params_[found->second];
}

void ParameterContainer::removeAll() {
  indexById_.clear();
  while (!params_.empty()) {
    params_.back()->release();
    params_.pop_back();
  }
}

}  // namespace vst3
