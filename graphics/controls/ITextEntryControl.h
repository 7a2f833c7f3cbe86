#pragma once
// ITextEntryControl: the stock single-line text entry drawn inside the
// editor window. ICanvas::InstallTextEntryControl installs it; from then on
// ICanvas::OpenTextEntry places it over the requested box with the requested
// style and text (all of it marked) instead of opening the platform's field.
//
// Editing: the text is held as UTF-16 units; cursor and selection are unit
// indices, never between the two units of a surrogate pair. Clicks, drags,
// cursor keys, insertion, deletion, cut, paste and undo/redo (99 records,
// 999 characters) are run by an editing state that is reset whenever an
// entry opens, so undo never reaches into an earlier edit. Typed characters keep their case and symbols; while the entry edits
// a parameter, its kind filters them (OnOff, Integer, ListChoice: digits,
// '+' and '-'; Decimal: also '.'; other kinds: everything). Pasted text is
// not filtered: the canvas parses the committed text for the parameter and
// reads nothing that is not a number ("nan", "inf") as one.
//
// Ending: Enter or a press outside the box commits (ICanvas::
// CommitTextEntry), Escape cancels (ICanvas::CancelTextEntry); either way the
// control hides (empty bounds) and its cursor blink stops before the canvas
// hears of it, so a control that answers by opening a new entry keeps it.
//
// The right button offers Cut, Copy and Paste in a menu the control owns.
// UI thread only; owned by the canvas once installed.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "graphics/IEntryOverlay.h"

namespace plugkit {
namespace canvas {

class IPopupMenu;

// Key codes of the editing state: a typed character is its code point; a
// key that moves or deletes is kSpecialKey plus its Windows virtual key.
// Modifier bits are added to either.
namespace ETextKey {
constexpr int32_t kSpecialKey = static_cast<int32_t>(0x80000000u);
constexpr int32_t kShift = 1 << 30;
constexpr int32_t kCtrl = 1 << 29;
constexpr int32_t kAlt = 1 << 28;
constexpr int32_t kModifiers = kSpecialKey | kShift | kCtrl | kAlt;
}  // namespace ETextKey

// One laid-out row of the entry, in logical pixels: x0..x1 along the row,
// ymin..ymax measured from the entry's top.
struct ITextRow {
  float X0 = 0.0f;
  float X1 = 0.0f;
  float BaselineStep = 1.25f;
  float YMin = 0.0f;
  float YMax = 0.0f;
  int32_t CharCount = 0;
};

class ITextEntryControl : public IEntryOverlay {
public:
  ITextEntryControl();
  ~ITextEntryControl() override;

  // ---- IEntryOverlay ----
  bool IsEditing() const override { return mEditing; }
  // Resets the editing state (cursor, selection, undo history), loads text
  // and marks all of it.
  void StartEditing(int32_t paramIndex, const char* text) override;

  // ---- Input and drawing ----
  void OnPointerPress(float x, float y, const IPointerMods& mods) override;
  void OnPointerRelease(float x, float y, const IPointerMods& mods) override;
  void OnPointerDrag(float x, float y, float dX, float dY, const IPointerMods& mods) override;
  void OnPointerDoublePress(float x, float y, const IPointerMods& mods) override;
  bool OnKeyStroke(float x, float y, const IKeyStroke& key) override;
  void Render(ICanvas& canvas) override;
  // Restarts the blink while editing; otherwise ends the animation.
  void OnAnimationDone() override;

  // ---- Editing operations ----
  // Replaces the text (UTF-8); when a selection exists it then covers all
  // of the new text.
  void SetText(const char* utf8);
  void CopyMarkedText();
  // Pastes the first line of the clipboard's text over the selection.
  void InsertClipboardText();
  void CutMarkedText();
  void MarkAllText();
  // Commit: hides the entry, then hands the text to the canvas.
  void ApplyEdit();
  // Cancel: hides the entry; nothing is committed.
  void CancelEdit();

  // ---- Layout, as the editing state sees it ----
  int32_t TextLength() const { return static_cast<int32_t>(mText.size()); }
  char16_t CharAt(int32_t i) const;
  // The advance of unit i, kerning with its predecessor included.
  float GlyphWidth(int32_t i);
  ITextRow LayoutRow();
  // The text edits the editing state makes; they change the text only, never
  // the cursor or the selection, which the editing state keeps itself.
  bool InsertUnits(int32_t at, const char16_t* units, int32_t count);
  bool DeleteUnits(int32_t at, int32_t count);

  // ---- State ----
  std::string TextUtf8() const;
  const std::u16string& Text() const { return mText; }
  int32_t Cursor() const;
  int32_t SelectionStart() const;
  int32_t SelectionEnd() const;
  bool CursorVisible() const { return mCursorVisible; }
  int32_t EditedParam() const { return mParamIndex; }
  IPopupMenu* ClipboardMenu() const { return mMenu.get(); }

  static constexpr int32_t kBlinkMs = 1000;

private:
  struct EditingState;

  // Runs an edit of the editing state; redraws and answers true when the
  // text, cursor or selection changed.
  template <typename Edit>
  bool Apply(Edit&& edit);
  int32_t KeyCode(const IKeyStroke& key) const;
  bool Accepts(uint32_t codePoint) const;
  void Hide();
  void LaunchBlink();
  void BlinkStep();
  void OpenClipboardMenu(float x, float y);
  float PositionOf(int32_t index);

  bool mCursorVisible = false;
  bool mEditing = false;
  std::unique_ptr<EditingState> mState;
  std::vector<float> mGlyphWidths;
  std::u16string mText;
  int32_t mParamIndex = -1;
  std::unique_ptr<IPopupMenu> mMenu;
};

} // namespace canvas
} // namespace plugkit
