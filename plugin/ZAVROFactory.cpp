// The equaliser as each binding's entry point creates it.
#include "plugin/ZAVRO.h"

#if defined(ZAVRO_BINDING_VST2)
IPlugVST* CreateVst2Plugin(const IPlugInstanceInfo& instanceInfo) {
  return new ZAVRO(instanceInfo);
}
#elif defined(ZAVRO_BINDING_VST3)
#include "vst3/IPlugVST3Create.h"

const IPlugConfig& Vst3PluginConfig() { return ZAVRO::Config(); }

vst3::FUnknown* CreateVst3Plugin() {
  // Nothing may leave towards the host's factory call, not even a failed allocation.
  try {
    return static_cast<vst3::IAudioProcessor*>(new ZAVRO(IPlugInstanceInfo{}));
  } catch (...) {
    return nullptr;
  }
}
#endif
