#include "vst3/sdk/Bus.h"

#include "vst3/sdk/String128.h"
#include "vst3/sdk/Vst3String.h"

namespace vst3 {

Bus::Bus(const TChar* name, BusType busType, int32 flags) : name_{}, busType_(busType), flags_(flags) {
  CopyString128(name_, name);
}

bool Bus::getInfo(BusInfo& info) {
  CopyString128(info.name, name_);
  info.busType = busType_;
  info.flags = static_cast<uint32>(flags_);
  return true;
}

AudioBus::AudioBus(const TChar* name, BusType busType, int32 flags, SpeakerArrangement arrangement)
    : Bus(name, busType, flags), arrangement_(arrangement) {}

bool AudioBus::getInfo(BusInfo& info) {
  info.channelCount = SpeakerArr::getChannelCount(arrangement_);
  return Bus::getInfo(info);
}

Bus* BusList::at(int32 index) const {
  if (index < 0 || static_cast<size_t>(index) >= buses_.size()) return nullptr;
  return buses_[static_cast<size_t>(index)];
}

void BusList::append(Bus* bus) {
  if (bus) buses_.push_back(bus);
}

void BusList::clear() {
  while (!buses_.empty()) {
    buses_.back()->release();
    buses_.pop_back();
  }
}

}  // namespace vst3
