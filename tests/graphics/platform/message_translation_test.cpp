// Message parameters to canvas records, with synthetic messages.
#include <windows.h>

#include <gtest/gtest.h>

#include "graphics/platform/MessageTranslation.h"

namespace plugkit::canvas::test {
namespace {

TEST(MessageTranslation, PointerPositionButtonsAndModifiersAtEveryScale) {
  struct Case {
    int x, y;
    float scale;
    float ex, ey;
  } cases[] = {
      {100, 50, 1.0f, 100.0f, 50.0f}, {100, 50, 2.0f, 50.0f, 25.0f},  // screen scale 2
      {100, 50, 0.5f, 200.0f, 100.0f},                                 // draw scale 0.5
      {-6, -10, 2.0f, -3.0f, -5.0f},  // outside the window while captured: signed words
      {30, 30, 0.0f, 30.0f, 30.0f},   // a broken scale does not make NaN
  };
  for (const Case& c : cases) {
    const IPointerEvent e = PointerEventFromMessage(MAKELPARAM(c.x, c.y), MK_LBUTTON | MK_CONTROL, c.scale, true);
    EXPECT_FLOAT_EQ(e.X, c.ex);
    EXPECT_FLOAT_EQ(e.Y, c.ey);
    EXPECT_TRUE(e.Mods.Left);
    EXPECT_FALSE(e.Mods.Right);
    EXPECT_FALSE(e.Mods.Shift);
    EXPECT_TRUE(e.Mods.Ctrl);
    EXPECT_TRUE(e.Mods.Alt);
    EXPECT_EQ(e.Mods.PointerId, 0u);
    EXPECT_EQ(e.DeltaX, 0.0f);
  }
  const IPointerEvent r = PointerEventFromMessage(0, MK_RBUTTON | MK_SHIFT, 1.0f, false);
  EXPECT_TRUE(r.Mods.Right && r.Mods.Shift && !r.Mods.Left && !r.Mods.Alt);
}

TEST(MessageTranslation, WheelNotchesDropTheRemainder) {
  const struct {
    int amount;
    float notches;
  } cases[] = {{120, 1.0f}, {-120, -1.0f}, {60, 0.0f}, {240, 2.0f}, {-300, -2.0f}, {0, 0.0f}};
  for (const auto& c : cases)
    EXPECT_EQ(WheelNotches(MAKEWPARAM(MK_SHIFT, static_cast<WORD>(c.amount))), c.notches) << c.amount;
}

TEST(MessageTranslation, PenSignatureAndCursorIds) {
  EXPECT_TRUE(IsPenSignature(0xFF515700u));
  EXPECT_TRUE(IsPenSignature(0xFF515780u));
  EXPECT_FALSE(IsPenSignature(0));
  EXPECT_FALSE(IsPenSignature(0xFF515600u));
  const int32_t expected[] = {32512, 32513, 32514, 32515, 32516, 32642, 32643,
                              32644, 32645, 32646, 32648, 32649, 32650, 32651};
  for (int32_t s = 0; s < 14; ++s) EXPECT_EQ(SystemCursorId(s), expected[s]) << s;
  EXPECT_EQ(SystemCursorId(42), 32512);
  EXPECT_EQ(SystemCursorId(-1), 32512);
}

TEST(MessageTranslation, DisplayScaleFromDpi) {
  const struct {
    uint32_t dpi;
    int32_t scale;
  } cases[] = {{0, 1}, {96, 1}, {120, 1}, {144, 2}, {192, 2}, {288, 3}, {20, 1}};
  for (const auto& c : cases) EXPECT_EQ(DisplayScaleForDpi(c.dpi), c.scale) << c.dpi;
}

TEST(MessageTranslation, DirtyBoundsBecomeGrownPixelRectangles) {
  // (10, 45)-(90, 139) at screen scale 2, draw scale 1.
  IPixelRect r = DirtyRectForBounds(IBox(10, 45, 90, 139), 2.0f);
  EXPECT_EQ(r.Left, 18);
  EXPECT_EQ(r.Top, 88);
  EXPECT_EQ(r.Right, 182);
  EXPECT_EQ(r.Bottom, 280);
  r = DirtyRectForBounds(IBox(10, 45, 90, 139), 0.5f);
  EXPECT_EQ(r.Left, 4);
  EXPECT_EQ(r.Top, 22);
  EXPECT_EQ(r.Right, 46);
  EXPECT_EQ(r.Bottom, 70);
  // Paint regions back to logical boxes cover at least the pixels.
  const IBox b = LogicalBoxForRect(IPixelRect{18, 88, 182, 281}, 2.0f);
  EXPECT_EQ(b.Left, 9.0f);
  EXPECT_EQ(b.Top, 44.0f);
  EXPECT_EQ(b.Right, 91.0f);
  EXPECT_EQ(b.Bottom, 141.0f);
}

TEST(MessageTranslation, KeyStrokesAndTextFieldCharacters) {
  IKeyStroke k = KeyStrokeFromKey('A', 1, 'a', false, true, false);
  EXPECT_EQ(k.VirtualKey, 'A');
  EXPECT_STREQ(k.Text, "a");
  EXPECT_TRUE(k.Ctrl);
  k = KeyStrokeFromKey(VK_LEFT, 0, 'x', true, false, false);
  EXPECT_STREQ(k.Text, "");
  EXPECT_TRUE(k.Shift);

  // A Decimal parameter takes the characters of -12.5 and swallows 'e'.
  for (char c : std::string("-12.5+")) EXPECT_TRUE(TextFieldAcceptsCharacter(4, c)) << c;
  EXPECT_FALSE(TextFieldAcceptsCharacter(4, 'e'));
  EXPECT_FALSE(TextFieldAcceptsCharacter(2, '.'));
  EXPECT_TRUE(TextFieldAcceptsCharacter(5, 'G'));
  EXPECT_TRUE(TextFieldAcceptsCharacter(5, 'g'));
  EXPECT_TRUE(TextFieldAcceptsCharacter(5, '#'));
  EXPECT_FALSE(TextFieldAcceptsCharacter(5, 'h'));
  for (int kind : {0, -1, 6}) EXPECT_TRUE(TextFieldAcceptsCharacter(kind, 'e'));
  for (int kind : {1, 2, 3, 4, 5}) EXPECT_TRUE(TextFieldAcceptsCharacter(kind, 8)) << "backspace";
}

} // namespace
} // namespace plugkit::canvas::test
