#pragma once
// ISharedCache<T>: a name-and-scale keyed store of owned items with its own
// lock and reference count. The caches of decoded resources are built on it:
// the vector-image and font-data caches shared by every editor of the
// process, the Windows layer's font registration and font handle caches, and
// each drawing back-end's own image cache (its images belong to its drawing
// context). See SharedCaches.h for the instances.
//
// Keys: an entry is found by its name and its scale, both exactly. The id
// compared first is HashCacheKey: the 64-bit FNV-1a hash of the key text,
// the name followed by the scale formatted "-%.1fx" (scale 2 gives
// "name-2.0x"). Entries stay in insertion order; lookups are linear.
//
// Ownership: the cache owns every item added to it and deletes it (through
// T's destructor) when the entry is removed or the cache is cleared; items
// are deleted from the last entry to the first. Find answers a borrowed
// pointer, valid while the entry stays.
//
// Reference count: every long-lived user Retains the cache once and
// Releases it once; the release that brings the count to 0 clears the cache
// (a later Retain starts over with an empty cache). Destroying the cache
// (process-wide instances: at process exit) clears it as well.
//
// Threads: any thread. Every access, including the count, happens under the
// cache's lock (a recursive critical section); LockedView holds it for a
// sequence of operations that must see one state, such as find-or-decode.
// Where two caches are locked together, each user keeps one order (see
// SharedCaches.h).

#include <cstdint>

#include "core/IPointerArray.h"
#include "core/ISectionLock.h"
#include "core/IStringBuffer.h"

namespace plugkit {
namespace canvas {

// The type-independent half: entries hold untyped items and delete them
// through the function given at construction.
class ISharedCacheBase {
public:
  using IDeleter = void (*)(void* item);

  // 64-bit FNV-1a (offset basis 14695981039346656037, prime
  // 1099511628211) over the bytes of the key text of (name, scale); a null
  // name counts as "".
  static uint64_t HashCacheKey(const char* name, double scale);

  // Count += 1 / count -= 1 and, on reaching 0, Clear. A release below 0 is
  // ignored (the count stays 0).
  void Retain();
  void Release();
  int32_t RefCount();
  // Deletes every entry and its item, last first.
  void Clear();
  // Number of entries.
  int32_t Count();

  ISectionLock& Lock() { return mLock; }

protected:
  explicit ISharedCacheBase(IDeleter deleter) : mDeleter(deleter) {}
  ~ISharedCacheBase();
  ISharedCacheBase(const ISharedCacheBase&) = delete;
  ISharedCacheBase& operator=(const ISharedCacheBase&) = delete;

  // The caller holds the lock.
  void* FindLocked(const char* name, double scale) const;
  bool AddLocked(void* item, const char* name, double scale);
  bool RemoveLocked(const void* item);
  void* DetachLocked(const void* item);
  void* ItemAtLocked(int32_t index) const;
  int32_t CountLocked() const;
  void ClearLocked();

private:
  struct IEntry;

  ISectionLock mLock;
  IPointerArray<IEntry> mEntries;
  IDeleter mDeleter;
  int32_t mRefCount = 0;
};

template <typename T>
class ISharedCache : public ISharedCacheBase {
public:
  ISharedCache() : ISharedCacheBase(&DeleteItem) {}
  ~ISharedCache() = default;

  // Holds the cache's lock from construction to destruction.
  class LockedView {
  public:
    explicit LockedView(ISharedCache& cache) : mCache(cache), mGuard(cache.Lock()) {}
    LockedView(const LockedView&) = delete;
    LockedView& operator=(const LockedView&) = delete;

    // The item of the first entry with exactly this name and scale, or
    // null. A null name counts as "".
    T* Find(const char* name, double scale) const { return static_cast<T*>(mCache.FindLocked(name, scale)); }
    // Appends an entry; the cache then owns item. False when item is null,
    // the scale is not finite or the entry cannot be stored: nothing is
    // added and the caller still owns item.
    bool Add(T* item, const char* name, double scale) { return mCache.AddLocked(item, name, scale); }
    // Removes the first entry holding exactly item and deletes item. False
    // (nothing changes) when no entry holds it.
    bool Remove(const T* item) { return mCache.RemoveLocked(item); }
    // Removes the first entry holding exactly item without deleting it: the
    // caller owns item again. Null when no entry holds it.
    T* Detach(const T* item) { return static_cast<T*>(mCache.DetachLocked(item)); }
    int32_t Count() const { return mCache.CountLocked(); }
    // The item of entry index in insertion order, or null out of range.
    T* ItemAt(int32_t index) const { return static_cast<T*>(mCache.ItemAtLocked(index)); }
    void Clear() { mCache.ClearLocked(); }

  private:
    ISharedCache& mCache;
    ISectionGuard mGuard;
  };

private:
  static void DeleteItem(void* item) { delete static_cast<T*>(item); }
};

} // namespace canvas
} // namespace plugkit
