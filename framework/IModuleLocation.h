#pragma once
// Where a loaded Linux module lies: the address its file is mapped at and the
// path it was loaded from. Plug-in modules record this for themselves at load;
// it asks only what the oldest C library we support (glibc 2.31) answers.

#include <string>

struct IModuleLocation {
  void* base = nullptr;  // where the module's first byte is mapped
  std::string path;      // as the loader was given it; empty for the executable
};

// Any thread. The loaded object whose segments contain address; false when none does.
bool LocateModule(const void* address, IModuleLocation* location);
