#include "core/IPresetSlot.h"

#include <cstring>

#include "core/Utf8Cut.h"

namespace plugkit {

IPresetSlot::IPresetSlot() { SetTitle(kInitialTitle); }

void IPresetSlot::SetTitle(const char* text, int32_t maxLength) {
  const int32_t length = Utf8CutLength(text, kMaxTitleLength, maxLength);
  // memmove: the text may be this slot's own title.
  if (length > 0) std::memmove(title, text, static_cast<size_t>(length));
  title[length] = '\0';
}

} // namespace plugkit
