#pragma once
// TrueTypeFaceInBounds: whether the drawing back-end's font rasteriser
// (stb_truetype, inside NanoVG's font stash) can use a face of a font file
// without ever reading outside the file's bytes.
//
// The rasteriser trusts every offset and count it finds: a table that lies
// past the end of the file, a glyph location beyond "glyf", a character map
// that names a glyph the metrics do not hold, a kerning list longer than
// its table, each sends it reading outside the bytes while it measures or
// draws text. So a face is usable only when every table the rasteriser
// reads lies within the bytes, and everything it reaches inside them, the
// way it reaches it, lies within that table:
// - the table directory, "head", "hhea", "maxp" and "hmtx" (the metrics of
//   every glyph it may ask for);
// - the character map subtable it chooses, in a format it reads, whose
//   every glyph is one the font has and whose search stays in its arrays;
// - outlines: "loca" and "glyf" with glyph locations that never decrease
//   and end within "glyf", each glyph's contours, points and components
//   within its own location, composites nested at most 16 deep and never
//   their own part; or, for a font without "glyf", the "CFF " table's
//   indexes, dictionaries and font selector;
// - kerning from "GPOS" (its pair adjustments) or, without it, from "kern".
// A table whose walk would take far longer than its size (kerning lookups
// sharing their parts many times over) is refused too. The checks follow
// the rasteriser's own reading of these tables, so a face that passes draws
// as it did; a face the rasteriser would refuse anyway (no character map it
// reads, say) is refused here too.
//
// Threads: a pure function of the bytes; any thread. It allocates (the
// composite-glyph walk), so not on the audio thread.

#include <cstdint>

namespace plugkit::canvas {

// Face faceIndex of the byteCount bytes at bytes (a font file or a
// collection). False for null bytes or a face the bytes do not hold.
bool TrueTypeFaceInBounds(const uint8_t* bytes, int32_t byteCount, int32_t faceIndex);

} // namespace plugkit::canvas
