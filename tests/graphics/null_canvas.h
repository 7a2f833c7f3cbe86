#pragma once
// A canvas with neither a platform nor a drawing back-end, for tests of the
// canvas logic. Every operation ICanvas leaves to those layers does nothing
// and answers the plain failure (false, null, zero, an empty colour); no
// window is open and native menus answer at once with no choice. Test
// canvases derive from it and override only what they record or answer
// differently. NullPlatform<Base> adds only the platform half, for tests of
// a real drawing back-end; NullBackend<Base> only the back-end's answers.

#include <cstdint>

#include "graphics/ICanvas.h"

namespace plugkit::canvas::test {

template <class Base>
class NullPlatform : public Base {
public:
  using Base::Base;

  // Window, input devices and dialogs.
  void* OpenEditorWindow(void*) override { return nullptr; }
  void CloseEditorWindow() override {}
  void* NativeWindowHandle() override { return nullptr; }
  bool QueryPointerPosition(float&, float&) override { return false; }
  void SetPointerHidden(bool, bool) override {}
  void WarpPointerTo(float, float) override {}
  bool OpenTextField(int32_t, const ITextStyle&, const IBox&, int32_t, const char*) override { return true; }
  void AbortTextField() override {}
  IPopupMenu* RunPopupMenu(IPopupMenu&, const IBox&, bool& answersLater) override {
    answersLater = false;
    return nullptr;
  }
  void NotifyPopupMenuToggled() override {}
  bool ReadClipboardText(IStringBuffer&) override { return false; }
  bool WriteClipboardText(const char*) override { return false; }
  int32_t ShowAlertBox(const char*, const char*, int32_t, int32_t, ICanvas::IAlertDone) override { return 0; }
  void ChooseFileDialog(IStringBuffer&, IStringBuffer&, int32_t, const char*) override {}
  void ChooseFolderDialog(IStringBuffer&) override {}
  bool ChooseColourDialog(IArgb&, const char*, ICanvas::IColourDone) override { return false; }
  bool OpenInBrowser(const char*) override { return false; }
  PlatformFont* OpenSystemFont(const char*, int32_t) override { return nullptr; }
  PlatformFont* OpenFontResource(const char*, const char*) override { return nullptr; }
  void RetainFontHandle(const char*, PlatformFont*) override {}
};

// The back-end's answers of a canvas that draws nothing: no text, no
// images, no layers, no fonts.
template <class Base>
class NullBackend : public Base {
public:
  using Base::Base;

  float MeasureTextRun(const ITextStyle&, const char*, IBox&) override { return 0.0f; }
  void RenderTextRun(const ITextStyle&, const char*, const IBox&, const IComposite*) override {}

  IArgb SamplePixel(float, float) override { return IArgb(); }
  void* GetBackendContext() override { return nullptr; }
  const char* GetBackendName() override { return ""; }
  bool IsImageExtensionSupported(const char*) override { return false; }
  void ReadLayerPixels(ILayer&, IHeapBlock&) override {}
  void ApplyLayerShadow(ILayer&, const IHeapBlock&, const IDropShadow&) override {}
  APIBitmap* DecodeImageSource(const char*, int32_t, int32_t, const char*) override { return nullptr; }
  APIBitmap* DecodeImageBytes(const void*, int32_t, int32_t) override { return nullptr; }
  APIBitmap* CreateLayerImage(int32_t, int32_t, int32_t, float) override { return nullptr; }
  bool AddBackendFont(const char*, PlatformFont*) override { return false; }
  int32_t PixelAlphaIndex() override { return 0; }
  bool LayerRowsBottomUp() override { return false; }
};

class NullCanvas : public NullBackend<NullPlatform<ICanvas>> {
public:
  using NullBackend<NullPlatform<ICanvas>>::NullBackend;

  // Device pixels per logical pixel, as a back-end would report them.
  float PixelDensity() override { return static_cast<float>(ScreenScale()) * DrawScale(); }

  // Drawing.
  void PaintVectorImage(const IVectorImage&, const IBox&, const IComposite*) override {}
  void PaintVectorImageTurned(const IVectorImage&, float, float, float, float, double, const IComposite*) override {}
  void PaintImage(const IImageHandle&, const IBox&, int32_t, int32_t, const IComposite*) override {}
  void PaintImageStretched(const IImageHandle&, const IBox&, const IComposite*) override {}
  void PaintImageTurned(const IImageHandle&, float, float, double, const IComposite*) override {}
  void PlotPixel(IArgb, float, float, const IComposite*) override {}
  void OutlineSegment(IArgb, float, float, float, float, const IComposite*, float) override {}
  void OutlineDashedSegment(IArgb, float, float, float, float, const IComposite*, float, float) override {}
  void OutlineTriangle(IArgb, float, float, float, float, float, float, const IComposite*, float) override {}
  void OutlineBox(IArgb, const IBox&, const IComposite*, float) override {}
  void OutlineRoundedBoxCorners(IArgb, const IBox&, float, float, float, float, const IComposite*, float) override {}
  void OutlineRoundedBox(IArgb, const IBox&, float, const IComposite*, float) override {}
  void OutlineArc(IArgb, float, float, float, float, float, const IComposite*, float) override {}
  void OutlineCircle(IArgb, float, float, float, const IComposite*, float) override {}
  void OutlineOval(IArgb, float, float, float, float, float, const IComposite*, float) override {}
  void OutlineOvalInBox(IArgb, const IBox&, const IComposite*, float) override {}
  void OutlinePolygon(IArgb, const float*, const float*, int32_t, const IComposite*, float) override {}
  void OutlineDashedBox(IArgb, const IBox&, const IComposite*, float, float) override {}
  void FloodTriangle(IArgb, float, float, float, float, float, float, const IComposite*) override {}
  void FloodBox(IArgb, const IBox&, const IComposite*) override {}
  void FloodRoundedBoxCorners(IArgb, const IBox&, float, float, float, float, const IComposite*) override {}
  void FloodRoundedBox(IArgb, const IBox&, float, const IComposite*) override {}
  void FloodCircle(IArgb, float, float, float, const IComposite*) override {}
  void FloodOval(IArgb, float, float, float, float, float, const IComposite*) override {}
  void FloodOvalInBox(IArgb, const IBox&, const IComposite*) override {}
  void FloodPie(IArgb, float, float, float, float, float, const IComposite*) override {}
  void FloodPolygon(IArgb, const float*, const float*, int32_t, const IComposite*) override {}
  void StartRegionPaint(const IBox&) override {}
};

} // namespace plugkit::canvas::test
