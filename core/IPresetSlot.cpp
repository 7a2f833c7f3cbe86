#include "core/IPresetSlot.h"

#include <cstring>

namespace plugkit {

IPresetSlot::IPresetSlot() { SetTitle(kInitialTitle); }

void IPresetSlot::SetTitle(const char* text, int32_t maxLength) {
  int32_t bound = kMaxTitleLength;
  if (maxLength >= 0 && maxLength < bound) bound = maxLength;
  int32_t length = 0;
  if (text)
    while (length < bound && text[length] != '\0') ++length;
  // memmove: the text may be this slot's own title.
  if (length > 0) std::memmove(title, text, static_cast<size_t>(length));
  title[length] = '\0';
}

} // namespace plugkit
