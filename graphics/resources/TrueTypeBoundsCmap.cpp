// The character map, read as the rasteriser reads it: the subtable it
// chooses, its search, and every glyph id it can give, which must have
// metrics (the rasteriser asks for the metrics of whatever id it gets).

#include "graphics/resources/TrueTypeBoundsParts.h"

namespace plugkit::canvas::truetype {

namespace {

// The rasteriser looks no further than Unicode's last code point (text
// reaches it as UTF-8).
constexpr uint64_t kLastCodePoint = 0x10FFFF;

// Byte table: one glyph id byte for each of the first length - 6 codes.
bool ByteMapInBounds(const IFontSpan& map, uint32_t glyphs) {
  const uint64_t length = map.U16(2);
  if (length <= 6) return true;
  if (!map.Has(0, length)) return false;
  for (uint64_t c = 0; c < length - 6; ++c)
    if (map.U8(6 + c) >= glyphs) return false;
  return true;
}

// Trimmed table: glyph ids for count codes from the first.
bool TrimmedMapInBounds(const IFontSpan& map, uint32_t glyphs) {
  if (!map.Has(0, 10)) return false;
  const uint64_t count = map.U16(8);
  if (!map.Has(10, 2 * count)) return false;
  for (uint64_t i = 0; i < count; ++i)
    if (map.U16(10 + 2 * i) >= glyphs) return false;
  return true;
}

// Segment table: the search walks the end codes by the header's own search
// values, which must keep it among the segments; each segment's ids come
// from its delta or from the glyph array its range offset points into.
bool SegmentMapInBounds(const IFontSpan& map, uint32_t glyphs) {
  if (!map.Has(0, 14)) return false;
  const uint64_t segments = map.U16(6) >> 1;
  uint64_t range = map.U16(8) >> 1;
  const uint32_t selector = map.U16(10);
  // The furthest segment the search can reach: the range shift, then each
  // halving of the search range.
  uint64_t furthest = map.U16(12) >> 1;
  for (uint32_t step = 0; step < selector && range > 0; ++step) {
    range >>= 1;
    furthest += range;
  }
  if (furthest >= segments) return false;
  const uint64_t ends = 14, starts = 16 + 2 * segments, deltas = 16 + 4 * segments, offsets = 16 + 6 * segments;
  if (!map.Has(0, 16 + 8 * segments)) return false;
  // Segments of a real map do not overlap, so their codes come to at most
  // 0x10000; more would only make the walk below long.
  uint64_t codes = 0;
  for (uint64_t i = 0; i < segments; ++i) {
    const uint64_t first = map.U16(starts + 2 * i), last = map.U16(ends + 2 * i);
    if (first > last) continue;  // never matches
    codes += last - first + 1;
    if (codes > 0x10000) return false;
    const uint64_t rangeOffset = map.U16(offsets + 2 * i);
    if (rangeOffset == 0) {
      // Ids are the codes plus the delta, modulo 0x10000: one run that
      // must neither wrap nor pass the glyph count.
      const uint64_t low = (first + static_cast<uint64_t>(map.U16(deltas + 2 * i))) & 0xFFFF;
      if (low + (last - first) >= glyphs) return false;
      continue;
    }
    // The ids themselves, read from where the range offset points (the
    // rasteriser adds no delta to them).
    const uint64_t array = offsets + 2 * i + rangeOffset;
    if (!map.Has(array, 2 * (last - first + 1))) return false;
    for (uint64_t c = 0; c <= last - first; ++c)
      if (map.U16(array + 2 * c) >= glyphs) return false;
  }
  return true;
}

// Group tables: runs of codes to runs of ids (format 12) or to one id
// (format 13).
bool GroupMapInBounds(const IFontSpan& map, uint16_t format, uint32_t glyphs) {
  if (!map.Has(0, 16)) return false;
  const uint64_t groups = map.U32(12);
  if (!map.Has(16, 12 * groups)) return false;
  for (uint64_t g = 0; g < groups; ++g) {
    const uint64_t at = 16 + 12 * g;
    const uint64_t first = map.U32(at);
    uint64_t last = map.U32(at + 4);
    if (last > kLastCodePoint) last = kLastCodePoint;
    if (first > last) continue;  // never matches
    const uint64_t id = map.U32(at + 8);
    const uint64_t highest = format == 12 ? id + (last - first) : id;
    if (highest >= glyphs) return false;
  }
  return true;
}

} // namespace

bool CmapInBounds(const IFaceTables& face) {
  const IFontSpan& cmap = face.Cmap;
  if (!cmap.Has(0, 4)) return false;
  const uint64_t records = cmap.U16(2);
  if (!cmap.Has(4, 8 * records)) return false;
  // The last record it understands wins: Microsoft Unicode (BMP or full),
  // or any Unicode-platform one.
  bool chosen = false;
  uint64_t subtable = 0;
  for (uint64_t i = 0; i < records; ++i) {
    const uint64_t record = 4 + 8 * i;
    const uint16_t platform = cmap.U16(record), encoding = cmap.U16(record + 2);
    if ((platform == 3 && (encoding == 1 || encoding == 10)) || platform == 0) {
      chosen = true;
      subtable = cmap.U32(record + 4);
    }
  }
  // No record it reads: it refuses the font. (At offset 0 the map's own
  // header would be read as the subtable.)
  if (!chosen || subtable == 0 || !cmap.Has(subtable, 2)) return false;
  // Each subtable is read up to the end of cmap, whatever its own length
  // says, so that is its limit here too.
  const IFontSpan map = cmap.Sub(subtable, cmap.Size - subtable);
  const uint32_t glyphs = face.MetricGlyphs;
  switch (const uint16_t format = map.U16(0)) {
    case 0: return map.Has(0, 4) && ByteMapInBounds(map, glyphs);
    case 4: return SegmentMapInBounds(map, glyphs);
    case 6: return TrimmedMapInBounds(map, glyphs);
    case 12:
    case 13: return GroupMapInBounds(map, format, glyphs);
    default: return false;  // a format it cannot read maps nothing
  }
}

} // namespace plugkit::canvas::truetype
