// The fake module's side of the VST 3 entry: its factory with the one class,
// and what InitDll was given, readable through an extra export so that the
// tests can compare it with the handle LoadLibraryW returned.
#include "api/vst3/PluginEntry.h"
#include "api/vst3/PluginFactory.h"
#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "tests/hosts/vst3/fake/FakeGain.h"

namespace {
void* gInitDllModule = nullptr;
}

Steinberg::IPluginFactory* plugkit::CreateVST3ModuleFactory() {
  using namespace Steinberg;
  PFactoryInfo info("plugkit tests", "https://example.invalid/fakegain", "mailto:tests@example.invalid",
                    PFactoryInfo::kUnicode);
  auto* factory = new CPluginFactory(info);
  static const TUID cid = INLINE_UID(0x46616B65, 0x4761696E, 0x706C7567, 0x6B697433);
  PClassInfo2 fakeClass(cid, PClassInfo::kManyInstances, kVstAudioEffectClass, "Fake Gain", 0, "Fx", "",
                        "1.2.3", kVstVersionString);
  factory->registerClass(&fakeClass, fakegain::FakeGain::Create);
  return factory;
}

bool plugkit::OnVST3ModuleInit(void* moduleHandle) {
  gInitDllModule = moduleHandle;
  return true;
}

extern "C" __declspec(dllexport) void* FakeInitDllModule() { return gInitDllModule; }
