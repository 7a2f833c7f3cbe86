#include "graphics/platform/GdiFonts.h"

#include <windows.h>

#include <cstring>

namespace plugkit {
namespace canvas {

namespace {

int CALLBACK StopAtFirstFamily(const LOGFONTA*, const TEXTMETRICA*, DWORD, LPARAM) { return -1; }

// Selects font into a screen-compatible DC for as long as it lives and
// deselects it again before the DC goes, so the font may be deleted later.
class SelectedFont {
public:
  explicit SelectedFont(HFONT font) : mDc(CreateCompatibleDC(nullptr)) {
    if (mDc && font) mOld = SelectObject(mDc, font);
  }
  ~SelectedFont() {
    if (mDc) {
      if (mOld) SelectObject(mDc, mOld);
      DeleteDC(mDc);
    }
  }
  SelectedFont(const SelectedFont&) = delete;
  SelectedFont& operator=(const SelectedFont&) = delete;
  HDC Dc() const { return mOld ? mDc : nullptr; }

private:
  HDC mDc;
  HGDIOBJ mOld = nullptr;
};

} // namespace

void* CreateFontByFamily(const char* family, int32_t weight, bool italic, bool underline, bool mustExist) {
  if (!family || !*family || std::strlen(family) >= static_cast<size_t>(kFaceNameBytes)) return nullptr;
  LOGFONTA lf = {};
  lf.lfWeight = weight;
  lf.lfItalic = italic ? TRUE : FALSE;
  lf.lfUnderline = underline ? TRUE : FALSE;
  lf.lfCharSet = DEFAULT_CHARSET;
  lf.lfOutPrecision = OUT_TT_PRECIS;
  lf.lfQuality = DEFAULT_QUALITY;
  std::memcpy(lf.lfFaceName, family, std::strlen(family) + 1);

  HDC screen = GetDC(nullptr);
  if (!screen) return nullptr;
  HFONT font = nullptr;
  const bool exists = !mustExist || EnumFontFamiliesExA(screen, &lf, StopAtFirstFamily, 0, 0) == -1;
  if (exists) {
    font = CreateFontIndirectA(&lf);
    if (font) {
      char face[64] = {};
      HGDIOBJ old = SelectObject(screen, font);
      GetTextFaceA(screen, sizeof face, face);
      SelectObject(screen, old);  // a font still selected must not be deleted
      if (std::strcmp(face, family) != 0) {
        DeleteObject(font);
        font = nullptr;
      }
    }
  }
  ReleaseDC(nullptr, screen);
  return font;
}

bool ReadFontBytes(void* font, std::vector<uint8_t>& bytes, bool& collection) {
  bytes.clear();
  collection = false;
  SelectedFont selected(static_cast<HFONT>(font));
  HDC dc = selected.Dc();
  if (!dc) return false;
  const DWORD ttcf = 0x66637474;  // "ttcf" as GetFontData reads tags
  // The collection's size is asked for by its own tag; a font outside a
  // collection has none and is read whole.
  DWORD size = GetFontData(dc, ttcf, 0, nullptr, 0);
  if (size != GDI_ERROR && size > 0) {
    bytes.resize(size);
    if (GetFontData(dc, ttcf, 0, bytes.data(), size) == size) {
      collection = true;
      return true;
    }
  }
  size = GetFontData(dc, 0, 0, nullptr, 0);
  if (size == GDI_ERROR || size == 0) {
    bytes.clear();
    return false;
  }
  bytes.resize(size);
  if (GetFontData(dc, 0, 0, bytes.data(), size) != size) {
    bytes.clear();
    return false;
  }
  return true;
}

bool FontFaceName(void* font, char* name, int32_t capacity) {
  if (!name || capacity <= 0) return false;
  name[0] = '\0';
  SelectedFont selected(static_cast<HFONT>(font));
  if (!selected.Dc()) return false;
  return GetTextFaceA(selected.Dc(), capacity, name) > 0;
}

} // namespace canvas
} // namespace plugkit
