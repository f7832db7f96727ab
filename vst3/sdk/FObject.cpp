#include "vst3/sdk/FObject.h"

namespace vst3 {

tresult PLUGIN_API FObject::queryInterface(const TUID _iid, void** obj) {
  if (!obj) return kInvalidArgument;
  if (QueryAs<IDependent>(this, _iid, obj)) return kResultOk;
  if (IidEqual(_iid, FUnknown::iid.data)) {
    *obj = static_cast<FUnknown*>(static_cast<IDependent*>(this));
    addRef();
    return kResultOk;
  }
  *obj = nullptr;
  return kNoInterface;
}

uint32 PLUGIN_API FObject::addRef() { return static_cast<uint32>(++refCount_); }

uint32 PLUGIN_API FObject::release() {
  const int32 left = --refCount_;
  if (left > 0) return static_cast<uint32>(left);
  // A stray addRef from a destructor's callees must not bring it back to zero.
  refCount_ = -1000;
  delete this;
  return 0;
}

void PLUGIN_API FObject::update(FUnknown*, int32) {}

bool FObject::isTypeOf(FIDString name, bool) const { return name && std::strcmp(name, kTypeName) == 0; }

}  // namespace vst3
