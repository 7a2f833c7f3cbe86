#include "graphics/controls/IPopupPane.h"

#include <algorithm>
#include <cmath>

#include "graphics/controls/IPopupMenuControl.h"
#include "graphics/records/IPopupMenu.h"

namespace plugkit::canvas {

namespace {

bool IsDivider(const IPopupMenuItem* item) { return item && item->HasFlag(EPopupItemFlag::Divider); }

} // namespace

IPopupPane::IPopupPane(const IPopupMenuControl& control, IPopupMenu* menu, float x, float y, int32_t parentIndex)
    : Menu(menu), ParentIndex(parentIndex) {
  const IPopupMenuMetrics& m = control.Metrics();
  const IBox room = control.PlacementArea();
  ContentBox = menu ? control.MeasureMenu(*menu, x, y) : IBox(x, y, x, y);
  const float width = ContentBox.Width();
  const float h = ContentBox.Height();
  const int32_t n = menu ? menu->ItemCount() : 0;
  const float left = x + m.PanePadding;
  const auto heightOf = [&](int32_t i) { return IsDivider(menu->ItemAt(i)) ? m.DividerHeight : h; };
  const auto place = [&](int32_t count, float top) {
    Cells.clear();
    Cells.reserve(static_cast<size_t>(std::max(count, 0)));
    for (int32_t i = 0; i < count; ++i) {
      const float ch = heightOf(i);
      Cells.emplace_back(left, top, left + width, top + ch);
      top += ch + m.CellSpacing;
    }
  };

  float top = y + m.PanePadding;
  bool crowded = false;
  for (int32_t i = 0; i < n; ++i) {
    const float ch = heightOf(i);
    if (m.ScrollWhenCrowded && room.Bottom < top + ch + m.PanePadding) {
      crowded = true;
      break;
    }
    top += ch + m.CellSpacing;
  }

  if (!crowded) {
    place(n, y + m.PanePadding);
  } else {
    const float top0 = room.Top + m.PanePadding + m.ShadowSize;
    const float step = h + m.CellSpacing;
    const float fit = step > 0.0f ? std::floor((room.Bottom - m.PanePadding - top0) / step) : 0.0f;
    MostShown = std::isfinite(fit) ? static_cast<int32_t>(std::clamp(fit, 0.0f, 1.0e6f)) : 0;
    if (n < MostShown) {
      // The whole column fits the room, just not below the anchor: it opens
      // upwards, but never so far down that its last cell leaves the room.
      float total = 0.0f;
      for (int32_t i = 0; i < n; ++i) total += heightOf(i) + (i > 0 ? m.CellSpacing : 0.0f);
      const float wanted = y + m.PanePadding + h - static_cast<float>(n) * h;
      place(n, std::max(top0, std::min(wanted, room.Bottom - m.PanePadding - total)));
    } else {
      Scrolling = true;
      place(MostShown, top0);
    }
  }

  IBox cells = Cells.empty() ? IBox(left, y + m.PanePadding, left + width, y + m.PanePadding) : Cells.front();
  for (const IBox& cell : Cells) cells = cells.Union(cell);
  const float excess = cells.Right - (room.Right - m.PanePadding - m.ShadowSize);
  if (excess > 0.0f) {
    for (IBox& cell : Cells) {
      cell.Left -= excess;
      cell.Right -= excess;
    }
    cells.Left -= excess;
    cells.Right -= excess;
  }
  InnerBox = cells.Grown(m.PanePadding);
  OuterBox = cells.Grown(m.PanePadding + m.ShadowSize);
}

const IBox* IPopupPane::CellAt(float x, float y) const {
  for (size_t j = 0; j < Cells.size(); ++j) {
    const IBox& cell = Cells[j];
    if (!cell.Contains(x, y)) continue;
    const int32_t index = static_cast<int32_t>(j);
    if (IsScrollCell(index)) return &cell;
    const IPopupMenuItem* item = ItemOf(index);
    if (item && !item->HasFlag(EPopupItemFlag::Greyed)) return &cell;
  }
  return nullptr;
}

int32_t IPopupPane::IndexOf(const IBox* cell) const {
  if (!cell || Cells.empty() || cell < Cells.data() || cell >= Cells.data() + Cells.size()) return -1;
  return static_cast<int32_t>(cell - Cells.data());
}

IPopupMenuItem* IPopupPane::ItemOf(int32_t j) const {
  if (!Menu || j < 0 || j >= static_cast<int32_t>(Cells.size())) return nullptr;
  return Menu->ItemAt(FirstShown + j);
}

int32_t IPopupPane::LastFirstShown() const {
  const int32_t n = Menu ? Menu->ItemCount() : 0;
  return std::max(n - static_cast<int32_t>(Cells.size()), 0);
}

bool IPopupPane::ShowsScrollUp(int32_t j) const { return Scrolling && j == 0 && FirstShown > 0; }

bool IPopupPane::ShowsScrollDown(int32_t j) const {
  return Scrolling && !Cells.empty() && j == static_cast<int32_t>(Cells.size()) - 1 && FirstShown < LastFirstShown();
}

} // namespace plugkit::canvas
