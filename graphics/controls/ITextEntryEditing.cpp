// The in-window text entry's editing state side: the text-editing state
// machine (stb_textedit) wired to the entry's text, layout and key codes,
// and every operation that runs it. The canvas side (keys to codes,
// committing, blinking, drawing) lives in ITextEntryControl.cpp.

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <utility>

#include "core/IStringBuffer.h"
#include "graphics/ICanvas.h"
#include "graphics/controls/ITextEntryControl.h"
#include "graphics/controls/Utf16Text.h"

// The state record first (the header part), so the row callback below can
// fill its row type; then the implementation, which uses the callback.
#define STB_TEXTEDIT_CHARTYPE char16_t
#define STB_TEXTEDIT_POSITIONTYPE int
#define STB_TEXTEDIT_UNDOSTATECOUNT 99
#define STB_TEXTEDIT_UNDOCHARCOUNT 999
namespace plugkit::canvas::stbedit {
#include <stb_textedit.h>
} // namespace plugkit::canvas::stbedit

namespace plugkit::canvas::stbedit {

// Cursor-movement keys by Windows virtual key.
constexpr int32_t kVkBack = 8, kVkPageUp = 33, kVkPageDown = 34, kVkEnd = 35, kVkHome = 36, kVkLeft = 37,
                  kVkUp = 38, kVkRight = 39, kVkDown = 40, kVkDelete = 46;

// Only a plain character is inserted: no special key, no Ctrl or Alt, one
// UTF-16 unit, not a control character. Shift does not matter: the code
// point already is the shifted character.
int KeyToText(int32_t key) {
  if (key & (ETextKey::kSpecialKey | ETextKey::kCtrl | ETextKey::kAlt)) return -1;
  const int32_t c = key & ~ETextKey::kShift;
  if (c < 32 || c == 127 || c > 0xFFFF || (c >= 0xD800 && c <= 0xDFFF)) return -1;
  return c;
}

bool IsSpace(char16_t c) { return c == u' ' || c == u'\t' || c == 0x00A0 || c == 0x3000; }

// The entry is one row holding every unit; rows further on are empty.
void FillRow(StbTexteditRow* row, ITextEntryControl* entry, int start) {
  const ITextRow r = entry->LayoutRow();
  row->x0 = r.X0;
  row->x1 = r.X1;
  row->baseline_y_delta = r.BaselineStep;
  row->ymin = r.YMin;
  row->ymax = r.YMax;
  row->num_chars = start == 0 ? r.CharCount : 0;
}

} // namespace plugkit::canvas::stbedit

#define STB_TEXTEDIT_memmove std::memmove
#define STB_TEXTEDIT_KEYTYPE int32_t
#define STB_TEXTEDIT_STRING ITextEntryControl
#define STB_TEXTEDIT_STRINGLEN(entry) ((entry)->TextLength())
#define STB_TEXTEDIT_LAYOUTROW(row, entry, start) FillRow((row), (entry), (start))
#define STB_TEXTEDIT_GETWIDTH(entry, start, i) ((entry)->GlyphWidth((start) + (i)))
#define STB_TEXTEDIT_KEYTOTEXT(key) KeyToText(key)
#define STB_TEXTEDIT_GETCHAR(entry, i) ((entry)->CharAt(i))
#define STB_TEXTEDIT_NEWLINE u'\n'
#define STB_TEXTEDIT_IS_SPACE(c) IsSpace(c)
#define STB_TEXTEDIT_DELETECHARS(entry, at, n) ((entry)->DeleteUnits((at), (n)))
#define STB_TEXTEDIT_INSERTCHARS(entry, at, units, n) ((entry)->InsertUnits((at), (units), (n)))
#define STB_TEXTEDIT_K_SHIFT ETextKey::kShift
#define STB_TEXTEDIT_K_LEFT (ETextKey::kSpecialKey | kVkLeft)
#define STB_TEXTEDIT_K_RIGHT (ETextKey::kSpecialKey | kVkRight)
#define STB_TEXTEDIT_K_UP (ETextKey::kSpecialKey | kVkUp)
#define STB_TEXTEDIT_K_DOWN (ETextKey::kSpecialKey | kVkDown)
#define STB_TEXTEDIT_K_PGUP (ETextKey::kSpecialKey | kVkPageUp)
#define STB_TEXTEDIT_K_PGDOWN (ETextKey::kSpecialKey | kVkPageDown)
#define STB_TEXTEDIT_K_LINESTART (ETextKey::kSpecialKey | kVkHome)
#define STB_TEXTEDIT_K_LINEEND (ETextKey::kSpecialKey | kVkEnd)
#define STB_TEXTEDIT_K_TEXTSTART (ETextKey::kSpecialKey | ETextKey::kCtrl | kVkHome)
#define STB_TEXTEDIT_K_TEXTEND (ETextKey::kSpecialKey | ETextKey::kCtrl | kVkEnd)
#define STB_TEXTEDIT_K_WORDLEFT (ETextKey::kSpecialKey | ETextKey::kCtrl | kVkLeft)
#define STB_TEXTEDIT_K_WORDRIGHT (ETextKey::kSpecialKey | ETextKey::kCtrl | kVkRight)
#define STB_TEXTEDIT_K_DELETE (ETextKey::kSpecialKey | kVkDelete)
#define STB_TEXTEDIT_K_BACKSPACE (ETextKey::kSpecialKey | kVkBack)
#define STB_TEXTEDIT_K_UNDO (ETextKey::kCtrl | 'z')
#define STB_TEXTEDIT_K_REDO (ETextKey::kCtrl | ETextKey::kShift | 'z')
#define STB_TEXTEDIT_IMPLEMENTATION

#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wimplicit-fallthrough"
#pragma GCC diagnostic ignored "-Wunused-value"
#endif
namespace plugkit::canvas::stbedit {
#include <stb_textedit.h>
} // namespace plugkit::canvas::stbedit
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

namespace plugkit::canvas {

using stbedit::STB_TexteditState;
using stbedit::kVkBack;
using stbedit::kVkDelete;

struct ITextEntryControl::EditingState {
  STB_TexteditState stb;

  EditingState() { Reset(); }
  void Reset() { stbedit::stb_textedit_initialize_state(&stb, 1); }
};

ITextEntryControl::ITextEntryControl()
    : IEntryOverlay(IBox(), -1, [](IControl* c) { static_cast<ITextEntryControl*>(c)->LaunchBlink(); }),
      mState(std::make_unique<EditingState>()) {}

ITextEntryControl::~ITextEntryControl() = default;

int32_t ITextEntryControl::Cursor() const { return mState->stb.cursor; }
int32_t ITextEntryControl::SelectionStart() const { return mState->stb.select_start; }
int32_t ITextEntryControl::SelectionEnd() const { return mState->stb.select_end; }

namespace {

bool IsHigh(char16_t u) { return u >= 0xD800 && u <= 0xDBFF; }
bool IsLow(char16_t u) { return u >= 0xDC00 && u <= 0xDFFF; }

// Whether position p lies between the two units of a surrogate pair.
bool SplitsPair(const std::u16string& text, int p) {
  return p > 0 && p < static_cast<int>(text.size()) && IsHigh(text[static_cast<size_t>(p) - 1]) &&
         IsLow(text[static_cast<size_t>(p)]);
}

// A position inside a pair moves out of it the way the cursor went.
void KeepOutOfPair(const std::u16string& text, int& p, bool leftwards) {
  if (SplitsPair(text, p)) p += leftwards ? -1 : 1;
}

} // namespace

// The editing state steps unit by unit; a character made of a surrogate
// pair must still be moved over, marked and deleted as one.
template <typename Edit>
bool ITextEntryControl::Apply(Edit&& edit) {
  STB_TexteditState& s = mState->stb;
  const std::u16string text = mText;
  const int cursor = s.cursor;
  const int start = s.select_start;
  const int end = s.select_end;
  edit(mState->stb);
  const bool leftwards = s.cursor < cursor;
  KeepOutOfPair(mText, s.cursor, leftwards);
  KeepOutOfPair(mText, s.select_start, leftwards);
  KeepOutOfPair(mText, s.select_end, leftwards);
  const bool changed = mText != text || s.cursor != cursor || s.select_start != start || s.select_end != end;
  if (changed) MarkChanged(false, -1);
  return changed;
}

// A new edit starts from nothing: no undo record of an earlier text may be
// replayed against this one.
void ITextEntryControl::StartEditing(int32_t paramIndex, const char* text) {
  mParamIndex = paramIndex;
  mState->Reset();
  mGlyphWidths.clear();
  mText = Utf8ToUtf16(text);
  mEditing = true;
  MarkAllText();
}

void ITextEntryControl::SetText(const char* utf8) {
  mGlyphWidths.clear();
  mText = Utf8ToUtf16(utf8);
  STB_TexteditState& s = mState->stb;
  const int n = TextLength();
  s.cursor = std::min(s.cursor, n);
  if (s.select_start != s.select_end) {
    MarkAllText();
  } else {
    s.select_start = s.select_end = s.cursor;
  }
  MarkChanged(false, -1);
}

void ITextEntryControl::MarkAllText() {
  Apply([&](STB_TexteditState& s) {
    s.select_start = 0;
    s.select_end = TextLength();
    s.cursor = s.select_end;
    s.has_preferred_x = 0;
  });
}

// ---- Pointer ----

void ITextEntryControl::OnPointerPress(float x, float y, const IPointerMods& mods) {
  if (!mEditing) return;
  const IBox& b = Bounds();
  if (!b.Contains(x, y)) {
    ApplyEdit();
    return;
  }
  if (mods.Left) {
    const float row = LayoutRow().YMin;
    Apply([&](STB_TexteditState& s) { stbedit::stb_textedit_click(this, &s, x, row); });
  } else if (mods.Right) {
    OpenClipboardMenu(x, y);
  }
}

void ITextEntryControl::OnPointerDrag(float x, float, float, float, const IPointerMods& mods) {
  if (!mEditing || !mods.Left) return;
  const float row = LayoutRow().YMin;
  Apply([&](STB_TexteditState& s) { stbedit::stb_textedit_drag(this, &s, x, row); });
}

void ITextEntryControl::OnPointerRelease(float x, float, const IPointerMods& mods) {
  if (!mEditing || !mods.Left) return;
  const float row = LayoutRow().YMin;
  Apply([&](STB_TexteditState& s) { stbedit::stb_textedit_drag(this, &s, x, row); });
  MarkChanged(true, -1);
}

void ITextEntryControl::OnPointerDoublePress(float, float, const IPointerMods&) {
  if (mEditing) MarkAllText();
}

// ---- Keys ----

bool ITextEntryControl::OnKeyStroke(float, float, const IKeyStroke& key) {
  if (!mEditing) return false;
  // Ctrl with Alt is AltGr on many keyboards: it types characters.
  if (key.Ctrl && !key.Alt) {
    switch (key.VirtualKey) {
      case 'A':
        MarkAllText();
        return true;
      case 'C':
        CopyMarkedText();
        return true;
      case 'V':
        InsertClipboardText();
        return true;
      case 'X':
        CutMarkedText();
        return true;
      case 'Z': {
        const int32_t code = key.Shift ? STB_TEXTEDIT_K_REDO : STB_TEXTEDIT_K_UNDO;
        Apply([&](STB_TexteditState& s) { stbedit::stb_textedit_key(this, &s, code); });
        return true;
      }
      default:
        break;
    }
  }
  switch (key.VirtualKey) {
    case 13:
      ApplyEdit();
      return true;
    case 27:
      CancelEdit();
      return true;
    case 9:
      return false;
    default:
      break;
  }
  const int32_t code = KeyCode(key);
  if (code == 0) return false;
  return Apply([&](STB_TexteditState& s) {
    // Deleting next to a surrogate pair takes the whole pair: it is marked
    // first, and the key then deletes the mark.
    const int c = s.cursor;
    if (s.select_start == s.select_end) {
      if (code == STB_TEXTEDIT_K_BACKSPACE && SplitsPair(mText, c - 1)) {
        s.select_start = c - 2;
        s.select_end = c;
      } else if (code == STB_TEXTEDIT_K_DELETE && SplitsPair(mText, c + 1)) {
        s.select_start = c;
        s.select_end = c + 2;
      }
    }
    stbedit::stb_textedit_key(this, &s, code);
  });
}

// ---- Clipboard ----

void ITextEntryControl::CopyMarkedText() {
  const STB_TexteditState& s = mState->stb;
  const int n = TextLength();
  const int from = std::clamp(std::min(s.select_start, s.select_end), 0, n);
  const int to = std::clamp(std::max(s.select_start, s.select_end), 0, n);
  if (from >= to) return;
  ICanvas* canvas = GraphicsRef();
  if (!canvas) return;
  const std::string text = Utf16ToUtf8(mText.data() + from, static_cast<size_t>(to - from));
  canvas->WriteClipboardText(text.c_str());
}

void ITextEntryControl::InsertClipboardText() {
  ICanvas* canvas = GraphicsRef();
  if (!canvas) return;
  IStringBuffer text;
  if (!canvas->ReadClipboardText(text)) return;
  // One line: a single-line entry takes the clipboard's first line only.
  std::u16string units = Utf8ToUtf16(text.Get());
  units = units.substr(0, units.find_first_of(u"\r\n"));
  if (units.empty()) return;
  Apply([&](STB_TexteditState& s) {
    stbedit::stb_textedit_paste(this, &s, units.data(), static_cast<int>(units.size()));
  });
}

void ITextEntryControl::CutMarkedText() {
  CopyMarkedText();
  Apply([&](STB_TexteditState& s) { stbedit::stb_textedit_cut(this, &s); });
}

} // namespace plugkit::canvas
