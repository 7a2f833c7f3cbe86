#pragma once

// The exports through which a VST 3 host enters the module: GetPluginFactory,
// InitDll and ExitDll, defined by api/vst3/PluginEntry.cpp, which every VST 3
// module links as objects of its own (the vst3entry target) together with the
// module-definition file that exports the three names undecorated on both
// architectures.
//
// A module that links the entry supplies the two hooks below.
//
// - GetPluginFactory: the first call asks CreateVST3ModuleFactory for the
//   factory, under the runtime's thread-safe one-time initialisation; the one
//   reference it returns belongs to the module and is released only when the
//   module unloads, so a host that has released every factory it was given
//   and asks again never gets a freed object. Every call, the first included,
//   adds a reference for the caller and returns the same factory; null when
//   the hook made none (and then for good).
// - InitDll: calls OnVST3ModuleInit with the module handle the loader passed
//   when it attached the library, and returns the hook's answer.
// - ExitDll: returns true; the factory outlives it until the library unloads.

namespace Steinberg {
class IPluginFactory;
}

namespace plugkit {

// Supplied by the module: builds its class factory with one reference, or
// returns null. Called at most once per process.
Steinberg::IPluginFactory* CreateVST3ModuleFactory();

// Supplied by the module: InitDll's work, given the module handle recorded
// when the library was attached (an HINSTANCE). Called on the host's thread
// right after loading, before any factory call on hosts that call InitDll.
bool OnVST3ModuleInit(void* moduleHandle);

// The module handle recorded when the loader attached the library, or null
// before that.
void* VST3AttachedModule();

}  // namespace plugkit
