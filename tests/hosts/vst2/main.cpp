// vst2host: a console VST 2.4 host for end-to-end checks of plug-in DLLs.
// See README.md beside this file for the commands.

#include "tests/hosts/vst2/ChunkRoundTrip.h"
#include "tests/hosts/vst2/ConsoleProgram.h"
#include "tests/hosts/vst2/ParamAssign.h"
#include "tests/hosts/vst2/PluginInstance.h"
#include "tests/hosts/vst2/PluginLibrary.h"
#include "tests/hosts/vst2/Render.h"
#include "tests/hosts/vst2/TestSignal.h"
#include "tests/hosts/vst2/WavFile.h"

#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace vst2host {
namespace {

const char* const kUsage =
    "usage:\n"
    "  vst2host <plugin.dll> info [options]\n"
    "  vst2host <plugin.dll> render <in.wav> <out.wav> [Name=value ...] [options]\n"
    "  vst2host <plugin.dll> chunk-roundtrip [bank|program] [Name=value ...] [options]\n"
    "  vst2host make-sine <out.wav> <frequency-hz> <seconds> [--rate N] [--channels N] [--amplitude A]\n"
    "options:\n"
    "  --block N        block size for rendering (default 512)\n"
    "  --process KIND   replacing, double or accumulating (default replacing)\n"
    "  --host NAME      product name the host reports to the plug-in\n"
    "  --log            print every call the plug-in made to the host\n"
    "Name=value sets a parameter by its name, value in its display units (Mix=50)\n"
    "or as one of its display texts (Bypass=On).\n";

struct Options {
  std::vector<std::string> positional;  // everything that is neither an option nor an assignment
  std::vector<std::string> assignments;
  int32_t blockSize = 512;
  EProcessEntry entry = EProcessEntry::kReplacing;
  std::string hostName;
  bool log = false;
  uint32_t rate = 48000;
  int32_t channels = 2;
  float amplitude = 0.5f;
};

int Usage(const std::string& problem) { return ReportUsage("vst2host", kUsage, problem); }

int Failed(const std::string& reason) { return ReportFailure("vst2host", reason); }

bool ParseInt(const std::string& text, long minimum, long maximum, long& value) {
  char* end = nullptr;
  long parsed = std::strtol(text.c_str(), &end, 10);
  if (text.empty() || *end != '\0' || parsed < minimum || parsed > maximum) return false;
  value = parsed;
  return true;
}

bool ParseReal(const std::string& text, double& value) {
  char* end = nullptr;
  double parsed = std::strtod(text.c_str(), &end);
  if (text.empty() || *end != '\0' || !(parsed == parsed)) return false;
  value = parsed;
  return true;
}

bool ParseOptions(const std::vector<std::string>& args, size_t first, Options& options, std::string& problem) {
  for (size_t i = first; i < args.size(); ++i) {
    const std::string& arg = args[i];
    auto next = [&](std::string& value) {
      if (i + 1 >= args.size()) {
        problem = arg + " needs a value";
        return false;
      }
      value = args[++i];
      return true;
    };
    std::string value;
    long number;
    double real;
    if (arg == "--log") {
      options.log = true;
    } else if (arg == "--block") {
      if (!next(value) || !ParseInt(value, 1, 1 << 20, number)) return problem = "bad --block", false;
      options.blockSize = static_cast<int32_t>(number);
    } else if (arg == "--process") {
      if (!next(value) || !ParseProcessEntry(value, options.entry)) return problem = "bad --process", false;
    } else if (arg == "--host") {
      if (!next(options.hostName)) return false;
    } else if (arg == "--rate") {
      if (!next(value) || !ParseInt(value, 1, 1 << 22, number)) return problem = "bad --rate", false;
      options.rate = static_cast<uint32_t>(number);
    } else if (arg == "--channels") {
      if (!next(value) || !ParseInt(value, 1, 64, number)) return problem = "bad --channels", false;
      options.channels = static_cast<int32_t>(number);
    } else if (arg == "--amplitude") {
      if (!next(value) || !ParseReal(value, real) || real < 0.0 || real > 1.0)
        return problem = "bad --amplitude", false;
      options.amplitude = static_cast<float>(real);
    } else if (arg.compare(0, 2, "--") == 0) {
      problem = "unknown option " + arg;
      return false;
    } else if (arg.find('=') != std::string::npos) {
      options.assignments.push_back(arg);
    } else {
      options.positional.push_back(arg);
    }
  }
  return true;
}

HostSettings SettingsFor(const Options& options) {
  HostSettings settings;
  if (!options.hostName.empty()) settings.productString = options.hostName;
  return settings;
}

std::string FourCC(int32_t code) {
  std::string text;
  for (int shift = 24; shift >= 0; shift -= 8) {
    char c = static_cast<char>((static_cast<uint32_t>(code) >> shift) & 0xff);
    text += (c >= 32 && c < 127) ? c : '?';
  }
  return text;
}

std::string FlagNames(int32_t flags) {
  static const struct {
    int32_t bit;
    const char* name;
  } kNames[] = {{effFlagsHasEditor, "HasEditor"},
                {effFlagsCanMono, "CanMono"},
                {effFlagsCanReplacing, "CanReplacing"},
                {effFlagsProgramChunks, "ProgramChunks"},
                {effFlagsIsSynth, "IsSynth"},
                {effFlagsNoSoundInStop, "NoSoundInStop"},
                {effFlagsCanDoubleReplacing, "CanDoubleReplacing"}};
  std::string names;
  int32_t known = 0;
  for (const auto& entry : kNames) {
    known |= entry.bit;
    if (flags & entry.bit) names += std::string(names.empty() ? "" : " ") + entry.name;
  }
  if (flags & ~known) names += std::string(names.empty() ? "" : " ") + "other";
  return names;
}

// Reports what the plug-in did wrong or what the host was asked; true when
// no text overran its buffer.
bool Finish(PluginInstance& plugin, const Options& options) {
  if (options.log) {
    for (const auto& call : plugin.Host().Calls()) std::printf("callback: %s\n", DescribeHostCall(call).c_str());
    for (const auto& event : plugin.Host().Events()) {
      std::printf("event: type %" PRId32 " delta %" PRId32 " bytes", event.type, event.deltaFrames);
      for (uint8_t byte : event.bytes) std::printf(" %02x", byte);
      std::printf("\n");
    }
  }
  for (const auto& overrun : plugin.Overruns())
    std::fprintf(stderr, "vst2host: opcode %" PRId32 " index %" PRId32 " wrote \"%s\" past its %" PRId32
                 "-byte buffer\n", overrun.opcode, overrun.index, overrun.text.c_str(), overrun.capacity);
  return plugin.Overruns().empty();
}

bool Instantiate(const std::string& path, PluginLibrary& library, PluginInstance& plugin, std::string& error) {
  if (!library.Load(path, &error) || !plugin.Create(library, &error)) return false;
  plugin.Open();
  return true;
}

int RunInfo(const std::string& path, const Options& options) {
  PluginLibrary library;
  PluginInstance plugin(SettingsFor(options));
  std::string error;
  if (!Instantiate(path, library, plugin, error)) return Failed(error);
  const AEffect& effect = *plugin.Effect();
  std::printf("entry: %s\n", library.EntryName().c_str());
  std::printf("name: %s\n", plugin.EffectName().c_str());
  std::printf("vendor: %s\n", plugin.VendorString().c_str());
  std::printf("product: %s\n", plugin.ProductString().c_str());
  std::printf("vendor version: %" PRIdPTR "\n", plugin.Dispatch(effGetVendorVersion));
  std::printf("vst version: %" PRIdPTR "\n", plugin.Dispatch(effGetVstVersion));
  std::printf("category: %" PRIdPTR "\n", plugin.Dispatch(effGetPlugCategory));
  std::printf("unique id: %s (0x%08" PRIx32 ")\n", FourCC(effect.uniqueID).c_str(),
              static_cast<uint32_t>(effect.uniqueID));
  std::printf("version: %" PRId32 "\n", effect.version);
  std::printf("flags: 0x%" PRIx32 " (%s)\n", static_cast<uint32_t>(effect.flags), FlagNames(effect.flags).c_str());
  std::printf("inputs: %" PRId32 "\noutputs: %" PRId32 "\n", effect.numInputs, effect.numOutputs);
  std::printf("initial delay: %" PRId32 "\n", effect.initialDelay);
  std::printf("tail size: %" PRIdPTR "\n", plugin.Dispatch(effGetTailSize));
  std::printf("parameters: %" PRId32 "\n", effect.numParams);
  for (int32_t i = 0; i < effect.numParams; ++i) {
    std::string name = plugin.ParamName(i), label = plugin.ParamLabel(i), display = plugin.ParamDisplay(i);
    std::printf("  %" PRId32 " %s: \"%s\" label \"%s\" normalised %.6g automatable %" PRIdPTR "\n", i,
                name.c_str(), display.c_str(), label.c_str(), static_cast<double>(plugin.GetParameter(i)),
                plugin.Dispatch(effCanBeAutomated, i));
  }
  std::printf("programs: %" PRId32 " (current %" PRIdPTR ")\n", effect.numPrograms, plugin.Dispatch(effGetProgram));
  for (int32_t i = 0; i < effect.numPrograms; ++i)
    std::printf("  %" PRId32 " %s\n", i, plugin.ProgramNameIndexed(i).c_str());
  bool clean = Finish(plugin, options);
  plugin.Close();
  return clean ? kExitOk : kExitFailed;
}

int RunRender(const std::string& path, const Options& options) {
  if (options.positional.size() != 2) return Usage("render needs <in.wav> <out.wav>");
  AudioBuffer input, output;
  std::string error;
  if (!ReadWav(options.positional[0], input, &error)) return Failed(error);

  PluginLibrary library;
  HostSettings settings = SettingsFor(options);
  settings.processLevel = kVstProcessLevelOffline;
  PluginInstance plugin(settings);
  if (!Instantiate(path, library, plugin, error)) return Failed(error);
  for (const auto& assignment : options.assignments) {
    std::string shown;
    if (!ApplyAssignment(plugin, assignment, &shown, &error)) return Failed(error);
    std::string name = assignment.substr(0, assignment.find('='));
    int32_t index = plugin.FindParam(name);
    std::string label = plugin.ParamLabel(index);
    std::printf("%s: %s%s%s\n", name.c_str(), shown.c_str(), label.empty() ? "" : " ", label.c_str());
  }
  RenderOptions render;
  render.blockSize = options.blockSize;
  render.entry = options.entry;
  if (!RenderBuffer(plugin, input, output, render, &error)) return Failed(error);
  bool clean = Finish(plugin, options);
  plugin.Close();
  if (!WriteWavFloat(options.positional[1], output, &error)) return Failed(error);
  std::printf("rendered %zu frames, %" PRId32 " channels at %" PRIu32 " Hz into %s\n", output.Frames(),
              output.ChannelCount(), output.sampleRate, options.positional[1].c_str());
  return clean ? kExitOk : kExitFailed;
}

int RunChunkRoundTrip(const std::string& path, const Options& options) {
  bool bank = false;
  if (options.positional.size() > 1) return Usage("chunk-roundtrip takes at most one of bank or program");
  if (!options.positional.empty()) {
    if (options.positional[0] == "bank") bank = true;
    else if (options.positional[0] != "program") return Usage("chunk-roundtrip takes bank or program");
  }
  PluginLibrary library;
  std::string error;
  if (!library.Load(path, &error)) return Failed(error);
  ChunkRoundTripResult result;
  bool same = ChunkRoundTrip(library, bank, options.assignments, SettingsFor(options), result, &error);
  std::printf("%s chunk: %zu bytes saved, %zu bytes after reloading\n", bank ? "bank" : "program",
              result.saved.size(), result.reloaded.size());
  if (!same) return Failed(error);
  std::printf("identical\n");
  return kExitOk;
}

int RunMakeSine(const Options& options) {
  if (options.positional.size() != 3) return Usage("make-sine needs <out.wav> <frequency-hz> <seconds>");
  double frequency, seconds;
  if (!ParseReal(options.positional[1], frequency) || frequency < 0.0) return Usage("bad frequency");
  if (!ParseReal(options.positional[2], seconds) || seconds < 0.0 || seconds > 3600.0) return Usage("bad length");
  AudioBuffer sine = MakeSine(frequency, seconds, options.rate, options.channels, options.amplitude);
  std::string error;
  if (!WriteWavFloat(options.positional[0], sine, &error)) return Failed(error);
  std::printf("wrote %zu frames of %g Hz into %s\n", sine.Frames(), frequency, options.positional[0].c_str());
  return kExitOk;
}

int Run(const std::vector<std::string>& args) {
  if (args.size() < 2) return Usage("");
  Options options;
  std::string problem;
  if (args[1] == "make-sine") {
    if (!ParseOptions(args, 2, options, problem)) return Usage(problem);
    return RunMakeSine(options);
  }
  if (args.size() < 3) return Usage("no command");
  if (!ParseOptions(args, 3, options, problem)) return Usage(problem);
  const std::string& command = args[2];
  if (command == "info") return options.positional.empty() ? RunInfo(args[1], options) : Usage("info takes no files");
  if (command == "render") return RunRender(args[1], options);
  if (command == "chunk-roundtrip") return RunChunkRoundTrip(args[1], options);
  return Usage("unknown command " + command);
}

} // namespace
} // namespace vst2host

int main() {
  // An unreadable command line leaves no arguments: the usage text.
  std::vector<std::string> args;
  vst2host::ReadUtf8Arguments(args);
  return vst2host::Run(args);
}
