// How the in-window menu draws its panes and cells. Colours come from the
// control's text style: a pane is EntryBackColour, text TextColour, a
// highlighted cell EntryTextColour. A style whose EntryBackColour is white
// is the framework's standard style, drawn black on white with white text on
// the highlight.

#include <algorithm>
#include <cmath>

#include "graphics/ICanvas.h"
#include "graphics/controls/IPopupMenuControl.h"
#include "graphics/records/DefaultConstants.h"
#include "graphics/records/IPopupMenu.h"

namespace plugkit::canvas {

namespace {

// The pane's outline: its background with each colour channel lowered by 127.
IArgb Darker(IArgb c) {
  return IArgb(c.Alpha, std::max(c.Red - 127, 0), std::max(c.Green - 127, 0), std::max(c.Blue - 127, 0));
}

} // namespace

bool IPopupMenuControl::IsDefaultStyle() const { return TextStyle().EntryBackColour == kArgbWhite; }

IArgb IPopupMenuControl::MarkColour(const IPopupMenuItem* item, bool highlighted, bool tick) const {
  if (tick && item && item->HasFlag(EPopupItemFlag::Greyed)) return kGreyedColour;
  if (highlighted) return IsDefaultStyle() ? kArgbWhite : TextStyle().EntryBackColour;
  return IsDefaultStyle() ? kArgbBlack : TextStyle().TextColour;
}

void IPopupMenuControl::Render(ICanvas& canvas) {
  for (const auto& owned : mPanes) {
    const IPopupPane& pane = *owned;
    if (!pane.Visible) continue;
    const IComposite& blend = pane.Blend;
    RenderPaneShadow(canvas, pane, blend);
    RenderPaneBack(canvas, pane.InnerBox, blend);

    const int32_t count = static_cast<int32_t>(pane.Cells.size());
    for (int32_t j = 0; j < count; ++j) {
      const IBox& cell = pane.Cells[static_cast<size_t>(j)];
      const bool highlighted = &cell == mHighlightedCell || &cell == pane.OpenSubmenuCell;
      if (pane.ShowsScrollUp(j)) {
        RenderCellBack(canvas, cell, nullptr, highlighted, blend);
        RenderScrollUp(canvas, cell, highlighted, blend);
        continue;
      }
      if (pane.ShowsScrollDown(j)) {
        RenderCellBack(canvas, cell, nullptr, highlighted, blend);
        RenderScrollDown(canvas, cell, highlighted, blend);
        continue;
      }
      const IPopupMenuItem* item = pane.ItemOf(j);
      if (!item) break;
      if (item->HasFlag(EPopupItemFlag::Divider)) {
        RenderDivider(canvas, cell, blend);
        continue;
      }
      // While a choice is being shown the chosen cell goes without its
      // highlight, so it blinks once.
      if (!(pane.ChosenCell && mState == EPopupMenuState::Chosen))
        RenderCellBack(canvas, cell, item, highlighted, blend);
      RenderCellText(canvas, cell, item, highlighted, blend);
      if (item->HasFlag(EPopupItemFlag::Ticked)) RenderCellTick(canvas, cell, item, highlighted, blend);
      if (item->HasFlag(EPopupItemFlag::Marked)) RenderCellMark(canvas, cell, item, highlighted, blend);
      if (item->Child) RenderSubmenuArrow(canvas, cell, item, highlighted, blend);
    }
  }
  if (mMetrics.CalloutEnabled && !mPanes.empty()) RenderCallout(canvas, mPanes.front()->Blend);
}

// A soft shadow from a few stacked rounded boxes, darkest under the pane:
// only canvas operations, so it looks alike on every drawing back-end.
void IPopupMenuControl::RenderPaneShadow(ICanvas& canvas, const IPopupPane& pane, const IComposite& blend) {
  constexpr int32_t kLayers = 4;
  const float opacity = std::clamp(blend.Opacity, 0.0f, 1.0f);
  const int32_t alpha = static_cast<int32_t>(std::lround(128.0f / kLayers * opacity));
  if (alpha <= 0) return;
  IBox under = pane.InnerBox;
  under.Top += 2.0f;
  under.Bottom += 2.0f;
  // The outermost layer stays inside OuterBox, which is all that is redrawn.
  const float reach = std::max(mMetrics.ShadowSize - 2.0f, 0.0f);
  for (int32_t k = kLayers; k >= 1; --k) {
    const float grow = reach * static_cast<float>(k) / kLayers;
    canvas.FloodRoundedBox(IArgb(alpha, 0, 0, 0), under.Grown(grow), mMetrics.PaneCornerRadius + grow);
  }
}

void IPopupMenuControl::RenderPaneBack(ICanvas& canvas, const IBox& inner, const IComposite& blend) {
  const IArgb back = TextStyle().EntryBackColour;
  canvas.FloodRoundedBox(back, inner, mMetrics.PaneCornerRadius, &blend);
  canvas.OutlineRoundedBox(Darker(back), inner, mMetrics.PaneCornerRadius, &blend, 1.0f);
}

void IPopupMenuControl::RenderCellBack(ICanvas& canvas, const IBox& cell, const IPopupMenuItem*, bool highlighted,
                                       const IComposite& blend) {
  if (!highlighted) return;
  IArgb colour = TextStyle().EntryTextColour;
  if (colour == kArgbBlack) colour = kArgbBlue;
  const float p = mMetrics.PanePadding;
  canvas.FloodBox(colour, IBox(cell.Left - p, cell.Top, cell.Right + p, cell.Bottom), &blend);
}

void IPopupMenuControl::RenderCellText(ICanvas& canvas, const IBox& cell, const IPopupMenuItem* item, bool highlighted,
                                       const IComposite& blend) {
  if (!item || item->Caption.IsEmpty()) return;
  ITextStyle style = TextStyle();
  style.HorizontalAlign = ETextHAlign::Left;
  if (highlighted) {
    style.TextColour = IsDefaultStyle() ? kArgbWhite : style.EntryBackColour;
  } else if (item->HasFlag(EPopupItemFlag::Greyed)) {
    style.TextColour = kGreyedColour;
  } else {
    style.TextColour = IsDefaultStyle() ? kArgbBlack : style.TextColour;
  }
  const float side = std::max(1.0f, mMetrics.MarkColumnWidth);
  const float markRight = cell.Left + mMetrics.MarkColumnWidth / 2.0f + side / 2.0f;
  const IBox box(markRight + mMetrics.TextPadding, cell.Top, cell.Right - mMetrics.TextPadding, cell.Bottom);
  canvas.RenderTextRun(style, item->Caption.Get(), box, &blend);
}

void IPopupMenuControl::RenderCellTick(ICanvas& canvas, const IBox& cell, const IPopupMenuItem* item, bool highlighted,
                                       const IComposite& blend) {
  const float e = std::max(1.0f, 0.75f * mMetrics.MarkColumnWidth);
  const float d = cell.Left + mMetrics.MarkColumnWidth / 2.0f - e / 2.0f;
  const float b = cell.MidY() - e / 2.0f;
  const IArgb colour = MarkColour(item, highlighted, true);
  canvas.OutlineSegment(colour, d, b + e / 2.0f, d + 0.4f * e, b + 0.85f * e, &blend, 2.0f);
  canvas.OutlineSegment(colour, d + 0.4f * e, b + 0.85f * e, d + e, b + 0.15f * e, &blend, 2.0f);
}

void IPopupMenuControl::RenderCellMark(ICanvas& canvas, const IBox& cell, const IPopupMenuItem* item, bool highlighted,
                                       const IComposite& blend) {
  const float side = std::max(1.0f, mMetrics.MarkColumnWidth / 2.0f);
  const float cx = cell.Left + mMetrics.MarkColumnWidth / 2.0f;
  const float cy = cell.MidY();
  const IBox square(cx - side / 2.0f, cy - side / 2.0f, cx + side / 2.0f, cy + side / 2.0f);
  canvas.FloodRoundedBox(MarkColour(item, highlighted, false), square, 2.0f, &blend);
}

void IPopupMenuControl::RenderSubmenuArrow(ICanvas& canvas, const IBox& cell, const IPopupMenuItem* item,
                                           bool highlighted, const IComposite& blend) {
  const float a = mMetrics.ArrowSize;
  const float top = cell.Top + 4.0f;
  const float bottom = cell.Bottom - 4.0f;
  canvas.FloodTriangle(MarkColour(item, highlighted, false), cell.Right - a, top, cell.Right - a, bottom,
                       cell.Right - 2.0f, 0.5f * (top + bottom), &blend);
}

void IPopupMenuControl::RenderScrollUp(ICanvas& canvas, const IBox& cell, bool highlighted, const IComposite& blend) {
  const float a = mMetrics.ArrowSize;
  const float cx = cell.MidX();
  canvas.FloodTriangle(MarkColour(nullptr, highlighted, false), cx - a + 2.0f, cell.Bottom - 6.0f, cx,
                       cell.Top + 6.0f, cx + a - 2.0f, cell.Bottom - 6.0f, &blend);
}

void IPopupMenuControl::RenderScrollDown(ICanvas& canvas, const IBox& cell, bool highlighted,
                                         const IComposite& blend) {
  const float a = mMetrics.ArrowSize;
  const float cx = cell.MidX();
  canvas.FloodTriangle(MarkColour(nullptr, highlighted, false), cx - a + 2.0f, cell.Top + 6.0f, cx,
                       cell.Bottom - 6.0f, cx + a - 2.0f, cell.Top + 6.0f, &blend);
}

void IPopupMenuControl::RenderDivider(ICanvas& canvas, const IBox& cell, const IComposite& blend) {
  if (blend.Opacity <= 0.75f) return;
  const IComposite faint(blend.Mode, 0.25f);
  canvas.FloodBox(kDividerColour, cell, &faint);
}

// Never enabled in this system: a plain triangle on the side of the root
// pane that faces the anchor.
void IPopupMenuControl::RenderCallout(ICanvas& canvas, const IComposite& blend) {
  const IBox& b = mCalloutBox;
  const IArgb colour = TextStyle().EntryBackColour;
  switch (mCalloutSide) {
    case 0:  // left
      canvas.FloodTriangle(colour, b.Right, b.Top, b.Left, b.MidY(), b.Right, b.Bottom, &blend);
      break;
    case 2:  // right
      canvas.FloodTriangle(colour, b.Left, b.Top, b.Right, b.MidY(), b.Left, b.Bottom, &blend);
      break;
    case 3:  // bottom
      canvas.FloodTriangle(colour, b.Left, b.Top, b.MidX(), b.Bottom, b.Right, b.Top, &blend);
      break;
    default:  // top
      canvas.FloodTriangle(colour, b.Left, b.Bottom, b.MidX(), b.Top, b.Right, b.Bottom, &blend);
      break;
  }
}

} // namespace plugkit::canvas
