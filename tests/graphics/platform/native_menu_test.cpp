// Native menus: texts, flags, ids and the command search, read back from
// the built HMENU.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "graphics/platform/NativeMenu.h"

namespace plugkit::canvas::test {
namespace {

std::wstring ItemText(HMENU menu, UINT position) {
  wchar_t text[256] = {};
  GetMenuStringW(menu, position, text, 255, MF_BYPOSITION);
  return text;
}

UINT ItemState(HMENU menu, UINT position) {
  MENUITEMINFOW info = {};
  info.cbSize = sizeof info;
  info.fMask = MIIM_STATE | MIIM_FTYPE | MIIM_ID | MIIM_SUBMENU;
  GetMenuItemInfoW(menu, position, TRUE, &info);
  return info.fState | info.fType;
}

UINT ItemId(HMENU menu, UINT position) { return GetMenuItemID(menu, position); }

TEST(NativeMenu, TextsAreNumberedCutAndShowAmpersands) {
  IPopupMenu menu({"one", "two", "three", "four", "Rock & Roll"});
  IStringBuffer text;
  NativeMenuItemText(menu, 4, text);
  EXPECT_STREQ(text.Get(), "Rock && Roll");
  menu.Numbering = 2;
  NativeMenuItemText(menu, 4, text);
  EXPECT_STREQ(text.Get(), "05: Rock && Roll");
  menu.Numbering = 1;
  NativeMenuItemText(menu, 0, text);
  EXPECT_STREQ(text.Get(), "1: one");
  menu.Numbering = 3;
  NativeMenuItemText(menu, 1, text);
  EXPECT_STREQ(text.Get(), "002: two");

  // Long captions are cut to 50 characters, never inside a character.
  std::string longCaption;
  for (int i = 0; i < 60; ++i) longCaption += "\xC3\xA9";  // 60 x e-acute
  IPopupMenu numbered({longCaption.c_str()});
  numbered.Numbering = 3;
  NativeMenuItemText(numbered, 0, text);
  std::wstring wide(64, L'\0');
  wide.resize(MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.Get(), -1, &wide[0], 64));
  ASSERT_FALSE(wide.empty()) << "still valid UTF-8";
  EXPECT_EQ(wide.size() - 1, 50u);
  // Without numbering nothing is cut.
  IPopupMenu plain({longCaption.c_str()});
  NativeMenuItemText(plain, 0, text);
  EXPECT_EQ(text.Length(), 120);
  // Missing items and captions give empty text.
  NativeMenuItemText(plain, 7, text);
  EXPECT_STREQ(text.Get(), "");
}

TEST(NativeMenu, FlagsAndColumnBreaksReadBackFromTheMenu) {
  IPopupMenu menu;
  for (int i = 0; i < 25; ++i) menu.AppendItem("item");
  menu.ColumnBreak = 10;
  menu.ItemAt(1)->SetFlag(EPopupItemFlag::Greyed);
  menu.ItemAt(2)->SetFlag(EPopupItemFlag::Inert);
  menu.ItemAt(3)->SetFlag(EPopupItemFlag::Ticked);
  menu.ItemAt(4)->SetFlag(EPopupItemFlag::Marked);
  menu.ItemAt(5)->SetFlag(EPopupItemFlag::Divider);
  int32_t next = 0;
  HMENU h = static_cast<HMENU>(BuildNativeMenu(menu, next));
  ASSERT_TRUE(h);
  EXPECT_EQ(next, 25);
  ASSERT_EQ(GetMenuItemCount(h), 25);
  for (int i = 0; i < 25; ++i) {
    const UINT state = ItemState(h, i);
    const bool breakHere = i == 10 || i == 20;  // items 11 and 21 start columns
    EXPECT_EQ((state & MFT_MENUBARBREAK) != 0, breakHere) << i;
  }
  EXPECT_TRUE(ItemState(h, 1) & MFS_GRAYED);
  EXPECT_TRUE(ItemState(h, 2) & MFS_DISABLED);
  EXPECT_TRUE(ItemState(h, 3) & MFS_CHECKED);
  EXPECT_FALSE(ItemState(h, 3) & MFT_RADIOCHECK);
  EXPECT_TRUE(ItemState(h, 4) & MFS_CHECKED);
  EXPECT_TRUE(ItemState(h, 4) & MFT_RADIOCHECK);
  EXPECT_TRUE(ItemState(h, 5) & MFT_SEPARATOR);
  EXPECT_EQ(ItemId(h, 7), 7u);
  DestroyMenu(h);

  // With 160 items or more no column breaks are made.
  IPopupMenu big;
  for (int i = 0; i < 160; ++i) big.AppendItem("x");
  big.ColumnBreak = 10;
  for (int i = 0; i < 160; ++i) EXPECT_EQ(NativeMenuItemFlags(big, i) & MF_MENUBARBREAK, 0u);
}

// Top menu of 3 items whose first item opens a submenu of 4: the submenu's
// ids follow the top block, so its second item is command 4.
TEST(NativeMenu, SubmenuIdsFollowTheTopBlockAndAreFoundAgain) {
  IPopupMenu top({"a", "b", "c"});
  auto* sub = new IPopupMenu({"s0", "s1", "s2", "s3"});
  auto* subsub = new IPopupMenu({"t0", "t1"});
  sub->ItemAt(3)->SetChild(subsub);
  top.ItemAt(0)->SetChild(sub);
  auto* second = new IPopupMenu({"u0"});
  top.ItemAt(2)->SetChild(second);
  int32_t next = 0;
  HMENU h = static_cast<HMENU>(BuildNativeMenu(top, next));
  ASSERT_TRUE(h);
  EXPECT_EQ(next, 3 + 4 + 2 + 1);
  HMENU hsub = GetSubMenu(h, 0);
  ASSERT_TRUE(hsub);
  EXPECT_EQ(ItemId(hsub, 1), 4u);
  EXPECT_EQ(ItemText(hsub, 1), L"s1");
  EXPECT_EQ(ItemId(GetSubMenu(hsub, 3), 0), 7u);
  EXPECT_EQ(ItemId(GetSubMenu(h, 2), 0), 9u);
  DestroyMenu(h);

  const struct {
    int32_t id;
    IPopupMenu* menu;
    int32_t index;
  } cases[] = {{0, &top, 0}, {2, &top, 2}, {4, sub, 1}, {6, sub, 3}, {8, subsub, 1}, {9, second, 0},
               {10, nullptr, 0}, {-1, nullptr, 0}};
  for (const auto& c : cases) {
    int32_t index = -7;
    EXPECT_EQ(FindMenuForCommand(top, c.id, index), c.menu) << c.id;
    if (c.menu) {
      EXPECT_EQ(index, c.index) << c.id;
    }
  }
}

} // namespace
} // namespace plugkit::canvas::test
