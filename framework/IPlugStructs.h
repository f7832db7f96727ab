#pragma once
// Records that pass between the product and a host binding.

#include <cstdint>
#include <string>
#include <vector>

// Which binding owns an instance.
enum class PluginApi : int32_t {
  Vst2 = 0,
  Vst3 = 1,
};

// One legal (inputs, outputs) combination of the channel-I/O text.
struct IChannelPair {
  int32_t inputs = 0;
  int32_t outputs = 0;
};

struct IInputChannel {
  bool connected = false;
  double** dataSlot = nullptr;  // this channel's entry of the input data array
  std::vector<double> scratch;  // one block long; feeds zeros when disconnected
  std::string label;
};

struct IOutputChannel {
  bool connected = false;
  double** dataSlot = nullptr;  // this channel's entry of the output data array
  float* floatDestination = nullptr;  // host float buffer of the current block
  std::vector<double> scratch;
  std::string label;
};

// What the host reports of its transport. Queries overwrite only the fields the
// host reports; the caller initialises the record.
struct ITransportInfo {
  double tempo = 0.0;            // beats per minute
  double samplePosition = 0.0;
  double ppqPosition = 0.0;      // quarter notes
  double lastBarPosition = 0.0;  // start of the last bar, quarter notes
  double cycleStart = 0.0;
  double cycleEnd = 0.0;
  int32_t numerator = 0;
  int32_t denominator = 0;
  bool transportRunning = false;
  bool cycleActive = false;
};

struct IMidiMessage {
  int32_t offset = 0;  // sample offset in the block
  uint8_t status = 0;
  uint8_t data1 = 0;
  uint8_t data2 = 0;
};

struct ISysExMessage {
  int32_t offset = 0;
  int32_t size = 0;
  const uint8_t* data = nullptr;
};
