#pragma once
// PlatformFont: a font as the platform layer found it (a registered
// embedded font or an installed system font). ICanvas::InstallFont gets one
// from the platform layer, hands it to the drawing back-end (which asks it
// for the font's bytes) and to the platform's own font-handle cache, then
// deletes it; the caches keep their own data.
//
// Ownership: whoever asked the platform layer for it deletes it.
// Threads: user-interface thread.

#include <memory>

#include "graphics/resources/ITypefaceBlob.h"

namespace plugkit {
namespace canvas {

class PlatformFont {
public:
  PlatformFont() = default;
  virtual ~PlatformFont();
  PlatformFont(const PlatformFont&) = delete;
  PlatformFont& operator=(const PlatformFont&) = delete;

  // The platform's font handle (an HFONT on Windows), still owned by this
  // object. Base: null.
  virtual void* NativeHandle();
  // The font's bytes with the face chosen, for the back-end's rasteriser;
  // the caller owns the blob. Never null unless memory runs out. Base: a
  // blob with no bytes, FaceIndex -1 and an empty Info.
  virtual std::unique_ptr<ITypefaceBlob> LoadTypefaceBlob();
};

} // namespace canvas
} // namespace plugkit
