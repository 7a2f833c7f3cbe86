#include "graphics/platform/WinFontCaches.h"

#include <windows.h>

namespace plugkit {
namespace canvas {

IFontRegistration::~IFontRegistration() {
  if (Handle) RemoveFontMemResourceEx(static_cast<HANDLE>(Handle));
}

IFontHandleCopy::~IFontHandleCopy() {
  if (Font) DeleteObject(static_cast<HFONT>(Font));
}

IFontRegistrationCache& FontRegistrationCache() {
  static IFontRegistrationCache cache;
  return cache;
}

IFontHandleCache& FontHandleCache() {
  static IFontHandleCache cache;
  return cache;
}

void RetainWinFontCaches() {
  ISectionGuard registrations(FontRegistrationCache().Lock());
  ISectionGuard handles(FontHandleCache().Lock());
  FontRegistrationCache().Retain();
  FontHandleCache().Retain();
}

void ReleaseWinFontCaches() {
  ISectionGuard registrations(FontRegistrationCache().Lock());
  ISectionGuard handles(FontHandleCache().Lock());
  FontHandleCache().Release();
  FontRegistrationCache().Release();
}

void* CreateTextFieldFont(const char* fontId, float pixelHeight, bool noSmoothing) {
  LOGFONTA lf = {};
  bool described = false;
  {
    IFontHandleCache::LockedView handles(FontHandleCache());
    if (const IFontHandleCopy* copy = handles.Find(fontId, 1.0))
      described = GetObjectA(static_cast<HFONT>(copy->Font), sizeof lf, &lf) == sizeof lf;
  }
  if (!described && GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof lf, &lf) != sizeof lf) return nullptr;
  lf.lfHeight = static_cast<LONG>(pixelHeight);
  if (noSmoothing) lf.lfQuality = NONANTIALIASED_QUALITY;
  return CreateFontIndirectA(&lf);
}

} // namespace canvas
} // namespace plugkit
