// Which faces the rasteriser may be given: the embedded fonts whole and with
// their tables in any order, a small CFF font, and the same fonts damaged in
// each place the rasteriser would otherwise read outside their bytes.

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <algorithm>
#include <cstddef>
#include <string>
#include <vector>

#include "graphics/resources/ITypefaceBlob.h"
#include "graphics/resources/TrueTypeBounds.h"
#include "tests/graphics/resources/font_bytes.h"
#include "tests/graphics/resources/font_surgery.h"

namespace plugkit::canvas::test {
namespace {

using detail::Get16;
using detail::Get32;
using detail::Put16;
using detail::Put32;

bool InBounds(const std::vector<uint8_t>& file, int32_t face = 0) {
  // An exact copy: the check must never need a byte past the end.
  const std::vector<uint8_t> exact(file);
  return TrueTypeFaceInBounds(exact.empty() ? nullptr : exact.data(), static_cast<int32_t>(exact.size()), face);
}

// The first glyph for which pick(glyph bytes offset in glyf, its contour
// count) holds; the glyph count when none does.
size_t FindGlyph(SfntFont& font, const std::function<bool(size_t, int16_t)>& pick) {
  const GlyphLocations locations = LocationsOf(font);
  const std::vector<uint8_t>& glyf = *font.Find("glyf");
  for (size_t g = 0; g < GlyphCount(font); ++g) {
    const size_t at = locations.Get(g);
    if (locations.Get(g + 1) > at && pick(at, static_cast<int16_t>(Get16(glyf, at)))) return g;
  }
  return GlyphCount(font);
}

// The character map subtable the rasteriser reads: the last Microsoft
// Unicode or Unicode-platform record's.
size_t ChosenSubtable(const std::vector<uint8_t>& cmap) {
  size_t chosen = 0;
  for (size_t i = 0; i < Get16(cmap, 2); ++i) {
    const size_t record = 4 + 8 * i;
    const uint32_t platform = Get16(cmap, record), encoding = Get16(cmap, record + 2);
    if ((platform == 3 && (encoding == 1 || encoding == 10)) || platform == 0) chosen = Get32(cmap, record + 4);
  }
  return chosen;
}

std::vector<uint8_t> Roboto() { return EmbeddedFont("Roboto-Regular.ttf"); }

// Fork Awesome (which has no kerning) with a kerning table of pairs pairs
// that claims claimed.
std::vector<uint8_t> IconsKerned(uint16_t pairs, uint16_t claimed) {
  SfntFont font = SplitFont(EmbeddedFont("forkawesome-webfont.ttf"));
  std::vector<uint8_t> kern(18 + 6 * pairs, 0);
  Put16(kern, 2, 1);  // one subtable
  Put16(kern, 6, static_cast<uint32_t>(kern.size() - 4));
  Put16(kern, 8, 1);  // horizontal, format 0
  Put16(kern, 10, claimed);
  for (uint16_t p = 0; p < pairs; ++p) {
    Put16(kern, 18 + 6 * p, 1);
    Put16(kern, 20 + 6 * p, 2u + p);
    Put16(kern, 22 + 6 * p, 0xFFC0);
  }
  font.Tables.push_back({"kern", kern});
  return JoinFont(font);
}

// Roboto with its names first and its glyphs last.
SfntFont RobotoGlyphsLast() { return GlyphsLast(Roboto()); }

TEST(TrueTypeBounds, WholeFontsAreUsableWithTheirTablesInAnyOrder) {
  const std::vector<uint8_t> roboto = Roboto(), icons = EmbeddedFont("forkawesome-webfont.ttf");
  ASSERT_GT(roboto.size(), 100000u);
  ASSERT_GT(icons.size(), 100000u);
  SfntFont reversed = SplitFont(roboto);
  std::reverse(reversed.Tables.begin(), reversed.Tables.end());
  const struct {
    const char* name;
    std::vector<uint8_t> file;
  } cases[] = {{"Roboto", roboto},
               {"Fork Awesome", icons},
               {"Roboto, glyphs last", JoinFont(RobotoGlyphsLast())},
               {"Roboto, tables reversed", JoinFont(reversed)},
               {"CFF outlines", JoinFont(SmallCffFont())},
               {"Fork Awesome with kerning", IconsKerned(3, 3)},
               {"one empty glyph", BuildFont({NamedFace("Built", "Regular")}, false)}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_TRUE(InBounds(c.file));
    EXPECT_FALSE(InBounds(c.file, 1)) << "a single font has one face";
    ITypefaceBlob blob;
    ASSERT_TRUE(blob.AssignBytes(c.file.data(), static_cast<int32_t>(c.file.size())));
    ASSERT_TRUE(blob.LoadFace(0));
    EXPECT_TRUE(blob.IsUsable());
  }
}

// Each damage is one the rasteriser would read past: cut tables, tables
// placed or sized past the file, glyph locations out of glyf, glyphs whose
// parts overrun them, a character map naming glyphs the metrics lack or a
// search leaving its segments, kerning past GPOS, CFF offsets past CFF.
TEST(TrueTypeBounds, DamagedFontsAreRefused) {
  struct Damage {
    const char* name;
    std::function<std::vector<uint8_t>()> make;
  };
  const auto edited = [](const std::function<void(SfntFont&)>& edit) {
    return [edit] {
      SfntFont font = RobotoGlyphsLast();
      edit(font);
      return JoinFont(font);
    };
  };
  const auto record = [](const char* tag, size_t field, const std::function<uint32_t(size_t)>& value) {
    return [=] {
      std::vector<uint8_t> file = JoinFont(RobotoGlyphsLast());
      const size_t at = RecordOf(file, tag);
      if (at) Put32(file, at + field, value(file.size()));
      return file;
    };
  };
  std::vector<Damage> damages = {
      {"glyph locations that decrease", edited([](SfntFont& f) {
         GlyphLocations l = LocationsOf(f);
         const size_t g = GlyphCount(f) / 2;  // between two glyphs with outlines
         l.Set(g + 1, l.Get(g - 1));
       })},
      {"the last glyph location past glyf",
       edited([](SfntFont& f) { LocationsOf(f).Set(GlyphCount(f), f.Find("glyf")->size() + 4); })},
      {"maxp counting more glyphs than loca holds",
       edited([](SfntFont& f) { Put16(*f.Find("maxp"), 4, static_cast<uint32_t>(GlyphCount(f) + 100)); })},
      {"maxp counting fewer glyphs than the character map names",
       edited([](SfntFont& f) { Put16(*f.Find("maxp"), 4, 20); })},
      {"no long horizontal metrics", edited([](SfntFont& f) { Put16(*f.Find("hhea"), 34, 0); })},
      {"a character map group naming glyphs past the last", edited([](SfntFont& f) {
         std::vector<uint8_t>& cmap = *f.Find("cmap");
         const size_t map = ChosenSubtable(cmap);
         Put32(cmap, map + 16 + 8, 0xFFFF0000u);  // the first group's first glyph
       })},
      {"a character map search that leaves its segments", [] {
         // Fork Awesome's chosen map is a segment table.
         SfntFont f = SplitFont(EmbeddedFont("forkawesome-webfont.ttf"));
         std::vector<uint8_t>& cmap = *f.Find("cmap");
         Put16(cmap, ChosenSubtable(cmap) + 12, 0xFFFE);  // range shift
         return JoinFont(f);
       }},
      {"no character map the rasteriser reads", edited([](SfntFont& f) {
         std::vector<uint8_t>& cmap = *f.Find("cmap");
         Put16(cmap, ChosenSubtable(cmap), 2);  // a format it cannot read
       })},
      {"a composite glyph that contains itself", edited([](SfntFont& f) {
         const size_t g = FindGlyph(f, [](size_t, int16_t contours) { return contours < 0; });
         Put16(*f.Find("glyf"), LocationsOf(f).Get(g) + 12, static_cast<uint32_t>(g));
       })},
      {"contour end points that do not rise", edited([](SfntFont& f) {
         std::vector<uint8_t>& glyf = *f.Find("glyf");
         const size_t g = FindGlyph(f, [](size_t, int16_t contours) { return contours >= 2; });
         const size_t at = LocationsOf(f).Get(g);
         Put16(glyf, at + 12, Get16(glyf, at + 10));
       })},
      {"a glyph with more points than its bytes hold", edited([](SfntFont& f) {
         std::vector<uint8_t>& glyf = *f.Find("glyf");
         const size_t g = FindGlyph(f, [](size_t, int16_t contours) { return contours == 1; });
         Put16(glyf, LocationsOf(f).Get(g) + 10, 0xFFF0);
       })},
      {"a glyph whose coordinates run past its bytes", edited([](SfntFont& f) {
         // Every point's x and y as shorts, where the glyph stores bytes.
         std::vector<uint8_t>& glyf = *f.Find("glyf");
         const size_t g =
             FindGlyph(f, [&](size_t at, int16_t contours) { return contours == 1 && Get16(glyf, at + 10) >= 16; });
         const size_t at = LocationsOf(f).Get(g);
         const size_t flags = at + 14 + Get16(glyf, at + 12);
         glyf[flags] = 0x09;  // on the curve, repeated
         glyf[flags + 1] = static_cast<uint8_t>(Get16(glyf, at + 10));
       })},
      {"a last contour of one point off the curve", edited([](SfntFont& f) {
         std::vector<uint8_t>& glyf = *f.Find("glyf");
         const size_t g = FindGlyph(f, [](size_t, int16_t contours) { return contours == 1; });
         const size_t at = LocationsOf(f).Get(g);
         Put16(glyf, at + 10, 0);  // one point
         glyf[at + 14 + Get16(glyf, at + 12)] &= 0xFE;
       })},
      {"kerning pairs past kern", [] { return IconsKerned(3, 1000); }},
      {"GPOS lookups past GPOS", edited([](SfntFont& f) {
         std::vector<uint8_t>& gpos = *f.Find("GPOS");
         Put16(gpos, Get16(gpos, 8), 0xFFFF);  // the lookup count
       })},
      {"a table the rasteriser needs missing", edited([](SfntFont& f) {
         for (SfntTable& t : f.Tables)
           if (t.Tag == "hmtx") t.Tag = "xmtx";
       })},
      {"CFF charstrings past CFF", [] { return JoinFont(SmallCffFont({1000, 0, 0, 0})); }},
      {"CFF charstrings 256 MiB on", [] { return JoinFont(SmallCffFont({1 << 28, 0, 0, 0})); }},
      {"CFF private dictionary past CFF", [] { return JoinFont(SmallCffFont({0, 1000, 0, 0})); }},
      {"CFF private dictionary longer than CFF", [] { return JoinFont(SmallCffFont({0, 0, 100, 0})); }},
      {"CFF charstrings ending past CFF", [] { return JoinFont(SmallCffFont({0, 0, 0, 200})); }},
  };
  // Every table the rasteriser reads of Roboto, each reaching past the end
  // of the file, or placed there.
  for (const char* tag : {"cmap", "head", "hhea", "hmtx", "maxp", "loca", "glyf", "GPOS"}) {
    damages.push_back({tag, record(tag, 12, [](size_t size) { return static_cast<uint32_t>(size); })});
    damages.push_back({tag, record(tag, 8, [](size_t size) { return static_cast<uint32_t>(size - 2); })});
  }
  for (const DamagedFont& d : DamagedCopies(Roboto())) damages.push_back({d.Name, [d] { return d.File; }});
  for (const Damage& d : damages) {
    SCOPED_TRACE(d.name);
    const std::vector<uint8_t> file = d.make();
    EXPECT_FALSE(InBounds(file));
    // Nothing else about it is wrong: the reader still finds the face.
    ITypefaceBlob blob;
    ASSERT_TRUE(blob.AssignBytes(file.data(), static_cast<int32_t>(file.size())));
    EXPECT_TRUE(blob.LoadFace(0));
    EXPECT_FALSE(blob.IsUsable());
  }
}

// A font whose outlines come last is refused at every cut, and the check
// never needs a byte past it.
TEST(TrueTypeBounds, EveryCutOfTheOutlinesIsRefused) {
  SfntFont cff = SmallCffFont();
  cff.MoveToEnd({"CFF "});
  const std::vector<uint8_t> whole = JoinFont(cff);
  ASSERT_TRUE(InBounds(whole));
  for (size_t cut = 0; cut < whole.size(); ++cut)
    ASSERT_FALSE(InBounds(std::vector<uint8_t>(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(cut))))
        << cut;
  const std::vector<uint8_t> roboto = JoinFont(RobotoGlyphsLast());
  const size_t glyf = Get32(roboto, RecordOf(roboto, "glyf") + 8);
  for (size_t cut : {size_t(0), size_t(12), size_t(100), glyf - 1, glyf + 1, roboto.size() - 1})
    EXPECT_FALSE(InBounds(std::vector<uint8_t>(roboto.begin(), roboto.begin() + static_cast<std::ptrdiff_t>(cut))))
        << cut;
}

} // namespace
} // namespace plugkit::canvas::test
