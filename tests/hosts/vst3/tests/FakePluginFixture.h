#pragma once
// Loads the fake gain module beside the test program and creates one
// initialised instance of its class with a recording host around it.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "tests/hosts/vst2/Utf8Path.h"
#include "tests/hosts/vst3/ComponentHandler.h"
#include "tests/hosts/vst3/HostApplication.h"
#include "tests/hosts/vst3/PluginInstance.h"
#include "tests/hosts/vst3/PluginModule.h"

namespace vst3host {

inline std::string FakePluginPath() { return vst2host::ExecutableDirectory() + VST3HOST_FAKE_PLUGIN; }

inline std::string HostProgramPath() { return vst2host::ExecutableDirectory() + VST3HOST_PROGRAM; }

class FakePluginTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    module = PluginModule::Load(FakePluginPath(), &error);
    ASSERT_TRUE(module) << error;
    ASSERT_TRUE(module->FindAudioClass(fakeClass));
    plugin = PluginInstance::Create(*module, fakeClass.cid, host, &error);
    ASSERT_TRUE(plugin) << error;
  }

  void TearDown() override {
    plugin.reset();
    module.reset();
  }

  Steinberg::IPtr<HostApplication> host{new HostApplication(), false};
  Steinberg::IPtr<ComponentHandler> handler{new ComponentHandler(), false};
  std::unique_ptr<PluginModule> module;
  ClassRecord fakeClass;
  std::unique_ptr<PluginInstance> plugin;
};

}  // namespace vst3host
