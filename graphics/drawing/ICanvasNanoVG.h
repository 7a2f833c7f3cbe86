#pragma once
// ICanvasNanoVG: the drawing back-end on NanoVG and its OpenGL 2 renderer.
// It maps the path operations, strokes, fills, composite modes, transforms
// and clips of ICanvasPathBase onto NanoVG, loads bitmaps into NanoVG
// images, hands fonts to NanoVG's font stash, draws text, and keeps layers in
// OpenGL framebuffers.
//
// Every paint draws into an off-screen main framebuffer the size of the
// editor in device pixels; FinishPaint copies it to the window, so regions
// that were not repainted keep what earlier paints left there.
//
// NanoVG forgets its clip and transform with every frame. Each frame this
// class begins (a paint's start, a switch to or from a layer, a flush before
// a read-back, the caller's target resuming after an image was redrawn off
// to the side) is sized for its target and then given the path base's
// drawing state through ApplyDrawState.
//
// The platform layer derives from it: it owns the OpenGL context, loads the
// OpenGL entry points (graphics/platform/GlEntryPoints.h), makes the context
// current around every call into this class, calls OnSurfaceCreated once the
// context exists, RebuildBackBuffer after each size change, and
// OnSurfaceDestroyed (context still current) before the context goes, or
// OnSurfaceLost when it can no longer make the context current.
//
// Without a NanoVG context (before OnSurfaceCreated, after
// OnSurfaceDestroyed, or when creation failed, for example because the entry
// points are missing) every drawing, font and measuring operation does
// nothing and answers its failure value (0, false, null, an empty handle).
// Without a main framebuffer a paint draws nothing.
//
// Ownership: the object owns the NanoVG context, the main framebuffer,
// framebuffers and images waiting for deletion and its own image cache (NanoVG images
// belong to one context, so the cache is per object, not process-wide). It
// holds one reference on the process-wide TypefaceBlobCache.
//
// Threads: user-interface thread with the OpenGL context current; only the
// deletions of bitmaps (QueueFramebufferDelete, QueueImageDelete) may come
// with any other context current, or none, and bind their own. Lock
// order: TypefaceBlobCache before the delete-queue lock; the image-cache
// lock is held across the deletions of OnSurfaceDestroyed.

#include <cstdint>
#include <deque>
#include <memory>

#include "core/ISectionLock.h"
#include "graphics/drawing/ICanvasPathBase.h"

struct NVGcontext;
struct NVGLUframebuffer;

namespace plugkit::canvas {

class ICanvasNanoVG : public ICanvasPathBase {
public:
  // A NanoVG image or layer framebuffer of this back-end (NanoVGBitmap.h).
  class Bitmap;
  // What bitmaps need to know of the object that made them: its context
  // while that lives, and the object itself while it lives.
  struct ISurfaceLink {
    NVGcontext* Context = nullptr;
    ICanvasNanoVG* Owner = nullptr;
  };

  ICanvasNanoVG(ICanvasEditorDelegate* delegate, int32_t width, int32_t height, int32_t framesPerSecond,
                float drawScale);
  // Frees what is still held while the context may still exist (stacked
  // layers, queued framebuffers, cached images), then drops the font-cache
  // reference. With the context already gone nothing calls OpenGL.
  ~ICanvasNanoVG() override;

  // ---- Context, frames (ICanvasNanoVG.cpp) ----

  // Creates the NanoVG context (anti-aliased, stencil strokes) on the
  // current OpenGL context; null when the entry points are not loaded or
  // NanoVG fails. A second call keeps the existing context.
  void* OnSurfaceCreated() override;
  // Removes every control, frees layers, queued framebuffers and cached
  // images, the main framebuffer and the NanoVG context. Context current.
  void OnSurfaceDestroyed() override;
  // The same when the OpenGL context can no longer be made current (its
  // window is gone): everything is freed without a single OpenGL call, even
  // though another context may be current. The OpenGL objects are left to
  // go with their context, which the platform deletes next.
  void OnSurfaceLost();
  // Replaces the main framebuffer by one of the current size, cleared to
  // transparent (colour and stencil). No context: none.
  void RebuildBackBuffer() override;
  void StartPaint() override;
  // Renders the paint and copies the main framebuffer to the window. Layers
  // still on the stack (begun outside any control's region and never ended;
  // a control's own go at the end of its region) are dropped first,
  // reported in a debug build: what was drawn into them is lost, the rest of
  // the frame is shown and the next paint starts clean.
  void FinishPaint() override;

  IArgb SamplePixel(float x, float y) override;
  void* GetBackendContext() override;
  const char* GetBackendName() override;
  int32_t PixelAlphaIndex() override;
  bool LayerRowsBottomUp() override;

  // ---- Paths (ICanvasNanoVGPaths.cpp) ----

  void ShapeReset() override;
  void ShapeClose() override;
  void ShapeAddArc(float cx, float cy, float r, float a1, float a2, int32_t direction) override;
  void ShapeMoveTo(float x, float y) override;
  void ShapeLineTo(float x, float y) override;
  void ShapeSetDirection(int32_t direction) override;
  void ShapeCubicTo(float c1x, float c1y, float c2x, float c2y, float x, float y) override;
  void ShapeQuadTo(float cx, float cy, float x, float y) override;
  // Dashes are not drawn by the stroker; see the dashed primitives.
  void ShapeStroke(const IFill& fill, float thickness, const IStrokeOptions& options,
                   const IComposite* blend = nullptr) override;
  void ShapeFill(const IFill& fill, const IFillOptions& options, const IComposite* blend = nullptr) override;
  // Dashes built as geometry (ShapeAddDashedSegment, ShapeAddDashedBox).
  void OutlineDashedSegment(IArgb colour, float x1, float y1, float x2, float y2, const IComposite* blend,
                            float thickness, float dashLength) override;
  void OutlineDashedBox(IArgb colour, const IBox& box, const IComposite* blend, float thickness,
                        float dashLength) override;

  // ---- Bitmaps, fonts and text (ICanvasNanoVGImages.cpp, ICanvasNanoVGText.cpp) ----

  // True for extensions containing "png", "jpg" or "jpeg" in any case.
  bool IsImageExtensionSupported(const char* extension) override;
  // Draws image unstretched at box's top left, shifted left and up by srcX,
  // srcY and clipped to box. A handle without a decoded image (not loaded,
  // image 0, size 0) draws nothing.
  void PaintImage(const IImageHandle& image, const IBox& box, int32_t srcX, int32_t srcY,
                  const IComposite* blend = nullptr) override;
  // This object's own cache (NanoVG images belong to its context); the
  // canvas's fetching and caching work on it.
  IImageCache* ImageCache() override;
  // A decoded PNG or JPEG from a module resource (kLocationResource) or a
  // file (kLocationFile); null when nothing decodes, so nothing is cached.
  APIBitmap* DecodeImageSource(const char* location, int32_t scale, int32_t locationKind,
                               const char* extension) override;
  // Bytes of a PNG or JPEG file as a bitmap in this back-end's context
  // (bound for the call). Null for bytes that do not decode (DecodedImage.h),
  // an image wider or taller than the driver's largest texture, or a texture
  // the driver fails to make.
  APIBitmap* DecodeImageBytes(const void* bytes, int32_t size, int32_t scale) override;
  // Hands the font's bytes to NanoVG's font stash under fontId. The bytes
  // come from the process-wide TypefaceBlobCache, read from the platform
  // font only the first time in the process. False, nothing kept, when the
  // font has no usable data (no face the rasteriser can read without
  // leaving its bytes, ITypefaceBlob::IsUsable) or NanoVG refuses it.
  bool AddBackendFont(const char* fontId, PlatformFont* font) override;
  // Text boxes come from NanoVG's metrics: the line height vertically. A
  // font the stash does not hold measures the all-zero box and draws nothing.
  float MeasureTextRun(const ITextStyle& style, const char* text, IBox& box) override;
  void RenderTextRun(const ITextStyle& style, const char* text, const IBox& box,
                     const IComposite* blend = nullptr) override;

  // ---- Layers (ICanvasNanoVGLayers.cpp) ----

  // A transparent framebuffer image of width x height pixels; null when the
  // framebuffer cannot be made (no context, a side below 1 or beyond the
  // driver's largest texture, driver refusal).
  // Drawing on the current target goes on undisturbed.
  APIBitmap* CreateLayerImage(int32_t width, int32_t height, int32_t screenScale, float drawScale) override;
  // Ends the frame on the old target and begins one on the top layer's
  // framebuffer (sized by its image's pixels), or on the main framebuffer
  // during a paint. Outside a paint with no layer open no frame is left open.
  void SwitchDrawTarget() override;
  // The layer image's RGBA bytes, bottom row first (pixels resized to
  // width x height x 4); nothing (size 0) for a layer this back-end cannot
  // read.
  void ReadLayerPixels(ILayer& layer, IHeapBlock& pixels) override;
  // Puts the shadow of mask (the blurred alpha, top row first) beneath the
  // layer's content, or alone in the layer when KeepContent is false.
  void ApplyLayerShadow(ILayer& layer, const IHeapBlock& mask, const IDropShadow& shadow) override;

  // Deletes framebuffer in owner's own context: at once between paints,
  // with that context bound for the call (BindGlContext; whatever context
  // was current is current again afterwards), or queued while owner is
  // inside a paint or its context cannot be bound, until the end of its
  // next paint or its close. A null framebuffer is ignored; a null owner
  // (or one without a context) frees only the record, without OpenGL calls.
  static void QueueFramebufferDelete(ICanvasNanoVG* owner, NVGLUframebuffer* framebuffer);
  // The same for a NanoVG image: the frame being drawn may still sample it
  // (an image uncached after it was painted). Image 0, a null owner or one
  // without a context: nothing (the image went with its context).
  static void QueueImageDelete(ICanvasNanoVG* owner, int image);
  // Deletes every queued framebuffer and image, newest first. Owner's
  // context current (the end of a paint, the close).
  static void DrainFramebufferDeletes(ICanvasNanoVG* owner);

  NVGcontext* Context() const { return mContext; }
  NVGLUframebuffer* MainFramebuffer() const { return mMainFramebuffer; }
  bool InFrame() const { return mInFrame; }

  // Main framebuffer size in device pixels (0 without one).
  int32_t SurfaceWidth() const;
  int32_t SurfaceHeight() const;

protected:
  void SetBackendClip(const IBox& box) override;
  void SetBackendTransform(const IAffine& transform) override;

private:
  // NanoVG frames: begun on the current target, ended before switching.
  void BeginFrame(float width, float height, float ratio);
  void EndFrame();
  // Begins a frame on the main framebuffer, sized for the whole editor.
  void BeginMainFrame();
  // Copies the main framebuffer into the bound window framebuffer, texel for
  // pixel, as one plain textured quad (no frame may be open).
  void CopyMainFramebuffer();
  // Frame-unit size of the editor: int(Width x DrawScale) etc.
  int32_t FrameWidth() const;
  int32_t FrameHeight() const;
  // Whether anything may be drawn now: a context and an open frame.
  bool CanPaint() const;
  // Begins a frame on the top layer, or on the main framebuffer during a
  // paint, with viewport and frame sized for it and the drawing state
  // applied; otherwise binds the window's framebuffer and leaves none open.
  void BeginCurrentTarget();
  // Flushes what was drawn on the current target and goes on drawing there
  // with the same clip and transform.
  void FlushCurrentTarget();
  // Under the image-cache lock: cached images, queued framebuffers, the main
  // framebuffer and the NanoVG context, in that order; bitmaps still alive
  // then free their records without OpenGL calls.
  void ReleaseContextResources();
  // The layer framebuffer of a layer made by this back-end, or null.
  static NVGLUframebuffer* FramebufferOf(const ILayer& layer);
  // The driver's largest texture side (GL_MAX_TEXTURE_SIZE), and whether a
  // texture of width x height pixels is within it. Context current.
  static int32_t MaxTextureSide();
  static bool TextureFits(int32_t width, int32_t height);
  // A NanoVG image of width x height RGBA pixels; 0 when the size does not
  // fit a texture or the driver reports an error making it. Context current.
  int CreateCheckedImage(int32_t width, int32_t height, const unsigned char* rgba);
  // Takes every OpenGL error waiting; answers whether there was one.
  static bool DrainGlErrors();
  // Clears framebuffer to transparent (colour and stencil) without touching
  // the binding or the frame being drawn: a new framebuffer holds whatever
  // the driver left in its memory.
  static void ClearFramebuffer(NVGLUframebuffer* framebuffer);

  // One deletion waiting for the end of the paint: a framebuffer or an image.
  struct IDeferredDelete {
    NVGLUframebuffer* Framebuffer = nullptr;
    int Image = 0;
  };

  bool mInFrame = false;
  bool mFrameOpen = false;
  ISectionLock mDeleteQueueLock;
  std::deque<IDeferredDelete> mDeleteQueue;
  IImageCache mImageCache;
  NVGcontext* mContext = nullptr;
  NVGLUframebuffer* mMainFramebuffer = nullptr;
  std::shared_ptr<ISurfaceLink> mLink;
};

} // namespace plugkit::canvas
