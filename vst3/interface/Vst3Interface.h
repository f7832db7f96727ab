#pragma once
// The whole VST 3 host interface as the binding uses it, plus the texts and
// flags a module's class information carries.

#include "vst3/interface/Vst3Base.h"
#include "vst3/interface/Vst3Controller.h"
#include "vst3/interface/Vst3Processing.h"
#include "vst3/interface/Vst3View.h"

namespace vst3 {

// Class categories; only "Audio Module Class" is tested by hosts as an effect.
constexpr const char8* kVstAudioEffectClass = "Audio Module Class";
constexpr const char8* kVstComponentControllerClass = "Component Controller Class";

// Sub-category texts, joined with '|'.
namespace PlugType {
constexpr const char8* kFx = "Fx";
constexpr const char8* kFxEQ = "Fx|EQ";
constexpr const char8* kFxFilter = "Fx|Filter";
constexpr const char8* kMono = "Mono";
constexpr const char8* kStereo = "Stereo";
}  // namespace PlugType

enum ComponentFlags : uint32 { kDistributable = 1 << 0, kSimpleModeSupported = 1 << 1 };
constexpr int32 kDefaultFactoryFlags = PFactoryInfo::kUnicode;

// The interface version the module declares itself built for.
constexpr int32 kVstVersionMajor = 3;
constexpr int32 kVstVersionMinor = 6;
constexpr int32 kVstVersionSub = 12;
constexpr const char8* kVstVersionString = "VST 3.6.12";

}  // namespace vst3
