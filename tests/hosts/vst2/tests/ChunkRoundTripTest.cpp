#include "tests/hosts/vst2/ChunkRoundTrip.h"

#include "tests/hosts/vst2/tests/FakePluginFixture.h"

#include <gtest/gtest.h>

namespace vst2host {
namespace {

using ChunkTest = FakePluginTest;

TEST_F(ChunkTest, StateSurvivesTheTripIntoAFreshInstance) {
  for (bool bank : {false, true}) {
    ChunkRoundTripResult result;
    std::string error;
    EXPECT_TRUE(ChunkRoundTrip(library, bank, {"Gain=75", "Offset=-4", "Invert=On"}, HostSettings(), result, &error))
        << error;
    EXPECT_EQ(result.saved.size(), 20u);
    EXPECT_EQ(result.saved, result.reloaded);
    ASSERT_EQ(result.reloadedParams.size(), 3u);
    EXPECT_FLOAT_EQ(result.reloadedParams[0], 0.375f);
    EXPECT_EQ(result.reloadedParams[2], 1.0f);
  }
}

TEST_F(ChunkTest, ARefusedChunkIsReportedAndChangesNothing) {
  plugin.SetParameter(0, 0.125f);
  std::vector<uint8_t> chunk;
  ASSERT_TRUE(plugin.GetChunk(false, chunk));
  std::vector<uint8_t> shortened(chunk.begin(), chunk.end() - 1);
  std::vector<uint8_t> wrongMagic = chunk;
  wrongMagic[0] ^= 0xff;
  for (const auto& bad : {shortened, wrongMagic, std::vector<uint8_t>()}) {
    EXPECT_FALSE(plugin.SetChunk(false, bad));
    EXPECT_EQ(plugin.GetParameter(0), 0.125f);
  }

  ChunkRoundTripResult result;
  std::string error;
  EXPECT_FALSE(ChunkRoundTrip(library, false, {"Volume=1"}, HostSettings(), result, &error));
  EXPECT_NE(error.find("Volume"), std::string::npos);
}

} // namespace
} // namespace vst2host
