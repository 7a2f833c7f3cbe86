#include "graphics/ICanvas.h"

// The canvas' resource operations before any image, vector-image or font
// cache exists: nothing is kept, so every fetch answers "not loaded" and no
// font can be installed. Callers already treat those answers as failures.

namespace plugkit::canvas {

IImageHandle ICanvas::RescaleImage(const IImageHandle&, const char*, int32_t) { return IImageHandle(); }
void ICanvas::CacheImage(const IImageHandle&, const char*) {}
void ICanvas::UncacheImage(APIBitmap*) {}
bool ICanvas::InstallFont(const char*, const char*) { return false; }
IImageHandle ICanvas::FetchImage(const char*, int32_t, bool, int32_t) { return IImageHandle(); }
IImageHandle ICanvas::FindCachedImage(const char*, int32_t, bool, int32_t) { return IImageHandle(); }
void ICanvas::PreloadPackedImages(const void*, int32_t) {}
IVectorImage ICanvas::FetchVectorImage(const char*, const char*, float) { return IVectorImage(); }
void ICanvas::AppendListedInt(int32_t) {}

} // namespace plugkit::canvas
