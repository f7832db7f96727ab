#pragma once
// The seam between the module's factory and the product: what the factory
// announces about the one class, and how it builds one plug-in object.

#include "framework/IPlugBase.h"
#include "vst3/interface/Vst3Base.h"

// The product's identity (names, version, codes) for the class information.
// Any thread; fixed for the life of the module.
const IPlugConfig& Vst3PluginConfig();

// A new plug-in object carrying one reference, which the caller owns; its
// audio-processor interface, or null when nothing could be built. Must not throw.
// Any thread, under PlugCreationLock.
vst3::FUnknown* CreateVst3Plugin();
