#pragma once
// Loads a built VST 2.4 module the way a host does and finds its entry points.

#include <string>

#include "vst2/Vst2Interface.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

using Vst2Entry = AEffect* (*)(audioMasterCallback);

class Vst2Module {
public:
  explicit Vst2Module(const std::string& path) {
#if defined(_WIN32)
    handle_ = LoadLibraryA(WindowsPath(path).c_str());
#else
    handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle_) error_ = dlerror();
#endif
  }
  ~Vst2Module() {
#if defined(_WIN32)
    if (handle_) FreeLibrary(static_cast<HMODULE>(handle_));
#else
    if (handle_) dlclose(handle_);
#endif
  }
  Vst2Module(const Vst2Module&) = delete;
  Vst2Module& operator=(const Vst2Module&) = delete;

  bool Loaded() const { return handle_ != nullptr; }
  const std::string& Error() const { return error_; }

  Vst2Entry Find(const char* name) const {
    if (!handle_) return nullptr;
#if defined(_WIN32)
    return reinterpret_cast<Vst2Entry>(
        reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle_), name)));
#else
    return reinterpret_cast<Vst2Entry>(dlsym(handle_, name));
#endif
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
  std::string error_;
};
