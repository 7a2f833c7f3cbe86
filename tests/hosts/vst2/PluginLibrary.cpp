#include "tests/hosts/vst2/PluginLibrary.h"

#include "tests/hosts/vst2/Utf8Path.h"

#include <windows.h>

namespace vst2host {

PluginLibrary::~PluginLibrary() {
  if (mModule) FreeLibrary(static_cast<HMODULE>(mModule));
}

bool PluginLibrary::Load(const std::string& path, std::string* error) {
  HMODULE module = LoadLibraryW(WidenUtf8(path).c_str());
  if (!module) {
    if (error) *error = "cannot load " + path + " (error " + std::to_string(GetLastError()) + ")";
    return false;
  }
  const char* names[] = {"VSTPluginMain", "main"};
  for (const char* name : names) {
    FARPROC proc = GetProcAddress(module, name);
    if (!proc) continue;
    if (mModule) FreeLibrary(static_cast<HMODULE>(mModule));
    mModule = module;
    mEntry = reinterpret_cast<PluginEntryProc>(reinterpret_cast<void*>(proc));
    mEntryName = name;
    return true;
  }
  FreeLibrary(module);
  if (error) *error = path + " exports neither VSTPluginMain nor main";
  return false;
}

} // namespace vst2host
