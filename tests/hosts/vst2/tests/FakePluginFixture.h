#pragma once
// A fixture holding the stand-in plug-in's library and one created, opened
// instance of it.

#include "tests/hosts/vst2/PluginInstance.h"
#include "tests/hosts/vst2/PluginLibrary.h"
#include "tests/hosts/vst2/tests/TestPaths.h"

#include <gtest/gtest.h>

namespace vst2host {

// The stand-in's vendor requests (see fake/FakeGain.cpp).
constexpr int32_t kFakeOverrun = VstFourCC('F', 'k', 'O', 'v');
constexpr int32_t kFakeGesture = VstFourCC('F', 'k', 'A', 'u');
constexpr int32_t kFakeTempo = VstFourCC('F', 'k', 'T', 'm');
constexpr int32_t kFakeLevel = VstFourCC('F', 'k', 'L', 'v');

class FakePluginTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    ASSERT_TRUE(library.Load(FakePluginPath(), &error)) << error;
    ASSERT_TRUE(plugin.Create(library, &error)) << error;
    plugin.Open();
  }

  PluginLibrary library;  // declared first: outlives the instance
  PluginInstance plugin;
};

} // namespace vst2host
