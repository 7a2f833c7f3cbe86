#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/IStateBuffer.h"
#include "graphics/ICanvas.h"
#include "graphics/ICanvasEditorDelegate.h"
#include "graphics/IControl.h"
#include "graphics/records/IKeyStroke.h"
#include "tests/graphics/control_fixture.h"

namespace plugkit::canvas::control_test {
namespace {

// A delegate whose factory builds recording canvases, counting builds and
// destructions, and whose layout (when a test runs it) adds three controls.
class EditorDelegate : public ::testing::Test {
protected:
  void SetUp() override {
    delegate.SetGraphicsFactory([this]() -> ICanvas* {
      ++built;
      auto* canvas = new RecordingCanvas(&delegate, &delegate.journal);
      canvas->openAnswer = openAnswer;
      return canvas;
    });
  }
  RecordingCanvas* Canvas() const { return static_cast<RecordingCanvas*>(delegate.EditorGraphics()); }
  // Opens the editor and adopts controls as a layout would.
  RecordingCanvas& Open() {
    delegate.AttachEditor(nullptr);
    return *Canvas();
  }
  ProbeControl* Add(RecordingCanvas& canvas, int32_t paramIndex, int32_t id = -1) {
    auto* c = static_cast<ProbeControl*>(canvas.AdoptControl(new ProbeControl(IBox(0, 0, 10, 10), paramIndex)));
    c->SetControlId(id);
    return c;
  }

  int Destroyed() const {
    int n = 0;
    for (const std::string& entry : delegate.journal) n += entry == "destroy";
    return n;
  }

  RecordingDelegate delegate;
  int built = 0;
  void* openAnswer = nullptr;
};

TEST_F(EditorDelegate, AttachAndDetachWithoutAPlatform) {
  int parent = 0;
  EXPECT_EQ(delegate.AttachEditor(&parent), nullptr);  // no window can open
  ASSERT_NE(Canvas(), nullptr);
  EXPECT_EQ(Canvas()->opened, std::vector<void*>{&parent});
  EXPECT_EQ(built, 1);
  // Nothing was remembered, so nothing was re-applied.
  EXPECT_EQ(Canvas()->sizeAtOpen.width, 250);
  EXPECT_EQ(Canvas()->sizeAtOpen.scale, 1.0f);

  // Attaching again reuses the graphics object.
  delegate.AttachEditor(&parent);
  EXPECT_EQ(built, 1);
  EXPECT_EQ(Canvas()->opened.size(), 2u);

  Add(*Canvas(), RecordingDelegate::kGain);
  EXPECT_TRUE(delegate.journal.empty());
  delegate.DetachEditor();
  EXPECT_EQ(delegate.journal, (std::vector<std::string>{"hidden", "close", "destroy"}));
  EXPECT_EQ(delegate.EditorGraphics(), nullptr);
  EXPECT_EQ(delegate.StoredEditorWidth(), 250);
  EXPECT_EQ(delegate.StoredEditorHeight(), 160);
  EXPECT_EQ(delegate.StoredEditorScale(), 1.0f);

  // Closing a closed editor only runs the hook.
  delegate.DetachEditor();
  EXPECT_EQ(delegate.journal, (std::vector<std::string>{"hidden", "close", "destroy", "hidden"}));
}

TEST_F(EditorDelegate, AttachAnswersTheNativeView) {
  int view = 0;
  openAnswer = &view;
  EXPECT_EQ(delegate.AttachEditor(nullptr), &view);
}

TEST_F(EditorDelegate, WithoutAFactoryThereIsNoEditor) {
  delegate.SetGraphicsFactory(nullptr);
  EXPECT_EQ(delegate.AttachEditor(nullptr), nullptr);
  EXPECT_EQ(delegate.EditorGraphics(), nullptr);
  delegate.DetachEditor();
  EXPECT_EQ(delegate.hidden, 1);
}

TEST_F(EditorDelegate, ReopensAtTheRememberedSizeAndScale) {
  Open().ApplySize(375, 240, 1.5f);
  delegate.DetachEditor();
  EXPECT_EQ(Destroyed(), 1);

  delegate.AttachEditor(nullptr);
  ASSERT_NE(Canvas(), nullptr);
  EXPECT_EQ(built, 2);
  EXPECT_EQ(Canvas()->sizeAtOpen.width, 375);
  EXPECT_EQ(Canvas()->sizeAtOpen.height, 240);
  EXPECT_EQ(Canvas()->sizeAtOpen.scale, 1.5f);
}

TEST_F(EditorDelegate, ASecondDetachDuringTheFirstReturnsAtOnce) {
  struct Reentrant : RecordingDelegate {
    void OnEditorHidden() override {
      RecordingDelegate::OnEditorHidden();
      DetachEditor();
    }
  } reentrant;
  reentrant.SetGraphicsFactory([&]() -> ICanvas* { return new RecordingCanvas(&reentrant, &reentrant.journal); });
  reentrant.AttachEditor(nullptr);
  reentrant.DetachEditor();
  EXPECT_EQ(reentrant.journal, (std::vector<std::string>{"hidden", "close", "destroy"}));
  EXPECT_EQ(reentrant.EditorGraphics(), nullptr);
}

TEST_F(EditorDelegate, DeletingTheDelegateDeletesAnOpenEditor) {
  std::vector<std::string> journal;
  {
    RecordingDelegate owner;
    owner.SetGraphicsFactory([&]() -> ICanvas* { return new RecordingCanvas(&owner, &journal); });
    owner.AttachEditor(nullptr);
    static_cast<RecordingCanvas*>(owner.EditorGraphics())
        ->AdoptControl(new ProbeControl(IBox(0, 0, 5, 5), RecordingDelegate::kGain));
  }
  EXPECT_EQ(journal, std::vector<std::string>{"destroy"});
}

TEST_F(EditorDelegate, ParameterValuesReachEverySlotBoundToTheParameter) {
  RecordingCanvas& canvas = Open();
  ProbeControl* a = Add(canvas, RecordingDelegate::kGain);
  ProbeControl* b = Add(canvas, RecordingDelegate::kLevel);
  ASSERT_TRUE(b->AddBoundValue(RecordingDelegate::kGain));
  ASSERT_TRUE(b->AddBoundValue(RecordingDelegate::kGain));
  ProbeControl* unbound = Add(canvas, -1);

  struct Case {
    int32_t index;
    double value;
    bool normalised;
    double want;  // in every slot bound to kGain
  } cases[] = {
      {RecordingDelegate::kGain, 50.0, false, 0.5},   // real values are normalised
      {RecordingDelegate::kGain, 0.25, true, 0.25},
      {RecordingDelegate::kGain, 250.0, false, 1.0},  // clamped to the range
  };
  for (const Case& k : cases) {
    delegate.PushParamValue(k.index, k.value, k.normalised);
    EXPECT_EQ(a->ValueAt(0), k.want) << k.value;
    EXPECT_EQ(b->ValueAt(1), k.want) << k.value;
    EXPECT_EQ(b->ValueAt(2), k.want) << k.value;
    EXPECT_EQ(b->ValueAt(0), 0.0) << k.value;
  }
  // A quantised parameter is rounded to its step first.
  ProbeControl* mode = Add(canvas, RecordingDelegate::kMode);
  delegate.PushParamValue(RecordingDelegate::kMode, 1.4, false);
  EXPECT_EQ(mode->ValueAt(0), 0.5);

  // Nothing addresses unbound slots, unknown parameters or NaN.
  const size_t before = a->pushes.size() + b->pushes.size();
  delegate.PushParamValue(-1, 0.7, true);
  delegate.PushParamValue(99, 7.0, false);
  delegate.PushParamValue(RecordingDelegate::kGain, std::numeric_limits<double>::quiet_NaN(), true);
  EXPECT_TRUE(unbound->pushes.empty());
  EXPECT_EQ(a->pushes.size() + b->pushes.size(), before);

  // Pushes never reach the host, and the editor hook always runs.
  EXPECT_TRUE(delegate.calls.empty());
  ASSERT_EQ(delegate.editorChanges.size(), 7u);
  EXPECT_EQ(delegate.editorChanges.back().index, RecordingDelegate::kGain);
  for (const auto& change : delegate.editorChanges) EXPECT_EQ(change.source, IChangeSource::EditorDelegate);
}

TEST_F(EditorDelegate, PushesWithoutAnEditorOnlyRunTheHooks) {
  delegate.PushParamValue(RecordingDelegate::kGain, 0.5, true);
  EXPECT_EQ(delegate.editorChanges.size(), 1u);
  IMidiShortMessage note;
  note.status = 0x90;
  delegate.PushMidiToEditor(note);
  EXPECT_EQ(delegate.midi, std::vector<uint8_t>{0x90});
  delegate.PushControlValue(1, 0.5);
  delegate.PushControlMessage(1, 2, 0, nullptr);
  IKeyStroke key;
  EXPECT_FALSE(delegate.OnHostKeyDown(key));
  EXPECT_FALSE(delegate.OnHostKeyUp(key));
  delegate.ApplyHostScale(2.0f);
}

TEST_F(EditorDelegate, ControlValuesAndMessagesGoByControlId) {
  RecordingCanvas& canvas = Open();
  ProbeControl* first = Add(canvas, RecordingDelegate::kGain, 3);
  ProbeControl* second = Add(canvas, -1, 3);
  ASSERT_TRUE(second->AddBoundValue(-1));
  ProbeControl* other = Add(canvas, -1, 4);
  ProbeControl* untagged = Add(canvas, -1);

  delegate.PushControlValue(-1, 0.9);
  EXPECT_TRUE(untagged->pushes.empty());
  delegate.PushControlValue(3, 0.4);
  EXPECT_EQ(first->ValueAt(0), 0.4);
  EXPECT_EQ(second->ValueAt(0), 0.4);  // always slot 0
  EXPECT_EQ(second->ValueAt(1), 0.0);
  EXPECT_TRUE(other->pushes.empty());
  EXPECT_TRUE(delegate.calls.empty());

  const char payload[5] = "abcd";
  delegate.PushControlMessage(-1, 7, 5, payload);
  delegate.PushControlMessage(4, 7, 5, payload);
  EXPECT_TRUE(first->messages.empty());
  ASSERT_EQ(other->messages.size(), 1u);
  EXPECT_EQ(other->messages[0].ParamIndex, 7);
  EXPECT_EQ(other->messages[0].Value, 5.0);
  EXPECT_TRUE(untagged->messages.empty());
}

TEST_F(EditorDelegate, MidiGoesToTheControlsThatTakeIt) {
  RecordingCanvas& canvas = Open();
  ProbeControl* deaf = Add(canvas, -1);
  ProbeControl* ear = Add(canvas, -1);
  ear->SetTakesMidi(true);
  IMidiShortMessage m;
  m.status = 0xB0;
  delegate.PushMidiToEditor(m);
  EXPECT_TRUE(deaf->midi.empty());
  EXPECT_EQ(ear->midi, std::vector<uint8_t>{0xB0});
  EXPECT_EQ(delegate.midi, std::vector<uint8_t>{0xB0});
}

TEST_F(EditorDelegate, HostKeysGoToTheControlUnderThePointer) {
  struct KeyControl : ProbeControl {
    using ProbeControl::ProbeControl;
    bool OnKeyStroke(float x, float y, const IKeyStroke& key) override {
      at.push_back({x, y});
      return key.VirtualKey == 'A';
    }
    bool OnKeyStrokeEnd(float, float, const IKeyStroke&) override { return true; }
    std::vector<std::pair<float, float>> at;
  };
  RecordingCanvas& canvas = Open();
  canvas.AdoptControl(new ProbeControl(IBox(0, 0, 250, 160)));  // background-like, index 0
  auto* keys = static_cast<KeyControl*>(canvas.AdoptControl(new KeyControl(IBox(50, 50, 100, 100))));
  std::vector<bool> handlerSaw;
  canvas.SetKeyHandler([&](const IKeyStroke&, bool isUp) {
    handlerSaw.push_back(isUp);
    return true;
  });

  IKeyStroke a;
  a.VirtualKey = 'A';
  canvas.pointerKnown = true;
  canvas.pointerX = 60;
  canvas.pointerY = 70;
  EXPECT_TRUE(delegate.OnHostKeyDown(a));
  ASSERT_EQ(keys->at.size(), 1u);
  EXPECT_EQ(keys->at[0], std::make_pair(60.0f, 70.0f));
  EXPECT_TRUE(handlerSaw.empty());
  EXPECT_TRUE(delegate.OnHostKeyUp(a));

  // Where the pointer is unknown no control is under it: the handler answers.
  canvas.pointerKnown = false;
  EXPECT_TRUE(delegate.OnHostKeyDown(a));
  EXPECT_EQ(keys->at.size(), 1u);
  EXPECT_EQ(handlerSaw, std::vector<bool>{false});
}

TEST_F(EditorDelegate, HostScaleIsRoundedAndBounded) {
  RecordingCanvas& canvas = Open();
  struct Case {
    float host;
    int32_t want;
  } cases[] = {{2.4f, 2}, {1.5f, 2}, {0.0f, 2}, {-3.0f, 2}, {std::nanf(""), 2},
               {1.0e30f, ICanvas::kMaxScreenScale}, {1.0f, 1}};
  for (const Case& k : cases) {
    delegate.ApplyHostScale(k.host);
    EXPECT_EQ(canvas.ScreenScale(), k.want) << k.host;
  }
}

// ---- Editor size in the state chunk ----

std::vector<uint8_t> Bytes(const IStateBuffer& chunk) {
  return std::vector<uint8_t>(chunk.Bytes(), chunk.Bytes() + chunk.Size());
}

IStateBuffer Record(int32_t width, int32_t height, float scale) {
  IStateBuffer chunk;
  EXPECT_TRUE(chunk.AppendInt32(width) && chunk.AppendInt32(height) && chunk.AppendFloat32(scale));
  return chunk;
}

TEST_F(EditorDelegate, EditorSizeIsWrittenLittleEndian) {
  IStateBuffer closed;
  EXPECT_TRUE(delegate.SerializeEditorSize(closed));
  EXPECT_EQ(Bytes(closed), std::vector<uint8_t>(12, 0));  // nothing remembered yet

  Open().ApplySize(375, 240, 1.5f);
  IStateBuffer open;
  ASSERT_TRUE(open.AppendUInt8(0xEE));
  EXPECT_TRUE(delegate.SerializeEditorSize(open));
  const std::vector<uint8_t> want = {0xEE, 0x77, 0x01, 0, 0, 0xF0, 0, 0, 0, 0x00, 0x00, 0xC0, 0x3F};
  EXPECT_EQ(Bytes(open), want);

  // Closed again: the remembered values.
  delegate.DetachEditor();
  IStateBuffer remembered;
  EXPECT_TRUE(delegate.SerializeEditorSize(remembered));
  EXPECT_EQ(Bytes(remembered), std::vector<uint8_t>(want.begin() + 1, want.end()));

  // A chunk that cannot grow keeps no partial record.
  IStateBuffer full;
  full.SetSizeLimit(8);
  EXPECT_FALSE(delegate.SerializeEditorSize(full));
  EXPECT_EQ(full.Size(), 0);
}

TEST_F(EditorDelegate, EditorSizeReadWhileClosedIsRememberedForTheNextOpen) {
  IStateBuffer chunk;
  ASSERT_TRUE(chunk.AppendInt32(-77));
  IStateBuffer rec = Record(300, 200, 1.25f);
  ASSERT_TRUE(chunk.Append(rec.Bytes(), rec.Size()));
  EXPECT_EQ(delegate.UnserializeEditorSize(chunk, 4), 16);
  EXPECT_EQ(delegate.StoredEditorWidth(), 300);
  EXPECT_EQ(delegate.StoredEditorHeight(), 200);
  EXPECT_EQ(delegate.StoredEditorScale(), 1.25f);
  delegate.AttachEditor(nullptr);
  EXPECT_EQ(Canvas()->sizeAtOpen.width, 300);
  EXPECT_EQ(Canvas()->sizeAtOpen.scale, 1.25f);
}

// Short or damaged records are refused whole: -1 and nothing changes.
TEST_F(EditorDelegate, BadEditorSizeRecordsChangeNothing) {
  IStateBuffer good = Record(300, 200, 1.25f);
  ASSERT_EQ(delegate.UnserializeEditorSize(good, 0), 12);

  IStateBuffer eightLeft;
  ASSERT_TRUE(eightLeft.AppendInt32(400) && eightLeft.AppendInt32(300));
  IStateBuffer nanScale = Record(400, 300, std::nanf(""));
  IStateBuffer infScale = Record(400, 300, std::numeric_limits<float>::infinity());
  IStateBuffer negative = Record(-400, 300, 1.0f);
  IStateBuffer negativeScale = Record(400, 300, -1.0f);
  struct Case {
    const IStateBuffer* chunk;
    int32_t position;
  } cases[] = {{&eightLeft, 0}, {&nanScale, 0}, {&infScale, 0}, {&negative, 0},
               {&negativeScale, 0}, {&good, -1}, {&good, 4}, {&good, 12}};
  for (const Case& k : cases) {
    EXPECT_EQ(delegate.UnserializeEditorSize(*k.chunk, k.position), -1);
    EXPECT_EQ(delegate.StoredEditorWidth(), 300);
    EXPECT_EQ(delegate.StoredEditorHeight(), 200);
    EXPECT_EQ(delegate.StoredEditorScale(), 1.25f);
  }

  // Open: a bad record does not resize the editor either.
  RecordingCanvas& canvas = Open();
  EXPECT_EQ(delegate.UnserializeEditorSize(nanScale, 0), -1);
  EXPECT_EQ(canvas.Width(), 300);
  EXPECT_EQ(canvas.DrawScale(), 1.25f);
}

TEST_F(EditorDelegate, EditorSizeReadWhileOpenIsApplied) {
  RecordingCanvas& canvas = Open();
  IStateBuffer rec = Record(400, 300, 0.75f);
  EXPECT_EQ(delegate.UnserializeEditorSize(rec, 0), 12);
  EXPECT_EQ(canvas.Width(), 400);
  EXPECT_EQ(canvas.Height(), 300);
  EXPECT_EQ(canvas.DrawScale(), 0.75f);

  // A record of zeros (nothing was remembered) leaves the open editor alone.
  IStateBuffer zeros = Record(0, 0, 0.0f);
  EXPECT_EQ(delegate.UnserializeEditorSize(zeros, 0), 12);
  EXPECT_EQ(canvas.Width(), 400);
  EXPECT_EQ(canvas.DrawScale(), 0.75f);
}

} // namespace
} // namespace plugkit::canvas::control_test
