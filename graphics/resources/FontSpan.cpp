#include "graphics/resources/FontSpan.h"

#include <cstring>

namespace plugkit::canvas {

bool IFontSpan::Has(uint64_t offset, uint64_t length) const {
  return Bytes && offset <= Size && length <= Size - offset;
}

IFontSpan IFontSpan::Sub(uint64_t offset, uint64_t length) const {
  if (!Has(offset, length)) return IFontSpan();
  return IFontSpan{Bytes + offset, length};
}

uint8_t IFontSpan::U8(uint64_t at) const { return Has(at, 1) ? Bytes[at] : 0; }

uint16_t IFontSpan::U16(uint64_t at) const {
  return Has(at, 2) ? static_cast<uint16_t>(Bytes[at] << 8 | Bytes[at + 1]) : 0;
}

int16_t IFontSpan::S16(uint64_t at) const { return static_cast<int16_t>(U16(at)); }

uint32_t IFontSpan::U32(uint64_t at) const {
  if (!Has(at, 4)) return 0;
  return static_cast<uint32_t>(Bytes[at]) << 24 | static_cast<uint32_t>(Bytes[at + 1]) << 16 |
         static_cast<uint32_t>(Bytes[at + 2]) << 8 | Bytes[at + 3];
}

bool IFontSpan::TagIs(uint64_t at, const char* tag) const {
  return Has(at, 4) && std::memcmp(Bytes + at, tag, 4) == 0;
}

} // namespace plugkit::canvas
