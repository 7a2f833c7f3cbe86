// The single-component effect base in-process: one object answering every
// side, the defaults a plug-in inherits, and bad host input.

#include <gtest/gtest.h>

#include "api/vst3/SingleComponentEffect.h"
#include "pluginterfaces/vst/ivstmessage.h"
#include "pluginterfaces/vst/ivstunits.h"
#include "pluginterfaces/vst/vstspeaker.h"
#include "tests/hosts/vst3/HostApplication.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

// The base as it is, with one stereo bus each way and one parameter.
class PlainEffect : public SingleComponentEffect {
 public:
  tresult PLUGIN_API initialize(FUnknown* context) override {
    tresult result = SingleComponentEffect::initialize(context);
    if (result != kResultOk) return result;
    addAudioInput(STR16("In"), SpeakerArr::kStereo);
    addAudioOutput(STR16("Out"), SpeakerArr::kStereo, kMain, 0);
    addEventInput(STR16("Events"));
    parameters.addParameter(STR16("Level"), STR16("dB"), 0, 0.25, ParameterInfo::kCanAutomate, 7);
    return kResultOk;
  }
  int32 BusListCount() const {
    return int32(audioInputs.size() + audioOutputs.size() + eventInputs.size() + eventOutputs.size());
  }
};

class EffectTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(effect->initialize(host), kResultOk); }
  void TearDown() override { effect->terminate(); }

  IPtr<vst3host::HostApplication> host{new vst3host::HostApplication(), false};
  IPtr<PlainEffect> effect{new PlainEffect(), false};
};

template <typename Interface>
Interface* Side(FUnknown* object) {
  void* side = nullptr;
  if (object->queryInterface(Interface::iid, &side) != kResultOk) return nullptr;
  return static_cast<Interface*>(side);
}

TEST_F(EffectTest, EverySideIsTheSameCountedObject) {
  FUnknown* unknown = static_cast<IComponent*>(effect.get());
  IComponent* component = Side<IComponent>(unknown);
  IAudioProcessor* processor = Side<IAudioProcessor>(unknown);
  IEditController* controller = Side<IEditController>(unknown);
  IEditController2* controller2 = Side<IEditController2>(unknown);
  IUnitInfo* units = Side<IUnitInfo>(unknown);
  IConnectionPoint* connection = Side<IConnectionPoint>(unknown);
  IPluginBase* base = Side<IPluginBase>(unknown);
  ASSERT_TRUE(component && processor && controller && controller2 && units && connection && base);
  EXPECT_EQ(component, static_cast<IComponent*>(effect.get()));
  EXPECT_EQ(processor, static_cast<IAudioProcessor*>(effect.get()));
  EXPECT_EQ(controller, static_cast<IEditController*>(effect.get()));
  // The fixture's reference plus the seven sides.
  EXPECT_EQ(effect->addRef(), 9u);
  effect->release();
  for (FUnknown* side : std::initializer_list<FUnknown*>{component, processor, controller, controller2, units,
                                                         connection, base})
    side->release();
  EXPECT_EQ(effect->addRef(), 2u);
  effect->release();

  void* none = reinterpret_cast<void*>(1);
  EXPECT_EQ(unknown->queryInterface(IMessage::iid, &none), kNoInterface);
  EXPECT_EQ(none, nullptr);
  EXPECT_EQ(unknown->queryInterface(IComponent::iid, nullptr), kInvalidArgument);
}

TEST_F(EffectTest, KnowsItsClassChain) {
  EXPECT_STREQ(effect->isA(), "SingleComponentEffect");
  for (const char* name :
       {"SingleComponentEffect", "EditControllerEx1", "EditController", "ComponentBase", "FObject"})
    EXPECT_TRUE(effect->isTypeOf(name)) << name;
  EXPECT_FALSE(effect->isTypeOf("EditController", false));
  EXPECT_FALSE(effect->isTypeOf("Component"));
}

TEST_F(EffectTest, SecondInitializeIsRefusedAndTerminateStartsOver) {
  EXPECT_EQ(effect->initialize(host), kResultFalse);
  EXPECT_EQ(effect->getParameterCount(), 1);
  EXPECT_EQ(effect->terminate(), kResultOk);
  EXPECT_EQ(effect->getParameterCount(), 0);
  EXPECT_EQ(effect->BusListCount(), 0);
  EXPECT_EQ(effect->initialize(host), kResultOk);
  EXPECT_EQ(effect->getParameterCount(), 1);
  EXPECT_EQ(effect->BusListCount(), 3);
}

TEST_F(EffectTest, BusQueriesAnswerTheListsAndRefuseBadIndices) {
  EXPECT_EQ(effect->getBusCount(kAudio, kInput), 1);
  EXPECT_EQ(effect->getBusCount(kAudio, kOutput), 1);
  EXPECT_EQ(effect->getBusCount(kEvent, kInput), 1);
  EXPECT_EQ(effect->getBusCount(kEvent, kOutput), 0);
  EXPECT_EQ(effect->getBusCount(7, kInput), 0);

  BusInfo info{};
  ASSERT_EQ(effect->getBusInfo(kAudio, kOutput, 0, info), kResultOk);
  EXPECT_EQ(info.channelCount, 2);
  EXPECT_EQ(info.mediaType, kAudio);
  EXPECT_EQ(info.direction, kOutput);
  EXPECT_EQ(info.flags, 0u);
  EXPECT_EQ(std::wstring(info.name), L"Out");
  ASSERT_EQ(effect->getBusInfo(kEvent, kInput, 0, info), kResultOk);
  EXPECT_EQ(info.channelCount, 16);

  struct Case {
    MediaType type;
    BusDirection dir;
    int32 index;
  };
  for (Case bad : {Case{kAudio, kInput, 1}, Case{kAudio, kInput, -1}, Case{kEvent, kOutput, 0},
                   Case{9, kInput, 0}, Case{kAudio, 5, 0}}) {
    EXPECT_EQ(effect->getBusInfo(bad.type, bad.dir, bad.index, info), kInvalidArgument);
    EXPECT_EQ(effect->activateBus(bad.type, bad.dir, bad.index, true), kInvalidArgument);
  }
  SpeakerArrangement arrangement = 0;
  EXPECT_EQ(effect->getBusArrangement(kInput, 0, arrangement), kResultOk);
  EXPECT_EQ(arrangement, SpeakerArr::kStereo);
  EXPECT_EQ(effect->getBusArrangement(kInput, 1, arrangement), kInvalidArgument);
}

TEST_F(EffectTest, FixedBusesConfirmOnlyTheirOwnArrangements) {
  SpeakerArrangement stereo = SpeakerArr::kStereo, mono = SpeakerArr::kMono;
  EXPECT_EQ(effect->setBusArrangements(&stereo, 1, &stereo, 1), kResultOk);
  EXPECT_EQ(effect->setBusArrangements(&mono, 1, &stereo, 1), kResultFalse);
  EXPECT_EQ(effect->setBusArrangements(&stereo, 1, nullptr, 0), kResultFalse);
  EXPECT_EQ(effect->setBusArrangements(nullptr, 1, &stereo, 1), kInvalidArgument);
  EXPECT_EQ(effect->setBusArrangements(&stereo, -1, &stereo, 1), kInvalidArgument);
  SpeakerArrangement arrangement = 0;
  effect->getBusArrangement(kInput, 0, arrangement);
  EXPECT_EQ(arrangement, SpeakerArr::kStereo);
}

TEST_F(EffectTest, DefaultsProcessThirtyTwoBitSetUpsOnly) {
  EXPECT_EQ(effect->canProcessSampleSize(kSample32), kResultOk);
  EXPECT_EQ(effect->canProcessSampleSize(kSample64), kResultFalse);
  ProcessSetup setup{kRealtime, kSample64, 512, 48000.0};
  EXPECT_EQ(effect->setupProcessing(setup), kResultFalse);
  setup.symbolicSampleSize = kSample32;
  EXPECT_EQ(effect->setupProcessing(setup), kResultOk);
  EXPECT_EQ(effect->getLatencySamples(), 0u);
  EXPECT_EQ(effect->getTailSamples(), kNoTail);
  EXPECT_EQ(effect->setActive(true), kResultOk);
  ProcessData data;
  EXPECT_EQ(effect->process(data), kNotImplemented);
  TUID controllerClass;
  EXPECT_EQ(effect->getControllerClassId(controllerClass), kNotImplemented);
}

TEST_F(EffectTest, ParameterAndUnitIndicesOutsideTheListsAreRefused) {
  ParameterInfo info{};
  ASSERT_EQ(effect->getParameterInfo(0, info), kResultOk);
  EXPECT_EQ(info.id, 7u);
  EXPECT_DOUBLE_EQ(info.defaultNormalizedValue, 0.25);
  UnitInfo unit{};
  for (int32 bad : {-1, 1, 1000}) {
    EXPECT_EQ(effect->getParameterInfo(bad, info), kInvalidArgument);
    EXPECT_EQ(effect->getUnitInfo(bad, unit), kInvalidArgument);
  }
  EXPECT_EQ(effect->getUnitCount(), 0);
  EXPECT_EQ(effect->getUnitInfo(0, unit), kInvalidArgument);
}

}  // namespace
