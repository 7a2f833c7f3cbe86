#include <windows.h>

#include "tests/graphics/drawing/gl_surface.h"

#include <cstdio>
#include <cstdlib>

#include "graphics/drawing/NanoVGApi.h"
#include "graphics/platform/GlEntryPoints.h"
#include "graphics/platform/GlPixelFormat.h"

namespace plugkit::canvas::test {

namespace {

const wchar_t kClassName[] = L"PlugkitDrawingTestSurface";

ATOM RegisterSurfaceClass() {
  static ATOM atom = 0;
  if (atom) return atom;
  WNDCLASSW wc = {};
  wc.style = CS_OWNDC;
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = kClassName;
  atom = RegisterClassW(&wc);
  return atom;
}

} // namespace

GlSurface::GlSurface() {
  if (!RegisterSurfaceClass()) {
    mFailure = "window class not registered";
    return;
  }
  HWND window = CreateWindowExW(0, kClassName, L"", WS_POPUP, 0, 0, 64, 64, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
  mWindow = window;
  if (!window) {
    mFailure = "no window (is DISPLAY set?)";
    return;
  }
  HDC dc = GetDC(window);
  mDc = dc;
  if (!gl::ApplyEditorPixelFormat(dc)) {
    mFailure = "no pixel format";
    return;
  }
  HGLRC context = wglCreateContext(dc);
  mContext = context;
  if (!context || !wglMakeCurrent(dc, context)) {
    mFailure = "no OpenGL context";
    return;
  }
  gl::IGlEntryPointReport report;
  if (!gl::LoadGlEntryPoints(&report)) {
    mFailure = std::string("entry point missing: ") + (report.FirstMissing ? report.FirstMissing : "?");
    return;
  }
  mReady = true;
}

bool GlSurface::MakeCurrent() {
  return mContext && wglMakeCurrent(static_cast<HDC>(mDc), static_cast<HGLRC>(mContext));
}

GlSurface::~GlSurface() {
  if (mContext) {
    wglMakeCurrent(nullptr, nullptr);
    wglDeleteContext(static_cast<HGLRC>(mContext));
  }
  if (mDc) ReleaseDC(static_cast<HWND>(mWindow), static_cast<HDC>(mDc));
  if (mWindow) DestroyWindow(static_cast<HWND>(mWindow));
}

GlSurface& SharedSurface() {
  static GlSurface* surface = new GlSurface();
  return *surface;
}

bool Near(const Rgba& a, const Rgba& e, int tolerance) {
  return std::abs(a.R - e.R) <= tolerance && std::abs(a.G - e.G) <= tolerance && std::abs(a.B - e.B) <= tolerance &&
         std::abs(a.A - e.A) <= tolerance;
}

std::string Text(const Rgba& c) {
  char text[48];
  std::snprintf(text, sizeof text, "(%d,%d,%d,%d)", c.R, c.G, c.B, c.A);
  return text;
}

bool PixelCanvas::Open() {
  if (!OnSurfaceCreated()) return false;
  RebuildBackBuffer();
  return MainFramebuffer() != nullptr;
}

std::vector<Rgba> PixelCanvas::Pixels() {
  const int32_t w = SurfaceWidth(), h = SurfaceHeight();
  std::vector<Rgba> pixels;
  if (!MainFramebuffer() || w < 1 || h < 1) return pixels;
  std::vector<unsigned char> bytes(static_cast<size_t>(w) * h * 4);
  nvgluBindFramebuffer(MainFramebuffer());
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, w, h, GL_RGBA, GL_UNSIGNED_BYTE, bytes.data());
  nvgluBindFramebuffer(nullptr);
  pixels.resize(static_cast<size_t>(w) * h);
  // OpenGL rows run bottom up.
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) {
      const unsigned char* p = &bytes[(static_cast<size_t>(h - 1 - y) * w + x) * 4];
      pixels[static_cast<size_t>(y) * w + x] = Rgba{p[0], p[1], p[2], p[3]};
    }
  return pixels;
}

Rgba PixelCanvas::PixelAt(int32_t x, int32_t y) {
  const std::vector<Rgba> pixels = Pixels();
  const int32_t w = SurfaceWidth(), h = SurfaceHeight();
  if (x < 0 || y < 0 || x >= w || y >= h || pixels.empty()) return Rgba{-1, -1, -1, -1};
  return pixels[static_cast<size_t>(y) * w + x];
}

Rgba PixelCanvas::WindowPixelAt(int32_t x, int32_t y) {
  const int32_t h = SurfaceHeight();
  if (x < 0 || y < 0 || x >= SurfaceWidth() || y >= h) return Rgba{-1, -1, -1, -1};
  unsigned char p[4] = {};
  nvgluBindFramebuffer(nullptr);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  // The copy fills the window from its bottom-left corner.
  glReadPixels(x, h - 1 - y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
  return Rgba{p[0], p[1], p[2], p[3]};
}

bool BoundCanvas::BindGlContext() {
  if (refuseBind) return false;
  if (mDepth++ > 0) return true;
  mSavedDc = wglGetCurrentDC();
  mSavedContext = wglGetCurrentContext();
  return mSurface.MakeCurrent();
}

void BoundCanvas::UnbindGlContext() {
  if (mDepth == 0 || --mDepth > 0) return;
  if (mSavedContext) wglMakeCurrent(static_cast<HDC>(mSavedDc), static_cast<HGLRC>(mSavedContext));
  else wglMakeCurrent(nullptr, nullptr);
}

} // namespace plugkit::canvas::test
