#pragma once
// Loads a built VST 3 module the way a host does: the library, its entry
// call (InitDll on Windows, ModuleEntry on Linux), and the factory. The
// factory reference and the library are given back in the reverse order.

#include <string>

#include "framework/IModuleLibrary.h"
#include "vst3/interface/Vst3Interface.h"

class Vst3ModuleLoader {
public:
  using EntryProc = bool (*)(void*);
  using PlainProc = bool (*)();

  explicit Vst3ModuleLoader(const std::string& path) : library_(path) {}
  // The exit call comes before the library goes.
  ~Vst3ModuleLoader() { Exit(); }
  Vst3ModuleLoader(const Vst3ModuleLoader&) = delete;
  Vst3ModuleLoader& operator=(const Vst3ModuleLoader&) = delete;

  bool Loaded() const { return library_.Loaded(); }
  const std::string& Error() const { return library_.Error(); }
  void* Find(const char* name) const { return library_.Find(name); }

  // The platform's entry call, then the factory; null when either fails.
  vst3::IPluginFactory* Enter() {
#if defined(_WIN32)
    auto init = reinterpret_cast<PlainProc>(Find("InitDll"));
    if (init && !init()) return nullptr;
#else
    auto entry = reinterpret_cast<EntryProc>(Find("ModuleEntry"));
    if (!entry || !entry(library_.Handle())) return nullptr;
#endif
    entered_ = true;
    auto get = reinterpret_cast<vst3::GetFactoryProc>(Find("GetPluginFactory"));
    return get ? get() : nullptr;
  }

  // The platform's exit call, after the caller released the factory.
  bool Exit() {
    if (!entered_) return true;
    entered_ = false;
#if defined(_WIN32)
    auto exitProc = reinterpret_cast<PlainProc>(Find("ExitDll"));
#else
    auto exitProc = reinterpret_cast<PlainProc>(Find("ModuleExit"));
#endif
    return exitProc ? exitProc() : true;
  }

  void Unload() {
    Exit();
    library_.Unload();
  }

private:
  IModuleLibrary library_;
  bool entered_ = false;
};
