#pragma once
// Creating a plug-in object for a VST 2.4 host. The DLL's exported entry
// (`VSTPluginMain`, and `main` under its older name) is a few lines in the
// product's own entry file: it hands the host callback and the product's
// factory to CreateVST2Effect and returns the result to the host.
//
// Contract:
// - The factory creates one product object bound to the host callback, or
//   returns null when it cannot (it must not throw). It runs under the
//   process-wide creation lock: two host threads creating instances at once
//   construct one after the other. The lock guards nothing else.
// - The host owns the object through the returned record from then on and
//   ends it with effClose.
// - Any thread (the host's user-interface thread, normally).

#include "api/vst2/IVST2Binding.h"
#include "api/vst2/VST2Interface.h"

namespace plugkit {

using VST2PluginFactory = IVST2Binding* (*)(audioMasterCallback host);

// Creates the object under the creation lock, fills every still unfilled
// preset slot with the current values as "Empty", raises the record's
// program count to at least 1 and returns the record. Null when the factory
// is null or gave no object.
AEffect* CreateVST2Effect(audioMasterCallback host, VST2PluginFactory factory);

} // namespace plugkit
