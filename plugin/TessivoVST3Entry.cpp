// The entry of Tessivo.vst3, the VST 3 deliverable: the hooks through which
// the module's exported entry (api/vst3/PluginEntry.cpp) builds the class
// factory and starts the module. Compiled into the module itself.

#include <new>

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "api/vst3/IVST3Factory.h"
#include "api/vst3/PluginEntry.h"
#include "plugin/Tessivo.h"
#include "plugin/TessivoMaker.h"

// The module's instance handle; the editor's window class and the embedded
// resources are found through it.
HINSTANCE gModuleInstance = nullptr;

namespace {

plugkit::IVST3Binding* CreateTessivo() { return new (std::nothrow) Tessivo(); }

bool RecordModule(void* handle) {
  gModuleInstance = static_cast<HINSTANCE>(handle);
  return plugkit::StartVST3Module(handle);
}

// Vendor, name and codes come from the product's configuration record, the
// addresses from the maker's.
plugkit::IVST3ClassRecord TessivoClass() {
  const plugkit::IPluginDescriptor descriptor = Tessivo::Descriptor();
  plugkit::IVST3ClassRecord record;
  record.vendor = descriptor.makerName;
  record.webAddress = tessivo_maker::kSiteAddress;
  record.contactAddress = tessivo_maker::kContactAddress;
  record.className = descriptor.pluginName;
  record.makerCode = descriptor.makerCode;
  record.uniqueCode = descriptor.uniqueCode;
  record.category = "Audio Module Class";
  record.subCategories = "Fx";
  record.classVendor = "";
  record.version = "1.0.2";
  record.sdkVersion = "VST 3.6.13";
  return record;
}

} // namespace

Steinberg::IPluginFactory* plugkit::CreateVST3ModuleFactory() {
  // Hosts that never call InitDll still get the module's handle recorded.
  if (!gModuleInstance) RecordModule(VST3AttachedModule());
  return CreateVST3Factory(TessivoClass(), &CreateTessivo);
}

bool plugkit::OnVST3ModuleInit(void* moduleHandle) { return RecordModule(moduleHandle); }
