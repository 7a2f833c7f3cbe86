#pragma once
// IPointerArray<T>: an array of T* on an IHeapBlock of granularity 4096
// The count is the block size divided by the pointer width.
//
// Ownership: the array never owns the pointed-to objects; destroying, clearing
// or removing from it deletes nothing. A user whose list owns its objects (the
// parameter, preset, layout, slot and timer lists) deletes them itself, from
// the last to the first; DeleteAll() does exactly that for such owners.
//
// Failures are reported by return values: an append or insert whose growth
// fails leaves the array unchanged and drops the pointer. Not thread-safe.

#include <cstdint>
#include <cstring>

#include "core/IHeapBlock.h"

namespace plugkit {

template <typename T>
class IPointerArray {
public:
  static constexpr int32_t kGranularity = 4096;
  static constexpr int32_t kWidth = static_cast<int32_t>(sizeof(T*));

  IPointerArray() : mBlock(kGranularity) {}
  IPointerArray(IPointerArray&&) noexcept = default;
  IPointerArray& operator=(IPointerArray&&) noexcept = default;
  IPointerArray(const IPointerArray&) = delete;
  IPointerArray& operator=(const IPointerArray&) = delete;

  int32_t Count() const { return mBlock.Size() / kWidth; }

  // The pointer at index, or null when index is out of range.
  T* Get(int32_t index) const {
    return index >= 0 && index < Count() ? Items()[index] : nullptr;
  }

  // Appends p. Returns false (array unchanged, p dropped) when growth failed.
  bool Add(T* p) { return Insert(Count(), p); }

  // Inserts p at index 0, shifting every entry up by one.
  bool InsertFront(T* p) { return Insert(0, p); }

  // Inserts p at index (clamped to [0, Count()]), shifting later entries up.
  bool Insert(int32_t index, T* p) {
    const int32_t count = Count();
    if (count >= INT32_MAX / kWidth) return false;
    if (index < 0) index = 0;
    if (index > count) index = count;
    mBlock.SetSize((count + 1) * kWidth, false);
    if (mBlock.Size() != (count + 1) * kWidth) return false;
    T** items = Items();
    if (index < count) std::memmove(items + index + 1, items + index, sizeof(T*) * static_cast<size_t>(count - index));
    items[index] = p;
    return true;
  }

  // Removes the entry at index, shifting later entries down, and returns it
  // (not deleted); null when index is out of range.
  T* Remove(int32_t index) {
    const int32_t count = Count();
    if (index < 0 || index >= count) return nullptr;
    T** items = Items();
    T* removed = items[index];
    if (index < count - 1) std::memmove(items + index, items + index + 1, sizeof(T*) * static_cast<size_t>(count - 1 - index));
    mBlock.SetSize((count - 1) * kWidth, false);
    return removed;
  }

  // Index of the first entry equal to p, or -1.
  int32_t Find(const T* p) const {
    const int32_t count = Count();
    T* const* items = Items();
    for (int32_t i = 0; i < count; ++i)
      if (items[i] == p) return i;
    return -1;
  }

  // Empties the array (deletes nothing); freeMemory also gives the block back.
  void Clear(bool freeMemory = false) {
    if (freeMemory) mBlock.Release();
    else mBlock.SetSize(0, false);
  }

  // For owning users: deletes every pointee from the last to the first, then
  // empties the array and frees its block.
  void DeleteAll() {
    for (int32_t i = Count() - 1; i >= 0; --i) {
      T* p = Items()[i];
      mBlock.SetSize(i * kWidth, false);
      delete p;
    }
    mBlock.Release();
  }

  // Iteration over the entries (valid until the array changes).
  T* const* begin() const { return Items(); }
  T* const* end() const { return Items() + Count(); }

private:
  T** Items() const { return Count() > 0 ? mBlock.As<T*>() : nullptr; }

  IHeapBlock mBlock;
};

} // namespace plugkit
