#include "framework/IStateBuffer.h"

#include <climits>
#include <cstring>
#include <functional>

// The byte order is that of the x86-64 machines that write and read the state.
static_assert(sizeof(double) == 8, "state format needs IEEE-754 doubles");

bool IStateBuffer::AppendBytes(const void* data, int count) {
  if (count < 0 || (count > 0 && !data)) return false;
  if (static_cast<int64_t>(bytes_.size()) + count > INT_MAX) return false;
  const auto* p = static_cast<const uint8_t*>(data);
  const std::less_equal<const uint8_t*> notAfter;
  if (count > 0 && !bytes_.empty() && notAfter(bytes_.data(), p) &&
      !notAfter(bytes_.data() + bytes_.size(), p)) {
    // Appending a block to itself: growing would move the source.
    const std::vector<uint8_t> copy(p, p + count);
    bytes_.insert(bytes_.end(), copy.begin(), copy.end());
  } else {
    bytes_.insert(bytes_.end(), p, p + count);
  }
  return true;
}

bool IStateBuffer::AppendInt(int32_t value) { return AppendBytes(&value, 4); }
bool IStateBuffer::AppendDouble(double value) { return AppendBytes(&value, 8); }

bool IStateBuffer::AppendBool(bool value) {
  const uint8_t byte = value ? 1 : 0;
  return AppendBytes(&byte, 1);
}

bool IStateBuffer::AppendText(const std::string& text) {
  // Length and characters go in together or not at all.
  if (static_cast<int64_t>(bytes_.size()) + 4 + static_cast<int64_t>(text.size()) > INT_MAX) {
    return false;
  }
  return AppendInt(static_cast<int32_t>(text.size())) &&
         AppendBytes(text.data(), static_cast<int>(text.size()));
}

bool IStateBuffer::AppendBuffer(const IStateBuffer& other) {
  return AppendBytes(other.Data(), other.Size());
}

int IStateBuffer::ReadRaw(void* out, int width, int position) const {
  // Computed in 64 bits: position + width must not wrap.
  if (position < 0 || static_cast<int64_t>(position) + width > Size()) return -1;
  std::memcpy(out, bytes_.data() + position, static_cast<size_t>(width));
  return position + width;
}

int IStateBuffer::ReadInt(int32_t* value, int position) const {
  int32_t v;
  const int next = ReadRaw(&v, 4, position);
  if (next >= 0 && value) *value = v;
  return next;
}

int IStateBuffer::ReadDouble(double* value, int position) const {
  double v;
  const int next = ReadRaw(&v, 8, position);
  if (next >= 0 && value) *value = v;
  return next;
}

int IStateBuffer::ReadBool(bool* value, int position) const {
  uint8_t v;
  const int next = ReadRaw(&v, 1, position);
  if (next >= 0 && value) *value = v != 0;
  return next;
}

int IStateBuffer::ReadText(std::string* text, int position) const {
  int32_t length = 0;
  const int start = ReadInt(&length, position);
  if (start < 0) return -1;
  // start is at least 4, so the end stays above INT_MIN; above INT_MAX it cannot be.
  const int64_t end = static_cast<int64_t>(start) + length;
  if (end <= Size() && text) {
    if (length < 1) {
      text->clear();
    } else {
      const char* p = reinterpret_cast<const char*>(bytes_.data() + start);
      const void* zero = std::memchr(p, 0, static_cast<size_t>(length));
      text->assign(p, zero ? static_cast<size_t>(static_cast<const char*>(zero) - p)
                           : static_cast<size_t>(length));
    }
  }
  if (end > INT_MAX) return INT_MAX;
  return static_cast<int>(end);
}

void IStateBuffer::Resize(int size) { bytes_.resize(size > 0 ? static_cast<size_t>(size) : 0, 0); }

void IPresetSlot::SetName(const char* newName) {
  if (!newName) {
    name.clear();
    return;
  }
  size_t n = 0;
  while (n < kMaxNameLength && newName[n] != '\0') ++n;
  name.assign(newName, n);
}

bool WriteStateHeader(IStateBuffer& state) {
  return state.AppendInt(kStateMagic) && state.AppendInt(kStateVersion);
}

int ReadStateHeader(const IStateBuffer& state, int32_t* version) {
  int32_t magic = 0;
  int32_t v = 0;
  int start = 0;
  if (state.ReadInt(&magic, 0) > 0 && magic == kStateMagic) {
    // The magic without a whole version is a header cut short: nothing loads.
    start = state.ReadInt(&v, 4);
    if (start < 0) v = 0;
  }
  if (version) *version = v;
  return start;
}
