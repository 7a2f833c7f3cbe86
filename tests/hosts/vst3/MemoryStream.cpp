#include "tests/hosts/vst3/MemoryStream.h"

#include <cstring>

using namespace Steinberg;

namespace vst3host {

tresult PLUGIN_API MemoryStream::read(void* buffer, int32 numBytes, int32* numBytesRead) {
  ++readCalls;
  if (numBytesRead) *numBytesRead = 0;
  if (numBytes < 0 || (numBytes > 0 && !buffer)) return kInvalidArgument;
  int64_t available = static_cast<int64_t>(data.size()) - position;
  int32 n = available <= 0 ? 0 : available < numBytes ? static_cast<int32>(available) : numBytes;
  if (n > 0) std::memcpy(buffer, data.data() + position, static_cast<size_t>(n));
  position += n;
  if (numBytesRead) *numBytesRead = n;
  return n < numBytes ? shortReadResult : kResultOk;
}

tresult PLUGIN_API MemoryStream::write(void* buffer, int32 numBytes, int32* numBytesWritten) {
  if (numBytesWritten) *numBytesWritten = 0;
  if (numBytes < 0 || (numBytes > 0 && !buffer)) return kInvalidArgument;
  size_t start = static_cast<size_t>(position);
  size_t room = writeLimit > start ? writeLimit - start : 0;
  size_t n = static_cast<size_t>(numBytes) < room ? static_cast<size_t>(numBytes) : room;
  if (start + n > data.size()) data.resize(start + n, 0);
  if (n > 0) std::memcpy(data.data() + start, buffer, n);
  position += static_cast<int64_t>(n);
  if (numBytesWritten) *numBytesWritten = static_cast<int32>(n);
  return n == static_cast<size_t>(numBytes) ? kResultOk : kResultFalse;
}

tresult PLUGIN_API MemoryStream::seek(int64 pos, int32 mode, int64* result) {
  int64_t base = mode == kIBSeekSet   ? 0
                 : mode == kIBSeekCur ? position
                 : mode == kIBSeekEnd ? static_cast<int64_t>(data.size())
                                      : -1;
  if (base < 0 || base + pos < 0) return kInvalidArgument;
  position = base + pos;
  if (result) *result = position;
  return kResultOk;
}

tresult PLUGIN_API MemoryStream::tell(int64* pos) {
  if (!pos) return kInvalidArgument;
  *pos = position;
  return kResultOk;
}

tresult PLUGIN_API MemoryStream::queryInterface(const TUID iid, void** obj) {
  if (!obj) return kInvalidArgument;
  if (FUnknownPrivate::iidEqual(iid, FUnknown::iid) || FUnknownPrivate::iidEqual(iid, IBStream::iid)) {
    addRef();
    *obj = static_cast<IBStream*>(this);
    return kResultOk;
  }
  *obj = nullptr;
  return kNoInterface;
}

uint32 PLUGIN_API MemoryStream::addRef() { return static_cast<uint32>(++refCount); }

uint32 PLUGIN_API MemoryStream::release() {
  int left = --refCount;
  if (left == 0) delete this;
  return static_cast<uint32>(left);
}

}  // namespace vst3host
