#pragma once
// A loaded VST 2.4 plug-in DLL and its entry point.
//
// The library stays loaded for the object's lifetime; every instance created
// from it must be closed before it is destroyed.

#include "api/vst2/VST2Interface.h"

#include <string>

namespace vst2host {

typedef AEffect*(VST2_CALL* PluginEntryProc)(audioMasterCallback host);

class PluginLibrary {
 public:
  PluginLibrary() = default;
  ~PluginLibrary();
  PluginLibrary(const PluginLibrary&) = delete;
  PluginLibrary& operator=(const PluginLibrary&) = delete;

  // Loads the DLL at a UTF-8 path and finds `VSTPluginMain`, or the older
  // `main` when the first is missing. False with a reason on failure; a
  // library loaded earlier stays loaded then.
  bool Load(const std::string& path, std::string* error);

  bool IsLoaded() const { return mEntry != nullptr; }
  PluginEntryProc Entry() const { return mEntry; }
  const std::string& EntryName() const { return mEntryName; }

 private:
  void* mModule = nullptr;  // HMODULE
  PluginEntryProc mEntry = nullptr;
  std::string mEntryName;
};

} // namespace vst2host
