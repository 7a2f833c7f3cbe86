#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "graphics/records/IBoxList.h"
#include "plugin/editor/TAboutBox.h"
#include "plugin/editor/TEditorStyles.h"
#include "tests/plugin/editor/editor_fixture.h"

using namespace plugkit::canvas;
using namespace tessivo_editor_test;

namespace {

struct AboutFixture : EditorFixture {
  TAboutBox& Box() { return *plugin.AboutBox(); }
  // One display frame: the tick, then every dirty box painted (twice, as
  // when a frame holds more than one region).
  void Frame() {
    IBoxList boxes;
    canvas.RunDisplayTick(boxes);
    canvas.calls.clear();
    canvas.PaintAll();
    canvas.PaintAll();
  }
  // The weight the box's shade was drawn with in the last frame, or -1 when
  // the box was not drawn.
  float ShadeWeight() const {
    for (const DrawCall& c : canvas.calls)
      if (c.op == "flood box" && c.colour == IArgb(220, 14, 16, 18)) return c.opacity;
    return -1.0f;
  }
  void Hover(float x, float y) { canvas.HandlePointerHover(x, y, IPointerMods()); }
  void ShowFully() {
    Box().SetConcealed(false);
    for (int i = 0; i < 20; ++i) Frame();
  }
};

// Hidden after the layout: not drawn, and the pointer reaches what lies
// under it.
TEST(AboutBox, StartsHiddenAndTakesNoPointer) {
  AboutFixture f;
  EXPECT_TRUE(f.Box().Concealed());
  EXPECT_EQ(f.Box().Opacity, 0.0f);
  EXPECT_NE(f.canvas.ControlUnderPointer(216, 137, false, false, 0), &f.Box());
  f.Frame();
  EXPECT_EQ(f.ShadeWeight(), -1.0f);
}

// The fade moves once per frame however many regions the frame paints:
// weights 0.05^2, 0.1^2 ... 1 over 20 frames, then the area under the box is
// redrawn; hiding runs the same way down and conceals the box.
TEST(AboutBox, FadesOncePerFrame) {
  AboutFixture f;
  f.Box().SetConcealed(false);
  EXPECT_FALSE(f.Box().Concealed());
  for (int frame = 1; frame <= 20; ++frame) {
    f.Frame();
    const float opacity = 0.05f * static_cast<float>(frame);
    EXPECT_NEAR(f.ShadeWeight(), opacity * opacity, 1e-4) << frame;
  }
  EXPECT_FALSE(f.Box().Fading);
  EXPECT_EQ(f.Box().Opacity, 1.0f);
  f.Frame();
  EXPECT_EQ(f.ShadeWeight(), 1.0f);

  f.Box().SetConcealed(true);
  for (int frame = 1; frame < 20; ++frame) {
    f.Frame();
    const float opacity = 1.0f - 0.05f * static_cast<float>(frame);
    EXPECT_NEAR(f.ShadeWeight(), opacity * opacity, 1e-4) << frame;
  }
  f.Frame();
  EXPECT_TRUE(f.Box().Concealed());
  EXPECT_FALSE(f.Box().Fading);
  EXPECT_EQ(f.ShadeWeight(), -1.0f);
  EXPECT_FALSE(f.Box().WantsRedraw());
}

// The end of a fade has the editor's first control (the background) drawn
// again, so nothing of the box stays behind.
TEST(AboutBox, EndOfAFadeRedrawsTheBackground) {
  AboutFixture f;
  f.Box().SetConcealed(false);
  IControl& first = *f.canvas.ControlAt(0);
  for (int i = 0; i < 19; ++i) f.Box().AdvanceFade();
  first.MarkClean();
  f.Box().AdvanceFade();
  EXPECT_FALSE(f.Box().Fading);
  EXPECT_TRUE(first.Changed());
}

// Showing a shown box (or hiding a hidden one) starts from where the box is,
// so it never flashes.
TEST(AboutBox, RepeatedRequestsDoNotFlash) {
  AboutFixture f;
  f.ShowFully();
  f.Box().SetConcealed(false);
  f.Frame();
  EXPECT_EQ(f.ShadeWeight(), 1.0f);
  EXPECT_FALSE(f.Box().Fading);

  AboutFixture g;
  g.Box().SetConcealed(true);
  g.Frame();
  EXPECT_TRUE(g.Box().Concealed());
  EXPECT_EQ(g.ShadeWeight(), -1.0f);
}

// What the box draws, where.
TEST(AboutBox, DrawsTitleLinesLinkLogoAndButton) {
  AboutFixture f;
  f.ShowFully();
  f.canvas.calls.clear();
  f.canvas.PaintOne(f.Box());
  const TAboutBox& b = f.Box();
  const float linkWidth = EditorCanvas::TextWidth(tessivo_editor::kAboutLeftText, TAboutBox::kLinkText);
  EXPECT_EQ(b.LinkBox, IBox(15, 128, 15 + linkWidth, 143));
  EXPECT_EQ(b.OkBox, IBox(193, 125, 239, 149));

  struct Expected {
    const char* text;
    IBox box;
    float size;
  } expected[] = {
      {"Tessivo v1.0", IBox(0, 0, 250, 40), 25},
      {TAboutBox::kNotice, IBox(0, 30, 250, 60), 15},
      {"VST plugin technology by Steinberg", IBox(0, 45, 250, 75), 15},
      {TAboutBox::kLinkText, b.LinkBox, 15},
      {"OK", IBox(193, 125, 239, 149), 15},
  };
  const std::vector<DrawCall> mine = f.canvas.Of("text");
  ASSERT_EQ(mine.size(), 5u);
  for (size_t i = 0; i < 5; ++i) {
    EXPECT_EQ(mine[i].text, expected[i].text);
    EXPECT_EQ(mine[i].box, expected[i].box);
    EXPECT_EQ(mine[i].fontSize, expected[i].size);
    EXPECT_EQ(mine[i].opacity, 1.0f);
  }
  const auto underline = f.canvas.Of("segment");
  ASSERT_EQ(underline.size(), 1u);
  EXPECT_EQ(underline[0].n, (std::vector<float>{15, 142.5f, 15 + linkWidth, 142.5f, 1.0f}));
  const auto logo = f.canvas.Of("vector image");
  ASSERT_EQ(logo.size(), 1u);
  EXPECT_EQ(logo[0].box, IBox(78, 82, 171, 115));
  EXPECT_TRUE(f.canvas.Of("flood rounded").empty());
  const auto outline = f.canvas.Of("outline rounded");
  ASSERT_EQ(outline.size(), 1u);
  EXPECT_EQ(outline[0].colour, IArgb(255, 240, 240, 240));
  EXPECT_EQ(outline[0].n, (std::vector<float>{5.0f, 1.5f}));
}

// Hovering the link or the button lights it and shows the hand; pressing the
// link opens the maker's site, pressing OK hides the box, pressing elsewhere
// does nothing.
TEST(AboutBox, LinkAndOkButton) {
  AboutFixture f;
  f.ShowFully();

  f.Hover(20, 135);
  EXPECT_TRUE(f.Box().LinkHovered);
  EXPECT_EQ(f.canvas.PointerShape(), EPointerShape::Hand);
  f.canvas.calls.clear();
  f.canvas.PaintOne(f.Box());
  const auto link = f.canvas.Of("segment");
  ASSERT_EQ(link.size(), 1u);
  EXPECT_EQ(link[0].colour, IArgb(255, 0, 180, 255));
  f.canvas.Click(20, 135);
  EXPECT_EQ(f.canvas.urls, (std::vector<std::string>{"https://www.corvath.com/?lang=en"}));

  f.Hover(100, 100);
  EXPECT_FALSE(f.Box().LinkHovered);
  EXPECT_FALSE(f.Box().OkHovered);
  EXPECT_EQ(f.canvas.PointerShape(), EPointerShape::Arrow);
  f.canvas.Click(100, 100);
  EXPECT_FALSE(f.Box().Fading);
  EXPECT_EQ(f.canvas.urls.size(), 1u);

  f.Hover(200, 130);
  EXPECT_TRUE(f.Box().OkHovered);
  f.canvas.calls.clear();
  f.canvas.PaintOne(f.Box());
  const auto button = f.canvas.Of("flood rounded");
  ASSERT_EQ(button.size(), 1u);
  EXPECT_EQ(button[0].colour, IArgb(255, 70, 80, 85));
  EXPECT_EQ(f.canvas.Of("outline rounded")[0].colour, IArgb(255, 0, 180, 255));
  f.canvas.Click(200, 130);
  EXPECT_TRUE(f.Box().Fading);
  EXPECT_TRUE(f.Box().FadingOut);

  f.canvas.HandlePointerLeave();
  EXPECT_FALSE(f.Box().OkHovered);
  EXPECT_EQ(f.canvas.PointerShape(), EPointerShape::Arrow);
}

// A touch gives no hover before its press; the press alone works the button.
TEST(AboutBox, PressWithoutHoverWorksTheButton) {
  AboutFixture f;
  f.ShowFully();
  ASSERT_FALSE(f.Box().OkHovered);
  f.canvas.Click(200, 130);
  EXPECT_TRUE(f.Box().FadingOut);
  EXPECT_TRUE(f.Box().Fading);
}

// The product shows the box on request while an editor is open, and answers
// false once the editor has gone.
TEST(AboutBox, AboutRequestShowsTheBoxOfAnOpenEditor) {
  AboutFixture f;
  EXPECT_TRUE(f.plugin.OnAboutRequest());
  EXPECT_FALSE(f.Box().Concealed());
  EXPECT_TRUE(f.Box().Fading);
  f.plugin.OnEditorHidden();
  EXPECT_FALSE(f.plugin.OnAboutRequest());
}

} // namespace
