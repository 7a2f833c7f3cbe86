#include "api/vst3/PluginEntry.h"

#include <windows.h>

#include "pluginterfaces/base/ipluginbase.h"

namespace {

HINSTANCE gAttachedModule = nullptr;

// Holds the module's own reference to the factory; its destructor runs when
// the library unloads.
struct ModuleFactory {
  Steinberg::IPluginFactory* factory;
  ~ModuleFactory() {
    if (factory) factory->release();
  }
};

ModuleFactory& TheModuleFactory() {
  static ModuleFactory holder{plugkit::CreateVST3ModuleFactory()};
  return holder;
}

}  // namespace

void* plugkit::VST3AttachedModule() { return gAttachedModule; }

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD, LPVOID) {
  gAttachedModule = instance;
  return TRUE;
}

// The SDK declares GetPluginFactory exported with the host calling convention;
// the module-definition file removes the 32-bit decoration from its name.
Steinberg::IPluginFactory* PLUGIN_API GetPluginFactory() {
  Steinberg::IPluginFactory* factory = TheModuleFactory().factory;
  if (factory) factory->addRef();
  return factory;
}

extern "C" {

SMTG_EXPORT_SYMBOL bool InitDll() { return plugkit::OnVST3ModuleInit(gAttachedModule); }

SMTG_EXPORT_SYMBOL bool ExitDll() { return true; }

}  // extern "C"
