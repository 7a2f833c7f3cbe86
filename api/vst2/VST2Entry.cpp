#include "api/vst2/VST2Entry.h"

#include "core/ISectionLock.h"

namespace plugkit {

namespace {

// Built on first use under the runtime's thread-safe initialisation of local
// statics; destroyed when the module unloads.
ISectionLock& CreationLock() {
  static ISectionLock lock;
  return lock;
}

} // namespace

AEffect* CreateVST2Effect(audioMasterCallback host, VST2PluginFactory factory) {
  if (factory == nullptr) return nullptr;
  IVST2Binding* plugin = nullptr;
  {
    ISectionGuard guard(CreationLock());
    plugin = factory(host);
  }
  if (plugin == nullptr) return nullptr;
  plugin->FillEmptyPresets("Empty", plugin->PresetCount());
  AEffect* effect = plugin->EffectRecord();
  if (effect->numPrograms < 1) effect->numPrograms = 1;
  return effect;
}

} // namespace plugkit
