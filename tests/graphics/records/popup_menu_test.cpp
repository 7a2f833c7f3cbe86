#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "graphics/records/IPopupMenu.h"

using namespace plugkit::canvas;

namespace {

// A completion that records the menus it ran with; the shared token lets a
// test see when the menu holding the completion has been destroyed.
struct Recorder {
  std::vector<IPopupMenu*> calls;
  std::vector<int> picked;
  std::shared_ptr<int> token = std::make_shared<int>(0);

  IPopupMenuCompletion Make() {
    auto keep = token;
    return [this, keep](IPopupMenu* m) {
      calls.push_back(m);
      picked.push_back(m->PickedIndex);
    };
  }
  long Holders() const { return token.use_count() - 1; }
};

std::vector<std::string> Captions(const IPopupMenu& m) {
  std::vector<std::string> out;
  for (const IPopupMenuItem* item : m.Items) out.push_back(item->Caption.Get());
  return out;
}

} // namespace

TEST(IPopupMenu, BuiltFromCaptions) {
  const IPopupMenu empty;
  EXPECT_EQ(empty.ItemCount(), 0);
  EXPECT_EQ(empty.PickedIndex, -1);
  EXPECT_STREQ(empty.Heading.Get(), "");
  EXPECT_FALSE(empty.Completion);
  EXPECT_EQ(empty.ItemAt(0), nullptr);

  const IPopupMenu m{"Cut", "Copy", nullptr, "Paste"};
  EXPECT_EQ(Captions(m), (std::vector<std::string>{"Cut", "Copy", "", "Paste"}));
  for (const IPopupMenuItem* item : m.Items) {
    EXPECT_EQ(item->Options, 0);
    EXPECT_EQ(item->ItemCode, -1);
    EXPECT_EQ(item->Child, nullptr);
  }
  EXPECT_EQ(m.ItemAt(-1), nullptr);
  EXPECT_EQ(m.ItemAt(4), nullptr);
  EXPECT_EQ(m.ItemAt(3), m.Items.Get(3));
}

TEST(IPopupMenu, ChoosabilityFollowsTheFlags) {
  IPopupMenu m;
  IPopupMenuItem* plain = m.AppendItem("Plain");
  IPopupMenuItem* ticked = m.AppendItem("Ticked");
  ticked->SetFlag(EPopupItemFlag::Ticked);
  ticked->SetFlag(EPopupItemFlag::Marked);
  IPopupMenuItem* greyed = m.AppendItem("Greyed");
  greyed->SetFlag(EPopupItemFlag::Greyed);
  IPopupMenuItem* inert = m.AppendItem("Inert");
  inert->SetFlag(EPopupItemFlag::Inert);
  IPopupMenuItem* divider = m.AppendDivider();
  ASSERT_NE(divider, nullptr);
  EXPECT_EQ(divider->Options, 8);
  EXPECT_STREQ(divider->Caption.Get(), "");

  EXPECT_TRUE(plain->IsChoosable());
  EXPECT_TRUE(ticked->IsChoosable());
  EXPECT_EQ(ticked->Options, 4 | 16);
  EXPECT_FALSE(greyed->IsChoosable());
  EXPECT_FALSE(inert->IsChoosable());
  EXPECT_FALSE(divider->IsChoosable());
  divider->Caption.Assign("Looks like an item");  // a caption does not make a divider choosable
  EXPECT_FALSE(divider->IsChoosable());
  ticked->SetFlag(EPopupItemFlag::Ticked, false);
  EXPECT_EQ(ticked->Options, 16);
}

TEST(IPopupMenu, ReportChoiceSetsThePickAndRunsTheCompletion) {
  Recorder rec;
  IPopupMenu m{"A", "B", "C"};
  m.AppendDivider();
  m.ItemAt(2)->SetFlag(EPopupItemFlag::Greyed);
  m.Completion = rec.Make();

  struct Case {
    int index;
    int picked;
  };
  // Valid picks, then indices that name nothing or something unpickable.
  const Case cases[] = {{1, 1}, {0, 0}, {-1, -1}, {4, -1}, {99, -1}, {2, -1}, {3, -1}};
  for (const Case& c : cases) {
    m.PickedIndex = 7;
    m.ReportChoice(c.index);
    EXPECT_EQ(m.PickedIndex, c.picked) << "index " << c.index;
    ASSERT_FALSE(rec.picked.empty());
    EXPECT_EQ(rec.picked.back(), c.picked);
    EXPECT_EQ(rec.calls.back(), &m);
  }
  EXPECT_EQ(rec.calls.size(), std::size(cases));
  EXPECT_EQ(m.PickedItem(), nullptr);
  m.ReportChoice(1);
  EXPECT_EQ(m.PickedItem(), m.ItemAt(1));
}

TEST(IPopupMenu, ChoiceInASubmenuIsReportedOnTheSubmenu) {
  Recorder rootRec, subRec;
  IPopupMenu root{"One", "Two", "Three"};
  root.Completion = rootRec.Make();
  auto* sub = new IPopupMenu{"a", "b", "c", "d"};
  sub->Completion = subRec.Make();
  root.ItemAt(0)->SetChild(sub);

  root.ItemAt(0)->Child->ReportChoice(1);
  EXPECT_EQ(sub->PickedIndex, 1);
  EXPECT_EQ(root.PickedIndex, -1);
  EXPECT_TRUE(rootRec.calls.empty());
  ASSERT_EQ(subRec.calls.size(), 1u);
  EXPECT_EQ(subRec.calls[0], sub);

  // The item that opens a submenu is not itself a pick.
  root.ReportChoice(0);
  EXPECT_EQ(root.PickedIndex, -1);
}

TEST(IPopupMenu, ClearingFreesSubmenusAndTheMenuCanBeRefilled) {
  Recorder subRec, deepRec, replacedRec;
  IPopupMenu menu{"Top"};
  {
    auto* sub = new IPopupMenu{"x"};
    sub->Completion = subRec.Make();
    auto* deep = new IPopupMenu{"y"};
    deep->Completion = deepRec.Make();
    sub->ItemAt(0)->SetChild(deep);
    menu.ItemAt(0)->SetChild(sub);
  }
  EXPECT_EQ(subRec.Holders(), 1);
  EXPECT_EQ(deepRec.Holders(), 1);

  menu.ClearItems(true);
  EXPECT_EQ(menu.ItemCount(), 0);
  EXPECT_EQ(subRec.Holders(), 0);   // submenu destroyed
  EXPECT_EQ(deepRec.Holders(), 0);  // and its own submenu

  ASSERT_NE(menu.AppendItem("Again"), nullptr);
  ASSERT_NE(menu.AppendItem("More"), nullptr);
  EXPECT_EQ(Captions(menu), (std::vector<std::string>{"Again", "More"}));
  menu.ReportChoice(1);
  EXPECT_EQ(menu.PickedIndex, 1);

  // Replacing a child deletes the one it replaces.
  auto* first = new IPopupMenu;
  first->Completion = replacedRec.Make();
  menu.ItemAt(0)->SetChild(first);
  EXPECT_EQ(replacedRec.Holders(), 1);
  menu.ItemAt(0)->SetChild(new IPopupMenu{"new"});
  EXPECT_EQ(replacedRec.Holders(), 0);
}

TEST(IPopupMenu, DestroyingTheRootFreesTheWholeTree) {
  Recorder rec;
  {
    IPopupMenu root{"a"};
    auto* sub = new IPopupMenu{"b"};
    sub->Completion = rec.Make();
    root.ItemAt(0)->SetChild(sub);
    EXPECT_EQ(rec.Holders(), 1);
  }
  EXPECT_EQ(rec.Holders(), 0);
}

TEST(IPopupMenu, ClearWithoutDeletingHandsTheItemsToTheCaller) {
  IPopupMenu m{"keep"};
  std::unique_ptr<IPopupMenuItem> item(m.ItemAt(0));
  m.ClearItems(false);
  EXPECT_EQ(m.ItemCount(), 0);
  EXPECT_STREQ(item->Caption.Get(), "keep");  // still alive, now the caller's
}

TEST(IPopupMenu, CompletionMayRebuildTheMenuWhileRunning) {
  IPopupMenu m{"Restore", "Modify"};
  int runs = 0;
  m.Completion = [&runs](IPopupMenu* menu) {
    ++runs;
    const int picked = menu->PickedIndex;
    menu->Completion = nullptr;  // replaces the running function
    menu->ClearItems(true);
    menu->AppendItem(picked == 1 ? "picked Modify" : "other");
  };
  m.ReportChoice(1);
  EXPECT_EQ(runs, 1);
  EXPECT_EQ(Captions(m), (std::vector<std::string>{"picked Modify"}));
  EXPECT_FALSE(m.Completion);
}
