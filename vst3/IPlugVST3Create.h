#pragma once
// The seam between the module's factory and the product: the factory calls this
// to build one plug-in object, under the module's creation lock.

#include "vst3/interface/Vst3Base.h"

// A new plug-in object carrying one reference, which the caller owns; its
// audio-processor interface, or null when nothing could be built. Must not throw.
// Any thread, under PlugCreationLock.
vst3::FUnknown* CreateVst3Plugin();
