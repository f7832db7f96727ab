#pragma once
// A built plug-in module loaded by its path the way a host loads one, its
// exported symbols looked up by name, and the library freed at the end. The
// test hosts and the build's module tools share it; each plug-in format adds
// its own entry calls on top.

#include <string>

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

class IModuleLibrary {
public:
  // The caller's thread. Loads at once; Loaded and Error tell how it went.
  explicit IModuleLibrary(const std::string& path) {
#if defined(_WIN32)
    handle_ = LoadLibraryA(WindowsPath(path).c_str());
    if (!handle_) error_ = "LoadLibrary failed: " + std::to_string(GetLastError());
#else
    // Every symbol bound now: a module that cannot resolve one fails here, not
    // in the middle of a call.
    handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle_) error_ = dlerror();
#endif
  }
  ~IModuleLibrary() { Unload(); }
  IModuleLibrary(const IModuleLibrary&) = delete;
  IModuleLibrary& operator=(const IModuleLibrary&) = delete;

  bool Loaded() const { return handle_ != nullptr; }
  const std::string& Error() const { return error_; }
  void* Handle() const { return handle_; }

  // The exported symbol, or null (also once unloaded).
  void* Find(const char* name) const {
    if (!handle_) return nullptr;
#if defined(_WIN32)
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle_), name));
#else
    return dlsym(handle_, name);
#endif
  }

  // Frees the library; nothing found in it may be used afterwards.
  void Unload() {
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
  std::string error_;
};
