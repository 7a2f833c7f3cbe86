// The in-window menu's states, input and fades; its drawing lives in
// IPopupMenuControlDrawing.cpp and the pane layout in IPopupPane.cpp.

#include "graphics/controls/IPopupMenuControl.h"

#include <algorithm>

#include "graphics/ICanvas.h"
#include "graphics/records/IPopupMenu.h"

namespace plugkit::canvas {

ITextStyle IPopupMenuControl::DefaultMenuStyle() {
  return ITextStyle("Roboto-Regular", 15.0f, IArgb(255, 240, 240, 240), IArgb(255, 0, 0, 0),
                    IArgb(255, 130, 130, 130), 0.0f, ETextHAlign::Centre, ETextVAlign::Centre, false);
}

// Every MarkChanged(true, ...) runs the change action, so each one restarts
// the fade from the beginning for the state the menu is now in.
IPopupMenuControl::IPopupMenuControl()
    : IMenuOverlay(IBox(), -1, [](IControl* c) { static_cast<IPopupMenuControl*>(c)->LaunchFade(); }) {
  SetTextStyle(DefaultMenuStyle());
  SetConcealed(true);
}

IPopupMenuControl::~IPopupMenuControl() = default;

// Also during the fade-in: a press there must neither choose (only Open
// chooses) nor fall through to a control the menu is drawn over.
bool IPopupMenuControl::TakesEveryPoint() const {
  return mState == EPopupMenuState::Unfolding || mState == EPopupMenuState::Open ||
         mState == EPopupMenuState::SubmenuUnfolding;
}

IPopupPane* IPopupMenuControl::PaneAt(int32_t index) const {
  return index >= 0 && index < PaneCount() ? mPanes[static_cast<size_t>(index)].get() : nullptr;
}

int32_t IPopupMenuControl::IndexOfPane(const IPopupPane* pane) const {
  for (int32_t i = 0; i < PaneCount(); ++i)
    if (mPanes[static_cast<size_t>(i)].get() == pane) return i;
  return -1;
}

// Every pointer into the panes goes with them.
void IPopupMenuControl::DeletePanes() {
  mActivePane = nullptr;
  mUnfoldingPane = nullptr;
  mHighlightedCell = nullptr;
  mPanes.clear();
}

void IPopupMenuControl::SetAllOpacities(float opacity) {
  for (auto& pane : mPanes) pane->Blend.Opacity = opacity;
}

// ---- Layout ----

// Dividers have no text to measure, whatever their caption holds.
IBox IPopupMenuControl::MeasureMenu(const IPopupMenu& menu, float x, float y) const {
  IBox captions;
  if (ICanvas* canvas = GraphicsRef()) {
    for (int32_t i = 0; i < menu.ItemCount(); ++i) {
      const IPopupMenuItem* item = menu.ItemAt(i);
      if (!item || item->HasFlag(EPopupItemFlag::Divider)) continue;
      IBox box;
      canvas->MeasureTextBox(TextStyle(), item->Caption.Get(), box);
      if (!box.IsEmpty()) captions = captions.Union(box);
    }
  }
  const IPopupMenuMetrics& m = mMetrics;
  return IBox(x, y, x + captions.Width() + 2.0f * m.TextPadding + m.MarkColumnWidth + m.ArrowSize,
              y + captions.Height());
}

// ---- Opening ----

void IPopupMenuControl::OpenMenu(const IBox& anchor) {
  ICanvas* canvas = GraphicsRef();
  if (!mMenu) {
    // Nothing to show; the requester must not wait for an answer forever.
    if (canvas) canvas->DeliverMenuResult(nullptr);
    return;
  }
  SetConcealed(false);
  mState = EPopupMenuState::Unfolding;
  if (canvas) canvas->NotifyPopupMenuToggled();
  DeletePanes();
  mAnchorBox = anchor;

  mPanes.push_back(std::make_unique<IPopupPane>(*this, mMenu, anchor.Left, anchor.Top, -1));
  IPopupPane* root = mPanes.back().get();
  mUnfoldingPane = root;
  mActivePane = root;
  if (mMetrics.CalloutEnabled) {
    const IBox& inner = root->InnerBox;
    const float s = mMetrics.CalloutSize;
    const float left = inner.Left + mMetrics.PanePadding;
    mCalloutSide = 1;
    mCalloutBox = IBox(left, inner.Top - s, left + 2.0f * s, inner.Top);
  }

  SetHitBounds(root->InnerBox);
  SetPointerOver(false);
  SetBounds(root->OuterBox);
  OnBoundsChange();
  MarkChanged(true, -1);
}

// ---- Pointer ----

void IPopupMenuControl::LocateCell(float x, float y) {
  mHighlightedCell = mActivePane ? mActivePane->CellAt(x, y) : nullptr;
  if (mHighlightedCell) return;
  // The pane drawn last lies on top.
  for (int32_t i = PaneCount() - 1; i >= 0; --i) {
    IPopupPane* pane = mPanes[static_cast<size_t>(i)].get();
    if (!pane->Visible || !pane->OuterBox.Contains(x, y)) continue;
    mActivePane = pane;
    mHighlightedCell = pane->CellAt(x, y);
    return;
  }
}

bool IPopupMenuControl::ScrollAt(int32_t j) {
  IPopupPane* pane = mActivePane;
  if (!pane || !pane->Scrolling || j < 0) return false;
  const int32_t last = static_cast<int32_t>(pane->Cells.size()) - 1;
  if (j == 0) {
    pane->FirstShown = std::max(pane->FirstShown - 1, 0);
  } else if (j == last) {
    pane->FirstShown = std::min(pane->LastFirstShown(), std::max(pane->FirstShown + 1, 0));
  } else {
    return false;
  }
  return true;
}

void IPopupMenuControl::OnPointerHover(float x, float y, const IPointerMods&) {
  if (!TakesEveryPoint()) return;
  LocateCell(x, y);
  UpdateSubmenus();
  if (mActivePane && mHighlightedCell) ScrollAt(mActivePane->IndexOf(mHighlightedCell));
  MarkChanged(false, -1);
}

void IPopupMenuControl::OnPointerDrag(float x, float y, float, float, const IPointerMods&) {
  if (!mActivePane) return;
  mHighlightedCell = mActivePane->CellAt(x, y);
  MarkChanged(false, -1);
}

void IPopupMenuControl::OnPointerGone() {
  mHighlightedCell = nullptr;
  MarkChanged(false, -1);
}

void IPopupMenuControl::OnPointerPress(float x, float y, const IPointerMods& mods) {
  if (mState != EPopupMenuState::Open) {
    IControl::OnPointerPress(x, y, mods);
    return;
  }
  LocateCell(x, y);
  // A scroll arrow stands in front of an item the user cannot see: pressing
  // it scrolls rather than choosing that item.
  if (mActivePane && mHighlightedCell) {
    const int32_t j = mActivePane->IndexOf(mHighlightedCell);
    if (mActivePane->IsScrollCell(j)) {
      ScrollAt(j);
      MarkChanged(false, -1);
      return;
    }
  }
  CommitChoice();
}

// ---- Submenus ----

void IPopupMenuControl::FoldBelow(int32_t index) {
  // Parents come before their children in the list, so one forward pass
  // reaches every level below index.
  std::vector<bool> below(mPanes.size(), false);
  for (size_t i = 0; i < mPanes.size(); ++i) {
    const int32_t parent = mPanes[i]->ParentIndex;
    if (parent < 0) continue;
    if (parent == index || (parent < static_cast<int32_t>(i) && below[static_cast<size_t>(parent)])) {
      below[i] = true;
      mPanes[i]->Visible = false;
      mPanes[i]->OpenSubmenuCell = nullptr;
    }
  }
}

void IPopupMenuControl::UpdateSubmenus() {
  IPopupPane* active = mActivePane;
  if (!active || !mHighlightedCell) return;
  const int32_t activeIndex = IndexOfPane(active);
  const int32_t j = active->IndexOf(mHighlightedCell);
  const IPopupMenuItem* item = active->IsScrollCell(j) ? nullptr : active->ItemOf(j);

  if (!item || !item->Child) {
    FoldBelow(activeIndex);
    active->OpenSubmenuCell = nullptr;
    MarkChanged(false, -1);
    return;
  }

  IPopupMenu* child = item->Child;
  IPopupPane* childPane = nullptr;
  for (auto& pane : mPanes)
    if (pane->Menu == child) childPane = pane.get();
  if (!childPane) {
    const IBox& cell = *mHighlightedCell;
    mPanes.push_back(std::make_unique<IPopupPane>(*this, child, cell.Right + mMetrics.PanePadding, cell.Top,
                                                  activeIndex));
    childPane = mPanes.back().get();
  }
  active->OpenSubmenuCell = item->HasFlag(EPopupItemFlag::Greyed) ? nullptr : mHighlightedCell;

  // Only the child's pane and the chain of panes that leads to it stay shown.
  std::vector<bool> chain(mPanes.size(), false);
  for (int32_t i = IndexOfPane(childPane); i >= 0 && !chain[static_cast<size_t>(i)];
       i = mPanes[static_cast<size_t>(i)]->ParentIndex)
    chain[static_cast<size_t>(i)] = true;
  IBox hit = HitBounds();
  IBox bounds = Bounds();
  for (size_t i = 0; i < mPanes.size(); ++i) {
    IPopupPane& pane = *mPanes[i];
    pane.Visible = chain[i];
    if (!chain[i]) {
      pane.OpenSubmenuCell = nullptr;
      continue;
    }
    hit = hit.Union(pane.InnerBox);
    bounds = bounds.Union(pane.OuterBox);
  }
  SetHitBounds(hit);
  SetPointerOver(false);
  SetBounds(bounds);
  OnBoundsChange();

  // A submenu already shown stays as it is; only a new one fades in.
  if (childPane != mUnfoldingPane) {
    mState = EPopupMenuState::SubmenuUnfolding;
    mUnfoldingPane = childPane;
    childPane->Blend.Opacity = 0.0f;
    MarkChanged(true, -1);
  }
  MarkChanged(false, -1);
}

// ---- Choosing ----

void IPopupMenuControl::CommitChoice() {
  IPopupPane* pane = mActivePane ? mActivePane : PaneAt(0);
  IPopupMenu* menu = pane ? pane->Menu : mMenu;
  int32_t index = -1;
  if (pane && mHighlightedCell) {
    const int32_t j = pane->IndexOf(mHighlightedCell);
    const IPopupMenuItem* item = pane->IsScrollCell(j) ? nullptr : pane->ItemOf(j);
    if (item && item->IsChoosable() && !item->Child) {
      index = pane->FirstShown + j;
      pane->ChosenCell = mHighlightedCell;
    }
  }
  // The menu closes before anyone hears of the choice: the completion and the
  // requester run code of their own, which must find the menu already
  // closing, and nothing here touches the control after them.
  ICanvas* canvas = GraphicsRef();
  mActivePane = nullptr;
  mState = EPopupMenuState::Chosen;
  SetConcealed(true);
  MarkChanged(true, -1);

  // Sets PickedIndex and runs the completion, also when nothing was chosen.
  if (menu) menu->ReportChoice(index);
  if (canvas) canvas->DeliverMenuResult(menu);
}

// ---- Fades ----

void IPopupMenuControl::LaunchFade() {
  LaunchAnimation([](IControl* c) { static_cast<IPopupMenuControl*>(c)->FadeStep(); },
                  mState == EPopupMenuState::SubmenuUnfolding ? kSubmenuFadeMs : kFadeMs);
}

void IPopupMenuControl::FadeStep() {
  const double f = AnimationFraction();
  if (f > 1.0) {
    OnAnimationDone();
    return;
  }
  const float opacity = mMetrics.PaneOpacity;
  switch (mState) {
    case EPopupMenuState::Unfolding:
      if (mUnfoldingPane) mUnfoldingPane->Blend.Opacity = opacity * static_cast<float>(f);
      break;
    case EPopupMenuState::SubmenuUnfolding:
      if (mUnfoldingPane) mUnfoldingPane->Blend.Opacity = f > 0.9 ? opacity : 0.0f;
      break;
    case EPopupMenuState::Folding:
      SetAllOpacities(opacity * static_cast<float>(1.0 - f));
      break;
    case EPopupMenuState::Settling:
      SetAllOpacities(0.0f);
      break;
    default:
      break;
  }
}

void IPopupMenuControl::FinishFade() { IControl::OnAnimationDone(); }

void IPopupMenuControl::OnAnimationDone() {
  switch (mState) {
    case EPopupMenuState::Unfolding:
    case EPopupMenuState::SubmenuUnfolding:
      SetAllOpacities(mMetrics.PaneOpacity);
      mState = EPopupMenuState::Open;
      break;
    case EPopupMenuState::Chosen:
      mState = EPopupMenuState::Folding;
      MarkChanged(true, -1);
      return;
    case EPopupMenuState::Folding:
      SetHitBounds(mSavedBounds);
      SetAllOpacities(0.0f);
      mState = EPopupMenuState::Settling;
      mHighlightedCell = nullptr;
      mAnchorBox = IBox();
      MarkChanged(true, -1);
      return;
    case EPopupMenuState::Settling:
      if (ICanvas* canvas = GraphicsRef()) canvas->NotifyPopupMenuToggled();
      DeletePanes();
      mState = EPopupMenuState::Closed;
      SetBounds(mSavedBounds);
      break;
    default:
      break;
  }
  FinishFade();
}

} // namespace plugkit::canvas
