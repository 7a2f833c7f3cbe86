#pragma once
// Builds small TrueType fonts and collections in memory for the font
// reader's tests: a table directory with head, name and hhea tables holding
// chosen names and metrics, written the way the format lays them out
// (big-endian; in a collection every table offset counts from the start of
// the file), and by default the least the rasteriser needs besides: a
// character map without characters and one empty glyph with its metrics.
// The tables come after every directory and name comes last, so cutting the
// bytes short always cuts a table, and name.

#include <cstdint>
#include <string>
#include <vector>

namespace plugkit::canvas::test {

struct FontNameRecord {
  uint16_t Platform, Encoding, Language, NameId;
  std::string Bytes;  // stored as given
};

// A Windows (3, 1, 1033) record: text in UTF-16 big-endian (ASCII only).
inline FontNameRecord WindowsName(uint16_t nameId, const std::string& ascii) {
  std::string utf16;
  for (char c : ascii) {
    utf16.push_back('\0');
    utf16.push_back(c);
  }
  return {3, 1, 1033, nameId, utf16};
}
// A Macintosh (1, 0, 0) record: bytes as given.
inline FontNameRecord MacName(uint16_t nameId, const std::string& text) { return {1, 0, 0, nameId, text}; }

struct FontFace {
  std::string Version{"\0\1\0\0", 4};  // the tag of a single font
  std::vector<FontNameRecord> Names;
  uint16_t UnitsPerEm = 1000;
  uint16_t MacStyle = 0;
  int16_t Ascender = 800, Descender = -200, LineGap = 90;
  bool WithHead = true, WithName = true, WithHhea = true;
  // cmap, maxp, hmtx, loca and glyf for one empty glyph.
  bool WithOutlines = true;
};

namespace detail {

inline void Put16(std::vector<uint8_t>& b, size_t at, uint32_t v) {
  b[at] = static_cast<uint8_t>(v >> 8);
  b[at + 1] = static_cast<uint8_t>(v);
}
inline void Put32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
  Put16(b, at, v >> 16);
  Put16(b, at + 2, v & 0xFFFF);
}

inline std::vector<uint8_t> HeadTable(const FontFace& f) {
  std::vector<uint8_t> t(54, 0);
  Put32(t, 0, 0x00010000);
  Put32(t, 12, 0x5F0F3CF5);
  Put16(t, 18, f.UnitsPerEm);
  Put16(t, 44, f.MacStyle);
  return t;
}
inline std::vector<uint8_t> HheaTable(const FontFace& f) {
  std::vector<uint8_t> t(36, 0);
  Put32(t, 0, 0x00010000);
  Put16(t, 4, static_cast<uint16_t>(f.Ascender));
  Put16(t, 6, static_cast<uint16_t>(f.Descender));
  Put16(t, 8, static_cast<uint16_t>(f.LineGap));
  Put16(t, 34, f.WithOutlines ? 1 : 0);  // long horizontal metrics
  return t;
}
// A Unicode map whose one segment (the closing 0xFFFF) gives glyph 0.
inline std::vector<uint8_t> EmptyCmapTable() {
  std::vector<uint8_t> t(12 + 24, 0);
  Put16(t, 2, 1);
  Put16(t, 4, 3);
  Put16(t, 6, 1);
  Put32(t, 8, 12);
  Put16(t, 12, 4);   // format
  Put16(t, 14, 24);  // length
  Put16(t, 18, 2);   // segments x 2
  Put16(t, 20, 2);   // search range
  Put16(t, 26, 0xFFFF);
  Put16(t, 30, 0xFFFF);
  Put16(t, 32, 1);  // delta
  return t;
}
inline std::vector<uint8_t> OneGlyphMaxpTable() {
  std::vector<uint8_t> t(6, 0);
  Put32(t, 0, 0x00005000);
  Put16(t, 4, 1);
  return t;
}
inline std::vector<uint8_t> NameTable(const FontFace& f) {
  const size_t count = f.Names.size();
  std::vector<uint8_t> t(6 + 12 * count, 0);
  Put16(t, 2, static_cast<uint32_t>(count));
  Put16(t, 4, static_cast<uint32_t>(6 + 12 * count));
  size_t offset = 0;
  for (size_t i = 0; i < count; ++i) {
    const FontNameRecord& r = f.Names[i];
    const size_t at = 6 + 12 * i;
    Put16(t, at, r.Platform);
    Put16(t, at + 2, r.Encoding);
    Put16(t, at + 4, r.Language);
    Put16(t, at + 6, r.NameId);
    Put16(t, at + 8, static_cast<uint32_t>(r.Bytes.size()));
    Put16(t, at + 10, static_cast<uint32_t>(offset));
    offset += r.Bytes.size();
  }
  for (const FontNameRecord& r : f.Names) t.insert(t.end(), r.Bytes.begin(), r.Bytes.end());
  return t;
}

} // namespace detail

// One font file (collection false: faces must hold exactly one face), or a
// collection of every face with the given version.
inline std::vector<uint8_t> BuildFont(const std::vector<FontFace>& faces, bool collection,
                                      uint32_t collectionVersion = 0x00010000) {
  using namespace detail;
  struct ITable {
    const char* Tag;
    std::vector<uint8_t> Bytes;
  };
  std::vector<std::vector<ITable>> tables;
  for (const FontFace& f : faces) {
    std::vector<ITable> list;
    if (f.WithOutlines) {
      list.push_back({"cmap", EmptyCmapTable()});
      list.push_back({"maxp", OneGlyphMaxpTable()});
      list.push_back({"hmtx", {0x01, 0xF4, 0, 0}});
      list.push_back({"loca", {0, 0, 0, 0}});
      list.push_back({"glyf", {}});
    }
    if (f.WithHead) list.push_back({"head", HeadTable(f)});
    if (f.WithHhea) list.push_back({"hhea", HheaTable(f)});
    if (f.WithName) list.push_back({"name", NameTable(f)});
    tables.push_back(list);
  }
  std::vector<uint8_t> b(collection ? 12 + 4 * faces.size() : 0, 0);
  if (collection) {
    b[0] = 't', b[1] = 't', b[2] = 'c', b[3] = 'f';
    Put32(b, 4, collectionVersion);
    Put32(b, 8, static_cast<uint32_t>(faces.size()));
  }
  std::vector<size_t> directories;
  for (size_t i = 0; i < faces.size(); ++i) {
    if (collection) Put32(b, 12 + 4 * i, static_cast<uint32_t>(b.size()));
    directories.push_back(b.size());
    b.resize(b.size() + 12 + 16 * tables[i].size(), 0);
    for (int k = 0; k < 4; ++k) b[directories[i] + k] = static_cast<uint8_t>(faces[i].Version[k]);
    Put16(b, directories[i] + 4, static_cast<uint32_t>(tables[i].size()));
  }
  for (size_t i = 0; i < faces.size(); ++i) {
    for (size_t k = 0; k < tables[i].size(); ++k) {
      while (b.size() % 4) b.push_back(0);
      const size_t record = directories[i] + 12 + 16 * k;
      for (int c = 0; c < 4; ++c) b[record + c] = static_cast<uint8_t>(tables[i][k].Tag[c]);
      Put32(b, record + 8, static_cast<uint32_t>(b.size()));
      Put32(b, record + 12, static_cast<uint32_t>(tables[i][k].Bytes.size()));
      b.insert(b.end(), tables[i][k].Bytes.begin(), tables[i][k].Bytes.end());
    }
  }
  return b;
}

inline FontFace NamedFace(const std::string& family, const std::string& style) {
  FontFace f;
  f.Names = {WindowsName(1, family), WindowsName(2, style)};
  return f;
}

} // namespace plugkit::canvas::test
