#pragma once
// IPopupPane: one open menu or submenu of the in-window pop-up menu
// (IPopupMenuControl): where its cells lie, which of the menu's items they
// show, how opaque it is and which of its cells stand out. Made and owned by
// the menu control; UI thread only.
//
// Layout happens once, in the constructor: a column of cells below and to
// the right of (x, y), each as wide as the widest caption plus the mark
// column, the text padding and the submenu arrow. A column that would run
// past the bottom of the control's placement area moves up, staying inside
// the area; when it is taller than the area it scrolls, showing MostShown
// cells of the longer menu (cell j shows item FirstShown + j). A column that
// would pass the right edge moves left as a whole. Cell boxes never change
// afterwards, so pointers to them stay valid for the pane's lifetime.

#include <cstdint>
#include <vector>

#include "graphics/records/IBox.h"
#include "graphics/records/IComposite.h"

namespace plugkit {
namespace canvas {

class IPopupMenu;
class IPopupMenuControl;
class IPopupMenuItem;

class IPopupPane {
public:
  // menu: not owned; it must outlive the pane. parentIndex: index of the
  // opening pane in the control's pane list, -1 for the root.
  IPopupPane(const IPopupMenuControl& control, IPopupMenu* menu, float x, float y, int32_t parentIndex);

  IPopupMenu* Menu;
  std::vector<IBox> Cells;   // display order; fewer than the items when scrolling
  IBox OuterBox;             // cells grown by padding and shadow margin
  IBox InnerBox;             // cells grown by padding: the background
  int32_t MostShown = 0;     // cells that fit when crowded (0 otherwise)
  bool Visible = true;
  IComposite Blend{ECompositeMode::SourceOver, 0.0f};  // opacity = the pane's current opacity
  IBox ContentBox;           // measured cell size at the pane's origin
  const IBox* OpenSubmenuCell = nullptr;  // cell whose submenu is shown
  const IBox* ChosenCell = nullptr;       // cell committed as the choice
  int32_t ParentIndex;
  bool Scrolling = false;
  int32_t FirstShown = 0;    // item shown in cell 0

  // The cell under (x, y) that the pointer can act on: not all zero, holding
  // the point (left and top edges inside), and either a scroll-arrow cell or
  // showing an item that is not Greyed. Null when there is none.
  const IBox* CellAt(float x, float y) const;
  // Index of cell in Cells, or -1 when it is not one of this pane's cells.
  int32_t IndexOf(const IBox* cell) const;
  // The item cell j shows, or null (no such cell or item).
  IPopupMenuItem* ItemOf(int32_t j) const;
  // While scrolling, cell 0 shows an up arrow when items lie above it and
  // the last cell a down arrow when items lie below it; such a cell stands
  // for the scroll, not for the item behind it.
  bool ShowsScrollUp(int32_t j) const;
  bool ShowsScrollDown(int32_t j) const;
  bool IsScrollCell(int32_t j) const { return ShowsScrollUp(j) || ShowsScrollDown(j); }
  // The largest FirstShown that still fills every cell.
  int32_t LastFirstShown() const;
};

} // namespace canvas
} // namespace plugkit
