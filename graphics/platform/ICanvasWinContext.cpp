// The editor window's OpenGL context: creation with the OpenGL 2 entry
// points, binding around every drawing path, the back buffer.
#include "graphics/platform/ICanvasWin.h"

#include <windows.h>

#include "graphics/platform/GlEntryPoints.h"
#include "graphics/platform/GlPixelFormat.h"
#include "graphics/platform/WindowHandle.h"

namespace plugkit {
namespace canvas {

// Pixel format, context, binding, entry points. On failure the caller
// undoes everything through CloseWindowOnly (which deletes the context).
bool ICanvasWin::CreateGlContext() {
  HWND hwnd = Hwnd(mWindow);
  if (!hwnd) return false;
  HDC dc = GetDC(hwnd);
  if (!dc) return false;
  bool ok = gl::ApplyEditorPixelFormat(dc);
  if (ok) {
    mGlContext = wglCreateContext(dc);
    ok = mGlContext != nullptr;
  }
  ReleaseDC(hwnd, dc);
  if (!ok || !BindGlContext()) return false;
  // The entry points are resolved for this context; a driver without
  // OpenGL 2 leaves them unloaded and the NanoVG context is then refused.
  return gl::LoadGlEntryPoints();
}

void ICanvasWin::DestroyGlContext() {
  if (!mGlContext) return;
  HGLRC context = static_cast<HGLRC>(mGlContext);
  if (mBindDepth > 0) {
    mBindDepth = 1;
    UnbindGlContext();
  }
  if (wglGetCurrentContext() == context) wglMakeCurrent(nullptr, nullptr);
  wglDeleteContext(context);
  mGlContext = nullptr;
}

bool ICanvasWin::BindGlContext() {
  // Nothing to bind, and no screen DC either; a window that went while a
  // bind was open is no longer drawn on either.
  if (!mWindow || !mGlContext) return false;
  if (mBindDepth > 0) {
    ++mBindDepth;
    return true;
  }
  HWND hwnd = Hwnd(mWindow);
  HDC dc = GetDC(hwnd);
  if (!dc) return false;
  HDC savedDc = wglGetCurrentDC();
  HGLRC saved = wglGetCurrentContext();
  if (!wglMakeCurrent(dc, static_cast<HGLRC>(mGlContext))) {
    // A failed switch leaves no context current: the previous one comes back.
    ReleaseDC(hwnd, dc);
    if (saved && savedDc) wglMakeCurrent(savedDc, saved);
    return false;
  }
  mSavedDeviceContext = savedDc;
  mSavedGlContext = saved;
  mBindDepth = 1;
  return true;
}

void ICanvasWin::UnbindGlContext() {
  if (mBindDepth == 0 || --mBindDepth > 0) return;
  if (mWindow) ReleaseDC(Hwnd(mWindow), static_cast<HDC>(DrawingContextHandle()));
  HGLRC saved = static_cast<HGLRC>(mSavedGlContext);
  HDC savedDc = static_cast<HDC>(mSavedDeviceContext);
  if (saved && savedDc)
    wglMakeCurrent(savedDc, saved);
  else
    wglMakeCurrent(nullptr, nullptr);
  mSavedGlContext = nullptr;
  mSavedDeviceContext = nullptr;
}

void ICanvasWin::RebuildBackBuffer() {
  if (!BindGlContext()) return;
  ICanvasNanoVG::RebuildBackBuffer();
  UnbindGlContext();
}

} // namespace canvas
} // namespace plugkit
