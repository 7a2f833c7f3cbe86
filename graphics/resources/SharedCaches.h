#pragma once
// The caches of loaded resources.
//
// - IImageCache: decoded bitmaps by name and scale. Bitmaps hold images of
//   one drawing context, so there is one image cache per back-end context,
//   owned by the back-end (ICanvas::ImageCache answers it). The back-end
//   clears it while its context is still current (when the surface goes and
//   in its destructor); the cache's own destructor would otherwise delete
//   bitmaps after the context has gone.
// - VectorImageCache(): parsed SVG images by name (scale 1.0), shared by
//   every editor of the process. Each ICanvas retains it on construction
//   and releases it on destruction.
// - TypefaceBlobCache(): font bytes read from the platform, by font id
//   (scale 1.0), shared by every editor of the process, so a font is read
//   once and handed to every new drawing context. The drawing back-end
//   retains and releases it.
// The Windows layer's font registration and font handle caches are
// ISharedCache instances of its own.
//
// Lock order: a back-end's image cache before the vector-image cache; the
// typeface cache before any lock of a back-end object.

#include <functional>

#include "graphics/resources/APIBitmap.h"
#include "graphics/resources/ISharedCache.h"
#include "graphics/resources/ITypefaceBlob.h"

struct NSVGimage;

namespace plugkit {
namespace canvas {

using IImageCache = ISharedCache<APIBitmap>;

// One parsed SVG image, freed with the parser's own delete.
class IVectorImageRecord {
public:
  explicit IVectorImageRecord(NSVGimage* image) : Image(image) {}
  ~IVectorImageRecord();
  IVectorImageRecord(const IVectorImageRecord&) = delete;
  IVectorImageRecord& operator=(const IVectorImageRecord&) = delete;

  NSVGimage* Image;
};

using IVectorImageCache = ISharedCache<IVectorImageRecord>;
using ITypefaceBlobCache = ISharedCache<ITypefaceBlob>;

class PlatformFont;

// The process-wide instances, made on first use and cleared at process exit.
IVectorImageCache& VectorImageCache();
ITypefaceBlobCache& TypefaceBlobCache();

// The font data of fontId handed to a back-end's rasteriser (use answers
// whether the rasteriser took it), all under TypefaceBlobCache's lock: the
// cached blob when there is one, else font's blob (LoadTypefaceBlob),
// which is given to use only when it holds a usable face and is kept in
// the cache only when use accepted it. Answers use's answer; false, use not
// called, when there is no usable data. The rasteriser may keep pointers
// into a cached blob's bytes: they stay until the cache is cleared.
bool UseTypefaceBlob(const char* fontId, PlatformFont* font,
                     const std::function<bool(const ITypefaceBlob& blob)>& use);

// Parses zero-terminated SVG text (the parser writes into it) with units
// ("px", "pt", ...) and dpi. Null when the text does not parse or holds an
// image of zero width or height. The one place the SVG parser is compiled:
// drawing code includes <nanosvg.h> for the image's structure only.
NSVGimage* ParseVectorImage(char* text, const char* units, float dpi);
void DeleteVectorImage(NSVGimage* image);

} // namespace canvas
} // namespace plugkit
