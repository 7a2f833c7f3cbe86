#pragma once
// ICanvas: the abstract editor surface. One exists per open editor; the
// editor delegate creates it through its graphics factory, owns it while the
// editor is open and deletes it when the editor closes.
//
// It owns the editor's controls (the control list, drawn in order, and the
// three special controls: corner resizer, in-window menu, in-window text
// entry), keeps the logical size, the integer screen scale and the fractional
// draw scale, routes pointer and key input to controls, and turns value
// prompts, menus and text entry results back into control values.
//
// It draws nothing itself. Every drawing operation is a virtual operation the
// drawing back-end implements, and every window, input-device and dialog
// operation one the platform layer implements. Operations declared "= 0"
// have no meaning here; the others have a stated base behaviour, often
// "nothing" or a plain failure answer (false, null, an empty handle).
//
// Coordinates are logical pixels (the editor at draw scale 1), y downwards.
// Device pixels = logical pixels x ScreenScale x DrawScale.
//
// Ownership: every control given to AdoptControl, AttachBackground,
// AttachCornerResizer, InstallPopupMenuControl or InstallTextEntryControl
// belongs to the canvas from that call on (also when the call refuses it: the
// control is then deleted at once). RemoveEveryControl and the destructor
// delete them. The delegate is not owned and must outlive the canvas (its
// bindings make sure of it while the editor's code runs, see ICallScope).
//
// Pointer captures: a pressed pointer is bound to the control it pressed
// until its release. The canvas remembers, per capture, the parameters whose
// host gesture (BeginEditorGesture) it began. Wherever a capture ends other
// than by the pointer's release (a size change, a menu opening, a context
// menu, a double press, an alert), the control still gets its release and
// exactly those gestures are ended, so a host never sees an unbalanced
// gesture. A change of screen scale and the window's end (the host
// destroying it) end every capture the same way.
//
// Lifetime: see ICallScope and Dispose below. The editor's code may call
// the host, and the host may close the editor or delete the plug-in from
// inside such a call; the canvas, its controls and its delegate stay until
// that code has returned.
//
// Threads: user-interface thread only. The resource operations lock the
// caches they use (SharedCaches.h); nothing else here locks.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <unordered_map>
#include <vector>

#include "core/IPointerArray.h"
#include "core/IStringBuffer.h"
#include "graphics/resources/IImageHandle.h"
#include "graphics/resources/IVectorImage.h"
#include "graphics/resources/SharedCaches.h"
#include "graphics/records/EPointerShape.h"
#include "graphics/records/IAffine.h"
#include "graphics/records/IArgb.h"
#include "graphics/records/IBox.h"
#include "graphics/records/IBoxList.h"
#include "graphics/records/IComposite.h"
#include "graphics/records/IDropShadow.h"
#include "graphics/records/IFill.h"
#include "graphics/records/IKeyStroke.h"
#include "graphics/records/ILayer.h"
#include "graphics/records/IPathOptions.h"
#include "graphics/records/IPointerEvent.h"
#include "graphics/records/IPopupMenu.h"
#include "graphics/records/ITextStyle.h"

namespace plugkit {

class IHeapBlock;
class IParam;

namespace canvas {

class APIBitmap;
class ICanvasEditorDelegate;
class IControl;
class IEntryOverlay;
class IMenuOverlay;
class PlatformFont;

// What a corner drag changes.
enum class EResizeMode : int32_t {
  Scale = 0,  // the draw scale; the logical size stays
  Size = 1,   // the logical size; the draw scale stays
};

class ICanvas {
public:
  using IControlVisitor = std::function<void(IControl&)>;
  // Receives keys no control handled; answers whether it handled them.
  using IKeyHandler = std::function<bool(const IKeyStroke& key, bool isUp)>;
  using ITickHandler = std::function<void()>;
  using IDeferredAction = std::function<void()>;
  using IAlertDone = std::function<void(int32_t button)>;
  using IColourDone = std::function<void(IArgb colour)>;

  static constexpr int32_t kMaxScreenScale = 16;

  // width and height: the editor's logical size from the configuration
  // record (values below 1 count as 1); the size limits are half and twice
  // it. framesPerSecond: the display rate the platform layer aims for when
  // the display cannot pace it (below 1 counts as 1). drawScale: the initial
  // zoom (not finite or not positive counts as 1); its limits are half and
  // twice it. The delegate may be null (an editor without a plug-in side:
  // nothing is sent to a host).
  ICanvas(ICanvasEditorDelegate* delegate, int32_t width, int32_t height, int32_t framesPerSecond,
          float drawScale);
  ICanvas(const ICanvas&) = delete;
  ICanvas& operator=(const ICanvas&) = delete;

  // ---------------------------------------------------------------------
  // Virtual operations, in table order.
  // ---------------------------------------------------------------------

  // Frame bracket of PaintRegions. Base: nothing.
  virtual void StartPaint();
  // The drawing context now exists; answers the back-end's context (null:
  // none). Base: null.
  virtual void* OnSurfaceCreated();
  virtual void OnSurfaceDestroyed();
  virtual void FinishPaint();

  // Images. blend null = SourceOver at full opacity.
  virtual void PaintVectorImage(const IVectorImage& image, const IBox& box, const IComposite* blend = nullptr) = 0;
  virtual void PaintVectorImageTurned(const IVectorImage& image, float cx, float cy, float width, float height,
                                      double angleDegrees, const IComposite* blend = nullptr) = 0;
  // Draws image into box, its top-left at (srcX, srcY) of the image.
  virtual void PaintImage(const IImageHandle& image, const IBox& box, int32_t srcX, int32_t srcY,
                          const IComposite* blend = nullptr) = 0;
  virtual void PaintImageStretched(const IImageHandle& image, const IBox& box, const IComposite* blend = nullptr) = 0;
  virtual void PaintImageTurned(const IImageHandle& image, float cx, float cy, double angleDegrees,
                                const IComposite* blend = nullptr) = 0;

  // Primitives. Angles in degrees, 0 pointing up, growing clockwise.
  virtual void PlotPixel(IArgb colour, float x, float y, const IComposite* blend = nullptr) = 0;
  virtual void OutlineSegment(IArgb colour, float x1, float y1, float x2, float y2, const IComposite* blend = nullptr,
                              float thickness = 1.0f) = 0;
  virtual void OutlineDashedSegment(IArgb colour, float x1, float y1, float x2, float y2, const IComposite* blend,
                                    float thickness, float dashLength) = 0;
  virtual void OutlineTriangle(IArgb colour, float x1, float y1, float x2, float y2, float x3, float y3,
                               const IComposite* blend = nullptr, float thickness = 1.0f) = 0;
  virtual void OutlineBox(IArgb colour, const IBox& box, const IComposite* blend = nullptr, float thickness = 1.0f) = 0;
  virtual void OutlineRoundedBoxCorners(IArgb colour, const IBox& box, float topLeft, float topRight, float bottomLeft,
                                        float bottomRight, const IComposite* blend = nullptr,
                                        float thickness = 1.0f) = 0;
  virtual void OutlineRoundedBox(IArgb colour, const IBox& box, float radius, const IComposite* blend = nullptr,
                                 float thickness = 1.0f) = 0;
  virtual void OutlineArc(IArgb colour, float cx, float cy, float r, float a1, float a2,
                          const IComposite* blend = nullptr, float thickness = 1.0f) = 0;
  virtual void OutlineCircle(IArgb colour, float cx, float cy, float r, const IComposite* blend = nullptr,
                             float thickness = 1.0f) = 0;
  virtual void OutlineOval(IArgb colour, float cx, float cy, float rx, float ry, float angle,
                           const IComposite* blend = nullptr, float thickness = 1.0f) = 0;
  virtual void OutlineOvalInBox(IArgb colour, const IBox& box, const IComposite* blend = nullptr,
                                float thickness = 1.0f) = 0;
  virtual void OutlinePolygon(IArgb colour, const float* x, const float* y, int32_t count,
                              const IComposite* blend = nullptr, float thickness = 1.0f) = 0;
  virtual void OutlineDashedBox(IArgb colour, const IBox& box, const IComposite* blend, float thickness,
                                float dashLength) = 0;
  virtual void FloodTriangle(IArgb colour, float x1, float y1, float x2, float y2, float x3, float y3,
                             const IComposite* blend = nullptr) = 0;
  virtual void FloodBox(IArgb colour, const IBox& box, const IComposite* blend = nullptr) = 0;
  virtual void FloodRoundedBoxCorners(IArgb colour, const IBox& box, float topLeft, float topRight, float bottomLeft,
                                      float bottomRight, const IComposite* blend = nullptr) = 0;
  virtual void FloodRoundedBox(IArgb colour, const IBox& box, float radius, const IComposite* blend = nullptr) = 0;
  virtual void FloodCircle(IArgb colour, float cx, float cy, float r, const IComposite* blend = nullptr) = 0;
  virtual void FloodOval(IArgb colour, float cx, float cy, float rx, float ry, float angle,
                         const IComposite* blend = nullptr) = 0;
  virtual void FloodOvalInBox(IArgb colour, const IBox& box, const IComposite* blend = nullptr) = 0;
  virtual void FloodPie(IArgb colour, float cx, float cy, float r, float a1, float a2,
                        const IComposite* blend = nullptr) = 0;
  virtual void FloodPolygon(IArgb colour, const float* x, const float* y, int32_t count,
                            const IComposite* blend = nullptr) = 0;

  // The width text would take in style; box is replaced by the text's box.
  // Empty or null text answers 0 and leaves box alone; else MeasureTextRun.
  virtual float MeasureTextBox(const ITextStyle& style, const char* text, IBox& box);
  virtual IArgb SamplePixel(float x, float y) = 0;
  virtual void* GetBackendContext() = 0;
  virtual const char* GetBackendName() = 0;

  // Image cache operations, all on ImageCache() under its lock; without an
  // image cache they do nothing and answer the empty handle / false. Those
  // that make or delete images bind the drawing context around their work
  // (BindGlContext), so they may be called between paints too.
  // RescaleImage draws image again at screen scale `scale` through a layer
  // (BeginLayer, PaintImage, UnstackLayer) and caches the new bitmap at that
  // scale; the empty handle when image is not loaded, the drawing context
  // cannot be bound or no layer can be made.
  // It draws off to the side: afterwards the caller's screen and draw
  // scale, layer stack and draw target are as they were (the path base
  // keeps the transform and clip too), so it may run in the middle of a
  // paint.
  virtual IImageHandle RescaleImage(const IImageHandle& image, const char* name, int32_t scale);
  // Hands image's bitmap to the image cache under (name, the bitmap's own
  // screen scale). True when the cache now owns it (also when it already
  // did); false, the caller still owning it, when it cannot be added.
  virtual bool CacheImage(const IImageHandle& image, const char* name);
  // Removes the entry holding exactly bitmap and deletes bitmap; nothing
  // when no entry holds it. Handles to it must no longer be drawn; inside a
  // paint the back-end keeps its pixels until the paint ends, so what was
  // drawn with it before still reaches the window.
  virtual void UncacheImage(APIBitmap* bitmap);
  virtual bool IsImageExtensionSupported(const char* extension) = 0;

  // Grid lines inside box every xStep / yStep pixels (none on the box's own
  // edges); a step of 1 or less draws nothing in its direction.
  virtual void OutlineGrid(IArgb colour, const IBox& box, float xStep, float yStep, const IComposite* blend = nullptr,
                           float thickness = 1.0f);
  // A polyline of count normalised y values (x values normalised too, or
  // evenly spread when null) across box. Base: nothing.
  virtual void OutlinePlot(IArgb colour, const IBox& box, const float* y, int32_t count, const float* x,
                           const IComposite* blend = nullptr, float thickness = 1.0f);
  // Makes a font known under fontId (the name text styles use): the
  // platform layer opens the file or resource (OpenFontResource), the
  // back-end takes its data (AddBackendFont) and, only then, the platform
  // keeps its handle (RetainFontHandle). The platform font is deleted
  // afterwards. False for a null or empty id or name, or when either layer
  // refuses the font.
  virtual bool InstallFont(const char* fontId, const char* fileOrResourceName);

  // Layers (the stack itself is below, with BeginLayer). SwitchDrawTarget
  // sends drawing to TopLayer()'s image, or the main surface when the
  // stack is empty; a back-end sizes the target from the image's pixel
  // size. Base: nothing.
  virtual void SwitchDrawTarget();
  // The layer image's pixels, 4 bytes each, PixelWidth x PixelHeight of
  // them in rows as LayerRowsBottomUp says; pixels is resized to fit. A
  // back-end that cannot read them leaves fewer bytes (no shadow is cast).
  virtual void ReadLayerPixels(ILayer& layer, IHeapBlock& pixels) = 0;
  // Puts shadow beneath the layer's content (or alone, without KeepContent)
  // from mask: the layer's pixels with the blurred coverage in their alpha
  // bytes, top row first, at least PixelWidth x PixelHeight x 4 bytes.
  virtual void ApplyLayerShadow(ILayer& layer, const IHeapBlock& mask, const IDropShadow& shadow) = 0;

  // Path building. Only meaningful when CanDrawShapes answers true; the base
  // answers false and every path operation does nothing.
  virtual bool CanDrawShapes();
  virtual void ShapeReset();
  virtual void ShapeClose();
  virtual void ShapeAddTriangle(float x1, float y1, float x2, float y2, float x3, float y3);
  virtual void ShapeAddBox(const IBox& box);
  virtual void ShapeAddRoundedBox(const IBox& box, float radius);
  virtual void ShapeAddRoundedBoxCorners(const IBox& box, float topLeft, float topRight, float bottomLeft,
                                         float bottomRight);
  // direction 0 = clockwise, 1 = counter-clockwise.
  virtual void ShapeAddArc(float cx, float cy, float r, float a1, float a2, int32_t direction);
  virtual void ShapeAddCircle(float cx, float cy, float r);
  virtual void ShapeAddOvalInBox(const IBox& box);
  virtual void ShapeAddOval(float cx, float cy, float rx, float ry, float angle);
  virtual void ShapeAddPolygon(const float* x, const float* y, int32_t count);
  virtual void ShapeMoveTo(float x, float y);
  virtual void ShapeLineTo(float x, float y);
  // 0 = counter-clockwise (solid), 1 = clockwise (hole).
  virtual void ShapeSetDirection(int32_t direction);
  virtual void ShapeCubicTo(float c1x, float c1y, float c2x, float c2y, float x, float y);
  virtual void ShapeQuadTo(float cx, float cy, float x, float y);
  virtual void ShapeStroke(const IFill& fill, float thickness, const IStrokeOptions& options,
                           const IComposite* blend = nullptr);
  virtual void ShapeFill(const IFill& fill, const IFillOptions& options, const IComposite* blend = nullptr);
  virtual void ShapeSaveTransform();
  virtual void ShapeRestoreTransform();
  virtual void ShapeResetTransform(bool clearSaved);
  virtual void ShapeTranslate(float dx, float dy);
  virtual void ShapeScale(float s);
  virtual void ShapeScaleXY(float sx, float sy);
  virtual void ShapeRotate(float degrees);
  virtual void ShapeSkew(float xDegrees, float yDegrees);
  virtual void ShapeApplyTransform(const IAffine& transform);
  virtual void ShapeClipBox(const IBox& box);

  // Bracket of one control drawn into one dirty region, clipped to clip.
  virtual void StartRegionPaint(const IBox& clip) = 0;
  virtual void FinishRegionPaint(const IBox& clip);

  // Pointer device.
  // The pointer's position in logical pixels; false when it is not known.
  virtual bool QueryPointerPosition(float& x, float& y) = 0;
  virtual void SetPointerHidden(bool hide, bool keepInPlace) = 0;
  virtual void WarpPointerTo(float x, float y) = 0;
  // Shows shape and answers the shape shown before. Base: only remembers it.
  virtual EPointerShape ChangePointerShape(EPointerShape shape);

  // Window and platform services.
  virtual void AbortTextField() = 0;
  // Opens the editor's window in the host's parent window; answers the
  // native view (null on failure).
  virtual void* OpenEditorWindow(void* parentWindow) = 0;
  virtual void CloseEditorWindow() = 0;
  virtual void* NativeWindowHandle() = 0;
  // Base: NativeWindowHandle is not null.
  virtual bool HasNativeWindow();
  virtual bool ReadClipboardText(IStringBuffer& text) = 0;
  virtual bool WriteClipboardText(const char* text) = 0;
  virtual void NotifyPopupMenuToggled() = 0;
  // Modal: each returns when the user is done, after a message loop in which
  // the host may close the editor (the canvas itself stays until the call
  // that ran the loop has returned, see ICallScope). An editor closed
  // meanwhile answers as cancelled: no file or folder, false for the
  // colour (the caller's colour unchanged), 0 for the alert, and no done
  // function runs. Call them with no lock held (see DeferAction).
  virtual int32_t ShowAlertBox(const char* text, const char* caption, int32_t buttons, int32_t icon,
                               IAlertDone done) = 0;
  virtual void ChooseFileDialog(IStringBuffer& file, IStringBuffer& folder, int32_t action, const char* filter) = 0;
  virtual void ChooseFolderDialog(IStringBuffer& folder) = 0;
  virtual bool ChooseColourDialog(IArgb& colour, const char* prompt, IColourDone done) = 0;
  virtual bool OpenInBrowser(const char* url) = 0;
  // Base: "" / false / nothing / null.
  virtual const char* PlatformLabel();
  virtual bool ShowFileInExplorer(const char* path, bool select);
  virtual void StoreModuleInstance(void* module);
  virtual void* ModuleInstance();
  // Remembers the platform's drawing context (see DrawingContextHandle).
  virtual void SetDrawingContextHandle(void* handle);
  // Reserved; nothing calls it. Base: nothing.
  virtual void SpareTwoArgHook(void* first, void* second);

  // Fonts of the platform.
  virtual PlatformFont* OpenSystemFont(const char* family, int32_t style) = 0;
  virtual PlatformFont* OpenFontResource(const char* fontId, const char* fileOrResourceName) = 0;
  virtual void RetainFontHandle(const char* fontId, PlatformFont* font) = 0;
  // Base: "".
  virtual const char* ResourceGroupName();

  // The platform's own text field. Base: no field: nothing / false / null.
  virtual void SetTextFieldStyle(const ITextStyle& style);
  virtual bool TextFieldIsOpen();
  virtual IParam* TextFieldOwner();
  // Make the editor's drawing context current and restore the previous one.
  // BindGlContext answers whether the editor may draw now; only a true
  // answer is followed by UnbindGlContext. False (the platform's context
  // cannot be made current, for example because its window is gone): no
  // drawing call may be made, and whatever context was current still is.
  // Base: nothing to bind, true / nothing.
  virtual bool BindGlContext();
  virtual void UnbindGlContext();
  // Opens the platform's text field over box; its text is handed back later
  // through CommitTextEntry. paramIndex -1: not a parameter. False when no
  // field opened (one is open already, no window, the system refused).
  virtual bool OpenTextField(int32_t paramIndex, const ITextStyle& style, const IBox& box, int32_t lengthLimit,
                             const char* text) = 0;
  // Shows menu as a native menu at anchor. Either answers at once (the menu
  // or submenu holding the chosen item, or null for no choice; answersLater
  // false) or sets answersLater and calls DeliverMenuResult exactly once
  // when the user is done. A menu whose loop saw the editor close answers
  // null, and nothing in it is marked picked.
  virtual IPopupMenu* RunPopupMenu(IPopupMenu& menu, const IBox& anchor, bool& answersLater) = 0;

  // Deletes every control, then frees the rest.
  virtual ~ICanvas();

  // Base: false / 1 / nothing.
  virtual bool HasMultiTouch();
  // Device pixels per logical pixel of the display (before the draw scale).
  virtual int32_t DisplayScaleFactor();
  virtual void SpareNoArgHook();  // reserved; nothing calls it
  // Brings the window to the current size; onlySelf: the host has resized
  // the windows around it. Base: nothing.
  virtual void ResizeNativeWindow(bool onlySelf);
  // Rebuilds the drawing back-end's buffer after a size change. Base: nothing.
  virtual void RebuildBackBuffer();

  // Resources. Images come from the module's resources or files by name
  // (LocateScaledResource), are decoded by the back-end and kept in
  // ImageCache(); a failure answers the empty (not loaded) handle and
  // caches nothing. scale 0 (or below) means ScreenScale.
  //
  // FetchImage: the bitmap cached for (name, scale); else the best scaled
  // variant found (the cached bitmap for that variant's scale, or one
  // decoded now and cached under it, so each variant is decoded once per
  // cache); a variant of another scale is redrawn at the wanted scale
  // (RescaleImage) and cached under it, or served at its own scale when it
  // cannot be redrawn. With nothing found, a bitmap cached at another scale
  // (3 down to 1) is used. The extension is what follows the name's last
  // "." (with no "/" or "\" after it), or the whole name when it has none;
  // one the back-end does not support answers the empty handle without any
  // lookup.
  virtual IImageHandle FetchImage(const char* name, int32_t frameCount, bool framesSideBySide, int32_t scale);
  // The bitmap cached for exactly (name, scale); never decodes.
  virtual IImageHandle FindCachedImage(const char* name, int32_t frameCount, bool framesSideBySide, int32_t scale);
  // Decodes the images of a packed block (see ICanvasResources.cpp for the
  // layout; bounded by size) at scale 1 and caches those not cached yet
  // under their names.
  virtual void PreloadPackedImages(const void* data, int32_t size);
  // The SVG image name (a resource of type SVG or a file), parsed once per
  // process with units and dpi and kept in VectorImageCache(); null when it
  // cannot be found, read or parsed, or has no extent.
  virtual IVectorImage FetchVectorImage(const char* name, const char* units, float dpi);
  virtual void AppendListedInt(int32_t value);  // reserved; nothing calls it

  // Decoding and back-end objects.
  virtual APIBitmap* DecodeImageSource(const char* location, int32_t scale, int32_t locationKind,
                                       const char* extension) = 0;
  virtual APIBitmap* DecodeImageBytes(const void* bytes, int32_t size, int32_t scale) = 0;
  // A cleared (fully transparent) image of width x height device pixels to
  // draw into, made for the given scales; the caller owns it. Null when it
  // cannot be made (then no layer exists).
  virtual APIBitmap* CreateLayerImage(int32_t width, int32_t height, int32_t screenScale, float drawScale) = 0;
  virtual bool AddBackendFont(const char* fontId, PlatformFont* font) = 0;
  virtual bool SpareTrueQuery();  // reserved; nothing calls it; true
  // Byte of a read-back pixel that holds alpha; whether rows run bottom up.
  virtual int32_t PixelAlphaIndex() = 0;
  virtual bool LayerRowsBottomUp() = 0;
  // Text: measure (box in: the layout box, out: the text's box; answers the
  // width) and draw.
  virtual float MeasureTextRun(const ITextStyle& style, const char* text, IBox& box) = 0;
  virtual void RenderTextRun(const ITextStyle& style, const char* text, const IBox& box,
                             const IComposite* blend = nullptr) = 0;
  // Device pixels per logical pixel (ScreenScale x DrawScale in practice).
  virtual float PixelDensity() = 0;

  // The image cache the resource operations use. Back-end images belong to
  // one drawing context, so the back-end owns one cache per context and
  // answers it here (and clears it while the context is current); the
  // image operations above then need no override in the back-end. Base:
  // null, so nothing is cached and image fetches answer "not loaded".
  virtual IImageCache* ImageCache();

  // Something wants a display tick soon: a control was marked changed or
  // started an animation, a control was added, or the tick handler was set.
  // A platform layer that lets its ticks sleep while nothing happens wakes
  // them here. Called on the UI thread, often (every MarkChanged), so it must
  // stay cheap. Base: nothing.
  virtual void WakeDisplayTicks();

  // ---------------------------------------------------------------------
  // Resource lookup.
  // ---------------------------------------------------------------------

  // The module whose resources are searched: ModuleInstance(), else the
  // module handle stored when the library was attached (null: the
  // program's own resources).
  void* ResourceModule();
  // Finds name, or a variant of it for another screen scale ("knob@2x.png"
  // for scale 2 of "knob.png"), as a module resource of type extension or a
  // file. Scales are tried from wanted: after it 3 (unless it is 3), after
  // wanted + 1 comes wanted - 1, otherwise one less, down to 1 (1, 3, 2 for
  // scale 1; 2, 3, 1 for 2; 3, 2, 1 for 3; 4, 3, 2, 1 for 4). The variant's
  // suffix goes before name's extension, which starts at the last "." with
  // no "/" or "\" after it (none: at the end). Answers the location kind
  // (kLocationNotFound, kLocationFile, kLocationResource), fills path with
  // what was found and found with its scale (wanted <= 0: nothing found).
  int32_t LocateScaledResource(const char* name, const char* extension, IStringBuffer& path, int32_t wanted,
                               int32_t& found);

  // ---------------------------------------------------------------------
  // Layers (see ILayer.h). User-interface thread, inside a paint.
  // ---------------------------------------------------------------------

  // Snaps box outwards to the device-pixel grid of density: the snapped box
  // and the exact number of device pixels it spans. False (outputs
  // unchanged) when box or density is not finite, the density is not
  // positive, the box has no area, or it spans more than kMaxLayerPixels
  // per side.
  static constexpr int32_t kMaxLayerPixels = 16384;
  static bool SnapLayerBox(const IBox& box, float density, IBox& snapped, int32_t& pixelWidth,
                           int32_t& pixelHeight);
  // Makes a layer over box (snapped, SnapLayerBox with PixelDensity) with an
  // image from CreateLayerImage, owned by the stack, and stacks it; control
  // (may be null) is remembered for ValidateLayer. False when no image can
  // be made: then nothing is stacked, drawing stays where it was, and the
  // caller must not call UnstackLayer for it.
  bool BeginLayer(IControl* control, const IBox& box);
  // Stacks an existing layer, not owned by the stack, and redirects drawing
  // to it (SwitchDrawTarget, transform reset, clipped to its Box). False,
  // nothing stacked, for a null layer or one without image.
  bool StackLayer(ILayer* layer);
  // Takes the top layer off the stack (null when the stack is empty) and
  // sends drawing to the layer below or the main surface, with the
  // transform reset and no clip, in either case. A layer made by
  // BeginLayer then belongs to the caller; one stacked by StackLayer stays
  // with its owner.
  ILayer* UnstackLayer();
  // Whether a kept layer can be painted unchanged: it has an image made for
  // the current screen and draw scale, and its control (if any) has not
  // moved or changed size since. A change marks the layer Invalid (and
  // remembers the new bounds), so it stays invalid until rebuilt. False for
  // null.
  bool ValidateLayer(ILayer* layer);
  // Paints the layer's image at its Box, with the transform reset for the
  // call. Nothing for null or a layer without image.
  void PaintLayer(ILayer* layer, const IComposite* blend = nullptr);
  // Blurs the alpha of the layer's pixels (ReadLayerPixels) into a mask of
  // the same size, top row first, and hands it to ApplyLayerShadow. Nothing
  // for null, a layer without image, or pixels the back-end cannot read.
  void CastLayerShadow(ILayer* layer, const IDropShadow& shadow);
  // The top layer (null: drawing goes to the main surface) and the depth.
  ILayer* TopLayer() const;
  int32_t LayerDepth() const { return static_cast<int32_t>(mLayerStack.size()); }
  // Deletes the layers the stack owns and empties it. A back-end calls it
  // in its destructor while its context is current; the base destructor
  // calls it again for whatever is left.
  void FreeStackedLayers();
  // Takes every layer above the first depth ones off the stack (deleting
  // those it owns) and, when there were any, sends drawing to what lies
  // below, with the transform reset and no clip, as UnstackLayer does.
  // Answers how many were taken. Inside a paint.
  int32_t DropLayersAbove(int32_t depth);

  // ---------------------------------------------------------------------
  // Size and scale.
  // ---------------------------------------------------------------------

  // Sets the screen scale (below 1 counts as 1, above kMaxScreenScale as
  // kMaxScreenScale), even when unchanged, then resizes: asks the host,
  // resizes the window, tells every control OnScaleChange, marks every
  // control changed and rebuilds the back buffer. Host, window and back
  // buffer are left alone while no native window exists. The same scale
  // again stays under the cap (CapScreenScale); another one lifts it.
  // Whenever the scale in use changes (here or by the cap), every drag ends
  // first, as a size change ends it (each captured control gets its release
  // where the pointer last was, its gestures end), and a corner drag too:
  // pointer positions are logical, so a drag across the change would jump
  // by the change of units, not follow the pointer.
  void ApplyScreenScale(int32_t scale);
  // Clamps width, height and draw scale to their limits and, when any
  // differs from the current value, drops every pointer capture, stores them,
  // re-places the corner resizer, resizes as ApplyScreenScale does (with
  // OnBoundsChange) and runs the delegate's layout again when asked to.
  // A draw scale that is not finite is refused: false, nothing changes.
  bool ApplySize(int32_t width, int32_t height, float drawScale);

  // A screen scale the host dictates (a VST 3 host's content scale): while
  // it is set (1 to kMaxScreenScale) the platform layer follows it instead
  // of its display's resolution. 0 (or less) lets the display decide again.
  void SetHostScreenScale(int32_t scale) { mHostScreenScale = scale > kMaxScreenScale ? kMaxScreenScale : scale; }
  int32_t HostScreenScale() const { return mHostScreenScale > 0 ? mHostScreenScale : 0; }

  // A ceiling on the screen scale, for a host whose window cannot hold the
  // editor at the scale its display or the host itself asks for: while it is
  // set (1 to kMaxScreenScale) ScreenScale() stays at or below it, and the
  // scale asked for (AskedScreenScale) is kept for when it is lifted (0 or
  // less, or ApplyScreenScale with another scale). When the scale in use
  // changes, resizes as ApplyScreenScale does.
  void CapScreenScale(int32_t cap);
  int32_t ScreenScaleCap() const { return mScreenScaleCap; }
  // The scale last given to ApplyScreenScale (limited to 1..kMaxScreenScale),
  // before the cap: what the platform layer compares its display's with.
  int32_t AskedScreenScale() const { return mAskedScreenScale; }

  // The device pixels a logical length spans at drawScale with screenScale
  // device pixels per pixel of the draw scale: logical x drawScale, rounded
  // to float and cut to whole pixels, times screenScale (250 x 0.7 gives 175,
  // not 174); 0 for a product that is not finite, never beyond INT32_MAX.
  // The one rounding of the editor's size: its window, the size it asks of
  // the host and a binding that fits it to a host's window all count so.
  static int32_t DevicePixels(int32_t screenScale, int32_t logical, float drawScale);

  int32_t Width() const { return mWidth; }
  int32_t Height() const { return mHeight; }
  int32_t ScreenScale() const { return mScreenScale; }
  float DrawScale() const { return mDrawScale; }
  float MinScale() const { return mMinScale; }
  float MaxScale() const { return mMaxScale; }
  int32_t MinWidth() const { return mMinWidth; }
  int32_t MaxWidth() const { return mMaxWidth; }
  int32_t MinHeight() const { return mMinHeight; }
  int32_t MaxHeight() const { return mMaxHeight; }
  int32_t FramesPerSecond() const { return mFramesPerSecond; }
  ICanvasEditorDelegate* Delegate() const { return mDelegate; }

  // ---------------------------------------------------------------------
  // Controls.
  // ---------------------------------------------------------------------

  // Attaches control (links, OnBind, OnBoundsChange, OnScaleChange, ControlId
  // -1, Cluster "", OnListed) at the end of the control list and answers it;
  // null for a null control or when the list cannot grow (the control is
  // then deleted).
  IControl* AdoptControl(IControl* control);
  // Attaches the background at index 0; it never takes the pointer but is
  // always drawn first, even when concealed. Null on failure as above.
  IControl* AttachBackground(IControl* control);
  // Makes control the corner resizer unless one exists (then control is
  // deleted and the existing one, with its mode, stays). Answers the resizer.
  IControl* AttachCornerResizer(IControl* control, EResizeMode mode, bool relayoutOnResize);
  // Installs the in-window menu / text entry unless one exists (then control
  // is deleted). Answers the installed one. Without a control the stock one
  // (IPopupMenuControl / ITextEntryControl) is made.
  IMenuOverlay* InstallPopupMenuControl(IMenuOverlay* control = nullptr);
  IEntryOverlay* InstallTextEntryControl(IEntryOverlay* control = nullptr);
  // Deletes every control (special ones first, then the list from last to
  // first) after dropping every capture (their gestures are ended, no
  // release is delivered), forgetting the hovered, edited and
  // menu-requesting controls and dropping the deferred actions. A second
  // call does nothing.
  void RemoveEveryControl();

  int32_t ControlCount() const { return mControls.Count(); }
  IControl* ControlAt(int32_t index) const { return mControls.Get(index); }
  IControl* CornerResizer() const { return mCornerResizer; }
  IMenuOverlay* PopupMenuControl() const { return mPopupMenuControl; }
  IEntryOverlay* TextEntryControl() const { return mTextEntryControl; }

  // The control list in order; then also the corner resizer, the text entry
  // and the menu, each when present. The visitor is called synchronously and
  // not kept; it must not delete controls.
  void VisitControls(const IControlVisitor& visitor);
  void VisitAllControls(const IControlVisitor& visitor);
  // Every list control but origin that has a slot bound to paramIndex gets
  // TakeValueFromDelegate(value, its first such slot).
  void UpdateControlsBoundTo(int32_t paramIndex, double value, const IControl* origin);

  // ---------------------------------------------------------------------
  // Display tick and drawing.
  // ---------------------------------------------------------------------

  // One animation step of every control that has one.
  void RunAnimations();
  // Appends the bounds of every control that wants a redraw, grown by 0.75,
  // to boxes. Bounds that cover no area add nothing (grown, they would paint
  // a needless sliver). Answers whether any control wanted a redraw.
  bool CollectDirtyBoxes(IBoxList& boxes);
  // One display tick: the tick handler, RunAnimations, CollectDirtyBoxes and,
  // when that answered true, MarkClean of every control. The caller
  // invalidates the boxes in its window.
  bool RunDisplayTick(IBoxList& boxes);
  // Draws the given boxes: each is snapped outwards to device pixels (in
  // place), the list optimised, then every control drawn into every box
  // between StartPaint and FinishPaint. An empty list draws nothing.
  void PaintRegions(IBoxList& boxes);
  // Draws one control clipped to dirty (see the .cpp for the rules). A
  // control whose bounds cover no area is never drawn. Layers the control
  // leaves open are dropped when it is done (reported in a debug build), so
  // the controls after it draw where they should.
  void PaintControl(IControl* control, const IBox& dirty, float density);
  // The clip of the control being drawn by PaintControl (empty outside one).
  // A control that changes the clip while it draws (finishing a layer lifts
  // it) applies this again before drawing on.
  const IBox& RegionClip() const { return mRegionClip; }
  // A segment along angleDegrees (0 up, clockwise) from radius rMin to rMax.
  void OutlineRadialSegment(IArgb colour, float cx, float cy, float angleDegrees, float rMin, float rMax,
                            const IComposite* blend = nullptr, float thickness = 1.0f);
  // Placement of rotated text: text is replaced by the box holding it after
  // rotation by the style's RotationDegrees, and (dx, dy) set to move it into
  // box by the style's alignment. With rotation 0 nothing changes.
  static void ComputeRotatedTextOffset(const ITextStyle& style, const IBox& box, IBox& text, double& dx,
                                       double& dy);

  void SetTickHandler(ITickHandler handler);
  bool HasTickHandler() const { return static_cast<bool>(mTickHandler); }
  void SetKeyHandler(IKeyHandler handler);

  // ---------------------------------------------------------------------
  // Deferred actions: work a control wants done once the call it is in (a
  // menu answer, a timer callback) has returned, outside every framework
  // lock: a modal dialog, above all. The platform layer runs them at the
  // start of its next display tick, straight from its message handling; a
  // canvas without a platform runs them when its owner calls
  // RunDeferredActions. They are dropped with the controls
  // (RemoveEveryControl, destruction) and when the editor closes
  // (EndInteraction), so an action may hold the control that deferred it.
  // An action that runs a nested message loop may see the host close the
  // editor meanwhile; the canvas and its controls still live when the loop
  // returns (see Lifetime below), and the loop answers nothing.
  // ---------------------------------------------------------------------

  // Queues action (nothing for an empty one) and wakes the display ticks.
  void DeferAction(IDeferredAction action);
  bool HasDeferredActions() const { return !mDeferredActions.empty(); }
  // Runs the queued actions in order, one taken off the queue at a time,
  // including any queued meanwhile; none once the editor was closed during
  // one of them.
  void RunDeferredActions();

  // ---------------------------------------------------------------------
  // Lifetime: the editor's code never runs on a deleted canvas, control or
  // plug-in.
  //
  // Every way into the editor's code from outside holds an ICallScope for as
  // long as it runs: the editor window's message procedures (input, ticks
  // and paints, and so every menu and dialog loop and every deferred
  // action), and the editor delegate's and the bindings' calls into the
  // canvas. From inside any of them the host may close the editor (it
  // answers a gesture, a value, a size request or a preset change by
  // closing it, or closes it while a menu or dialog of the editor is open)
  // and may delete the plug-in. The guarantee:
  // - Dispose, the one way an editor's canvas ends, closes the window at once
  //   and ends the interaction (EndInteraction: every capture dropped, its
  //   host gestures ended, so the host sees one end for each begin; menu,
  //   text and deferred requests forgotten), but deletes the canvas with
  //   its controls only when the outermost scope ends. Whatever made the
  //   host call returns into live objects and needs no check of its own.
  // - A scope holds the canvas' delegate as well (HoldForEditorCall): a
  //   plug-in the host deletes meanwhile goes when the scope ends, after its
  //   canvas.
  // - A closed canvas answers nothing: a menu or dialog whose loop saw the
  //   window go reports no choice (and calls no done function), no menu
  //   result reaches a control, no deferred action runs.
  // A canvas must not be deleted in any other way while a scope of its is
  // held. User-interface thread only.
  // ---------------------------------------------------------------------

  class ICallScope {
  public:
    // canvas may be null: the scope then holds nothing.
    explicit ICallScope(ICanvas* canvas);
    // Deletes a canvas disposed of meanwhile when this is its outermost
    // scope, then lets go of the delegate (which may delete the plug-in).
    ~ICallScope();
    ICallScope(const ICallScope&) = delete;
    ICallScope& operator=(const ICallScope&) = delete;

  private:
    ICanvas* mCanvas;
    ICanvasEditorDelegate* mDelegate;
  };

  // Closes canvas' window (CloseEditorWindow) and deletes canvas: at once,
  // or, when one of its scopes is held, once the outermost one ends (the
  // window still goes now). Nothing for null.
  static void Dispose(ICanvas* canvas);
  // Whether one of this canvas' scopes is held: the editor's own code runs.
  bool InCall() const { return mCallDepth > 0; }
  // Ends everything in progress, as the editor's close does, without
  // deleting anything: every capture is dropped (its gestures ended, no
  // release delivered), a corner drag ends, the hovered, edited and
  // menu-requesting controls are forgotten (a menu or text answer still to
  // come reaches nobody) and the deferred actions are dropped.
  void EndInteraction();

  // ---------------------------------------------------------------------
  // Input routing. Events are in logical pixels; events with a position that
  // is not finite are ignored.
  // ---------------------------------------------------------------------

  // The control under (x, y): the control pointerId is bound to, else an open
  // in-window menu or text entry, else the corner resizer (unless it is
  // concealed or ignores the pointer, as a control lying over it may ask),
  // else the topmost control of the list that takes the pointer. mouseOver
  // queries find nothing while MouseOverTracking is off and never the
  // background. capture binds pointerId to the answer.
  IControl* ControlUnderPointer(float x, float y, bool capture, bool mouseOver, uint64_t pointerId);
  // A press binds the pointer to the control under it, begins a host gesture
  // for each parameter the control's slots are bound to (once per parameter,
  // in slot order), then presses the control. Should a host answer a
  // gesture by dropping the binding (a size change, closing the editor), no
  // further gesture begins, the begun one is ended and the control is not
  // pressed. Another button of a pointer whose press goes on begins no new
  // gesture; a right one is ignored altogether (no context menu or prompt
  // in the middle of a drag).
  void HandlePointerDown(const IPointerEvent* events, int32_t count);
  // For each bound pointer: the control's release (it is still bound, so it
  // still refuses host values), then the end of its gestures, then the
  // binding goes.
  void HandlePointerUp(const IPointerEvent* events, int32_t count);
  // Moves reach the bound controls. While a text entry is open only the
  // in-window entry itself takes drags (to mark text); nothing else may
  // change under the value being typed.
  void HandlePointerDrag(const IPointerEvent* events, int32_t count);
  // Hover without buttons: OnPointerGone for the control left, then
  // OnPointerHover for the one under the pointer.
  void HandlePointerHover(float x, float y, const IPointerMods& mods);
  // The pointer left the window: the shape becomes the arrow,
  // OnPointerGone for every control.
  void HandlePointerLeave();
  // A double click: taken as a press by a control with DoubleAsPress, else
  // OnPointerDoublePress and every capture dropped. False: no control there.
  bool HandleDoublePress(const IPointerEvent& event);
  // notches: whole wheel steps. False: no control there.
  bool HandleWheel(float x, float y, const IPointerMods& mods, float notches);
  bool HandleFileDrop(float x, float y, const char* path);
  // A key over (x, y): the control there unless it is the background, then
  // the key handler. Answers whether the key was handled.
  bool OnKeyDown(float x, float y, const IKeyStroke& key);
  bool OnKeyUp(float x, float y, const IKeyStroke& key);

  // Whether a pointer is bound to control (a drag runs).
  bool IsCaptured(const IControl* control) const;
  int32_t CaptureCount() const { return static_cast<int32_t>(mCaptures.size()); }
  // Drops every capture: each pressed control gets its release at the last
  // position seen and the gestures begun for it are ended.
  void ReleaseAllCaptures();

  // ---------------------------------------------------------------------
  // Value prompts, text entry and menus.
  // ---------------------------------------------------------------------

  // Asks the user for a new value of control's slot valueIndex: a menu of
  // the parameter's display texts for list and on/off parameters that have
  // them, else a text entry with the current value. A list without display
  // texts gets the text entry too: an empty menu would offer no choice. A
  // menu is not asked for while another request waits (see OpenPopupMenu).
  void PromptParameterValue(IControl* control, const IBox& box, int32_t valueIndex);
  // Opens a text entry for control's slot valueIndex over box: the in-window
  // entry when one is installed, else the platform's field. The platform
  // shows one field at a time: while one is open the request is refused and
  // the edit in progress stays that field's. A field that cannot be opened
  // leaves no edit pending.
  void OpenTextEntry(IControl* control, const ITextStyle& style, const IBox& box, const char* text,
                     int32_t valueIndex);
  // The finished text (UTF-8) of the open entry: parsed into the edited
  // slot's parameter, else handed to the control's OnTextCommitted.
  void CommitTextEntry(const char* text);
  // The open entry was abandoned; nothing is committed.
  void CancelTextEntry();
  // Shows menu for control (in the editor when an in-window menu is
  // installed, else natively); the result reaches control through
  // DeliverMenuResult. menu must outlive the showing.
  // One request at a time: while an earlier request still waits for its
  // answer, or the in-window menu has not closed yet, the request is refused
  // (false, nothing changes), so an answer only ever reaches the control
  // that asked for the menu answered. It is refused as well, with the
  // pointer bindings already dropped, when a release that dropping ran
  // asked for a menu itself.
  bool OpenPopupMenu(IControl* control, IPopupMenu& menu, const IBox& anchor, int32_t valueIndex, bool isContext);
  // Whether OpenPopupMenu would refuse a request now.
  bool MenuRequestPending() const;
  // Hands the menu result (null: nothing chosen) to the waiting control.
  void DeliverMenuResult(IPopupMenu* chosen);
  // Lets control fill the canvas' context menu and offers it to the
  // delegate's OpenHostContextMenu (the host's menu); when the host shows
  // none, shows it at (x, y) when it holds any item. Nothing at all while a
  // menu request waits.
  void OpenContextMenuForControl(IControl* control, float x, float y);

  IPopupMenu& PromptMenu() { return mPromptMenu; }
  IControl* EditedControl() const { return mEditedControl; }
  int32_t EditedValueIndex() const { return mEditedValueIndex; }
  IControl* MenuRequester() const { return mMenuRequester; }
  int32_t MenuValueIndex() const { return mMenuValueIndex; }
  bool MenuIsContext() const { return mMenuIsContext; }

  // ---------------------------------------------------------------------
  // Hover, corner drag and platform state.
  // ---------------------------------------------------------------------

  IControl* MouseOverControl() const { return mMouseOverControl; }
  int32_t MouseOverIndex() const { return mMouseOverIndex; }
  bool MouseOverTracking() const { return mMouseOverTracking; }
  void SetMouseOverTracking(bool on) { mMouseOverTracking = on; }

  // A corner drag runs from the resizer's press to the next release.
  bool Resizing() const { return mResizing; }
  void SetResizing(bool on) { mResizing = on; }
  EResizeMode ResizeMode() const { return mResizeMode; }
  bool RelayoutOnResize() const { return mRelayoutOnResize; }
  float ResizeStartX() const { return mResizeStartX; }
  float ResizeStartY() const { return mResizeStartY; }

  EPointerShape PointerShape() const { return mPointerShape; }
  void* DrawingContextHandle() const { return mDrawingContextHandle; }
  bool TooltipsEnabled() const { return mTooltipsEnabled; }
  void SetTooltipsEnabled(bool on) { mTooltipsEnabled = on; }
  bool MultiTouchEnabled() const { return mMultiTouchEnabled; }
  void SetMultiTouchEnabled(bool on) { mMultiTouchEnabled = on; }

protected:
  // Pointer state the platform layer keeps.
  bool mPointerHidden = false;
  bool mPointerKeptInPlace = false;
  bool mPenOrTouchInput = false;
  float mLastPointerX = -1.0f;
  float mLastPointerY = -1.0f;

private:
  // One entry of the layer stack.
  struct IStackedLayer {
    ILayer* Layer = nullptr;
    bool Owned = false;  // made by BeginLayer and not yet handed out
  };
  // Pops the stack down to depth layers, deleting those it owns; the draw
  // target is left alone.
  void PopLayersTo(int32_t depth);

  // One pressed pointer.
  struct ICapture {
    IControl* Control = nullptr;
    // Tells this binding from a later one of the same pointer, for code that
    // calls out (to the host, to a control) and must find it again after.
    uint64_t Serial = 0;
    bool Pressed = false;                // the control got its press
    std::vector<int32_t> BegunGestures;  // parameters whose gesture began
    float LastX = 0.0f;
    float LastY = 0.0f;
    IPointerMods LastMods;
  };
  // 64-bit FNV-1a over the id's eight bytes, least significant first.
  struct IPointerIdHash {
    size_t operator()(uint64_t id) const;
  };
  using ICaptureMap = std::unordered_map<uint64_t, ICapture, IPointerIdHash>;

  void AttachLinks(IControl* control);
  void ResizeTail(bool scaleChanged);
  // Takes scale as the one in use, ending the drags first when it differs.
  void UseScreenScale(int32_t scale);
  void EndCapture(ICapture& capture, bool deliverRelease);
  void DropCaptures(bool deliverRelease);
  // Begins the gestures of the pointer's binding; false when the binding
  // was dropped meanwhile (the control must then not be pressed).
  bool BeginGestures(uint64_t pointerId);
  // The release of one pointer (HandlePointerUp).
  void ReleasePointer(const IPointerEvent& e);
  // The pointer's binding, when it is still the one numbered serial.
  ICapture* FindCapture(uint64_t pointerId, uint64_t serial);
  // The pointer's capture (if it still has one) got its press at the event's
  // position.
  void MarkPressed(const IPointerEvent& e);
  // The asked screen scale under the cap.
  int32_t CappedScreenScale() const;
  bool HasParam(int32_t paramIndex) const;
  IParam* ParamOfSlot(const IControl* control, int32_t valueIndex) const;
  void ForgetControls();
  void DeleteControls(bool endGestures);

  IPointerArray<IControl> mControls;
  IControl* mCornerResizer = nullptr;
  IMenuOverlay* mPopupMenuControl = nullptr;
  IEntryOverlay* mTextEntryControl = nullptr;
  IPopupMenu mPromptMenu;
  EPointerShape mPointerShape = EPointerShape::Arrow;
  int32_t mWidth;
  int32_t mHeight;
  int32_t mScreenScale = 1;
  int32_t mAskedScreenScale = 1;
  int32_t mScreenScaleCap = 0;
  int32_t mHostScreenScale = 0;
  float mDrawScale;
  int32_t mFramesPerSecond;
  ICaptureMap mCaptures;
  uint64_t mLastCaptureSerial = 0;
  IControl* mMouseOverControl = nullptr;
  IControl* mEditedControl = nullptr;
  IControl* mMenuRequester = nullptr;
  bool mMenuIsContext = false;
  int32_t mEditedValueIndex = -1;
  int32_t mMenuValueIndex = -1;
  int32_t mMouseOverIndex = -1;
  float mResizeStartX = -1.0f;
  float mResizeStartY = -1.0f;
  float mMinScale;
  float mMaxScale;
  int32_t mMinWidth;
  int32_t mMaxWidth;
  int32_t mMinHeight;
  int32_t mMaxHeight;
  bool mMouseOverTracking = false;
  bool mResizing = false;
  bool mRelayoutOnResize = false;
  EResizeMode mResizeMode = EResizeMode::Scale;
  IKeyHandler mKeyHandler;
  ITickHandler mTickHandler;
  ICanvasEditorDelegate* mDelegate;
  void* mDrawingContextHandle = nullptr;
  IBox mRegionClip;
  bool mTooltipsEnabled = false;
  bool mMultiTouchEnabled = false;
  std::deque<IStackedLayer> mLayerStack;
  std::deque<IDeferredAction> mDeferredActions;
  int32_t mCallDepth = 0;     // scopes held (ICallScope)
  bool mDisposed = false;     // Dispose waits for the outermost scope
};

} // namespace canvas
} // namespace plugkit
