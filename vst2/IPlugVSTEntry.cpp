// The module's entry points: the host's VSTPluginMain (and the older main)
// creating one instance per call, and the load notification that records the
// module's handle.
#include <mutex>

#include "vst2/IPlugVST.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include "framework/IModuleLocation.h"
#endif

#if defined(_WIN32)
#define ZAVRO_ENTRY extern "C"
#else
#define ZAVRO_ENTRY extern "C" __attribute__((visibility("default")))
#endif

namespace {
void* gModuleHandle = nullptr;

// Serialises instance creation across the process; made on first use.
std::mutex& EntryLock() {
  static std::mutex lock;
  return lock;
}
}  // namespace

void* Vst2ModuleHandle() { return gModuleHandle; }

ZAVRO_ENTRY AEffect* VSTCALLBACK VSTPluginMain(audioMasterCallback hostCallback) {
  std::lock_guard<std::mutex> lock(EntryLock());
  IPlugVST* plug = nullptr;
  try {
    IPlugInstanceInfo info;
    info.hostCallback = hostCallback;
    plug = CreateVst2Plugin(info);
  } catch (...) {
    // Nothing may unwind into the host: no instance, the documented answer.
    plug = nullptr;
  }
  if (!plug) return nullptr;
  plug->FillDefaultPresets("Empty", plug->NPresets());
  AEffect* effect = plug->Effect();
  if (effect->numPrograms < 1) effect->numPrograms = 1;
  return effect;
}

#if defined(_WIN32)
// Only the handle is recorded: this runs under the loader lock.
extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    gModuleHandle = module;
    DisableThreadLibraryCalls(module);
  }
  return TRUE;
}
// "main" is exported as an alias of VSTPluginMain by the module definition file.
#else
// The older entry name. A C++ function cannot be called main, so it carries the
// name only as its symbol.
ZAVRO_ENTRY AEffect* VSTCALLBACK VstLegacyMain(audioMasterCallback hostCallback) __asm__("main");
AEffect* VSTCALLBACK VstLegacyMain(audioMasterCallback hostCallback) {
  return VSTPluginMain(hostCallback);
}

// Runs at load: the handle is the object's base address, as on Windows.
__attribute__((constructor)) static void RecordModuleHandle() {
  IModuleLocation here;
  if (LocateModule(reinterpret_cast<const void*>(&RecordModuleHandle), &here)) gModuleHandle = here.base;
}
#endif
