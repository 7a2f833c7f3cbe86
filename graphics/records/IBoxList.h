#pragma once
// IBoxList: an ordered list of IBox held back to back in one IHeapBlock; the
// dirty-region list of a paint pass. Used on the UI thread only; not locked.
//
// Appending grows the block by one box; when the growth fails the box is not
// appended, the list is unchanged and Add reports false. Removing entry k
// moves the later entries up one place.
//
// Optimise rewrites the list so that no two boxes overlap (each pixel is
// repainted once) while covering exactly the points the list covered before:
// it never drops area, even when an allocation fails on the way (then some
// overlap may remain, which only costs a second repaint). Boxes that meet
// only along an edge or at a corner share no area and are never cut.

#include <cstdint>

#include "core/IHeapBlock.h"
#include "graphics/records/IBox.h"

namespace plugkit {
namespace canvas {

class IBoxList {
public:
  IBoxList();

  IBoxList(IBoxList&&) noexcept = default;
  IBoxList& operator=(IBoxList&&) noexcept = default;
  IBoxList(const IBoxList&) = delete;
  IBoxList& operator=(const IBoxList&) = delete;

  int32_t Count() const { return mBlock.Size() / static_cast<int32_t>(sizeof(IBox)); }

  // The box at index, or the empty box when index is out of range.
  IBox Get(int32_t index) const;

  // Replaces the box at index; false when index is out of range.
  bool Set(int32_t index, const IBox& box);

  // Appends box; false (list unchanged) when the block could not grow.
  bool Add(const IBox& box);

  // Removes the box at index, moving the later ones up; false when out of range.
  bool Remove(int32_t index);

  // Empties the list, keeping its memory for the next pass.
  void Clear();

  // Removes overlaps without changing the covered area, then merges boxes
  // that can be joined exactly (same left and right edges stacked, or same top
  // and bottom edges side by side). Empty boxes disappear. See IBoxList.cpp.
  void Optimise();

  // Iteration (valid until the list changes).
  const IBox* begin() const { return Boxes(); }
  const IBox* end() const { return Boxes() + Count(); }

private:
  IBox* Boxes() const { return Count() > 0 ? mBlock.As<IBox>() : nullptr; }
  void RemoveOverlaps();
  void MergeTouching();
  bool CarveOverlap(int32_t i, int32_t j, const IBox& overlap);

  IHeapBlock mBlock;
};

} // namespace canvas
} // namespace plugkit
