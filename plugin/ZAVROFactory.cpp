// The equaliser as each binding's entry point creates it, and the editor each
// binding shows its panel in.
#include "plugin/ZAVRO.h"
#include "plugin/ZAVROPanel.h"

#if defined(ZAVRO_WINDOW_EDITOR)
#include "graphics/win/IGraphicsWin.h"
#endif

#if defined(ZAVRO_BINDING_VST2)
IPlugVST* CreateVst2Plugin(const IPlugInstanceInfo& instanceInfo) {
  return new ZAVRO(instanceInfo);
}
#elif defined(ZAVRO_BINDING_VST3)
#include "vst3/IPlugVST3Create.h"
#include "vst3/IPlugVST3Module.h"

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

#if defined(ZAVRO_WINDOW_EDITOR)
// The Windows modules: a Win32 child window, its images the module's own resources.
IGraphics* CreatePanelEditor(IPlugBase* plug, const IPlugInstanceInfo&, int width, int height, int frameRate) {
#if defined(ZAVRO_BINDING_VST2)
  void* module = Vst2ModuleHandle();
#else
  void* module = ModuleInstanceHandle();
#endif
  return new IGraphicsWin(plug, width, height, frameRate, module);
}
#else
// The editor's window exists only in the Windows modules. Without an editor the
// Linux modules announce none (no editor flag or edit rectangle, no VST 3
// view), so Linux hosts show their own parameter view. Programs that build the
// product on a binding without being a module (suites, fuzzers, benchmarks)
// have no window class or resources to give an editor either.
IGraphics* CreatePanelEditor(IPlugBase*, const IPlugInstanceInfo&, int, int, int) { return nullptr; }
#endif
