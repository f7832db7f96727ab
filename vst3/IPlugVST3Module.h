#pragma once
// What the VST 3 module knows about itself: its handle and folder, recorded
// when it is loaded.

#include <string>

// The module's handle (its load address on Linux) and the folder of its file
// with the trailing separator. Any thread; fixed once the module is loaded.
void* Vst3ModuleHandle();
const std::u16string& Vst3ModuleFolder();

// The handle the editor loads its images from. Recorded at load and again by
// InitDll / the first ModuleEntry, so it is valid even for hosts that call
// neither. Any thread.
void* ModuleInstanceHandle();
