#include "graphics/SharedCaches.h"

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

} // namespace plugkit::canvas
