// The in-window text entry, driven through the canvas with presses, drags
// and keys: editing, selection, undo, filters, clipboard, commit and cancel,
// the cursor blink and drawing.

#include <gtest/gtest.h>

#include <cctype>

#include "graphics/controls/IPopupMenuControl.h"
#include "graphics/controls/ITextEntryControl.h"
#include "graphics/records/DefaultConstants.h"
#include "tests/graphics/controls/stock_fixture.h"
#include "tests/support/wait.h"

namespace plugkit::canvas::test {
namespace {

using ::plugkit::test::WaitUntil;

constexpr int32_t kVkLeft = 37, kVkRight = 39, kVkHome = 36, kVkEnd = 35, kVkPageUp = 33, kVkPageDown = 34,
                  kVkDelete = 46, kVkBack = 8, kVkEnter = 13, kVkEscape = 27, kVkTab = 9;

// The key a US keyboard sends for c.
IKeyStroke KeyFor(char c) {
  const char text[2] = {c, '\0'};
  if (std::isalpha(static_cast<unsigned char>(c)))
    return Key(std::toupper(static_cast<unsigned char>(c)), text, std::isupper(static_cast<unsigned char>(c)));
  if (std::isdigit(static_cast<unsigned char>(c))) return Key(c, text);
  switch (c) {
    case '+': return Key(0xBB, text, true);
    case '-': return Key(0xBD, text);
    case '.': return Key(0xBE, text);
    case ' ': return Key(32, text);
    case '!': return Key('1', text, true);
    default: return Key(0, text);
  }
}

// The entry opens over {50, 50, 150, 70} in the standard style (centred, 14
// high); characters are 10 wide, so n characters start at 100 - 5n.
struct EntryFixture : StockFixture {
  ITextEntryControl* entry = nullptr;
  ProbeControl* gain = Add("gain", IBox(0, 0, 40, 40), RecordingDelegate::kGain);     // decimal 0..100
  ProbeControl* steps = Add("steps", IBox(40, 0, 80, 40), RecordingDelegate::kSteps);  // integer 0..5
  ProbeControl* plain = Add("plain", IBox(80, 0, 120, 40));                            // no parameter

  EntryFixture() { entry = static_cast<ITextEntryControl*>(canvas.InstallTextEntryControl()); }

  void Open(ProbeControl* control, const char* text) {
    canvas.OpenTextEntry(control, kStandardText, IBox(50, 50, 150, 70), text, 0);
  }
  void Type(const char* text) {
    for (const char* c = text; *c; ++c) Stroke(KeyFor(*c));
  }
  bool Press(int32_t vk, bool shift = false, bool ctrl = false) { return Stroke(Key(vk, "", shift, ctrl)); }
  // The x of the boundary before character i.
  float X(int32_t i) const {
    return 100.0f - 5.0f * static_cast<float>(entry->TextLength()) + 10.0f * static_cast<float>(i);
  }
  std::string Text() const { return entry->TextUtf8(); }
  // "none" when nothing is marked (both ends equal, wherever they are).
  std::string Selection() const {
    if (entry->SelectionStart() == entry->SelectionEnd()) return "none";
    return Fmt("%g..%g", entry->SelectionStart(), entry->SelectionEnd());
  }
};

TEST(TextEntryControl, OpensOverTheBoxWithAllTextMarked) {
  EntryFixture f;
  f.Open(f.gain, "12345");
  EXPECT_TRUE(f.entry->IsEditing());
  EXPECT_EQ(f.entry->Bounds(), IBox(50, 50, 150, 70));
  EXPECT_EQ(f.Text(), "12345");
  EXPECT_EQ(f.Selection(), "0..5");
  EXPECT_EQ(f.entry->EditedParam(), RecordingDelegate::kGain);
  EXPECT_TRUE(f.entry->CursorVisible());
  EXPECT_TRUE(f.entry->AnimationStep());
}

TEST(TextEntryControl, AnswersTheCanvasValuePrompt) {
  EntryFixture f;
  f.canvas.PromptParameterValue(f.gain, IBox(0, 0, 40, 40), 0);
  ASSERT_TRUE(f.entry->IsEditing());
  EXPECT_EQ(f.entry->Bounds(), IBox(0, 0, 40, 40));
  EXPECT_EQ(f.Text(), "50");
  EXPECT_EQ(f.Selection(), "0..2");
  f.Type("25");
  f.Forget();
  f.Press(kVkEnter);
  EXPECT_TRUE(f.Has("set 0 0.25"));
  EXPECT_DOUBLE_EQ(f.gain->ValueAt(0), 0.25);
}

TEST(TextEntryControl, TypingOverASelectionReplacesExactlyTheSelection) {
  struct Case {
    const char* how;
    std::function<void(EntryFixture&)> select;
    const char* selection;
  };
  const Case cases[] = {
      {"keys rightwards",
       [](EntryFixture& f) {
         f.Click(f.X(2), 60);
         f.Press(kVkRight, true);
         f.Press(kVkRight, true);
       },
       "2..4"},
      {"keys leftwards",
       [](EntryFixture& f) {
         f.Click(f.X(4), 60);
         f.Press(kVkLeft, true);
         f.Press(kVkLeft, true);
       },
       "4..2"},
      {"drag rightwards",
       [](EntryFixture& f) {
         f.StockFixture::Press(f.X(2), 60);
         f.Drag(f.X(4), 60);
         f.Release(f.X(4), 60);
       },
       "2..4"},
      {"drag leftwards",
       [](EntryFixture& f) {
         f.StockFixture::Press(f.X(4), 60);
         f.Drag(f.X(2), 60, -1.0f);
         f.Release(f.X(2), 60);
       },
       "4..2"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.how);
    EntryFixture f;
    f.Open(f.plain, "12345");
    c.select(f);
    EXPECT_EQ(f.Selection(), c.selection);
    f.Type("9");
    EXPECT_EQ(f.Text(), "1295");
    EXPECT_EQ(f.entry->Cursor(), 3);
    EXPECT_EQ(f.Selection(), "none");
  }
}

TEST(TextEntryControl, EnterOrAPressOutsideCommitsEscapeCancels) {
  {
    EntryFixture f;
    f.Open(f.gain, "50");
    f.Type("75");
    f.Forget();
    EXPECT_TRUE(f.Press(kVkEnter));
    EXPECT_TRUE(f.Has("set 0 0.75"));
    EXPECT_FALSE(f.entry->IsEditing());
    EXPECT_TRUE(f.entry->Bounds().IsEmpty());
    EXPECT_TRUE(f.entry->HitBounds().IsEmpty());
    EXPECT_EQ(f.canvas.EditedControl(), nullptr);
  }
  {
    EntryFixture f;
    f.Open(f.gain, "40");
    f.Forget();
    f.Click(20, 20);  // on another control: it commits and goes no further
    EXPECT_TRUE(f.Has("set 0 0.4"));
    EXPECT_FALSE(f.Has("press 20,20 gain"));
    EXPECT_FALSE(f.entry->IsEditing());
  }
  {
    EntryFixture f;
    f.Open(f.plain, "abc");
    f.Type("d");
    f.Forget();
    f.Press(kVkEnter);
    EXPECT_TRUE(f.Has("text 0 'd' plain"));
  }
  {
    EntryFixture f;
    f.Open(f.gain, "40");
    f.Type("99");
    f.Forget();
    EXPECT_TRUE(f.Press(kVkEscape));
    EXPECT_TRUE(f.log.empty() || !f.Has("set 0 0.99"));
    for (const std::string& line : f.log) EXPECT_EQ(line.rfind("set", 0), std::string::npos) << line;
    EXPECT_FALSE(f.entry->IsEditing());
    EXPECT_TRUE(f.entry->Bounds().IsEmpty());
    EXPECT_EQ(f.canvas.EditedControl(), nullptr);
    EXPECT_FALSE(f.Press(kVkEnter));  // nothing left to commit
  }
}

TEST(TextEntryControl, UndoRedoWithinAnEditAndNeverIntoAnEarlierOne) {
  EntryFixture f;
  f.Open(f.plain, "100");
  f.Type("5");
  ASSERT_EQ(f.Text(), "5");
  // Typing over a selection is two steps: the insertion, then the deletion.
  EXPECT_TRUE(f.Stroke(Key('Z', "z", false, true)));
  EXPECT_EQ(f.Text(), "");
  EXPECT_TRUE(f.Stroke(Key('Z', "z", false, true)));
  EXPECT_EQ(f.Text(), "100");
  EXPECT_TRUE(f.Stroke(Key('Z', "Z", true, true)));
  EXPECT_TRUE(f.Stroke(Key('Z', "Z", true, true)));
  EXPECT_EQ(f.Text(), "5");
  f.Press(kVkEnter);

  // A new edit with other text: the records of the first are gone.
  f.Open(f.plain, "abc");
  f.Stroke(Key('Z', "z", false, true));
  f.Stroke(Key('Z', "z", false, true));
  EXPECT_EQ(f.Text(), "abc");
  EXPECT_EQ(f.Selection(), "0..3");
  f.Type("x");
  f.Stroke(Key('Z', "z", false, true));
  f.Stroke(Key('Z', "z", false, true));
  EXPECT_EQ(f.Text(), "abc");
}

TEST(TextEntryControl, TheParameterKindFiltersTypedCharacters) {
  struct Case {
    const char* what;
    int which;  // 0 steps (integer), 1 gain (decimal), 2 plain (no parameter)
    const char* expected;
  };
  const Case cases[] = {
      {"integer", 0, "+-7117"},
      {"decimal", 1, "+-7.117"},
      {"no parameter", 2, "a+-7.!1@17"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EntryFixture f;
    ProbeControl* controls[] = {f.steps, f.gain, f.plain};
    f.Open(controls[c.which], "");
    f.Type("a+-7.!");
    f.Stroke(Key('1', "1", true));           // a digit that needs Shift on another layout
    f.Stroke(Key('Q', "@", false, true, true));  // AltGr
    f.Stroke(Key(0x61, "1"));                // keypad
    f.Stroke(Key('7', "7"));
    EXPECT_EQ(f.Text(), c.expected);
  }
}

TEST(TextEntryControl, TypedCharactersKeepTheirCaseAndModifiedKeysInsertNothing) {
  EntryFixture f;
  f.Open(f.plain, "");
  f.Type("Ab");
  f.Stroke(Key('B', "B", true));
  EXPECT_FALSE(f.Stroke(Key('B', "b", false, true)));  // Ctrl+B
  EXPECT_FALSE(f.Stroke(Key('B', "b", false, false, true)));  // Alt+B
  EXPECT_FALSE(f.Press(kVkTab));
  EXPECT_EQ(f.Text(), "AbB");
}

TEST(TextEntryControl, CursorKeysMoveAndSelectWithTheProjectsKeyCodes) {
  struct Step {
    int32_t vk;
    bool shift;
    bool ctrl;
  };
  struct Case {
    const char* what;
    std::vector<Step> keys;
    const char* text;
    int32_t cursor;
    const char* selection;
  };
  const Case cases[] = {
      {"home", {{kVkHome, false, false}}, "12345", 0, "none"},
      {"end", {{kVkEnd, false, false}}, "12345", 5, "none"},
      {"left collapses to the start", {{kVkLeft, false, false}}, "12345", 0, "none"},
      {"right collapses to the end", {{kVkRight, false, false}}, "12345", 5, "none"},
      {"shift end", {{kVkHome, false, false}, {kVkRight, false, false}, {kVkEnd, true, false}}, "12345", 5, "1..5"},
      {"text start", {{kVkEnd, false, false}, {kVkHome, false, true}}, "12345", 0, "none"},
      {"text end", {{kVkHome, false, false}, {kVkEnd, false, true}}, "12345", 5, "none"},
      {"shift text start", {{kVkEnd, false, false}, {kVkHome, true, true}}, "12345", 0, "5..0"},
      {"page down", {{kVkPageDown, false, false}}, "12345", 5, "none"},
      {"page up", {{kVkPageUp, false, false}}, "12345", 0, "none"},
      {"delete", {{kVkHome, false, false}, {kVkDelete, false, false}}, "2345", 0, "none"},
      {"backspace", {{kVkEnd, false, false}, {kVkBack, false, false}}, "1234", 4, "none"},
      {"delete the selection", {{kVkDelete, false, false}}, "", 0, "none"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EntryFixture f;
    f.Open(f.plain, "12345");
    for (const Step& s : c.keys) f.Press(s.vk, s.shift, s.ctrl);
    EXPECT_EQ(f.Text(), c.text);
    EXPECT_EQ(f.entry->Cursor(), c.cursor);
    EXPECT_EQ(f.Selection(), c.selection);
  }
}

TEST(TextEntryControl, ACharacterOfTwoUnitsMovesAndDeletesAsOne) {
  EntryFixture f;
  f.canvas.clipboard = "a\xF0\x9F\x98\x80" "b";  // 'a', a surrogate pair, 'b'
  f.canvas.clipboardFull = true;
  f.Open(f.plain, "");
  f.Stroke(Key('V', "v", false, true));
  ASSERT_EQ(f.entry->TextLength(), 4);
  f.Press(kVkHome);
  f.Press(kVkRight);
  EXPECT_EQ(f.entry->Cursor(), 1);
  f.Press(kVkRight);
  EXPECT_EQ(f.entry->Cursor(), 3);
  f.Press(kVkLeft, true);
  EXPECT_EQ(f.Selection(), "3..1");
  f.Press(kVkRight);
  f.Press(kVkBack);
  EXPECT_EQ(f.Text(), "ab");
  EXPECT_EQ(f.entry->Cursor(), 1);
  f.Stroke(Key('Z', "z", false, true));
  f.Press(kVkHome);
  f.Press(kVkRight);
  f.Press(kVkDelete);
  EXPECT_EQ(f.Text(), "ab");
}

TEST(TextEntryControl, ClipboardCopyCutAndPaste) {
  EntryFixture f;
  f.Open(f.plain, "12345");
  f.Press(kVkHome);
  f.Stroke(Key('C', "c", false, true));
  EXPECT_EQ(f.canvas.clipboardWrites, 0);  // nothing marked: the clipboard stays

  f.Stroke(Key('A', "a", false, true));
  f.Stroke(Key('C', "c", false, true));
  EXPECT_EQ(f.canvas.clipboard, "12345");

  f.Click(f.X(4), 60);
  f.Press(kVkLeft, true);
  f.Press(kVkLeft, true);
  f.Stroke(Key('X', "x", false, true));
  EXPECT_EQ(f.canvas.clipboard, "34");
  EXPECT_EQ(f.Text(), "125");
  EXPECT_EQ(f.entry->Cursor(), 2);

  f.canvas.clipboard = "9\r\nsecond line";
  f.Stroke(Key('V', "v", false, true));
  EXPECT_EQ(f.Text(), "1295");  // one line only

  f.Stroke(Key('A', "a", false, true));
  f.canvas.clipboard = "-7.5";
  f.Stroke(Key('V', "v", false, true));
  EXPECT_EQ(f.Text(), "-7.5");  // pasted over the selection
  f.Stroke(Key('Z', "z", false, true));
  f.Stroke(Key('Z', "z", false, true));
  EXPECT_EQ(f.Text(), "1295");

  f.canvas.clipboardFull = false;
  f.Stroke(Key('V', "v", false, true));
  EXPECT_EQ(f.Text(), "1295");
}

TEST(TextEntryControl, RightButtonOffersCutCopyAndPaste) {
  struct Case {
    int32_t pick;
    const char* text;
    const char* clipboard;
  };
  const Case cases[] = {{0, "", "abc"}, {1, "abc", "abc"}, {2, "xyz", "xyz"}, {-1, "abc", "xyz"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(Fmt("pick %g", c.pick));
    EntryFixture f;
    f.canvas.clipboard = "xyz";
    f.canvas.clipboardFull = true;
    f.canvas.nativePick = c.pick;
    f.Open(f.plain, "abc");
    f.Click(100, 60, true);
    ASSERT_EQ(f.canvas.shownMenu, f.entry->ClipboardMenu());
    EXPECT_EQ(f.entry->ClipboardMenu()->ItemAt(1)->Caption.Get(), std::string("Copy"));
    EXPECT_EQ(f.Text(), c.text);
    EXPECT_EQ(f.canvas.clipboard, c.clipboard);
    EXPECT_TRUE(f.entry->IsEditing());
  }
}

TEST(TextEntryControl, ClipboardMenuWorksInsideTheEditorToo) {
  EntryFixture f;
  auto* menu = static_cast<IPopupMenuControl*>(f.canvas.InstallPopupMenuControl());
  f.canvas.clipboard = "42";
  f.canvas.clipboardFull = true;
  f.Open(f.gain, "abc");
  f.Click(100, 60, true);
  ASSERT_EQ(menu->State(), EPopupMenuState::Unfolding);
  menu->OnAnimationDone();
  const IBox paste = menu->PaneAt(0)->Cells[2];
  f.Hover(paste.Left + 1, paste.Top + 1);
  f.Click(paste.Left + 1, paste.Top + 1);
  EXPECT_EQ(f.Text(), "42");
  EXPECT_TRUE(f.entry->IsEditing());
  f.Forget();
  f.Press(kVkEnter);
  EXPECT_TRUE(f.Has("set 0 0.42"));
}

TEST(TextEntryControl, NoNumberTypedOrPastedCommitsANaN) {
  for (const char* pasted : {"nan", "-nan", "NaN", "inf", "-inf", "1e999"}) {
    SCOPED_TRACE(pasted);
    EntryFixture f;
    f.gain->StoreValue(0.5, 0);
    f.Open(f.gain, "50");
    f.canvas.clipboard = pasted;
    f.canvas.clipboardFull = true;
    f.Stroke(Key('V', "v", false, true));
    ASSERT_EQ(f.Text(), pasted);
    f.Forget();
    f.Press(kVkEnter);
    const double value = f.gain->ValueAt(0);
    EXPECT_TRUE(value >= 0.0 && value <= 1.0) << value;
    for (const std::string& line : f.log) {
      EXPECT_EQ(line.find("nan"), std::string::npos) << line;
      EXPECT_EQ(line.find("inf"), std::string::npos) << line;
    }
    const double param = f.delegate.GetParam(RecordingDelegate::kGain)->Value();
    EXPECT_TRUE(param >= 0.0 && param <= 100.0) << param;
  }
}

TEST(TextEntryControl, BlinkShowsAndHidesTheCursorAndEndsWithTheEdit) {
  for (const int32_t endKey : {kVkEnter, kVkEscape}) {
    SCOPED_TRACE(endKey);
    EntryFixture f;
    f.Open(f.plain, "12");
    f.Press(kVkEnd);
    ASSERT_TRUE(f.entry->CursorVisible());
    f.entry->OnAnimationDone();  // a blink period is over: it starts again, cursor shown
    EXPECT_TRUE(f.entry->AnimationStep());
    EXPECT_TRUE(f.entry->CursorVisible());

    f.Press(endKey);
    EXPECT_FALSE(f.entry->AnimationStep());
    EXPECT_FALSE(f.entry->CursorVisible());
    IBoxList boxes;
    f.canvas.RunDisplayTick(boxes);  // draws what the close changed
    EXPECT_FALSE(f.canvas.RunDisplayTick(boxes));  // then nothing more
    EXPECT_FALSE(f.entry->WantsRedraw());
  }
}

// The blink follows the clock; each display tick shows where it is. On a
// busy machine a tick may come only after the blink ended and the next one
// began, so the test waits for a tick that lands in the half it looks at.
TEST(TextEntryControl, CursorHidesInTheSecondHalfOfABlink) {
  EntryFixture f;
  f.Open(f.plain, "12");
  IBoxList boxes;
  EXPECT_TRUE(WaitUntil("a display tick in the first half of a blink", [&] {
    f.canvas.RunDisplayTick(boxes);
    return f.entry->AnimationFraction() < 0.5;
  }));
  EXPECT_TRUE(f.entry->CursorVisible());
  EXPECT_TRUE(WaitUntil("a display tick in the second half of a blink", [&] {
    const double before = f.entry->AnimationFraction();
    if (before < 0.56) return false;
    f.canvas.RunDisplayTick(boxes);
    // Still the same blink (not over and begun again) at the tick.
    const double after = f.entry->AnimationFraction();
    return after >= before && after <= 1.0;
  }));
  EXPECT_FALSE(f.entry->CursorVisible());
  EXPECT_TRUE(f.entry->AnimationStep());
}

TEST(TextEntryControl, DrawsSelectionTextAndCursor) {
  EntryFixture f;
  f.Open(f.plain, "12345");
  f.Click(f.X(4), 60);
  f.Press(kVkLeft, true);
  f.Press(kVkLeft, true);  // selected leftwards: 4..2
  f.canvas.draws.clear();
  f.entry->Render(f.canvas);
  EXPECT_EQ(f.canvas.draws, (std::vector<std::string>{"flood 50,50,150,70 (255,255,255,255)",
                                                      "flood 95,54.4,115,65.6 (255,0,0,0) o0.2",
                                                      "text '12345' 50,50,150,70 (255,0,0,0)"}));

  f.Press(kVkHome);
  f.canvas.draws.clear();
  f.entry->Render(f.canvas);
  ASSERT_EQ(f.canvas.draws.size(), 3u);
  EXPECT_EQ(f.canvas.draws[2], "flood 74,54.4,75,65.6 (255,0,0,0)");  // the cursor before "1"

  // A double press marks everything again.
  EXPECT_TRUE(f.canvas.HandleDoublePress(Event(100, 60)));
  EXPECT_EQ(f.Selection(), "0..5");
}

} // namespace
} // namespace plugkit::canvas::test
