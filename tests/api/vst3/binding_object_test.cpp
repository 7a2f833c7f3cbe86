// The plug-in object: interfaces, initialise and terminate, host
// identification, buses and the host calls the framework makes.

#include <gtest/gtest.h>

#include <atomic>

#include "api/vst3/IVST3Factory.h"
#include "core/IHostIdentity.h"
#include "pluginterfaces/vst/ivstmidicontrollers.h"
#include "pluginterfaces/vst/ivsthostapplication.h"
#include "tests/api/vst3/vst3_fixture.h"
#include "tests/hosts/vst3/ComponentHandler.h"
#include "tests/hosts/vst3/HostApplication.h"

namespace vst3test {
namespace {

// A host that fills the name buffer and then reports that it failed.
class FailingNameHost : public IHostApplication {
public:
  virtual ~FailingNameHost() = default;
  tresult PLUGIN_API getName(String128 name) override {
    const char16_t text[] = u"WaveLab";
    for (size_t i = 0; i < sizeof text / sizeof text[0]; ++i) name[i] = static_cast<TChar>(text[i]);
    return kResultFalse;
  }
  tresult PLUGIN_API createInstance(TUID, TUID, void** obj) override {
    *obj = nullptr;
    return kResultFalse;
  }
  tresult PLUGIN_API queryInterface(const TUID iid, void** obj) override {
    if (FUnknownPrivate::iidEqual(iid, IHostApplication::iid) || FUnknownPrivate::iidEqual(iid, FUnknown::iid)) {
      addRef();
      *obj = static_cast<IHostApplication*>(this);
      return kResultOk;
    }
    *obj = nullptr;
    return kNoInterface;
  }
  uint32 PLUGIN_API addRef() override { return ++refs; }
  uint32 PLUGIN_API release() override { return --refs; }
  std::atomic<uint32> refs{1};
};

template <typename Interface>
bool Answers(FUnknown* object) {
  void* result = nullptr;
  if (object->queryInterface(Interface::iid, &result) != kResultOk || !result) return false;
  static_cast<Interface*>(result)->release();
  return true;
}

TEST(VST3Object, AnswersItsInterfacesAndClassNames) {
  Held<TProbe> plugin(new TProbe());
  FUnknown* unknown = static_cast<IAudioProcessor*>(plugin.get());
  EXPECT_TRUE(Answers<IComponent>(unknown));
  EXPECT_TRUE(Answers<IAudioProcessor>(unknown));
  EXPECT_TRUE(Answers<IEditController>(unknown));
  EXPECT_TRUE(Answers<IEditController2>(unknown));
  EXPECT_TRUE(Answers<IUnitInfo>(unknown));
  EXPECT_TRUE(Answers<IConnectionPoint>(unknown));
  EXPECT_TRUE(Answers<IMidiMapping>(unknown));
  EXPECT_STREQ(plugin->isA(), "IVST3Binding");
  EXPECT_TRUE(plugin->isTypeOf("IVST3Binding", false));
  EXPECT_TRUE(plugin->isTypeOf("SingleComponentEffect", true));
  EXPECT_TRUE(plugin->isTypeOf("EditController", true));
  EXPECT_FALSE(plugin->isTypeOf("SingleComponentEffect", false));
  EXPECT_EQ(plugin->ApiKind(), static_cast<int32_t>(plugkit::EApiKind::VST3));
}

TEST(VST3Object, InitialiseOnceUntilTerminatedEvenWithoutContext) {
  Held<TProbe> plugin(new TProbe());
  ASSERT_EQ(plugin->initialize(nullptr), kResultOk);
  EXPECT_EQ(plugin->getParameterCount(), 4);
  EXPECT_EQ(plugin->initialize(nullptr), kResultFalse);
  EXPECT_EQ(plugin->getParameterCount(), 4);
  EXPECT_EQ(plugin->getBusCount(kAudio, kInput), 1);

  // Every parameter reached the product with the source Reset.
  int resets = 0;
  for (const ChangeRecord& c : plugin->changes) resets += c.source == plugkit::IChangeSource::Reset;
  EXPECT_EQ(resets, 3);

  ASSERT_EQ(plugin->terminate(), kResultOk);
  EXPECT_EQ(plugin->BypassParameter, nullptr);
  EXPECT_EQ(plugin->getParameterCount(), 0);
  // The freed bypass parameter is not reached through the stale pointer.
  EXPECT_EQ(plugin->setParamNormalized(plugkit::IVST3ControllerBase::kBypassParamId, 1.0), kResultFalse);
  EXPECT_EQ(LoadState(*plugin, SaveState(*plugin)), kResultOk);

  ASSERT_EQ(plugin->initialize(nullptr), kResultOk);
  EXPECT_EQ(plugin->getParameterCount(), 4);
  EXPECT_EQ(plugin->getBusCount(kAudio, kOutput), 1);
}

TEST(VST3Object, IdentifiesTheHostOnlyFromANameItGave) {
  {
    Held<TProbe> plugin(new TProbe());
    IPtr<vst3host::HostApplication> host(new vst3host::HostApplication("WaveLab 11"), false);
    ASSERT_EQ(plugin->initialize(host), kResultOk);
    EXPECT_EQ(plugin->HostIdentity().Code, plugkit::kHostWaveLab);
    EXPECT_EQ(host->GetNameCalls(), 1);
    EXPECT_EQ(plugin->hostKnown, 2);
    plugin->terminate();
  }
  {
    Held<TProbe> plugin(new TProbe());
    FailingNameHost failing;
    ASSERT_EQ(plugin->initialize(&failing), kResultOk);
    EXPECT_EQ(plugin->HostIdentity().Code, plugkit::kHostUnidentified);
    plugin->terminate();
    EXPECT_EQ(failing.refs.load(), 1u);
    // A later initialize whose host names itself still identifies it.
    IPtr<vst3host::HostApplication> host(new vst3host::HostApplication("Reaper"), false);
    ASSERT_EQ(plugin->initialize(host), kResultOk);
    EXPECT_EQ(plugin->HostIdentity().Code, plugkit::kHostReaper);
    plugin->terminate();
  }
}

TEST(VST3Object, HasOneStereoBusEachWayAndTakesOnlyThatLayout) {
  Held<TProbe> plugin(new TProbe());
  ASSERT_EQ(plugin->initialize(nullptr), kResultOk);
  EXPECT_EQ(plugin->getBusCount(kEvent, kInput), 0);
  EXPECT_EQ(plugin->getBusCount(kEvent, kOutput), 0);
  for (BusDirection dir : {static_cast<BusDirection>(kInput), static_cast<BusDirection>(kOutput)}) {
    BusInfo info{};
    ASSERT_EQ(plugin->getBusInfo(kAudio, dir, 0, info), kResultTrue);
    EXPECT_EQ(info.channelCount, 2);
    EXPECT_EQ(info.busType, kMain);
    SpeakerArrangement arrangement = 0;
    ASSERT_EQ(plugin->getBusArrangement(dir, 0, arrangement), kResultTrue);
    EXPECT_EQ(arrangement, SpeakerArrangement(0x3));
  }
  SpeakerArrangement stereo = 0x3, mono = 0x80000;
  EXPECT_EQ(plugin->setBusArrangements(&stereo, 1, &stereo, 1), kResultTrue);
  EXPECT_EQ(plugin->setBusArrangements(&mono, 1, &stereo, 1), kResultFalse);
  EXPECT_EQ(plugin->setBusArrangements(&stereo, 2, &stereo, 1), kResultFalse);

  const struct {
    int32 size;
    tresult expected;
  } sizes[] = {{kSample32, kResultOk}, {kSample64, kResultOk}, {2, kResultFalse}, {-1, kResultFalse}};
  for (const auto& s : sizes) EXPECT_EQ(plugin->canProcessSampleSize(s.size), s.expected) << s.size;
  ProcessSetup bad{kRealtime, 2, 512, 44100.0};
  EXPECT_EQ(plugin->setupProcessing(bad), kResultFalse);
  ProcessSetup noRate{kRealtime, kSample32, 512, 0.0};
  EXPECT_EQ(plugin->setupProcessing(noRate), kResultFalse);
  EXPECT_EQ(plugin->SampleRate(), 44100.0);
  EXPECT_EQ(plugin->BlockSize(), 0);
}

TEST(VST3Object, SpeakerArrangementsByChannelCount) {
  const struct {
    int32_t channels;
    SpeakerArrangement arrangement;
  } table[] = {{1, 0x80000},  {2, 0x3},    {3, 0x7},          {4, 0xF00000},  {5, 0x37},         {6, 0x3F},
               {7, 0xF7},     {8, 0x63F},  {9, 0x7C000F00000}, {10, 0x300063F}, {16, 0x3FFC000F00000},
               {0, 0},        {11, 0},     {-64, 0}};
  for (const auto& row : table)
    EXPECT_EQ(plugkit::IVST3ProcessorBase::SpeakerArrangementForBus(row.channels), row.arrangement) << row.channels;
}

TEST(VST3Object, FrameworkHostCallsReachTheComponentHandler) {
  Held<TProbe> plugin(new TProbe());
  ASSERT_EQ(plugin->initialize(nullptr), kResultOk);
  // Without a handler nothing is sent and nothing fails.
  plugin->NotifyHostParamInfoChanged();

  IPtr<vst3host::ComponentHandler> handler(new vst3host::ComponentHandler(), false);
  ASSERT_EQ(plugin->setComponentHandler(handler), kResultTrue);
  plugin->GetParam(Mix)->Set(50.0);
  plugin->SendAllParamValuesToHost();
  plugin->BeginEditorGesture(Coarse);
  plugin->SetParamFromEditor(Coarse, 1.0);
  plugin->EndEditorGesture(Coarse);
  plugin->NotifyHostParamInfoChanged();
  plugin->ChangeLatency(64);

  using K = vst3host::HandlerCall::EKind;
  const std::vector<vst3host::HandlerCall> calls = handler->Calls();
  const struct {
    K kind;
    ParamID id;
    double value;
    int32 flags;
  } expected[] = {{K::StartGroupEdit, 0, 0, 0},  {K::PerformEdit, 0, 0.5, 0}, {K::PerformEdit, 1, 0.5, 0},
                  {K::PerformEdit, 2, 0.5, 0},   {K::FinishGroupEdit, 0, 0, 0}, {K::BeginEdit, 0, 0, 0},
                  {K::PerformEdit, 0, 1.0, 0},   {K::EndEdit, 0, 0, 0},     {K::RestartComponent, 0, 0, kParamTitlesChanged},
                  {K::RestartComponent, 0, 0, kLatencyChanged}};
  ASSERT_EQ(calls.size(), sizeof expected / sizeof expected[0]);
  for (size_t i = 0; i < calls.size(); ++i) {
    EXPECT_EQ(calls[i].kind, expected[i].kind) << i;
    EXPECT_EQ(calls[i].id, expected[i].id) << i;
    EXPECT_DOUBLE_EQ(calls[i].value, expected[i].value) << i;
    EXPECT_EQ(calls[i].flags, expected[i].flags) << i;
  }
  EXPECT_EQ(plugin->getLatencySamples(), 64u);
  plugin->setComponentHandler(nullptr);
  plugin->terminate();
}

TEST(VST3Object, ClassRecordBuildsTheClassIdAndBoundedFields) {
  plugkit::IVST3ClassRecord record;
  record.className = "Tessivo";
  record.makerCode = 0x576B7A6D;  // "Wkzm"
  record.uniqueCode = 0x574B5A4D; // "WKZM"
  record.version = "1.0.2";
  record.sdkVersion = "VST 3.6.13";
  const std::string longName(200, 'x');
  record.classVendor = longName.c_str();
  const PClassInfo2 info = plugkit::BuildFactoryClassInfo(record);
  const unsigned char expected[16] = {0x0D, 0xE7, 0xAE, 0xF2, 0xDE, 0x00, 0x4E, 0x4F,
                                      'W',  'k',  'z',  'm',  'W',  'K',  'Z',  'M'};
  EXPECT_EQ(std::memcmp(info.cid, expected, 16), 0);
  EXPECT_EQ(info.cardinality, PClassInfo::kManyInstances);
  EXPECT_STREQ(info.category, "Audio Module Class");
  EXPECT_STREQ(info.name, "Tessivo");
  EXPECT_EQ(info.classFlags, 2u);
  EXPECT_STREQ(info.subCategories, "Fx");
  EXPECT_EQ(std::string(info.vendor), longName.substr(0, 63));
  EXPECT_STREQ(info.version, "1.0.2");
  EXPECT_STREQ(info.sdkVersion, "VST 3.6.13");
  EXPECT_EQ(plugkit::CreateVST3Factory(record, nullptr), nullptr);
}

} // namespace
} // namespace vst3test
