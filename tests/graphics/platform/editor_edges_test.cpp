// The editor window at its edges: the native text field's colours, a field
// that cannot open, dialogs without a window, and a window that the host
// destroyed before the editor was closed (with a value being typed, too).
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "graphics/platform/ICanvasWin.h"
#include "graphics/records/DefaultConstants.h"
#include "tests/graphics/platform/dialog_closer.h"
#include "tests/graphics/platform/editor_harness.h"
#include "tests/support/message_pump.h"

namespace plugkit::canvas::test {
namespace {


bool Logged(const Log& log, const std::string& line) { return std::find(log.begin(), log.end(), line) != log.end(); }
bool LoggedStart(const Log& log, const std::string& start) {
  return std::any_of(log.begin(), log.end(), [&](const std::string& l) { return l.rfind(start, 0) == 0; });
}

// The field paints itself in the colours of the style it was opened with:
// it asks the editor for them (WM_CTLCOLOREDIT) while it has the focus.
TEST(EditorEdges, TheTextFieldTakesTheEntryColours) {
  EditorHarness h(1.0f, 1);
  ASSERT_TRUE(h.Open());
  ICanvasWin* editor = h.Editor();
  ITextStyle style = kStandardText;
  style.EntryBackColour = IArgb(255, 10, 120, 200);
  style.EntryTextColour = IArgb(255, 250, 240, 5);
  ASSERT_TRUE(editor->OpenTextField(-1, style, IBox(20, 20, 200, 50), 20, ""));
  ASSERT_EQ(editor->TextFieldState(), ETextFieldState::Focused);
  HWND field = static_cast<HWND>(editor->TextFieldWindow());

  // What the field asks its parent before it paints.
  HDC dc = CreateCompatibleDC(nullptr);
  const LRESULT brush = SendMessageA(h.Window(), WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc),
                                     reinterpret_cast<LPARAM>(field));
  EXPECT_EQ(reinterpret_cast<HGDIOBJ>(brush), GetStockObject(DC_BRUSH));
  EXPECT_EQ(GetDCBrushColor(dc), RGB(10, 120, 200));
  EXPECT_EQ(GetBkColor(dc), RGB(10, 120, 200));
  EXPECT_EQ(GetTextColor(dc), RGB(250, 240, 5));

  // And what it then paints: its empty client area in the background colour.
  RECT r = {};
  GetClientRect(field, &r);
  HDC screen = GetDC(nullptr);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, r.right, r.bottom);
  ReleaseDC(nullptr, screen);
  HGDIOBJ old = SelectObject(dc, bitmap);
  SendMessageA(field, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT | PRF_ERASEBKGND);
  EXPECT_EQ(GetPixel(dc, r.right - 3, r.bottom - 3), RGB(10, 120, 200));
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
  editor->AbortTextField();
  EXPECT_TRUE(PumpUntil("the field closed", [&] { return !editor->TextFieldIsOpen(); }));
}

// Refuses every native edit control this thread tries to create.
class EditRefusal {
public:
  EditRefusal() { mHook = SetWindowsHookExW(WH_CBT, Refuse, nullptr, GetCurrentThreadId()); }
  ~EditRefusal() { UnhookWindowsHookEx(mHook); }
  bool Hooked() const { return mHook != nullptr; }

private:
  static LRESULT CALLBACK Refuse(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND) {
      const auto* create = reinterpret_cast<const CBT_CREATEWNDW*>(lParam);
      const wchar_t* name = create->lpcs->lpszClass;
      if (!IS_INTRESOURCE(name) && _wcsicmp(name, L"EDIT") == 0) return 1;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
  }
  HHOOK mHook = nullptr;
};

// A text entry whose native field does not open leaves no edit behind (the
// control takes drags again); one asked for while a field is open is refused,
// and the open field's text still goes to the control it was opened for.
TEST(EditorEdges, AFieldThatDoesNotOpenLeavesNoEditPending) {
  ProbeControl* gain = nullptr;
  ProbeControl* steps = nullptr;
  EditorHarness h(1.0f, 1, [&](ICanvas& g) {
    gain = new ProbeControl(h.log, "gain", IBox(10, 10, 110, 40), RecordingDelegate::kGain);
    steps = new ProbeControl(h.log, "steps", IBox(10, 60, 110, 90), RecordingDelegate::kSteps);
    g.AdoptControl(gain);
    g.AdoptControl(steps);
  });
  ASSERT_TRUE(h.Open());
  ICanvasWin* editor = h.Editor();

  // The system refuses the field.
  {
    EditRefusal refusal;
    ASSERT_TRUE(refusal.Hooked());
    editor->PromptParameterValue(gain, gain->Bounds(), 0);
    EXPECT_FALSE(editor->TextFieldIsOpen());
    EXPECT_EQ(editor->EditedControl(), nullptr);
  }
  h.log.clear();
  h.Mouse(WM_LBUTTONDOWN, 20, 20, MK_LBUTTON);
  h.Mouse(WM_MOUSEMOVE, 30, 25, MK_LBUTTON);
  h.Mouse(WM_LBUTTONUP, 30, 25, 0);
  EXPECT_TRUE(Logged(h.log, "drag 30,25 gain")) << "drags reach the control again";

  // One field at a time: the second request changes nothing.
  editor->PromptParameterValue(gain, gain->Bounds(), 0);
  ASSERT_TRUE(editor->TextFieldIsOpen());
  HWND field = static_cast<HWND>(editor->TextFieldWindow());
  editor->PromptParameterValue(steps, steps->Bounds(), 0);
  EXPECT_EQ(editor->TextFieldWindow(), field);
  EXPECT_EQ(editor->EditedControl(), gain);
  EXPECT_EQ(editor->TextFieldOwner(), h.delegate.GetParam(RecordingDelegate::kGain));
  SetWindowTextW(field, L"3");
  SendMessageA(field, WM_KEYDOWN, VK_RETURN, 0);
  h.log.clear();
  ASSERT_TRUE(PumpUntil("the field committed", [&] { return !editor->TextFieldIsOpen(); }));
  EXPECT_TRUE(Logged(h.log, "set 0 0.03")) << "the text went to the gain";
  EXPECT_FALSE(LoggedStart(h.log, "set 2 ")) << "and not to the steps";
  EXPECT_EQ(editor->EditedControl(), nullptr);

  // No window: no field, no edit.
  h.Close();
  Log log;
  LayoutDelegate delegate(log);
  TestEditor closed(&delegate, 1.0f);
  auto* free = new ProbeControl(log, "free", IBox(10, 10, 110, 40), RecordingDelegate::kGain);
  closed.AdoptControl(free);
  closed.PromptParameterValue(free, free->Bounds(), 0);
  EXPECT_EQ(closed.EditedControl(), nullptr);
}

// Every dialog asked for without a window answers as if cancelled, without
// showing anything.
TEST(EditorEdges, DialogsWithoutAWindowShowNothing) {
  Log log;
  LayoutDelegate delegate(log);
  TestEditor editor(&delegate, 1.0f);
  {
    IStringBuffer folder("C:\\old\\");
    DialogCloser closer;
    editor.ChooseFolderDialog(folder);
    EXPECT_FALSE(closer.Acted()) << "no folder dialog";
    EXPECT_STREQ(folder.Get(), "");
  }
  {
    IStringBuffer file("preset.fxp"), folder("C:\\");
    DialogCloser closer;
    editor.ChooseFileDialog(file, folder, 0, "All Files (*.*)|*.*");
    EXPECT_FALSE(closer.Acted()) << "no file dialog";
    EXPECT_STREQ(file.Get(), "");
  }
  {
    IArgb colour(255, 1, 2, 3);
    DialogCloser closer;
    EXPECT_FALSE(editor.ChooseColourDialog(colour, "Colour", nullptr));
    EXPECT_FALSE(closer.Acted()) << "no colour dialog";
  }
}

// The host's frame for the editor, which the host destroys when it likes.
HWND MakeFrame(MessageWindow& host) {
  return CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 0, 0, 300, 200, host.Handle(), nullptr,
                         GetModuleHandleA(nullptr), nullptr);
}

// A host destroys the frame it opened the editor in, then opens the editor
// again in a new frame without having closed it: the editor notices the
// first window's end and opens anew, laid out and painting.
TEST(EditorEdges, TheEditorOpensAgainAfterTheHostDestroyedItsWindow) {
  const int threads = ThreadCount();
  Log deleted;
  EditorHarness h(1.0f, 1, [&](ICanvas& g) {
    g.AdoptControl(new SwatchControl(IBox(10, 10, 90, 90), IArgb(255, 255, 0, 0), -1, &deleted));
  });
  HWND frame = MakeFrame(h.parent);
  HWND first = static_cast<HWND>(h.delegate.AttachEditor(frame));
  ASSERT_TRUE(first);
  ICanvasWin* editor = h.Editor();
  ASSERT_TRUE(h.PumpUntilPainted(1));
  DestroyWindow(frame);
  EXPECT_FALSE(editor->HasNativeWindow());
  EXPECT_EQ(editor->NativeWindowHandle(), nullptr);

  frame = MakeFrame(h.parent);
  const uint32_t painted = editor->PaintedFrames();
  HWND second = static_cast<HWND>(editor->OpenEditorWindow(frame));
  ASSERT_TRUE(second);
  EXPECT_EQ(GetParent(second), frame);
  EXPECT_EQ(deleted, (Log{"swatch deleted"})) << "the old controls went, the layout ran again";
  EXPECT_EQ(EditorWindowCount(), 1);
  EXPECT_TRUE(h.PumpUntilPainted(painted + 1)) << "the new window paints";
  h.Close();
  DestroyWindow(frame);
  EXPECT_EQ(EditorWindowCount(), 0);
  WNDCLASSA wc;
  EXPECT_FALSE(GetClassInfoA(GetModuleHandleA(nullptr), "TPlugWndClass", &wc));
  EXPECT_EQ(wglGetCurrentContext(), nullptr);
  EXPECT_LE(ThreadCount(), threads);
}

// A host that destroys its frame while a value is being typed: the field
// goes with the window, what was typed reaches nobody, and no edit is left
// pending (one would keep every drag from the controls, and point at a
// control the next layout deletes).
TEST(EditorEdges, AValueBeingTypedWhenTheHostDestroysTheWindowIsDropped) {
  ProbeControl* gain = nullptr;
  EditorHarness h(1.0f, 1, [&](ICanvas& g) {
    gain = new ProbeControl(h.log, "gain", IBox(10, 10, 110, 40), RecordingDelegate::kGain);
    g.AdoptControl(gain);
  });
  HWND frame = MakeFrame(h.parent);
  ASSERT_TRUE(h.delegate.AttachEditor(frame));
  ICanvasWin* editor = h.Editor();
  ASSERT_TRUE(h.PumpUntilPainted(1));
  editor->PromptParameterValue(gain, gain->Bounds(), 0);
  ASSERT_TRUE(editor->TextFieldIsOpen());
  ASSERT_EQ(editor->EditedControl(), gain);
  SetWindowTextW(static_cast<HWND>(editor->TextFieldWindow()), L"3");
  h.log.clear();

  DestroyWindow(frame);
  EXPECT_FALSE(editor->HasNativeWindow());
  EXPECT_FALSE(editor->TextFieldIsOpen());
  EXPECT_EQ(editor->EditedControl(), nullptr) << "no edit is left pending";
  EXPECT_TRUE(PumpPostedMessages());
  EXPECT_FALSE(LoggedStart(h.log, "set 0 ")) << "the typed text reached nobody";
  h.Close();
}

} // namespace
} // namespace plugkit::canvas::test
