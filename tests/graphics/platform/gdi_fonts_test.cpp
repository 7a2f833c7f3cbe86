// GDI font discovery: fonts by family, substitution refused, bytes read back.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "graphics/platform/GdiFonts.h"

namespace plugkit::canvas::test {
namespace {

int CALLBACK CollectTrueType(const LOGFONTA* lf, const TEXTMETRICA*, DWORD type, LPARAM out) {
  if ((type & TRUETYPE_FONTTYPE) && lf->lfFaceName[0] != '@')
    reinterpret_cast<std::vector<std::string>*>(out)->push_back(lf->lfFaceName);
  return 1;
}

// An installed TrueType family: Tahoma where it exists (Wine ships it), else
// the first one GDI lists.
std::string InstalledFamily() {
  std::vector<std::string> families;
  HDC dc = GetDC(nullptr);
  LOGFONTA lf = {};
  lf.lfCharSet = DEFAULT_CHARSET;
  EnumFontFamiliesExA(dc, &lf, CollectTrueType, reinterpret_cast<LPARAM>(&families), 0);
  ReleaseDC(nullptr, dc);
  for (const auto& f : families)
    if (f == "Tahoma") return f;
  return families.empty() ? std::string() : families.front();
}

LOGFONTA Describe(void* font) {
  LOGFONTA lf = {};
  GetObjectA(static_cast<HFONT>(font), sizeof lf, &lf);
  return lf;
}

TEST(GdiFonts, InstalledFamilyGivesTheFontAskedFor) {
  const std::string family = InstalledFamily();
  ASSERT_FALSE(family.empty()) << "no TrueType font installed";
  void* bold = CreateFontByFamily(family.c_str(), 700, false, false, true);
  ASSERT_TRUE(bold) << family;
  EXPECT_EQ(Describe(bold).lfWeight, 700);
  char face[64];
  ASSERT_TRUE(FontFaceName(bold, face, sizeof face));
  EXPECT_EQ(std::string(face), family);
  void* italic = CreateFontByFamily(family.c_str(), 400, true, true, false);
  ASSERT_TRUE(italic);
  EXPECT_TRUE(Describe(italic).lfItalic);
  EXPECT_TRUE(Describe(italic).lfUnderline);
  // The font was deselected before CreateFontByFamily returned: it can go.
  EXPECT_TRUE(DeleteObject(static_cast<HFONT>(bold)));
  EXPECT_TRUE(DeleteObject(static_cast<HFONT>(italic)));
}

TEST(GdiFonts, MissingOrSubstitutedFamiliesGiveNull) {
  for (bool mustExist : {true, false})
    EXPECT_EQ(CreateFontByFamily("No Such Family Anywhere", 400, false, false, mustExist), nullptr);
  EXPECT_EQ(CreateFontByFamily("", 400, false, false, false), nullptr);
  EXPECT_EQ(CreateFontByFamily(nullptr, 400, false, false, false), nullptr);
  // A name longer than a face name can hold is refused, not cut into
  // another family's name.
  const std::string tooLong(40, 'T');
  EXPECT_EQ(CreateFontByFamily(tooLong.c_str(), 400, false, false, false), nullptr);
}

TEST(GdiFonts, BytesOfAnInstalledFontAreTheWholeFile) {
  const std::string family = InstalledFamily();
  ASSERT_FALSE(family.empty());
  void* font = CreateFontByFamily(family.c_str(), 400, false, false, true);
  ASSERT_TRUE(font);
  std::vector<uint8_t> bytes;
  bool collection = true;
  ASSERT_TRUE(ReadFontBytes(font, bytes, collection));
  ASSERT_GE(bytes.size(), 12u);
  const std::string tag(bytes.begin(), bytes.begin() + 4);
  if (collection)
    EXPECT_EQ(tag, "ttcf");
  else
    EXPECT_TRUE(tag == std::string("\0\1\0\0", 4) || tag == "OTTO" || tag == "true") << tag;
  DeleteObject(static_cast<HFONT>(font));

  std::vector<uint8_t> none;
  EXPECT_FALSE(ReadFontBytes(nullptr, none, collection));
  EXPECT_TRUE(none.empty());
}

} // namespace
} // namespace plugkit::canvas::test
