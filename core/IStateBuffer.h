#pragma once
// IStateBuffer: the state chunk, a growable byte buffer that values are
// appended to and read back from at a position. It carries every stored form
// of the plug-in's state: the parameter state, preset slots, the bank, the
// chunks handed to hosts and the bytes of preset files.
//
// Byte order: the typed appends and reads are little-endian; the *BE variants
// are big-endian, for the preset file format that requires it.
//
// Contract:
// - Appends succeed only when the buffer grew by exactly the appended length;
//   a failed append leaves the buffer as it was (size and bytes) and returns
//   false, whatever the buffer already held.
// - Reads never go outside the buffer: a read that would start before 0 or
//   run past the end stores 0 (or nothing, for byte reads) and returns -1; a
//   successful read returns the position after the value. A negative position
//   in gives -1 out, so a chain of reads stops at its first failure.
// - An optional size limit makes growth beyond it fail like a failed
//   allocation; it bounds buffers filled from untrusted sources (host streams,
//   files).
//
// Owned bytes, no locking: one thread at a time (the plug-in base's state lock
// keeps the framework's shared buffers to one thread). Not for the audio
// thread, since appends allocate.

#include <cstdint>

#include "core/IHeapBlock.h"

namespace plugkit {

class IStateBuffer {
public:
  static constexpr int32_t kGranularity = 4096;
  static constexpr int32_t kNoLimit = INT32_MAX;

  IStateBuffer() : mBlock(kGranularity) {}
  IStateBuffer(IStateBuffer&&) noexcept = default;
  IStateBuffer& operator=(IStateBuffer&&) noexcept = default;
  IStateBuffer(const IStateBuffer&) = delete;
  IStateBuffer& operator=(const IStateBuffer&) = delete;

  int32_t Size() const { return mBlock.Size(); }
  bool IsEmpty() const { return mBlock.Size() == 0; }
  // Bytes the buffer holds room for; appends within it never allocate.
  int32_t Capacity() const { return mBlock.Capacity(); }
  // The bytes, or null when the buffer is empty. Valid until the next change.
  const uint8_t* Bytes() const { return static_cast<const uint8_t*>(mBlock.DataOrNull()); }
  uint8_t* Bytes() { return static_cast<uint8_t*>(mBlock.DataOrNull()); }

  // Empties the buffer, keeping its memory for the next fill.
  void Clear();
  // Sets the size to n bytes (n >= 0); bytes beyond the old size are zeroed.
  // False (buffer unchanged) when n is negative, above the limit, or the
  // growth failed.
  bool Resize(int32_t n);
  // Replaces the contents with a copy of n bytes. False (buffer unchanged)
  // when that is not possible.
  bool Assign(const void* data, int32_t n);

  // Largest size the buffer may reach; kNoLimit by default. Lowering it below
  // the current size does not cut the contents, it only makes growth fail.
  void SetSizeLimit(int32_t maxBytes) { mLimit = maxBytes < 0 ? 0 : maxBytes; }
  int32_t SizeLimit() const { return mLimit; }

  // Appends n bytes (they may lie inside this buffer). n = 0 succeeds and
  // changes nothing; a negative n or a null pointer with n > 0 fails.
  bool Append(const void* data, int32_t n);
  bool AppendUInt8(uint8_t value);
  bool AppendInt32(int32_t value);
  bool AppendFloat32(float value);
  bool AppendFloat64(double value);
  bool AppendInt32BE(int32_t value);
  bool AppendFloat32BE(float value);

  // Reads at position; see the contract above for positions and failures.
  int32_t ReadBytes(int32_t position, void* out, int32_t n) const;
  int32_t ReadUInt8(int32_t position, uint8_t* out) const;
  int32_t ReadInt32(int32_t position, int32_t* out) const;
  int32_t ReadFloat32(int32_t position, float* out) const;
  int32_t ReadFloat64(int32_t position, double* out) const;
  int32_t ReadInt32BE(int32_t position, int32_t* out) const;
  int32_t ReadFloat32BE(int32_t position, float* out) const;

  // True when n bytes are available at position.
  bool Holds(int32_t position, int32_t n) const;

private:
  IHeapBlock mBlock;
  int32_t mLimit = kNoLimit;
};

} // namespace plugkit
