// The in-window pop-up menu, driven through the canvas with hovers and
// presses: pane geometry, highlight, submenus, scrolling, fades and the
// choice handed back to the requesting control.

#include <gtest/gtest.h>

#include <memory>

#include "graphics/controls/IPopupMenuControl.h"
#include "tests/graphics/controls/stock_fixture.h"
#include "tests/support/wait.h"

namespace plugkit::canvas::test {
namespace {

using ::plugkit::test::WaitUntil;

// Captions measure 10 pixels per character and 15 high (the menu's font),
// so a cell is the widest caption + 26 wide (2 x 5 text padding, 10 mark
// column, 6 arrow) and 15 high, with 2 between cells and 5 of padding.
struct MenuFixture : StockFixture {
  IPopupMenuControl* control = nullptr;
  ProbeControl* requester = nullptr;
  IPopupMenu menu{"One", "Two", "Three"};
  std::vector<std::string> completions;

  MenuFixture() {
    control = static_cast<IPopupMenuControl*>(canvas.InstallPopupMenuControl());
    requester = Add("requester", IBox(0, 0, 250, 160));
    Watch(menu, "root");
  }
  void Watch(IPopupMenu& m, const std::string& name) {
    m.Completion = [this, name](IPopupMenu* chosen) {
      completions.push_back(name + Fmt(" %g", chosen->PickedIndex));
    };
  }
  void Open(float x, float y, bool isContext = false) {
    ASSERT_TRUE(canvas.OpenPopupMenu(requester, menu, IBox(x, y, x + 40, y + 20), isContext ? -1 : 0, isContext));
  }
  // Runs the running fade to its end, as the display ticks would.
  void FinishFade() { control->OnAnimationDone(); }
  void OpenFully(float x, float y) {
    Open(x, y);
    FinishFade();
    ASSERT_EQ(control->State(), EPopupMenuState::Open);
  }
  const IPopupPane& Pane(int32_t i) { return *control->PaneAt(i); }
  int32_t HighlightedIndex(int32_t pane) {
    return control->PaneAt(pane) ? control->PaneAt(pane)->IndexOf(control->HighlightedCell()) : -1;
  }
};

TEST(PopupMenuControl, OpensAPaneOfCellsAtTheAnchor) {
  MenuFixture f;
  EXPECT_TRUE(f.control->Concealed());
  f.Open(20, 30);
  EXPECT_EQ(f.control->State(), EPopupMenuState::Unfolding);
  EXPECT_FALSE(f.control->Concealed());
  EXPECT_EQ(f.canvas.menuToggles, 1);
  EXPECT_EQ(f.control->PlacementArea(), IBox(0, 0, 250, 160));
  ASSERT_EQ(f.control->PaneCount(), 1);

  const IPopupPane& root = f.Pane(0);
  EXPECT_EQ(root.Cells, (std::vector<IBox>{{25, 35, 101, 50}, {25, 52, 101, 67}, {25, 69, 101, 84}}));
  EXPECT_EQ(root.InnerBox, IBox(20, 30, 106, 89));
  EXPECT_EQ(root.OuterBox, IBox(10, 20, 116, 99));
  EXPECT_EQ(f.control->HitBounds(), root.InnerBox);
  EXPECT_EQ(f.control->Bounds(), root.OuterBox);
  EXPECT_FLOAT_EQ(root.Blend.Opacity, 0.0f);

  f.FinishFade();
  EXPECT_EQ(f.control->State(), EPopupMenuState::Open);
  EXPECT_FLOAT_EQ(root.Blend.Opacity, 0.89f);
}

TEST(PopupMenuControl, HoverHighlightsAndAPressHandsTheChoiceBack) {
  MenuFixture f;
  f.OpenFully(20, 30);
  f.Hover(30, 55);
  EXPECT_EQ(f.HighlightedIndex(0), 1);
  f.Hover(30, 51);  // the gap between two cells
  EXPECT_EQ(f.control->HighlightedCell(), nullptr);

  f.Forget();
  f.Click(30, 72);
  EXPECT_EQ(f.menu.PickedIndex, 2);
  EXPECT_EQ(f.completions, (std::vector<std::string>{"root 2"}));
  EXPECT_TRUE(f.Has("menu choice 2 0 requester"));
  EXPECT_FALSE(f.Has("press 30,72 requester"));
  EXPECT_EQ(f.Pane(0).ChosenCell, &f.Pane(0).Cells[2]);
  EXPECT_EQ(f.control->State(), EPopupMenuState::Chosen);
  EXPECT_TRUE(f.control->Concealed());
  EXPECT_EQ(f.canvas.MenuRequester(), nullptr);

  // The closing states, then closed: the next menu may open.
  f.FinishFade();
  EXPECT_EQ(f.control->State(), EPopupMenuState::Folding);
  f.FinishFade();
  EXPECT_EQ(f.control->State(), EPopupMenuState::Settling);
  EXPECT_TRUE(f.canvas.MenuRequestPending());
  f.FinishFade();
  EXPECT_EQ(f.control->State(), EPopupMenuState::Closed);
  EXPECT_EQ(f.control->PaneCount(), 0);
  EXPECT_TRUE(f.control->Bounds().IsEmpty());
  EXPECT_EQ(f.canvas.menuToggles, 2);
  EXPECT_FALSE(f.canvas.MenuRequestPending());
  EXPECT_FALSE(f.control->AnimationStep());
}

TEST(PopupMenuControl, PressOutsideEveryCellClosesWithNothingChosen) {
  {
    MenuFixture f;
    f.OpenFully(20, 30);
    f.Click(200, 150);
    EXPECT_EQ(f.menu.PickedIndex, -1);
    EXPECT_EQ(f.completions, (std::vector<std::string>{"root -1"}));
    EXPECT_TRUE(f.Has("menu choice -9 0 requester"));  // null menu
    EXPECT_FALSE(f.Has("press 200,150 requester"));
    EXPECT_EQ(f.control->State(), EPopupMenuState::Chosen);
  }
  {
    MenuFixture f;  // a menu without items still opens a pane and closes with nothing
    f.menu.ClearItems();
    f.OpenFully(20, 30);
    EXPECT_TRUE(f.Pane(0).Cells.empty());
    EXPECT_EQ(f.Pane(0).InnerBox, IBox(20, 30, 56, 40));
    f.Click(25, 35);
    EXPECT_EQ(f.completions, (std::vector<std::string>{"root -1"}));
    EXPECT_TRUE(f.Has("menu choice -9 0 requester"));
  }
  {
    MenuFixture f;  // a context menu answers -1
    f.Open(20, 30, true);
    f.FinishFade();
    f.Click(200, 150);
    EXPECT_TRUE(f.Has("context choice -1 requester"));
  }
}

TEST(PopupMenuControl, ItemsThatCannotBeChosenCommitNothing) {
  struct Case {
    const char* what;
    std::function<void(IPopupMenuItem&)> make;
  };
  const Case cases[] = {
      {"divider", [](IPopupMenuItem& i) { i.SetFlag(EPopupItemFlag::Divider); }},
      {"inert", [](IPopupMenuItem& i) { i.SetFlag(EPopupItemFlag::Inert); }},
      {"greyed", [](IPopupMenuItem& i) { i.SetFlag(EPopupItemFlag::Greyed); }},
      {"submenu", [](IPopupMenuItem& i) { i.SetChild(new IPopupMenu({"Deeper"})); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    MenuFixture f;
    c.make(*f.menu.ItemAt(0));
    f.OpenFully(20, 30);
    const IBox cell = f.Pane(0).Cells[0];
    f.Click(cell.Left + 2, cell.Top + 1);
    EXPECT_EQ(f.menu.PickedIndex, -1);
    EXPECT_EQ(f.completions, (std::vector<std::string>{"root -1"}));
    EXPECT_EQ(f.Pane(0).ChosenCell, nullptr);
  }
}

TEST(PopupMenuControl, PressesDuringTheFadeInReachNothing) {
  MenuFixture f;
  f.Open(20, 30);
  ASSERT_EQ(f.control->State(), EPopupMenuState::Unfolding);
  EXPECT_TRUE(f.control->TakesEveryPoint());
  f.Forget();
  f.Click(30, 55);     // on a cell
  f.Click(200, 150);   // on the control beneath, outside the menu
  EXPECT_FALSE(f.Has("press 30,55 requester"));
  EXPECT_FALSE(f.Has("press 200,150 requester"));
  EXPECT_EQ(f.menu.PickedIndex, -1);
  EXPECT_TRUE(f.completions.empty());
  EXPECT_EQ(f.control->State(), EPopupMenuState::Unfolding);

  f.FinishFade();
  f.Click(30, 55);
  EXPECT_EQ(f.menu.PickedIndex, 1);
}

// The fades follow the clock; each display tick shows where they are. A tick
// half way through the fade-in shows the menu part-faded in. On a busy
// machine the whole fade may pass before the tick comes: the menu is then
// opened again until a tick lands inside the fade.
TEST(PopupMenuControl, FadesRunOnDisplayTicks) {
  std::unique_ptr<MenuFixture> f;
  IBoxList boxes;
  float half = -1.0f;
  ASSERT_TRUE(WaitUntil("a display tick in the second half of the fade-in", [&] {
    f = std::make_unique<MenuFixture>();
    f->Open(20, 30);
    EXPECT_TRUE(WaitUntil("half the fade-in", [&] { return f->control->AnimationFraction() >= 0.5; }));
    f->canvas.RunDisplayTick(boxes);
    half = f->Pane(0).Blend.Opacity;
    return f->control->State() == EPopupMenuState::Unfolding;
  }));
  EXPECT_GT(half, 0.0f);
  EXPECT_LT(half, 0.89f);
  EXPECT_TRUE(WaitUntil("a display tick after the fade-in", [&] {
    f->canvas.RunDisplayTick(boxes);
    return f->control->State() != EPopupMenuState::Unfolding;
  }));
  EXPECT_EQ(f->control->State(), EPopupMenuState::Open);

  f->Click(30, 55);
  EXPECT_TRUE(WaitUntil("display ticks to run the fade-out to its end", [&] {
    f->canvas.RunDisplayTick(boxes);
    return f->control->State() == EPopupMenuState::Closed;
  }));
  EXPECT_EQ(f->control->State(), EPopupMenuState::Closed);
  EXPECT_FALSE(f->canvas.RunDisplayTick(boxes));  // nothing left to redraw
}

// Root "A", "More" > ("Deeper" > ("Q"), "Z"), "B" at (10, 10).
struct SubmenuFixture : MenuFixture {
  IPopupMenu* more = new IPopupMenu({"Deeper", "Z"});
  IPopupMenu* deeper = new IPopupMenu({"Q"});
  SubmenuFixture() {
    menu.ClearItems();
    menu.AppendItem("A");
    menu.AppendItem("More")->SetChild(more);
    menu.AppendItem("B");
    more->ItemAt(0)->SetChild(deeper);
    Watch(*more, "more");
    Watch(*deeper, "deeper");
    OpenFully(10, 10);
  }
  void HoverCell(int32_t pane, int32_t cell) {
    const IBox& c = Pane(pane).Cells[static_cast<size_t>(cell)];
    Hover(c.Left + 1, c.Top + 1);
  }
};

TEST(PopupMenuControl, SubmenuUnfoldsBesideItsCellAndAnswersForItself) {
  SubmenuFixture f;
  f.HoverCell(0, 1);
  ASSERT_EQ(f.control->PaneCount(), 2);
  const IPopupPane& sub = f.Pane(1);
  const IBox& moreCell = f.Pane(0).Cells[1];
  EXPECT_EQ(sub.ParentIndex, 0);
  EXPECT_EQ(sub.Menu, f.more);
  EXPECT_EQ(sub.Cells[0], IBox(moreCell.Right + 10, moreCell.Top + 5, moreCell.Right + 10 + 86, moreCell.Top + 20));
  EXPECT_EQ(f.Pane(0).OpenSubmenuCell, &moreCell);
  EXPECT_EQ(f.control->State(), EPopupMenuState::SubmenuUnfolding);
  EXPECT_EQ(f.control->UnfoldingPane(), &sub);
  EXPECT_EQ(f.control->Bounds(), f.Pane(0).OuterBox.Union(sub.OuterBox));
  EXPECT_EQ(f.control->HitBounds(), f.Pane(0).InnerBox.Union(sub.InnerBox));
  f.FinishFade();

  f.HoverCell(1, 1);
  EXPECT_EQ(f.control->ActivePane(), &sub);
  EXPECT_EQ(f.HighlightedIndex(1), 1);
  f.Forget();
  f.Click(sub.Cells[1].Left + 1, sub.Cells[1].Top + 1);
  EXPECT_EQ(f.more->PickedIndex, 1);
  EXPECT_EQ(f.menu.PickedIndex, -1);
  EXPECT_EQ(f.completions, (std::vector<std::string>{"more 1"}));
  EXPECT_TRUE(f.Has("menu choice 1 0 requester"));
}

TEST(PopupMenuControl, HoveringAPlainItemFoldsEverySubmenuBelow) {
  SubmenuFixture f;
  f.HoverCell(0, 1);
  f.FinishFade();
  f.HoverCell(1, 0);
  f.FinishFade();
  ASSERT_EQ(f.control->PaneCount(), 3);
  const IBox deepCell = f.Pane(2).Cells[0];
  EXPECT_TRUE(f.Pane(2).Visible);

  f.HoverCell(0, 0);  // "A": no submenu
  EXPECT_FALSE(f.Pane(1).Visible);
  EXPECT_FALSE(f.Pane(2).Visible);  // also the submenu of the submenu
  EXPECT_EQ(f.Pane(0).OpenSubmenuCell, nullptr);
  EXPECT_EQ(f.Pane(1).OpenSubmenuCell, nullptr);

  // Nothing hidden answers the pointer any more.
  f.Hover(deepCell.Left + 1, deepCell.Top + 1);
  EXPECT_EQ(f.control->HighlightedCell(), nullptr);

  // Shown again, a submenu reuses its pane; its own submenu stays folded.
  f.HoverCell(0, 1);
  EXPECT_TRUE(f.Pane(1).Visible);
  EXPECT_FALSE(f.Pane(2).Visible);
  EXPECT_EQ(f.control->PaneCount(), 3);
  f.FinishFade();

  f.Click(deepCell.Right - 2, deepCell.Top + 1);  // clear of the submenu's shadow
  EXPECT_EQ(f.deeper->PickedIndex, -1);
  EXPECT_EQ(f.completions, (std::vector<std::string>{"root -1"}));
}

TEST(PopupMenuControl, SubmenuPassingTheRightEdgeMovesLeftAsAWhole) {
  MenuFixture f;
  f.menu.ItemAt(2)->SetChild(new IPopupMenu({"Far right"}));
  f.OpenFully(200, 10);
  // The root itself is moved in: its cells end 15 short of the right edge.
  const IPopupPane& root = f.Pane(0);
  EXPECT_EQ(root.Cells[0], IBox(159, 15, 235, 30));
  f.Hover(root.Cells[2].Left + 1, root.Cells[2].Top + 1);
  ASSERT_EQ(f.control->PaneCount(), 2);
  const IPopupPane& sub = f.Pane(1);
  EXPECT_EQ(sub.Cells[0].Right, 235);
  EXPECT_EQ(sub.Cells[0].Width(), 116);
  EXPECT_EQ(sub.Cells[0].Top, root.Cells[2].Top + 5);
}

TEST(PopupMenuControl, TallMenuScrollsOneItemPerHoverWithinItsEnds) {
  MenuFixture f;
  f.menu.ClearItems();
  for (int i = 0; i < 20; ++i) f.menu.AppendItem(Fmt("Item %g", i).c_str());
  f.OpenFully(10, 10);
  const IPopupPane& pane = f.Pane(0);
  // (160 - 5 - 15) / (15 + 2) = 8 cells from 15 (padding and shadow) down.
  EXPECT_TRUE(pane.Scrolling);
  EXPECT_EQ(pane.MostShown, 8);
  ASSERT_EQ(pane.Cells.size(), 8u);
  EXPECT_EQ(pane.Cells[0].Top, 15);
  EXPECT_EQ(pane.Cells[7].Bottom, 149);

  const IBox first = pane.Cells[0];
  const IBox last = pane.Cells[7];
  for (int i = 1; i <= 15; ++i) {
    f.Hover(last.Left + 1, last.Top + 1 + (i % 2));
    EXPECT_EQ(pane.FirstShown, std::min(i, 12));
  }
  for (int i = 11; i >= -3; --i) {
    f.Hover(first.Left + 1, first.Top + 1 + (i % 2 != 0));
    EXPECT_EQ(pane.FirstShown, std::max(i, 0));
  }

  // A press on a scroll arrow scrolls; it never picks the item behind it.
  f.Hover(last.Left + 1, last.Top + 1);
  f.Hover(last.Left + 1, last.Top + 2);
  ASSERT_EQ(pane.FirstShown, 2);
  f.Click(first.Left + 1, first.Top + 1);
  EXPECT_EQ(pane.FirstShown, 1);
  EXPECT_EQ(f.control->State(), EPopupMenuState::Open);
  EXPECT_TRUE(f.completions.empty());

  const IBox& third = pane.Cells[2];
  f.Click(third.Left + 1, third.Top + 1);
  EXPECT_EQ(f.menu.PickedIndex, 3);
}

TEST(PopupMenuControl, ShortMenuNearTheBottomOpensUpwardsInsideTheEditor) {
  struct Case {
    float anchorY;
    float firstTop;
  };
  // Three cells need 49 pixels and 5 of padding below them.
  const Case cases[] = {{40, 45}, {120, 95}, {150, 106}};
  for (const Case& c : cases) {
    SCOPED_TRACE(Fmt("anchor %g", c.anchorY));
    MenuFixture f;
    f.OpenFully(10, c.anchorY);
    const IPopupPane& pane = f.Pane(0);
    EXPECT_FALSE(pane.Scrolling);
    ASSERT_EQ(pane.Cells.size(), 3u);
    EXPECT_EQ(pane.Cells[0].Top, c.firstTop);
    EXPECT_LE(pane.Cells[2].Bottom + 5, 160);
  }
}

TEST(PopupMenuControl, AnswersTheCanvasValuePrompt) {
  MenuFixture f;
  ProbeControl* mode = f.Add("mode", IBox(20, 30, 60, 50), RecordingDelegate::kMode);
  mode->SetNoValuePrompt(false);
  f.canvas.PromptParameterValue(mode, mode->Bounds(), 0);
  ASSERT_EQ(f.control->Menu(), &f.canvas.PromptMenu());
  ASSERT_EQ(f.control->PaneCount(), 1);
  EXPECT_TRUE(f.canvas.PromptMenu().ItemAt(1)->HasFlag(EPopupItemFlag::Marked));  // "B", the current value
  f.FinishFade();
  f.Forget();
  const IBox cell = f.Pane(0).Cells[2];
  f.Click(cell.Left + 1, cell.Top + 1);
  EXPECT_TRUE(f.Has("menu choice 2 0 mode"));
  EXPECT_TRUE(f.Has("set 1 1"));
}

TEST(PopupMenuControl, DrawsHighlightMarksAndDividersInTheMenuColours) {
  MenuFixture f;
  f.menu.ItemAt(0)->SetFlag(EPopupItemFlag::Ticked);
  f.menu.ItemAt(1)->SetFlag(EPopupItemFlag::Marked);
  f.menu.AppendDivider();
  f.menu.AppendItem("Off")->SetFlag(EPopupItemFlag::Greyed);
  f.Open(20, 30);
  const auto drawn = [&] {
    f.canvas.draws.clear();
    f.control->Render(f.canvas);
    return f.canvas.draws;
  };

  // Faded in halfway a divider is not drawn; fully shown it is.
  f.control->PaneAt(0)->Blend.Opacity = 0.5f;
  for (const std::string& d : drawn()) EXPECT_EQ(d.find("flood 25,86,101,88"), std::string::npos) << d;
  f.FinishFade();
  f.Hover(30, 55);
  const std::vector<std::string> all = drawn();
  const auto has = [&](const std::string& line) {
    return std::find(all.begin(), all.end(), line) != all.end();
  };
  EXPECT_TRUE(has("rounded 20,30,106,110 r5 (255,0,0,0) o0.89"));              // background
  EXPECT_TRUE(has("outline rounded 20,30,106,110 r5 (255,0,0,0) o0.89"));      // its darker edge
  EXPECT_TRUE(has("flood 20,52,106,67 (255,130,130,130) o0.89"));              // highlight
  EXPECT_TRUE(has("text 'One' 40,35,96,50 (255,240,240,240)"));
  EXPECT_TRUE(has("text 'Two' 40,52,96,67 (255,0,0,0)"));                      // on the highlight
  EXPECT_TRUE(has("text 'Off' 40,90,96,105 (255,127,127,127)"));               // greyed
  EXPECT_TRUE(has("segment 26.25,42.5 29.25,45.125 (255,240,240,240) w2"));    // tick
  EXPECT_TRUE(has("rounded 27.5,57,32.5,62 r2 (255,0,0,0) o0.89"));            // marker, highlighted
  EXPECT_TRUE(has("flood 25,86,101,88 (255,200,200,200) o0.25"));              // divider
  EXPECT_EQ(f.canvas.DrawsStarting("text").size(), 4u);                         // not the divider
}

} // namespace
} // namespace plugkit::canvas::test
