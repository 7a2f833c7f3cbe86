// The entry of Tessivo.dll, the VST 2.4 deliverable: the exported
// VSTPluginMain (also exported as `main`, its older name, through
// api/vst2/VST2Exports.def) and the DLL entry routine. Compiled into the DLL
// itself, not into a library, so that the linker keeps every entry.

#include <new>

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "api/vst2/VST2Entry.h"
#include "core/ModuleResources.h"
#include "plugin/Tessivo.h"

// The module's instance handle, stored on every call of the entry routine;
// the editor's window class and the embedded resources are found through it.
HINSTANCE gModuleInstance = nullptr;

namespace {

plugkit::IVST2Binding* CreateTessivo(audioMasterCallback host) { return new (std::nothrow) Tessivo(host); }

} // namespace

extern "C" AEffect* VST2_CALL VSTPluginMain(audioMasterCallback host) {
  return plugkit::CreateVST2Effect(host, &CreateTessivo);
}

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD /*reason*/, LPVOID /*reserved*/) {
  gModuleInstance = instance;
  plugkit::StoreModuleHandle(instance);
  return TRUE;
}
