#pragma once
// Test signals, the buffers a host hands them in, and bit comparisons shared
// by the suites.

#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

// Deterministic noise, uniform in -level .. level; the same seed gives the same samples.
template <typename Sample = double>
std::vector<Sample> Noise(int n, uint32_t seed, double level = 1.0) {
  std::vector<Sample> v(static_cast<size_t>(n));
  for (Sample& s : v) {
    seed = seed * 1664525u + 1013904223u;
    s = static_cast<Sample>(level * (static_cast<double>(seed >> 8) / 8388608.0 - 1.0));
  }
  return v;
}

// Channels of samples and the pointer array a host hands over.
template <typename Sample>
class ChannelBuffers {
public:
  ChannelBuffers(int channels, int frames, Sample fill = 0)
      : ChannelBuffers(std::vector<std::vector<Sample>>(static_cast<size_t>(channels),
                                                         std::vector<Sample>(static_cast<size_t>(frames), fill))) {}
  explicit ChannelBuffers(std::vector<std::vector<Sample>> channels)
      : channels_(std::move(channels)), ptrs_(channels_.size()) {}

  std::vector<Sample>& operator[](size_t c) { return channels_[c]; }
  const std::vector<Sample>& operator[](size_t c) const { return channels_[c]; }

  // Taken at each call, so it follows whatever the channels were given since.
  Sample** Ptrs() {
    for (size_t c = 0; c < channels_.size(); ++c) ptrs_[c] = channels_[c].data();
    return ptrs_.data();
  }

private:
  std::vector<std::vector<Sample>> channels_;
  std::vector<Sample*> ptrs_;
};

// A value's bits, so that comparisons tell -0 from +0 and see NaNs as equal.
inline uint64_t Bits(double v) {
  uint64_t b;
  std::memcpy(&b, &v, sizeof b);
  return b;
}
inline uint32_t Bits(float v) {
  uint32_t b;
  std::memcpy(&b, &v, sizeof b);
  return b;
}
