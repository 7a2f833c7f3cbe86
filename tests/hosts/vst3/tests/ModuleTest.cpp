// The module entry and the class factory, as a host meets them in the fake
// plug-in's DLL.

#include <windows.h>

#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"
#include "tests/hosts/vst3/tests/FakePluginFixture.h"

using namespace Steinberg;

namespace vst3host {
namespace {

using ModuleTest = FakePluginTest;

TEST_F(ModuleTest, InitDllReceivesTheModuleHandleRecordedAtAttach) {
  EXPECT_TRUE(module->CalledInitDll());
  auto initModule = reinterpret_cast<void* (*)()>(module->Export("FakeInitDllModule"));
  ASSERT_NE(initModule, nullptr);
  EXPECT_EQ(initModule(), module->Handle());
}

TEST_F(ModuleTest, FactoryAndClassRecordsAgreeInEveryForm) {
  FactoryRecord factory;
  ASSERT_TRUE(module->ReadFactoryInfo(factory));
  EXPECT_EQ(factory.vendor, "plugkit tests");
  EXPECT_EQ(factory.url, "https://example.invalid/fakegain");
  EXPECT_EQ(factory.email, "mailto:tests@example.invalid");
  EXPECT_EQ(factory.flags, PFactoryInfo::kUnicode);

  ASSERT_EQ(module->Factory()->countClasses(), 1);
  PClassInfo info;
  PClassInfo2 info2;
  PClassInfoW infoW;
  ASSERT_EQ(module->Factory()->getClassInfo(0, &info), kResultOk);
  IPtr<IPluginFactory3> factory3 = FUnknownPtr<IPluginFactory3>(module->Factory());
  ASSERT_TRUE(factory3);
  ASSERT_EQ(factory3->getClassInfo2(0, &info2), kResultOk);
  ASSERT_EQ(factory3->getClassInfoUnicode(0, &infoW), kResultOk);

  EXPECT_EQ(std::memcmp(info.cid, info2.cid, 16), 0);
  EXPECT_EQ(std::memcmp(info.cid, infoW.cid, 16), 0);
  EXPECT_EQ(std::string(info.name), "Fake Gain");
  EXPECT_EQ(std::string(info2.category), kVstAudioEffectClass);
  EXPECT_EQ(info2.cardinality, PClassInfo::kManyInstances);
  EXPECT_EQ(std::string(info2.subCategories), "Fx");
  EXPECT_EQ(std::string(info2.version), "1.2.3");
  EXPECT_EQ(std::wstring(infoW.name), L"Fake Gain");
  EXPECT_EQ(std::wstring(infoW.version), L"1.2.3");
  EXPECT_EQ(std::wstring(infoW.sdkVersion), L"VST 3.7.2");
  EXPECT_EQ(std::string(infoW.subCategories), "Fx");

  for (int32 bad : {-1, 1}) {
    EXPECT_EQ(module->Factory()->getClassInfo(bad, &info), kInvalidArgument);
    EXPECT_EQ(factory3->getClassInfo2(bad, &info2), kInvalidArgument);
    EXPECT_EQ(factory3->getClassInfoUnicode(bad, &infoW), kInvalidArgument);
  }
}

TEST_F(ModuleTest, EveryCallGivesTheSameFactoryWhichOutlivesTheHostsReferences) {
  auto getFactory = reinterpret_cast<GetFactoryProc>(module->Export("GetPluginFactory"));
  ASSERT_NE(getFactory, nullptr);
  IPluginFactory* first = getFactory();
  IPluginFactory* second = getFactory();
  EXPECT_EQ(first, module->Factory());
  EXPECT_EQ(second, first);
  // The module's own reference, the fixture's, the two above and this one.
  EXPECT_EQ(first->addRef(), 5u);
  first->release();
  first->release();
  second->release();

  // Every reference a host was given is gone (the fixture's too): the module
  // still holds the factory and hands out the same, working object.
  IPluginFactory* fixtures = module->Factory();
  EXPECT_EQ(fixtures->release(), 1u);
  IPluginFactory* again = getFactory();
  EXPECT_EQ(again, first);
  EXPECT_EQ(again->countClasses(), 1);
  // `again` takes the place of the fixture's reference, released at tear-down.
}

TEST_F(ModuleTest, CreateInstanceRefusesUnknownClassesAndInterfaces) {
  TUID unknownClass = {1, 2, 3};
  void* object = reinterpret_cast<void*>(1);
  EXPECT_EQ(module->Factory()->createInstance(unknownClass, Vst::IComponent::iid, &object), kNoInterface);
  EXPECT_EQ(object, nullptr);

  object = reinterpret_cast<void*>(1);
  EXPECT_EQ(module->Factory()->createInstance(fakeClass.cid.data(), IPluginFactory::iid, &object),
            kNoInterface);
  EXPECT_EQ(object, nullptr);

  EXPECT_EQ(module->Factory()->createInstance(fakeClass.cid.data(), Vst::IComponent::iid, nullptr),
            kInvalidArgument);
  EXPECT_EQ(module->Factory()->createInstance(nullptr, Vst::IComponent::iid, &object), kInvalidArgument);
}

TEST_F(ModuleTest, AnInstanceIsOwnedByTheHostAlone) {
  void* object = nullptr;
  ASSERT_EQ(module->Factory()->createInstance(fakeClass.cid.data(), Vst::IAudioProcessor::iid, &object),
            kResultOk);
  auto* processor = static_cast<Vst::IAudioProcessor*>(object);
  EXPECT_EQ(processor->addRef(), 2u);
  EXPECT_EQ(processor->release(), 1u);
  EXPECT_EQ(processor->release(), 0u);
}

TEST(ModuleLoadTest, ModulesThatCannotServeAreReported) {
  std::string error;
  EXPECT_EQ(PluginModule::Load(vst2host::ExecutableDirectory() + "NoSuchPlugin.vst3", &error), nullptr);
  EXPECT_NE(error.find("cannot load"), std::string::npos);
  // A library without the entry.
  EXPECT_EQ(PluginModule::Load("kernel32.dll", &error), nullptr);
  EXPECT_NE(error.find("no GetPluginFactory"), std::string::npos);
}

}  // namespace
}  // namespace vst3host
