#include "graphics/resources/ITrueTypeInfo.h"

#include "graphics/resources/FontSpan.h"

namespace plugkit::canvas {

namespace {

// Appends code point c as UTF-8.
int32_t EncodeUtf8(uint32_t c, char* out) {
  if (c < 0x80) {
    out[0] = static_cast<char>(c);
    return 1;
  }
  if (c < 0x800) {
    out[0] = static_cast<char>(0xC0 | c >> 6);
    out[1] = static_cast<char>(0x80 | (c & 0x3F));
    return 2;
  }
  if (c < 0x10000) {
    out[0] = static_cast<char>(0xE0 | c >> 12);
    out[1] = static_cast<char>(0x80 | (c >> 6 & 0x3F));
    out[2] = static_cast<char>(0x80 | (c & 0x3F));
    return 3;
  }
  out[0] = static_cast<char>(0xF0 | c >> 18);
  out[1] = static_cast<char>(0x80 | (c >> 12 & 0x3F));
  out[2] = static_cast<char>(0x80 | (c >> 6 & 0x3F));
  out[3] = static_cast<char>(0x80 | (c & 0x3F));
  return 4;
}

constexpr uint32_t kReplacement = 0xFFFD;

} // namespace

void ITrueTypeInfo::Reset() {
  Bytes = nullptr;
  ByteCount = 0;
  Data = nullptr;
  HeadOffset = NameOffset = HheaOffset = FdscOffset = 0;
  HeadLength = NameLength = HheaLength = FdscLength = 0;
  FamilyName.Clear();
  StyleName.Clear();
  MacStyle = UnitsPerEm = 0;
  Ascender = Descender = LineGap = 0;
}

bool ITrueTypeInfo::Load(const uint8_t* bytes, int32_t byteCount, int32_t faceIndex) {
  Reset();
  if (!bytes || byteCount < 12 || faceIndex < 0) return false;
  const IFontSpan file{bytes, static_cast<uint64_t>(byteCount)};

  uint32_t directory = 0;
  if (file.TagIs(0, "1\0\0\0") || file.TagIs(0, "typ1") || file.TagIs(0, "OTTO") || file.TagIs(0, "\0\1\0\0")) {
    if (faceIndex != 0) return false;
  } else if (file.TagIs(0, "ttcf")) {
    const uint32_t version = file.U32(4);
    if (version != 0x00010000u && version != 0x00020000u) return false;
    if (static_cast<uint32_t>(faceIndex) >= file.U32(8)) return false;
    const uint64_t slot = 12 + 4 * static_cast<uint64_t>(faceIndex);
    if (!file.Has(slot, 4)) return false;
    directory = file.U32(slot);
  } else {
    return false;
  }

  if (!file.Has(directory, 12)) return false;
  const uint32_t tables = file.U16(directory + 4);
  if (!file.Has(directory + 12, 16 * static_cast<uint64_t>(tables))) return false;

  Bytes = bytes;
  ByteCount = byteCount;
  Data = bytes + directory;
  // Table offsets count from the start of the file, also inside a
  // collection. A table that does not lie inside the bytes counts as absent.
  struct IWanted {
    const char* Tag;
    uint32_t* Offset;
    uint32_t* Length;
  } wanted[] = {{"head", &HeadOffset, &HeadLength},
                {"name", &NameOffset, &NameLength},
                {"hhea", &HheaOffset, &HheaLength},
                {"fdsc", &FdscOffset, &FdscLength}};
  bool seen[4] = {};
  for (uint32_t i = 0; i < tables; ++i) {
    const uint64_t record = directory + 12 + 16 * static_cast<uint64_t>(i);
    for (int w = 0; w < 4; ++w) {
      if (seen[w] || !file.TagIs(record, wanted[w].Tag)) continue;
      seen[w] = true;
      const uint32_t offset = file.U32(record + 8);
      const uint32_t length = file.U32(record + 12);
      if (offset != 0 && file.Has(offset, length)) {
        *wanted[w].Offset = offset;
        *wanted[w].Length = length;
      }
    }
  }

  // The fields read lie at most at head + 46, hhea + 10 and name + 6.
  if (HeadOffset && HeadLength < 46) HeadOffset = HeadLength = 0;
  if (HheaOffset && HheaLength < 10) HheaOffset = HheaLength = 0;
  if (NameOffset && NameLength < 6) NameOffset = NameLength = 0;
  if (!HasCoreTables()) return true;

  UnitsPerEm = file.U16(HeadOffset + 18);
  MacStyle = file.U16(HeadOffset + 44);
  if (!ReadName(1, true, FamilyName) || FamilyName.IsEmpty()) ReadName(1, false, FamilyName);
  if (!ReadName(2, true, StyleName) || StyleName.IsEmpty()) ReadName(2, false, StyleName);
  Ascender = file.S16(HheaOffset + 4);
  Descender = file.S16(HheaOffset + 6);
  LineGap = file.S16(HheaOffset + 8);
  return true;
}

bool ITrueTypeInfo::ReadName(int32_t nameId, bool windows, IStringBuffer& out) const {
  out.Clear();
  if (!Bytes || !NameOffset) return false;
  const IFontSpan table = IFontSpan{Bytes, static_cast<uint64_t>(ByteCount)}.Sub(NameOffset, NameLength);
  const uint32_t records = table.U16(2);
  const uint32_t strings = table.U16(4);
  // Records and strings must lie inside the table, not just the file.
  const uint32_t recordsFit = NameLength >= 6 ? (NameLength - 6) / 12 : 0;
  const uint32_t count = records < recordsFit ? records : recordsFit;
  const uint16_t platform = windows ? 3 : 1;
  const uint16_t encoding = windows ? 1 : 0;
  const uint16_t language = windows ? 1033 : 0;
  for (uint32_t i = 0; i < count; ++i) {
    const uint64_t record = 6 + 12 * static_cast<uint64_t>(i);
    if (table.U16(record) != platform || table.U16(record + 2) != encoding || table.U16(record + 4) != language ||
        table.U16(record + 6) != static_cast<uint32_t>(nameId))
      continue;
    const uint32_t length = table.U16(record + 8);
    const uint64_t start = static_cast<uint64_t>(strings) + table.U16(record + 10);
    if (!table.Has(start, length)) continue;  // a record pointing outside is skipped
    const uint8_t* text = table.Bytes + start;
    const IFontSpan units16 = table.Sub(start, length);

    if (!windows) {
      if (length == 0) return true;
      return out.Assign(reinterpret_cast<const char*>(text), static_cast<int32_t>(length));
    }

    // UTF-16 big-endian: at most 3 UTF-8 bytes per unit (a pair gives 4
    // bytes for 2 units), so 1.5 x length bytes suffice.
    const uint32_t units = length / 2;
    if (!out.SetLength(static_cast<int32_t>(units * 3))) return false;
    char* write = out.Buffer();
    int32_t written = 0;
    for (uint32_t u = 0; u < units; ++u) {
      uint32_t c = units16.U16(2 * static_cast<uint64_t>(u));
      if (c >= 0xD800 && c <= 0xDBFF && u + 1 < units) {
        const uint32_t low = units16.U16(2 * static_cast<uint64_t>(u + 1));
        if (low >= 0xDC00 && low <= 0xDFFF) {
          c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
          ++u;
        } else {
          c = kReplacement;
        }
      } else if (c >= 0xD800 && c <= 0xDFFF) {
        c = kReplacement;
      }
      if (c == 0) break;  // a NUL would end the text anyway
      written += EncodeUtf8(c, write + written);
    }
    return out.SetLength(written);
  }
  return false;
}

} // namespace plugkit::canvas
