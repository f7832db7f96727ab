#pragma once
// The product is compiled once per host binding; this alias names the binding
// class it derives from, chosen by the build target.

#if defined(ZAVRO_BINDING_VST2)
#include "vst2/IPlugVST.h"
using ZAVROBase = IPlugVST;
#elif defined(ZAVRO_BINDING_VST3)
#include "vst3/IPlugVST3.h"
using ZAVROBase = IPlugVST3;
#elif defined(ZAVRO_BINDING_HEADER) && defined(ZAVRO_BINDING_CLASS)
// Any other binding (the unit tests' recording one) is named by its build target.
#include ZAVRO_BINDING_HEADER
using ZAVROBase = ZAVRO_BINDING_CLASS;
#else
#error "define ZAVRO_BINDING_VST2, ZAVRO_BINDING_VST3, or ZAVRO_BINDING_HEADER and ZAVRO_BINDING_CLASS"
#endif
