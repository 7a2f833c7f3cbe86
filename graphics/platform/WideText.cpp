#include "graphics/platform/WideText.h"

#include <windows.h>

namespace plugkit {
namespace canvas {

bool WideFromUtf8(const char* utf8, std::wstring& wide, size_t maxUnits) {
  wide.clear();
  if (!utf8 || !*utf8) return true;
  const int needed = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8, -1, nullptr, 0);
  if (needed <= 0 || (maxUnits > 0 && static_cast<size_t>(needed) > maxUnits)) return false;
  wide.resize(static_cast<size_t>(needed));
  if (MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8, -1, &wide[0], needed) != needed) {
    wide.clear();
    return false;
  }
  wide.resize(static_cast<size_t>(needed) - 1);
  return true;
}

} // namespace canvas
} // namespace plugkit
