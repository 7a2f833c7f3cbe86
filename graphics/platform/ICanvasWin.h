#pragma once
// ICanvasWin: the editor on Windows. The only concrete graphics class:
// ICanvas > ICanvasPathBase > ICanvasNanoVG > ICanvasWin. It adds what needs
// Windows to the NanoVG back-end: a child window of class "TPlugWndClass" in
// the host's window with its message procedure, the window's OpenGL context,
// the display-sync thread whose ticks repaint dirty controls, pointer, wheel,
// key, touch and drop input, cursors, GDI fonts, native menus, the native
// text field, dialogs and the clipboard.
//
// Lifecycle: closed (no window) -> OpenEditorWindow -> open -> closed again
// by CloseEditorWindow, WM_CLOSE or the destructor. Both window procedures
// hold an ICanvas::ICallScope while they run, so the editor's own code
// never runs on a deleted object. A close from inside one (the host
// answering the editor's call by closing it) takes the window away at once
// and ends what is in progress (ICanvas::EndInteraction); the controls and
// the drawing state go with the delete, or the next opening. A menu or
// dialog whose loop saw the window go answers as if nothing was chosen.
// Opening while open closes first and reopens at the same place and size.
// When the window class, the window, its pixel format, the OpenGL context
// with its OpenGL 2 entry points or the NanoVG context cannot be made,
// opening returns null with the window, its context, its display-sync
// thread and the class registration gone again and the thread's previous
// OpenGL context current again. Two things stay as the attempt left them: a
// window open before is closed (opening closes it first), and the keyboard
// focus, which a new window takes as it is made, is not handed back.
//
// A host may destroy the window itself (destroying its own parent window)
// before it closes the editor, or delete the plug-in with the window gone.
// The editor notices (WM_NCDESTROY): the display-sync thread stops, the
// window handle is forgotten (HasNativeWindow false) and every press ends
// at once, with its release and the end of its host gestures, as a lost
// mouse capture ends it. The OpenGL context can then no longer be made
// current, so closing, deleting or reopening the editor frees its drawing
// state without any OpenGL call and lets its OpenGL objects go with its
// context: whatever context the host has current on this thread, and the
// host's objects, stay as they were.
//
// Drawing happens on display ticks, for the controls that want it: a tick
// whose controls are all clean paints nothing and calls no OpenGL function.
// Besides, the window repaints whatever part of it the system reports
// invalid (WM_PAINT), such as an area another window uncovered.
//
// Ownership: the object owns its window, OpenGL context, text field, tooltip
// window and display-sync thread. The delegate is not owned. Fonts returned
// by OpenSystemFont / OpenFontResource belong to the caller.
//
// Threads: everything runs on the thread that opened the window (the host's
// UI thread), except the display-sync thread, which only posts ticks and
// never sees this object (see DisplaySync.h).
//
// Windows handles are passed as void* so that users of this header need not
// include <windows.h>.

#include <cstdint>
#include <functional>
#include <memory>
#include <unordered_map>

#include "core/IStringBuffer.h"
#include "graphics/drawing/ICanvasNanoVG.h"
#include "graphics/platform/DisplaySync.h"
#include "graphics/records/ITextStyle.h"

namespace plugkit {
class IParam;
namespace canvas {

// States of the native text field.
enum class ETextFieldState : int32_t { None = 0, Focused = 1, Shown = 2, Cancel = 3, Commit = 4 };

class ICanvasWin : public ICanvasNanoVG {
public:
  // A GDI font as this layer found it (ICanvasWinFont.h).
  class Font;

  ICanvasWin(ICanvasEditorDelegate* delegate, int32_t width, int32_t height, int32_t framesPerSecond,
             float drawScale);
  ~ICanvasWin() override;

  // ---- Window (ICanvasWin.cpp). ----
  void* OpenEditorWindow(void* parentWindow) override;
  void CloseEditorWindow() override;
  void* NativeWindowHandle() override { return mWindow; }
  bool HasNativeWindow() override { return mWindow != nullptr; }
  void NotifyPopupMenuToggled() override {}
  const char* PlatformLabel() override { return "win32"; }
  void StoreModuleInstance(void* module) override { mModule = module; }
  void* ModuleInstance() override { return mModule; }
  int32_t DisplayScaleFactor() override { return ScreenScale(); }
  void ResizeNativeWindow(bool onlySelf) override;

  // The window procedure of "TPlugWndClass" (hwnd, message, wParam, lParam).
  static intptr_t HandleWindowMessage(void* hwnd, uint32_t message, uintptr_t wParam, intptr_t lParam);
  // The native text field's replacement window procedure.
  static intptr_t HandleTextFieldMessage(void* hwnd, uint32_t message, uintptr_t wParam, intptr_t lParam);
  // One display tick numbered count (0: a tick from a timer). A tick that
  // finds deferred actions (ICanvas::DeferAction) runs them and ends there,
  // since one may have closed the editor. A tick that finds nothing to
  // draw, no animation, no tick handler and no text field lets the
  // display-sync thread idle until WakeDisplayTicks or input.
  void OnDisplaySyncTick(uint32_t count);
  void WakeDisplayTicks() override { mSync.Wake(); }
  // Whether the display-sync thread currently idles (tests, benchmarks).
  bool TicksIdle() const { return mSync.Idle(); }

  // ---- OpenGL context (ICanvasWinContext.cpp). ----
  // True when the editor's context is current on its own live window (the
  // thread's previous context is restored by UnbindGlContext). Binds nest.
  // False, changing nothing, without a window or when the context cannot be
  // made current.
  bool BindGlContext() override;
  void UnbindGlContext() override;
  void RebuildBackBuffer() override;

  // ---- Pointer, keys, touch, cursors (ICanvasWinInput.cpp). ----
  bool QueryPointerPosition(float& x, float& y) override;
  void SetPointerHidden(bool hide, bool keepInPlace) override;
  void WarpPointerTo(float x, float y) override;
  EPointerShape ChangePointerShape(EPointerShape shape) override;
  bool HasMultiTouch() override;
  bool PointerHidden() const { return mPointerHidden; }

  // ---- Menus, text field, dialogs, clipboard (ICanvasWinNative.cpp). ----
  IPopupMenu* RunPopupMenu(IPopupMenu& menu, const IBox& anchor, bool& answersLater) override;
  // False, with nothing opened, when a field is open already, there is no
  // window or the system refuses the field.
  bool OpenTextField(int32_t paramIndex, const ITextStyle& style, const IBox& box, int32_t lengthLimit,
                     const char* text) override;
  void AbortTextField() override { mTextFieldState = ETextFieldState::Cancel; }
  void SetTextFieldStyle(const ITextStyle& style) override { mTextFieldStyle = style; }
  bool TextFieldIsOpen() override { return mTextField != nullptr; }
  IParam* TextFieldOwner() override { return mTextFieldParam; }
  void* TextFieldWindow() const { return mTextField; }
  ETextFieldState TextFieldState() const { return mTextFieldState; }
  bool ReadClipboardText(IStringBuffer& text) override;
  bool WriteClipboardText(const char* text) override;
  int32_t ShowAlertBox(const char* text, const char* caption, int32_t buttons, int32_t icon,
                       IAlertDone done) override;
  void ChooseFileDialog(IStringBuffer& file, IStringBuffer& folder, int32_t action, const char* filter) override;
  void ChooseFolderDialog(IStringBuffer& folder) override;
  bool ChooseColourDialog(IArgb& colour, const char* prompt, IColourDone done) override;
  bool OpenInBrowser(const char* url) override;
  bool ShowFileInExplorer(const char* path, bool select) override;

  // ---- Fonts (ICanvasWinFonts.cpp). ----
  PlatformFont* OpenSystemFont(const char* family, int32_t style) override;
  PlatformFont* OpenFontResource(const char* fontId, const char* fileOrResourceName) override;
  void RetainFontHandle(const char* fontId, PlatformFont* font) override;

  // Counters for tests and benchmarks: frames painted, ticks run.
  uint32_t PaintedFrames() const { return mPaintedFrames; }
  uint32_t TicksRun() const { return mTicksRun; }

protected:
  // The display scale of a window: round(DPI / 96), 1 without the DPI
  // service. Virtual so that tests can put the editor on another display.
  virtual int32_t DisplayScaleOf(void* hwnd) const;

private:
  // Parts of the window procedure.
  intptr_t OnMessage(void* hwnd, uint32_t message, uintptr_t wParam, intptr_t lParam);
  intptr_t OnPaint(void* hwnd);
  bool OnMouseMessage(uint32_t message, uintptr_t wParam, intptr_t lParam);
  intptr_t OnKeyMessage(void* hwnd, uint32_t message, uintptr_t wParam, intptr_t lParam);
  void OnTouchMessage(uintptr_t wParam, intptr_t lParam);
  void OnDropFiles(uintptr_t wParam);
  void OnMouseLeave();
  void OnMouseHover();
  intptr_t OnEditColours(uintptr_t wParam);
  void ApplyTextFieldState();

  // Opening and closing.
  // Everything CloseEditorWindow does outside the editor's own calls.
  void CloseCompletely();
  bool CreateGlContext();
  void DestroyGlContext();
  void CloseWindowOnly();
  void ForgetWindowParts();
  // WM_NCDESTROY of a window someone else destroyed.
  void OnWindowDestroyed();
  void ForgetWindow();
  void CreateTipWindow();
  void UpdateTipWindowText(const char* text);
  void ClearTip();
  float Density() const { return static_cast<float>(ScreenScale()) * DrawScale(); }
  void StopDisplaySync();

  // Runs a modal loop of the editor's (a menu, a dialog, a message box).
  // The host may close the editor meanwhile: false when the window it ran
  // for went (its answer is then dropped), else true.
  bool RunModalLoop(const std::function<void()>& loop);

  // Text field.
  void DestroyTextField();
  void* FindAlertOwner();

  void* mGlContext = nullptr;        // HGLRC
  void* mSavedGlContext = nullptr;   // HGLRC
  void* mSavedDeviceContext = nullptr;  // HDC
  int32_t mBindDepth = 0;            // nested binds restore only at the outermost
  bool mReleasingCapture = false;    // our own ReleaseCapture, not a lost capture
  uint32_t mPressButton = 0;         // MK_ bit of the button that began the press
  void* mModule = nullptr;           // HINSTANCE
  void* mWindow = nullptr;           // HWND
  void* mTextField = nullptr;        // HWND
  void* mTipWindow = nullptr;        // HWND
  void* mParentWindow = nullptr;     // HWND
  void* mAlertOwner = nullptr;       // HWND
  void* mTextFieldProc = nullptr;    // WNDPROC
  void* mTextFieldFont = nullptr;    // HFONT
  uint32_t mProcessId = 0;
  bool mRegisteredClass = false;     // this object counts in the class's users
  DisplaySyncThread mSync;
  DisplayTickGate mTickGate;
  IParam* mTextFieldParam = nullptr;
  ITextStyle mTextFieldStyle;
  IBox mTextFieldBox;
  ETextFieldState mTextFieldState = ETextFieldState::None;
  bool mTipShown = false;
  float mHidePointX = 0.0f;
  float mHidePointY = 0.0f;
  int32_t mTipControlIndex = -1;
  IStringBuffer mHostClassName;
  std::unordered_map<uint64_t, IPointerEvent> mTouchPoints;
  uint32_t mPaintedFrames = 0;
  uint32_t mTicksRun = 0;
  bool mClosing = false;
};

} // namespace canvas
} // namespace plugkit
