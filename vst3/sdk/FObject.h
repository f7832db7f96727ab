#pragma once
// The reference-counted base of every object the module hands to a host, with
// the type-name checks that turn a base pointer back into a derived one.

#include <atomic>
#include <cstring>

#include "vst3/interface/Vst3Base.h"

namespace vst3 {

class FObject : public IDependent {
public:
  FObject() = default;
  // A copy is a new object: it starts with its own single reference.
  FObject(const FObject&) : IDependent() {}
  FObject& operator=(const FObject&) { return *this; }
  virtual ~FObject() = default;

  // Any thread.
  tresult PLUGIN_API queryInterface(const TUID _iid, void** obj) override;
  uint32 PLUGIN_API addRef() override;
  // Destroys the object when the last reference goes.
  uint32 PLUGIN_API release() override;
  void PLUGIN_API update(FUnknown* changedUnknown, int32 message) override;

  static constexpr FIDString kTypeName = "FObject";
  virtual FIDString isA() const { return kTypeName; }
  // This class's name, or, with askBase, any base class's name.
  virtual bool isTypeOf(FIDString name, bool askBase = true) const;
  bool isA(FIDString name) const { return isTypeOf(name, false); }

  int32 getRefCount() const { return refCount_.load(); }

protected:
  // On success: *obj = the interface, one reference added, true.
  template <class Interface, class Self>
  static bool QueryAs(Self* self, const TUID _iid, void** obj) {
    if (!IidEqual(_iid, Interface::iid.data)) return false;
    *obj = static_cast<Interface*>(self);
    self->addRef();
    return true;
  }

private:
  std::atomic<int32> refCount_{1};
};

// The derived object behind `object` when it is a C (by type name), else null.
template <class C>
C* FCast(FObject* object) {
  return object && object->isTypeOf(C::kTypeName) ? static_cast<C*>(object) : nullptr;
}

}  // namespace vst3

// In a class derived from FObject: its type name (text) and its base class.
#define VST3_OBJECT_TYPE_NAMED(typeName, baseClass)                                              \
  static constexpr ::vst3::FIDString kTypeName = typeName;                                       \
  ::vst3::FIDString isA() const override { return kTypeName; }                                   \
  bool isTypeOf(::vst3::FIDString name, bool askBase = true) const override {                    \
    return (name && std::strcmp(name, kTypeName) == 0) || (askBase && baseClass::isTypeOf(name, true)); \
  }
#define VST3_OBJECT_TYPE(className, baseClass) VST3_OBJECT_TYPE_NAMED(#className, baseClass)

// In a class that adds interfaces to an FObject: every interface's counting
// slots lead to the one count of the base.
#define VST3_REFCOUNT_METHODS(baseClass)                                          \
  ::vst3::uint32 PLUGIN_API addRef() override { return baseClass::addRef(); }    \
  ::vst3::uint32 PLUGIN_API release() override { return baseClass::release(); }
