// The TrueType reader and the font records built on it, on the embedded
// fonts (resources of this test program, as in the plug-in) and on small
// fonts built in memory.

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "graphics/resources/ITrueTypeInfo.h"
#include "graphics/resources/ITypefaceBlob.h"
#include "graphics/resources/PlatformFont.h"
#include "graphics/resources/SharedCaches.h"
#include "tests/graphics/resources/font_builder.h"
#include "tests/graphics/resources/font_bytes.h"

namespace plugkit::canvas::test {
namespace {

bool LoadBytes(ITrueTypeInfo& info, const std::vector<uint8_t>& bytes, int32_t face) {
  return info.Load(bytes.data(), static_cast<int32_t>(bytes.size()), face);
}

TEST(TrueTypeInfo, ReadsTheEmbeddedFonts) {
  struct {
    const char* file;
    const char* family;
    uint16_t unitsPerEm;
    int16_t ascender, descender, lineGap;
  } cases[] = {
      {"Roboto-Regular.ttf", "Roboto", 2048, 1900, -500, 0},
      {"forkawesome-webfont.ttf", "forkawesome", 1792, 1554, -410, 161},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    const std::vector<uint8_t> bytes = EmbeddedFont(c.file);
    ASSERT_GT(bytes.size(), 1000u);
    ITrueTypeInfo info;
    ASSERT_TRUE(LoadBytes(info, bytes, 0));
    EXPECT_EQ(info.Data, bytes.data());
    EXPECT_STREQ(info.FamilyName.Get(), c.family);
    EXPECT_STREQ(info.StyleName.Get(), "Regular");
    EXPECT_EQ(info.UnitsPerEm, c.unitsPerEm);
    EXPECT_EQ(info.MacStyle, 0);
    EXPECT_EQ(info.Ascender, c.ascender);
    EXPECT_EQ(info.Descender, c.descender);
    EXPECT_EQ(info.LineGap, c.lineGap);
    EXPECT_FALSE(LoadBytes(info, bytes, 1));
    EXPECT_EQ(info.Data, nullptr);
    EXPECT_TRUE(info.FamilyName.IsEmpty());
  }
}

// Every cut of a real font and of a built one: never a read outside the
// bytes (the cut copy is exactly that long), and a font missing any part
// of its tables gives no names and zero metrics.
TEST(TrueTypeInfo, TruncatedFontsGiveNoNamesAndZeroMetrics) {
  const std::vector<uint8_t> roboto = EmbeddedFont("Roboto-Regular.ttf");
  ASSERT_FALSE(roboto.empty());
  for (size_t cut : {size_t(0), size_t(4), size_t(11), size_t(12), size_t(100), size_t(400), roboto.size() / 2,
                     roboto.size() - 1}) {
    std::vector<uint8_t> part(roboto.begin(), roboto.begin() + static_cast<ptrdiff_t>(cut));
    ITrueTypeInfo info;
    info.Load(part.data(), static_cast<int32_t>(part.size()), 0);
    // Roboto keeps head, hhea and name early; a cut past them may keep the
    // names, so only the bound matters here (checked by running at all).
    if (cut < 12) {
      EXPECT_EQ(info.Data, nullptr) << cut;
    }
  }

  FontFace face = NamedFace("Cut", "Regular");
  face.Names.push_back(MacName(1, "CutMac"));
  const std::vector<uint8_t> whole = BuildFont({face}, false);
  for (size_t cut = 0; cut < whole.size(); ++cut) {
    std::vector<uint8_t> part(whole.begin(), whole.begin() + static_cast<ptrdiff_t>(cut));
    ITrueTypeInfo info;
    info.Load(part.empty() ? nullptr : part.data(), static_cast<int32_t>(part.size()), 0);
    ASSERT_TRUE(info.FamilyName.IsEmpty()) << cut;
    ASSERT_TRUE(info.StyleName.IsEmpty()) << cut;
    ASSERT_EQ(info.UnitsPerEm, 0) << cut;
    ASSERT_EQ(info.Ascender, 0) << cut;
    ASSERT_EQ(info.Descender, 0) << cut;
    ASSERT_EQ(info.LineGap, 0) << cut;
  }
  ITrueTypeInfo info;
  ASSERT_TRUE(LoadBytes(info, whole, 0));
  EXPECT_STREQ(info.FamilyName.Get(), "Cut");
  EXPECT_EQ(info.UnitsPerEm, 1000);
  EXPECT_EQ(info.Ascender, 800);
  EXPECT_EQ(info.Descender, -200);
  EXPECT_EQ(info.LineGap, 90);
}

TEST(TrueTypeInfo, FormatsAndFaceIndices) {
  FontFace otto = NamedFace("Otto", "Book");
  otto.Version = "OTTO";
  FontFace true1 = NamedFace("True", "Book");
  true1.Version = std::string("1\0\0\0", 4);
  FontFace typ1 = NamedFace("Typ", "Book");
  typ1.Version = "typ1";
  FontFace unknown = NamedFace("Unknown", "Book");
  unknown.Version = "wOFF";
  const std::vector<FontFace> pair = {NamedFace("First", "Regular"), NamedFace("Second", "Bold")};

  struct {
    const char* what;
    std::vector<uint8_t> bytes;
    int32_t face;
    const char* family;  // null: no face
  } cases[] = {
      {"OTTO face 0", BuildFont({otto}, false), 0, "Otto"},
      {"OTTO face 1", BuildFont({otto}, false), 1, nullptr},
      {"1000 face 0", BuildFont({true1}, false), 0, "True"},
      {"typ1 face 0", BuildFont({typ1}, false), 0, "Typ"},
      {"single face -1", BuildFont({otto}, false), -1, nullptr},
      {"unknown tag", BuildFont({unknown}, false), 0, nullptr},
      {"collection face 0", BuildFont(pair, true), 0, "First"},
      {"collection face 1", BuildFont(pair, true), 1, "Second"},
      {"collection version 2", BuildFont(pair, true, 0x00020000), 1, "Second"},
      {"collection face = count", BuildFont(pair, true), 2, nullptr},
      {"collection face -1", BuildFont(pair, true), -1, nullptr},
      {"collection face INT32_MIN", BuildFont(pair, true), INT32_MIN, nullptr},
      {"collection version 3", BuildFont(pair, true, 0x00030000), 0, nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ITrueTypeInfo info;
    const bool loaded = LoadBytes(info, c.bytes, c.face);
    if (!c.family) {
      EXPECT_FALSE(loaded);
      EXPECT_EQ(info.Data, nullptr);
      EXPECT_TRUE(info.FamilyName.IsEmpty());
      continue;
    }
    EXPECT_TRUE(loaded);
    EXPECT_NE(info.Data, nullptr);
    EXPECT_STREQ(info.FamilyName.Get(), c.family);
  }

  // A collection whose count claims more faces than the header can hold
  // still stays inside the bytes.
  std::vector<uint8_t> lying = BuildFont(pair, true);
  lying[8] = 0x7F;
  ITrueTypeInfo info;
  EXPECT_FALSE(LoadBytes(info, lying, 100000));
}

TEST(TrueTypeInfo, ChoosesNamesByPlatform) {
  struct {
    const char* what;
    std::vector<FontNameRecord> names;
    const char* family;
    const char* style;
  } cases[] = {
      {"Macintosh only", {MacName(1, "MacFamily"), MacName(2, "MacStyle")}, "MacFamily", "MacStyle"},
      {"both: Windows wins", {MacName(1, "MacFamily"), WindowsName(1, "WinFamily"), WindowsName(2, "Regular")},
       "WinFamily", "Regular"},
      {"Windows of another language", {{3, 1, 1031, 1, WindowsName(1, "Deutsch").Bytes}, MacName(1, "Mac")}, "Mac",
       ""},
      {"other name ids only", {WindowsName(4, "Full"), MacName(6, "Post")}, "", ""},
      {"empty Windows name falls back", {WindowsName(1, ""), MacName(1, "Fallback")}, "Fallback", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    FontFace face;
    face.Names = c.names;
    const std::vector<uint8_t> bytes = BuildFont({face}, false);
    ITrueTypeInfo info;
    ASSERT_TRUE(LoadBytes(info, bytes, 0));
    EXPECT_STREQ(info.FamilyName.Get(), c.family);
    EXPECT_STREQ(info.StyleName.Get(), c.style);
  }
}

TEST(TrueTypeInfo, ConvertsWindowsNamesFromUtf16) {
  struct {
    const char* what;
    std::string utf16;
    std::string utf8;
  } cases[] = {
      {"Regular, 14 bytes", WindowsName(1, "Regular").Bytes, "Regular"},
      {"10 bytes are five units", WindowsName(1, "Fives").Bytes, "Fives"},
      {"odd length drops the half unit", WindowsName(1, "Ab").Bytes + std::string(1, 'C'), "Ab"},
      {"two-byte and three-byte forms", std::string("\x00\xE9\x20\xAC", 4), "\xC3\xA9\xE2\x82\xAC"},
      {"surrogate pair", std::string("\xD8\x3D\xDE\x00", 4), "\xF0\x9F\x98\x80"},
      {"lone high surrogate", std::string("\xD8\x3D\x00\x41", 4), "\xEF\xBF\xBD" "A"},
      {"lone low surrogate at the end", std::string("\x00\x41\xDC\x00", 4), "A\xEF\xBF\xBD"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    FontFace face;
    face.Names = {{3, 1, 1033, 1, c.utf16}};
    const std::vector<uint8_t> bytes = BuildFont({face}, false);
    ITrueTypeInfo info;
    ASSERT_TRUE(LoadBytes(info, bytes, 0));
    EXPECT_EQ(std::string(info.FamilyName.Get()), c.utf8);
  }
}

// Name records whose count or string offsets point past the name table
// are never followed.
TEST(TrueTypeInfo, MalformedNameTablesStayInBounds) {
  FontFace face = NamedFace("Good", "Regular");
  std::vector<uint8_t> bytes = BuildFont({face}, false);
  ITrueTypeInfo info;
  ASSERT_TRUE(LoadBytes(info, bytes, 0));
  const uint32_t name = info.NameOffset;
  ASSERT_NE(name, 0u);

  std::vector<uint8_t> outside = bytes;
  outside[name + 6 + 10] = 0x7F;  // the family string's offset far past the table
  ASSERT_TRUE(LoadBytes(info, outside, 0));
  EXPECT_TRUE(info.FamilyName.IsEmpty());
  EXPECT_STREQ(info.StyleName.Get(), "Regular");

  std::vector<uint8_t> counted = bytes;
  counted[name + 2] = 0xFF;  // 65000-odd records in a table of two
  counted[name + 3] = 0xFF;
  ASSERT_TRUE(LoadBytes(info, counted, 0));
  EXPECT_STREQ(info.FamilyName.Get(), "Good");

  std::vector<uint8_t> tables = bytes;
  tables[5] = 0xFF;  // a directory longer than the file: not a usable font
  EXPECT_FALSE(LoadBytes(info, tables, 0));
}

TEST(TrueTypeInfo, FaceWithoutCoreTablesKeepsOffsetsOnly) {
  FontFace face = NamedFace("NoHhea", "Regular");
  face.WithHhea = false;
  const std::vector<uint8_t> bytes = BuildFont({face}, false);
  ITrueTypeInfo info;
  ASSERT_TRUE(LoadBytes(info, bytes, 0));
  EXPECT_NE(info.HeadOffset, 0u);
  EXPECT_NE(info.NameOffset, 0u);
  EXPECT_EQ(info.HheaOffset, 0u);
  EXPECT_TRUE(info.FamilyName.IsEmpty());
  EXPECT_EQ(info.UnitsPerEm, 0);
}

TEST(TypefaceBlob, SelectsFacesByStyle) {
  FontFace broken = NamedFace("Broken", "Broken");
  broken.WithName = false;
  const std::vector<uint8_t> collection =
      BuildFont({NamedFace("Family", "Regular"), NamedFace("Family", "Bold"), broken, NamedFace("Family", "Italic")},
                true);
  struct {
    const char* wanted;
    int32_t face;
  } cases[] = {{"Bold", 1}, {"Regular", 0}, {"", 0}, {nullptr, 0}, {"Italic", -1}, {"Light", -1}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.wanted ? c.wanted : "(null)");
    ITypefaceBlob blob;
    ASSERT_TRUE(blob.AssignBytes(collection.data(), static_cast<int32_t>(collection.size())));
    EXPECT_EQ(blob.SelectFace(c.wanted), c.face >= 0);
    EXPECT_EQ(blob.FaceIndex, c.face);
    EXPECT_EQ(blob.IsUsable(), c.face >= 0);
  }

  // A single font ends the search after face 0.
  const std::vector<uint8_t> single = BuildFont({NamedFace("One", "Regular")}, false);
  ITypefaceBlob blob;
  ASSERT_TRUE(blob.AssignBytes(single.data(), static_cast<int32_t>(single.size())));
  EXPECT_FALSE(blob.SelectFace("Bold"));
  EXPECT_TRUE(blob.SelectFace("Regular"));
  EXPECT_EQ(blob.FaceIndex, 0);
}

TEST(TypefaceBlob, CopyPointsIntoItsOwnBytes) {
  const std::vector<uint8_t> collection = BuildFont({NamedFace("A", "Regular"), NamedFace("B", "Bold")}, true);
  auto source = std::make_unique<ITypefaceBlob>();
  ASSERT_TRUE(source->AssignBytes(collection.data(), static_cast<int32_t>(collection.size())));
  ASSERT_TRUE(source->LoadFace(1));

  ITypefaceBlob copy;
  ASSERT_TRUE(copy.CopyFrom(*source));
  const auto* own = static_cast<const uint8_t*>(copy.FontBytes.Data());
  ASSERT_NE(own, source->FontBytes.Data());
  EXPECT_EQ(copy.Info.Bytes, own);
  EXPECT_EQ(copy.Info.Data - own, source->Info.Data - static_cast<const uint8_t*>(source->FontBytes.Data()));
  EXPECT_EQ(copy.FaceIndex, 1);
  EXPECT_STREQ(copy.Info.FamilyName.Get(), "B");

  // The copy still reads after the source has gone.
  source.reset();
  IStringBuffer style;
  EXPECT_TRUE(copy.Info.ReadName(2, true, style));
  EXPECT_STREQ(style.Get(), "Bold");
}

TEST(TypefaceBlob, BasePlatformFontGivesAnEmptyBlob) {
  PlatformFont font;
  EXPECT_EQ(font.NativeHandle(), nullptr);
  std::unique_ptr<ITypefaceBlob> blob = font.LoadTypefaceBlob();
  ASSERT_NE(blob, nullptr);
  EXPECT_EQ(blob->Info.Data, nullptr);
  EXPECT_EQ(blob->FontBytes.Size(), 0);
  EXPECT_EQ(blob->FaceIndex, -1);
  EXPECT_FALSE(blob->IsUsable());
  EXPECT_FALSE(blob->SelectFace(nullptr));
}

// A font reaches each back-end from the process-wide cache once it has
// been read; data the rasteriser refuses, or no data at all, is not kept.
TEST(TypefaceBlobCache, KeepsOnlyFontsTheRasteriserTook) {
  BytesFont roboto(EmbeddedFont("Roboto-Regular.ttf"), "Regular");
  BytesFont empty({}, "Regular");
  std::vector<std::string> offered;
  bool accept = false;
  auto rasteriser = [&](const ITypefaceBlob& blob) {
    offered.push_back(blob.Info.FamilyName.Get());
    return accept;
  };

  EXPECT_FALSE(UseTypefaceBlob("Roboto-Regular", &roboto, rasteriser));  // refused
  EXPECT_EQ(TypefaceBlobCache().Count(), 0);
  accept = true;
  EXPECT_FALSE(UseTypefaceBlob("Empty", &empty, rasteriser));  // nothing to offer
  EXPECT_TRUE(UseTypefaceBlob("Roboto-Regular", &roboto, rasteriser));
  EXPECT_TRUE(UseTypefaceBlob("Roboto-Regular", nullptr, rasteriser));  // from the cache
  EXPECT_EQ(roboto.loads, 2);
  EXPECT_EQ(offered, (std::vector<std::string>{"Roboto", "Roboto", "Roboto"}));
  EXPECT_EQ(TypefaceBlobCache().Count(), 1);
  EXPECT_FALSE(UseTypefaceBlob("", &roboto, rasteriser));
  TypefaceBlobCache().Clear();
}

} // namespace
} // namespace plugkit::canvas::test
