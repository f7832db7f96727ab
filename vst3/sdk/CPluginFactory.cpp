#include "vst3/sdk/CPluginFactory.h"

#include <cstring>
#include <mutex>
#include <new>

#include "vst3/sdk/Vst3String.h"

namespace vst3 {
namespace {
// Guards the live factory: a release to zero and an Acquire must not cross.
std::mutex& FactoryLock() {
  static std::mutex lock;
  return lock;
}
CPluginFactory* gLiveFactory = nullptr;

PClassInfoW WidenClassInfo(const PClassInfo2& in) {
  PClassInfoW out{};
  std::memcpy(out.cid, in.cid, sizeof(TUID));
  out.cardinality = in.cardinality;
  CopyField(out.category, PClassInfo::kCategorySize, in.category);
  WidenField(out.name, PClassInfo::kNameSize, in.name);
  out.classFlags = in.classFlags;
  CopyField(out.subCategories, PClassInfo2::kSubCategoriesSize, in.subCategories);
  WidenField(out.vendor, PClassInfo2::kVendorSize, in.vendor);
  WidenField(out.version, PClassInfo2::kVersionSize, in.version);
  WidenField(out.sdkVersion, PClassInfo2::kVersionSize, in.sdkVersion);
  return out;
}
}  // namespace

CPluginFactory::CPluginFactory(const PFactoryInfo& info) : factoryInfo_(info) { classes_.reserve(10); }

CPluginFactory* CPluginFactory::Acquire(CPluginFactory* (*build)()) {
  std::lock_guard<std::mutex> lock(FactoryLock());
  if (gLiveFactory) {
    gLiveFactory->refCount_++;
    return gLiveFactory;
  }
  gLiveFactory = build ? build() : nullptr;
  return gLiveFactory;
}

bool CPluginFactory::registerClass(const PClassInfo2* info, CreateFunction create, void* context) {
  if (!info || !create) return false;
  try {
    classes_.push_back(ClassEntry{*info, WidenClassInfo(*info), create, context});
  } catch (const std::bad_alloc&) {
    return false;
  }
  return true;
}

tresult PLUGIN_API CPluginFactory::queryInterface(const TUID _iid, void** obj) {
  if (!obj) return kInvalidArgument;
  if (IidEqual(_iid, FUnknown::iid.data) || IidEqual(_iid, IPluginFactory::iid.data) ||
      IidEqual(_iid, IPluginFactory2::iid.data) || IidEqual(_iid, IPluginFactory3::iid.data)) {
    // One chain of bases: the same pointer serves all four.
    *obj = static_cast<IPluginFactory3*>(this);
    addRef();
    return kResultOk;
  }
  *obj = nullptr;
  return kNoInterface;
}

uint32 PLUGIN_API CPluginFactory::addRef() { return static_cast<uint32>(++refCount_); }

uint32 PLUGIN_API CPluginFactory::release() {
  {
    std::lock_guard<std::mutex> lock(FactoryLock());
    const int32 left = --refCount_;
    if (left > 0) return static_cast<uint32>(left);
    if (gLiveFactory == this) gLiveFactory = nullptr;
  }
  delete this;
  return 0;
}

tresult PLUGIN_API CPluginFactory::getFactoryInfo(PFactoryInfo* info) {
  if (info) *info = factoryInfo_;
  return kResultOk;
}

int32 PLUGIN_API CPluginFactory::countClasses() { return static_cast<int32>(classes_.size()); }

const CPluginFactory::ClassEntry* CPluginFactory::Entry(int32 index) const {
  if (index < 0 || index >= static_cast<int32>(classes_.size())) return nullptr;
  return &classes_[static_cast<size_t>(index)];
}

tresult PLUGIN_API CPluginFactory::getClassInfo(int32 index, PClassInfo* info) {
  const ClassEntry* entry = Entry(index);
  if (!info || !entry) return kInvalidArgument;
  // The first fields of the second-generation record are the first record.
  std::memcpy(info, &entry->info8, sizeof(PClassInfo));
  return kResultOk;
}

tresult PLUGIN_API CPluginFactory::getClassInfo2(int32 index, PClassInfo2* info) {
  const ClassEntry* entry = Entry(index);
  if (!info || !entry) return kInvalidArgument;
  *info = entry->info8;
  return kResultOk;
}

tresult PLUGIN_API CPluginFactory::getClassInfoUnicode(int32 index, PClassInfoW* info) {
  const ClassEntry* entry = Entry(index);
  if (!info || !entry) return kInvalidArgument;
  *info = entry->info16;
  return kResultOk;
}

tresult PLUGIN_API CPluginFactory::createInstance(FIDString cid, FIDString _iid, void** obj) {
  if (!obj) return kInvalidArgument;
  *obj = nullptr;
  if (!cid || !_iid) return kNoInterface;
  for (const ClassEntry& entry : classes_) {
    if (!IidEqual(cid, entry.info8.cid)) continue;
    FUnknown* instance = entry.create(entry.context);
    if (!instance) return kNoInterface;
    // The host keeps the query's reference only; a refused query destroys the object.
    const tresult result = instance->queryInterface(_iid, obj);
    instance->release();
    if (result != kResultOk) {
      *obj = nullptr;
      return kNoInterface;
    }
    return kResultOk;
  }
  return kNoInterface;
}

tresult PLUGIN_API CPluginFactory::setHostContext(FUnknown*) { return kNotImplemented; }

static_assert(offsetof(PClassInfo2, name) == offsetof(PClassInfo, name) &&
              offsetof(PClassInfo2, category) == offsetof(PClassInfo, category));

}  // namespace vst3
