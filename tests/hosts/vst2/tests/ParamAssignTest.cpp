#include "tests/hosts/vst2/ParamAssign.h"

#include "tests/hosts/vst2/tests/FakePluginFixture.h"

#include <gtest/gtest.h>

namespace vst2host {
namespace {

using ParamAssignTest = FakePluginTest;

TEST_F(ParamAssignTest, DisplayValuesLandOnTheExactNormalisedValue) {
  struct Case {
    const char* assignment;
    int32_t index;
    float normalised;
    const char* shown;
  };
  const Case cases[] = {
      {"Gain=50", 0, 0.25f, "50.0"},       // continuous: middle of the values showing "50.0"
      {"Gain=200", 0, 1.0f, "200.0"},      // an end of the range is used as it is
      {"gain=0", 0, 0.0f, "0.0"},          // names match ignoring case
      {"Offset=3", 1, 15.0f / 24, "3"},    // whole steps: the middle of the step
      {"Offset=-12", 1, 0.0f, "-12"},
      {"Offset=2.6", 1, 14.5f / 24, "3"},  // no value shows 2.6: the nearest shown one
      {"Invert=on", 2, 1.0f, "On"},        // display texts
      {"Invert=Off", 2, 0.0f, "Off"},
  };
  for (const Case& c : cases) {
    std::string shown, error;
    ASSERT_TRUE(ApplyAssignment(plugin, c.assignment, &shown, &error)) << c.assignment << ": " << error;
    EXPECT_EQ(shown, c.shown) << c.assignment;
    EXPECT_NEAR(plugin.GetParameter(c.index), c.normalised, 1e-5) << c.assignment;
  }
}

TEST_F(ParamAssignTest, FailuresNameTheProblemAndKeepTheOldValue) {
  plugin.SetParameter(0, 0.4f);
  plugin.SetParameter(2, 1.0f);
  const char* bad[] = {"Gain=300", "Gain=-1", "Gain=loud", "Invert=1", "Invert=Maybe", "Volume=3", "Gain", "=3",
                       "Gain="};
  for (const char* assignment : bad) {
    std::string error;
    EXPECT_FALSE(ApplyAssignment(plugin, assignment, nullptr, &error)) << assignment;
    EXPECT_FALSE(error.empty()) << assignment;
    EXPECT_EQ(plugin.GetParameter(0), 0.4f) << assignment;
    EXPECT_EQ(plugin.GetParameter(2), 1.0f) << assignment;
  }
  std::string error;
  EXPECT_FALSE(SetParamByDisplay(plugin, 3, "1", nullptr, &error));
  EXPECT_FALSE(SetParamByDisplay(plugin, -1, "1", nullptr, &error));
}

} // namespace
} // namespace vst2host
