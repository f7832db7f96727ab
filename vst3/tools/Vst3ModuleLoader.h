#pragma once
// Loads a built VST 3 module the way a host does: the library, its entry
// call (InitDll on Windows, ModuleEntry on Linux), and the factory. The
// factory reference and the library are given back in the reverse order.

#include <string>

#include "vst3/interface/Vst3Interface.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

class Vst3ModuleLoader {
public:
  using EntryProc = bool (*)(void*);
  using PlainProc = bool (*)();

  explicit Vst3ModuleLoader(const std::string& path) {
#if defined(_WIN32)
    handle_ = LoadLibraryA(WindowsPath(path).c_str());
    if (!handle_) error_ = "LoadLibrary failed: " + std::to_string(GetLastError());
#else
    handle_ = dlopen(path.c_str(), RTLD_LAZY | RTLD_LOCAL);
    if (!handle_) error_ = dlerror();
#endif
  }
  ~Vst3ModuleLoader() { Unload(); }
  Vst3ModuleLoader(const Vst3ModuleLoader&) = delete;
  Vst3ModuleLoader& operator=(const Vst3ModuleLoader&) = delete;

  bool Loaded() const { return handle_ != nullptr; }
  const std::string& Error() const { return error_; }

  void* Find(const char* name) const {
    if (!handle_) return nullptr;
#if defined(_WIN32)
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle_), name));
#else
    return dlsym(handle_, name);
#endif
  }

  // The platform's entry call, then the factory; null when either fails.
  vst3::IPluginFactory* Enter() {
#if defined(_WIN32)
    auto init = reinterpret_cast<PlainProc>(Find("InitDll"));
    if (init && !init()) return nullptr;
#else
    auto entry = reinterpret_cast<EntryProc>(Find("ModuleEntry"));
    if (!entry || !entry(handle_)) return nullptr;
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
    if (!handle_) return;
#if defined(_WIN32)
    FreeLibrary(static_cast<HMODULE>(handle_));
#else
    dlclose(handle_);
#endif
    handle_ = nullptr;
  }

private:
#if defined(_WIN32)
  // The build hands over a path of the machine running Wine; Wine sees it on Z:.
  static std::string WindowsPath(std::string path) {
    if (!path.empty() && path[0] == '/') path = "Z:" + path;
    for (char& c : path) {
      if (c == '/') c = '\\';
    }
    return path;
  }
#endif

  void* handle_ = nullptr;
  bool entered_ = false;
  std::string error_;
};
