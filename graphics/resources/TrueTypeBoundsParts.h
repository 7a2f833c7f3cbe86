#pragma once
// The parts of TrueTypeFaceInBounds (TrueTypeBounds.h), one per group of
// tables the rasteriser reads. Each answers whether every read the
// rasteriser makes of its tables, for any text, stays within them. Private
// to graphics/resources.

#include <cstdint>

#include "graphics/resources/FontSpan.h"

namespace plugkit::canvas::truetype {

// The tables of one face as the rasteriser finds them: the first directory
// record with the tag, absent (empty) when there is none or its offset is 0.
// Every table given here lies within the file.
struct IFaceTables {
  IFontSpan Cmap, Head, Hhea, Hmtx, Maxp, Loca, Glyf, Kern, Gpos, Cff;
  // maxp's glyph count, or 0xFFFF without maxp, as the rasteriser takes it.
  uint32_t GlyphCount = 0;
  // Glyph ids whose metrics may be asked for: every id the character map
  // gives, and 0 for characters it lacks.
  uint32_t MetricGlyphs = 0;
};

// The character map subtable the rasteriser chooses and every glyph id it
// can give.
bool CmapInBounds(const IFaceTables& face);
// "loca" and "glyf": glyph locations, outlines and components.
bool GlyfInBounds(const IFaceTables& face);
// The "CFF " table of a font without "glyf".
bool CffInBounds(const IFaceTables& face);
// The pair adjustments of "GPOS".
bool GposInBounds(const IFaceTables& face);

} // namespace plugkit::canvas::truetype
