#pragma once
// A growable byte block for plug-in state: little-endian appends and reads that
// check the bounds first and answer the next position, or -1 when the data runs out.
//
// The block holds at most INT_MAX bytes, so every position fits an int. None of
// these operations locks: a buffer belongs to whoever holds it (a chunk of the
// binding, a preset slot under the instance lock).

#include <cstdint>
#include <string>
#include <vector>

class IStateBuffer {
public:
  void Clear() { bytes_.clear(); }
  int Size() const { return static_cast<int>(bytes_.size()); }
  const uint8_t* Data() const { return bytes_.data(); }
  uint8_t* Data() { return bytes_.data(); }

  // Appends answer false, and append nothing, when the block would outgrow INT_MAX bytes.
  bool AppendInt(int32_t value);
  bool AppendDouble(double value);
  bool AppendBool(bool value);
  // A 32-bit length, then the characters; no terminator.
  bool AppendText(const std::string& text);
  bool AppendBuffer(const IStateBuffer& other);
  bool AppendBytes(const void* data, int count);

  // A negative position, or one without width bytes after it, answers -1 and
  // leaves the output untouched. A null output still answers the position.
  int ReadInt(int32_t* value, int position) const;
  int ReadDouble(double* value, int position) const;
  int ReadBool(bool* value, int position) const;
  // The length field N decides the next position, position + 4 + N, even when that
  // lies beyond the end (the text is then left untouched and the next read fails)
  // or before the start (a negative N empties the text and moves back). A position
  // beyond what an int holds is answered as INT_MAX, which also lies beyond the end.
  int ReadText(std::string* text, int position) const;

  // New bytes are zero; a negative size empties the block.
  void Resize(int size);

private:
  int ReadRaw(void* out, int width, int position) const;

  std::vector<uint8_t> bytes_;
};

// One preset of the bank.
struct IPresetSlot {
  // Names longer than this are cut.
  static constexpr size_t kMaxNameLength = 255;

  bool initialised = false;
  std::string name = "empty";
  IStateBuffer state;

  void SetName(const std::string& newName) { name = newName.substr(0, kMaxNameLength); }
  // Reads at most kMaxNameLength characters of a host's text, terminated or not.
  void SetName(const char* newName);
};

// The header in front of every chunk handed to a VST 2.4 host: "tffp", then the
// framework's state version.
constexpr int32_t kStateMagic = 0x70666674;
constexpr int32_t kStateVersion = 0x10000;

bool WriteStateHeader(IStateBuffer& state);
// Answers where the block after the header starts: 8 after a whole header, 0 for
// a headerless block, -1 for a header cut short (nothing will load). The version
// is 0 unless the header holds one.
int ReadStateHeader(const IStateBuffer& state, int32_t* version);
