#pragma once
// What the VST 3 module knows about itself: its handle and folder, recorded
// when it is loaded, and the factory's class information.

#include <string>

#include "framework/IPlugBase.h"
#include "vst3/interface/Vst3Interface.h"

// The module's handle (its load address on Linux) and the folder of its file
// with the trailing separator. Any thread; fixed once the module is loaded.
void* Vst3ModuleHandle();
const std::u16string& Vst3ModuleFolder();

// The handle the editor loads its images from. Recorded at load and again by
// InitDll / the first ModuleEntry, so it is valid even for hosts that call
// neither. Any thread.
void* ModuleInstanceHandle();

// The one class's identifier, from the product's manufacturer and unique
// codes; distinct for every product built on the framework.
vst3::Uid PlugClassId(const IPlugConfig& config);

// The records the factory answers with, built from the product's identity.
vst3::PFactoryInfo MakeFactoryInfo(const IPlugConfig& config);
vst3::PClassInfo2 MakeClassInfo(const IPlugConfig& config);
