// End to end: the real Tessivo.dll, loaded the way a host loads it, through
// the test host's library and through the vst2host program.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "tests/hosts/vst2/ChildProcess.h"
#include "tests/hosts/vst2/ChunkRoundTrip.h"
#include "tests/hosts/vst2/ConcurrentCalls.h"
#include "tests/hosts/vst2/ParamAssign.h"
#include "tests/hosts/vst2/PluginInstance.h"
#include "tests/hosts/vst2/PluginLibrary.h"
#include "tests/hosts/vst2/Render.h"
#include "tests/hosts/vst2/TestSignal.h"
#include "tests/hosts/vst2/Utf8Path.h"

namespace vst2test {
namespace {

std::string DllPath() { return vst2host::BesideExecutable(TESSIVO_VST2_DLL); }

TEST(Dll, Is64BitAndExportsBothEntries) {
  HMODULE module = LoadLibraryW(vst2host::WidenUtf8(DllPath()).c_str());
  ASSERT_NE(module, nullptr) << DllPath();
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(module);
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(reinterpret_cast<const uint8_t*>(module) + dos->e_lfanew);
  EXPECT_EQ(nt->FileHeader.Machine, IMAGE_FILE_MACHINE_AMD64);
  FARPROC current = GetProcAddress(module, "VSTPluginMain");
  FARPROC older = GetProcAddress(module, "main");
  EXPECT_NE(current, nullptr);
  EXPECT_EQ(older, current);
  FreeLibrary(module);
}

class DllTest : public ::testing::Test {
protected:
  void SetUp() override {
    std::string error;
    ASSERT_TRUE(library.Load(DllPath(), &error)) << error;
    ASSERT_TRUE(plugin.Create(library, &error)) << error;
    plugin.Open();
  }

  vst2host::PluginLibrary library;  // declared first: outlives the instance
  vst2host::PluginInstance plugin;
};

TEST_F(DllTest, ListsParametersAndPrograms) {
  EXPECT_EQ(library.EntryName(), "VSTPluginMain");
  EXPECT_EQ(plugin.EffectName(), "Tessivo");
  EXPECT_EQ(plugin.VendorString(), "Corvath");
  const AEffect& effect = *plugin.Effect();
  EXPECT_EQ(effect.flags, 0x1011);
  EXPECT_EQ(effect.uniqueID, VstFourCC('W', 'K', 'Z', 'M'));

  ASSERT_EQ(effect.numParams, 3);
  const char* names[] = {"Coarse", "Fine", "Mix"};
  const char* labels[] = {"Semi", "Cents", "%"};
  const char* displays[] = {"0", "0", "100"};
  for (int32_t i = 0; i < 3; ++i) {
    EXPECT_EQ(plugin.ParamName(i), names[i]);
    EXPECT_EQ(plugin.ParamLabel(i), labels[i]);
    EXPECT_EQ(plugin.ParamDisplay(i), displays[i]);
  }
  const std::vector<std::string> programs = {"Default",        "Light Detune", "Hard Detune",        "Down 3 Semitones",
                                             "Up 3 Semitones", "Octave up",    "Octave down (mixed)"};
  ASSERT_EQ(effect.numPrograms, 7);
  for (int32_t i = 0; i < 7; ++i) EXPECT_EQ(plugin.ProgramNameIndexed(i), programs[static_cast<size_t>(i)]);
  EXPECT_TRUE(plugin.Overruns().empty());
}

// Power of one frequency in a signal (Goertzel).
double PowerAt(const std::vector<float>& samples, size_t first, double frequency, double rate) {
  const double k = 2.0 * std::cos(2.0 * 3.141592653589793 * frequency / rate);
  double s1 = 0.0, s2 = 0.0;
  for (size_t i = first; i < samples.size(); ++i) {
    const double s0 = samples[i] + k * s1 - s2;
    s2 = s1;
    s1 = s0;
  }
  return s1 * s1 + s2 * s2 - k * s1 * s2;
}

TEST_F(DllTest, RendersAnOctaveUp) {
  const vst2host::AudioBuffer sine = vst2host::MakeSine(441.0, 1.0, 44100, 2, 0.5f);
  std::string error;
  for (const char* assignment : {"Coarse=12", "Mix=100"})
    ASSERT_TRUE(vst2host::ApplyAssignment(plugin, assignment, nullptr, &error)) << error;
  vst2host::RenderOptions options;
  options.blockSize = 300;
  vst2host::AudioBuffer replaced, doubled;
  ASSERT_TRUE(vst2host::RenderBuffer(plugin, sine, replaced, options, &error)) << error;
  options.entry = vst2host::EProcessEntry::kDoubleReplacing;
  ASSERT_TRUE(vst2host::RenderBuffer(plugin, sine, doubled, options, &error)) << error;

  ASSERT_EQ(replaced.ChannelCount(), 2);
  ASSERT_EQ(replaced.Frames(), sine.Frames());
  // Past the first line length the shifted tone dominates the original one.
  const size_t settled = 4096;
  const double octave = PowerAt(replaced.channels[0], settled, 882.0, 44100.0);
  const double original = PowerAt(replaced.channels[0], settled, 441.0, 44100.0);
  EXPECT_GT(octave, 100.0 * original);
  EXPECT_EQ(replaced.channels[0], replaced.channels[1]);  // the wet path is mono
  // Both precisions render the same audio (the host restarts the stream).
  for (size_t i = 0; i < replaced.Frames(); ++i)
    ASSERT_NEAR(replaced.channels[0][i], doubled.channels[0][i], 1e-6) << i;
  EXPECT_TRUE(plugin.Overruns().empty());
}

TEST_F(DllTest, DryMixPassesTheInputThrough) {
  const vst2host::AudioBuffer sine = vst2host::MakeSine(1000.0, 0.1, 48000, 2, 0.25f);
  std::string error;
  ASSERT_TRUE(vst2host::ApplyAssignment(plugin, "Mix=0", nullptr, &error)) << error;
  vst2host::RenderOptions options;
  options.entry = vst2host::EProcessEntry::kAccumulating;
  options.blockSize = 1000;
  vst2host::AudioBuffer out;
  ASSERT_TRUE(vst2host::RenderBuffer(plugin, sine, out, options, &error)) << error;
  EXPECT_EQ(out.channels, sine.channels);
}

// Hosts make program, name and chunk calls from several threads at once (a
// MIDI program change on a worker while the interface renames programs and
// the session is saved). None of it may corrupt the instance: afterwards the
// chunks saved before still restore a state that saves and renders exactly
// as a fresh instance given the same chunks.
TEST_F(DllTest, ProgramAndChunkCallsFromFourThreadsWhileAudioRuns) {
  std::string error;
  for (const char* assignment : {"Coarse=-5", "Fine=20", "Mix=70"})
    ASSERT_TRUE(vst2host::ApplyAssignment(plugin, assignment, nullptr, &error)) << error;
  char name[] = "Saved before the rush";
  plugin.Dispatch(effSetProgramName, 0, 0, name);
  std::vector<uint8_t> bank, program;
  ASSERT_TRUE(plugin.GetChunk(true, bank));
  ASSERT_TRUE(plugin.GetChunk(false, program));

  vst2host::ConcurrentCallOptions options;
  options.seconds = 2.5;
  const vst2host::ConcurrentCallReport report = vst2host::RunConcurrentCalls(plugin, options);
  std::printf("[ threads  ] %s\n", vst2host::DescribeRun(report.run, options.callers).c_str());
  std::fflush(stdout);
  for (const std::string& fault : report.faults) ADD_FAILURE() << fault;

  vst2host::PluginInstance fresh;
  ASSERT_TRUE(fresh.Create(library, &error)) << error;
  fresh.Open();
  for (vst2host::PluginInstance* instance : {&plugin, &fresh}) {
    instance->Dispatch(effSetProgram, 0, 0);
    ASSERT_TRUE(instance->SetChunk(true, bank));
    ASSERT_TRUE(instance->SetChunk(false, program));
    std::vector<uint8_t> bankAgain, programAgain;
    ASSERT_TRUE(instance->GetChunk(true, bankAgain));
    ASSERT_TRUE(instance->GetChunk(false, programAgain));
    EXPECT_EQ(bankAgain, bank);
    EXPECT_EQ(programAgain, program);
  }

  const vst2host::AudioBuffer sine = vst2host::MakeSine(441.0, 0.5, 44100, 2, 0.5f);
  vst2host::AudioBuffer used, unused;
  ASSERT_TRUE(vst2host::RenderBuffer(plugin, sine, used, vst2host::RenderOptions(), &error)) << error;
  ASSERT_TRUE(vst2host::RenderBuffer(fresh, sine, unused, vst2host::RenderOptions(), &error)) << error;
  EXPECT_NE(unused.channels, sine.channels);  // the restored program does shift
  EXPECT_EQ(used.channels, unused.channels);
}

TEST(Dll, ChunksRestoreByteExactlyInAFreshInstance) {
  vst2host::PluginLibrary library;
  std::string error;
  ASSERT_TRUE(library.Load(DllPath(), &error)) << error;
  for (bool bank : {false, true}) {
    SCOPED_TRACE(bank ? "bank" : "program");
    vst2host::ChunkRoundTripResult result;
    EXPECT_TRUE(vst2host::ChunkRoundTrip(library, bank, {"Coarse=-7", "Fine=33", "Mix=62"}, vst2host::HostSettings(),
                                         result, &error))
        << error;
    EXPECT_EQ(result.saved, result.reloaded);
    EXPECT_EQ(result.savedParams, result.reloadedParams);
    if (!bank) {
      EXPECT_EQ(result.saved.size(), 32u);
    }
  }
}

// Runs the vst2host program with arguments.
vst2host::ChildResult RunHostProgram(const std::string& arguments) {
  return vst2host::RunChildProcess(vst2host::BesideExecutable(VST2HOST_PROGRAM_PATH), arguments);
}

TEST(Dll, HostProgramListsAndRoundTrips) {
  const std::string dll = vst2host::Quoted(DllPath());
  const vst2host::ChildResult info = RunHostProgram(dll + " info");
  ASSERT_EQ(info.exitCode, 0) << info.output;
  for (const char* line : {"entry: VSTPluginMain", "flags: 0x1011", "0 Coarse: \"0\" label \"Semi\"",
                           "1 Fine: \"0\" label \"Cents\"", "2 Mix: \"100\" label \"%\"", "programs: 7 (current 0)",
                           "  6 Octave down (mixed)"})
    EXPECT_NE(info.output.find(line), std::string::npos) << line << "\n" << info.output;

  const vst2host::ChildResult chunk = RunHostProgram(dll + " chunk-roundtrip bank Coarse=5 Mix=10");
  EXPECT_EQ(chunk.exitCode, 0) << chunk.output;
  EXPECT_NE(chunk.output.find("identical"), std::string::npos) << chunk.output;
}

} // namespace
} // namespace vst2test
