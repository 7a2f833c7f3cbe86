#pragma once

// One loaded VST 3 module: the library, its entry points and its class
// factory. Load runs what a host does after loading (InitDll when the module
// exports it, then GetPluginFactory); the destructor undoes it in reverse
// (releases the factory, ExitDll, unloads the library). Plug-in objects made
// from the factory must be gone before the module is destroyed.
//
// Used on one thread (the host's user-interface thread).

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "pluginterfaces/base/ipluginbase.h"

namespace vst3host {

// What a factory says about one class, from the richest record it offers
// (PClassInfoW, else PClassInfo2, else PClassInfo). Texts are UTF-8.
struct ClassRecord {
  std::array<char, 16> cid{};
  Steinberg::int32 cardinality = 0;
  std::string category;
  std::string name;
  Steinberg::uint32 classFlags = 0;
  std::string subCategories;
  std::string vendor;
  std::string version;
  std::string sdkVersion;
  int infoLevel = 1;  // 1 PClassInfo, 2 PClassInfo2, 3 PClassInfoW
};

struct FactoryRecord {
  std::string vendor;
  std::string url;
  std::string email;
  Steinberg::int32 flags = 0;
};

class PluginModule {
 public:
  // Null with a one-line reason in *error (when given): the library does not
  // load, lacks GetPluginFactory, its InitDll answers false, or it gives no
  // factory.
  static std::unique_ptr<PluginModule> Load(const std::string& path, std::string* error);
  ~PluginModule();

  PluginModule(const PluginModule&) = delete;
  PluginModule& operator=(const PluginModule&) = delete;

  Steinberg::IPluginFactory* Factory() const { return factory; }
  bool CalledInitDll() const { return initDllCalled; }
  // The module handle (an HMODULE).
  void* Handle() const { return library; }
  // Address of an exported function, or null.
  void* Export(const char* name) const;

  bool ReadFactoryInfo(FactoryRecord& out) const;
  std::vector<ClassRecord> Classes() const;
  // The first class of the audio-effect category, or false.
  bool FindAudioClass(ClassRecord& out) const;

 private:
  PluginModule() = default;

  void* library = nullptr;
  Steinberg::IPluginFactory* factory = nullptr;
  bool initDllCalled = false;
};

// The class id as 32 hexadecimal digits, bytes in memory order.
std::string FormatClassId(const std::array<char, 16>& cid);

}  // namespace vst3host
