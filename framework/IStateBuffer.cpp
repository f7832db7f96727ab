#include "framework/IStateBuffer.h"

#include <climits>
#include <cstring>

// The byte order is that of the x86-64 machines that write and read the state.
static_assert(sizeof(double) == 8, "state format needs IEEE-754 doubles");

bool IStateBuffer::AppendBytes(const void* data, int count) {
  if (count < 0 || (count > 0 && !data)) return false;
  const auto* p = static_cast<const uint8_t*>(data);
  bytes_.insert(bytes_.end(), p, p + count);
  return true;
}

bool IStateBuffer::AppendInt(int32_t value) { return AppendBytes(&value, 4); }
bool IStateBuffer::AppendDouble(double value) { return AppendBytes(&value, 8); }

bool IStateBuffer::AppendBool(bool value) {
  const uint8_t byte = value ? 1 : 0;
  return AppendBytes(&byte, 1);
}

bool IStateBuffer::AppendText(const std::string& text) {
  if (text.size() > static_cast<size_t>(INT32_MAX - 4)) return false;
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
  const int64_t end = static_cast<int64_t>(start) + length;
  if (end <= Size() && text) {
    if (length < 1) {
      text->clear();
    } else {
      const char* p = reinterpret_cast<const char*>(bytes_.data() + start);
      text->assign(p, strnlen(p, static_cast<size_t>(length)));
    }
  }
  // A position beyond what an int holds still lies beyond the data.
  if (end > INT_MAX) return INT_MAX;
  return static_cast<int>(end);
}

void IStateBuffer::Resize(int size) { bytes_.resize(size > 0 ? static_cast<size_t>(size) : 0, 0); }

bool WriteStateHeader(IStateBuffer& state) {
  return state.AppendInt(kStateMagic) && state.AppendInt(kStateVersion);
}

int ReadStateHeader(const IStateBuffer& state, int32_t* version) {
  int32_t magic = 0;
  int32_t v = 0;
  int start = 0;
  if (state.ReadInt(&magic, 0) > 0 && magic == kStateMagic) {
    start = state.ReadInt(&v, 4);
    if (start < 0) v = 0;
  }
  if (version) *version = v;
  return start;
}
