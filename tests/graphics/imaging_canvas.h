#pragma once
// A canvas with a stand-in drawing back-end for the image, layer and font
// logic of the graphics core: it makes bitmaps without pixels (counting the
// live ones), decodes "images" by their scale, keeps its own image cache as
// a back-end does, serves layer pixels the test sets, keeps the shadow mask
// it is handed, and logs the draw-target, transform, clip and image calls.

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "core/IHeapBlock.h"
#include "graphics/resources/APIBitmap.h"
#include "graphics/resources/PlatformFont.h"
#include "graphics/resources/SharedCaches.h"
#include "tests/graphics/canvas_fixture.h"
#include "tests/graphics/null_canvas.h"

namespace plugkit::canvas::test {

class TestBitmap : public APIBitmap {
public:
  static inline int alive = 0;
  TestBitmap(int32_t w, int32_t h, int32_t scale, float drawScale) : APIBitmap(1, w, h, scale, drawScale) { ++alive; }
  ~TestBitmap() override { --alive; }
};

// A platform font that counts its own deletion.
class TestFont : public PlatformFont {
public:
  static inline int alive = 0;
  TestFont() { ++alive; }
  ~TestFont() override { --alive; }
};

class ImagingCanvas : public NullCanvas {
public:
  explicit ImagingCanvas(Log& log, float drawScale = 1.0f) : NullCanvas(nullptr, 250, 160, 60, drawScale), mLog(log) {}
  ~ImagingCanvas() override {
    // As a back-end does while its context is still there.
    FreeStackedLayers();
    cache.Clear();
  }

  // Back-end behaviour the tests choose.
  bool failLayers = false;       // CreateLayerImage answers null
  bool emptyLayers = false;      // ... or an image without pixels
  std::vector<uint8_t> layerPixels;  // what ReadLayerPixels gives
  int32_t alphaIndex = 3;
  bool bottomUp = true;
  std::vector<uint8_t> mask;     // the last mask handed to ApplyLayerShadow
  int shadowsApplied = 0;
  int decodes = 0;               // DecodeImageSource calls
  int32_t decodedWidth = 10;     // logical size of decoded images
  int32_t decodedHeight = 8;
  bool acceptFonts = true;       // AddBackendFont's answer
  bool openFonts = true;         // whether OpenFontResource finds the font
  IImageCache cache;

  IImageCache* ImageCache() override { return &cache; }

  APIBitmap* CreateLayerImage(int32_t w, int32_t h, int32_t scale, float drawScale) override {
    mLog.push_back(Fmt("create %gx%g %g ", w, h, scale) + Fmt("%g", drawScale));
    if (failLayers) return nullptr;
    if (emptyLayers) return new TestBitmap(0, 0, scale, drawScale);
    return new TestBitmap(w, h, scale, drawScale);
  }
  void SwitchDrawTarget() override { mLog.push_back(Fmt("switch %g", LayerDepth())); }
  void ShapeReset() override { mLog.push_back("reset path"); }
  void ShapeResetTransform(bool clearSaved) override { mLog.push_back(Fmt("reset transform %g", clearSaved)); }
  void ShapeSaveTransform() override { mLog.push_back("save transform"); }
  void ShapeRestoreTransform() override { mLog.push_back("restore transform"); }
  void ShapeClipBox(const IBox& box) override { mLog.push_back("clip " + BoxText(box)); }
  void PaintImage(const IImageHandle& image, const IBox& box, int32_t srcX, int32_t srcY,
                  const IComposite* blend) override {
    mLog.push_back(Fmt("image %gx%g ", image.Width, image.Height) + BoxText(box) + Fmt(" from %g,%g", srcX, srcY) +
                   (blend ? Fmt(" blend %g %g", static_cast<int>(blend->Mode), blend->Opacity) : ""));
  }

  void ReadLayerPixels(ILayer&, IHeapBlock& pixels) override {
    const int32_t n = static_cast<int32_t>(layerPixels.size());
    if (pixels.SetSize(n) && n > 0) std::memcpy(pixels.Data(), layerPixels.data(), layerPixels.size());
  }
  void ApplyLayerShadow(ILayer&, const IHeapBlock& pixels, const IDropShadow&) override {
    ++shadowsApplied;
    const auto* bytes = static_cast<const uint8_t*>(pixels.Data());
    mask.assign(bytes, bytes + pixels.Size());
  }
  int32_t PixelAlphaIndex() override { return alphaIndex; }
  bool LayerRowsBottomUp() override { return bottomUp; }

  bool IsImageExtensionSupported(const char* extension) override {
    mLog.push_back(std::string("supported? ") + extension);
    return std::string(extension) == "png" || std::string(extension) == "PNG";
  }
  APIBitmap* DecodeImageSource(const char* location, int32_t scale, int32_t kind, const char*) override {
    ++decodes;
    mLog.push_back(Fmt("decode %g %g ", kind, scale) + location);
    return new TestBitmap(decodedWidth * scale, decodedHeight * scale, scale, 1.0f);
  }
  APIBitmap* DecodeImageBytes(const void* bytes, int32_t size, int32_t scale) override {
    if (size < 1) return nullptr;
    mLog.push_back(Fmt("decode bytes %g %g", size, static_cast<const uint8_t*>(bytes)[0]));
    return new TestBitmap(decodedWidth * scale, decodedHeight * scale, scale, 1.0f);
  }

  PlatformFont* OpenFontResource(const char* id, const char* name) override {
    mLog.push_back(std::string("open font ") + id + " " + name);
    return openFonts ? new TestFont() : nullptr;
  }
  bool AddBackendFont(const char* id, PlatformFont*) override {
    mLog.push_back(std::string("backend font ") + id);
    return acceptFonts;
  }
  void RetainFontHandle(const char* id, PlatformFont*) override { mLog.push_back(std::string("retain font ") + id); }

private:
  Log& mLog;
};

} // namespace plugkit::canvas::test
