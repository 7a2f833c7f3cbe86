// The dispatcher's answers, and what they change.

#include <cmath>
#include <cstring>
#include <string>

#include "tests/api/vst2/vst2_fixture.h"

namespace vst2test {
namespace {

using plugkit::IParamFlag;
using plugkit::IParamKind;

// A host buffer of `capacity` bytes followed by a guard area, so that a copy
// that writes past the published size shows.
struct GuardedText {
  explicit GuardedText(int32_t capacity) : size(capacity) { std::memset(bytes, '#', sizeof bytes); }
  char* data() { return bytes; }
  std::string Text() const { return std::string(bytes, ::strnlen(bytes, static_cast<size_t>(size))); }
  bool GuardIntact() const {
    for (size_t i = static_cast<size_t>(size); i < sizeof bytes; ++i)
      if (bytes[i] != '#') return false;
    return true;
  }
  int32_t size;
  char bytes[256];
};

// One text the dispatcher publishes: the opcode and index that ask for it,
// the size of the host's buffer, and the text the host should find there.
struct PublishedText {
  int32_t opcode;
  int32_t index;
  int32_t capacity;
  std::string text;
};

// Asks for the text into a guarded buffer of its size. opt is 0.5 for every
// call: the host extension that displays a value takes it as the value, the
// other opcodes ignore it.
template <typename Plugin>
void ExpectPublished(InProcess<Plugin>& p, const PublishedText& c) {
  SCOPED_TRACE(testing::Message() << "opcode " << c.opcode << " index " << c.index);
  GuardedText buffer(c.capacity);
  p.Dispatch(c.opcode, c.index, 0, buffer.data(), 0.5f);
  EXPECT_EQ(buffer.Text(), c.text);
  EXPECT_TRUE(buffer.GuardIntact());
}

TEST(Dispatcher, FixedAnswersAndUnknownOpcodes) {
  InProcess<TProbe> p;
  const struct {
    int32_t opcode;
    intptr_t answer;
  } cases[] = {
      {effGetVstVersion, 2400},
      {effIdentify, VstFourCC('N', 'v', 'E', 'f')},
      {effGetVendorVersion, 10000},
      {effGetPlugCategory, kPlugCategEffect},
      {effGetTailSize, 0},
      {effGetProgram, 0},
      {effGetVu, 0},
      {effEditIdle, 0},
      {effGetNumProgramCategories, 0},
      {effSetBypass, 0},
      {effKeysRequired, 0},
      {effGetMidiProgramName, 0},
      {effEndSetProgram, 0},
      {effShellGetNextPlugin, 0},
      {effSetProcessPrecision, 0},
      {1000, 0},
      {-1, 0},
  };
  for (const auto& c : cases) EXPECT_EQ(p.Dispatch(c.opcode), c.answer) << "opcode " << c.opcode;

  // No object behind the record, or no record at all.
  EXPECT_EQ(IVST2Binding::VSTDispatcher(nullptr, effGetVstVersion, 0, 0, nullptr, 0.0f), 0);
  AEffect orphan = *p.effect;
  orphan.object = nullptr;
  EXPECT_EQ(IVST2Binding::VSTDispatcher(&orphan, effGetVstVersion, 0, 0, nullptr, 0.0f), 0);
  EXPECT_EQ(IVST2Binding::EffectGetParameter(&orphan, 0), 0.0f);
}

TEST(Dispatcher, PublishesTheProductsTexts) {
  InProcess<TProbe> p;
  p.Start();
  const PublishedText cases[] = {
      {effGetParamName, 0, kVstMaxParamStrLen, "Coarse"},
      {effGetParamName, 2, kVstMaxParamStrLen, "Mix"},
      {effGetParamLabel, 1, kVstMaxParamStrLen, "Cents"},
      {effGetParamLabel, 2, kVstMaxParamStrLen, "%"},
      {effGetParamDisplay, 2, kVstMaxParamStrLen, "100"},
      {effGetEffectName, 0, kVstMaxEffectNameLen, "Tessivo"},
      {effGetVendorString, 0, kVstMaxVendorStrLen, "Corvath"},
      {effGetProductString, 0, kVstMaxProductStrLen, ""},
      {effGetProgramName, 0, kVstMaxProgNameLen, "Default"},
      {effGetProgramNameIndexed, 6, kVstMaxProgNameLen, "Octave down (mixed)"},
  };
  for (const PublishedText& c : cases) ExpectPublished(p, c);

  // Out of range or without a buffer: nothing written, 0.
  GuardedText untouched(kVstMaxParamStrLen);
  EXPECT_EQ(p.Dispatch(effGetParamName, 3, 0, untouched.data()), 0);
  EXPECT_EQ(p.Dispatch(effGetParamDisplay, -1, 0, untouched.data()), 0);
  EXPECT_EQ(untouched.bytes[0], '#');
  EXPECT_EQ(p.Dispatch(effGetEffectName), 0);
  EXPECT_EQ(p.Dispatch(effGetProgramNameIndexed, 7, 0, untouched.data()), 0);
  EXPECT_EQ(untouched.Text(), "");
  EXPECT_EQ(p.Dispatch(effGetProgramNameIndexed, 3, 0, untouched.data()), 1);
}

// A plug-in whose every published text is longer than any host buffer.
const std::string kLongText =
    "A text longer than every buffer a host hands over: 0123456789 abcdefghijklmnopqrstuvwxyz "
    "ABCDEFGHIJKLMNOPQRSTUVWXYZ 0123456789";

class TLongTexts : public TBareBinding {
public:
  explicit TLongTexts(audioMasterCallback host) : TBareBinding(host) {}
  bool GetMidiKeyLabel(int32_t /*key*/, plugkit::IStringBuffer& text) override {
    return text.Assign(kLongText.c_str());
  }

  static IPluginDescriptor Descriptor() {
    IPluginDescriptor d = PlainDescriptor();
    d.pluginName = d.productName = d.makerName = kLongText.c_str();
    return d;
  }
};

// A text field of a host record, read no further than the field.
template <size_t N>
std::string FieldText(const char (&field)[N]) {
  return std::string(field, ::strnlen(field, N));
}

// Every text the dispatcher publishes, each made longer than its buffer, is
// cut to the buffer's size with its NUL, and nothing behind the buffer is
// touched. The texts the parameter keeps are themselves cut to their 31- and
// 32-byte fields; the rest reach the dispatcher whole.
TEST(Dispatcher, TextsStayInsideThePublishedBuffers) {
  TBareBinding::NextDescriptor() = TLongTexts::Descriptor();
  InProcess<TLongTexts> p;
  p.Dispatch(effOpen);
  plugkit::IParam& param = *p.plugin->GetParam(0);
  param.Configure(kLongText.c_str(), 0, 0, 1, 0.01, kLongText.c_str(), 0, "", plugkit::IParam::ShapeLinear(),
                  plugkit::IParamUnitCode::Custom,
                  [](double, plugkit::IStringBuffer& out) { out.Assign(kLongText.c_str()); });
  p.Dispatch(effSetProgramName, 0, 0, const_cast<char*>(kLongText.c_str()));
  constexpr int32_t kVendorDisplayBytes = 33; // a display text of 32 characters and its NUL

  // Each buffer keeps all it can hold but its NUL.
  const auto cut = [](int32_t capacity) { return kLongText.substr(0, size_t(capacity - 1)); };
  const PublishedText cases[] = {
      {effGetParamName, 0, kVstMaxParamStrLen, cut(kVstMaxParamStrLen)},
      {effGetParamLabel, 0, kVstMaxParamStrLen, cut(kVstMaxParamStrLen)},
      {effGetParamDisplay, 0, kVstMaxParamStrLen, cut(kVstMaxParamStrLen)},
      {effGetProgramName, 0, kVstMaxProgNameLen, cut(kVstMaxProgNameLen)},
      {effGetProgramNameIndexed, 0, kVstMaxProgNameLen, cut(kVstMaxProgNameLen)},
      {effGetEffectName, 0, kVstMaxEffectNameLen, cut(kVstMaxEffectNameLen)},
      {effGetVendorString, 0, kVstMaxVendorStrLen, cut(kVstMaxVendorStrLen)},
      {effGetProductString, 0, kVstMaxProductStrLen, cut(kVstMaxProductStrLen)},
      {effVendorSpecific, 7, kVendorDisplayBytes, cut(kVendorDisplayBytes)},
  };
  for (const PublishedText& c : cases) ExpectPublished(p, c);

  // Texts inside the host's records: the fields written before and after the
  // text keep what the call gives them.
  VstPinProperties pin;
  std::memset(&pin, '#', sizeof pin);
  p.plugin->Channel(plugkit::IPortDirection::Input, 0)->label.Assign(kLongText.c_str());
  ASSERT_EQ(p.Dispatch(effGetInputProperties, 0, 0, &pin), 1);
  EXPECT_EQ(FieldText(pin.label), kLongText.substr(0, kVstMaxLabelLen - 1));
  EXPECT_EQ(pin.flags, kVstPinIsActive | kVstPinIsStereo);

  VstParameterProperties properties;
  std::memset(&properties, '#', sizeof properties);
  ASSERT_EQ(p.Dispatch(effGetParameterProperties, 0, 0, &properties), 1);
  EXPECT_EQ(FieldText(properties.label), kLongText.substr(0, plugkit::IParam::kTextSize - 1));
  EXPECT_EQ(properties.flags, kVstParameterUsesFloatStep);
  EXPECT_EQ(properties.shortLabel[0], '#');

  MidiKeyName key;
  std::memset(&key, '#', sizeof key);
  key.thisKeyNumber = 60;
  ASSERT_EQ(p.Dispatch(effGetMidiKeyName, 0, 0, &key), 1);
  EXPECT_EQ(FieldText(key.keyName), kLongText.substr(0, kVstMaxNameLen - 1));
  int32_t untouched;
  std::memset(&untouched, '#', sizeof untouched);
  EXPECT_EQ(key.reserved, untouched);
  EXPECT_EQ(key.flags, untouched);
}

// A text cut for a host never ends inside a character: a program name the
// host sends is stored as the whole characters that fit the title, and every
// text read back leaves out a character that would cross its buffer's end.
TEST(Dispatcher, TextsAreCutBetweenCharacters) {
  InProcess<TProbe> p;
  p.Start();
  const std::string a261(261, 'a');
  p.Dispatch(effSetProgramName, 0, 0, const_cast<char*>((a261 + "\xC3\xA9").c_str()));
  EXPECT_EQ(p.plugin->PresetTitleAt(0), a261);
  void* bank = nullptr;
  const intptr_t size = p.Dispatch(effGetChunk, 0, 0, &bank);
  ASSERT_GT(size, 12);
  int32_t titleLength = 0;
  std::memcpy(&titleLength, static_cast<const uint8_t*>(bank) + 8, sizeof titleLength); // after the header
  EXPECT_EQ(titleLength, 261);

  // "é" and "€" would take the buffer's last byte, which is the NUL's.
  p.Dispatch(effSetProgramName, 0, 0, const_cast<char*>((std::string(22, 'b') + "\xC3\xA9").c_str()));
  p.plugin->GetParam(Mix)->Configure("Mix", 100, 0, 100, 1, "%", 0, "", plugkit::IParam::ShapeLinear(),
                                     plugkit::IParamUnitCode::Custom,
                                     [](double, plugkit::IStringBuffer& out) { out.Assign("12345\xE2\x82\xAC"); });
  const PublishedText cases[] = {
      {effGetProgramName, 0, kVstMaxProgNameLen, std::string(22, 'b')},
      {effGetProgramNameIndexed, 0, kVstMaxProgNameLen, std::string(22, 'b')},
      {effGetParamDisplay, Mix, kVstMaxParamStrLen, "12345"},
  };
  for (const PublishedText& c : cases) ExpectPublished(p, c);
}

TEST(Dispatcher, Automation) {
  TBareBinding::NextDescriptor() = TBareBinding::PlainDescriptor();
  InProcess<TBareBinding> p;
  p.plugin->GetParam(1)->Configure("Locked", 0, 0, 1, 1, "", IParamFlag::HostLocked);
  EXPECT_EQ(p.Dispatch(effCanBeAutomated, 0), 1);
  EXPECT_EQ(p.Dispatch(effCanBeAutomated, 1), 0);
  EXPECT_EQ(p.Dispatch(effCanBeAutomated, 2), 0);
  EXPECT_EQ(p.Dispatch(effCanBeAutomated, -1), 0);
}

TEST(Dispatcher, Programs) {
  InProcess<TProbe> p;
  p.Start();
  p.Dispatch(effSetProgram, 0, 5);
  EXPECT_EQ(p.Dispatch(effGetProgram), 5);
  EXPECT_EQ(p.Value(Coarse), 12.0);
  EXPECT_STREQ(p.plugin->PresetTitle(), "Octave up");

  // Leaving a program keeps its edits: they are stored into it first.
  p.Set(Mix, 0.25f);
  p.Dispatch(effSetProgram, 0, 1);
  EXPECT_EQ(p.Value(Fine), 15.0);
  p.Dispatch(effSetProgram, 0, 5);
  EXPECT_EQ(p.Value(Mix), 25.0);

  for (intptr_t bad : {intptr_t{7}, intptr_t{-1}, intptr_t{1} << 33}) {
    p.Dispatch(effSetProgram, 0, bad);
    EXPECT_EQ(p.Dispatch(effGetProgram), 5);
  }

  EXPECT_EQ(p.Dispatch(effSetProgramName, 0, 0, nullptr), 0);
  p.Dispatch(effSetProgramName, 0, 0, const_cast<char*>("Mine"));
  EXPECT_STREQ(p.plugin->PresetTitleAt(5), "Mine");
  EXPECT_STREQ(p.plugin->PresetTitle(), "Mine");
}

TEST(Dispatcher, ParameterFromText) {
  InProcess<TProbe> p;
  p.Start();
  const double ratioBefore = p.plugin->TransposeRatio;
  EXPECT_EQ(p.Dispatch(effString2Parameter, Coarse, 0, nullptr), 1);
  EXPECT_EQ(p.plugin->TransposeRatio, ratioBefore);

  EXPECT_EQ(p.Dispatch(effString2Parameter, Coarse, 0, const_cast<char*>("7")), 1);
  EXPECT_EQ(p.Value(Coarse), 7.0);
  EXPECT_DOUBLE_EQ(p.plugin->TransposeRatio, std::pow(1.0594631, 7.0));
  ASSERT_FALSE(p.plugin->pushes.empty());
  EXPECT_EQ(p.plugin->pushes.back().value, 7.0);

  p.Dispatch(effString2Parameter, Coarse, 0, const_cast<char*>("3.6"));
  EXPECT_EQ(p.Value(Coarse), 4.0);
  p.Dispatch(effString2Parameter, Mix, 0, const_cast<char*>("500"));
  EXPECT_EQ(p.Value(Mix), 100.0);
  EXPECT_EQ(p.Dispatch(effString2Parameter, 3, 0, const_cast<char*>("1")), 0);
}

TEST(Dispatcher, PinProperties) {
  InProcess<TProbe> p;
  const struct {
    int32_t opcode;
    int32_t index;
    int32_t flags;
    const char* label;
  } cases[] = {
      {effGetInputProperties, 0, kVstPinIsActive | kVstPinIsStereo, "Input 1"},
      {effGetInputProperties, 1, kVstPinIsActive, "Input 2"},
      {effGetOutputProperties, 0, kVstPinIsActive | kVstPinIsStereo, "Output 1"},
      {effGetOutputProperties, 1, kVstPinIsActive, "Output 2"},
  };
  for (const auto& c : cases) {
    VstPinProperties pin{};
    EXPECT_EQ(p.Dispatch(c.opcode, c.index, 0, &pin), 1);
    EXPECT_EQ(pin.flags, c.flags);
    EXPECT_STREQ(pin.label, c.label);
  }
  VstPinProperties pin{};
  EXPECT_EQ(p.Dispatch(effGetInputProperties, 2, 0, &pin), 0);
  EXPECT_EQ(p.Dispatch(effGetOutputProperties, -1, 0, &pin), 0);
  EXPECT_EQ(p.Dispatch(effGetInputProperties, 0, 0, nullptr), 0);
}

TEST(Dispatcher, ParameterProperties) {
  InProcess<TProbe> p;
  VstParameterProperties coarse{};
  ASSERT_EQ(p.Dispatch(effGetParameterProperties, Coarse, 0, &coarse), 1);
  EXPECT_EQ(coarse.flags, kVstParameterUsesIntegerMinMax | kVstParameterUsesIntStep);
  EXPECT_EQ(coarse.minInteger, -12);
  EXPECT_EQ(coarse.maxInteger, 12);
  EXPECT_EQ(coarse.stepInteger, 1);
  EXPECT_EQ(coarse.largeStepInteger, 1);
  EXPECT_STREQ(coarse.label, "Semi");

  VstParameterProperties mix{};
  ASSERT_EQ(p.Dispatch(effGetParameterProperties, Mix, 0, &mix), 1);
  EXPECT_EQ(mix.flags, kVstParameterUsesFloatStep);
  EXPECT_EQ(mix.stepFloat, 1.0f);
  EXPECT_EQ(mix.smallStepFloat, 1.0f);
  EXPECT_EQ(mix.largeStepFloat, 1.0f);
  EXPECT_STREQ(mix.label, "%");

  p.plugin->GetParam(Fine)->SetKind(IParamKind::OnOff);
  VstParameterProperties toggle{};
  ASSERT_EQ(p.Dispatch(effGetParameterProperties, Fine, 0, &toggle), 1);
  EXPECT_EQ(toggle.flags, kVstParameterIsSwitch);

  EXPECT_EQ(p.Dispatch(effGetParameterProperties, 3, 0, &mix), 0);
  EXPECT_EQ(p.Dispatch(effGetParameterProperties, 0, 0, nullptr), 0);
}

TEST(Dispatcher, Capabilities) {
  InProcess<TProbe> p;
  const struct {
    const char* text;
    intptr_t answer;
  } cases[] = {
      {"receiveVstTimeInfo", 1},
      {"receiveVstEvents", 0},
      {"receiveVstMidiEvent", 0},
      {"sendVstEvents", 0},
      {"sendVstMidiEvent", 0},
      {"wantsChannelCountNotifications", 1},
      {"hasCockosExtensions", 0xbeef0000},
      {"hasCockosViewAsConfig", 0xbeef0000},
      {"receiveVstTimeInfo ", 0},
      {"bypass", 0},
      {"", 0},
  };
  for (const auto& c : cases) EXPECT_EQ(p.Dispatch(effCanDo, 0, 0, const_cast<char*>(c.text)), c.answer) << c.text;
  EXPECT_EQ(p.Dispatch(effCanDo, 0, 0, nullptr), 0);
  EXPECT_EQ(p.plugin->HostExtensionBits, 3);

  IPluginDescriptor midi = TBareBinding::PlainDescriptor();
  midi.midiIn = midi.midiOut = true;
  TBareBinding::NextDescriptor() = midi;
  InProcess<TBareBinding> b;
  EXPECT_EQ(b.Dispatch(effCanDo, 0, 0, const_cast<char*>("receiveVstMidiEvent")), 1);
  EXPECT_EQ(b.Dispatch(effCanDo, 0, 0, const_cast<char*>("sendVstEvents")), 1);
}

TEST(Dispatcher, HostExtensions) {
  InProcess<TProbe> p;
  char text[64] = {};
  EXPECT_EQ(p.Dispatch(effVendorSpecific, 7, Coarse, text, 0.75f), 0xbeef);
  EXPECT_STREQ(text, "6");
  std::strcpy(text, "kept");
  EXPECT_EQ(p.Dispatch(effVendorSpecific, 7, 3, text, 0.75f), 0xbeef);
  EXPECT_STREQ(text, "kept");
  EXPECT_EQ(p.Dispatch(effVendorSpecific, 7, Coarse, nullptr, 0.75f), 0);

  std::strcpy(text, "6");
  EXPECT_EQ(p.Dispatch(effVendorSpecific, 27, Coarse, text), 0xbeef);
  EXPECT_STREQ(text, "0.75000000000000000");
  std::strcpy(text, "250");  // clamped to the range before normalising
  EXPECT_EQ(p.Dispatch(effVendorSpecific, 27, Mix, text), 0xbeef);
  EXPECT_STREQ(text, "1.00000000000000000");
  text[0] = '\0';
  EXPECT_EQ(p.Dispatch(effVendorSpecific, 27, Mix, text), 0xbeef);
  EXPECT_STREQ(text, "");
  EXPECT_EQ(p.Dispatch(effVendorSpecific, 27, 5, text), 0);
  EXPECT_EQ(p.Value(Coarse), 0.0);  // only converted, never set

  // Two-state query: an on/off or 0..1 integer parameter has two states.
  EXPECT_EQ(p.Dispatch(effVendorSpecific, 8, Coarse), 0);
  p.plugin->GetParam(Fine)->SetKind(IParamKind::OnOff);
  EXPECT_EQ(p.Dispatch(effVendorSpecific, 8, Fine), 0xbeef);
  p.plugin->GetParam(Mix)->SetKind(IParamKind::Integer);
  p.plugin->GetParam(Mix)->Configure("Mix", 0, 0, 1, 1);
  EXPECT_EQ(p.Dispatch(effVendorSpecific, 8, Mix), 0xbeef);
  EXPECT_EQ(p.Dispatch(effVendorSpecific, 8, 3), 0);
  EXPECT_EQ(p.Dispatch(effVendorSpecific, 99, 0, text, 1.0f), 0);
}

TEST(Dispatcher, SampleRateBlockSizeAndSwitching) {
  InProcess<TProbe> p;
  p.Start(96000.0f, 256);
  EXPECT_EQ(p.plugin->LineLength, 8192);
  EXPECT_EQ(p.plugin->BlockSize(), 256);
  // The tail is a length here too: the line's, which the rate chose.
  EXPECT_EQ(p.Dispatch(effGetTailSize), 8192);

  // Rates that are not finite and positive, and block sizes of 0 or less,
  // leave the set-up as it was.
  for (float rate : {0.0f, -44100.0f, std::nanf(""), INFINITY}) {
    p.Dispatch(effSetSampleRate, 0, 0, nullptr, rate);
    EXPECT_EQ(p.plugin->SampleRate(), 96000.0);
    EXPECT_EQ(p.plugin->LineLength, 8192);
  }
  for (intptr_t size : {intptr_t{0}, intptr_t{-5}, -(intptr_t{1} << 40)}) {
    p.Dispatch(effSetBlockSize, 0, size);
    EXPECT_EQ(p.plugin->BlockSize(), 256);
  }
  p.Dispatch(effSetBlockSize, 0, intptr_t{1} << 40);
  EXPECT_EQ(p.plugin->BlockSize(), plugkit::IProcessor::kMaxBlockSize);
  p.Dispatch(effSetSampleRate, 0, 0, nullptr, 44100.0f);
  EXPECT_EQ(p.plugin->LineLength, 2048);
  EXPECT_EQ(p.Dispatch(effGetTailSize), 2048);

  // Switching on keeps the delay line; switching off restarts it.
  auto in = TestSignal(100);
  std::vector<std::vector<float>> out(2, std::vector<float>(100));
  float* inputs[] = {in[0].data(), in[1].data()};
  float* outputs[] = {out[0].data(), out[1].data()};
  p.effect->processReplacing(p.effect, inputs, outputs, 100);
  ASSERT_EQ(p.plugin->WriteIndex, 2048 - 100);
  p.Dispatch(effMainsChanged, 0, 1);
  EXPECT_EQ(p.plugin->WriteIndex, 2048 - 100);
  p.Dispatch(effMainsChanged, 0, 0);
  EXPECT_EQ(p.plugin->WriteIndex, 0);
  EXPECT_EQ(p.plugin->DelayLine[2047], 0.0);
}

TEST(Dispatcher, OpenIdentifiesTheHostOnce) {
  vst2host::HostSettings reaper;
  reaper.productString = "REAPER";
  reaper.vendorVersion = 60123;
  InProcess<TProbe> p(reaper);
  p.Set(Coarse, 1.0f);
  p.plugin->TransposeRatio = 0.0;
  p.Dispatch(effOpen);
  EXPECT_EQ(p.plugin->HostIdentity().Code, plugkit::kHostReaper);
  EXPECT_EQ(p.plugin->HostIdentity().Version, (6 << 16) | (1 << 8) | 23);
  // Every open sends every parameter as a reset.
  EXPECT_DOUBLE_EQ(p.plugin->TransposeRatio, std::pow(1.0594631, 12.0));
  p.plugin->TransposeRatio = 0.0;
  p.Dispatch(effOpen);
  EXPECT_DOUBLE_EQ(p.plugin->TransposeRatio, std::pow(1.0594631, 12.0));
  EXPECT_EQ(p.plugin->adaptCount, 1);
  EXPECT_EQ(p.plugin->hostKnownCount, 1);
  EXPECT_EQ(p.host.CountCalls(audioMasterGetProductString), 1u);

  // A host without a name is unknown; its version is not asked for.
  vst2host::HostSettings nameless;
  nameless.productString = "";
  InProcess<TProbe> q(nameless);
  q.Dispatch(effOpen);
  EXPECT_EQ(q.plugin->HostIdentity().Code, plugkit::kHostUnknown);
  EXPECT_EQ(q.plugin->HostIdentity().Version, 0);
  EXPECT_EQ(q.host.CountCalls(audioMasterGetVendorVersion), 0u);
}

TEST(Dispatcher, SomeHostsConnectOnlyTwoInputs) {
  IPluginDescriptor wide = TBareBinding::PlainDescriptor();
  wide.channelIO = "4-4";
  vst2host::HostSettings audition;
  audition.productString = "Adobe Audition";
  TBareBinding::NextDescriptor() = wide;
  InProcess<TBareBinding> p(audition);
  p.plugin->SetChannelsConnected(IPortDirection::Output, 2, 2, false);
  p.Dispatch(effOpen);
  ASSERT_EQ(p.plugin->HostIdentity().Code, plugkit::kHostAudition);
  EXPECT_TRUE(p.plugin->IsChannelConnected(IPortDirection::Input, 1));
  EXPECT_FALSE(p.plugin->IsChannelConnected(IPortDirection::Input, 2));
  EXPECT_FALSE(p.plugin->IsChannelConnected(IPortDirection::Input, 3));
  EXPECT_TRUE(p.plugin->IsChannelConnected(IPortDirection::Output, 3));
  EXPECT_EQ(p.effect->numInputs, 4);
  EXPECT_EQ(p.effect->numOutputs, 4);

  TBareBinding::NextDescriptor() = wide;
  InProcess<TBareBinding> other;
  other.Dispatch(effOpen);
  EXPECT_TRUE(other.plugin->IsChannelConnected(IPortDirection::Input, 3));
}

TEST(Dispatcher, SpeakerArrangements) {
  InProcess<TProbe> p;
  VstSpeakerArrangement mono{}, stereo{}, three{}, negative{};
  mono.numChannels = 1;
  stereo.numChannels = 2;
  three.numChannels = 3;
  negative.numChannels = -1;
  // A refused request changes no side, not even the one that was fine.
  EXPECT_EQ(p.Dispatch(effSetSpeakerArrangement, 0, reinterpret_cast<intptr_t>(&mono), &three), 0);
  EXPECT_EQ(p.Dispatch(effSetSpeakerArrangement, 0, reinterpret_cast<intptr_t>(&negative), nullptr), 0);
  EXPECT_TRUE(p.plugin->IsChannelConnected(IPortDirection::Input, 1));
  EXPECT_EQ(p.Dispatch(effSetSpeakerArrangement, 0, 0, nullptr), 1);

  EXPECT_EQ(p.Dispatch(effSetSpeakerArrangement, 0, reinterpret_cast<intptr_t>(&mono), &stereo), 1);
  EXPECT_FALSE(p.plugin->IsChannelConnected(IPortDirection::Input, 1));
  EXPECT_TRUE(p.plugin->IsChannelConnected(IPortDirection::Output, 1));
  EXPECT_EQ(p.Dispatch(effSetSpeakerArrangement, 0, reinterpret_cast<intptr_t>(&stereo), nullptr), 1);
  EXPECT_TRUE(p.plugin->IsChannelConnected(IPortDirection::Input, 1));

  VstSpeakerArrangement* in = &mono;
  VstSpeakerArrangement* out = &mono;
  EXPECT_EQ(p.Dispatch(effGetSpeakerArrangement, 0, reinterpret_cast<intptr_t>(&in), &out), 0);
  EXPECT_EQ(in, nullptr);
  EXPECT_EQ(out, nullptr);
  EXPECT_EQ(p.Dispatch(effGetSpeakerArrangement), 0);
}

// An input unconnected after it carried audio reads silence in both
// precisions, not the samples its scratch last held.
TEST(Dispatcher, UnconnectedInputReadsSilence) {
  InProcess<TProbe> p;
  p.Start(44100.0f, 64);
  p.Set(Mix, 0.0f);  // dry only: each output is its own input
  const int32_t frames = 64;
  std::vector<float> left(frames, 0.5f), right(frames, 0.25f), outL(frames), outR(frames);
  float* inputs[] = {left.data(), right.data()};
  float* outputs[] = {outL.data(), outR.data()};
  p.effect->processReplacing(p.effect, inputs, outputs, frames);
  ASSERT_EQ(outR[0], 0.25f);

  VstSpeakerArrangement mono{};
  mono.numChannels = 1;
  ASSERT_EQ(p.Dispatch(effSetSpeakerArrangement, 0, reinterpret_cast<intptr_t>(&mono), nullptr), 1);
  p.effect->processReplacing(p.effect, inputs, outputs, frames);
  EXPECT_EQ(outL[10], 0.5f);
  EXPECT_EQ(outR, std::vector<float>(frames, 0.0f));

  std::vector<double> dl(frames, 0.5), dr(frames, 0.25), doutL(frames), doutR(frames, 7.0);
  double* dinputs[] = {dl.data(), dr.data()};
  double* doutputs[] = {doutL.data(), doutR.data()};
  p.effect->processDoubleReplacing(p.effect, dinputs, doutputs, frames);
  EXPECT_EQ(doutL[10], 0.5);
  EXPECT_EQ(doutR, std::vector<double>(frames, 0.0));
}

TEST(Dispatcher, MidiKeyNames) {
  InProcess<TProbe> p;
  MidiKeyName key{};
  key.thisKeyNumber = 60;
  std::strcpy(key.keyName, "stale");
  EXPECT_EQ(p.Dispatch(effGetMidiKeyName, 0, 0, &key), 0);
  EXPECT_STREQ(key.keyName, "");
  EXPECT_EQ(p.Dispatch(effGetMidiKeyName, 0, 0, nullptr), 0);
}

TEST(Dispatcher, EventsFromTheHost) {
  InProcess<TProbe> p;
  VstMidiEvent note{};
  note.type = kVstMidiType;
  note.byteSize = sizeof note;
  note.deltaFrames = 12;
  note.midiData[0] = static_cast<char>(0x90);
  note.midiData[1] = 60;
  note.midiData[2] = 100;
  char dump[] = {static_cast<char>(0xf0), 0x7e, static_cast<char>(0xf7)};
  VstMidiSysexEvent sysex{};
  sysex.type = kVstSysExType;
  sysex.byteSize = sizeof sysex;
  sysex.deltaFrames = 3;
  sysex.dumpBytes = 3;
  sysex.sysexDump = dump;
  VstMidiSysexEvent broken = sysex;
  broken.dumpBytes = -4;
  VstEvent other{};
  other.type = kVstParameterType;

  struct {
    int32_t numEvents;
    intptr_t reserved;
    VstEvent* events[5];
  } list{5, 0,
         {reinterpret_cast<VstEvent*>(&note), nullptr, &other, reinterpret_cast<VstEvent*>(&broken),
          reinterpret_cast<VstEvent*>(&sysex)}};
  EXPECT_EQ(p.Dispatch(effProcessEvents, 0, 0, &list), 1);
  EXPECT_EQ(p.plugin->events, (std::vector<std::string>{"midi 12 144 60 100", "sysex 3 240 126 247"}));

  // The note also went to the editor's queue, which the tick drains.
  p.plugin->events.clear();
  StillTimer timer;
  p.plugin->OnEditorTimer(timer);
  EXPECT_EQ(p.plugin->events, (std::vector<std::string>{"editor midi 12 144"}));

  p.plugin->events.clear();
  list.numEvents = 0;
  EXPECT_EQ(p.Dispatch(effProcessEvents, 0, 0, &list), 1);
  EXPECT_EQ(p.Dispatch(effProcessEvents, 0, 0, nullptr), 0);
  EXPECT_TRUE(p.plugin->events.empty());
}

TEST(Dispatcher, EditorOpenAndClose) {
  InProcess<TProbe> p;
  // Without a parent window the editor cannot open: the host gets no view,
  // and closing frees the graphics made for the attempt.
  EXPECT_EQ(p.Dispatch(effEditOpen), 0);
  EXPECT_NE(p.plugin->EditorGraphics(), nullptr);
  EXPECT_EQ(p.Dispatch(effEditClose), 1);
  EXPECT_EQ(p.plugin->EditorGraphics(), nullptr);
  EXPECT_EQ(p.plugin->events, (std::vector<std::string>{"attach", "detach", "hidden"}));

  int window = 0;
  p.plugin->editorView = &window;
  p.plugin->events.clear();
  EXPECT_EQ(p.Dispatch(effEditOpen, 0, 0, &window), 1);
  EXPECT_TRUE(p.plugin->IsEditorOpen());
  EXPECT_EQ(p.Dispatch(effEditClose), 1);
  EXPECT_EQ(p.Dispatch(effEditClose), 1);
  EXPECT_FALSE(p.plugin->IsEditorOpen());
  EXPECT_EQ(p.plugin->events, (std::vector<std::string>{"attach", "detach", "hidden"}));
}

TEST(Dispatcher, CloseRunsTheEditorCloseFirst) {
  std::vector<std::string> log;
  InProcess<TProbe> p;
  int window = 0;
  p.plugin->editorView = &window;
  p.plugin->sharedLog = &log;
  ASSERT_EQ(p.Dispatch(effEditOpen, 0, 0, &window), 1);
  p.Close();
  EXPECT_EQ(log, (std::vector<std::string>{"attach", "detach", "hidden", "destroyed"}));
}

} // namespace
} // namespace vst2test
