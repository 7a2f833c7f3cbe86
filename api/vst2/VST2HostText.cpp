#include "api/vst2/VST2HostText.h"

#include <cstring>

#include "core/Utf8Cut.h"

namespace plugkit {

void CopyToHostText(void* destination, const char* text, int32_t capacity) {
  if (destination == nullptr || capacity < 1) return;
  char* out = static_cast<char*>(destination);
  const char* in = text != nullptr ? text : "";
  const size_t length = static_cast<size_t>(Utf8CutLength(in, capacity - 1));
  std::memmove(out, in, length);
  out[length] = '\0';
}

} // namespace plugkit
