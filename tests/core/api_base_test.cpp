#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "core/IApiBase.h"
#include "core/IHostIdentity.h"
#include "core/IParam.h"
#include "core/IStateBuffer.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "tests/support/host_thread.h"
#include "tests/support/message_pump.h"

namespace plugkit {
namespace {

// A stopped timer to hand to the tick when the test drives it by hand.
class StillTimer : public Timer {
public:
  void Cancel() override {}
};

IPluginDescriptor MakeDescriptor(bool hasEditor = true) {
  IPluginDescriptor d;
  d.paramCount = 3;
  d.presetCount = 2;
  d.channelIO = "2-2";
  d.pluginName = "Tessivo";
  d.productName = "Tessivo Pitch";
  d.makerName = "Corvath";
  d.vendorVersion = (1 << 16) | (2 << 8) | 3;
  d.uniqueCode = 0x574B5A4D;
  d.makerCode = 0x576B7A6D;
  d.stateChunks = true;
  d.hasEditor = hasEditor;
  d.editorWidth = 250;
  d.editorHeight = 160;
  d.extraIdentifier = "extra";
  return d;
}

// Records every overridable call it sees, with what matters for ordering, and
// the thread each editor push arrived on.
class RecordingPlugin : public IApiBase {
public:
  explicit RecordingPlugin(const IPluginDescriptor& d = MakeDescriptor()) : IApiBase(d) {
    GetParam(0)->Configure("Coarse", 0.0, -12.0, 12.0, 1.0, "Semi", IParamFlag::Quantised);
    GetParam(1)->Configure("Fine", 0.0, -100.0, 100.0, 1.0, "Cents", IParamFlag::Quantised);
    GetParam(2)->Configure("Mix", 100.0, 0.0, 100.0, 0.01, "%");
  }

  std::vector<std::string> events;
  std::vector<DWORD> pushThreads;
  int tickCount = 0;
  double moveValueInChangeHandler = 0.0;
  bool moveInChangeHandler = false;

  void Record(const char* format, ...) {
    char text[160];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    events.emplace_back(text);
  }

  void SendHostParamValue(int32_t index, double normalised) override {
    Record("send %d %.4f (param %.4f)", index, normalised, GetParam(index)->Value());
  }
  void BeginHostParamEdit(int32_t index) override { Record("begin %d", index); }
  void EndHostParamEdit(int32_t index) override { Record("end %d", index); }
  void OnParamChange(int32_t index, IChangeSource source, int32_t offset) override {
    Record("change %d %s %d", index, ChangeSourceText(source), offset);
    if (moveInChangeHandler) GetParam(index)->Set(moveValueInChangeHandler);
  }
  void OnParamChangeForEditor(int32_t index, IChangeSource source) override {
    Record("editor %d %s (param %.4f)", index, ChangeSourceText(source), GetParam(index)->Value());
  }
  void PushParamValue(int32_t index, double value, bool isNormalised) override {
    Record("push %d %.4f %s", index, value, isNormalised ? "normalised" : "real");
    pushThreads.push_back(GetCurrentThreadId());
  }
  void PushMidiToEditor(const IMidiShortMessage& m) override {
    Record("midi %d %d %d %d", m.frameOffset, m.status, m.data1, m.data2);
  }
  void PushSysExToEditor(const ISysExView& v) override {
    Record("sysex %d %d %d", v.frameOffset, v.size, v.size > 0 && v.data ? v.data[0] : -1);
  }
  bool OnTaggedMessage(int32_t messageTag, int32_t controlTag, int32_t size, const void*) override {
    Record("tagged %d %d %d", messageTag, controlTag, size);
    return true;
  }
  void AdaptToHost() override { Record("adapt %d", HostIdentity().Code); }
  void OnHostKnown() override { Record("known %d", HostIdentity().Code); }
  void OnEditorTick() override {
    ++tickCount;
    Record("tick");
  }

  void Tick() {
    StillTimer t;
    OnEditorTimer(t);
  }

  using IApiBase::HasEditorTimer;
  using IApiBase::ParamUpdateQueue;
  using IApiBase::MidiToEditorQueue;
  using IApiBase::MidiToProcessorQueue;
  using IApiBase::QueueMidiForEditor;
  using IApiBase::QueueParamForEditor;
  using IApiBase::QueueSysExForEditor;
  using IApiBase::StartEditorTimer;
  using IApiBase::StopEditorTimer;
  using IApiBase::SysExToEditorQueue;
  using IApiBase::SysExToProcessorQueue;
  using IApiBase::TakeMidiForProcessor;
  using IApiBase::TakeSysExForProcessor;
  void SetApiKind(EApiKind kind) { mApiKind = static_cast<int32_t>(kind); }
};

using Events = std::vector<std::string>;

TEST(ApiBase, ConstructionCopiesTheRecord) {
  std::string longName(200, 'n');
  IPluginDescriptor d = MakeDescriptor();
  d.productName = longName.c_str();
  RecordingPlugin p(d);
  EXPECT_EQ(3, p.ParamCount());
  EXPECT_EQ(2, p.PresetCount());
  EXPECT_STREQ("Tessivo", p.PluginName());
  EXPECT_EQ(std::string(128, 'n'), p.ProductName());
  EXPECT_STREQ("Corvath", p.MakerName());
  EXPECT_STREQ("extra", p.ExtraIdentifier());
  EXPECT_EQ(d.uniqueCode, p.UniqueCode());
  EXPECT_EQ(d.makerCode, p.MakerCode());
  EXPECT_EQ(d.vendorVersion, p.VendorVersion());
  EXPECT_TRUE(p.HasEditor());
  EXPECT_TRUE(p.UsesStateChunks());
  EXPECT_EQ(250, p.EditorWidth());
  EXPECT_EQ(160, p.EditorHeight());
  EXPECT_EQ(static_cast<int32_t>(EApiKind::VST2), p.ApiKind());
  EXPECT_EQ(kHostUnidentified, p.HostIdentity().Code);
  EXPECT_TRUE(p.OnUserInterfaceThread());
  EXPECT_FALSE(p.HasEditorTimer());
  EXPECT_EQ(nullptr, p.GetEditorView());

  EXPECT_EQ(512, p.ParamUpdateQueue().Capacity());
  EXPECT_EQ(32, p.MidiToEditorQueue().Capacity());
  EXPECT_EQ(32, p.MidiToProcessorQueue().Capacity());
  EXPECT_EQ(4, p.SysExToEditorQueue().Capacity());
  EXPECT_EQ(4, p.SysExToProcessorQueue().Capacity());
}

TEST(ApiBase, NullTextsInTheRecordReadEmpty) {
  IPluginDescriptor d;
  d.paramCount = 0;
  IApiBase p(d);
  EXPECT_STREQ("", p.PluginName());
  EXPECT_STREQ("", p.ExtraIdentifier());
  EXPECT_EQ(0, p.ParamCount());
}

// --- Editor -> host -------------------------------------------------------------------

TEST(ApiBase, SetParamFromEditorTellsTheHostBeforeTheChangeHandler) {
  RecordingPlugin p;
  p.SetParamFromEditor(0, 0.75); // -12 + 0.75 * 24 = 6
  EXPECT_EQ((Events{"send 0 0.7500 (param 6.0000)", "change 0 UI -1", "editor 0 UI (param 6.0000)"}), p.events);
  EXPECT_EQ(6.0, p.GetParam(0)->Value());
}

TEST(ApiBase, SetParamFromEditorReappliesAfterTheChangeHandler) {
  RecordingPlugin p;
  p.moveInChangeHandler = true;
  p.moveValueInChangeHandler = -3.0;
  p.SetParamFromEditor(0, 0.75);
  ASSERT_EQ(3u, p.events.size());
  EXPECT_EQ("editor 0 UI (param 6.0000)", p.events[2]);
}

TEST(ApiBase, GesturesAndResizeReachTheHostCalls) {
  RecordingPlugin p;
  p.BeginEditorGesture(2);
  p.EndEditorGesture(2);
  EXPECT_EQ((Events{"begin 2", "end 2"}), p.events);

  EXPECT_FALSE(p.RequestEditorResize(500, 320)) << "the base has no host to ask";
  EXPECT_EQ(500, p.EditorWidth());
  EXPECT_EQ(320, p.EditorHeight());
}

TEST(ApiBase, OutOfRangeIndicesAreIgnoredEverywhere) {
  RecordingPlugin p;
  for (int32_t index : {-1, 3, INT32_MIN, INT32_MAX}) {
    SCOPED_TRACE(index);
    p.SetParamFromEditor(index, 0.5);
    p.BeginEditorGesture(index);
    p.EndEditorGesture(index);
    p.PushParamFromHost(index, 0.5, true);
    p.PushParamFromHost(index, 0.5, false);
    EXPECT_TRUE(p.events.empty());
  }
}

TEST(ApiBase, NonFiniteValuesAreIgnored) {
  RecordingPlugin p;
  const double before = p.GetParam(2)->Value();
  for (double bad : {NAN, INFINITY, -INFINITY}) {
    p.SetParamFromEditor(2, bad);
    p.PushParamFromHost(2, bad, true);
    p.PushParamFromHost(2, bad, false);
  }
  EXPECT_TRUE(p.events.empty());
  EXPECT_EQ(before, p.GetParam(2)->Value());
}

TEST(ApiBase, SendAllParamValuesToHostSendsEachNormalisedInOrder) {
  RecordingPlugin p;
  p.GetParam(0)->Set(6.0);
  p.GetParam(1)->Set(-50.0);
  p.SendAllParamValuesToHost();
  EXPECT_EQ((Events{"send 0 0.7500 (param 6.0000)", "send 1 0.2500 (param -50.0000)",
                    "send 2 1.0000 (param 100.0000)"}),
            p.events);
}

TEST(ApiBase, EditorMessagesAreRoutedToTheirHandlers) {
  RecordingPlugin p;
  p.RouteEditorMessage(7, 3, 12, nullptr);
  EXPECT_EQ((Events{"tagged 7 3 12"}), p.events);

  IMidiShortMessage m{};
  m.status = 0x90;
  m.data1 = 60;
  p.RouteEditorMidi(m);
  IMidiShortMessage out{};
  ASSERT_TRUE(p.TakeMidiForProcessor(out));
  EXPECT_EQ(60, out.data1);

  const uint8_t bytes[] = {0xF0, 0x7E, 0xF7};
  ISysExView v{};
  v.size = 3;
  v.data = bytes;
  p.RouteEditorSysEx(v);
  ISysExPacket packet;
  ASSERT_TRUE(p.TakeSysExForProcessor(packet));
  EXPECT_EQ(3, packet.size);
  EXPECT_EQ(0xF7, packet.data[2]);
}

// --- Host -> editor -------------------------------------------------------------------

TEST(ApiBase, PushParamFromHostHandsRealValuesToTheEditor) {
  struct Case { int32_t index; double value; bool normalised; const char* pushed; };
  const Case cases[] = {
      {0, 0.5, true, "push 0 0.0000 real"},      // -12..12: the middle is 0
      {0, 0.0, true, "push 0 -12.0000 real"},
      {0, 1.0, true, "push 0 12.0000 real"},
      {0, 0.52, true, "push 0 0.0000 real"},     // 0.48 rounds to the step
      {0, 1.5, true, "push 0 12.0000 real"},     // clamped
      {2, 0.255, true, "push 2 25.5000 real"},   // not quantised: kept as is
      {1, 42.0, false, "push 1 42.0000 real"},   // real values pass unchanged
  };
  for (const Case& c : cases) {
    RecordingPlugin p;
    const double before = p.GetParam(c.index)->Value();
    p.PushParamFromHost(c.index, c.value, c.normalised);
    EXPECT_EQ((Events{c.pushed}), p.events) << c.index << " " << c.value;
    EXPECT_EQ(before, p.GetParam(c.index)->Value()) << "the parameter itself is not changed";
  }
}

TEST(ApiBase, PushParamFromHostOffTheUiThreadWaitsForTheTick) {
  RecordingPlugin p;
  std::thread host([&] { p.PushParamFromHost(0, 0.75, true); });
  host.join();
  EXPECT_TRUE(p.events.empty()) << "no editor call from the host's thread";
  EXPECT_EQ(1, p.ParamUpdateQueue().Count());

  p.Tick();
  EXPECT_EQ((Events{"push 0 6.0000 real", "tick"}), p.events);
  ASSERT_EQ(1u, p.pushThreads.size());
  EXPECT_EQ(GetCurrentThreadId(), p.pushThreads[0]);
}

// A preset or state call from a host's worker thread must not reach into the
// editor's controls: the values wait for the tick on the user-interface
// thread, while a call on that thread refreshes the editor at once.
TEST(ApiBase, StateLoadedOffTheUiThreadReachesTheEditorOnTheTick) {
  RecordingPlugin p;
  std::thread host([&] { EXPECT_TRUE(p.ApplyPreset(1)); });
  host.join();
  EXPECT_TRUE(p.pushThreads.empty()) << "no editor push from the host's thread";
  EXPECT_EQ(3, p.ParamUpdateQueue().Count());

  p.Tick();
  EXPECT_EQ((Events{"push 0 0.0000 real", "push 1 0.0000 real", "push 2 100.0000 real", "tick"}), p.events);
  for (DWORD thread : p.pushThreads) EXPECT_EQ(GetCurrentThreadId(), thread);

  p.events.clear();
  p.pushThreads.clear();
  EXPECT_TRUE(p.ApplyPreset(0));
  EXPECT_EQ(3u, p.pushThreads.size());
  EXPECT_EQ(0, p.ParamUpdateQueue().Count());
}

TEST(ApiBase, PushParamFromHostOffTheUiThreadWithoutEditorQueuesNothing) {
  RecordingPlugin p(MakeDescriptor(false));
  std::thread host([&] { p.PushParamFromHost(0, 0.75, true); });
  host.join();
  EXPECT_EQ(0, p.ParamUpdateQueue().Count());
  EXPECT_TRUE(p.events.empty());
}

// Two host threads setting parameters at once while the UI thread ticks. The
// producers retry until their update is taken in, so every update must arrive
// exactly once, each thread's in the order it sent them; two producers writing
// the ring's single write index unguarded would lose or repeat updates. (An
// update refused marks the editor stale, and the tick then shows every
// current value too: negative here, unlike any value sent, so left out.)
TEST(ApiBase, ConcurrentHostThreadsTakeTurnsOnTheParameterQueue) {
  RecordingPlugin p;
  p.GetParam(0)->Set(-12.0);
  p.GetParam(1)->Set(-100.0);
  constexpr int kPerThread = 20000;
  std::atomic<int> running{2};
  auto producer = [&](int32_t index) {
    for (int i = 0; i < kPerThread; ++i) {
      while (!p.QueueParamForEditor(index, static_cast<double>(i))) std::this_thread::yield();
    }
    running.fetch_sub(1);
  };
  std::thread a(producer, 0), b(producer, 1);
  while (running.load() > 0) p.Tick();
  a.join();
  b.join();
  p.Tick();

  int next[2] = {0, 0};
  bool inOrder = true;
  for (const std::string& e : p.events) {
    int index = -1;
    double value = 0.0;
    if (std::sscanf(e.c_str(), "push %d %lf real", &index, &value) != 2 || value < 0.0 || index == 2) continue;
    if (index < 0 || index > 1 || value != next[index]) {
      inOrder = false;
      break;
    }
    ++next[index];
  }
  EXPECT_TRUE(inOrder);
  EXPECT_EQ(kPerThread, next[0]);
  EXPECT_EQ(kPerThread, next[1]);
}

// The same path as the host takes it: updates from another thread are never
// applied there, and what the tick applies is a value that was sent.
TEST(ApiBase, HostThreadUpdatesReachTheEditorOnlyThroughTheTick) {
  RecordingPlugin p;
  std::atomic<bool> done{false};
  std::thread host([&] {
    for (int i = 0; i <= 100; ++i) p.PushParamFromHost(2, i / 100.0, true);
    done.store(true);
  });
  while (!done.load()) p.Tick();
  host.join();
  p.Tick();
  for (DWORD thread : p.pushThreads) ASSERT_EQ(GetCurrentThreadId(), thread);
  std::string lastPush;
  for (const std::string& e : p.events) if (e.rfind("push", 0) == 0) lastPush = e;
  EXPECT_EQ("push 2 100.0000 real", lastPush) << "the last value sent is the last shown";
}

// A host's thread sends more updates than the queue holds before the editor's
// next tick: the updates that find it full are lost, but the editor is not
// left with an old value. The next tick shows each parameter's current value
// after what was queued, and the tick after that has nothing more to show.
TEST(ApiBase, UpdatesTheQueueCouldNotTakeLeaveTheEditorShowingCurrentValues) {
  RecordingPlugin p;
  std::thread host([&] {
    // As a binding does: the value is stored, then handed on for the editor.
    for (int i = 0; i <= 600; ++i) {
      p.GetParam(2)->Set(i / 6.0);
      p.PushParamFromHost(2, i / 6.0, false);
    }
  });
  host.join();
  EXPECT_TRUE(p.events.empty());

  p.Tick();
  ASSERT_GE(p.events.size(), 2u);
  EXPECT_EQ("push 2 100.0000 real", p.events[p.events.size() - 2]) << "the last value shown is the current one";
  EXPECT_EQ("tick", p.events.back());
  p.events.clear();
  p.Tick();
  EXPECT_EQ((Events{"tick"}), p.events);
}

// --- The editor tick ----------------------------------------------------------------

TEST(ApiBase, TickDrainsParamsThenMidiThenSysExThenTicks) {
  RecordingPlugin p;
  IMidiShortMessage m{};
  m.frameOffset = 4;
  m.status = 0x80;
  m.data1 = 61;
  const uint8_t bytes[] = {0xF0, 0x01, 0xF7};
  ISysExView v{};
  v.frameOffset = 9;
  v.size = 3;
  v.data = bytes;
  // Queued out of order on purpose: the tick decides the order.
  ASSERT_TRUE(p.QueueSysExForEditor(v));
  ASSERT_TRUE(p.QueueMidiForEditor(m));
  ASSERT_TRUE(p.QueueParamForEditor(1, -5.0));
  ASSERT_TRUE(p.QueueParamForEditor(0, 3.0));

  p.Tick();
  EXPECT_EQ((Events{"push 1 -5.0000 real", "push 0 3.0000 real", "midi 4 128 61 0", "sysex 9 3 240", "tick"}),
            p.events);
  EXPECT_EQ(0, p.ParamUpdateQueue().Count());
  EXPECT_EQ(0, p.MidiToEditorQueue().Count());
  EXPECT_EQ(0, p.SysExToEditorQueue().Count());
}

TEST(ApiBase, TickDrainsAWrappedRingCompletely) {
  RecordingPlugin p;
  // Move both indices near the end of the 513-slot ring, then queue enough
  // that the write index wraps behind the read index.
  for (int i = 0; i < 400; ++i) ASSERT_TRUE(p.QueueParamForEditor(0, 0.0));
  p.Tick();
  p.events.clear();
  for (int i = 0; i < 512; ++i) ASSERT_TRUE(p.QueueParamForEditor(2, i * 0.1));
  EXPECT_FALSE(p.QueueParamForEditor(2, 99.0)) << "the 513th update is dropped";

  p.Tick();
  ASSERT_EQ(516u, p.events.size());
  char expected[64];
  for (int i = 0; i < 512; ++i) {
    std::snprintf(expected, sizeof expected, "push 2 %.4f real", i * 0.1);
    ASSERT_EQ(expected, p.events[i]);
  }
  // The dropped update leaves the editor showing every current value.
  EXPECT_EQ((Events{"push 0 0.0000 real", "push 1 0.0000 real", "push 2 100.0000 real", "tick"}),
            Events(p.events.begin() + 512, p.events.end()));
}

TEST(ApiBase, TickWithoutEditorLeavesQueuesAndStillTicks) {
  RecordingPlugin p(MakeDescriptor(false));
  ASSERT_TRUE(p.QueueParamForEditor(0, 1.0));
  ASSERT_TRUE(p.QueueMidiForEditor(IMidiShortMessage{}));
  const uint8_t b = 0xF0;
  ISysExView v{};
  v.size = 1;
  v.data = &b;
  ASSERT_TRUE(p.QueueSysExForEditor(v));

  p.Tick();
  EXPECT_EQ((Events{"tick"}), p.events);
  EXPECT_EQ(1, p.ParamUpdateQueue().Count());
  EXPECT_EQ(1, p.MidiToEditorQueue().Count());
  EXPECT_EQ(1, p.SysExToEditorQueue().Count());
}

// --- Queues through the plug-in -----------------------------------------------------

TEST(ApiBase, EditorToAudioQueuesKeepTheirLimits) {
  RecordingPlugin p;
  for (int i = 0; i < 40; ++i) {
    IMidiShortMessage m{};
    m.frameOffset = i;
    p.QueueMidiForProcessor(m);
  }
  IMidiShortMessage m{};
  int midi = 0;
  while (p.TakeMidiForProcessor(m)) ASSERT_EQ(midi++, m.frameOffset);
  EXPECT_EQ(32, midi) << "messages beyond 32 are dropped";

  uint8_t bytes[kSysExPacketBytes] = {0xF0};
  for (int i = 0; i < 6; ++i) {
    ISysExView v{};
    v.frameOffset = i;
    v.size = 2;
    v.data = bytes;
    p.QueueSysExForProcessor(v);
  }
  ISysExPacket packet;
  int sysex = 0;
  while (p.TakeSysExForProcessor(packet)) ASSERT_EQ(sysex++, packet.frameOffset);
  EXPECT_EQ(4, sysex) << "packets beyond 4 are dropped";
}

TEST(ApiBase, SysExThatDoesNotFitAPacketIsDropped) {
  RecordingPlugin p;
  static uint8_t big[kSysExPacketBytes + 100];
  struct Case { int32_t size; const uint8_t* data; bool kept; };
  const Case cases[] = {
      {kSysExPacketBytes + 1, big, false},
      {kSysExPacketBytes + 100, big, false},
      {-1, big, false},
      {kSysExPacketBytes, big, true},
      {5, nullptr, true}, // no bytes: a packet of zeros of that size
  };
  for (const Case& c : cases) {
    ISysExView v{};
    v.size = c.size;
    v.data = c.data;
    p.QueueSysExForProcessor(v);
    EXPECT_EQ(c.kept ? 1 : 0, p.SysExToProcessorQueue().Count()) << c.size;
    EXPECT_EQ(c.kept, p.QueueSysExForEditor(v)) << c.size;
    ISysExPacket packet;
    if (p.TakeSysExForProcessor(packet)) {
      EXPECT_EQ(c.size, packet.size);
      if (c.data == nullptr) {
        for (uint8_t byte : packet.data) ASSERT_EQ(0, byte);
      }
    }
    p.Tick();
  }
}

// --- Host, build, state ---------------------------------------------------------------

TEST(ApiBase, SetHostIdentifiesThenAdaptsThenAnnouncesOnce) {
  struct Case { const char* name; int32_t code; };
  for (Case c : {Case{"REAPER", kHostReaper}, Case{"Some Other DAW", kHostUnknown}, Case{nullptr, kHostUnknown}}) {
    RecordingPlugin p;
    const int32_t version = (6 << 16) | (5 << 8) | 1;
    p.SetHost(c.name, version);
    EXPECT_EQ(c.code, p.HostIdentity().Code);
    EXPECT_EQ(version, p.HostIdentity().Version);
    char adapt[32], known[32];
    std::snprintf(adapt, sizeof adapt, "adapt %d", c.code);
    std::snprintf(known, sizeof known, "known %d", c.code);
    EXPECT_EQ((Events{adapt, known}), p.events) << (c.name ? c.name : "(null)");
  }
}

TEST(ApiBase, DescribeBuildNamesVersionApiAndArchitecture) {
  RecordingPlugin p;
  const std::string text = p.DescribeBuild();
  const std::string prefix = "Tessivo version v1.2.3 VST2 (x64), built on ";
  ASSERT_EQ(prefix, text.substr(0, prefix.size()));
  // The date as the compiler writes it, then " at HH:MM ".
  const std::string tail = text.substr(prefix.size());
  ASSERT_EQ(std::strlen(__DATE__) + std::strlen(" at 12:34 "), tail.size()) << tail;
  EXPECT_EQ(" at ", tail.substr(std::strlen(__DATE__), 4));
  EXPECT_EQ(':', tail[tail.size() - 4]);
  EXPECT_EQ(' ', tail.back());
  EXPECT_EQ(text, p.BuildDescription());

  p.SetApiKind(EApiKind::VST3);
  EXPECT_NE(nullptr, std::strstr(p.DescribeBuild(), " VST3 (x64)"));

  IPluginDescriptor unnamed = MakeDescriptor();
  unnamed.pluginName = nullptr;
  RecordingPlugin q(unnamed);
  EXPECT_EQ(0, std::strncmp(q.DescribeBuild(), " version v1.2.3 VST2", 20));
}

TEST(ApiBase, StateMatchesComparesAsFloat32) {
  RecordingPlugin p;
  p.GetParam(0)->Set(3.0);
  p.GetParam(2)->Set(33.33);
  IStateBuffer state;
  ASSERT_TRUE(state.AppendInt32(0x12345678)); // something in front: start is a byte position
  ASSERT_TRUE(p.SerializeParams(state));
  EXPECT_TRUE(p.StateMatches(state, 4));
  EXPECT_FALSE(p.StateMatches(state, 0));

  // Differences that vanish in float32 still match; visible ones do not.
  p.GetParam(2)->Set(33.33 + 1e-9);
  EXPECT_TRUE(p.StateMatches(state, 4));
  p.GetParam(2)->Set(33.34);
  EXPECT_FALSE(p.StateMatches(state, 4));
  p.GetParam(2)->Set(33.33);

  // A state too short for every parameter never matches, and is never read past.
  IStateBuffer shortState;
  ASSERT_TRUE(shortState.Append(state.Bytes() + 4, 16));
  EXPECT_FALSE(p.StateMatches(shortState, 0));
  EXPECT_FALSE(p.StateMatches(state, -8));
  EXPECT_FALSE(p.StateMatches(state, INT32_MAX - 4));

  IPluginDescriptor none;
  IApiBase empty(none);
  EXPECT_TRUE(empty.StateMatches(IStateBuffer(), 0));
}

TEST(ApiBase, BaseDefaultsAnswerNothing) {
  IApiBase p(MakeDescriptor());
  EXPECT_FALSE(p.OnAboutRequest());
  IStringBuffer label("C4");
  EXPECT_FALSE(p.GetMidiKeyLabel(60, label));
  EXPECT_STREQ("", label.Get());
}

// --- The editor timer ------------------------------------------------------------------

TEST(ApiBase, EditorTimerTicksAndStopsWithTheObject) {
  const int32_t before = Timer::RunningCount();
  auto* p = new RecordingPlugin();
  ASSERT_TRUE(p->StartEditorTimer());
  ASSERT_TRUE(p->StartEditorTimer()) << "a second start replaces the first timer";
  EXPECT_EQ(before + 1, Timer::RunningCount());

  ASSERT_TRUE(p->QueueParamForEditor(1, 7.0));
  EXPECT_TRUE(test::PumpUntil("two editor ticks", [&] { return p->tickCount >= 2; }));
  EXPECT_GE(p->tickCount, 2);
  ASSERT_FALSE(p->events.empty());
  EXPECT_EQ("push 1 7.0000 real", p->events.front());

  delete p;
  EXPECT_EQ(before, Timer::RunningCount()) << "the destructor stops the tick";
  // A stray tick would now touch freed memory: ticks of a later timer of the
  // same interval show that none came.
  EXPECT_TRUE(test::PumpTimerTicks(IApiBase::kEditorTimerMs, 3));
}

// A host builds the object on a loader thread, which then ends or keeps
// pumping messages, and shows the editor on this thread: from then on this
// is the user-interface thread and the editor's ticks come here, and none
// from the loader.
class LoaderProbe : public RecordingPlugin {
public:
  explicit LoaderProbe(DWORD shownOn) : mShownOn(shownOn) {}
  void OnEditorTick() override { ++(GetCurrentThreadId() == mShownOn ? ticksHere : ticksElsewhere); }
  std::atomic<int> ticksHere{0};
  std::atomic<int> ticksElsewhere{0};

private:
  DWORD mShownOn;
};

TEST(ApiBase, TheThreadThatShowsTheEditorTakesTheTicksOver) {
  for (bool loaderPumps : {false, true}) {
    SCOPED_TRACE(loaderPumps ? "the loader keeps pumping" : "the loader ends");
    const int32_t before = Timer::RunningCount();
    LoaderProbe* made = nullptr;
    test::HostThread loader(
        [&made, here = GetCurrentThreadId()] {
          made = new LoaderProbe(here);
          made->StartEditorTimer();
        },
        loaderPumps);
    ASSERT_TRUE(loader.WaitJobDone());
    LoaderProbe& p = *made;
    if (loaderPumps) {
      EXPECT_TRUE(test::WaitUntil("ticks on the loader", [&] { return p.ticksElsewhere.load() >= 2; }));
    } else {
      loader.Stop();
    }
    EXPECT_FALSE(p.OnUserInterfaceThread());

    EXPECT_EQ(nullptr, p.AttachEditor(nullptr)) << "the base opens no window";
    EXPECT_TRUE(p.OnUserInterfaceThread());
    EXPECT_EQ(before + 1, Timer::RunningCount()) << "the timer moved; it was not doubled";
    const int loaderTicks = p.ticksElsewhere.load();
    EXPECT_TRUE(test::PumpUntil("editor ticks here", [&] { return p.ticksHere.load() >= 3; }));
    if (loaderPumps) {
      EXPECT_TRUE(loader.WaitPumped(5));
      EXPECT_EQ(loaderTicks, p.ticksElsewhere.load()) << "a tick ran on the loader after the editor was shown here";
      loader.Stop();
    }
    delete &p;
    EXPECT_EQ(before, Timer::RunningCount());
  }
}

TEST(ApiBase, StopEditorTimerIsSafeToRepeat) {
  const int32_t before = Timer::RunningCount();
  RecordingPlugin p;
  p.StopEditorTimer();
  ASSERT_TRUE(p.StartEditorTimer());
  p.StopEditorTimer();
  p.StopEditorTimer();
  EXPECT_FALSE(p.HasEditorTimer());
  EXPECT_EQ(before, Timer::RunningCount());
}

} // namespace
} // namespace plugkit
