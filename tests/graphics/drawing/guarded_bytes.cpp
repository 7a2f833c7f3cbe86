#include <windows.h>

#include "tests/graphics/drawing/guarded_bytes.h"

#include <cstring>

namespace plugkit::canvas::test {

GuardedBytes::GuardedBytes(const std::vector<uint8_t>& bytes) {
  SYSTEM_INFO info;
  GetSystemInfo(&info);
  const size_t page = info.dwPageSize;
  const size_t pages = (bytes.size() + page - 1) / page;
  mBase = VirtualAlloc(nullptr, (pages + 1) * page, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
  if (!mBase) return;
  auto* guard = static_cast<uint8_t*>(mBase) + pages * page;
  DWORD old = 0;
  if (!VirtualProtect(guard, page, PAGE_NOACCESS, &old)) return;
  uint8_t* data = guard - bytes.size();
  if (!bytes.empty()) std::memcpy(data, bytes.data(), bytes.size());
  mData = data;
  mSize = static_cast<int32_t>(bytes.size());
}

GuardedBytes::~GuardedBytes() {
  if (mBase) VirtualFree(mBase, 0, MEM_RELEASE);
}

} // namespace plugkit::canvas::test
