// The module's entry points: load-time bookkeeping, InitDll/ExitDll (Windows),
// ModuleEntry/ModuleExit (Linux) and GetPluginFactory with its one class.
#include <atomic>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <new>

#include "vst3/IPlugVST3Create.h"
#include "vst3/IPlugVST3Module.h"
#include "vst3/interface/Vst3Interface.h"
#include "vst3/sdk/CPluginFactory.h"
#include "vst3/sdk/Vst3String.h"

#if defined(_WIN32)
#include <windows.h>
#define ZAVRO_VST3_ENTRY extern "C" __declspec(dllexport)
#else
#include "framework/IModuleLocation.h"
#define ZAVRO_VST3_ENTRY extern "C" __attribute__((visibility("default")))
#endif

using namespace vst3;

namespace {
// Left to the vendor's page and address; they only fill the factory record.
constexpr const char* kVendorUrl = "https://www.quillumbra.com";
constexpr const char* kVendorEmail = "support@quillumbra.com";

void* gModuleHandle = nullptr;
// Function-local, so it exists before the load-time recording writes it.
std::u16string& ModuleFolder() {
  static std::u16string folder;
  return folder;
}
std::atomic<void*> gModuleInstanceHandle{nullptr};

// Serialises plug-in construction across the process: construction touches
// module-wide caches. Made on first use, gone with the module.
std::mutex& PlugCreationLock() {
  static std::mutex lock;
  return lock;
}

FUnknown* CreatePlugInstance(void*) {
  std::lock_guard<std::mutex> lock(PlugCreationLock());
  try {
    return CreateVst3Plugin();
  } catch (...) {
    // Nothing may unwind into the host: it gets no object, a failed creation.
    return nullptr;
  }
}

// The one class's identifier, from the product's manufacturer and unique
// codes: distinct for every product built on the framework.
Uid PlugClassId(const IPlugConfig& config) {
  return Uid::FromWords(0xF2AEE70D, 0x00DE4F4E, static_cast<uint32>(config.manufacturerId),
                        static_cast<uint32>(config.uniqueId));
}

PFactoryInfo MakeFactoryInfo(const IPlugConfig& config) {
  PFactoryInfo info{};
  CopyField(info.vendor, PFactoryInfo::kNameSize - 1, config.vendorName);
  CopyField(info.url, PFactoryInfo::kURLSize - 1, kVendorUrl);
  CopyField(info.email, PFactoryInfo::kEmailSize - 1, kVendorEmail);
  info.flags = kDefaultFactoryFlags;
  return info;
}

PClassInfo2 MakeClassInfo(const IPlugConfig& config) {
  PClassInfo2 info{};
  const Uid cid = PlugClassId(config);
  std::memcpy(info.cid, cid.data, sizeof(TUID));
  info.cardinality = PClassInfo::kManyInstances;
  CopyField(info.category, PClassInfo::kCategorySize, kVstAudioEffectClass);
  CopyField(info.name, PClassInfo::kNameSize, config.effectName);
  // Component and controller are one object: simple mode, never distributable.
  info.classFlags = kSimpleModeSupported;
  CopyField(info.subCategories, PClassInfo2::kSubCategoriesSize, PlugType::kFxEQ);
  // Empty: the factory's vendor applies.
  CopyField(info.vendor, PClassInfo2::kVendorSize, "");
  char version[PClassInfo2::kVersionSize];
  std::snprintf(version, sizeof(version), "%d.%d.%d", (config.version >> 16) & 0xFFFF,
                (config.version >> 8) & 0xFF, config.version & 0xFF);
  CopyField(info.version, PClassInfo2::kVersionSize, version);
  CopyField(info.sdkVersion, PClassInfo2::kVersionSize, kVstVersionString);
  return info;
}

CPluginFactory* BuildFactory() {
  static const PFactoryInfo factoryInfo = MakeFactoryInfo(Vst3PluginConfig());
  static const PClassInfo2 classInfo = MakeClassInfo(Vst3PluginConfig());
  auto* factory = new (std::nothrow) CPluginFactory(factoryInfo);
  if (factory && !factory->registerClass(&classInfo, &CreatePlugInstance)) {
    // Not handed out yet, and release would wait for the lock Acquire holds.
    delete factory;
    return nullptr;
  }
  return factory;
}
}  // namespace

void* Vst3ModuleHandle() { return gModuleHandle; }
const std::u16string& Vst3ModuleFolder() { return ModuleFolder(); }
void* ModuleInstanceHandle() { return gModuleInstanceHandle.load(); }

// Any thread (hosts use one); one live factory, rebuilt after its last release.
ZAVRO_VST3_ENTRY IPluginFactory* PLUGIN_API GetPluginFactory() {
  return CPluginFactory::Acquire(&BuildFactory);
}

#if defined(_WIN32)
// Host's loading thread. Keeps no count: hosts may pair them any number of times.
ZAVRO_VST3_ENTRY bool InitDll() {
  gModuleInstanceHandle = gModuleHandle;
  return true;
}
ZAVRO_VST3_ENTRY bool ExitDll() { return true; }

// Under the loader lock: only the handle and the folder are recorded.
extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
  if (reason != DLL_PROCESS_ATTACH) return TRUE;
  gModuleHandle = module;
  gModuleInstanceHandle = module;
  DisableThreadLibraryCalls(module);
  wchar_t path[MAX_PATH + 1] = {};
  const DWORD length = GetModuleFileNameW(module, path, MAX_PATH);
  if (length > 0 && length < MAX_PATH) {
    std::u16string folder(reinterpret_cast<const char16_t*>(path), length);
    const size_t slash = folder.find_last_of(u'\\');
    // No backslash: the folder stays as obtained.
    if (slash != std::u16string::npos) folder.resize(slash + 1);
    ModuleFolder() = folder;
  }
  return TRUE;
}
#else
namespace {
int gModuleEntryCount = 0;
std::mutex& ModuleEntryLock() {
  static std::mutex lock;
  return lock;
}
}  // namespace

// Host's loading thread. Counted: only the first call initialises and only
// the last matching exit clears; an unbalanced exit changes nothing.
ZAVRO_VST3_ENTRY bool ModuleEntry(void*) {
  std::lock_guard<std::mutex> lock(ModuleEntryLock());
  if (gModuleEntryCount++ == 0) gModuleInstanceHandle = gModuleHandle;
  return true;
}
ZAVRO_VST3_ENTRY bool ModuleExit() {
  std::lock_guard<std::mutex> lock(ModuleEntryLock());
  if (gModuleEntryCount > 0 && --gModuleEntryCount == 0) gModuleInstanceHandle = nullptr;
  return true;
}

// Runs at load: the handle is the object's base address, as on Windows.
__attribute__((constructor)) static void RecordModule() {
  IModuleLocation here;
  if (!LocateModule(reinterpret_cast<const void*>(&RecordModule), &here)) return;
  gModuleHandle = here.base;
  gModuleInstanceHandle = here.base;
  const std::string& path = here.path;
  const size_t slash = path.find_last_of('/');
  const std::string folder = slash == std::string::npos ? path : path.substr(0, slash + 1);
  ModuleFolder().assign(folder.begin(), folder.end());
}
#endif
