// Kerning from "GPOS", read as the rasteriser reads it: every lookup's type
// and subtable count, and for pair adjustment lookups each subtable's
// coverage and, in the two layouts it reads, its pair sets or class tables.
// Offsets count from the structure that holds them; everything must lie
// within GPOS. Any glyph id may be looked up (the coverage and class
// searches stay within their own arrays, whatever the id).
//
// Lookups and subtables may share structures, so a table can make the walk
// far longer than itself: past a budget of steps per byte it is refused
// (real tables need a small fraction of it).

#include <cstdint>

#include "graphics/resources/TrueTypeBoundsParts.h"

namespace plugkit::canvas::truetype {

namespace {

// Steps allowed per byte of GPOS, and in any case.
constexpr uint64_t kStepsPerByte = 64;
constexpr uint64_t kMinimumSteps = 1 << 20;

// Counts steps of the walk; false once the budget is spent.
struct IBudget {
  uint64_t Left;
  bool Take(uint64_t steps) {
    if (steps > Left) return false;
    Left -= steps;
    return true;
  }
};

// A coverage table; index is set to the highest coverage index it can give
// (-1: none), or false when it does not lie within GPOS. A format the
// rasteriser does not read covers nothing.
bool CoverageInBounds(const IFontSpan& gpos, uint64_t at, int64_t& index, IBudget& budget) {
  index = -1;
  if (!gpos.Has(at, 2)) return false;
  const uint16_t format = gpos.U16(at);
  if (format != 1 && format != 2) return true;
  if (!gpos.Has(at, 4)) return false;
  const uint64_t count = gpos.U16(at + 2);
  if (format == 1) {
    index = static_cast<int64_t>(count) - 1;
    return gpos.Has(at + 4, 2 * count);
  }
  if (!gpos.Has(at + 4, 6 * count) || !budget.Take(count)) return false;
  // Each range gives its start index plus the glyph's place in the range.
  for (uint64_t r = 0; r < count; ++r) {
    const uint64_t range = at + 4 + 6 * r;
    const int64_t first = gpos.U16(range), last = gpos.U16(range + 2);
    if (last < first) continue;  // never matches
    const int64_t highest = gpos.U16(range + 4) + (last - first);
    if (highest > index) index = highest;
  }
  return true;
}

// A class definition table (a format the rasteriser does not read gives
// no class, and the pair is skipped).
bool ClassDefInBounds(const IFontSpan& gpos, uint64_t at) {
  if (!gpos.Has(at, 2)) return false;
  switch (gpos.U16(at)) {
    case 1: return gpos.Has(at, 6) && gpos.Has(at + 6, 2 * static_cast<uint64_t>(gpos.U16(at + 4)));
    case 2: return gpos.Has(at, 4) && gpos.Has(at + 4, 6 * static_cast<uint64_t>(gpos.U16(at + 2)));
    default: return true;
  }
}

// One pair adjustment subtable at at. Only the layouts whose first value is
// an x advance alone are read further.
bool PairSubtableInBounds(const IFontSpan& gpos, uint64_t at, IBudget& budget) {
  if (!gpos.Has(at, 4)) return false;
  const uint16_t format = gpos.U16(at);
  int64_t highest = -1;
  if (!CoverageInBounds(gpos, at + gpos.U16(at + 2), highest, budget)) return false;
  if (highest < 0 || (format != 1 && format != 2)) return true;
  if (!gpos.Has(at, 8)) return false;
  if (gpos.U16(at + 4) != 4 || gpos.U16(at + 6) != 0) return true;
  if (format == 1) {
    // Pair sets by coverage index; the rasteriser reads a set's offset and
    // its count before it compares the index with the number of sets.
    if (!gpos.Has(at, 10)) return false;
    const uint64_t sets = gpos.U16(at + 8);
    const uint64_t reach = static_cast<uint64_t>(highest) + 1 > sets ? static_cast<uint64_t>(highest) + 1 : sets;
    if (!gpos.Has(at + 10, 2 * reach) || !budget.Take(reach)) return false;
    for (uint64_t i = 0; i < reach; ++i) {
      const uint64_t set = at + gpos.U16(at + 10 + 2 * i);
      if (!gpos.Has(set, 2)) return false;
      if (i < sets && !gpos.Has(set + 2, 4 * static_cast<uint64_t>(gpos.U16(set)))) return false;
    }
    return true;
  }
  // Classes: both definitions, then one x advance per class pair.
  if (!gpos.Has(at, 16)) return false;
  if (!ClassDefInBounds(gpos, at + gpos.U16(at + 8)) || !ClassDefInBounds(gpos, at + gpos.U16(at + 10)))
    return false;
  return gpos.Has(at + 16, 2 * static_cast<uint64_t>(gpos.U16(at + 12)) * gpos.U16(at + 14));
}

} // namespace

bool GposInBounds(const IFaceTables& face) {
  const IFontSpan& gpos = face.Gpos;
  if (!gpos.Has(0, 4)) return false;
  if (gpos.U16(0) != 1 || gpos.U16(2) != 0) return true;  // a version it does not read: no kerning
  if (!gpos.Has(0, 10)) return false;
  const uint64_t list = gpos.U16(8);
  if (!gpos.Has(list, 2)) return false;
  const uint64_t lookups = gpos.U16(list);
  if (!gpos.Has(list + 2, 2 * lookups)) return false;
  IBudget budget{kMinimumSteps + kStepsPerByte * gpos.Size};
  for (uint64_t i = 0; i < lookups; ++i) {
    const uint64_t lookup = list + gpos.U16(list + 2 + 2 * i);
    if (!gpos.Has(lookup, 6)) return false;
    if (gpos.U16(lookup) != 2) continue;  // only pair adjustment
    const uint64_t subtables = gpos.U16(lookup + 4);
    if (!gpos.Has(lookup + 6, 2 * subtables) || !budget.Take(subtables)) return false;
    for (uint64_t s = 0; s < subtables; ++s)
      if (!PairSubtableInBounds(gpos, lookup + gpos.U16(lookup + 6 + 2 * s), budget)) return false;
  }
  return true;
}

} // namespace plugkit::canvas::truetype
