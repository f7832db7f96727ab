#include "vst3/sdk/ComponentBase.h"

namespace vst3 {

ComponentBase::~ComponentBase() { terminate(); }

tresult PLUGIN_API ComponentBase::initialize(FUnknown* context) {
  if (initialized_) return kResultFalse;
  initialized_ = true;
  hostContext_ = context;
  if (hostContext_) hostContext_->addRef();
  return kResultOk;
}

tresult PLUGIN_API ComponentBase::terminate() {
  initialized_ = false;
  if (hostContext_) {
    hostContext_->release();
    hostContext_ = nullptr;
  }
  if (peerConnection_) {
    peerConnection_->disconnect(this);
    peerConnection_->release();
    peerConnection_ = nullptr;
  }
  return kResultOk;
}

tresult PLUGIN_API ComponentBase::connect(IConnectionPoint* other) {
  if (!other) return kInvalidArgument;
  if (peerConnection_) return kResultFalse;
  peerConnection_ = other;
  peerConnection_->addRef();
  return kResultOk;
}

tresult PLUGIN_API ComponentBase::disconnect(IConnectionPoint* other) {
  if (!peerConnection_ || other != peerConnection_) return kResultFalse;
  peerConnection_->release();
  peerConnection_ = nullptr;
  return kResultOk;
}

tresult PLUGIN_API ComponentBase::notify(IMessage* message) {
  return message ? kResultFalse : kInvalidArgument;
}

tresult PLUGIN_API ComponentBase::queryInterface(const TUID _iid, void** obj) {
  if (!obj) return kInvalidArgument;
  if (QueryAs<IPluginBase>(this, _iid, obj)) return kResultOk;
  if (QueryAs<IConnectionPoint>(this, _iid, obj)) return kResultOk;
  return FObject::queryInterface(_iid, obj);
}

}  // namespace vst3
