#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "graphics/records/DefaultConstants.h"
#include "graphics/records/IKeyStroke.h"
#include "graphics/records/ITextStyle.h"

using namespace plugkit::canvas;

TEST(ITextStyle, FontNameIsAlwaysTerminated) {
  ITextStyle s;
  EXPECT_STREQ(s.FontName, "Roboto-Regular");
  const std::string longName(200, 'x');
  s.SetFontName(longName.c_str());
  EXPECT_EQ(std::strlen(s.FontName), 63u);
  s.SetFontName(nullptr);
  EXPECT_STREQ(s.FontName, "");
  s.SetFontName("Short");
  EXPECT_EQ(std::memcmp(s.FontName, "Short\0\0\0", 8), 0);  // no leftovers of the long name
}

TEST(DefaultConstants, StandardStylesDifferOnlyWhereIntended) {
  // A default style is the standard one, so controls start from it.
  EXPECT_TRUE(ITextStyle() == kStandardText);
  EXPECT_TRUE(kStandardText.WithSize(15.0f) != kStandardText);

  EXPECT_STREQ(kStandardLabelText.FontName, "Roboto-Regular");
  EXPECT_EQ(kStandardLabelText.FontSize, 19.0f);
  EXPECT_EQ(kStandardLabelText.VerticalAlign, ETextVAlign::Upper);
  EXPECT_EQ(kStandardLabelText.HorizontalAlign, ETextHAlign::Centre);
  EXPECT_EQ(kStandardValueText.FontSize, 14.0f);
  EXPECT_EQ(kStandardValueText.VerticalAlign, ETextVAlign::Lower);
  EXPECT_EQ(kStandardValueText.EntryBackColour, kArgbWhite);
  EXPECT_TRUE(kStandardLook.LabelText == kStandardLabelText);
  EXPECT_TRUE(kStandardLook.ValueText == kStandardValueText);
}

TEST(DefaultConstants, PaletteLookupOutsideTheTableIsTransparent) {
  for (int i = 0; i < 9; ++i) EXPECT_EQ(PaletteDefaultColour(i), kStandardPalette.Colours[i]);
  EXPECT_EQ(PaletteDefaultColour(1), IArgb(255, 200, 200, 200));
  EXPECT_EQ(PaletteDefaultColour(8), kArgbBlue);
  for (const int bad : {-1, 9, 1000, INT32_MIN, INT32_MAX}) EXPECT_EQ(PaletteDefaultColour(bad), IArgb(0, 0, 0, 0));
}

TEST(IKeyStroke, TextKeepsOneWholeCharacter) {
  struct Case {
    const char* in;
    const char* out;
  };
  const Case cases[] = {
      {"a", "a"},
      {"ab", "a"},
      {"\xC3\xA9", "\xC3\xA9"},                          // é
      {"\xE2\x82\xAC" "x", "\xE2\x82\xAC"},              // € then more
      {"\xF0\x9F\x8E\xB5", "\xF0\x9F\x8E\xB5"},          // a four-byte character fills the field
      {"\xE2\x82", ""},                                  // cut short
      {"\x80", ""},                                      // not a lead byte
      {"", ""},
      {nullptr, ""},
  };
  for (const Case& c : cases) {
    IKeyStroke k;
    std::memset(k.Text, 'z', sizeof k.Text);
    k.SetText(c.in);
    EXPECT_EQ(k.Text[4], '\0');
    EXPECT_STREQ(k.Text, c.out);
  }
}
