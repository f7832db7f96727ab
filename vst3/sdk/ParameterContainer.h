#pragma once
// The controller's parameters in host order, found by index or by id. The
// container owns one reference of each.

#include <map>
#include <vector>

#include "vst3/sdk/Parameter.h"

namespace vst3 {

class ParameterContainer {
public:
  ParameterContainer() = default;
  ParameterContainer(const ParameterContainer&) = delete;
  ParameterContainer& operator=(const ParameterContainer&) = delete;
  ~ParameterContainer() { removeAll(); }

  // Takes over the caller's reference. A second parameter with the same id
  // stays in the list; lookups by id find the later one.
  Parameter* addParameter(Parameter* parameter);
  int32 getParameterCount() const { return static_cast<int32>(params_.size()); }
  // Null for an index outside the list.
  Parameter* getParameterByIndex(int32 index) const;
  // Null for an unknown id.
  Parameter* getParameter(ParamID id) const;
  // Releases every parameter, last first.
  void removeAll();

private:
  std::vector<Parameter*> params_;
  std::map<ParamID, size_t> indexById_;
};

}  // namespace vst3
