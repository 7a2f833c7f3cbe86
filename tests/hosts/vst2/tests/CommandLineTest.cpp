// The host program as the README and scripts use it, run as a child process.

#include "tests/hosts/vst2/ChildProcess.h"
#include "tests/hosts/vst2/WavFile.h"
#include "tests/hosts/vst2/tests/TestPaths.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace vst2host {
namespace {

ChildResult RunHost(const std::string& arguments) { return RunChildProcess(HostProgramPath(), arguments); }

TEST(CommandLine, MakesASineAndRendersItWithParametersByName) {
  ScratchFile sine("cli_in.wav"), rendered("cli_out.wav");
  ChildResult made = RunHost("make-sine " + Quoted(sine.Path()) + " 440 0.25 --rate 32000 --channels 1");
  ASSERT_EQ(made.exitCode, 0) << made.output;

  ChildResult run = RunHost(Quoted(FakePluginPath()) + " render " + Quoted(sine.Path()) + " " +
                            Quoted(rendered.Path()) + " Gain=50 Offset=3 --block 100 --process double --log");
  ASSERT_EQ(run.exitCode, 0) << run.output;
  EXPECT_NE(run.output.find("Gain: 50.0 %"), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("callback: audioMasterGetCurrentProcessLevel index=0 value=0 opt=0"),
            std::string::npos)
      << run.output;
  EXPECT_NE(run.output.find("event: type 6 delta 5 bytes f0 7d 01 f7"), std::string::npos) << run.output;

  AudioBuffer in, out;
  std::string error;
  ASSERT_TRUE(ReadWav(sine.Path(), in, &error)) << error;
  ASSERT_TRUE(ReadWav(rendered.Path(), out, &error)) << error;
  EXPECT_EQ(in.Frames(), 8000u);
  EXPECT_EQ(out.sampleRate, 32000u);
  ASSERT_EQ(out.ChannelCount(), 2);
  ASSERT_EQ(out.Frames(), in.Frames());
  for (size_t i = 0; i < in.Frames(); i += 97) EXPECT_NEAR(out.channels[1][i], 0.5f * in.channels[0][i] + 0.03f, 1e-6);
}

TEST(CommandLine, InfoListsParametersAndProgramsInOrder) {
  ChildResult run = RunHost(Quoted(FakePluginPath()) + " info");
  ASSERT_EQ(run.exitCode, 0) << run.output;
  const char* expected[] = {"name: Fake Gain", "unique id: FkGn (0x466b476e)",
                            "flags: 0x1030 (CanReplacing ProgramChunks CanDoubleReplacing)",
                            "0 Gain: \"100.0\" label \"%\"", "1 Offset: \"0\" label \"cent\"",
                            "2 Invert: \"Off\"", "programs: 2 (current 0)", "0 Unity", "1 Half Gain"};
  size_t at = 0;
  for (const char* line : expected) {
    size_t found = run.output.find(line, at);
    ASSERT_NE(found, std::string::npos) << line << "\n" << run.output;
    at = found;
  }
}

TEST(CommandLine, FailuresExitNonZeroWithAReason) {
  ScratchFile sine("cli_bad_in.wav"), rendered("cli_bad_out.wav");
  ASSERT_EQ(RunHost("make-sine " + Quoted(sine.Path()) + " 440 0.01").exitCode, 0);
  struct Case {
    std::string arguments;
    int32_t exitCode;
    const char* says;
  };
  const Case cases[] = {
      {"", 2, "usage"},
      {Quoted(FakePluginPath()) + " dance", 2, "unknown command"},
      {Quoted(FakePluginPath()) + " render " + Quoted(sine.Path()), 2, "render needs"},
      {Quoted(FakePluginPath()) + " render " + Quoted(sine.Path()) + " " + Quoted(rendered.Path()) + " Volume=3", 1,
       "no parameter named \"Volume\""},
      {Quoted(FakePluginPath()) + " render " + Quoted(sine.Path()) + " " + Quoted(rendered.Path()) + " --block 0", 2,
       "bad --block"},
      {Quoted(ExecutableDirectory() + "missing.dll") + " info", 1, "cannot load"},
  };
  for (const Case& c : cases) {
    ChildResult run = RunHost(c.arguments);
    EXPECT_EQ(run.exitCode, c.exitCode) << c.arguments << "\n" << run.output;
    EXPECT_NE(run.output.find(c.says), std::string::npos) << c.arguments << "\n" << run.output;
  }
  AudioBuffer none;
  EXPECT_FALSE(ReadWav(rendered.Path(), none, nullptr));  // no output written on failure
}

TEST(CommandLine, ChunkRoundTripReportsIdenticalState) {
  ChildResult run = RunHost(Quoted(FakePluginPath()) + " chunk-roundtrip bank Gain=20 Invert=On");
  ASSERT_EQ(run.exitCode, 0) << run.output;
  EXPECT_NE(run.output.find("bank chunk: 20 bytes saved, 20 bytes after reloading"), std::string::npos);
  EXPECT_NE(run.output.find("identical"), std::string::npos);
}

} // namespace
} // namespace vst2host
