#include "graphics/drawing/DecodedImage.h"

#include <stb_image.h>

namespace plugkit::canvas {

IDecodedImage::~IDecodedImage() { Clear(); }

void IDecodedImage::Clear() {
  if (mRgba) stbi_image_free(mRgba);
  mRgba = nullptr;
  mWidth = mHeight = 0;
}

bool IDecodedImage::Decode(const void* bytes, int32_t size, int32_t maxSide) {
  Clear();
  if (!bytes || size <= 0 || maxSide <= 0) return false;
  const auto* in = static_cast<const stbi_uc*>(bytes);
  int w = 0, h = 0, channels = 0;
  // The header alone first: a picture no texture could hold is not decoded.
  if (!stbi_info_from_memory(in, size, &w, &h, &channels)) return false;
  if (w <= 0 || h <= 0 || w > maxSide || h > maxSide) return false;
  unsigned char* rgba = stbi_load_from_memory(in, size, &w, &h, &channels, 4);
  if (!rgba) return false;
  // The full decode reads the header again; it must say the same.
  if (w <= 0 || h <= 0 || w > maxSide || h > maxSide) {
    stbi_image_free(rgba);
    return false;
  }
  mRgba = rgba;
  mWidth = w;
  mHeight = h;
  return true;
}

} // namespace plugkit::canvas
