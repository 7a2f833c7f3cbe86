#pragma once
// IHeapBlock: a growable heap byte block.
//
// The block owns its bytes. It grows by at least the granularity or half the
// requested size, and gives memory back only when asked to shrink and the size
// falls well below the capacity. Failures are reported by return values: after
// SetSize the caller compares Size() with the size it asked for.
//
// Not thread-safe; an owner that shares a block guards it itself.

#include <cstdint>

namespace plugkit {

class IHeapBlock {
public:
  // Granularity: the growth step in bytes, fixed for the block's lifetime
  // (negative counts as 0). Text buffers use 128, pointer arrays and state
  // buffers 4096. A granularity of 4096 or more sizes blocks in whole pages.
  static constexpr int32_t kDefaultGranularity = 4096;

  explicit IHeapBlock(int32_t granularity = kDefaultGranularity);
  ~IHeapBlock();

  // Moving transfers the bytes (the source is left empty with its granularity);
  // copying is explicit through CopyFrom, because it can fail.
  IHeapBlock(IHeapBlock&& other) noexcept;
  IHeapBlock& operator=(IHeapBlock&& other) noexcept;
  IHeapBlock(const IHeapBlock&) = delete;
  IHeapBlock& operator=(const IHeapBlock&) = delete;

  // Sets the size in use to n bytes (negative n counts as 0), reallocating with
  // amortised growth. Bytes up to min(old size, n) are kept; new bytes are not
  // initialised. Returns the data pointer, or null when n is 0 or the
  // allocation failed; on failure the block is unchanged (size and capacity
  // stay). Capacities are computed in 64 bits and one above INT32_MAX is an
  // allocation failure. allowShrink (the default, as in the original block)
  // lets a shrinking size return memory when it falls well below the capacity.
  void* SetSize(int32_t n, bool allowShrink = true);

  // Frees the data; size and capacity become 0.
  void Release();

  // Replaces this block's bytes with a copy of other's (size and contents; the
  // granularity stays). Returns false, leaving this block unchanged, when the
  // allocation failed.
  bool CopyFrom(const IHeapBlock& other);

  void* Data() const { return mData; }                         // null when nothing is allocated
  void* DataOrNull() const { return mSize > 0 ? mData : nullptr; } // null when empty
  int32_t Size() const { return mSize; }
  int32_t Capacity() const { return mCapacity; }
  int32_t Granularity() const { return mGranularity; }

  template <typename T> T* As() const { return static_cast<T*>(mData); }

private:
  void* mData = nullptr;
  int32_t mCapacity = 0;
  int32_t mSize = 0;
  int32_t mGranularity;
};

} // namespace plugkit
