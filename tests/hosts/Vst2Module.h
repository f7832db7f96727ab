#pragma once
// Loads a built VST 2.4 module the way a host does and finds its entry points.

#include <string>

#include "framework/IModuleLibrary.h"
#include "vst2/Vst2Interface.h"

using Vst2Entry = AEffect* (*)(audioMasterCallback);

class Vst2Module {
public:
  explicit Vst2Module(const std::string& path) : library_(path) {}

  bool Loaded() const { return library_.Loaded(); }
  const std::string& Error() const { return library_.Error(); }
  Vst2Entry Find(const char* name) const { return reinterpret_cast<Vst2Entry>(library_.Find(name)); }

private:
  IModuleLibrary library_;
};
