#include "graphics/resources/SharedCaches.h"

#include <memory>

#include "graphics/resources/PlatformFont.h"

namespace plugkit::canvas {

IVectorImageRecord::~IVectorImageRecord() { DeleteVectorImage(Image); }

IVectorImageCache& VectorImageCache() {
  static IVectorImageCache cache;
  return cache;
}

ITypefaceBlobCache& TypefaceBlobCache() {
  static ITypefaceBlobCache cache;
  return cache;
}

bool UseTypefaceBlob(const char* fontId, PlatformFont* font,
                     const std::function<bool(const ITypefaceBlob& blob)>& use) {
  if (!fontId || !*fontId || !use) return false;
  ITypefaceBlobCache::LockedView view(TypefaceBlobCache());
  if (const ITypefaceBlob* cached = view.Find(fontId, 1.0)) return use(*cached);
  if (!font) return false;
  std::unique_ptr<ITypefaceBlob> blob = font->LoadTypefaceBlob();
  if (!blob || !blob->IsUsable() || !use(*blob)) return false;
  // The cache owns the blob from here. Should the entry not be stored, the
  // blob is left alive rather than freed under the rasteriser's pointers.
  view.Add(blob.get(), fontId, 1.0);
  blob.release();
  return true;
}

} // namespace plugkit::canvas
