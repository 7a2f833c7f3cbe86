// Cutting UTF-8 text to a byte bound between characters.
#include <gtest/gtest.h>

#include <string>

#include "core/Utf8Cut.h"

using namespace plugkit;

namespace {

TEST(Utf8Cut, KeepsWholeCharactersOnly) {
  const struct {
    std::string text;
    int32_t maxBytes;
    int32_t kept;
  } cases[] = {
      {"abc", 5, 3},                    // fits
      {"abc", 3, 3},                    // fits exactly
      {"abcd", 3, 3},                   // ASCII is cut anywhere
      {"ab\xC3\xA9", 3, 2},             // "é" would cross the bound
      {"ab\xC3\xA9", 4, 4},             // and ends on it
      {"ab\xC3\xA9z", 3, 2},
      {"a\xE2\x82\xAC", 2, 1},          // "€", cut after its first byte
      {"a\xE2\x82\xAC", 3, 1},          // or after its second
      {"a\xE2\x82\xAC!", 4, 4},
      {"\xF0\x9F\x8E\xB5x", 1, 0},      // a four-byte character, cut after each of its bytes
      {"\xF0\x9F\x8E\xB5x", 2, 0},
      {"\xF0\x9F\x8E\xB5x", 3, 0},
      {"\xF0\x9F\x8E\xB5x", 4, 4},
      // Bytes that are not UTF-8 are kept as they stand: continuation bytes
      // without a character before them, or more of them than it announced.
      {"a\x80\x80\x80\x80\x80", 4, 4},
      {"ab\xC3\x80\x80", 4, 4},
      {"\xFF\xFF\xFF", 2, 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << '"' << c.text << "\" in " << c.maxBytes);
    EXPECT_EQ(Utf8CutLength(c.text.c_str(), c.maxBytes), c.kept);
  }
}

// A text that is not terminated (a title inside a bank) ends after its
// available bytes: nothing after them is read or kept.
TEST(Utf8Cut, StopsAtTheAvailableBytesAndAtANul) {
  const char bytes[] = "ab\xC3\xA9";
  EXPECT_EQ(Utf8CutLength(bytes, 3, 3), 3) << "the byte after the third is not looked at";
  EXPECT_EQ(Utf8CutLength(bytes, 3, 4), 2);
  EXPECT_EQ(Utf8CutLength(bytes, 10, 1), 1);
  EXPECT_EQ(Utf8CutLength(bytes, 10, 0), 0);
  EXPECT_EQ(Utf8CutLength("ab\0cd", 4, 5), 2);
  EXPECT_EQ(Utf8CutLength(nullptr, 4), 0);
  EXPECT_EQ(Utf8CutLength("abc", 0), 0);
  EXPECT_EQ(Utf8CutLength("abc", -1), 0);
}

} // namespace
