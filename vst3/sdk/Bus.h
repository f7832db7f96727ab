#pragma once
// The component's buses: a name, a bus type, flags and an active flag; an audio
// bus adds its speaker arrangement. A bus list owns one reference of each bus.
//
// UI thread, while processing is off; the binding's process reads the lists and
// flags under the instance lock, which it also holds wherever it changes them.

#include <vector>

#include "vst3/interface/Vst3Processing.h"
#include "vst3/sdk/FObject.h"

namespace vst3 {

class Bus : public FObject {
public:
  // Starts inactive whatever its flags say: only the host activates a bus.
  Bus(const TChar* name, BusType busType, int32 flags);

  bool isActive() const { return active_; }
  void setActive(bool state) { active_ = state; }
  // Name (at most 127 characters), bus type and flags; media type and direction
  // are the list's to fill.
  virtual bool getInfo(BusInfo& info);

  VST3_OBJECT_TYPE_NAMED("Vst::Bus", FObject)

protected:
  String128 name_;
  BusType busType_;
  int32 flags_;
  bool active_ = false;
};

class AudioBus : public Bus {
public:
  AudioBus(const TChar* name, BusType busType, int32 flags, SpeakerArrangement arrangement);

  SpeakerArrangement getArrangement() const { return arrangement_; }
  void setArrangement(SpeakerArrangement arrangement) { arrangement_ = arrangement; }
  // Also the channel count: one channel per speaker of the arrangement.
  bool getInfo(BusInfo& info) override;

  VST3_OBJECT_TYPE_NAMED("Vst::AudioBus", Bus)

private:
  SpeakerArrangement arrangement_;
};

class BusList {
public:
  BusList(MediaType type, BusDirection direction) : type_(type), direction_(direction) {}
  BusList(const BusList&) = delete;
  BusList& operator=(const BusList&) = delete;
  ~BusList() { clear(); }

  MediaType getType() const { return type_; }
  BusDirection getDirection() const { return direction_; }
  int32 size() const { return static_cast<int32>(buses_.size()); }
  // Null for an index outside the list.
  Bus* at(int32 index) const;
  // Takes over the caller's reference.
  void append(Bus* bus);
  // Releases every bus, last first.
  void clear();

private:
  MediaType type_;
  BusDirection direction_;
  std::vector<Bus*> buses_;
};

}  // namespace vst3
