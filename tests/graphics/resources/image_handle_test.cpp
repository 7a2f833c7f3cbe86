#include <gtest/gtest.h>

#include <cstdint>
#include <utility>

#include "graphics/resources/IImageHandle.h"

using namespace plugkit::canvas;

TEST(IImageHandle, CopiesOwnTheirNameAndShareTheBitmap) {
  IImageHandle none;
  EXPECT_FALSE(none.IsLoaded());
  EXPECT_STREQ(none.SourceName.Get(), "");

  auto* fakeBitmap = reinterpret_cast<APIBitmap*>(static_cast<uintptr_t>(0x1000));
  IImageHandle a;
  a.Api = fakeBitmap;
  a.Width = 40;
  a.Height = 20;
  a.FrameCount = 3;
  a.FramesSideBySide = true;
  a.SourceName.Assign("knob.png");

  IImageHandle b(a);
  IImageHandle c;
  c = a;
  a.SourceName.Assign("changed");
  for (const IImageHandle* h : {&b, &c}) {
    EXPECT_EQ(h->Api, fakeBitmap);
    EXPECT_EQ(h->Width, 40);
    EXPECT_EQ(h->FrameCount, 3);
    EXPECT_TRUE(h->FramesSideBySide);
    EXPECT_STREQ(h->SourceName.Get(), "knob.png");
  }
  c = c;  // self-assignment keeps the name
  EXPECT_STREQ(c.SourceName.Get(), "knob.png");

  IImageHandle moved(std::move(b));
  EXPECT_STREQ(moved.SourceName.Get(), "knob.png");
}
