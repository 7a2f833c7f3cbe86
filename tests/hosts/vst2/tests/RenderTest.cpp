#include "tests/hosts/vst2/Render.h"

#include "tests/hosts/vst2/ParamAssign.h"
#include "tests/hosts/vst2/TestSignal.h"
#include "tests/hosts/vst2/tests/FakePluginFixture.h"

#include <gtest/gtest.h>

namespace vst2host {
namespace {

using RenderTest = FakePluginTest;

// The stand-in computes out = in * Gain / 100 + Offset / 100; with Gain=50 and
// Offset=3 every entry must give half the input plus 0.03, whatever the
// block size and whether or not it divides the length.
TEST_F(RenderTest, EveryProcessEntryRendersTheWholeInput) {
  std::string error;
  ASSERT_TRUE(ApplyAssignment(plugin, "Gain=50", nullptr, &error)) << error;
  ASSERT_TRUE(ApplyAssignment(plugin, "Offset=3", nullptr, &error)) << error;
  AudioBuffer input = MakeSine(440.0, 0.1, 44100, 2, 0.8f);
  input.channels[1][7] = -0.25f;  // the channels must not be mixed up

  for (EProcessEntry entry :
       {EProcessEntry::kReplacing, EProcessEntry::kDoubleReplacing, EProcessEntry::kAccumulating}) {
    for (int32_t block : {1, 64, 1000, 8192}) {
      RenderOptions options;
      options.entry = entry;
      options.blockSize = block;
      AudioBuffer output;
      ASSERT_TRUE(RenderBuffer(plugin, input, output, options, &error)) << error;
      ASSERT_EQ(output.ChannelCount(), 2);
      ASSERT_EQ(output.Frames(), input.Frames());
      EXPECT_EQ(output.sampleRate, 44100u);
      for (size_t ch = 0; ch < 2; ++ch)
        for (size_t i = 0; i < input.Frames(); ++i)
          ASSERT_NEAR(output.channels[ch][i], 0.5f * input.channels[ch][i] + 0.03f, 1e-6)
              << "entry " << static_cast<int>(entry) << " block " << block << " channel " << ch << " frame " << i;
    }
  }
}

TEST_F(RenderTest, MonoInputFeedsEveryPluginInput) {
  AudioBuffer input = MakeSine(100.0, 0.01, 22050, 1, 0.5f), output;
  std::string error;
  ASSERT_TRUE(RenderBuffer(plugin, input, output, RenderOptions(), &error)) << error;
  ASSERT_EQ(output.ChannelCount(), 2);
  EXPECT_EQ(output.channels[0], input.channels[0]);
  EXPECT_EQ(output.channels[1], input.channels[0]);
}

TEST_F(RenderTest, MissingEntriesAndBadBlocksFailWithoutTouchingTheOutput) {
  AudioBuffer input = MakeSine(100.0, 0.01, 22050, 2, 0.5f);
  AudioBuffer output;
  output.channels = {{42.0f}};
  std::string error;
  RenderOptions options;
  options.blockSize = 0;
  EXPECT_FALSE(RenderBuffer(plugin, input, output, options, &error));
  plugin.Effect()->process = nullptr;  // as a plug-in without the accumulating entry
  options = RenderOptions();
  options.entry = EProcessEntry::kAccumulating;
  EXPECT_FALSE(RenderBuffer(plugin, input, output, options, &error));
  EXPECT_NE(error.find("process"), std::string::npos);
  EXPECT_EQ(output.channels, (std::vector<std::vector<float>>{{42.0f}}));
}

} // namespace
} // namespace vst2host
