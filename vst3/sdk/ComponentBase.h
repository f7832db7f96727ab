#pragma once
// The base of every plug-in side object: the host context it was initialised
// with and the peer it may be connected to.

#include "vst3/interface/Vst3Controller.h"
#include "vst3/sdk/FObject.h"

namespace vst3 {

class ComponentBase : public FObject, public IPluginBase, public IConnectionPoint {
public:
  ComponentBase() = default;
  ~ComponentBase() override;

  // UI thread. Keeps the context with a reference; false when already
  // initialised, also by a host that gave no context.
  tresult PLUGIN_API initialize(FUnknown* context) override;
  // UI thread. Releases the context and the peer; always OK.
  tresult PLUGIN_API terminate() override;
  // UI thread.
  tresult PLUGIN_API connect(IConnectionPoint* other) override;
  tresult PLUGIN_API disconnect(IConnectionPoint* other) override;
  // UI thread. No message is understood.
  tresult PLUGIN_API notify(IMessage* message) override;

  FUnknown* getHostContext() const { return hostContext_; }

  // Any thread.
  tresult PLUGIN_API queryInterface(const TUID _iid, void** obj) override;
  VST3_REFCOUNT_METHODS(FObject)
  VST3_OBJECT_TYPE(ComponentBase, FObject)

protected:
  FUnknown* hostContext_ = nullptr;
  IConnectionPoint* peerConnection_ = nullptr;
  bool initialized_ = false;
};

}  // namespace vst3
