// unloadhost: a host that ends with a plug-in the way some hosts do, closing
// its last instance and unloading the module on a worker thread while the
// user-interface thread pumps messages, and then watches that thread.
//
//   unloadhost vst2|vst3 <module> worker|ui
//
// The module is loaded and the instance made (VST 2.4: the entry, effOpen;
// VST 3: the factory's first audio class, initialize) on this thread, which
// pumps messages until the plug-in's own thread timers have ticked here.
// Then the instance is closed (effClose; VST 3: terminate and the last
// release) and the library freed, by a worker ("worker") or by this thread
// ("ui"), while this thread goes on pumping. Afterwards this thread pumps
// twice for ten ticks of a timer of its own. Printed: whether the module is
// still loaded, the calls made into the range it occupied once it was gone
// (faults, and traps in fresh code mapped there), and the ticks of the
// plug-in's timers in each stretch.
//
// Exit status: 0 when no call reached the freed range and the plug-in's
// timers had stopped by the second stretch; 1 otherwise or on failure; 2 bad
// usage. 64-bit only.

#include <windows.h>

#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "tests/hosts/unload/ModuleWatch.h"
#include "tests/hosts/vst2/ConsoleProgram.h"
#include "tests/hosts/vst2/PluginInstance.h"
#include "tests/hosts/vst2/PluginLibrary.h"
#include "tests/hosts/vst3/HostApplication.h"
#include "tests/hosts/vst3/PluginInstance.h"
#include "tests/hosts/vst3/PluginModule.h"

namespace {

const char* const kUsage = "usage:\n  unloadhost vst2|vst3 <module> worker|ui\n";
constexpr UINT kOwnTickMs = 20;
constexpr UINT kClosedMessage = WM_APP + 1;

// One plug-in module with its one instance, of either interface.
class Plugin {
public:
  virtual ~Plugin() = default;
  virtual bool Open(const std::string& path, std::string* error) = 0;
  virtual HMODULE Module() const = 0;
  // Closes the instance and unloads the module.
  virtual void CloseAndUnload() = 0;
};

class VST2Plugin : public Plugin {
public:
  bool Open(const std::string& path, std::string* error) override {
    mLibrary = std::make_unique<vst2host::PluginLibrary>();
    if (!mLibrary->Load(path, error)) return false;
    mInstance = std::make_unique<vst2host::PluginInstance>();
    if (!mInstance->Create(*mLibrary, error)) return false;
    mInstance->Open();
    return true;
  }
  HMODULE Module() const override {
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(mLibrary->Entry()), &module);
    return module;
  }
  void CloseAndUnload() override {
    mInstance.reset();
    mLibrary.reset();
  }

private:
  std::unique_ptr<vst2host::PluginLibrary> mLibrary;
  std::unique_ptr<vst2host::PluginInstance> mInstance;
};

class VST3Plugin : public Plugin {
public:
  ~VST3Plugin() override { mHost->release(); }
  bool Open(const std::string& path, std::string* error) override {
    mModule = vst3host::PluginModule::Load(path, error);
    if (!mModule) return false;
    vst3host::ClassRecord audio;
    if (!mModule->FindAudioClass(audio)) {
      *error = "the module offers no audio class";
      return false;
    }
    mInstance = vst3host::PluginInstance::Create(*mModule, audio.cid, mHost, error);
    return mInstance != nullptr;
  }
  HMODULE Module() const override { return static_cast<HMODULE>(mModule->Handle()); }
  void CloseAndUnload() override {
    mInstance.reset();
    mModule.reset();
  }

private:
  vst3host::HostApplication* mHost = new vst3host::HostApplication();
  std::unique_ptr<vst3host::PluginModule> mModule;
  std::unique_ptr<vst3host::PluginInstance> mInstance;
};

// Pumps this thread's messages until ownTicks ticks of its own timer have
// come (or, when stop is given, until it answers true), counting the ticks of
// every other thread timer, which are the plug-in's.
int PumpCountingTicks(UINT_PTR ownTimer, int ownTicks, const std::function<bool(const MSG&)>& stop = nullptr) {
  int pluginTicks = 0;
  for (int own = 0; stop || own < ownTicks;) {
    MSG m;
    if (GetMessageA(&m, nullptr, 0, 0) <= 0) break;
    if (m.message == WM_TIMER && m.hwnd == nullptr) {
      if (m.wParam == ownTimer)
        ++own;
      else
        ++pluginTicks;
    }
    if (stop && stop(m)) break;
    DispatchMessageA(&m);
  }
  return pluginTicks;
}

} // namespace

int main() {
  std::vector<std::string> args;
  if (!vst2host::ReadUtf8Arguments(args) || args.size() != 4 || (args[1] != "vst2" && args[1] != "vst3") ||
      (args[3] != "worker" && args[3] != "ui"))
    return vst2host::ReportUsage("unloadhost", kUsage, args.size() == 4 ? "unknown interface or thread" : "");
  const bool onWorker = args[3] == "worker";

  const UINT_PTR ownTimer = SetTimer(nullptr, 0, kOwnTickMs, nullptr);
  std::unique_ptr<Plugin> plugin;
  if (args[1] == "vst2")
    plugin = std::make_unique<VST2Plugin>();
  else
    plugin = std::make_unique<VST3Plugin>();
  std::string error;
  if (!plugin->Open(args[2], &error)) return vst2host::ReportFailure("unloadhost", error);
  unloadhost::ModuleWatch watch(plugin->Module());

  const int before = PumpCountingTicks(ownTimer, 10);
  std::printf("plug-in timer ticks before closing: %d\n", before);
  if (before == 0) return vst2host::ReportFailure("unloadhost", "the plug-in's timers never ticked on this thread");

  if (onWorker) {
    const DWORD self = GetCurrentThreadId();
    std::thread worker([&] {
      plugin->CloseAndUnload();
      PostThreadMessageA(self, kClosedMessage, 0, 0);
    });
    PumpCountingTicks(ownTimer, 0, [](const MSG& m) { return m.message == kClosedMessage; });
    worker.join();
  } else {
    plugin->CloseAndUnload();
  }

  const bool loaded = watch.StillLoaded();
  std::printf("module still loaded: %s\n", loaded ? "yes" : "no");
  if (!loaded) std::printf("fresh code mapped into its range: %zu bytes\n", watch.Arm());
  const int first = PumpCountingTicks(ownTimer, 10);
  const int second = PumpCountingTicks(ownTimer, 10);
  std::printf("calls into the freed range: %d\n", watch.Calls());
  std::printf("plug-in timer ticks after closing: %d, then %d\n", first, second);
  KillTimer(nullptr, ownTimer);
  std::fflush(stdout);
  return watch.Calls() == 0 && second == 0 ? vst2host::kExitOk : vst2host::kExitFailed;
}
