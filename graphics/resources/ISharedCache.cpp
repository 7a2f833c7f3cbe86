#include "graphics/resources/ISharedCache.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <new>

namespace plugkit::canvas {

struct ISharedCacheBase::IEntry {
  uint64_t Id = 0;
  IStringBuffer Name;
  double Scale = 1.0;
  void* Data = nullptr;
};

namespace {

constexpr uint64_t kFnvOffset = 14695981039346656037ull;
constexpr uint64_t kFnvPrime = 1099511628211ull;

uint64_t HashBytes(uint64_t hash, const char* bytes, size_t count) {
  for (size_t i = 0; i < count; ++i) {
    hash ^= static_cast<unsigned char>(bytes[i]);
    hash *= kFnvPrime;
  }
  return hash;
}

} // namespace

uint64_t ISharedCacheBase::HashCacheKey(const char* name, double scale) {
  if (!name) name = "";
  // The widest "%.1f" of a double is a little over 300 characters.
  char suffix[400];
  const int n = std::snprintf(suffix, sizeof suffix, "-%.1fx", scale);
  const size_t suffixLength = n < 0 ? 0 : static_cast<size_t>(n) < sizeof suffix ? static_cast<size_t>(n) : sizeof suffix - 1;
  return HashBytes(HashBytes(kFnvOffset, name, std::strlen(name)), suffix, suffixLength);
}

ISharedCacheBase::~ISharedCacheBase() { ClearLocked(); }

void ISharedCacheBase::Retain() {
  ISectionGuard guard(mLock);
  if (mRefCount < INT32_MAX) ++mRefCount;
}

void ISharedCacheBase::Release() {
  ISectionGuard guard(mLock);
  if (mRefCount <= 0) return;
  if (--mRefCount == 0) ClearLocked();
}

int32_t ISharedCacheBase::RefCount() {
  ISectionGuard guard(mLock);
  return mRefCount;
}

void ISharedCacheBase::Clear() {
  ISectionGuard guard(mLock);
  ClearLocked();
}

int32_t ISharedCacheBase::Count() {
  ISectionGuard guard(mLock);
  return CountLocked();
}

void* ISharedCacheBase::FindLocked(const char* name, double scale) const {
  if (!name) name = "";
  const uint64_t id = HashCacheKey(name, scale);
  for (IEntry* entry : mEntries)
    if (entry->Id == id && entry->Scale == scale && std::strcmp(entry->Name.Get(), name) == 0) return entry->Data;
  return nullptr;
}

bool ISharedCacheBase::AddLocked(void* item, const char* name, double scale) {
  if (!item || !std::isfinite(scale)) return false;
  if (!name) name = "";
  IEntry* entry = new (std::nothrow) IEntry();
  if (!entry) return false;
  if (!entry->Name.Assign(name) || !mEntries.Add(entry)) {
    delete entry;
    return false;
  }
  entry->Id = HashCacheKey(name, scale);
  entry->Scale = scale;
  entry->Data = item;
  return true;
}

void* ISharedCacheBase::DetachLocked(const void* item) {
  if (!item) return nullptr;
  for (int32_t i = 0; i < mEntries.Count(); ++i) {
    IEntry* entry = mEntries.Get(i);
    if (entry->Data != item) continue;
    mEntries.Remove(i);
    void* data = entry->Data;
    delete entry;
    return data;
  }
  return nullptr;
}

bool ISharedCacheBase::RemoveLocked(const void* item) {
  void* data = DetachLocked(item);
  if (!data) return false;
  mDeleter(data);
  return true;
}

void* ISharedCacheBase::ItemAtLocked(int32_t index) const {
  IEntry* entry = mEntries.Get(index);
  return entry ? entry->Data : nullptr;
}

int32_t ISharedCacheBase::CountLocked() const { return mEntries.Count(); }

// An item's destructor may itself look at the cache (a bitmap asking its
// back-end to queue a deletion): each entry leaves the list before its item
// is deleted, so the list never holds a freed item.
void ISharedCacheBase::ClearLocked() {
  for (int32_t i = mEntries.Count() - 1; i >= 0; --i) {
    IEntry* entry = mEntries.Remove(i);
    if (!entry) continue;
    void* data = entry->Data;
    delete entry;
    if (data) mDeleter(data);
  }
  mEntries.Clear(true);
}

} // namespace plugkit::canvas
