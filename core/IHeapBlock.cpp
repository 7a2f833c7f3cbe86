#include "core/IHeapBlock.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace plugkit {

namespace {

constexpr int64_t kPage = 4096;
constexpr int64_t kAllocatorHeader = 96;
constexpr int64_t kMaxPagedSlack = 4194304;

// New capacity for n > 0 bytes (step 4 of SetSize), in 64 bits.
int64_t ChooseCapacity(int64_t n, int64_t granularity) {
  int64_t slack = granularity > n / 2 ? granularity : n / 2;
  if (granularity < kPage) return n + slack;
  slack = (slack / kPage) * kPage;
  if (slack < kPage) slack = kPage;
  if (slack > kMaxPagedSlack) slack = kMaxPagedSlack;
  return ((n + kAllocatorHeader + slack) / kPage) * kPage - kAllocatorHeader;
}

} // namespace

IHeapBlock::IHeapBlock(int32_t granularity) : mGranularity(granularity < 0 ? 0 : granularity) {}

IHeapBlock::~IHeapBlock() { std::free(mData); }

IHeapBlock::IHeapBlock(IHeapBlock&& other) noexcept
  : mData(other.mData), mCapacity(other.mCapacity), mSize(other.mSize), mGranularity(other.mGranularity) {
  other.mData = nullptr;
  other.mCapacity = 0;
  other.mSize = 0;
}

IHeapBlock& IHeapBlock::operator=(IHeapBlock&& other) noexcept {
  if (this != &other) {
    std::free(mData);
    mData = std::exchange(other.mData, nullptr);
    mCapacity = std::exchange(other.mCapacity, 0);
    mSize = std::exchange(other.mSize, 0);
    mGranularity = other.mGranularity;
  }
  return *this;
}

void* IHeapBlock::SetSize(int32_t n, bool allowShrink) {
  if (n < 0) n = 0;
  const int64_t cap = mCapacity;

  if (n == mSize && (!allowShrink || n >= cap / 2)) return n > 0 ? mData : nullptr;

  int64_t lower = 0;
  if (allowShrink && n < mSize) {
    const int64_t half = cap / 2;
    const int64_t keep = cap - 4 * static_cast<int64_t>(mGranularity);
    lower = half < keep ? half : keep;
    if (lower < 1) lower = 1;
  }

  if (n > cap || n < lower) {
    const int64_t newCap = n == 0 ? 0 : ChooseCapacity(n, mGranularity);
    if (newCap != cap) {
      if (newCap <= 0) {
        std::free(mData);
        mData = nullptr;
        mCapacity = 0;
        mSize = 0;
        return nullptr;
      }
      if (newCap > INT32_MAX) return mSize > 0 ? mData : nullptr; // treated as an allocation failure
      void* grown = std::realloc(mData, static_cast<size_t>(newCap));
      if (!grown) {
        grown = std::malloc(static_cast<size_t>(newCap));
        if (!grown) return mSize > 0 ? mData : nullptr;
        const int32_t keepBytes = n < mSize ? n : mSize;
        if (keepBytes > 0 && mData) std::memcpy(grown, mData, static_cast<size_t>(keepBytes));
        std::free(mData);
      }
      mData = grown;
      mCapacity = static_cast<int32_t>(newCap);
    }
  }

  mSize = n;
  return n > 0 ? mData : nullptr;
}

void IHeapBlock::Release() {
  std::free(mData);
  mData = nullptr;
  mCapacity = 0;
  mSize = 0;
}

bool IHeapBlock::CopyFrom(const IHeapBlock& other) {
  if (this == &other) return true;
  const int32_t n = other.mSize;
  SetSize(n, false);
  if (mSize != n) return false;
  if (n > 0) std::memcpy(mData, other.mData, static_cast<size_t>(n));
  return true;
}

} // namespace plugkit
