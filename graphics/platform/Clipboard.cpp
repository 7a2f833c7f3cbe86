#include "graphics/platform/Clipboard.h"

#include <windows.h>

#include <cstring>
#include <string>

#include "graphics/platform/WideText.h"

namespace plugkit {
namespace canvas {

bool ReadClipboardUtf8(IStringBuffer& text) {
  text.Clear();
  if (!IsClipboardFormatAvailable(CF_UNICODETEXT) || !OpenClipboard(nullptr)) return false;
  bool ok = false;
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    if (const wchar_t* wide = static_cast<const wchar_t*>(GlobalLock(data))) {
      // The block may lack a terminator; never read past its size.
      const size_t units = GlobalSize(data) / sizeof(wchar_t);
      std::wstring copy(wide, wcsnlen(wide, units));
      GlobalUnlock(data);
      ok = text.AssignWide(copy.c_str()) && !text.IsEmpty();
    }
  }
  CloseClipboard();
  if (!ok) text.Clear();
  return ok;
}

bool WriteClipboardUtf8(void* owner, const char* text) {
  if (!OpenClipboard(static_cast<HWND>(owner))) return false;
  EmptyClipboard();
  bool ok = false;
  std::wstring wide;
  if (text && *text && WideFromUtf8(text, wide)) {
    const size_t bytes = (wide.size() + 1) * sizeof(wchar_t);
    if (HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes)) {
      if (void* p = GlobalLock(block)) {
        std::memcpy(p, wide.c_str(), bytes);
        GlobalUnlock(block);
        // On success the clipboard owns the block; on failure it is ours.
        ok = SetClipboardData(CF_UNICODETEXT, block) != nullptr;
      }
      if (!ok) GlobalFree(block);
    }
  }
  CloseClipboard();
  return ok;
}

} // namespace canvas
} // namespace plugkit
