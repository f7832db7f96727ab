#pragma once
// A growable byte block for plug-in state: little-endian appends and reads that
// check the bounds first and answer the next position, or -1 when the data runs out.

#include <cstdint>
#include <string>
#include <vector>

class IStateBuffer {
public:
  void Clear() { bytes_.clear(); }
  int Size() const { return static_cast<int>(bytes_.size()); }
  const uint8_t* Data() const { return bytes_.data(); }
  uint8_t* Data() { return bytes_.data(); }

  bool AppendInt(int32_t value);
  bool AppendDouble(double value);
  bool AppendBool(bool value);
  // A 32-bit length, then the characters; no terminator.
  bool AppendText(const std::string& text);
  bool AppendBuffer(const IStateBuffer& other);
  bool AppendBytes(const void* data, int count);

  int ReadInt(int32_t* value, int position) const;
  int ReadDouble(double* value, int position) const;
  int ReadBool(bool* value, int position) const;
  // The length field decides the next position even when it points beyond the end;
  // the text is only read when it lies within the data.
  int ReadText(std::string* text, int position) const;

  // New bytes are zero.
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
