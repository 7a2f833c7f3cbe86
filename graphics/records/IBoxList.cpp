#include "graphics/records/IBoxList.h"

#include <cstring>

namespace plugkit {
namespace canvas {

namespace {

constexpr int32_t kBoxBytes = static_cast<int32_t>(sizeof(IBox));
constexpr int32_t kGrowthBoxes = 16;

bool HasArea(const IBox& b) { return b.Right > b.Left && b.Bottom > b.Top; }

// The pairwise test of the clean-up phase: the boxes overlap or box j meets
// box i's right or bottom edge.
bool OverlapOrMeet(const IBox& i, const IBox& j) {
  return j.Left <= i.Right && i.Left < j.Right && j.Top <= i.Bottom && i.Top < j.Bottom;
}

} // namespace

IBoxList::IBoxList() : mBlock(kBoxBytes * kGrowthBoxes) {}

IBox IBoxList::Get(int32_t index) const {
  return index >= 0 && index < Count() ? Boxes()[index] : IBox();
}

bool IBoxList::Set(int32_t index, const IBox& box) {
  if (index < 0 || index >= Count()) return false;
  Boxes()[index] = box;
  return true;
}

bool IBoxList::Add(const IBox& box) {
  const int32_t count = Count();
  if (count >= INT32_MAX / kBoxBytes - 1) return false;
  mBlock.SetSize((count + 1) * kBoxBytes, false);
  if (mBlock.Size() != (count + 1) * kBoxBytes) return false;
  Boxes()[count] = box;
  return true;
}

bool IBoxList::Remove(int32_t index) {
  const int32_t count = Count();
  if (index < 0 || index >= count) return false;
  IBox* boxes = Boxes();
  if (index < count - 1)
    std::memmove(boxes + index, boxes + index + 1, sizeof(IBox) * static_cast<size_t>(count - 1 - index));
  mBlock.SetSize((count - 1) * kBoxBytes, false);
  return true;
}

void IBoxList::Clear() { mBlock.SetSize(0, false); }

void IBoxList::Optimise() {
  RemoveOverlaps();
  MergeTouching();
}

// Phase 1. Every pair (i, j), i < j, is visited once; the length is re-read at
// every step so that pieces appended by a split are visited as well. After a
// pair is handled the two boxes share no area.
void IBoxList::RemoveOverlaps() {
  for (int32_t i = 0; i < Count(); ++i) {
    int32_t j = i + 1;
    while (j < Count()) {
      const IBox a = Get(i);
      const IBox b = Get(j);
      if (b.Inside(a)) {
        Remove(j);  // look again at the box that moved into j; equal boxes keep the earlier
        continue;
      }
      if (a.Inside(b)) {
        Remove(i);
        j = i + 1;
        continue;
      }
      if (!a.IsEmpty() && !b.IsEmpty() && OverlapOrMeet(a, b)) {
        // Boxes that only meet along an edge or at a corner share no pixel;
        // leave them to the merge phase rather than cutting either into slivers.
        const IBox overlap = a.Intersect(b);
        if (HasArea(overlap)) CarveOverlap(i, j, overlap);
      }
      ++j;
    }
  }
}

// Removes the overlap x of boxes i and j from one of them. When x spans a box
// from edge to edge in one direction, that box loses x; the parts on both
// sides of x are kept (one in place, the other appended), so a box crossed
// through its middle keeps its far side. Otherwise x is a corner of both
// boxes and the smaller one is cut into two pieces around it.
//
// The appended piece is added before the box is changed: when the list cannot
// grow, both boxes stay as they were and the overlap is merely painted twice.
bool IBoxList::CarveOverlap(int32_t i, int32_t j, const IBox& x) {
  const IBox a = Get(i);
  const IBox b = Get(j);

  int32_t k = -1;
  if (a.Touches(x)) k = i;
  else if (b.Touches(x)) k = j;

  IBox keep, extra;
  bool hasKeep = false, hasExtra = false;

  if (k >= 0) {
    const IBox q = Get(k);
    IBox before, after;
    bool hasBefore, hasAfter;
    if (x.Left == q.Left && x.Right == q.Right) {  // x spans q's width
      before = IBox(q.Left, q.Top, q.Right, x.Top);
      after = IBox(q.Left, x.Bottom, q.Right, q.Bottom);
      hasBefore = x.Top > q.Top;
      hasAfter = x.Bottom < q.Bottom;
    } else {                                       // x spans q's height
      before = IBox(q.Left, q.Top, x.Left, q.Bottom);
      after = IBox(x.Right, q.Top, q.Right, q.Bottom);
      hasBefore = x.Left > q.Left;
      hasAfter = x.Right < q.Right;
    }
    if (hasBefore) {
      keep = before;
      hasKeep = true;
      if (hasAfter) {
        extra = after;
        hasExtra = true;
      }
    } else if (hasAfter) {
      keep = after;
      hasKeep = true;
    }
  } else {
    const float areaA = a.Width() * a.Height();
    const float areaB = b.Width() * b.Height();
    k = areaA < areaB ? i : j;
    const IBox q = Get(k);
    const bool atLeft = x.Left == q.Left;
    const bool atTop = x.Top == q.Top;
    if (atLeft && !atTop) {         // lower left
      extra = IBox(q.Left, q.Top, q.Right, x.Top);
      keep = IBox(x.Right, x.Top, q.Right, q.Bottom);
    } else if (atLeft && atTop) {   // upper left
      extra = IBox(x.Right, q.Top, q.Right, x.Bottom);
      keep = IBox(q.Left, x.Bottom, q.Right, q.Bottom);
    } else if (!atTop) {            // lower right
      extra = IBox(q.Left, q.Top, q.Right, x.Top);
      keep = IBox(q.Left, x.Top, x.Left, q.Bottom);
    } else {                        // upper right
      extra = IBox(q.Left, q.Top, x.Left, x.Bottom);
      keep = IBox(q.Left, x.Bottom, q.Right, q.Bottom);
    }
    hasKeep = hasExtra = true;
  }

  // x covering the whole box cannot happen here (that box lies inside the
  // other and was removed); leaving the pair alone is the safe answer.
  if (!hasKeep) return false;
  if (hasExtra && !Add(extra)) return false;
  Set(k, keep);
  return true;
}

// Phase 2: repeatedly joins the first pair (in list order) that Touches, the
// later box taking the union and the earlier one leaving, until none is left.
// Touches holds for an empty box, so empty boxes disappear here.
void IBoxList::MergeTouching() {
  bool merged = true;
  while (merged) {
    merged = false;
    const int32_t count = Count();
    for (int32_t j = 0; j < count && !merged; ++j) {
      for (int32_t l = j + 1; l < count; ++l) {
        const IBox bj = Get(j);
        const IBox bl = Get(l);
        if (bj.Touches(bl)) {
          Set(l, bj.Union(bl));
          Remove(j);
          merged = true;
          break;
        }
      }
    }
  }
}

} // namespace canvas
} // namespace plugkit
