#pragma once
// The Windows layer's two process-wide font caches:
// - FontRegistrationCache(): fonts registered privately with GDI
//   (AddFontMemResourceEx), keyed by file or resource name at scale 1.0. A
//   registered font stays available to this process while its entry lives.
// - FontHandleCache(): a copy of each installed font's GDI handle, keyed by
//   font id (the name text styles use) at scale 1.0, for the native text
//   field, which sizes its own font from it.
// Every ICanvasWin retains both (RetainWinFontCaches) for its life; the last
// release clears them. Lock order: the registration cache before the handle
// cache. Any thread.

#include "graphics/resources/ISharedCache.h"

namespace plugkit {
namespace canvas {

// One private font registration; removed from GDI when the record goes.
class IFontRegistration {
public:
  explicit IFontRegistration(void* handle) : Handle(handle) {}
  ~IFontRegistration();
  IFontRegistration(const IFontRegistration&) = delete;
  IFontRegistration& operator=(const IFontRegistration&) = delete;
  void* Handle;  // from AddFontMemResourceEx
};

// One HFONT copied from an installed font; deleted with the record (the text
// field makes its own font from it, so nothing else holds it).
class IFontHandleCopy {
public:
  explicit IFontHandleCopy(void* font) : Font(font) {}
  ~IFontHandleCopy();
  IFontHandleCopy(const IFontHandleCopy&) = delete;
  IFontHandleCopy& operator=(const IFontHandleCopy&) = delete;
  void* Font;  // HFONT
};

using IFontRegistrationCache = ISharedCache<IFontRegistration>;
using IFontHandleCache = ISharedCache<IFontHandleCopy>;

IFontRegistrationCache& FontRegistrationCache();
IFontHandleCache& FontHandleCache();

// Both caches, in lock order.
void RetainWinFontCaches();
void ReleaseWinFontCaches();

// A new HFONT for the text field: the font cached under fontId (or the
// system's GUI font when there is none) at pixelHeight, without smoothing
// when asked. The caller deletes it. Null when GDI cannot make it.
void* CreateTextFieldFont(const char* fontId, float pixelHeight, bool noSmoothing);

} // namespace canvas
} // namespace plugkit
