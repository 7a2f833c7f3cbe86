#pragma once
// ITrueTypeInfo: what is known about one face of a TrueType / OpenType font
// (a single font file or one face of a collection), read from the font's own
// tables without a font library: the table directory, the family and style
// names from "name", the style bits and units per em from "head", and the
// vertical metrics from "hhea".
//
// The reader is bounded by the byte count it is given: every table, record
// and string is checked against it (and against the table's own length), so a
// truncated or malformed font yields no names and zero metrics, never a read
// outside the bytes. Table offsets in a collection count from the start of
// the file, as the format defines them, not from the face's directory.
//
// Ownership: the record points into bytes it does not own; they must outlive
// it (ITypefaceBlob keeps both together). It owns its two names.
//
// Threads: a plain record, no locking; any thread.

#include <cstdint>

#include "core/IStringBuffer.h"

namespace plugkit {
namespace canvas {

class ITrueTypeInfo {
public:
  ITrueTypeInfo() = default;
  ITrueTypeInfo(ITrueTypeInfo&&) noexcept = default;
  ITrueTypeInfo& operator=(ITrueTypeInfo&&) noexcept = default;
  ITrueTypeInfo(const ITrueTypeInfo&) = delete;
  ITrueTypeInfo& operator=(const ITrueTypeInfo&) = delete;

  // Fills the record from the first byteCount bytes of a font file or
  // collection, for face faceIndex. A single font has only face 0; a
  // collection ("ttcf", version 1 or 2) has the faces its header counts.
  // Answers whether the face was found (then Data is set); a negative face
  // index, a face the bytes do not hold, an unknown format or a directory
  // that does not fit the bytes leave Data null and everything else empty.
  // Names and metrics are read only when "head", "name" and "hhea" are all
  // present and whole.
  bool Load(const uint8_t* bytes, int32_t byteCount, int32_t faceIndex);

  // One string of the "name" table: the first record with nameId for the
  // Windows platform (Unicode BMP, US English; UTF-16 big-endian, converted
  // to UTF-8 with surrogate pairs combined and lone surrogates replaced by
  // U+FFFD) or, with windows false, for the Macintosh platform (Roman,
  // English; taken byte for byte). Empty when no whole record matches.
  bool ReadName(int32_t nameId, bool windows, IStringBuffer& out) const;

  // Empties the record (Data null, offsets, names and metrics cleared).
  void Reset();

  // The start of the font bytes given to Load and their count; null / 0
  // when nothing was loaded.
  const uint8_t* Bytes = nullptr;
  int32_t ByteCount = 0;
  // The face's table directory inside Bytes; null when the bytes are not a
  // usable font or do not hold the face.
  const uint8_t* Data = nullptr;
  // Offsets from Bytes of the tables head, name, hhea and fdsc (0 = absent
  // or not inside the bytes), and their lengths.
  uint32_t HeadOffset = 0, NameOffset = 0, HheaOffset = 0, FdscOffset = 0;
  uint32_t HeadLength = 0, NameLength = 0, HheaLength = 0, FdscLength = 0;
  // UTF-8; the Windows name when there is one, else the Macintosh one.
  IStringBuffer FamilyName;
  IStringBuffer StyleName;
  // From head: style bits (bit 0 bold, bit 1 italic, bit 2 underline).
  uint16_t MacStyle = 0;
  uint16_t UnitsPerEm = 0;
  // From hhea, in font units.
  int16_t Ascender = 0;
  int16_t Descender = 0;
  int16_t LineGap = 0;

  // Whether head, name and hhea were all found (names and metrics read).
  bool HasCoreTables() const { return HeadOffset != 0 && NameOffset != 0 && HheaOffset != 0; }
};

} // namespace canvas
} // namespace plugkit
