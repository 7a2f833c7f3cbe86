// The editor window: opening and closing, the message procedure, the display
// tick and painting, resizing.
#include "graphics/platform/ICanvasWin.h"

#include <windows.h>

#include <cmath>

#include "core/ISectionLock.h"
#include "graphics/ICanvasEditorDelegate.h"
#include "graphics/IControl.h"
#include "graphics/platform/MessageTranslation.h"
#include "graphics/platform/WinFontCaches.h"
#include "graphics/platform/WindowHandle.h"
#include "graphics/records/DefaultConstants.h"

namespace plugkit {
namespace canvas {

namespace {

const char kWindowClassName[] = "TPlugWndClass";
// The timer that ticks when no display-sync thread could be started.
constexpr UINT_PTR kTimerTickId = 2;
// Region data up to this size is painted rectangle by rectangle.
constexpr DWORD kMaxRegionData = 1024;

// Process-wide: how many editors' windows use the registered class.
ISectionLock& ClassLock() {
  static ISectionLock lock;
  return lock;
}
int32_t gWindowClassUsers = 0;

using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
GetDpiForWindowFn gGetDpiForWindow = nullptr;
bool gDpiLookedUp = false;

LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  return ICanvasWin::HandleWindowMessage(hwnd, message, wParam, lParam);
}

// The module this code lives in: the plug-in DLL, or the test program.
HINSTANCE OwnModule() {
  HMODULE module = nullptr;
  GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCSTR>(&WindowProc), &module);
  return module;
}

bool RetainWindowClass(HINSTANCE module) {
  ISectionGuard guard(ClassLock());
  if (gWindowClassUsers == 0) {
    WNDCLASSA wc = {};
    wc.style = CS_OWNDC | CS_DBLCLKS;
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = module;
    wc.lpszClassName = kWindowClassName;
    if (!RegisterClassA(&wc)) return false;
  }
  ++gWindowClassUsers;
  return true;
}

void ReleaseWindowClass(HINSTANCE module) {
  ISectionGuard guard(ClassLock());
  if (gWindowClassUsers > 0 && --gWindowClassUsers == 0) UnregisterClassA(kWindowClassName, module);
}

} // namespace

ICanvasWin::ICanvasWin(ICanvasEditorDelegate* delegate, int32_t width, int32_t height, int32_t framesPerSecond,
                       float drawScale)
    : ICanvasNanoVG(delegate, width, height, framesPerSecond, drawScale), mTextFieldStyle(kStandardText) {
  {
    ISectionGuard guard(ClassLock());
    if (!gDpiLookedUp) {
      gDpiLookedUp = true;
      if (HMODULE user = LoadLibraryA("user32.dll"))
        gGetDpiForWindow =
            reinterpret_cast<GetDpiForWindowFn>(reinterpret_cast<void*>(GetProcAddress(user, "GetDpiForWindow")));
    }
  }
  RetainWinFontCaches();
}

ICanvasWin::~ICanvasWin() {
  DestroyTextField();
  CloseCompletely();
  ReleaseWinFontCaches();
}

int32_t ICanvasWin::DisplayScaleOf(void* hwnd) const {
  // A host that sets the scale itself has sized its frame for it.
  if (HostScreenScale() > 0) return HostScreenScale();
  if (!hwnd || !gGetDpiForWindow) return 1;
  return DisplayScaleForDpi(gGetDpiForWindow(Hwnd(hwnd)));
}

void* ICanvasWin::OpenEditorWindow(void* parentWindow) {
  mParentWindow = parentWindow;
  const int32_t k = parentWindow ? DisplayScaleOf(parentWindow) : 1;
  int x = 0, y = 0;
  int w = DevicePixels(k, Width(), DrawScale());
  int h = DevicePixels(k, Height(), DrawScale());
  if (mWindow) {
    // The place in the parent's client area (a framed parent's window
    // rectangle would shift the editor by the frame on every reopening).
    RECT windowRect = {};
    GetWindowRect(Hwnd(mWindow), &windowRect);
    w = windowRect.right - windowRect.left;
    h = windowRect.bottom - windowRect.top;
    POINT origin = {windowRect.left, windowRect.top};
    if (parentWindow) MapWindowPoints(nullptr, Hwnd(parentWindow), &origin, 1);
    x = origin.x;
    y = origin.y;
  }
  // Also finishes the close of a window the host destroyed (or that closed
  // from inside the editor's own call): its drawing state is still here and
  // would not fit the new window's context.
  CloseCompletely();
  if (!mModule) mModule = OwnModule();
  HINSTANCE module = static_cast<HINSTANCE>(mModule);
  if (!RetainWindowClass(module)) return nullptr;
  mRegisteredClass = true;

  HWND hwnd = CreateWindowExA(0, kWindowClassName, "TPlug", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN,
                              x, y, w, h, Hwnd(parentWindow), nullptr, module, this);
  if (!hwnd) {
    mRegisteredClass = false;
    ReleaseWindowClass(module);
    return nullptr;
  }
  mWindow = hwnd;
  HDC dc = GetDC(hwnd);
  SetDrawingContextHandle(dc);
  ReleaseDC(hwnd, dc);  // CS_OWNDC: the window's own DC stays valid

  // The context is made and bound; from here every failure undoes it all.
  if (!CreateGlContext() || !OnSurfaceCreated()) {
    CloseWindowOnly();
    return nullptr;
  }
  ApplyScreenScale(k);
  // The host may close the editor in its answer to the size request: then
  // nothing more opens (the delete, waiting for the opening call, ends it).
  if (mWindow != hwnd) {
    UnbindGlContext();
    return nullptr;
  }
  if (Delegate()) Delegate()->RunEditorLayout(this);
  if (MultiTouchEnabled() && (GetSystemMetrics(SM_DIGITIZER) & NID_MULTI_INPUT)) RegisterTouchWindow(hwnd, 0);
  VisitAllControls([](IControl& c) { c.MarkChanged(false, -1); });
  if (TooltipsEnabled()) CreateTipWindow();
  UnbindGlContext();  // the thread's previous context is current again
  if (Delegate()) Delegate()->OnEditorShown();
  return mWindow;
}

void ICanvasWin::StopDisplaySync() {
  mSync.Stop();
  mTickGate.Reset();
}

void ICanvasWin::CloseEditorWindow() {
  if (!InCall()) {
    CloseCompletely();
    return;
  }
  // From inside the editor's own call (a host that answers it by closing the
  // editor): the window goes now, as if its host had destroyed it, and what
  // was in progress ends; the controls, whose code may be running, stay
  // with the drawing state until the delete, or a reopening, finishes.
  if (mWindow) {
    HWND hwnd = Hwnd(mWindow);
    ForgetWindow();
    DestroyWindow(hwnd);
  }
  EndInteraction();
}

void ICanvasWin::CloseCompletely() {
  // After the host destroyed the window there is no window, but the drawing
  // state and the class registration still wait for this.
  if (mClosing || (!mWindow && !mGlContext && !mRegisteredClass)) return;
  mClosing = true;
  StopDisplaySync();
  if (BindGlContext()) {
    RemoveEveryControl();
    OnSurfaceDestroyed();
    UnbindGlContext();
  } else {
    // Whatever context is current belongs to someone else (the host's own,
    // say): not one OpenGL call. The editor's objects go with its context.
    OnSurfaceLost();
  }
  DestroyGlContext();
  CloseWindowOnly();
  mClosing = false;
}

void ICanvasWin::OnWindowDestroyed() {
  ForgetWindow();
  // As a lost capture does: every press ends (with its release, its host
  // gestures) now, not when the editor closes later.
  ReleaseAllCaptures();
}

// The window is gone or going, and with it what lives only as long as it:
// the display ticks, the text field (whose edit is dropped), the tip, a
// hidden pointer, the press in progress. The drawing state and the class
// registration stay for CloseCompletely.
void ICanvasWin::ForgetWindow() {
  StopDisplaySync();
  if (mTextField) {
    DestroyTextField();
    CancelTextEntry();
  }
  ForgetWindowParts();
  if (mWindow) SetWindowLongPtrA(Hwnd(mWindow), GWLP_USERDATA, 0);
  mWindow = nullptr;
}

// Everything but the drawing state: the pointer, the text field, the tip,
// the window itself and the class registration.
void ICanvasWin::CloseWindowOnly() {
  StopDisplaySync();
  if (mGlContext) DestroyGlContext();
  DestroyTextField();
  ForgetWindowParts();
  if (mWindow) {
    HWND hwnd = Hwnd(mWindow);
    mWindow = nullptr;
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
    DestroyWindow(hwnd);
  }
  if (mRegisteredClass) {
    mRegisteredClass = false;
    ReleaseWindowClass(static_cast<HINSTANCE>(mModule));
  }
}

// What lives only as long as the window: its device context, a hidden
// pointer (a drag that hid it never ends now), the tip, touches.
void ICanvasWin::ForgetWindowParts() {
  SetDrawingContextHandle(nullptr);
  if (mPointerHidden) {
    ShowCursor(TRUE);
    mPointerHidden = false;
    mPointerKeptInPlace = false;
  }
  if (mTipWindow) {
    if (IsWindow(Hwnd(mTipWindow))) DestroyWindow(Hwnd(mTipWindow));
    mTipWindow = nullptr;
    mTipShown = false;
    mTipControlIndex = -1;
  }
  mTouchPoints.clear();
  mPressButton = 0;
}

intptr_t ICanvasWin::HandleWindowMessage(void* hwnd, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  HWND h = Hwnd(hwnd);
  if (message == WM_CREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
    auto* self = static_cast<ICanvasWin*>(create->lpCreateParams);
    SetWindowLongPtrA(h, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    if (self) {
      self->mTickGate.Reset();
      // Without a display-sync thread a 16 ms timer ticks instead (its
      // ticks carry 0, which the gate lets through while no thread posts).
      if (!self->mSync.Start(hwnd)) SetTimer(h, kTimerTickId, kFallbackTickMs, nullptr);
    }
    SetFocus(h);
    DragAcceptFiles(h, TRUE);
    return 0;
  }
  auto* self = reinterpret_cast<ICanvasWin*>(GetWindowLongPtrA(h, GWLP_USERDATA));
  if (!self || self->mWindow != hwnd) return DefWindowProcA(h, message, wParam, lParam);
  // The editor's code runs from here down, and whatever host call or modal
  // loop it makes may close the editor: the object lives until this returns.
  ICallScope call(self);
  return self->OnMessage(hwnd, message, wParam, lParam);
}

intptr_t ICanvasWin::OnMessage(void* hwnd, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  HWND h = Hwnd(hwnd);
  // Our own closing detaches the window before destroying it, so this is
  // someone else destroying it: a host that destroys its own window (and
  // so ours) before closing the editor.
  if (message == WM_NCDESTROY) {
    OnWindowDestroyed();
    return DefWindowProcA(h, message, wParam, lParam);
  }
  // The field asks for its colours while it has the focus.
  if (message == WM_CTLCOLOREDIT) return OnEditColours(wParam);
  if (mTextField && mTextFieldState == ETextFieldState::Focused) {
    if (message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN) {
      mTextFieldState = ETextFieldState::Cancel;
      return 0;
    }
    return DefWindowProcA(h, message, wParam, lParam);
  }
  // Input may change what is drawn without marking a control (a text field
  // state, a tip): the ticks run at full rate again at once.
  if ((message >= WM_KEYFIRST && message <= WM_KEYLAST) ||
      (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) || message == WM_MOUSEHOVER ||
      message == WM_MOUSELEAVE || message == WM_TOUCH || message == WM_DROPFILES)
    mSync.Wake();
  switch (message) {
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_ERASEBKGND:
      return 0;
    case WM_PAINT:
      return OnPaint(hwnd);
    case WM_CLOSE:
      // The delegate learns the editor is going while its controls still exist.
      if (Delegate()) Delegate()->OnEditorHidden();
      CloseEditorWindow();
      return 0;
    case WM_SETCURSOR:
      ChangePointerShape(PointerShape());
      return 0;
    case WM_GETDLGCODE:
      return DLGC_WANTALLKEYS;
    case WM_KEYDOWN:
    case WM_KEYUP:
      return OnKeyMessage(hwnd, message, wParam, lParam);
    case WM_TIMER:
      if (wParam == kTimerTickId) {
        OnDisplaySyncTick(0);
        return 0;
      }
      break;
    case WM_CAPTURECHANGED:
      // lParam is the window that gains the capture: ours, when the system
      // reports our own capture taken again.
      if (!mReleasingCapture && reinterpret_cast<HWND>(lParam) != h) {
        // Capture taken away mid-drag: show a hidden pointer and end the drag.
        if (mPointerHidden) SetPointerHidden(false, false);
        mPressButton = 0;
        ReleaseAllCaptures();
      }
      return 0;
    case WM_DROPFILES:
      OnDropFiles(wParam);
      return 0;
    case WM_TOUCH:
      OnTouchMessage(wParam, lParam);
      return 0;
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_MOUSEWHEEL:
    case WM_MOUSEHOVER:
    case WM_MOUSELEAVE:
      if (OnMouseMessage(message, wParam, lParam)) return 0;
      break;
    default:
      if (message == kDisplaySyncMessage) {
        OnDisplaySyncTick(static_cast<uint32_t>(wParam));
        return 0;
      }
      break;
  }
  return DefWindowProcA(h, message, wParam, lParam);
}

void ICanvasWin::OnDisplaySyncTick(uint32_t count) {
  if (!mTickGate.Accept(count, mSync.LastCount())) return;
  if (mTextField && mTextFieldState != ETextFieldState::None) {
    ApplyTextFieldState();
    return;
  }
  if (!mWindow || !GetBackendContext()) return;
  // Deferred work runs here, straight from the message handling with no
  // framework lock held, and the tick ends with it: a modal dialog's loop may
  // have closed the editor.
  if (HasDeferredActions()) {
    RunDeferredActions();
    return;
  }
  // Compared with the scale asked for last: one the host's window caps stays
  // capped rather than being asked for again on every tick.
  const int32_t k = DisplayScaleOf(mWindow);
  if (k != AskedScreenScale()) ApplyScreenScale(k);
  ++mTicksRun;
  const float s = Density();
  IBoxList boxes;
  if (!RunDisplayTick(boxes)) {
    if (!HasTickHandler() && !mTextField && !HasDeferredActions()) mSync.EnterIdle();
    return;
  }
  mSync.LeaveIdle();  // a control that wants drawing without being marked
  HWND hwnd = Hwnd(mWindow);
  for (const IBox& box : boxes) {
    const IPixelRect p = PixelRectForBox(box, s);
    const RECT r = {p.Left, p.Top, p.Right, p.Bottom};
    InvalidateRect(hwnd, &r, FALSE);
  }
  if (mTextField) {
    const IPixelRect p = PixelRectForBox(mTextFieldBox, s);
    const RECT r = {p.Left, p.Top, p.Right, p.Bottom};
    ValidateRect(hwnd, &r);
    UpdateWindow(hwnd);
    mTextFieldState = ETextFieldState::Shown;
  } else {
    UpdateWindow(hwnd);
    mTickGate.AfterPaint(count, mSync.LastCount());
  }
}

intptr_t ICanvasWin::OnPaint(void* hwnd) {
  HWND h = Hwnd(hwnd);
  const float s = Density();
  HRGN region = CreateRectRgn(0, 0, 0, 0);
  const int type = region ? GetUpdateRgn(h, region, FALSE) : ERROR;
  if ((type == SIMPLEREGION || type == COMPLEXREGION) && GetBackendContext()) {
    IBoxList boxes;
    bool listed = false;
    if (type == COMPLEXREGION) {
      const DWORD size = GetRegionData(region, 0, nullptr);
      if (size > 0 && size <= kMaxRegionData) {
        alignas(RGNDATA) unsigned char data[kMaxRegionData];
        if (GetRegionData(region, size, reinterpret_cast<RGNDATA*>(data)) == size) {
          const RGNDATA* rd = reinterpret_cast<const RGNDATA*>(data);
          const RECT* rects = reinterpret_cast<const RECT*>(rd->Buffer);
          for (DWORD i = 0; i < rd->rdh.nCount; ++i)
            boxes.Add(LogicalBoxForRect({rects[i].left, rects[i].top, rects[i].right, rects[i].bottom}, s));
          listed = true;
        }
      }
    }
    if (!listed) {
      RECT r = {};
      GetRgnBox(region, &r);
      boxes.Add(LogicalBoxForRect({r.left, r.top, r.right, r.bottom}, s));
    }
    PAINTSTRUCT ps;
    BeginPaint(h, &ps);
    if (BindGlContext()) {
      PaintRegions(boxes);
      SwapBuffers(static_cast<HDC>(DrawingContextHandle()));
      UnbindGlContext();
      ++mPaintedFrames;
    }
    EndPaint(h, &ps);
  }
  ValidateRect(h, nullptr);
  if (region) DeleteObject(region);
  return 0;
}

void ICanvasWin::ResizeNativeWindow(bool onlySelf) {
  if (!mWindow) return;
  HWND hwnd = Hwnd(mWindow);
  const int w = DevicePixels(ScreenScale(), Width(), DrawScale());
  const int h = DevicePixels(ScreenScale(), Height(), DrawScale());
  RECT r = {};
  GetWindowRect(hwnd, &r);
  const int dw = w - (r.right - r.left);
  const int dh = h - (r.bottom - r.top);
  auto isChild = [](HWND wnd) {
    return (GetWindowLongPtrA(wnd, GWL_STYLE) & WS_CHILD) && !(GetWindowLongPtrA(wnd, GWL_EXSTYLE) & WS_EX_MDICHILD);
  };
  HWND parent = nullptr, grandparent = nullptr;
  if (isChild(hwnd)) {
    parent = GetParent(hwnd);
    if (parent && isChild(parent)) grandparent = GetParent(parent);
  }
  if (dw == 0 && dh == 0) return;
  const UINT flags = SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE;
  SetWindowPos(hwnd, nullptr, 0, 0, w, h, flags);
  if (onlySelf) return;
  for (HWND outer : {parent, grandparent}) {
    if (!outer) continue;
    RECT o = {};
    GetWindowRect(outer, &o);
    SetWindowPos(outer, nullptr, 0, 0, (o.right - o.left) + dw, (o.bottom - o.top) + dh, flags);
  }
}

} // namespace canvas
} // namespace plugkit
