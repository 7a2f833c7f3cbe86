// vst3host: a console VST 3 host for end-to-end checks of plug-in modules.
//   vst3host <plugin.vst3> info [options]
//   vst3host <plugin.vst3> render <in.wav> <out.wav> [Name=value ...] [options]
//   vst3host <plugin.vst3> state [Name=value ...] [options]

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/hosts/vst2/ConsoleProgram.h"
#include "tests/hosts/vst2/WavFile.h"
#include "tests/hosts/vst3/HostApplication.h"
#include "tests/hosts/vst3/PluginInstance.h"
#include "tests/hosts/vst3/PluginModule.h"
#include "tests/hosts/vst3/Renderer.h"

using namespace Steinberg;
using namespace vst3host;

namespace {

using vst2host::kExitOk;

const char* const kUsage =
    "usage:\n"
    "  vst3host <plugin.vst3> info [options]\n"
    "  vst3host <plugin.vst3> render <in.wav> <out.wav> [Name=value ...] [options]\n"
    "  vst3host <plugin.vst3> state [Name=value ...] [options]\n"
    "options:\n"
    "  --block N     block size (default 512)\n"
    "  --double      process 64-bit samples\n"
    "  --host NAME   name the host gives the plug-in\n"
    "Name=value sets a parameter: a number is a plain value in the parameter's\n"
    "range (Coarse=3, Mix=50), other text is parsed by the plug-in (Bypass=on).\n"
    "state prints the component state (after the settings) in hexadecimal.\n";

struct Options {
  std::vector<std::string> positional;
  std::vector<ParamSetting> settings;
  int32 blockSize = 512;
  bool doublePrecision = false;
  std::string hostName = "plugkit VST3 test host";
};

int Usage(const std::string& problem) { return vst2host::ReportUsage("vst3host", kUsage, problem); }

int Failed(const std::string& reason) { return vst2host::ReportFailure("vst3host", reason); }

bool ParseOptions(const std::vector<std::string>& args, Options& options, std::string& problem) {
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--double") {
      options.doublePrecision = true;
    } else if (arg == "--block" || arg == "--host") {
      if (i + 1 >= args.size()) {
        problem = arg + " needs a value";
        return false;
      }
      const std::string& value = args[++i];
      if (arg == "--host") {
        options.hostName = value;
        continue;
      }
      char* end = nullptr;
      long block = std::strtol(value.c_str(), &end, 10);
      if (value.empty() || *end != '\0' || block < 1 || block > 65536) {
        problem = "bad block size " + value;
        return false;
      }
      options.blockSize = static_cast<int32>(block);
    } else if (arg.size() > 1 && arg[0] == '-' && arg[1] == '-') {
      problem = "unknown option " + arg;
      return false;
    } else if (arg.find('=') != std::string::npos) {
      ParamSetting setting;
      if (!ParseParamSetting(arg, setting)) {
        problem = "bad setting " + arg;
        return false;
      }
      options.settings.push_back(setting);
    } else {
      options.positional.push_back(arg);
    }
  }
  return true;
}

void PrintInfo(const PluginModule& module, const PluginInstance* plugin) {
  FactoryRecord factory;
  if (module.ReadFactoryInfo(factory))
    std::printf("factory: vendor \"%s\" url \"%s\" email \"%s\" flags %d\n", factory.vendor.c_str(),
                factory.url.c_str(), factory.email.c_str(), factory.flags);
  for (const ClassRecord& c : module.Classes())
    std::printf(
        "class %s: \"%s\" category \"%s\" sub-categories \"%s\" vendor \"%s\" version \"%s\" "
        "sdk \"%s\" flags %u cardinality %d\n",
        FormatClassId(c.cid).c_str(), c.name.c_str(), c.category.c_str(), c.subCategories.c_str(),
        c.vendor.c_str(), c.version.c_str(), c.sdkVersion.c_str(), c.classFlags, c.cardinality);
  if (!plugin) return;
  for (int dir = 0; dir < 2; ++dir)
    for (const BusRecord& bus : plugin->AudioBuses(dir == 0 ? Vst::kInput : Vst::kOutput))
      std::printf("%s bus \"%s\": %d channels, type %d, flags %u\n", dir == 0 ? "input" : "output",
                  bus.name.c_str(), bus.channelCount, bus.busType, bus.flags);
  for (const ParamRecord& p : plugin->Parameters())
    std::printf("parameter %u \"%s\" units \"%s\" steps %d flags 0x%x unit %d default %.6f (\"%s\")\n", p.id,
                p.title.c_str(), p.units.c_str(), p.stepCount, static_cast<unsigned>(p.flags), p.unitId,
                p.defaultNormalized, plugin->ParamText(p.id, p.defaultNormalized).c_str());
  std::vector<uint8_t> state;
  if (plugin->GetState(state)) std::printf("state: %zu bytes\n", state.size());
}

int Run(const std::vector<std::string>& args) {
  if (args.size() < 2) return Usage("");
  const std::string& pluginPath = args[0];
  const std::string& command = args[1];
  Options options;
  std::string problem;
  if (!ParseOptions(std::vector<std::string>(args.begin() + 2, args.end()), options, problem))
    return Usage(problem);

  std::string error;
  std::unique_ptr<PluginModule> module = PluginModule::Load(pluginPath, &error);
  if (!module) return Failed(error);
  ClassRecord audioClass;
  if (!module->FindAudioClass(audioClass)) return Failed("no audio effect class in " + pluginPath);
  IPtr<HostApplication> host(new HostApplication(options.hostName), false);
  std::unique_ptr<PluginInstance> plugin = PluginInstance::Create(*module, audioClass.cid, host, &error);

  if (command == "info") {
    if (!options.positional.empty() || !options.settings.empty()) return Usage("info takes no arguments");
    PrintInfo(*module, plugin.get());
    return plugin ? kExitOk : Failed(error);
  }
  if (!plugin) return Failed(error);

  std::vector<ParamValue> settings;
  if (!ResolveSettings(*plugin, options.settings, settings, &error)) return Failed(error);

  if (command == "state") {
    if (!options.positional.empty()) return Usage("state takes only settings");
    // The settings reach the processor the way they do in a render: with a
    // block (of one silent frame).
    RenderOptions renderOptions;
    renderOptions.blockSize = options.blockSize;
    renderOptions.doublePrecision = options.doublePrecision;
    std::vector<std::vector<float>> none(static_cast<size_t>(1), std::vector<float>(1, 0.0f)), out;
    if (!settings.empty() && !RenderThrough(*plugin, none, settings, renderOptions, out, &error))
      return Failed(error);
    std::vector<uint8_t> state;
    if (!plugin->GetState(state)) return Failed("getState failed");
    for (size_t i = 0; i < state.size(); ++i)
      std::printf("%02x%s", state[i], i + 1 < state.size() ? " " : "\n");
    return kExitOk;
  }
  if (command == "render") {
    if (options.positional.size() != 2) return Usage("render needs an input and an output file");
    vst2host::AudioBuffer input;
    if (!vst2host::ReadWav(options.positional[0], input, &error)) return Failed(error);
    RenderOptions renderOptions;
    renderOptions.sampleRate = input.sampleRate;
    renderOptions.blockSize = options.blockSize;
    renderOptions.doublePrecision = options.doublePrecision;
    vst2host::AudioBuffer output;
    output.sampleRate = input.sampleRate;
    if (!RenderThrough(*plugin, input.channels, settings, renderOptions, output.channels, &error))
      return Failed(error);
    if (!vst2host::WriteWavFloat(options.positional[1], output, &error)) return Failed(error);
    std::printf("rendered %zu frames, %d channels\n", output.Frames(), output.ChannelCount());
    return kExitOk;
  }
  return Usage("unknown command " + command);
}

}  // namespace

int main() {
  std::vector<std::string> args;
  if (!vst2host::ReadUtf8Arguments(args)) return Failed("cannot read the command line");
  if (!args.empty()) args.erase(args.begin());  // the program's own name
  return Run(args);
}
