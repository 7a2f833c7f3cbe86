#pragma once
// IMenuOverlay: what the canvas needs from the pop-up menu control it draws
// inside the editor window. The stock in-window menu control derives from
// it; ICanvas::InstallPopupMenuControl takes one, and from then on every
// ICanvas::OpenPopupMenu is shown by it instead of a native menu.
//
// Contract: the control reports a choice (or none) to the requester through
// ICanvas::DeliverMenuResult and keeps no pointer to the requester itself.
// It never owns the menu it is given; the menu outlives the showing (the
// canvas' own prompt menu, or a menu kept by the requesting control).
// UI thread only.

#include "graphics/IControl.h"
#include "graphics/records/IBox.h"

namespace plugkit {
namespace canvas {

class IPopupMenu;

class IMenuOverlay : public IControl {
public:
  using IControl::IControl;

  // True while the menu is showing and not yet chosen from (the stock menu:
  // also while it fades in): the canvas then sends it every pointer press and
  // hover, wherever they are.
  virtual bool TakesEveryPoint() const = 0;
  // True once the menu has closed completely (a new menu may be opened).
  virtual bool IsClosed() const = 0;
  // The menu to show next (not owned; null forgets it).
  virtual void SetMenu(IPopupMenu* menu) = 0;
  // The area the menu panes must fit in, in logical pixels; a zero-width
  // area is replaced by the whole editor before each opening.
  virtual IBox PlacementArea() const = 0;
  virtual void SetPlacementArea(const IBox& area) = 0;
  // Opens the menu given by SetMenu at anchor. Called only while IsClosed.
  virtual void OpenMenu(const IBox& anchor) = 0;
};

} // namespace canvas
} // namespace plugkit
