#include "api/vst2/VST2HostText.h"

#include <cstring>

namespace plugkit {

void CopyToHostText(void* destination, const char* text, int32_t capacity) {
  if (destination == nullptr || capacity < 1) return;
  char* out = static_cast<char*>(destination);
  const char* in = text != nullptr ? text : "";
  const size_t length = ::strnlen(in, static_cast<size_t>(capacity - 1));
  std::memmove(out, in, length);
  out[length] = '\0';
}

} // namespace plugkit
