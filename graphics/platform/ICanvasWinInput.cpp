// Pointer, wheel, key, touch and drop messages to the canvas' routing;
// cursors, hiding and warping the pointer; the tooltip window.
#include "graphics/platform/ICanvasWin.h"

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>
#include <windowsx.h>

#include <cmath>
#include <vector>

#include "graphics/IControl.h"
#include "graphics/platform/MessageTranslation.h"
#include "graphics/platform/WindowHandle.h"

namespace plugkit {
namespace canvas {

namespace {
bool KeyDown(int vk) { return GetKeyState(vk) < 0; }
constexpr UINT kTipMaxWidth = 250;
constexpr uintptr_t kAnyButton = MK_LBUTTON | MK_RBUTTON | MK_MBUTTON;

// The MK_ bit of the button a button message is about.
uintptr_t ButtonOf(uint32_t message) {
  switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
      return MK_LBUTTON;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
      return MK_RBUTTON;
    default:
      return MK_MBUTTON;
  }
}
} // namespace

bool ICanvasWin::OnMouseMessage(uint32_t message, uintptr_t wParam, intptr_t lParam) {
  HWND hwnd = Hwnd(mWindow);
  const bool penSignature = IsPenSignature(static_cast<uintptr_t>(GetMessageExtraInfo()));
  if ((message >= WM_MOUSEMOVE && message <= WM_MBUTTONDBLCLK) || message == WM_MOUSEHOVER ||
      message == WM_MOUSELEAVE) {
    mPenOrTouchInput = penSignature;
    if (penSignature) mPointerKeptInPlace = false;
  }
  const float s = Density();
  const bool alt = KeyDown(VK_MENU);
  switch (message) {
    case WM_MOUSEMOVE: {
      if (penSignature) return true;  // touch arrives as WM_TOUCH
      IPointerEvent e = PointerEventFromMessage(lParam, wParam, s, alt);
      if ((wParam & (MK_LBUTTON | MK_RBUTTON)) == 0) {
        mLastPointerX = e.X;
        mLastPointerY = e.Y;
        HandlePointerHover(e.X, e.Y, e.Mods);
        if (MouseOverControl()) {
          TRACKMOUSEEVENT track = {};
          track.cbSize = sizeof track;
          track.dwFlags = TME_LEAVE;
          track.hwndTrack = hwnd;
          track.dwHoverTime = HOVER_DEFAULT;
          if (TooltipsEnabled() && MouseOverIndex() != mTipControlIndex) {
            if (MouseOverIndex() >= 0) track.dwFlags |= TME_HOVER;
            mTipControlIndex = MouseOverIndex();
            ClearTip();
          }
          TrackMouseEvent(&track);
        }
        return true;
      }
      if (GetCapture() != hwnd) return true;
      // An edit through the native text field: nothing may move under it.
      if (EditedControl() && !TextEntryControl()) return true;
      e.DeltaX = e.X - mLastPointerX;
      e.DeltaY = e.Y - mLastPointerY;
      if (e.DeltaX == 0.0f && e.DeltaY == 0.0f) return true;
      mLastPointerX = e.X;
      mLastPointerY = e.Y;
      HandlePointerDrag(&e, 1);
      if (mPointerKeptInPlace) WarpPointerTo(mHidePointX, mHidePointY);
      return true;
    }
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: {
      if (penSignature) return true;
      ClearTip();
      if (mTextField) {
        mTextFieldState = ETextFieldState::Commit;
        return true;
      }
      SetFocus(hwnd);
      // Taking the capture again would tell us it was lost (a second button
      // during a drag).
      if (GetCapture() != hwnd) SetCapture(hwnd);
      // The first button down begins the press, and its release ends it.
      if ((wParam & kAnyButton & ~ButtonOf(message)) == 0) mPressButton = static_cast<uint32_t>(ButtonOf(message));
      const IPointerEvent e = PointerEventFromMessage(lParam, wParam, s, alt);
      mLastPointerX = e.X;
      mLastPointerY = e.Y;
      HandlePointerDown(&e, 1);
      return true;
    }
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP: {
      // wParam holds the buttons still down. The press ends with the button
      // that began it: another one still held does not drive the control on
      // (nor does one let go of while the first is held end anything). The
      // window keeps the mouse until the last button is up.
      const bool othersHeld = (wParam & kAnyButton) != 0;
      if (othersHeld && ButtonOf(message) != mPressButton) return true;
      mPressButton = 0;
      if (!othersHeld) {
        mReleasingCapture = true;
        ReleaseCapture();
        mReleasingCapture = false;
      }
      const IPointerEvent e = PointerEventFromMessage(lParam, wParam, s, alt);
      mLastPointerX = e.X;
      mLastPointerY = e.Y;
      HandlePointerUp(&e, 1);
      return true;
    }
    case WM_LBUTTONDBLCLK: {
      if (penSignature) return true;
      const IPointerEvent e = PointerEventFromMessage(lParam, wParam, s, alt);
      mLastPointerX = e.X;
      mLastPointerY = e.Y;
      if ((wParam & kAnyButton & ~MK_LBUTTON) == 0) mPressButton = MK_LBUTTON;
      if (HandleDoublePress(e) && GetCapture() != hwnd) SetCapture(hwnd);
      return true;
    }
    case WM_MOUSEWHEEL: {
      if (mTextField) {
        mTextFieldState = ETextFieldState::Cancel;
        return true;
      }
      // The position is in screen pixels. It is converted here and not
      // remembered: a drag's last position stays in client units.
      POINT pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      ScreenToClient(hwnd, &pt);
      const IPointerEvent e = PointerEventFromMessage(MAKELPARAM(pt.x, pt.y), GET_KEYSTATE_WPARAM(wParam), s, alt);
      HandleWheel(e.X, e.Y, e.Mods, WheelNotches(wParam));
      return true;
    }
    case WM_MOUSEHOVER:
      OnMouseHover();
      return true;
    case WM_MOUSELEAVE:
      OnMouseLeave();
      return true;
    default:
      return false;
  }
}

void ICanvasWin::OnMouseHover() {
  const IControl* control = mTipControlIndex >= 0 ? ControlAt(mTipControlIndex) : nullptr;
  if (!control) return;
  UpdateTipWindowText(control->HintText());
  mTipShown = true;
}

void ICanvasWin::OnMouseLeave() {
  ClearTip();
  // The arrow is shown, but the shape in force is remembered so that the
  // next WM_SETCURSOR inside the window shows it again.
  const EPointerShape before = PointerShape();
  HandlePointerLeave();
  ICanvas::ChangePointerShape(before);
}

intptr_t ICanvasWin::OnKeyMessage(void* hwnd, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  HWND h = Hwnd(hwnd);
  const float s = Density();
  POINT p = {};
  GetCursorPos(&p);
  ScreenToClient(h, &p);
  BYTE state[256] = {};
  GetKeyboardState(state);
  wchar_t out[4] = {};
  const int produced =
      ToUnicode(static_cast<UINT>(wParam), static_cast<UINT>((lParam >> 16) & 0xFF), state, out, 3, 0);
  if (produced == 0 || produced == 1) {
    IKeyStroke key = KeyStrokeFromKey(static_cast<int32_t>(wParam), 0, 0, KeyDown(VK_SHIFT), KeyDown(VK_CONTROL),
                                      KeyDown(VK_MENU));
    if (produced == 1) {
      char utf8[8] = {};
      out[1] = 0;
      WideCharToMultiByte(CP_UTF8, 0, out, -1, utf8, sizeof utf8, nullptr, nullptr);
      key.SetText(utf8);
    }
    const float x = p.x / s, y = p.y / s;
    const bool handled = message == WM_KEYDOWN ? OnKeyDown(x, y, key) : OnKeyUp(x, y, key);
    if (handled) return 0;
  }
  // Not ours (or a dead key followed by another): the host sees it.
  HWND root = GetAncestor(h, GA_ROOT);
  if (root && root != h) SendMessageA(root, message, wParam, lParam);
  return DefWindowProcA(h, message, wParam, lParam);
}

void ICanvasWin::OnTouchMessage(uintptr_t wParam, intptr_t lParam) {
  const UINT count = LOWORD(wParam);
  HTOUCHINPUT input = reinterpret_cast<HTOUCHINPUT>(lParam);
  if (count == 0) return;
  std::vector<TOUCHINPUT> inputs(count);
  if (!GetTouchInputInfo(input, count, inputs.data(), sizeof(TOUCHINPUT))) {
    CloseTouchInputHandle(input);
    return;
  }
  const float s = Density();
  std::vector<IPointerEvent> presses, releases, drags;
  for (const TOUCHINPUT& t : inputs) {
    POINT pt = {t.x / 100, t.y / 100};
    ScreenToClient(Hwnd(mWindow), &pt);
    IPointerEvent e;
    e.X = pt.x / s;
    e.Y = pt.y / s;
    e.Mods.PointerId = t.dwID;
    e.Mods.ContactRadius = (t.dwMask & TOUCHINPUTMASKF_CONTACTAREA) ? static_cast<float>(t.cxContact) : 0.0f;
    if (t.dwFlags & TOUCHEVENTF_DOWN) {
      presses.push_back(e);
      mTouchPoints[t.dwID] = e;
    } else if (t.dwFlags & TOUCHEVENTF_UP) {
      mTouchPoints.erase(t.dwID);
      releases.push_back(e);
    } else if (t.dwFlags & TOUCHEVENTF_MOVE) {
      auto found = mTouchPoints.find(t.dwID);
      if (found != mTouchPoints.end()) {
        e.DeltaX = e.X - found->second.X;
        e.DeltaY = e.Y - found->second.Y;
      }
      drags.push_back(e);
      mTouchPoints[t.dwID] = e;
    }
  }
  if (!presses.empty()) HandlePointerDown(presses.data(), static_cast<int32_t>(presses.size()));
  if (!releases.empty()) HandlePointerUp(releases.data(), static_cast<int32_t>(releases.size()));
  if (!drags.empty()) HandlePointerDrag(drags.data(), static_cast<int32_t>(drags.size()));
  CloseTouchInputHandle(input);
}

void ICanvasWin::OnDropFiles(uintptr_t wParam) {
  HDROP drop = reinterpret_cast<HDROP>(wParam);
  wchar_t path[1024] = {};
  POINT pt = {};
  if (DragQueryFileW(drop, 0, path, 1024) > 0 && DragQueryPoint(drop, &pt)) {
    IStringBuffer utf8;
    utf8.AssignWide(path);
    const float s = Density();
    HandleFileDrop(pt.x / s, pt.y / s, utf8.Get());
  }
  DragFinish(drop);
}

bool ICanvasWin::QueryPointerPosition(float& x, float& y) {
  POINT p = {};
  if (!mWindow || !GetCursorPos(&p)) return false;
  const bool ok = ScreenToClient(Hwnd(mWindow), &p);
  const float s = Density();
  x = p.x / s;
  y = p.y / s;
  return ok;
}

void ICanvasWin::SetPointerHidden(bool hide, bool keepInPlace) {
  if (hide == mPointerHidden) return;
  if (hide) {
    mHidePointX = mLastPointerX;
    mHidePointY = mLastPointerY;
    ShowCursor(FALSE);
    mPointerHidden = true;
    mPointerKeptInPlace = keepInPlace && !mPenOrTouchInput;
  } else {
    if (mPointerKeptInPlace) WarpPointerTo(mHidePointX, mHidePointY);
    ShowCursor(TRUE);
    mPointerHidden = false;
    mPointerKeptInPlace = false;
  }
}

void ICanvasWin::WarpPointerTo(float x, float y) {
  if (mPenOrTouchInput || !mWindow) return;
  HWND hwnd = Hwnd(mWindow);
  const float s = Density();
  POINT p = {static_cast<LONG>(std::lround(x * s)), static_cast<LONG>(std::lround(y * s))};
  ClientToScreen(hwnd, &p);
  if (!SetCursorPos(p.x, p.y)) return;
  POINT reached = {};
  GetCursorPos(&reached);
  ScreenToClient(hwnd, &reached);
  mLastPointerX = reached.x / s;
  mLastPointerY = reached.y / s;
  if (mPointerHidden && !mPointerKeptInPlace) {
    mHidePointX = mLastPointerX;
    mHidePointY = mLastPointerY;
  }
}

EPointerShape ICanvasWin::ChangePointerShape(EPointerShape shape) {
  const int32_t id = SystemCursorId(static_cast<int32_t>(shape));
  SetCursor(LoadCursorA(nullptr, MAKEINTRESOURCEA(id)));
  return ICanvas::ChangePointerShape(shape);
}

bool ICanvasWin::HasMultiTouch() { return (GetSystemMetrics(SM_DIGITIZER) & NID_MULTI_INPUT) != 0; }

void ICanvasWin::CreateTipWindow() {
  INITCOMMONCONTROLSEX init = {};
  init.dwSize = sizeof init;
  init.dwICC = ICC_TAB_CLASSES;
  HWND tip = nullptr;
  if (InitCommonControlsEx(&init))
    tip = CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr,
                          WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT,
                          CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, Hwnd(mWindow), nullptr,
                          static_cast<HINSTANCE>(mModule), nullptr);
  if (!tip) {
    SetTooltipsEnabled(false);
    return;
  }
  SetWindowPos(tip, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
  TOOLINFOA info = {};
  info.cbSize = sizeof info;  // the record of this build
  info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  info.hwnd = Hwnd(mWindow);
  info.uId = reinterpret_cast<UINT_PTR>(mWindow);
  SendMessageA(tip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&info));
  SendMessageA(tip, TTM_SETMAXTIPWIDTH, 0, kTipMaxWidth);
  mTipWindow = tip;
}

void ICanvasWin::UpdateTipWindowText(const char* text) {
  if (!mTipWindow) return;
  TOOLINFOA info = {};
  info.cbSize = sizeof info;
  info.hwnd = Hwnd(mWindow);
  info.uId = reinterpret_cast<UINT_PTR>(mWindow);
  info.lpszText = const_cast<char*>(text);
  SendMessageA(Hwnd(mTipWindow), TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&info));
}

void ICanvasWin::ClearTip() {
  if (!mTipShown) return;
  UpdateTipWindowText(nullptr);
  mTipShown = false;
}

} // namespace canvas
} // namespace plugkit
