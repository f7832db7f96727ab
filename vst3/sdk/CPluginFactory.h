#pragma once
// The module's class factory: the factory record, the registered classes in
// 8- and 16-bit form, and instance creation by class identifier. One factory
// lives at a time; the module's entry hands it out through Acquire.

#include <atomic>
#include <vector>

#include "vst3/interface/Vst3Base.h"

namespace vst3 {

// Builds one object for a registered class: a new reference, or null.
using CreateFunction = FUnknown* (*)(void* context);

class CPluginFactory : public IPluginFactory3 {
public:
  explicit CPluginFactory(const PFactoryInfo& info);
  virtual ~CPluginFactory() = default;
  CPluginFactory(const CPluginFactory&) = delete;
  CPluginFactory& operator=(const CPluginFactory&) = delete;

  // The live factory with one more reference; without one, `build` makes it
  // (count 1, the caller's) and it becomes the live one. `build` runs under
  // the factory lock, so it must not release a factory. Any thread.
  static CPluginFactory* Acquire(CPluginFactory* (*build)());

  // Adds a class known by its 8-bit record; its 16-bit record is derived from
  // it. False for a null record or function, or when memory runs out.
  // Any thread, before the factory is handed out.
  bool registerClass(const PClassInfo2* info, CreateFunction create, void* context = nullptr);

  // --- Host entries: any thread --------------------------------------------------
  tresult PLUGIN_API queryInterface(const TUID _iid, void** obj) override;
  uint32 PLUGIN_API addRef() override;
  // The last release destroys the factory; the next Acquire builds a new one.
  uint32 PLUGIN_API release() override;
  tresult PLUGIN_API getFactoryInfo(PFactoryInfo* info) override;
  int32 PLUGIN_API countClasses() override;
  tresult PLUGIN_API getClassInfo(int32 index, PClassInfo* info) override;
  tresult PLUGIN_API getClassInfo2(int32 index, PClassInfo2* info) override;
  tresult PLUGIN_API getClassInfoUnicode(int32 index, PClassInfoW* info) override;
  tresult PLUGIN_API createInstance(FIDString cid, FIDString _iid, void** obj) override;
  // Not implemented: the factory needs nothing from the host.
  tresult PLUGIN_API setHostContext(FUnknown* context) override;

private:
  struct ClassEntry {
    PClassInfo2 info8;
    PClassInfoW info16;
    CreateFunction create;
    void* context;
  };
  const ClassEntry* Entry(int32 index) const;

  PFactoryInfo factoryInfo_;
  std::vector<ClassEntry> classes_;
  std::atomic<int32> refCount_{1};
};

}  // namespace vst3
