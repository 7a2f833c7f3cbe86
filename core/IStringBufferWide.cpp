// The UTF-16 side of IStringBuffer, kept apart so that the portable text
// buffer does not pull in <windows.h>.

#include "core/IStringBuffer.h"

#include <windows.h>

namespace plugkit {

bool IStringBuffer::AssignWide(const wchar_t* text) {
  if (!text || !*text) {
    Clear();
    return true;
  }
  // With a length of -1 the count includes the terminating NUL, which is
  // exactly the block size of a text buffer.
  const int needed = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (needed <= 0) {
    Clear();
    return false;
  }
  if (!SetLength(needed - 1)) return false;
  if (WideCharToMultiByte(CP_UTF8, 0, text, -1, Buffer(), needed, nullptr, nullptr) != needed) {
    Clear();
    return false;
  }
  Buffer()[needed - 1] = '\0';
  return true;
}

} // namespace plugkit
