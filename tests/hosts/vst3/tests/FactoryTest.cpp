// The class factory in-process: registration, the three record forms, and
// creation failures that a module cannot produce on purpose.

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "api/vst3/PluginFactory.h"
#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"
#include "tests/hosts/vst3/fake/FakeGain.h"

using namespace Steinberg;

namespace {

const TUID kFirst = INLINE_UID(1, 2, 3, 4);
const TUID kSecond = INLINE_UID(5, 6, 7, 8);

FUnknown* MakeNothing(void*) { return nullptr; }

FUnknown* MakeFake(void* context) {
  ++*static_cast<int*>(context);
  return fakegain::FakeGain::Create(nullptr);
}

CPluginFactory* NewFactory() {
  return new CPluginFactory(
      PFactoryInfo("Vendor", "https://example.invalid", "mailto:x@example.invalid", PFactoryInfo::kUnicode));
}

TEST(FactoryTest, RegistrationRefusesDuplicatesAndMissingCreateFunctions) {
  IPtr<CPluginFactory> factory(NewFactory(), false);
  PClassInfo2 info(kFirst, PClassInfo::kManyInstances, "Audio Module Class", "One", 0, "Fx", "", "1", "sdk");
  EXPECT_TRUE(factory->registerClass(&info, MakeNothing));
  EXPECT_FALSE(factory->registerClass(&info, MakeNothing));
  PClassInfo2 other(kSecond, 1, "Audio Module Class", "Two", 0, "Fx", "", "1", "sdk");
  EXPECT_FALSE(factory->registerClass(&other, nullptr));
  EXPECT_FALSE(factory->registerClass(static_cast<const PClassInfo2*>(nullptr), MakeNothing));
  EXPECT_EQ(factory->countClasses(), 1);
  EXPECT_TRUE(factory->isClassRegistered(kFirst));
  EXPECT_FALSE(factory->isClassRegistered(kSecond));
}

TEST(FactoryTest, TextsThatFillTheirFieldsStayTerminated) {
  IPtr<CPluginFactory> factory(NewFactory(), false);
  std::string longName(200, 'n');
  std::string longSub(300, 's');
  PClassInfo2 info(kFirst, 1, "Audio Module Class", nullptr, 0, nullptr, nullptr, nullptr, nullptr);
  // The SDK's constructor copies without a terminator when the text fills the field.
  std::memset(info.name, 'n', sizeof(info.name));
  std::memset(info.subCategories, 's', sizeof(info.subCategories));
  ASSERT_TRUE(factory->registerClass(&info, MakeNothing));

  PClassInfo2 out2;
  PClassInfoW outW;
  PClassInfo out;
  ASSERT_EQ(factory->getClassInfo2(0, &out2), kResultOk);
  ASSERT_EQ(factory->getClassInfoUnicode(0, &outW), kResultOk);
  ASSERT_EQ(factory->getClassInfo(0, &out), kResultOk);
  EXPECT_EQ(std::string(out2.name), longName.substr(0, PClassInfo::kNameSize - 1));
  EXPECT_EQ(std::string(out2.subCategories), longSub.substr(0, PClassInfo2::kSubCategoriesSize - 1));
  EXPECT_EQ(std::wstring(outW.name).size(), size_t(PClassInfo::kNameSize - 1));
  EXPECT_EQ(std::string(out.name), longName.substr(0, PClassInfo::kNameSize - 1));
}

TEST(FactoryTest, EachRecordFormIsAnsweredFromAnyOther) {
  IPtr<CPluginFactory> factory(NewFactory(), false);
  PClassInfo basic(kFirst, 1, "Service", "Basic");
  PClassInfoW wide(kSecond, 3, "Audio Module Class", L"Gr\u00fc\u00dfe \u266a", 2, "Fx|Delay", L"Maker",
                   L"2.0", L"VST 3.7.2");
  ASSERT_TRUE(factory->registerClass(&basic, MakeNothing));
  ASSERT_TRUE(factory->registerClass(&wide, MakeNothing));

  PClassInfoW basicW;
  ASSERT_EQ(factory->getClassInfoUnicode(0, &basicW), kResultOk);
  EXPECT_EQ(std::wstring(basicW.name), L"Basic");
  EXPECT_EQ(std::string(basicW.category), "Service");
  EXPECT_EQ(std::wstring(basicW.version), L"");

  PClassInfo2 wide2;
  ASSERT_EQ(factory->getClassInfo2(1, &wide2), kResultOk);
  EXPECT_EQ(std::string(wide2.name),
            "Gr\xc3\xbc\xc3\x9f"
            "e \xe2\x99\xaa");  // UTF-8
  EXPECT_EQ(std::string(wide2.subCategories), "Fx|Delay");
  EXPECT_EQ(std::string(wide2.vendor), "Maker");
  EXPECT_EQ(wide2.classFlags, 2u);
  EXPECT_EQ(wide2.cardinality, 3);
}

TEST(FactoryTest, CreationFailuresLeaveNoObjectBehind) {
  IPtr<CPluginFactory> factory(NewFactory(), false);
  int made = 0;
  PClassInfo empty(kFirst, 1, "Audio Module Class", "Empty");
  PClassInfo fake(kSecond, 1, "Audio Module Class", "Fake");
  ASSERT_TRUE(factory->registerClass(&empty, MakeNothing));
  ASSERT_TRUE(factory->registerClass(&fake, MakeFake, &made));

  void* object = reinterpret_cast<void*>(1);
  EXPECT_EQ(factory->createInstance(kFirst, Vst::IComponent::iid, &object), kOutOfMemory);
  EXPECT_EQ(object, nullptr);
  object = reinterpret_cast<void*>(1);
  EXPECT_EQ(factory->createInstance(kSecond, IPluginFactory::iid, &object), kNoInterface);
  EXPECT_EQ(object, nullptr);
  EXPECT_EQ(made, 1);  // made and released again

  ASSERT_EQ(factory->createInstance(kSecond, Vst::IComponent::iid, &object), kResultOk);
  EXPECT_EQ(made, 2);
  EXPECT_EQ(static_cast<Vst::IComponent*>(object)->release(), 0u);
}

TEST(FactoryTest, AnswersOnlyTheFactoryInterfaces) {
  IPtr<CPluginFactory> factory(NewFactory(), false);
  for (const FUID* iid :
       {&FUnknown::iid, &IPluginFactory::iid, &IPluginFactory2::iid, &IPluginFactory3::iid}) {
    void* object = nullptr;
    ASSERT_EQ(factory->queryInterface(*iid, &object), kResultOk);
    EXPECT_EQ(object, static_cast<IPluginFactory3*>(factory.get()));
    factory->release();
  }
  void* object = reinterpret_cast<void*>(1);
  EXPECT_EQ(factory->queryInterface(Vst::IComponent::iid, &object), kNoInterface);
  EXPECT_EQ(object, nullptr);
  PFactoryInfo info;
  ASSERT_EQ(factory->getFactoryInfo(&info), kResultOk);
  EXPECT_EQ(std::string(info.vendor), "Vendor");
  EXPECT_EQ(factory->getFactoryInfo(nullptr), kInvalidArgument);
}

}  // namespace
