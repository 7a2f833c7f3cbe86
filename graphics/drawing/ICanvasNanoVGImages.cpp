// Bitmaps of the NanoVG back-end: decoding into NanoVG images and drawing them.

#include <algorithm>
#include <cctype>
#include <cstring>
#include <new>

#include "core/IStateBuffer.h"
#include "core/ModuleResources.h"
#include "core/Utf8File.h"
#include "graphics/drawing/DecodedImage.h"
#include "graphics/drawing/ICanvasNanoVG.h"
#include "graphics/drawing/NanoVGApi.h"
#include "graphics/drawing/NanoVGBitmap.h"
#include "graphics/drawing/NanoVGPaint.h"

namespace plugkit::canvas {

namespace {

// Image files are read whole; none of ours comes near this size.
constexpr int32_t kMaxImageFileBytes = 256 * 1024 * 1024;

} // namespace

bool ICanvasNanoVG::IsImageExtensionSupported(const char* extension) {
  if (!extension) return false;
  char lower[32];
  int32_t n = 0;
  for (; extension[n] && n < 31; ++n)
    lower[n] = static_cast<char>(std::tolower(static_cast<unsigned char>(extension[n])));
  lower[n] = '\0';
  return std::strstr(lower, "png") || std::strstr(lower, "jpg") || std::strstr(lower, "jpeg");
}

int32_t ICanvasNanoVG::MaxTextureSide() {
  GLint side = 0;
  glGetIntegerv(GL_MAX_TEXTURE_SIZE, &side);
  return side > 0 ? static_cast<int32_t>(side) : 0;
}

bool ICanvasNanoVG::TextureFits(int32_t width, int32_t height) {
  const int32_t side = MaxTextureSide();
  return width >= 1 && height >= 1 && width <= side && height <= side;
}

int ICanvasNanoVG::CreateCheckedImage(int32_t width, int32_t height, const unsigned char* rgba) {
  if (!mContext || !TextureFits(width, height)) return 0;
  // NanoVG does not ask the driver whether the texture came to be; errors
  // left from before are not this texture's.
  DrainGlErrors();
  const int image = nvgCreateImageRGBA(mContext, width, height, 0, rgba);
  if (image != 0 && DrainGlErrors()) {
    nvgDeleteImage(mContext, image);
    return 0;
  }
  return image;
}

bool ICanvasNanoVG::DrainGlErrors() {
  bool any = false;
  // Bounded: a lost context may keep answering an error.
  for (int i = 0; i < 16 && glGetError() != GL_NO_ERROR; ++i) any = true;
  return any;
}

APIBitmap* ICanvasNanoVG::DecodeImageBytes(const void* bytes, int32_t size, int32_t scale) {
  if (!mContext || !bytes || size <= 0) return nullptr;
  // The image goes into this back-end's context, never into one that
  // happens to be current.
  if (!BindGlContext()) return nullptr;
  APIBitmap* bitmap = nullptr;
  IDecodedImage pixels;
  if (pixels.Decode(bytes, size, MaxTextureSide())) {
    const int image = CreateCheckedImage(pixels.Width(), pixels.Height(), pixels.Rgba());
    if (image != 0) {
      bitmap = new (std::nothrow) Bitmap(image, pixels.Width(), pixels.Height(), scale, 1.0f, mLink);
      if (!bitmap) nvgDeleteImage(mContext, image);
    }
  }
  UnbindGlContext();
  return bitmap;
}

APIBitmap* ICanvasNanoVG::DecodeImageSource(const char* location, int32_t scale, int32_t locationKind,
                                            const char* extension) {
  if (!mContext || !location) return nullptr;
  if (locationKind == kLocationResource) {
    int32_t size = 0;
    const unsigned char* bytes = LoadResourceBytes(location, extension, size, ResourceModule());
    return bytes ? DecodeImageBytes(bytes, size, scale) : nullptr;
  }
  if (locationKind == kLocationFile) {
    // Read here rather than by the decoder, so paths outside the system's
    // code page open too.
    IStateBuffer file;
    if (!ReadAndClose(OpenUtf8File(location, "rb"), file, kMaxImageFileBytes)) return nullptr;
    return DecodeImageBytes(file.Bytes(), file.Size(), scale);
  }
  return nullptr;
}

void ICanvasNanoVG::PaintImage(const IImageHandle& image, const IBox& box, int32_t srcX, int32_t srcY,
                               const IComposite* blend) {
  if (!CanPaint() || !image.Api) return;
  const APIBitmap& bitmap = *image.Api;
  // Image 0 would be drawn by NanoVG as a white box; a size of 0 as nothing
  // worth a draw call.
  if (bitmap.BackendImage == 0 || !bitmap.HasPixels()) return;
  const float d = bitmap.DrawScale > 0.0f ? bitmap.DrawScale : 1.0f;
  const float s = static_cast<float>(bitmap.ScreenScale > 0 ? bitmap.ScreenScale : 1);
  // From the pixels rather than the handle's whole logical size, so an image
  // whose pixels do not divide by its scale keeps its exact size.
  const float w = static_cast<float>(bitmap.PixelWidth) / s / d;
  const float h = static_cast<float>(bitmap.PixelHeight) / s / d;
  const float alpha = blend ? blend->Opacity : 1.0f;
  const float x = box.Left - static_cast<float>(srcX);
  const float y = box.Top - static_cast<float>(srcY);
  // The box clips the image; where the box reaches past the image there is
  // nothing to draw (the pattern would smear the image's edge pixels there).
  const float l = std::max(box.Left, x), t = std::max(box.Top, y);
  const float r = std::min(box.Right, x + w), b = std::min(box.Bottom, y + h);
  if (!(r > l) || !(b > t)) return;
  nvgBeginPath(mContext);
  nvgRect(mContext, l, t, r - l, b - t);
  nvgFillPaint(mContext, nvgImagePattern(mContext, x, y, w, h, 0.0f, bitmap.BackendImage, alpha));
  SelectNanoVGComposite(mContext, blend);
  nvgFill(mContext);
  nvgGlobalCompositeOperation(mContext, NVG_SOURCE_OVER);
  nvgBeginPath(mContext);
}

} // namespace plugkit::canvas
