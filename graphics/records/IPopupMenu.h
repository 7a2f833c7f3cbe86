#pragma once
// IPopupMenu: the plain description of a menu that a control fills and the
// canvas shows, either drawn inside the editor or as a native pop-up menu.
// It knows nothing of drawing. UI thread only.
//
// Ownership: a menu owns its items and each item owns its Child submenu, so
// deleting a menu deletes the whole tree. Menus are never copied; a control
// that keeps one as a member rebuilds it in place each time it is shown
// (Numbering, ClearItems, AppendItem..., Completion).
//
// Choosing: the presentation that showed the menu calls ReportChoice on the
// menu (root or submenu) that holds the chosen item; that sets PickedIndex
// and runs the menu's Completion. A PickedIndex of -1 means nothing was
// chosen.

#include <cstdint>
#include <functional>
#include <initializer_list>

#include "core/IPointerArray.h"
#include "core/IStringBuffer.h"

namespace plugkit {
namespace canvas {

class IPopupMenu;

// Bits of IPopupMenuItem::Options.
enum class EPopupItemFlag : int32_t {
  Greyed = 1,    // drawn greyed; cannot be chosen
  Inert = 2,     // cannot be chosen
  Ticked = 4,    // tick mark
  Divider = 8,   // a divider line; caption ignored; cannot be chosen
  Marked = 16,   // small filled square / radio-style check
};

constexpr int32_t FlagBits(EPopupItemFlag flag) { return static_cast<int32_t>(flag); }

// The function a menu runs when a choice is reported; it receives the menu
// that holds the chosen item.
using IPopupMenuCompletion = std::function<void(IPopupMenu*)>;

class IPopupMenuItem {
public:
  // An item with an empty caption, no options, ItemCode -1 and no child; the
  // menu's AppendItem sets the caption (it can report a failed copy).
  IPopupMenuItem() = default;
  ~IPopupMenuItem();  // deletes Child

  IPopupMenuItem(const IPopupMenuItem&) = delete;
  IPopupMenuItem& operator=(const IPopupMenuItem&) = delete;

  IStringBuffer Caption;          // UTF-8; empty for a divider
  IPopupMenu* Child = nullptr;    // submenu opened from this item, owned; null = none
  int32_t Options = 0;            // bits of EPopupItemFlag
  int32_t ItemCode = -1;          // caller-defined

  bool HasFlag(EPopupItemFlag flag) const { return (Options & FlagBits(flag)) != 0; }
  void SetFlag(EPopupItemFlag flag, bool on = true);

  // Whether the user can pick this item: not Greyed, Inert or a Divider.
  // An item with a Child opens its submenu instead of being picked, so
  // IPopupMenu::ReportChoice refuses it as well.
  bool IsChoosable() const;

  // Installs child as the submenu (taking ownership), deleting any previous
  // one. Passing null removes the submenu.
  void SetChild(IPopupMenu* child);
};

class IPopupMenu {
public:
  // A menu with one item per caption, in order (null captions count as "");
  // a caption that cannot be stored for lack of memory is left out.
  IPopupMenu(std::initializer_list<const char*> captions = {});
  ~IPopupMenu();

  IPopupMenu(const IPopupMenu&) = delete;
  IPopupMenu& operator=(const IPopupMenu&) = delete;

  int32_t ColumnBreak = 0;   // native menu: items per column (< 160 items); <= 0: one column
  int32_t Numbering = 0;     // native menu captions: 0 none, 1 "%1d: %s", 2 "%02d: %s", 3 "%03d: %s"
  int32_t PickedIndex = -1;  // index in Items of the chosen item; -1 = none
  IPointerArray<IPopupMenuItem> Items;  // display order; owned through this menu
  IPopupMenuCompletion Completion;      // may be empty
  IStringBuffer Heading;                // a title; not drawn by this system's presentations

  // Appends an item with caption, no options, ItemCode -1 and no child, and
  // returns it for the caller to adjust. Returns null, with the menu
  // unchanged, when memory ran out (the item is not leaked).
  IPopupMenuItem* AppendItem(const char* caption);

  // Appends a divider (empty caption, Options Divider); null when memory ran out.
  IPopupMenuItem* AppendDivider();

  // Removes every item, from the last to the first. With deleteItems each
  // item is deleted with its submenu tree; without it the items are only
  // detached and whoever kept pointers to them now owns them.
  void ClearItems(bool deleteItems = true);

  int32_t ItemCount() const { return Items.Count(); }

  // The item at index, or null outside 0..ItemCount()-1.
  IPopupMenuItem* ItemAt(int32_t index) const { return Items.Get(index); }

  // The chosen item, or null when PickedIndex is -1 or out of range.
  IPopupMenuItem* PickedItem() const { return Items.Get(PickedIndex); }

  // Records a choice on this menu: PickedIndex := index, or -1 when index is
  // not an item's index or names an item that cannot be picked (not
  // IsChoosable, or one that opens a submenu); then runs Completion when set. The completion is copied
  // before it runs, so it may replace or clear the menu's Completion, or
  // rebuild the items, safely.
  void ReportChoice(int32_t index);
};

} // namespace canvas
} // namespace plugkit
