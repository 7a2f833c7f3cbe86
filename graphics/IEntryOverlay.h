#pragma once
// IEntryOverlay: what the canvas needs from the single-line text entry it
// draws inside the editor window. The stock in-window text entry derives
// from it; ICanvas::InstallTextEntryControl takes one, and from then on every
// ICanvas::OpenTextEntry is shown by it instead of the platform's text field.
//
// Contract: the canvas places the control (Bounds, HitBounds, OnBoundsChange),
// sets its text style and redraws it; StartEditing only loads the text. The
// control ends an edit with ICanvas::CommitTextEntry (the text) or
// ICanvas::CancelTextEntry (nothing committed). UI thread only.

#include <cstdint>

#include "graphics/IControl.h"

namespace plugkit {
namespace canvas {

class IEntryOverlay : public IControl {
public:
  using IControl::IControl;

  // True while an edit is open: the canvas then sends it presses and keys
  // wherever the pointer is.
  virtual bool IsEditing() const = 0;
  // Starts an edit of text (UTF-8, copied) with all of it marked. paramIndex
  // (-1: none) is the parameter whose kind filters the typed characters.
  virtual void StartEditing(int32_t paramIndex, const char* text) = 0;
};

} // namespace canvas
} // namespace plugkit
