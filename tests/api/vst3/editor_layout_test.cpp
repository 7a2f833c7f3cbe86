// The VST 3 build's editor: the same layout on the same product class, the
// preset strip stepping presets without a VST 2.4 host to tell.

#include <gtest/gtest.h>

#include "graphics/records/IPointerEvent.h"
#include "plugin/editor/TAboutBox.h"
#include "plugin/editor/TKnobControl.h"
#include "plugin/editor/TPresetControl.h"
#include "tests/api/vst3/vst3_fixture.h"
#include "tests/graphics/null_canvas.h"

namespace vst3test {
namespace {

using plugkit::canvas::IBox;
using plugkit::canvas::IPointerEvent;

TEST(Vst3Editor, SameLayoutAndStrip) {
  Held<Tessivo> plugin(new Tessivo());
  ASSERT_TRUE(plugin->HasGraphicsFactory());
  ASSERT_TRUE(plugin->HasEditorLayout());
  ASSERT_TRUE(plugin->ApplyPreset(2));
  {
    plugkit::canvas::test::NullCanvas canvas(plugin.get(), 250, 160, 60, 1.0f);
    plugin->RunEditorLayout(&canvas);
    ASSERT_EQ(canvas.ControlCount(), 6);
    for (int32_t i = 1; i <= 3; ++i) EXPECT_NE(dynamic_cast<TKnobControl*>(canvas.ControlAt(i)), nullptr);
    EXPECT_EQ(canvas.ControlAt(4), plugin->PresetStrip());
    EXPECT_EQ(canvas.ControlAt(5), plugin->AboutBox());
    EXPECT_STREQ(plugin->PresetTitle(), "Hard Detune");

    IPointerEvent next;
    next.X = 210;
    next.Y = 10;
    next.Mods.Left = true;
    canvas.HandlePointerDown(&next, 1);
    canvas.HandlePointerUp(&next, 1);
    EXPECT_EQ(plugin->CurrentPreset(), 3);
    EXPECT_STREQ(plugin->PresetTitle(), "Down 3 Semitones");

    EXPECT_TRUE(plugin->OnAboutRequest());
    EXPECT_FALSE(plugin->AboutBox()->Concealed());
    plugin->OnEditorHidden();
  }
  EXPECT_FALSE(plugin->OnAboutRequest());
}

} // namespace
} // namespace vst3test
