#include "graphics/platform/NativeMenu.h"

#include <windows.h>

#include <string>

#include "graphics/platform/WideText.h"

namespace plugkit {
namespace canvas {

namespace {

// Cuts a UTF-8 text to at most maxChars characters.
void CutCharacters(std::string& text, int32_t maxChars) {
  int32_t chars = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if ((c & 0xC0) == 0x80) continue;  // continuation byte
    if (chars == maxChars) {
      text.resize(i);
      return;
    }
    ++chars;
  }
}

IPopupMenu* FindInBlocks(IPopupMenu& menu, int32_t id, int32_t& index, int32_t& nextId) {
  const int32_t base = nextId;
  nextId += menu.ItemCount();
  if (id >= base && id < nextId) {
    index = id - base;
    return &menu;
  }
  for (int32_t i = 0; i < menu.ItemCount(); ++i) {
    IPopupMenuItem* item = menu.ItemAt(i);
    if (item && item->Child) {
      if (IPopupMenu* found = FindInBlocks(*item->Child, id, index, nextId)) return found;
    }
  }
  return nullptr;
}

} // namespace

void NativeMenuItemText(const IPopupMenu& menu, int32_t index, IStringBuffer& text) {
  const IPopupMenuItem* item = menu.ItemAt(index);
  std::string caption = item ? item->Caption.Get() : "";
  if (menu.Numbering >= 1 && menu.Numbering <= 3) {
    static const char* kFormats[] = {"%1d: %s", "%02d: %s", "%03d: %s"};
    char numbered[512];
    std::snprintf(numbered, sizeof numbered, kFormats[menu.Numbering - 1], index + 1, caption.c_str());
    caption = numbered;
    CutCharacters(caption, kMaxNumberedCaption);
  }
  std::string shown;
  shown.reserve(caption.size() + 4);
  for (char c : caption) {
    shown.push_back(c);
    if (c == '&') shown.push_back('&');
  }
  text.Assign(shown.c_str());
}

uint32_t NativeMenuItemFlags(const IPopupMenu& menu, int32_t index) {
  const IPopupMenuItem* item = menu.ItemAt(index);
  if (!item) return 0;
  const int32_t j = index + 1;
  uint32_t flags = MF_STRING;
  if (menu.ItemCount() < kMaxItemsForColumns && menu.ColumnBreak > 0 && j > 1 && (j - 1) % menu.ColumnBreak == 0)
    flags |= MF_MENUBARBREAK;
  if (item->HasFlag(EPopupItemFlag::Greyed)) flags |= MF_GRAYED;
  if (item->HasFlag(EPopupItemFlag::Inert)) flags |= MF_DISABLED;
  if (item->HasFlag(EPopupItemFlag::Ticked)) flags |= MF_CHECKED;
  if (item->HasFlag(EPopupItemFlag::Marked)) flags |= MF_CHECKED | MFT_RADIOCHECK;
  return flags;
}

void* BuildNativeMenu(const IPopupMenu& menu, int32_t& nextId) {
  HMENU hmenu = CreatePopupMenu();
  if (!hmenu) return nullptr;
  const int32_t base = nextId;
  nextId += menu.ItemCount();
  IStringBuffer text;
  for (int32_t i = 0; i < menu.ItemCount(); ++i) {
    const IPopupMenuItem* item = menu.ItemAt(i);
    BOOL ok;
    if (!item || item->HasFlag(EPopupItemFlag::Divider)) {
      ok = AppendMenuW(hmenu, MF_SEPARATOR, 0, nullptr);
    } else {
      NativeMenuItemText(menu, i, text);
      std::wstring wide;
      WideFromUtf8(text.Get(), wide);
      const uint32_t flags = NativeMenuItemFlags(menu, i);
      if (item->Child) {
        HMENU sub = static_cast<HMENU>(BuildNativeMenu(*item->Child, nextId));
        ok = sub && AppendMenuW(hmenu, flags | MF_POPUP, reinterpret_cast<UINT_PTR>(sub), wide.c_str());
        if (sub && !ok) DestroyMenu(sub);
      } else {
        ok = AppendMenuW(hmenu, flags, static_cast<UINT_PTR>(base + i), wide.c_str());
      }
    }
    if (!ok) {
      DestroyMenu(hmenu);
      return nullptr;
    }
  }
  return hmenu;
}

IPopupMenu* FindMenuForCommand(IPopupMenu& top, int32_t id, int32_t& index) {
  if (id < 0) return nullptr;
  int32_t nextId = 0;
  return FindInBlocks(top, id, index, nextId);
}

} // namespace canvas
} // namespace plugkit
