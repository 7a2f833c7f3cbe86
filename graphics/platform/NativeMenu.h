#pragma once
// Native pop-up menus from IPopupMenu descriptions. Every item of every menu
// gets its own command id: a menu's block of ids (one per item) is reserved
// before any of its submenus', submenus following depth first in item order,
// so the top menu's items are 0 to n - 1 when building starts at 0.
//
// UI thread only. Menus hold UTF-8 captions; the native menu shows them
// through the UTF-16 functions.

#include <cstdint>

#include "core/IStringBuffer.h"
#include "graphics/records/IPopupMenu.h"

namespace plugkit {
namespace canvas {

// Native menus start a new column where ColumnBreak asks for it only below
// this many items.
constexpr int32_t kMaxItemsForColumns = 160;
// Numbered captions are cut to this many characters.
constexpr int32_t kMaxNumberedCaption = 50;

// The text item index shows: the caption (empty when none), numbered as the
// menu's Numbering asks ("%1d: %s", "%02d: %s", "%03d: %s" of index + 1 and
// the caption, cut to kMaxNumberedCaption characters, never inside a UTF-8
// sequence), with every '&' doubled so that it shows as itself.
void NativeMenuItemText(const IPopupMenu& menu, int32_t index, IStringBuffer& text);
// The MF_ flags of item index (without MF_POPUP / MF_SEPARATOR).
uint32_t NativeMenuItemFlags(const IPopupMenu& menu, int32_t index);

// Builds the HMENU of menu and its submenus, with ids from nextId on (nextId
// is advanced past every id used). Null when any part cannot be made; no
// half-built menu is left behind. The caller destroys the result
// (DestroyMenu destroys the submenus with it).
void* BuildNativeMenu(const IPopupMenu& menu, int32_t& nextId);

// The menu (top or a submenu) whose block holds command id, as
// BuildNativeMenu(top, 0) numbered them, with index := id minus the block's
// start. Null when no block holds id.
IPopupMenu* FindMenuForCommand(IPopupMenu& top, int32_t id, int32_t& index);

} // namespace canvas
} // namespace plugkit
