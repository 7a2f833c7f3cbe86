#pragma once
// IFontSpan: a stretch of font bytes, read as font tables store numbers
// (big-endian), with every read checked against the stretch. Has says
// whether a read would fit; a read that does not fit answers 0 and reads
// nothing. Offsets and lengths are 64-bit, so sums of a file's 32-bit
// offsets and lengths never wrap.
//
// Ownership: a view; the bytes belong to the caller and must outlive it.
// Threads: a plain value; any thread.

#include <cstdint>

namespace plugkit::canvas {

struct IFontSpan {
  const uint8_t* Bytes = nullptr;
  uint64_t Size = 0;

  // Whether [offset, offset + length) lies within the span.
  bool Has(uint64_t offset, uint64_t length) const;
  // That stretch as a span of its own; the empty span when it does not lie
  // within this one.
  IFontSpan Sub(uint64_t offset, uint64_t length) const;
  bool IsEmpty() const { return Size == 0; }

  uint8_t U8(uint64_t at) const;
  uint16_t U16(uint64_t at) const;
  int16_t S16(uint64_t at) const;
  uint32_t U32(uint64_t at) const;
  // Whether the four bytes at at are tag's first four characters.
  bool TagIs(uint64_t at, const char* tag) const;
};

} // namespace plugkit::canvas
