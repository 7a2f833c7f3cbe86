// The in-window text entry's canvas side: keys to editing codes and the
// parameter's character filter, committing and cancelling, the cursor
// blink, the layout callbacks and drawing. The editing state itself is run
// in ITextEntryEditing.cpp.

#include "graphics/controls/ITextEntryControl.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <new>
#include <string>

#include "core/IEditorDelegate.h"
#include "core/IParam.h"
#include "graphics/ICanvas.h"
#include "graphics/controls/Utf16Text.h"
#include "graphics/records/IComposite.h"
#include "graphics/records/IPopupMenu.h"

namespace plugkit::canvas {

namespace {

// The code point of a key's text; 0 for none. Forms longer than four bytes
// (no longer valid UTF-8) stand for one unknown character.
uint32_t DecodeKeyText(const char* text) {
  const auto* t = reinterpret_cast<const unsigned char*>(text);
  const unsigned char lead = t[0];
  if (lead < 0x80) return lead;
  int32_t extra = 0;
  uint32_t cp = 0;
  if ((lead & 0xE0) == 0xC0) {
    extra = 1, cp = lead & 0x1F;
  } else if ((lead & 0xF0) == 0xE0) {
    extra = 2, cp = lead & 0x0F;
  } else if ((lead & 0xF8) == 0xF0) {
    extra = 3, cp = lead & 0x07;
  } else if ((lead & 0xFC) == 0xF8 || (lead & 0xFE) == 0xFC) {
    return '_';
  } else {
    return 0;  // a stray continuation byte
  }
  for (int32_t k = 1; k <= extra && k < IKeyStroke::kTextCapacity; ++k) {
    if ((t[k] & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (t[k] & 0x3F);
  }
  return cp;
}

bool IsDigit(uint32_t c) { return c >= '0' && c <= '9'; }

} // namespace

// ---- Keys ----

bool ITextEntryControl::Accepts(uint32_t c) const {
  const IEditorDelegate* delegate = DelegateRef();
  const IParam* param = delegate && mParamIndex >= 0 && mParamIndex < delegate->ParamCount()
                            ? delegate->GetParam(mParamIndex)
                            : nullptr;
  if (!param) return true;
  switch (param->Kind()) {
    case IParamKind::OnOff:
    case IParamKind::Integer:
    case IParamKind::ListChoice:
      return IsDigit(c) || c == '+' || c == '-';
    case IParamKind::Decimal:
      return IsDigit(c) || c == '+' || c == '-' || c == '.';
    default:
      return true;
  }
}

// The filter judges the character the key typed, not the key: the same
// digit may need Shift on one keyboard and not on another.
int32_t ITextEntryControl::KeyCode(const IKeyStroke& key) const {
  const uint32_t cp = DecodeKeyText(key.Text);
  const int32_t vk = key.VirtualKey;
  int32_t code = 0;
  switch (vk) {
    case 8:
    case 33:
    case 34:
    case 35:
    case 36:
    case 37:
    case 38:
    case 39:
    case 40:
    case 46:
      code = ETextKey::kSpecialKey | (vk & 0xFF);
      break;
    case 32:
      code = 32;
      break;
    default: {
      const ICanvas* canvas = GraphicsRef();
      if (!canvas || !canvas->EditedControl()) return 0;
      if (cp == 0 || cp > 0xFFFF || !Accepts(cp)) {
        code = ETextKey::kSpecialKey | (vk & 0xFF);
      } else {
        code = static_cast<int32_t>(cp);
      }
      break;
    }
  }
  const bool typed = (code & ETextKey::kSpecialKey) == 0;
  if (key.Shift) code |= ETextKey::kShift;
  // Ctrl with Alt is AltGr: the character it typed goes in as it is.
  if (!(typed && key.Ctrl && key.Alt)) {
    if (key.Ctrl) code |= ETextKey::kCtrl;
    if (key.Alt) code |= ETextKey::kAlt;
  }
  return code;
}

// ---- Ending an edit ----

// The blink ends with the edit: a step left running would ask for a redraw
// on every display tick for as long as the editor stays open.
void ITextEntryControl::Hide() {
  mEditing = false;
  mCursorVisible = false;
  if (AnimationStep()) IControl::OnAnimationDone();
  SetBounds(IBox());
  SetHitBounds(IBox());
  SetPointerOver(false);
  OnBoundsChange();
}

void ITextEntryControl::ApplyEdit() {
  if (!mEditing) return;
  const std::string text = TextUtf8();
  Hide();
  ICanvas* canvas = GraphicsRef();
  if (!canvas) return;
  canvas->CommitTextEntry(text.c_str());
  canvas->VisitAllControls([](IControl& c) { c.MarkChanged(false, -1); });
}

void ITextEntryControl::CancelEdit() {
  if (!mEditing) return;
  Hide();
  ICanvas* canvas = GraphicsRef();
  if (!canvas) return;
  canvas->CancelTextEntry();
  canvas->VisitAllControls([](IControl& c) { c.MarkChanged(false, -1); });
}

// ---- Cursor blink: 500 ms shown, 500 ms hidden ----

void ITextEntryControl::LaunchBlink() {
  if (!mEditing) return;
  mCursorVisible = true;
  LaunchAnimation([](IControl* c) { static_cast<ITextEntryControl*>(c)->BlinkStep(); }, kBlinkMs);
}

void ITextEntryControl::BlinkStep() {
  const double f = AnimationFraction();
  if (f > 1.0) {
    OnAnimationDone();
    return;
  }
  if (f > 0.5 && mCursorVisible) {
    mCursorVisible = false;
    MarkChanged(false, -1);
  }
}

void ITextEntryControl::OnAnimationDone() {
  if (mEditing) {
    MarkChanged(true, -1);
  } else {
    mCursorVisible = false;
    IControl::OnAnimationDone();
  }
}

// ---- Clipboard menu ----

void ITextEntryControl::OpenClipboardMenu(float x, float y) {
  ICanvas* canvas = GraphicsRef();
  if (!canvas) return;
  if (!mMenu) {
    mMenu.reset(new (std::nothrow) IPopupMenu({"Cut", "Copy", "Paste"}));
    if (!mMenu) return;
    mMenu->Completion = [this](IPopupMenu* menu) {
      if (!mEditing || !menu) return;
      switch (menu->PickedIndex) {
        case 0:
          CutMarkedText();
          break;
        case 1:
          CopyMarkedText();
          break;
        case 2:
          InsertClipboardText();
          break;
        default:
          break;
      }
    };
  }
  mMenu->PickedIndex = -1;
  canvas->OpenPopupMenu(this, *mMenu, IBox(x, y, x, y), 0, false);
}

// ---- Text and layout ----

char16_t ITextEntryControl::CharAt(int32_t i) const {
  return i >= 0 && i < TextLength() ? mText[static_cast<size_t>(i)] : u'\0';
}

std::string ITextEntryControl::TextUtf8() const { return Utf16ToUtf8(mText); }

bool ITextEntryControl::InsertUnits(int32_t at, const char16_t* units, int32_t count) {
  if (!units || count <= 0 || at < 0 || at > TextLength()) return false;
  try {
    mText.insert(static_cast<size_t>(at), units, static_cast<size_t>(count));
  } catch (const std::exception&) {
    return false;
  }
  mGlyphWidths.clear();
  return true;
}

bool ITextEntryControl::DeleteUnits(int32_t at, int32_t count) {
  if (count <= 0 || at < 0 || at >= TextLength()) return false;
  mText.erase(static_cast<size_t>(at), static_cast<size_t>(count));
  mGlyphWidths.clear();
  return true;
}

// Widths are measured character by character with the one before, so that
// kerning counts: the advance of c after p is width(p c) - width(p). A
// surrogate pair is one character; its first unit takes the whole advance.
float ITextEntryControl::GlyphWidth(int32_t i) {
  const int32_t n = TextLength();
  if (i < 0 || i >= n) return 0.0f;
  if (static_cast<int32_t>(mGlyphWidths.size()) != n) {
    mGlyphWidths.assign(static_cast<size_t>(n), 0.0f);
    ICanvas* canvas = GraphicsRef();
    if (!canvas) return 0.0f;
    const auto measure = [&](const std::u16string& units) {
      if (units.empty()) return 0.0f;
      IBox box;
      const std::string text = Utf16ToUtf8(units);
      const float w = canvas->MeasureTextBox(TextStyle(), text.c_str(), box);
      return std::isfinite(w) ? w : 0.0f;
    };
    std::u16string previous;
    for (int32_t k = 0; k < n;) {
      const char16_t u = mText[static_cast<size_t>(k)];
      const bool pair = u >= 0xD800 && u <= 0xDBFF && k + 1 < n && mText[static_cast<size_t>(k) + 1] >= 0xDC00 &&
                        mText[static_cast<size_t>(k) + 1] <= 0xDFFF;
      const std::u16string current = mText.substr(static_cast<size_t>(k), pair ? 2 : 1);
      mGlyphWidths[static_cast<size_t>(k)] =
          previous.empty() ? measure(current) : measure(previous + current) - measure(previous);
      previous = current;
      k += pair ? 2 : 1;
    }
  }
  return mGlyphWidths[static_cast<size_t>(i)];
}

ITextRow ITextEntryControl::LayoutRow() {
  ITextRow row;
  float width = 0.0f;
  for (int32_t i = 0; i < TextLength(); ++i) width += GlyphWidth(i);
  const IBox& b = Bounds();
  const ITextStyle& style = TextStyle();
  switch (style.HorizontalAlign) {
    case ETextHAlign::Left:
      row.X0 = b.Left;
      break;
    case ETextHAlign::Right:
      row.X0 = b.Right - width;
      break;
    default:
      row.X0 = 0.5f * (b.Left + b.Right) - 0.5f * width;
      break;
  }
  row.X1 = row.X0 + width;
  const float height = b.Height();
  switch (style.VerticalAlign) {
    case ETextVAlign::Upper:
      row.YMin = 0.0f;
      break;
    case ETextVAlign::Lower:
      row.YMin = height - style.FontSize;
      break;
    default:
      row.YMin = 0.5f * (height - style.FontSize);
      break;
  }
  row.YMax = row.YMin + style.FontSize;
  row.BaselineStep = 1.25f;
  row.CharCount = TextLength();
  return row;
}

float ITextEntryControl::PositionOf(int32_t index) {
  float x = LayoutRow().X0;
  for (int32_t i = 0; i < index && i < TextLength(); ++i) x += GlyphWidth(i);
  return x;
}

// ---- Drawing ----

void ITextEntryControl::Render(ICanvas& canvas) {
  const IBox& b = Bounds();
  const ITextStyle& style = TextStyle();
  canvas.FloodBox(style.EntryBackColour, b);

  const ITextRow row = LayoutRow();
  const float top = b.Top + row.YMin + 0.1f * style.FontSize;
  const float bottom = b.Top + row.YMax - 0.1f * style.FontSize;
  const int32_t start = SelectionStart();
  const int32_t end = SelectionEnd();
  if (start != end) {
    // A selection made leftwards has its start after its end.
    const float x1 = PositionOf(std::min(start, end));
    const float x2 = PositionOf(std::max(start, end));
    const IComposite faint(ECompositeMode::SourceOver, 0.2f);
    canvas.FloodBox(style.EntryTextColour, IBox(x1, top, x2, bottom), &faint);
  }
  if (!mText.empty()) canvas.RenderTextRun(style, TextUtf8().c_str(), b);
  if (mCursorVisible && start == end) {
    const float cx = std::round(PositionOf(Cursor()));
    canvas.FloodBox(style.EntryTextColour, IBox(cx - 1.0f, top, cx, bottom));
  }
}

} // namespace plugkit::canvas
