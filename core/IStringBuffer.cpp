#include "core/IStringBuffer.h"

#include <cstdint>
#include <cstring>

namespace plugkit {

namespace {

// Offset of p inside [base, base + extent), or -1 when it lies outside.
int64_t OffsetInside(const void* p, const void* base, int32_t extent) {
  if (!p || !base || extent <= 0) return -1;
  const auto pp = reinterpret_cast<uintptr_t>(p);
  const auto bb = reinterpret_cast<uintptr_t>(base);
  if (pp < bb || pp >= bb + static_cast<uintptr_t>(extent)) return -1;
  return static_cast<int64_t>(pp - bb);
}

int32_t BoundedLength(const char* text, int32_t maxLen) {
  if (maxLen <= 0) {
    const size_t n = std::strlen(text);
    return n > static_cast<size_t>(INT32_MAX - 1) ? INT32_MAX - 1 : static_cast<int32_t>(n);
  }
  const void* nul = std::memchr(text, 0, static_cast<size_t>(maxLen));
  return nul ? static_cast<int32_t>(static_cast<const char*>(nul) - text) : maxLen;
}

} // namespace

bool IStringBuffer::Assign(const char* text, int32_t maxLen) {
  if (!text || !*text) {
    Clear();
    return true;
  }
  const int32_t len = BoundedLength(text, maxLen);
  if (len >= INT32_MAX) return false;
  const int64_t inside = OffsetInside(text, mBlock.Data(), mBlock.Capacity());
  mBlock.SetSize(len + 1, false);
  if (mBlock.Size() != len + 1) return false;
  char* data = mBlock.As<char>();
  const char* src = inside >= 0 ? data + inside : text;
  std::memmove(data, src, static_cast<size_t>(len));
  data[len] = 0;
  return true;
}

bool IStringBuffer::Splice(int32_t position, const char* text, int32_t length, int32_t tailLength) {
  const int32_t oldLen = Length();
  if (length == 0) {
    if (position == 0 && tailLength == 0) {
      Clear();
      return true;
    }
    return false;
  }
  if (length < 0 || position < 0 || position > oldLen || !text) return false;
  if (tailLength < 0) tailLength = 0;
  if (tailLength > oldLen - position) tailLength = oldLen - position;

  const int64_t newLen = static_cast<int64_t>(position) + length + tailLength;
  const int64_t inside = OffsetInside(text, mBlock.Data(), mBlock.Capacity());

  if (inside < 0) {
    if (newLen + 1 > INT32_MAX) return false;
    mBlock.SetSize(static_cast<int32_t>(newLen + 1), false);
    if (mBlock.Size() != newLen + 1) return false;
    char* data = mBlock.As<char>();
    std::memmove(data + position + length, data + position, static_cast<size_t>(tailLength));
    std::memcpy(data + position, text, static_cast<size_t>(length));
    data[newLen] = 0;
    return true;
  }

  // The text lies in this buffer's own storage; the moves below may overwrite
  // it. Copy it first into scratch space behind the new text, in the same
  // block (found again by offset after growth), then move the tail and copy
  // the text from the scratch space.
  if (inside + length > mBlock.Capacity()) return false; // runs past our storage: not a text of ours
  const int64_t scratch = newLen + 1;
  const int64_t total = scratch + length;
  if (total > INT32_MAX) return false;
  mBlock.SetSize(static_cast<int32_t>(total), false);
  if (mBlock.Size() != total) return false;
  char* data = mBlock.As<char>();
  std::memmove(data + scratch, data + inside, static_cast<size_t>(length));
  std::memmove(data + position + length, data + position, static_cast<size_t>(tailLength));
  std::memcpy(data + position, data + scratch, static_cast<size_t>(length));
  data[newLen] = 0;
  mBlock.SetSize(static_cast<int32_t>(newLen + 1), false);
  return true;
}

bool IStringBuffer::Append(const char* text, int32_t maxLen) {
  if (!text || !*text) return true;
  return Splice(Length(), text, BoundedLength(text, maxLen), 0);
}

void IStringBuffer::Clear() {
  if (mBlock.Size() > 0) {
    mBlock.As<char>()[0] = 0;
    mBlock.SetSize(1, false);
  }
}

bool IStringBuffer::SetLength(int32_t n) {
  if (n < 0 || n >= INT32_MAX) return false;
  mBlock.SetSize(n + 1, false);
  if (mBlock.Size() != n + 1) return false;
  mBlock.As<char>()[n] = 0;
  return true;
}

bool IStringBuffer::Print(int32_t maxLen, const char* format, ...) {
  va_list args;
  va_start(args, format);
  const bool ok = PrintV(false, maxLen, format, args);
  va_end(args);
  return ok;
}

bool IStringBuffer::PrintMore(int32_t maxLen, const char* format, ...) {
  va_list args;
  va_start(args, format);
  const bool ok = PrintV(true, maxLen, format, args);
  va_end(args);
  return ok;
}

bool IStringBuffer::PrintV(bool append, int32_t maxLen, const char* format, va_list args) {
  if (maxLen < 0) maxLen = 0;
  if (!format) format = "";
  const int32_t kept0 = append ? Length() : 0;
  const int64_t want = static_cast<int64_t>(kept0) + maxLen + 1;
  if (want > INT32_MAX) return false;
  mBlock.SetSize(static_cast<int32_t>(want), false);
  if (mBlock.Size() != want) return false;

  char* out = mBlock.As<char>() + kept0;
  out[0] = 0;
  out[maxLen] = 0;
  const int written = std::vsnprintf(out, static_cast<size_t>(maxLen) + 1, format, args);
  int32_t kept;
  bool ok = true;
  if (written < 0) {
    // Keep what the formatter wrote before it failed (it may not have
    // terminated it).
    out[maxLen] = 0;
    const void* nul = std::memchr(out, 0, static_cast<size_t>(maxLen) + 1);
    kept = nul ? static_cast<int32_t>(static_cast<const char*>(nul) - out) : maxLen;
    ok = false;
  } else {
    kept = written >= maxLen ? maxLen : written;
  }
  out[kept] = 0;
  mBlock.SetSize(kept0 + kept + 1, false);
  return ok;
}

} // namespace plugkit
