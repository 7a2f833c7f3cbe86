// The product's editor in a real window, opened through the effect record as
// a VST 2.4 host opens it: the picture it paints (read back from its main
// framebuffer inside the process, since screen captures cannot see a child
// window's OpenGL content under Wine), mouse drags on a knob reaching the
// host as begin / automate / end, the strip's arrows changing the program,
// the corner handle resizing through the host, and opening and closing many
// times while audio runs on another thread.
#if defined(TESSIVO_EDITOR_WINDOW)

#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <thread>
#include <vector>

#include "core/IParam.h"
#include "graphics/platform/ICanvasWin.h"
#include "plugin/editor/TAboutBox.h"
#include "tests/graphics/platform/editor_harness.h"
#include "tests/graphics/platform/message_window.h"
#include "tests/plugin/editor/editor_fixture.h"
#include "tests/plugin/editor/png_file.h"
#include "tests/support/message_pump.h"
#include "tests/support/process_objects.h"

namespace {

using namespace tessivo_editor_test;
using plugkit::canvas::ICanvasWin;
using plugkit::canvas::test::MessageWindow;
using plugkit::test::PumpPostedMessages;
using plugkit::test::PumpUntil;

struct Rgb {
  int R, G, B;
};

bool Near(const Rgb& p, int r, int g, int b, int tolerance = 4) {
  return std::abs(p.R - r) <= tolerance && std::abs(p.G - g) <= tolerance && std::abs(p.B - b) <= tolerance;
}

// A Tessivo object behind its effect record, its editor opened in a visible
// parent window.
struct WindowFixture {
  WindowFixture() { HostCalls().clear(); }
  ~WindowFixture() { Dispatch(effEditClose); }

  intptr_t Dispatch(int32_t opcode, int32_t index = 0, intptr_t value = 0, void* ptr = nullptr) {
    return Tessivo::VSTDispatcher(plugin.EffectRecord(), opcode, index, value, ptr, 0.0f);
  }
  ICanvasWin* Editor() const { return dynamic_cast<ICanvasWin*>(plugin.EditorGraphics()); }
  HWND Window() const { return Editor() ? static_cast<HWND>(Editor()->NativeWindowHandle()) : nullptr; }
  ::testing::AssertionResult Open() {
    if (Dispatch(effEditOpen, 0, 0, parent.Handle()) != 1 || !Window())
      return ::testing::AssertionFailure() << "the editor did not open";
    return PaintedAfter(0);
  }
  ::testing::AssertionResult PaintedAfter(uint32_t frames) {
    return PumpUntil("a frame after frame " + std::to_string(frames),
                     [&] { return Editor() && Editor()->PaintedFrames() > frames; });
  }
  // Posts a mouse message to the editor and pumps until it has been handled.
  void Mouse(UINT message, int x, int y, WPARAM keys) {
    PostMessageA(Window(), message, keys, MAKELPARAM(x, y));
    EXPECT_TRUE(PumpPostedMessages());
  }

  // The main framebuffer, top row first, as RGB (and as RGBA bytes).
  std::vector<Rgb> Frame(std::vector<unsigned char>* rgba = nullptr) {
    std::vector<Rgb> out;
    if (!Editor()) return out;
    for (const plugkit::canvas::test::Rgba8& p : plugkit::canvas::test::ReadMainFramebuffer(*Editor())) {
      out.push_back({p.R, p.G, p.B});
      if (rgba) rgba->insert(rgba->end(), {static_cast<unsigned char>(p.R), static_cast<unsigned char>(p.G),
                                           static_cast<unsigned char>(p.B), static_cast<unsigned char>(p.A)});
    }
    return out;
  }

  MessageWindow parent{800, 600, true};
  Tessivo plugin{&RecordingHost};
};

TEST(EditorWindow, OpensPaintsAndAnswersTheMouse) {
  WindowFixture f;
  ASSERT_TRUE(f.plugin.ApplyPreset(1));  // "Light Detune": Mix 50
  ASSERT_TRUE(f.Open());
  EXPECT_EQ(GetParent(f.Window()), f.parent.Handle());

  std::vector<unsigned char> rgba;
  const std::vector<Rgb> frame = f.Frame(&rgba);
  ASSERT_EQ(frame.size(), 250u * 160u);
  EXPECT_TRUE(WritePng("tessivo_editor_window.png", 250, 160, rgba.data()));
  const auto at = [&](int x, int y) { return frame[static_cast<size_t>(y) * 250 + x]; };
  EXPECT_TRUE(Near(at(3, 157), 47, 54, 58));  // background
  EXPECT_TRUE(Near(at(27, 2), 27, 31, 33));   // strip
  int lit = 0;  // the title "Light Detune"
  for (int x = 60; x < 190; ++x)
    for (int y = 5; y < 25; ++y) lit += at(x, y).R > 150;
  EXPECT_GT(lit, 50);

  // A drag up on the Mix knob's body: begin, automate..., end, in order.
  HostCalls().clear();
  const float before = Tessivo::EffectGetParameter(f.plugin.EffectRecord(), Mix);
  f.Mouse(WM_LBUTTONDOWN, 200, 95, MK_LBUTTON);
  for (int i = 1; i <= 5; ++i) f.Mouse(WM_MOUSEMOVE, 200, 95 - 4 * i, MK_LBUTTON);
  f.Mouse(WM_LBUTTONUP, 200, 95 - 20, 0);
  ASSERT_TRUE(PumpUntil("the host to hear the gesture's end",
                        [] { return !HostTrail().empty() && HostTrail().back() == "end 2"; }));
  const float after = Tessivo::EffectGetParameter(f.plugin.EffectRecord(), Mix);
  EXPECT_GT(after, before);
  const std::vector<std::string> trail = HostTrail();
  ASSERT_GE(trail.size(), 3u);
  EXPECT_EQ(trail.front(), "begin 2");
  EXPECT_EQ(trail.back(), "end 2");
  for (size_t i = 1; i + 1 < trail.size(); ++i) EXPECT_EQ(trail[i], "automate 2");

  // The strip's arrows change the program.
  HostCalls().clear();
  f.Mouse(WM_LBUTTONDOWN, 212, 12, MK_LBUTTON);
  f.Mouse(WM_LBUTTONUP, 212, 12, 0);
  EXPECT_EQ(f.Dispatch(effGetProgram), 2);
  f.Mouse(WM_LBUTTONDOWN, 12, 12, MK_LBUTTON);
  f.Mouse(WM_LBUTTONUP, 12, 12, 0);
  EXPECT_EQ(f.Dispatch(effGetProgram), 1);
  EXPECT_EQ(HostTrail(), (std::vector<std::string>{"update display", "update display"}));

  // The corner handle scales the editor and the host is asked for the size.
  HostCalls().clear();
  f.Mouse(WM_LBUTTONDOWN, 245, 155, MK_LBUTTON);
  f.Mouse(WM_MOUSEMOVE, 300, 190, MK_LBUTTON);
  f.Mouse(WM_MOUSEMOVE, 370, 235, MK_LBUTTON);
  f.Mouse(WM_LBUTTONUP, 370, 235, 0);
  bool sized = false;
  EXPECT_TRUE(PumpUntil("the host to be asked for a larger window", [&] {
    for (const HostCall& c : HostCalls())
      if (c.opcode == audioMasterSizeWindow && c.index > 250 && c.value > 160) sized = true;
    return sized;
  }));
  EXPECT_GT(f.Editor()->DrawScale(), 1.0f);
  RECT r = {};
  GetClientRect(f.Window(), &r);
  EXPECT_GT(r.right, 250);
}

// "About..." fades the about box in over the editor, with the Corvath logo.
TEST(EditorWindow, AboutBoxShowsTheLogo) {
  WindowFixture f;
  ASSERT_TRUE(f.Open());
  ASSERT_TRUE(f.plugin.OnAboutRequest());
  ASSERT_NE(f.plugin.AboutBox(), nullptr);
  // The fade takes 20 display ticks, however long those take.
  const TAboutBox& box = *f.plugin.AboutBox();
  ASSERT_TRUE(PumpUntil("the about box's fade-in to end", [&] { return !box.Fading && box.Opacity == 1.0f; }));
  ASSERT_TRUE(f.PaintedAfter(f.Editor()->PaintedFrames()));

  std::vector<unsigned char> rgba;
  const std::vector<Rgb> frame = f.Frame(&rgba);
  ASSERT_EQ(frame.size(), 250u * 160u);
  EXPECT_TRUE(WritePng("tessivo_about_box.png", 250, 160, rgba.data()));
  // The logo's light letters lie in its box (nothing else under the box's
  // shade is that bright there), and its accent bar is inside it too.
  int letters = 0, accent = 0;
  for (int y = 82; y < 115; ++y)
    for (int x = 78; x < 171; ++x) {
      const Rgb& p = frame[static_cast<size_t>(y) * 250 + x];
      letters += p.R > 200 && p.G > 200 && p.B > 200;
      accent += Near(p, 0xe2, 0x67, 0x3a, 40);
    }
  EXPECT_GT(letters, 100);
  EXPECT_GT(accent, 0);
}

// Opening and closing a hundred times while another thread processes audio:
// no window, GDI object, thread or handle is left, and the audio never skips
// a block or produces a NaN.
TEST(EditorWindow, OpenAndCloseWhileAudioRuns) {
  WindowFixture f;
  AEffect* effect = f.plugin.EffectRecord();
  f.Dispatch(effSetSampleRate, 0, 0, nullptr);
  Tessivo::VSTDispatcher(effect, effSetSampleRate, 0, 0, nullptr, 48000.0f);
  f.Dispatch(effSetBlockSize, 0, 256);
  f.Dispatch(effMainsChanged, 0, 1);

  ASSERT_TRUE(f.Open());
  f.Dispatch(effEditClose);
  ASSERT_TRUE(PumpPostedMessages());
  const plugkit::test::ProcessObjects before = plugkit::test::BaselineCounts();
  ASSERT_TRUE(plugkit::test::AllCounted(before));

  std::atomic<bool> stop{false};
  std::atomic<int64_t> blocks{0};
  std::atomic<bool> bad{false};
  std::thread audio([&] {
    std::vector<float> inL(256), inR(256), outL(256), outR(256);
    float* in[2] = {inL.data(), inR.data()};
    float* out[2] = {outL.data(), outR.data()};
    int64_t n = 0;
    while (!stop.load()) {
      for (int i = 0; i < 256; ++i) inL[i] = inR[i] = std::sin(0.05f * static_cast<float>(n * 256 + i));
      std::fill(outL.begin(), outL.end(), NAN);
      effect->processReplacing(effect, in, out, 256);
      for (int i = 0; i < 256; ++i)
        if (!std::isfinite(outL[i]) || !std::isfinite(outR[i])) bad = true;
      ++n;
      blocks = n;
    }
  });

  int opened = 0;
  for (int i = 0; i < 100; ++i) {
    if (f.Dispatch(effEditOpen, 0, 0, f.parent.Handle()) == 1) ++opened;
    // Every tenth opening gets as far as its first frame; the others only
    // see what was posted to them before they close.
    if (i % 10 == 0) EXPECT_TRUE(f.PaintedAfter(0)) << i;
    else EXPECT_TRUE(PumpPostedMessages());
    f.Dispatch(effEditClose);
  }
  const int64_t blocksSeen = blocks.load();
  stop = true;
  audio.join();
  ASSERT_TRUE(PumpPostedMessages());

  EXPECT_EQ(opened, 100);
  EXPECT_FALSE(bad.load()) << "a block came out with a NaN or was left unwritten";
  EXPECT_GT(blocksSeen, 0);
  EXPECT_EQ(f.plugin.EditorGraphics(), nullptr);
  EXPECT_EQ(f.plugin.PresetStrip(), nullptr);
  EXPECT_EQ(plugkit::canvas::test::EditorWindowCount(), 0);
  EXPECT_TRUE(plugkit::test::CountsFallBackTo(before));
  EXPECT_EQ(wglGetCurrentContext(), nullptr);
}

} // namespace

#endif
