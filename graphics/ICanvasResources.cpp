// The canvas's resource operations: scaled-resource lookup, image fetching
// and caching on the back-end's image cache, the packed-image block, vector
// images and font installation.

#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

#include "core/IStateBuffer.h"
#include "core/ModuleResources.h"
#include "core/Utf8File.h"
#include "graphics/ICanvas.h"
#include "graphics/resources/PlatformFont.h"

namespace plugkit::canvas {

namespace {

// No SVG we would draw comes near this; a bigger file is refused unread.
constexpr int32_t kMaxVectorImageBytes = 64 * 1024 * 1024;
// Longest extension looked at (resource types are short words).
constexpr int32_t kMaxExtension = 31;

// Where name's extension starts: its last "." with no path separator after
// it; null when it has none.
const char* ExtensionDot(const char* name) {
  const char* dot = nullptr;
  for (const char* p = name; *p; ++p) {
    if (*p == '.') dot = p;
    else if (*p == '/' || *p == '\\') dot = nullptr;
  }
  return dot;
}

// The extension without its dot; a name without one is its own extension
// (a resource of type PNG named "png", say). Cut to kMaxExtension.
void ExtensionOf(const char* name, char (&out)[kMaxExtension + 1]) {
  const char* dot = ExtensionDot(name);
  int32_t n = 0;
  for (const char* p = dot ? dot + 1 : name; *p && n < kMaxExtension; ++p) out[n++] = *p;
  out[n] = '\0';
}

// Keeps the editor's drawing context current for its lifetime: images are
// decoded, redrawn and deleted in that context, and a fetch or an uncache
// may come between paints, when the thread has another one current or none.
// A refused bind (the window is gone) is never followed by an unbind, and
// the caller makes no drawing call then.
class IContextBinding {
public:
  explicit IContextBinding(ICanvas& canvas) : mCanvas(canvas), mBound(canvas.BindGlContext()) {}
  ~IContextBinding() {
    if (mBound) mCanvas.UnbindGlContext();
  }
  IContextBinding(const IContextBinding&) = delete;
  IContextBinding& operator=(const IContextBinding&) = delete;
  bool Bound() const { return mBound; }

private:
  ICanvas& mCanvas;
  const bool mBound;
};

int32_t WantedScale(int32_t scale, int32_t screenScale) {
  const int32_t s = scale > 0 ? scale : screenScale;
  return s < 1 ? 1 : s > ICanvas::kMaxScreenScale ? ICanvas::kMaxScreenScale : s;
}

// Packed image block readers: little-endian, bounded by the block's size.
struct IPackedReader {
  const uint8_t* Bytes;
  int32_t Size;
  int32_t Position = 0;

  bool Has(int64_t n) const { return n >= 0 && Position + n <= Size; }
  uint32_t Take(int32_t n) {
    uint32_t v = 0;
    for (int32_t i = 0; i < n; ++i) v |= static_cast<uint32_t>(Bytes[Position + i]) << (8 * i);
    Position += n;
    return v;
  }
};

} // namespace

IImageCache* ICanvas::ImageCache() { return nullptr; }

void* ICanvas::ResourceModule() {
  void* module = ModuleInstance();
  return module ? module : StoredModuleHandle();
}

int32_t ICanvas::LocateScaledResource(const char* name, const char* extension, IStringBuffer& path, int32_t wanted,
                                      int32_t& found) {
  found = wanted;
  if (!name || !*name || wanted <= 0) return kLocationNotFound;
  const char* dot = ExtensionDot(name);
  const size_t length = std::strlen(name);
  if (length > static_cast<size_t>(INT32_MAX / 2)) return kLocationNotFound;
  const int32_t nameLength = static_cast<int32_t>(length);
  const int32_t stemLength = dot ? static_cast<int32_t>(dot - name) : nameLength;
  const char* tail = dot ? dot : "";
  void* module = ResourceModule();
  IStringBuffer candidate;
  int32_t n = wanted;
  // Each step either leaves 3 behind for good or lowers n, so this ends.
  while (n > 0) {
    found = n;
    bool ok = true;
    if (n == 1) ok = candidate.Assign(name);
    else ok = candidate.Print(nameLength + 16, "%.*s@%dx%s", static_cast<int>(stemLength), name, n, tail);
    if (ok) {
      const int32_t kind = FindResourceOrFile(candidate.Get(), extension, path, module);
      if (kind > 0) return kind;
    }
    if (n == wanted && wanted != 3) n = 3;
    else if (n == wanted + 1) n = wanted - 1;
    else n = n - 1;
  }
  found = 0;
  return kLocationNotFound;
}

IImageHandle ICanvas::FetchImage(const char* name, int32_t frameCount, bool framesSideBySide, int32_t scale) {
  IImageCache* cache = ImageCache();
  if (!cache || !name || !*name) return IImageHandle();
  const int32_t s = WantedScale(scale, ScreenScale());
  IImageCache::LockedView view(*cache);
  if (APIBitmap* cached = view.Find(name, s)) return IImageHandle::Of(cached, frameCount, framesSideBySide, name);
  const IContextBinding bound(*this);

  char extension[kMaxExtension + 1];
  ExtensionOf(name, extension);
  if (!IsImageExtensionSupported(extension)) return IImageHandle();

  IStringBuffer path;
  int32_t found = 0;
  const int32_t kind = LocateScaledResource(name, extension, path, s, found);
  APIBitmap* bitmap = nullptr;
  if (kind > 0) {
    bitmap = view.Find(name, found);
    if (!bitmap) {
      bitmap = DecodeImageSource(path.Get(), found, kind, extension);
      if (!bitmap) return IImageHandle();
      // Kept under the scale it was decoded for, so neither this variant
      // nor a later fetch at another scale decodes it again.
      if (!view.Add(bitmap, name, found)) {
        delete bitmap;
        return IImageHandle();
      }
    }
  } else {
    for (int32_t n = 3; n >= 1 && !bitmap; --n)
      if (n != s) bitmap = view.Find(name, n);
    if (!bitmap) return IImageHandle();
  }

  IImageHandle handle = IImageHandle::Of(bitmap, frameCount, framesSideBySide, name);
  if (bitmap->ScreenScale == s) return handle;
  // Drawn once at the wanted scale and cached under it; when that cannot be
  // done the variant found is served at its own scale.
  IImageHandle rescaled = RescaleImage(handle, name, s);
  return rescaled.IsLoaded() ? rescaled : handle;
}

IImageHandle ICanvas::FindCachedImage(const char* name, int32_t frameCount, bool framesSideBySide, int32_t scale) {
  IImageCache* cache = ImageCache();
  if (!cache || !name || !*name) return IImageHandle();
  IImageCache::LockedView view(*cache);
  return IImageHandle::Of(view.Find(name, WantedScale(scale, ScreenScale())), frameCount, framesSideBySide, name);
}

IImageHandle ICanvas::RescaleImage(const IImageHandle& image, const char* name, int32_t scale) {
  IImageCache* cache = ImageCache();
  if (!cache || !image.Api || scale < 1 || scale > kMaxScreenScale) return IImageHandle();
  const IContextBinding bound(*this);
  if (!bound.Bound()) return IImageHandle();
  const int32_t keptScreenScale = mScreenScale;
  const float keptDrawScale = mDrawScale;
  const auto restoreScales = [&] {
    mScreenScale = keptScreenScale;
    mDrawScale = keptDrawScale;
  };
  mScreenScale = scale;
  mDrawScale = image.Api->DrawScale;
  const IBox box(0.0f, 0.0f, static_cast<float>(image.Width) / mDrawScale,
                 static_cast<float>(image.Height) / mDrawScale);
  std::unique_ptr<ILayer> layer;
  if (BeginLayer(nullptr, box)) {
    PaintImage(image, box, 0, 0, nullptr);
    // Back before the layer comes off: the target below (the caller's layer
    // or the main surface) resumes with the caller's own frame and viewport.
    restoreScales();
    layer.reset(UnstackLayer());
  }
  restoreScales();
  if (!layer || !layer->Image) return IImageHandle();

  IImageHandle rescaled = IImageHandle::Of(layer->Image.get(), image.FrameCount, image.FramesSideBySide, name);
  if (!CacheImage(rescaled, name)) return IImageHandle();  // the layer still owns the image and frees it
  layer->Image.release();                                    // the cache owns it now
  return rescaled;
}

bool ICanvas::CacheImage(const IImageHandle& image, const char* name) {
  IImageCache* cache = ImageCache();
  if (!cache || !image.Api) return false;
  IImageCache::LockedView view(*cache);
  // A bitmap may be owned by one entry only.
  for (int32_t i = 0; i < view.Count(); ++i)
    if (view.ItemAt(i) == image.Api) return true;
  return view.Add(image.Api, name, image.Api->ScreenScale);
}

void ICanvas::UncacheImage(APIBitmap* bitmap) {
  IImageCache* cache = ImageCache();
  if (!cache || !bitmap) return;
  const IContextBinding bound(*this);
  IImageCache::LockedView view(*cache);
  view.Remove(bitmap);
}

// Block layout (little-endian, no padding): count (uint16), then per image
// its name length n (uint8), n name bytes, frame count (uint16), frames
// side by side (uint8, 0 = no), encoded size b (uint32), b encoded bytes.
// Reading stops at the first record that does not fit the block; a record
// without a name is skipped.
void ICanvas::PreloadPackedImages(const void* data, int32_t size) {
  IImageCache* cache = ImageCache();
  if (!cache || !data || size < 2) return;
  const IContextBinding bound(*this);
  IPackedReader in{static_cast<const uint8_t*>(data), size};
  const uint32_t count = in.Take(2);
  IStringBuffer name;
  for (uint32_t i = 0; i < count; ++i) {
    if (!in.Has(1)) return;
    const int32_t nameLength = static_cast<int32_t>(in.Take(1));
    if (!in.Has(nameLength + 7)) return;
    // The name has no terminator: a length of 0 must not read on.
    if (nameLength == 0) name.Clear();
    else if (!name.Assign(reinterpret_cast<const char*>(in.Bytes + in.Position), nameLength)) return;
    in.Position += nameLength;
    const int32_t frames = static_cast<int32_t>(in.Take(2));
    const bool sideBySide = in.Take(1) != 0;
    const uint32_t encodedSize = in.Take(4);
    if (!in.Has(encodedSize)) return;
    const uint8_t* encoded = in.Bytes + in.Position;
    in.Position += static_cast<int32_t>(encodedSize);

    if (name.IsEmpty()) continue;  // nothing could ever fetch it
    APIBitmap* bitmap = DecodeImageBytes(encoded, static_cast<int32_t>(encodedSize), 1);
    if (!bitmap) continue;
    IImageCache::LockedView view(*cache);
    if (view.Find(name.Get(), 1) || !CacheImage(IImageHandle::Of(bitmap, frames, sideBySide, name.Get()), name.Get()))
      delete bitmap;
  }
}

IVectorImage ICanvas::FetchVectorImage(const char* name, const char* units, float dpi) {
  IVectorImage result;
  if (!name || !*name) return result;
  IVectorImageCache::LockedView view(VectorImageCache());
  if (IVectorImageRecord* cached = view.Find(name, 1.0)) {
    result.Image = cached->Image;
    return result;
  }

  void* module = ResourceModule();
  IStringBuffer location;
  IHeapBlock text;
  const int32_t kind = FindResourceOrFile(name, "svg", location, module);
  if (kind == kLocationResource) {
    int32_t size = 0;
    const unsigned char* bytes = LoadResourceBytes(location.Get(), "svg", size, module);
    if (!bytes || size < 8 || size >= kMaxVectorImageBytes) return result;
    if (!text.SetSize(size + 1) || text.Size() != size + 1) return result;
    std::memcpy(text.Data(), bytes, static_cast<size_t>(size));
    text.As<char>()[size] = '\0';
  } else if (kind == kLocationFile) {
    IStateBuffer file;
    if (!ReadAndClose(OpenUtf8File(location.Get(), "rb"), file, kMaxVectorImageBytes)) return result;
    const int32_t size = file.Size();
    if (!text.SetSize(size + 1) || text.Size() != size + 1) return result;
    if (size > 0) std::memcpy(text.Data(), file.Bytes(), static_cast<size_t>(size));
    text.As<char>()[size] = '\0';
  } else {
    return result;
  }

  NSVGimage* image = ParseVectorImage(text.As<char>(), units, dpi);
  if (!image) return result;
  IVectorImageRecord* record = new (std::nothrow) IVectorImageRecord(image);
  if (!record) {
    DeleteVectorImage(image);
    return result;
  }
  if (!view.Add(record, name, 1.0)) {
    delete record;
    return result;
  }
  result.Image = image;
  return result;
}

bool ICanvas::InstallFont(const char* fontId, const char* fileOrResourceName) {
  if (!fontId || !*fontId || !fileOrResourceName || !*fileOrResourceName) return false;
  std::unique_ptr<PlatformFont> font(OpenFontResource(fontId, fileOrResourceName));
  if (!font) return false;
  if (!AddBackendFont(fontId, font.get())) return false;
  RetainFontHandle(fontId, font.get());
  return true;
}

void ICanvas::AppendListedInt(int32_t) {}

} // namespace plugkit::canvas
