#pragma once
// GuardedBytes: a copy of some bytes that ends exactly where a page begins
// that may not be touched, so a read even one byte past the end stops the
// test program at once instead of going unnoticed.
//
// Threads: any; the copy lives as long as the object.

#include <cstdint>
#include <vector>

namespace plugkit::canvas::test {

class GuardedBytes {
public:
  explicit GuardedBytes(const std::vector<uint8_t>& bytes);
  ~GuardedBytes();
  GuardedBytes(const GuardedBytes&) = delete;
  GuardedBytes& operator=(const GuardedBytes&) = delete;

  // Null when the pages could not be had.
  const uint8_t* Data() const { return mData; }
  int32_t Size() const { return mSize; }

private:
  void* mBase = nullptr;
  const uint8_t* mData = nullptr;
  int32_t mSize = 0;
};

} // namespace plugkit::canvas::test
