#pragma once
// Real fonts taken apart into their tables, changed, and put together again,
// for the tests of what the rasteriser may be given; and a small font with
// CFF outlines built the same way (no CFF font comes with the system).
//
// JoinFont writes the table directory sorted by tag, as the format asks,
// and the tables' bytes in the order of the list, each 4-byte aligned, so a
// test chooses where each table lies in the file.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "tests/graphics/resources/font_builder.h"

namespace plugkit::canvas::test {

struct SfntTable {
  std::string Tag;
  std::vector<uint8_t> Bytes;
};

struct SfntFont {
  uint32_t Version = 0x00010000;  // the file's first four bytes
  std::vector<SfntTable> Tables;  // in the order their bytes are written

  std::vector<uint8_t>* Find(const std::string& tag) {
    for (SfntTable& t : Tables)
      if (t.Tag == tag) return &t.Bytes;
    return nullptr;
  }
  // Moves the tables named in tags, in that order, to the end of the file.
  void MoveToEnd(const std::vector<std::string>& tags) {
    for (const std::string& tag : tags) {
      auto it = std::find_if(Tables.begin(), Tables.end(), [&](const SfntTable& t) { return t.Tag == tag; });
      if (it == Tables.end()) continue;
      SfntTable moved = *it;
      Tables.erase(it);
      Tables.push_back(moved);
    }
  }
};

namespace detail {

inline uint32_t Get16(const std::vector<uint8_t>& b, size_t at) {
  return static_cast<uint32_t>(b[at] << 8 | b[at + 1]);
}
inline uint32_t Get32(const std::vector<uint8_t>& b, size_t at) { return Get16(b, at) << 16 | Get16(b, at + 2); }

} // namespace detail

// A single font file's tables, in directory order. Empty for bytes too short
// for their directory.
inline SfntFont SplitFont(const std::vector<uint8_t>& bytes) {
  using namespace detail;
  SfntFont font;
  if (bytes.size() < 12) return font;
  font.Version = Get32(bytes, 0);
  const size_t count = Get16(bytes, 4);
  if (bytes.size() < 12 + 16 * count) return font;
  for (size_t i = 0; i < count; ++i) {
    const size_t record = 12 + 16 * i;
    const size_t offset = Get32(bytes, record + 8), length = Get32(bytes, record + 12);
    if (offset > bytes.size() || length > bytes.size() - offset) return SfntFont();
    font.Tables.push_back({std::string(bytes.begin() + static_cast<std::ptrdiff_t>(record),
                                       bytes.begin() + static_cast<std::ptrdiff_t>(record) + 4),
                           std::vector<uint8_t>(bytes.begin() + static_cast<std::ptrdiff_t>(offset),
                                                bytes.begin() + static_cast<std::ptrdiff_t>(offset + length))});
  }
  return font;
}

inline std::vector<uint8_t> JoinFont(const SfntFont& font) {
  using namespace detail;
  std::vector<const SfntTable*> sorted;
  for (const SfntTable& t : font.Tables) sorted.push_back(&t);
  std::sort(sorted.begin(), sorted.end(), [](const SfntTable* a, const SfntTable* b) { return a->Tag < b->Tag; });
  std::vector<uint8_t> b(12 + 16 * font.Tables.size(), 0);
  Put32(b, 0, font.Version);
  Put16(b, 4, static_cast<uint32_t>(font.Tables.size()));
  for (const SfntTable& t : font.Tables) {
    while (b.size() % 4) b.push_back(0);
    const size_t index = static_cast<size_t>(std::find(sorted.begin(), sorted.end(), &t) - sorted.begin());
    const size_t record = 12 + 16 * index;
    for (int c = 0; c < 4; ++c) b[record + c] = static_cast<uint8_t>(t.Tag[c]);
    Put32(b, record + 8, static_cast<uint32_t>(b.size()));
    Put32(b, record + 12, static_cast<uint32_t>(t.Bytes.size()));
    b.insert(b.end(), t.Bytes.begin(), t.Bytes.end());
  }
  return b;
}

// Where the directory record of tag starts in a joined file (0: none).
inline size_t RecordOf(const std::vector<uint8_t>& file, const std::string& tag) {
  using namespace detail;
  const size_t count = file.size() >= 12 ? Get16(file, 4) : 0;
  for (size_t i = 0; i < count; ++i)
    if (std::string(file.begin() + static_cast<std::ptrdiff_t>(12 + 16 * i),
                    file.begin() + static_cast<std::ptrdiff_t>(12 + 16 * i + 4)) == tag)
      return 12 + 16 * i;
  return 0;
}

// Glyph locations of a TrueType font, in either location format.
struct GlyphLocations {
  std::vector<uint8_t>& Loca;
  bool Long;
  size_t Get(size_t g) const { return Long ? detail::Get32(Loca, 4 * g) : 2 * detail::Get16(Loca, 2 * g); }
  void Set(size_t g, size_t at) {
    if (Long) detail::Put32(Loca, 4 * g, static_cast<uint32_t>(at));
    else detail::Put16(Loca, 2 * g, static_cast<uint32_t>(at / 2));
  }
};
inline GlyphLocations LocationsOf(SfntFont& font) {
  return {*font.Find("loca"), detail::Get16(*font.Find("head"), 50) == 1};
}
inline size_t GlyphCount(SfntFont& font) { return detail::Get16(*font.Find("maxp"), 4); }

// A font with its glyphs last, as many font tools write fonts.
inline SfntFont GlyphsLast(SfntFont font) {
  font.MoveToEnd({"loca", "glyf"});
  return font;
}
inline SfntFont GlyphsLast(const std::vector<uint8_t>& file) { return GlyphsLast(SplitFont(file)); }

// Replaces every from in the name table's strings (Macintosh and UTF-16
// ones) by to, of the same length: the font takes another family name.
inline void RenameFamily(SfntFont& font, const std::string& from, const std::string& to) {
  std::vector<uint8_t>* name = font.Find("name");
  if (!name || from.size() != to.size()) return;
  for (const bool wide : {false, true}) {
    std::vector<uint8_t> a, b;
    for (size_t i = 0; i < from.size(); ++i) {
      if (wide) a.push_back(0), b.push_back(0);
      a.push_back(static_cast<uint8_t>(from[i]));
      b.push_back(static_cast<uint8_t>(to[i]));
    }
    for (auto it = std::search(name->begin(), name->end(), a.begin(), a.end()); it != name->end();
         it = std::search(it, name->end(), a.begin(), a.end()))
      it = std::copy(b.begin(), b.end(), it);
  }
}

// Damaged copies of a TrueType font (glyphs with long locations) that only
// the check of what the rasteriser reads refuses: the font reader still
// finds their names and metrics.
struct DamagedFont {
  const char* Name;
  std::vector<uint8_t> File;
};
inline std::vector<DamagedFont> DamagedCopies(const SfntFont& font) {
  std::vector<DamagedFont> damaged;
  std::vector<uint8_t> cut = JoinFont(GlyphsLast(font));
  cut.resize(detail::Get32(cut, RecordOf(cut, "glyf") + 8) + 1000);
  damaged.push_back({"glyphs last, cut 1000 bytes into glyf", cut});
  SfntFont beyond = GlyphsLast(font);
  LocationsOf(beyond).Set(GlyphCount(beyond) / 2, detail::Get32(*beyond.Find("loca"), 0) + (1u << 30));
  damaged.push_back({"a glyph location 1 GiB past glyf", JoinFont(beyond)});
  SfntFont shortMetrics = font;
  shortMetrics.Find("hmtx")->resize(100);
  damaged.push_back({"hmtx cut short of its glyphs", JoinFont(shortMetrics)});
  return damaged;
}
inline std::vector<DamagedFont> DamagedCopies(const std::vector<uint8_t>& file) {
  return DamagedCopies(SplitFont(file));
}

// What may be changed in the small CFF font: its outline table's offsets
// (added to the real ones) and counts.
struct CffShape {
  int64_t CharstringsShift = 0;  // the top dictionary's charstrings offset
  int64_t PrivateShift = 0;      // the private dictionary's offset
  int64_t PrivateGrowth = 0;     // and its size
  uint8_t LastOffsetGrowth = 0;  // the charstrings index's last offset
};

// One glyph besides .notdef, a box drawn for "A", in a CFF table of one
// font with no subroutines.
inline std::vector<uint8_t> SmallCffTable(const CffShape& shape = CffShape()) {
  using namespace detail;
  const auto int32Operand = [](std::vector<uint8_t>& d, int64_t v) {
    d.push_back(29);
    for (int shift = 24; shift >= 0; shift -= 8) d.push_back(static_cast<uint8_t>(static_cast<uint32_t>(v) >> shift));
  };
  // 100 0 rmoveto 500 hlineto 700 vlineto -500 hlineto endchar
  const std::vector<uint8_t> box = {239, 139, 21, 248, 136, 6, 249, 80, 7, 252, 136, 6, 14};
  const std::vector<uint8_t> notdef = {14};
  const size_t topDictSize = 17;
  const size_t charstringsAt = 4 + 6 + (5 + topDictSize) + 2 + 2;
  const size_t charstringsSize = 2 + 1 + 3 + notdef.size() + box.size();
  const size_t privateAt = charstringsAt + charstringsSize;
  const std::vector<uint8_t> privateDict = {139, 20};  // defaultWidthX 0

  std::vector<uint8_t> t = {1, 0, 4, 1};                 // header
  t.insert(t.end(), {0, 1, 1, 1, 2, 'T'});               // name index
  t.insert(t.end(), {0, 1, 1, 1, static_cast<uint8_t>(1 + topDictSize)});
  std::vector<uint8_t> top;
  int32Operand(top, static_cast<int64_t>(charstringsAt) + shape.CharstringsShift);
  top.push_back(17);
  int32Operand(top, static_cast<int64_t>(privateDict.size()) + shape.PrivateGrowth);
  int32Operand(top, static_cast<int64_t>(privateAt) + shape.PrivateShift);
  top.push_back(18);
  t.insert(t.end(), top.begin(), top.end());
  t.insert(t.end(), {0, 0, 0, 0});  // strings, global subroutines
  t.insert(t.end(), {0, 2, 1, 1, static_cast<uint8_t>(1 + notdef.size()),
                     static_cast<uint8_t>(1 + notdef.size() + box.size() + shape.LastOffsetGrowth)});
  t.insert(t.end(), notdef.begin(), notdef.end());
  t.insert(t.end(), box.begin(), box.end());
  t.insert(t.end(), privateDict.begin(), privateDict.end());
  return t;
}

// An OpenType font ("OTTO") drawing a box for "A" with CFF outlines, family
// "CffBox", 1000 units per em, ascender 800, descender -200.
inline SfntFont SmallCffFont(const CffShape& shape = CffShape()) {
  using namespace detail;
  FontFace face = NamedFace("CffBox", "Regular");
  SfntFont font;
  font.Version = 0x4F54544F;  // "OTTO"
  // 'A' gives glyph 1; the closing segment glyph 0.
  std::vector<uint8_t> cmap(12 + 32, 0);
  Put16(cmap, 2, 1);
  Put16(cmap, 4, 3);
  Put16(cmap, 6, 1);
  Put32(cmap, 8, 12);
  Put16(cmap, 12, 4);
  Put16(cmap, 14, 32);
  Put16(cmap, 18, 4);  // two segments
  Put16(cmap, 20, 4);  // search range
  Put16(cmap, 22, 1);  // entry selector
  Put16(cmap, 26, 'A');
  Put16(cmap, 28, 0xFFFF);
  Put16(cmap, 32, 'A');
  Put16(cmap, 34, 0xFFFF);
  Put16(cmap, 36, static_cast<uint16_t>(1 - 'A'));
  Put16(cmap, 38, 1);
  std::vector<uint8_t> maxp(6, 0);
  Put32(maxp, 0, 0x00005000);
  Put16(maxp, 4, 2);
  std::vector<uint8_t> hhea = HheaTable(face);
  Put16(hhea, 34, 2);
  font.Tables = {{"CFF ", SmallCffTable(shape)}, {"cmap", cmap},           {"head", HeadTable(face)},
                 {"hhea", hhea},                  {"hmtx", {2, 88, 0, 100, 2, 88, 0, 100}},
                 {"maxp", maxp},                  {"name", NameTable(face)}};
  return font;
}

} // namespace plugkit::canvas::test
