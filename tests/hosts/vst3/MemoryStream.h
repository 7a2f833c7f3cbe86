#pragma once

// An IBStream over a byte vector, as hosts hand plug-ins for getState and
// setState. Besides the plain behaviour it can imitate two host quirks that
// plug-ins must survive:
// - SetShortReadResult: the result code of a read that delivers fewer bytes
//   than asked (at the end of the data); the bytes are still delivered and
//   counted. Some hosts answer such reads with an error.
// - SetWriteLimit: the stream holds at most that many bytes; a write that
//   does not fit writes what fits and answers kResultFalse (a full disk).
//
// Reads and writes work at the position; seeking past the end is allowed
// (reads there deliver nothing, writes fill the gap with zeros); a negative
// resulting position is refused with kInvalidArgument. Reference counted like
// HostApplication; meant for one thread at a time.

#include <atomic>
#include <cstdint>
#include <vector>

#include "pluginterfaces/base/ibstream.h"

namespace vst3host {

class MemoryStream : public Steinberg::IBStream {
 public:
  MemoryStream() = default;
  explicit MemoryStream(std::vector<uint8_t> bytes) : data(std::move(bytes)) {}
  virtual ~MemoryStream() = default;

  const std::vector<uint8_t>& Bytes() const { return data; }
  int64_t Position() const { return position; }
  void Rewind() { position = 0; }
  void SetShortReadResult(Steinberg::tresult result) { shortReadResult = result; }
  void SetWriteLimit(size_t bytes) { writeLimit = bytes; }
  int ReadCalls() const { return readCalls; }

  Steinberg::tresult PLUGIN_API read(void* buffer, Steinberg::int32 numBytes,
                                     Steinberg::int32* numBytesRead) SMTG_OVERRIDE;
  Steinberg::tresult PLUGIN_API write(void* buffer, Steinberg::int32 numBytes,
                                      Steinberg::int32* numBytesWritten) SMTG_OVERRIDE;
  Steinberg::tresult PLUGIN_API seek(Steinberg::int64 pos, Steinberg::int32 mode,
                                     Steinberg::int64* result) SMTG_OVERRIDE;
  Steinberg::tresult PLUGIN_API tell(Steinberg::int64* pos) SMTG_OVERRIDE;

  Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** obj) SMTG_OVERRIDE;
  Steinberg::uint32 PLUGIN_API addRef() SMTG_OVERRIDE;
  Steinberg::uint32 PLUGIN_API release() SMTG_OVERRIDE;

 private:
  std::vector<uint8_t> data;
  int64_t position = 0;
  Steinberg::tresult shortReadResult = Steinberg::kResultOk;
  size_t writeLimit = SIZE_MAX;
  int readCalls = 0;
  std::atomic<int> refCount{1};
};

}  // namespace vst3host
