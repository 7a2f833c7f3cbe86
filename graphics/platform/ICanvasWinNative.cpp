// Native menus, the native text field, dialogs, message boxes and the
// clipboard of the editor window.
#include "graphics/platform/ICanvasWin.h"

#include <windows.h>

#include <functional>
#include <string>

#include "core/IParam.h"
#include "graphics/ICanvasEditorDelegate.h"
#include "graphics/platform/Clipboard.h"
#include "graphics/platform/MessageTranslation.h"
#include "graphics/platform/NativeDialogs.h"
#include "graphics/platform/NativeMenu.h"
#include "graphics/platform/WideText.h"
#include "graphics/platform/WinFontCaches.h"
#include "graphics/platform/WindowHandle.h"

namespace plugkit {
namespace canvas {

namespace {

constexpr int kTextFieldId = 99;
// Initial texts that need more UTF-16 units than this (terminator included)
// open an empty field.
constexpr size_t kMaxInitialTextUnits = 32;
constexpr int kMaxFieldTextUnits = 256;

LRESULT CALLBACK TextFieldProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

struct IOwnerSearch {
  DWORD ProcessId;
  const char* ClassName;
  HWND Found;
};

BOOL CALLBACK MatchHostWindow(HWND hwnd, LPARAM param) {
  auto* search = reinterpret_cast<IOwnerSearch*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  if (pid != search->ProcessId) return TRUE;
  char name[129] = {};
  GetClassNameA(hwnd, name, sizeof name);
  if (std::string(name) != search->ClassName) return TRUE;
  search->Found = hwnd;
  return FALSE;
}

} // namespace

bool ICanvasWin::RunModalLoop(const std::function<void()>& loop) {
  // An alert may run without a window of the editor's; then none can go.
  void* const window = mWindow;
  loop();
  return mWindow == window;
}

IPopupMenu* ICanvasWin::RunPopupMenu(IPopupMenu& menu, const IBox& anchor, bool& answersLater) {
  answersLater = false;
  if (!mWindow) return nullptr;
  HWND hwnd = Hwnd(mWindow);
  // Ids start at 1 so that 0 can mean "nothing chosen".
  int32_t nextId = 1;
  HMENU hmenu = static_cast<HMENU>(BuildNativeMenu(menu, nextId));
  if (!hmenu) return nullptr;
  const float s = Density();
  POINT p = {static_cast<LONG>(s * anchor.Left), static_cast<LONG>(s * anchor.Bottom)};
  ClientToScreen(hwnd, &p);
  int command = 0;
  const bool open = RunModalLoop([&] {
    command = static_cast<int>(
        TrackPopupMenu(hmenu, TPM_LEFTBUTTON | TPM_RETURNCMD | TPM_NONOTIFY, p.x, p.y, 0, hwnd, nullptr));
  });
  DestroyMenu(hmenu);
  if (!open) return nullptr;
  IPopupMenu* result = nullptr;
  int32_t index = -1;
  if (command > 0) {
    if (IPopupMenu* found = FindMenuForCommand(menu, command - 1, index)) {
      found->ReportChoice(index);
      if (found->PickedIndex != -1) result = found;
    }
  }
  const RECT all = {0, 0, DevicePixels(ScreenScale(), Width(), DrawScale()),
                    DevicePixels(ScreenScale(), Height(), DrawScale())};
  InvalidateRect(hwnd, &all, FALSE);
  return result;
}

bool ICanvasWin::OpenTextField(int32_t paramIndex, const ITextStyle& style, const IBox& box, int32_t lengthLimit,
                               const char* text) {
  if (mTextField || !mWindow) return false;
  const float s = Density();
  const float l = box.Left * s, t = box.Top * s, r = box.Right * s, b = box.Bottom * s;
  std::wstring initial;
  if (!WideFromUtf8(text, initial, kMaxInitialTextUnits)) initial.clear();
  DWORD styleBits = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | ES_MULTILINE | ES_AUTOHSCROLL;
  styleBits |= style.HorizontalAlign == ETextHAlign::Left    ? ES_LEFT
               : style.HorizontalAlign == ETextHAlign::Right ? ES_RIGHT
                                                             : ES_CENTER;
  const int width = static_cast<int>(r - l) + 1, height = static_cast<int>(b - t) + 1;
  HWND field = CreateWindowExW(0, L"EDIT", initial.c_str(), styleBits, static_cast<int>(l), static_cast<int>(t),
                               width, height, Hwnd(mWindow), reinterpret_cast<HMENU>(kTextFieldId),
                               static_cast<HINSTANCE>(mModule), nullptr);
  if (!field) return false;
  mTextField = field;
  mSync.Wake();  // the field's states are handled by ticks
  mTextFieldFont = CreateTextFieldFont(style.FontName, s * style.FontSize, style.NoSmoothing);
  mTextFieldParam = Delegate() && paramIndex >= 0 ? Delegate()->GetParam(paramIndex) : nullptr;
  mTextFieldStyle = style;
  mTextFieldBox = box;
  mTextFieldState = ETextFieldState::None;
  SendMessageW(field, EM_LIMITTEXT, lengthLimit > 0 ? lengthLimit : 0, 0);
  if (mTextFieldFont) SendMessageW(field, WM_SETFONT, reinterpret_cast<WPARAM>(mTextFieldFont), FALSE);
  SendMessageW(field, EM_SETSEL, 0, -1);
  if (style.VerticalAlign == ETextVAlign::Centre) {
    RECT inner = {0, static_cast<LONG>(((b - t) - s * style.FontSize) * 0.5f), width, height};
    SendMessageW(field, EM_SETRECT, 0, reinterpret_cast<LPARAM>(&inner));
  }
  // Subclassed before the focus arrives, so that the field sees it.
  mTextFieldProc = reinterpret_cast<void*>(
      SetWindowLongPtrW(field, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TextFieldProc)));
  SetFocus(field);
  return true;
}

namespace {
LRESULT CALLBACK TextFieldProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  return ICanvasWin::HandleTextFieldMessage(hwnd, message, wParam, lParam);
}
} // namespace

intptr_t ICanvasWin::HandleTextFieldMessage(void* hwnd, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  HWND h = Hwnd(hwnd);
  auto* self = reinterpret_cast<ICanvasWin*>(GetWindowLongPtrA(GetParent(h), GWLP_USERDATA));
  if (!self || self->mTextField != hwnd || !self->mTextFieldProc) return DefWindowProcW(h, message, wParam, lParam);
  ICallScope call(self);
  WNDPROC previous = reinterpret_cast<WNDPROC>(self->mTextFieldProc);
  self->ClearTip();
  switch (message) {
    case WM_SETFOCUS:
      self->mTextFieldState = ETextFieldState::Focused;
      break;
    case WM_KILLFOCUS:
      self->mTextFieldState = ETextFieldState::Commit;
      break;
    case WM_GETDLGCODE: {
      LRESULT code = CallWindowProcW(previous, h, message, wParam, lParam);
      const MSG* m = reinterpret_cast<const MSG*>(lParam);
      if (m && m->message == WM_KEYDOWN && m->wParam == VK_RETURN) code |= DLGC_WANTALLKEYS;
      return code;
    }
    case WM_KEYDOWN:
      if (wParam == VK_RETURN) {
        self->mTextFieldState = ETextFieldState::Commit;
        return 0;
      }
      if (wParam == VK_ESCAPE) {
        self->mTextFieldState = ETextFieldState::Cancel;
        return 0;
      }
      break;
    case WM_CHAR:
      if (self->mTextFieldParam &&
          !TextFieldAcceptsCharacter(static_cast<int32_t>(self->mTextFieldParam->Kind()),
                                     static_cast<uint32_t>(wParam)))
        return 0;
      break;
    case WM_COMMAND:
      if (HIWORD(wParam) == 1) {
        self->mTextFieldState = ETextFieldState::Commit;
        return 0;
      }
      break;
    default:
      break;
  }
  return CallWindowProcW(previous, h, message, wParam, lParam);
}

void ICanvasWin::ApplyTextFieldState() {
  const ETextFieldState state = mTextFieldState;
  mTextFieldState = ETextFieldState::None;
  if (state == ETextFieldState::Cancel) {
    DestroyTextField();
    CancelTextEntry();  // the edited control is free again
  } else if (state == ETextFieldState::Commit) {
    wchar_t text[kMaxFieldTextUnits] = {};
    SendMessageW(Hwnd(mTextField), WM_GETTEXT, kMaxFieldTextUnits, reinterpret_cast<LPARAM>(text));
    IStringBuffer utf8;
    utf8.AssignWide(text);
    // The field goes first, so that whatever the commit opens finds none.
    DestroyTextField();
    CommitTextEntry(utf8.Get());
  }
}

void ICanvasWin::DestroyTextField() {
  if (!mTextField) return;
  HWND field = Hwnd(mTextField);
  // A field destroyed with its parent leaves only its record and font.
  const bool alive = IsWindow(field);
  if (alive && mTextFieldProc) SetWindowLongPtrW(field, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(mTextFieldProc));
  mTextField = nullptr;
  mTextFieldProc = nullptr;
  if (alive) DestroyWindow(field);
  if (mTextFieldFont) DeleteObject(static_cast<HFONT>(mTextFieldFont));
  mTextFieldFont = nullptr;
  mTextFieldParam = nullptr;
  mTextFieldState = ETextFieldState::None;
}

intptr_t ICanvasWin::OnEditColours(uintptr_t wParam) {
  HDC dc = reinterpret_cast<HDC>(wParam);
  const IArgb& back = mTextFieldStyle.EntryBackColour;
  const IArgb& fore = mTextFieldStyle.EntryTextColour;
  SetBkColor(dc, RGB(back.Red, back.Green, back.Blue));
  SetDCBrushColor(dc, RGB(back.Red, back.Green, back.Blue));
  SetTextColor(dc, RGB(fore.Red, fore.Green, fore.Blue));
  SetBkMode(dc, OPAQUE);
  return reinterpret_cast<intptr_t>(GetStockObject(DC_BRUSH));
}

void* ICanvasWin::FindAlertOwner() {
  if (mAlertOwner && IsWindow(Hwnd(mAlertOwner))) return mAlertOwner;
  mAlertOwner = nullptr;
  if (mParentWindow) {
    HWND top = Hwnd(mParentWindow);
    while (HWND up = GetParent(top)) top = up;
    char name[129] = {};
    GetClassNameA(top, name, sizeof name);
    mHostClassName.Assign(name);
    mAlertOwner = top;
  } else if (!mHostClassName.IsEmpty()) {
    mProcessId = GetCurrentProcessId();
    IOwnerSearch search = {mProcessId, mHostClassName.Get(), nullptr};
    EnumWindows(MatchHostWindow, reinterpret_cast<LPARAM>(&search));
    mAlertOwner = search.Found;
  }
  return mAlertOwner;
}

int32_t ICanvasWin::ShowAlertBox(const char* text, const char* caption, int32_t buttons, int32_t icon,
                                 IAlertDone done) {
  ReleaseAllCaptures();
  std::wstring wideText, wideCaption;
  WideFromUtf8(text, wideText);
  WideFromUtf8(caption, wideCaption);
  int32_t result = 0;
  // The box belongs to the host's window, so it may outlive the editor's.
  void* const owner = FindAlertOwner();
  const bool open = RunModalLoop(
      [&] { result = MessageBoxW(Hwnd(owner), wideText.c_str(), wideCaption.c_str(), AlertBoxType(buttons, icon)); });
  if (!open) return 0;
  if (done) done(result);
  return result;
}

bool ICanvasWin::ReadClipboardText(IStringBuffer& text) { return ReadClipboardUtf8(text); }

bool ICanvasWin::WriteClipboardText(const char* text) {
  // The clipboard needs an owner window: the host's when known, else ours.
  void* owner = FindAlertOwner();
  return WriteClipboardUtf8(owner ? owner : mWindow, text);
}

void ICanvasWin::ChooseFileDialog(IStringBuffer& file, IStringBuffer& folder, int32_t action, const char* filter) {
  if (!mWindow) {
    file.Clear();
    return;
  }
  // A closed editor's caller hears "cancelled": no file, its folder as it was.
  IStringBuffer startFolder(folder.Get());
  if (!RunModalLoop([&] { RunFileDialog(mWindow, file, folder, action, filter); })) {
    file.Clear();
    folder.Assign(startFolder.Get());
    return;
  }
  ReleaseAllCaptures();
}

void ICanvasWin::ChooseFolderDialog(IStringBuffer& folder) {
  // Like every dialog here: none without a window (it would open ownerless,
  // behind or apart from the host). Nothing is chosen.
  if (!mWindow) {
    folder.Clear();
    return;
  }
  if (!RunModalLoop([&] { RunFolderDialog(mWindow, folder); })) {
    folder.Clear();  // what a cancel leaves
    return;
  }
  ReleaseAllCaptures();
}

bool ICanvasWin::ChooseColourDialog(IArgb& colour, const char* prompt, IColourDone done) {
  ReleaseAllCaptures();
  if (!mWindow) return false;
  // Chosen into a copy: a closed editor's caller keeps the colour it had.
  IArgb chosen = colour;
  bool ok = false;
  if (!RunModalLoop([&] { ok = RunColourDialog(mWindow, chosen, prompt); }) || !ok) return false;
  colour = chosen;
  if (done) done(colour);
  return true;
}

bool ICanvasWin::OpenInBrowser(const char* url) { return OpenUrlWithShell(mWindow, url); }

bool ICanvasWin::ShowFileInExplorer(const char* path, bool select) { return RevealInExplorer(path, select); }

} // namespace canvas
} // namespace plugkit
