#pragma once
// IStringBuffer: a NUL-terminated text on an IHeapBlock of granularity 128
// The block's size is the text length + 1; an empty buffer may
// have size 0 and then reads as "". Failures leave the text unchanged and are
// reported by return values, never by exceptions. Not thread-safe.
//
// AssignWide (UTF-16 text) lives with the module-resource code, in
// core/IStringBufferWide.cpp.

#include <cstdarg>
#include <cstdint>
#include <cstdio>

#include "core/IHeapBlock.h"

#if defined(__GNUC__) && defined(__MINGW_PRINTF_FORMAT)
#define PLUGKIT_PRINTF_LIKE(fmt, args) __attribute__((format(__MINGW_PRINTF_FORMAT, fmt, args)))
#elif defined(__GNUC__)
#define PLUGKIT_PRINTF_LIKE(fmt, args) __attribute__((format(printf, fmt, args)))
#else
#define PLUGKIT_PRINTF_LIKE(fmt, args)
#endif

namespace plugkit {

class IStringBuffer {
public:
  static constexpr int32_t kGranularity = 128;

  IStringBuffer() : mBlock(kGranularity) {}
  explicit IStringBuffer(const char* text, int32_t maxLen = 0) : mBlock(kGranularity) { Assign(text, maxLen); }

  IStringBuffer(IStringBuffer&&) noexcept = default;
  IStringBuffer& operator=(IStringBuffer&&) noexcept = default;
  IStringBuffer(const IStringBuffer&) = delete;
  IStringBuffer& operator=(const IStringBuffer&) = delete;

  // The text; never null ("" when the buffer is empty).
  const char* Get() const { return mBlock.Size() > 0 ? mBlock.As<const char>() : ""; }
  // Writable text of Length() + 1 bytes, or null when the buffer has size 0.
  char* Buffer() { return mBlock.Size() > 0 ? mBlock.As<char>() : nullptr; }
  // Text length: the block size - 1 (0 for an empty buffer).
  int32_t Length() const { return mBlock.Size() > 0 ? mBlock.Size() - 1 : 0; }
  bool IsEmpty() const { return Length() == 0; }

  // Replaces the text. text null or empty gives "". maxLen <= 0: the whole
  // text (strlen); otherwise the text up to its first NUL but at most maxLen
  // characters. The text may lie inside this buffer. Returns false (text
  // unchanged) when the block could not grow.
  bool Assign(const char* text, int32_t maxLen = 0);
  // Replaces the text with the UTF-8 form of a NUL-terminated UTF-16 text; null
  // or empty gives "". Returns false when the text cannot be converted (the
  // text becomes "") or the block could not grow (text unchanged).
  bool AssignWide(const wchar_t* text);

  // Inserts length bytes of text at position, moving the tailLength bytes that
  // stood there up behind them, and terminates after the tail (anything after
  // the tail is dropped). length 0 with position 0 and tail 0 empties the text;
  // any other length 0, a negative length, a negative position, a position
  // beyond the text or a null text does nothing. A tail longer than what stands
  // after position is clamped to it (a negative tail counts as 0). The text may
  // lie inside this buffer, even overlapping the moved tail. Returns false when
  // nothing was changed because of those rules or a failed growth.
  bool Splice(int32_t position, const char* text, int32_t length, int32_t tailLength);

  // Appends text (maxLen as in Assign): Splice at the text's length, tail 0.
  bool Append(const char* text, int32_t maxLen = 0);

  // Empties the text without giving memory back.
  void Clear();

  // Formatting is vsnprintf's (C99 semantics under mingw-w64's ANSI stdio).
  // The arguments must not point into this buffer: the block may move or be
  // overwritten while it is formatted into.
  // Replaces the text with the formatted text, cut at maxLen characters.
  bool Print(int32_t maxLen, const char* format, ...) PLUGKIT_PRINTF_LIKE(3, 4);
  // Appends at most maxLen formatted characters.
  bool PrintMore(int32_t maxLen, const char* format, ...) PLUGKIT_PRINTF_LIKE(3, 4);
  // Common body: with append the current text is kept and the formatted text
  // follows it. maxLen < 0 counts as 0. The NUL is always written; when the
  // formatter fails, what it wrote (up to maxLen characters) is kept. Returns
  // false when the formatter failed or the block could not grow (then the text
  // is unchanged).
  bool PrintV(bool append, int32_t maxLen, const char* format, va_list args);

  // Sets the text length to n (n >= 0), keeping the first min(n, Length())
  // bytes and writing the NUL at n; bytes beyond the old text are not
  // initialised. For writers that fill Buffer() directly. Returns false (text
  // unchanged) when the block could not grow.
  bool SetLength(int32_t n);

  // The underlying block (size = length + 1, or 0).
  IHeapBlock& Block() { return mBlock; }
  const IHeapBlock& Block() const { return mBlock; }

private:
  IHeapBlock mBlock;
};

} // namespace plugkit
