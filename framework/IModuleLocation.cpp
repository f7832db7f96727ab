// Linux plug-in modules only: linked into each module itself (not through a
// library), so that the definition below takes the place of the C library's.
#include "framework/IModuleLocation.h"

#include <link.h>

#include <cstdint>

// The C++ runtime is linked into the module and asks the C library whether the
// process has a single thread, through a variable only glibc 2.32 and later
// have. The module's own answer, "no", keeps every shared count atomic and the
// module loadable on older systems.
extern "C" {
__attribute__((visibility("hidden"))) char __libc_single_threaded = 0;
}

namespace {
struct Search {
  uintptr_t address;
  IModuleLocation* location;
  bool found;
};

int VisitObject(dl_phdr_info* info, size_t, void* data) {
  auto* search = static_cast<Search*>(data);
  const ElfW(Phdr)* start = nullptr;  // the segment mapping the file's first byte
  bool contains = false;
  for (int i = 0; i < info->dlpi_phnum; ++i) {
    const ElfW(Phdr)& segment = info->dlpi_phdr[i];
    if (segment.p_type != PT_LOAD) continue;
    if (segment.p_offset == 0) start = &segment;
    const uintptr_t begin = info->dlpi_addr + segment.p_vaddr;
    if (search->address >= begin && search->address - begin < segment.p_memsz) contains = true;
  }
  if (!contains || !start) return 0;
  search->location->base = reinterpret_cast<void*>(info->dlpi_addr + start->p_vaddr);
  search->location->path = info->dlpi_name ? info->dlpi_name : "";
  search->found = true;
  return 1;
}
}  // namespace

bool LocateModule(const void* address, IModuleLocation* location) {
  if (!location) return false;
  Search search{reinterpret_cast<uintptr_t>(address), location, false};
  dl_iterate_phdr(&VisitObject, &search);
  return search.found;
}
