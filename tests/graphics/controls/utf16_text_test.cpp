// UTF-8 to UTF-16 and back, as the in-window text entry converts its text.

#include <gtest/gtest.h>

#include "graphics/controls/Utf16Text.h"

namespace plugkit::canvas {
namespace {

TEST(Utf16Text, RoundTripsEveryPlane) {
  for (const char* text : {"", "12.5 dB", "\xC3\xA9t\xC3\xA9", "\xE2\x82\xAC", "a\xF0\x9F\x98\x80" "b"}) {
    SCOPED_TRACE(text);
    const std::u16string units = Utf8ToUtf16(text);
    EXPECT_EQ(Utf16ToUtf8(units), text);
  }
  EXPECT_EQ(Utf8ToUtf16("a\xF0\x9F\x98\x80" "b"), (std::u16string{u'a', 0xD83D, 0xDE00, u'b'}));
  EXPECT_EQ(Utf8ToUtf16(nullptr), u"");
}

TEST(Utf16Text, MalformedInputBecomesReplacementCharacters) {
  struct Case {
    const char* utf8;
    std::u16string units;
  };
  const Case cases[] = {
      {"\x80x", {0xFFFD, u'x'}},              // stray continuation byte
      {"\xC3x", {0xFFFD, u'x'}},              // sequence cut short
      {"\xC0\xAF", {0xFFFD, 0xFFFD}},        // overlong '/'
      {"\xED\xA0\x80", {0xFFFD}},           // a surrogate written as UTF-8
      {"\xF8\x88\x80\x80\x80", {0xFFFD, 0xFFFD, 0xFFFD, 0xFFFD, 0xFFFD}},
  };
  for (const Case& c : cases) EXPECT_EQ(Utf8ToUtf16(c.utf8), c.units) << c.utf8;

  const char16_t lone[] = {u'a', 0xD800, u'b', 0xDC00};
  EXPECT_EQ(Utf16ToUtf8(lone, 4), "a\xEF\xBF\xBD" "b\xEF\xBF\xBD");
}

} // namespace
} // namespace plugkit::canvas
