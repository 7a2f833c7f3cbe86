// A face's directory, its fixed tables and "kern", read as the rasteriser
// reads them; the character map, outlines and "GPOS" have files of their own.

#include "graphics/resources/TrueTypeBounds.h"

#include "graphics/resources/TrueTypeBoundsParts.h"

namespace plugkit::canvas {

namespace {

using truetype::IFaceTables;

// Where the face's table directory starts, as the rasteriser finds it; false
// when it finds none.
bool FaceStart(const IFontSpan& file, int32_t faceIndex, uint64_t& start) {
  if (faceIndex < 0 || !file.Has(0, 4)) return false;
  if (file.TagIs(0, "1\0\0\0") || file.TagIs(0, "typ1") || file.TagIs(0, "OTTO") || file.TagIs(0, "\0\1\0\0") ||
      file.TagIs(0, "true")) {
    start = 0;
    return faceIndex == 0;
  }
  if (!file.TagIs(0, "ttcf")) return false;
  const uint32_t version = file.U32(4);
  if (version != 0x00010000u && version != 0x00020000u) return false;
  const auto faces = static_cast<int32_t>(file.U32(8));
  if (faceIndex >= faces) return false;
  const uint64_t slot = 12 + 4 * static_cast<uint64_t>(faceIndex);
  if (!file.Has(slot, 4)) return false;
  start = file.U32(slot);
  return true;
}

// The first directory record with tag, as the rasteriser finds it: absent
// (empty, true) without one or with offset 0; false when it lies outside the
// file.
bool FindTable(const IFontSpan& file, uint64_t directory, uint32_t tables, const char* tag, IFontSpan& table) {
  table = IFontSpan();
  for (uint32_t i = 0; i < tables; ++i) {
    const uint64_t record = directory + 12 + 16 * static_cast<uint64_t>(i);
    if (!file.TagIs(record, tag)) continue;
    const uint32_t offset = file.U32(record + 8);
    if (offset == 0) return true;
    const uint32_t length = file.U32(record + 12);
    if (!file.Has(offset, length)) return false;
    // Even an empty table must be a real place in the file.
    table = IFontSpan{file.Bytes + offset, length};
    return true;
  }
  return true;
}

// "hmtx": a long record (advance, side bearing) for each of the first
// hhea.numberOfHMetrics glyphs, then side bearings alone; the advance of
// the last long record serves the rest.
bool HmtxInBounds(const IFaceTables& face) {
  const uint64_t longMetrics = face.Hhea.U16(34);
  if (longMetrics == 0) return false;  // the shared advance would lie before the table
  const uint64_t glyphs = face.MetricGlyphs;
  const uint64_t need = glyphs <= longMetrics ? 4 * glyphs : 4 * longMetrics + 2 * (glyphs - longMetrics);
  return face.Hmtx.Has(0, need);
}

// "kern", read only without "GPOS": the first subtable's sorted pairs, when
// it is horizontal format 0.
bool KernInBounds(const IFaceTables& face) {
  const IFontSpan& kern = face.Kern;
  if (!kern.Has(0, 4)) return false;
  if (kern.U16(2) < 1) return true;
  if (!kern.Has(0, 10)) return false;
  if (kern.U16(8) != 1) return true;
  if (!kern.Has(0, 12)) return false;
  return kern.Has(18, 6 * static_cast<uint64_t>(kern.U16(10)));
}

} // namespace

bool TrueTypeFaceInBounds(const uint8_t* bytes, int32_t byteCount, int32_t faceIndex) {
  if (!bytes || byteCount <= 0) return false;
  const IFontSpan file{bytes, static_cast<uint64_t>(byteCount)};
  uint64_t directory = 0;
  if (!FaceStart(file, faceIndex, directory) || !file.Has(directory, 12)) return false;
  const uint32_t tables = file.U16(directory + 4);
  if (!file.Has(directory + 12, 16 * static_cast<uint64_t>(tables))) return false;

  IFaceTables face;
  const struct {
    const char* Tag;
    IFontSpan* Table;
  } wanted[] = {{"cmap", &face.Cmap}, {"head", &face.Head}, {"hhea", &face.Hhea}, {"hmtx", &face.Hmtx},
                {"maxp", &face.Maxp}, {"loca", &face.Loca}, {"glyf", &face.Glyf}, {"kern", &face.Kern},
                {"GPOS", &face.Gpos}, {"CFF ", &face.Cff}};
  for (const auto& w : wanted)
    if (!FindTable(file, directory, tables, w.Tag, *w.Table)) return false;

  // What the rasteriser insists on; without it the font is refused anyway.
  if (!face.Cmap.Bytes || !face.Head.Bytes || !face.Hhea.Bytes || !face.Hmtx.Bytes) return false;
  if (face.Glyf.Bytes ? !face.Loca.Bytes : !face.Cff.Bytes) return false;

  // head: units per em and the glyph location format; hhea: the vertical
  // metrics and the count of long horizontal metrics.
  if (!face.Head.Has(0, 52) || !face.Hhea.Has(0, 36)) return false;
  if (face.Maxp.Bytes && !face.Maxp.Has(0, 6)) return false;
  face.GlyphCount = face.Maxp.Bytes ? face.Maxp.U16(4) : 0xFFFFu;
  face.MetricGlyphs = face.GlyphCount > 0 ? face.GlyphCount : 1;
  if (!HmtxInBounds(face)) return false;
  if (!truetype::CmapInBounds(face)) return false;
  if (face.Glyf.Bytes ? !truetype::GlyfInBounds(face) : !truetype::CffInBounds(face)) return false;
  // Kerning comes from GPOS when there is one, else from kern.
  if (face.Gpos.Bytes) return truetype::GposInBounds(face);
  return !face.Kern.Bytes || KernInBounds(face);
}

} // namespace plugkit::canvas
