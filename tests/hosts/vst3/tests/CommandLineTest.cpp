// The host program as scripts use it, run as a child process.

#include <windows.h>

#include <cmath>
#include <string>

#include "tests/hosts/vst2/ChildProcess.h"
#include "tests/hosts/vst2/WavFile.h"
#include "tests/hosts/vst3/tests/FakePluginFixture.h"

namespace vst3host {
namespace {

using vst2host::ChildResult;
using vst2host::Quoted;

ChildResult RunHost(const std::string& arguments) { return vst2host::RunChildProcess(HostProgramPath(), arguments); }

// A file in the temporary folder, removed when the test ends.
class ScratchFile {
 public:
  explicit ScratchFile(const std::string& name) {
    wchar_t folder[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH, folder);
    path = vst2host::NarrowToUtf8(folder) + "vst3host_" + std::to_string(GetCurrentProcessId()) + "_" + name;
  }
  ~ScratchFile() { DeleteFileW(vst2host::WidenUtf8(path).c_str()); }
  const std::string& Path() const { return path; }

 private:
  std::string path;
};

TEST(CommandLineTest, RendersAWavFileWithSettingsByName) {
  ScratchFile in("in.wav"), out("out.wav");
  vst2host::AudioBuffer sine;
  sine.sampleRate = 32000;
  sine.channels.assign(1, std::vector<float>(3000));
  for (size_t i = 0; i < 3000; ++i) sine.channels[0][i] = 0.5f * static_cast<float>(std::sin(0.05 * i));
  std::string error;
  ASSERT_TRUE(vst2host::WriteWavFloat(in.Path(), sine, &error)) << error;

  for (const char* precision : {"", " --double"}) {
    ChildResult run = RunHost(Quoted(FakePluginPath()) + " render " + Quoted(in.Path()) + " " +
                              Quoted(out.Path()) + " Gain=0.25 --block 100" + precision);
    ASSERT_EQ(run.exitCode, 0) << run.output;
    vst2host::AudioBuffer rendered;
    ASSERT_TRUE(vst2host::ReadWav(out.Path(), rendered, &error)) << error;
    EXPECT_EQ(rendered.sampleRate, 32000u);
    ASSERT_EQ(rendered.ChannelCount(), 2);
    ASSERT_EQ(rendered.Frames(), 3000u);
    for (size_t i = 0; i < 3000; i += 37)
      for (int c = 0; c < 2; ++c) EXPECT_NEAR(rendered.channels[c][i], 0.25f * sine.channels[0][i], 1e-6);
  }
}

TEST(CommandLineTest, InfoAndStateDescribeThePlugin) {
  ChildResult info = RunHost(Quoted(FakePluginPath()) + " info --host \"Some Host\"");
  ASSERT_EQ(info.exitCode, 0) << info.output;
  for (const char* expected :
       {"vendor \"plugkit tests\"", "\"Fake Gain\" category \"Audio Module Class\"", "sub-categories \"Fx\"",
        "parameter 0 \"Gain\" units \"x\"", "parameter 1 \"Bypass\"", "state: 12 bytes"})
    EXPECT_NE(info.output.find(expected), std::string::npos) << expected << "\n" << info.output;

  ChildResult state = RunHost(Quoted(FakePluginPath()) + " state Gain=1.5 Bypass=On");
  ASSERT_EQ(state.exitCode, 0) << state.output;
  EXPECT_NE(state.output.find("00 00 00 00 00 00 e8 3f 01 00 00 00"), std::string::npos) << state.output;
}

TEST(CommandLineTest, FailuresAreReportedWithTheirExitCode) {
  struct Case {
    std::string arguments;
    int32_t exitCode;
    const char* message;
  };
  for (const Case& c :
       {Case{"", 2, "usage"}, Case{Quoted(FakePluginPath()) + " frobnicate", 2, "unknown command"},
        Case{Quoted(FakePluginPath()) + " render only-one.wav", 2, "render needs"},
        Case{Quoted(FakePluginPath()) + " state --block 0", 2, "bad block size"},
        Case{Quoted(FakePluginPath()) + " state Volume=3", 1, "no parameter named \"Volume\""},
        Case{Quoted(FakePluginPath()) + " render missing.wav out.wav", 1, ""},
        Case{"NoSuchPlugin.vst3 info", 1, "cannot load"}}) {
    ChildResult run = RunHost(c.arguments);
    EXPECT_EQ(run.exitCode, c.exitCode) << c.arguments << "\n" << run.output;
    EXPECT_NE(run.output.find(c.message), std::string::npos) << c.arguments << "\n" << run.output;
  }
}

}  // namespace
}  // namespace vst3host
