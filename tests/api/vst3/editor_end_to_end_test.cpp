// Tessivo.vst3's editor through the test host, as a VST 3 host shows it: the
// view from the controller, attached to a real parent window on the test
// display, its size and content scale, a right click that asks the host for
// its context menu, then removed and released; a host that refuses a size,
// a host that made another view before it attached the first, what the
// host hears when presets change in the editor, from the host or from a
// worker, and a host that closes and releases the view from inside an edit
// call or a resize request it answers. (Its pixels are read back in
// editor_window_test.cpp, where the test can reach the editor's drawing
// context.)

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "graphics/controls/IPopupMenuControl.h"
#include "graphics/platform/DisplaySync.h"
#include "graphics/platform/ICanvasWin.h"
#include "plugin/editor/TPresetControl.h"
#include "pluginterfaces/gui/iplugview.h"
#include "pluginterfaces/gui/iplugviewcontentscalesupport.h"
#include "tests/api/vst3/host_window.h"
#include "tests/api/vst3/module_editor.h"
#include "tests/api/vst3/test_module.h"
#include "tests/api/vst3/vst3_fixture.h"
#include "tests/graphics/platform/dialog_closer.h"
#include "tests/hosts/vst2/Utf8Path.h"
#include "tests/hosts/vst3/ComponentHandler.h"
#include "tests/hosts/vst3/HostApplication.h"
#include "tests/hosts/vst3/PlugFrame.h"
#include "tests/hosts/vst3/PluginInstance.h"
#include "tests/hosts/vst3/PluginModule.h"

namespace vst3test {
namespace {

using vst3host::HandlerCall;
using vst3host::PluginInstance;
using vst3host::PluginModule;

// The test host's handler and frame, with what the host does after each
// edit call or resize request it answers (it may close the view there).
class HookedHandler : public vst3host::ComponentHandler {
public:
  tresult PLUGIN_API beginEdit(ParamID id) SMTG_OVERRIDE {
    return After(ComponentHandler::beginEdit(id), HandlerCall::EKind::BeginEdit);
  }
  tresult PLUGIN_API performEdit(ParamID id, ParamValue value) SMTG_OVERRIDE {
    return After(ComponentHandler::performEdit(id, value), HandlerCall::EKind::PerformEdit);
  }
  tresult PLUGIN_API endEdit(ParamID id) SMTG_OVERRIDE {
    return After(ComponentHandler::endEdit(id), HandlerCall::EKind::EndEdit);
  }
  std::function<void(HandlerCall::EKind)> after;

private:
  tresult After(tresult answer, HandlerCall::EKind kind) {
    if (after) after(kind);
    return answer;
  }
};

class HookedFrame : public vst3host::PlugFrame {
public:
  tresult PLUGIN_API resizeView(IPlugView* view, ViewRect* newSize) SMTG_OVERRIDE {
    const tresult answer = PlugFrame::resizeView(view, newSize);
    if (after) after();
    return answer;
  }
  std::function<void()> after;
};

// Points of the preset strip across the top of the editor, at scale 1.
const LPARAM kNextZone = MAKELPARAM(212, 15);
const LPARAM kMenuZone = MAKELPARAM(237, 15);

class TessivoEditor : public ::testing::Test {
protected:
  void SetUp() override {
    std::string error;
    module = PluginModule::Load(TestModulePath(), &error);
    ASSERT_TRUE(module) << error;
    vst3host::ClassRecord tessivo;
    ASSERT_TRUE(module->FindAudioClass(tessivo));
    plugin = PluginInstance::Create(*module, tessivo.cid, host, &error);
    ASSERT_TRUE(plugin) << error;
    ASSERT_TRUE(plugin->SetComponentHandler(handler));
    ASSERT_TRUE(parent.Handle());
  }
  void TearDown() override {
    if (plugin) plugin->SetComponentHandler(nullptr);
    // The host's last menu holds targets that hold the plug-in: they go
    // before the plug-in, and all of it before the module is unloaded.
    handler = nullptr;
    plugin.reset();
  }

  IPtr<vst3host::HostApplication> host{new vst3host::HostApplication(), false};
  IPtr<HookedHandler> handler{new HookedHandler(), false};
  std::unique_ptr<PluginModule> module;
  std::unique_ptr<PluginInstance> plugin;
  ParentWindow parent;
};

TEST_F(TessivoEditor, OpensInTheHostsWindowScalesAndAsksForContextMenus) {
  IPlugView* view = plugin->Controller()->createView(ViewType::kEditor);
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(view->isPlatformTypeSupported(kPlatformTypeHWND), kResultOk);
  IPtr<vst3host::PlugFrame> frame(new vst3host::PlugFrame(), false);
  ASSERT_EQ(view->setFrame(frame), kResultTrue);
  ViewRect rect;
  ASSERT_EQ(view->getSize(&rect), kResultOk);
  EXPECT_EQ(rect.getWidth(), 250);
  EXPECT_EQ(rect.getHeight(), 160);

  const tresult attached = view->attached(parent.Handle(), kPlatformTypeHWND);
  ASSERT_EQ(attached, kResultOk);
  HWND editor = GetWindow(parent.Handle(), GW_CHILD);
  ASSERT_NE(editor, nullptr);
  ASSERT_TRUE(PumpPostedMessages());

  RECT area{};
  GetClientRect(editor, &area);
  EXPECT_EQ(area.right, 250);
  EXPECT_EQ(area.bottom, 160);

  // Content scale 2 doubles the view, through the frame.
  IPtr<IPlugViewContentScaleSupport> scaling = FUnknownPtr<IPlugViewContentScaleSupport>(view);
  ASSERT_TRUE(scaling);
  EXPECT_EQ(scaling->setContentScaleFactor(2.0f), kResultOk);
  ASSERT_EQ(view->getSize(&rect), kResultOk);
  EXPECT_EQ(rect.getWidth(), 500);
  EXPECT_EQ(rect.getHeight(), 320);
  ASSERT_FALSE(frame->Requests().empty());
  EXPECT_EQ(frame->Requests().back().rect.getWidth(), 500);
  ViewRect hostSize(0, 0, 500, 320);
  EXPECT_EQ(view->onSize(&hostSize), kResultTrue);
  const auto sized = [&](LONG width, LONG height) {
    return PumpUntil("the view's window at " + std::to_string(width) + " x " + std::to_string(height), [&] {
      GetClientRect(editor, &area);
      return area.right == width && area.bottom == height;
    });
  };
  EXPECT_TRUE(sized(500, 320));
  GetClientRect(editor, &area);
  EXPECT_EQ(area.right, 500);
  EXPECT_EQ(area.bottom, 320);
  EXPECT_EQ(scaling->setContentScaleFactor(1.0f), kResultOk);
  ASSERT_TRUE(sized(250, 160));
  scaling = nullptr;  // its reference would outlive the view's release below

  // A right click on the "Mix" knob asks the host for its context menu.
  handler->ClearCalls();
  const LPARAM at = MAKELPARAM(200, 92);
  SendMessageW(editor, WM_RBUTTONDOWN, MK_RBUTTON, at);
  SendMessageW(editor, WM_RBUTTONUP, 0, at);
  bool asked = false;
  EXPECT_TRUE(PumpUntil("the host to be asked for the knob's context menu", [&] {
    for (const vst3host::HandlerCall& call : handler->Calls())
      asked = asked || (call.kind == vst3host::HandlerCall::EKind::CreateContextMenu && call.id == 2 && call.flags == 1);
    return asked;
  }));
  EXPECT_TRUE(asked);
  ASSERT_TRUE(handler->LastContextMenu());
  EXPECT_EQ(handler->LastContextMenu()->PopupCount(), 1);
  EXPECT_EQ(handler->LastContextMenu()->PopupX(), 200);
  EXPECT_EQ(handler->LastContextMenu()->PopupY(), 92);

  EXPECT_EQ(view->removed(), kResultOk);
  EXPECT_EQ(GetWindow(parent.Handle(), GW_CHILD), nullptr);
  EXPECT_EQ(view->setFrame(nullptr), kResultTrue);
  EXPECT_EQ(view->release(), 0u);
}

// A host that refuses to resize owns its windows: the editor stays inside
// the window it has, however its content scale changes (at 3 and 4 even the
// smallest draw scale would not fit, so the screen scale stops at 2), and
// getSize answers the size it has, until the host makes room and says so
// through onSize.
TEST_F(TessivoEditor, ARefusedResizeLeavesTheHostsWindowsAlone) {
  ParentWindow container(parent.Handle(), 250, 160);
  ASSERT_TRUE(container.Handle());
  IPlugView* view = plugin->Controller()->createView(ViewType::kEditor);
  ASSERT_NE(view, nullptr);
  IPtr<vst3host::PlugFrame> frame(new vst3host::PlugFrame(), false);
  frame->SetGrants(false);
  ASSERT_EQ(view->setFrame(frame), kResultTrue);
  ASSERT_EQ(view->attached(container.Handle(), kPlatformTypeHWND), kResultOk);
  HWND editor = GetWindow(container.Handle(), GW_CHILD);
  ASSERT_NE(editor, nullptr);

  IPtr<IPlugViewContentScaleSupport> scaling = FUnknownPtr<IPlugViewContentScaleSupport>(view);
  ASSERT_TRUE(scaling);
  ViewRect rect;
  for (int32_t scale : {2, 3, 4}) {
    SCOPED_TRACE("content scale " + std::to_string(scale));
    const size_t requests = frame->Requests().size();
    ASSERT_EQ(scaling->setContentScaleFactor(static_cast<float>(scale)), kResultOk);
    ASSERT_EQ(frame->Requests().size(), requests + 1);
    EXPECT_EQ(frame->Requests().back().view, view);
    EXPECT_EQ(WindowSize(container.Handle()), "250x160");
    EXPECT_EQ(WindowSize(parent.Handle()), "600x400");
    EXPECT_EQ(WindowSize(editor, true), "250x160");
    ASSERT_EQ(view->getSize(&rect), kResultOk);
    EXPECT_EQ(rect.getWidth(), 250);
    EXPECT_EQ(rect.getHeight(), 160);
  }
  EXPECT_EQ(frame->Requests().front().rect.getWidth(), 500);

  // Later the host makes room for scale 4 and tells the view.
  SetWindowPos(container.Handle(), nullptr, 0, 0, 1000, 640, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  const size_t requests = frame->Requests().size();
  ViewRect hostSize(0, 0, 1000, 640);
  EXPECT_EQ(view->onSize(&hostSize), kResultTrue);
  EXPECT_EQ(WindowSize(editor, true), "1000x640");
  EXPECT_EQ(WindowSize(parent.Handle()), "600x400");
  ASSERT_EQ(view->getSize(&rect), kResultOk);
  EXPECT_EQ(rect.getWidth(), 1000);
  EXPECT_EQ(frame->Requests().size(), requests);

  scaling = nullptr;
  EXPECT_EQ(view->removed(), kResultOk);
  EXPECT_EQ(view->setFrame(nullptr), kResultTrue);
  EXPECT_EQ(view->release(), 0u);
}

// A host makes view A, then view B (to ask a size, say), releases B and
// attaches A: A is the view the editor's requests go to.
TEST_F(TessivoEditor, TheViewThatShowsTheEditorGetsItsRequestsAndMenus) {
  IPtr<vst3host::PlugFrame> frameA(new vst3host::PlugFrame(), false);
  IPtr<vst3host::PlugFrame> frameB(new vst3host::PlugFrame(), false);
  IPlugView* a = plugin->Controller()->createView(ViewType::kEditor);
  ASSERT_NE(a, nullptr);
  ASSERT_EQ(a->setFrame(frameA), kResultTrue);
  IPlugView* b = plugin->Controller()->createView(ViewType::kEditor);
  ASSERT_NE(b, nullptr);
  ASSERT_EQ(b->setFrame(frameB), kResultTrue);
  ViewRect rect;
  EXPECT_EQ(b->getSize(&rect), kResultOk);
  EXPECT_EQ(b->setFrame(nullptr), kResultTrue);
  EXPECT_EQ(b->release(), 0u);
  ASSERT_EQ(a->attached(parent.Handle(), kPlatformTypeHWND), kResultOk);
  HWND editor = GetWindow(parent.Handle(), GW_CHILD);
  ASSERT_NE(editor, nullptr);

  // A right click on the "Mix" knob: the host's menu, for A.
  handler->ClearCalls();
  const LPARAM mix = MAKELPARAM(200, 92);
  SendMessageW(editor, WM_RBUTTONDOWN, MK_RBUTTON, mix);
  SendMessageW(editor, WM_RBUTTONUP, 0, mix);
  bool asked = false;
  for (const vst3host::HandlerCall& call : handler->Calls())
    asked = asked || (call.kind == vst3host::HandlerCall::EKind::CreateContextMenu && call.id == 2);
  EXPECT_TRUE(asked);
  EXPECT_EQ(handler->LastContextMenuView(), a);

  // A drag on the corner handle and a content-scale change: A's frame is asked.
  SendMessageW(editor, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(245, 155));
  SendMessageW(editor, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(300, 190));
  SendMessageW(editor, WM_LBUTTONUP, 0, MAKELPARAM(300, 190));
  ASSERT_FALSE(frameA->Requests().empty());
  EXPECT_EQ(frameA->Requests().back().view, a);
  EXPECT_GT(frameA->Requests().back().rect.getWidth(), 250);
  const size_t afterDrag = frameA->Requests().size();
  IPtr<IPlugViewContentScaleSupport> scaling = FUnknownPtr<IPlugViewContentScaleSupport>(a);
  ASSERT_TRUE(scaling);
  ASSERT_EQ(scaling->setContentScaleFactor(2.0f), kResultOk);
  EXPECT_EQ(frameA->Requests().size(), afterDrag + 1);
  EXPECT_TRUE(frameB->Requests().empty());
  scaling = nullptr;

  EXPECT_EQ(a->removed(), kResultOk);
  EXPECT_EQ(a->setFrame(nullptr), kResultTrue);
  EXPECT_EQ(a->release(), 0u);
}

// The host removes and releases the view from inside the edit call or the
// resize request named, in the middle of a knob drag or a corner drag: the
// editor touches nothing of what went (the program runs with Wine's heap
// filling freed blocks), the host sees one end for each begin, and a new
// view opens the editor again.
TEST_F(TessivoEditor, AViewClosedInsideAnEditOrAResizeLeavesNothingBehind) {
  struct Step {
    UINT message;
    int x, y;
    WPARAM keys;
  };
  enum class EAt { BeginEdit, PerformEdit, EndEdit, ResizeView };
  const struct Case {
    const char* name;
    EAt at;
    std::vector<Step> steps;
  } cases[] = {
      {"beginEdit", EAt::BeginEdit, {{WM_LBUTTONDOWN, 200, 95, MK_LBUTTON}}},
      {"performEdit", EAt::PerformEdit, {{WM_LBUTTONDOWN, 200, 95, MK_LBUTTON}, {WM_MOUSEMOVE, 200, 90, MK_LBUTTON}}},
      {"endEdit",
       EAt::EndEdit,
       {{WM_LBUTTONDOWN, 200, 95, MK_LBUTTON}, {WM_MOUSEMOVE, 200, 90, MK_LBUTTON}, {WM_LBUTTONUP, 200, 90, 0}}},
      {"resizeView", EAt::ResizeView, {{WM_LBUTTONDOWN, 245, 155, MK_LBUTTON}, {WM_MOUSEMOVE, 260, 170, MK_LBUTTON}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    IPlugView* view = plugin->Controller()->createView(ViewType::kEditor);
    ASSERT_NE(view, nullptr);
    IPtr<HookedFrame> frame(new HookedFrame(), false);
    ASSERT_EQ(view->setFrame(frame), kResultTrue);
    ASSERT_EQ(view->attached(parent.Handle(), kPlatformTypeHWND), kResultOk);
    HWND editor = GetWindow(parent.Handle(), GW_CHILD);
    ASSERT_NE(editor, nullptr);
    ASSERT_TRUE(PumpPostedMessages());
    handler->ClearCalls();

    bool closed = false;
    const auto close = [&] {
      if (closed) return;
      closed = true;
      view->removed();
      view->release();
    };
    handler->after = [&](HandlerCall::EKind kind) {
      if ((kind == HandlerCall::EKind::BeginEdit && c.at == EAt::BeginEdit) ||
          (kind == HandlerCall::EKind::PerformEdit && c.at == EAt::PerformEdit) ||
          (kind == HandlerCall::EKind::EndEdit && c.at == EAt::EndEdit))
        close();
    };
    frame->after = [&] {
      if (c.at == EAt::ResizeView) close();
    };
    for (const Step& s : c.steps) SendMessageW(editor, s.message, s.keys, MAKELPARAM(s.x, s.y));
    handler->after = nullptr;
    frame->after = nullptr;
    ASSERT_TRUE(closed) << "the host call came";
    EXPECT_FALSE(IsWindow(editor));
    EXPECT_EQ(GetWindow(parent.Handle(), GW_CHILD), nullptr);
    ASSERT_TRUE(PumpPostedMessages());

    const std::vector<HandlerCall> calls = handler->Calls();
    const auto count = [&](HandlerCall::EKind kind) {
      return std::count_if(calls.begin(), calls.end(), [&](const HandlerCall& call) { return call.kind == kind; });
    };
    EXPECT_EQ(count(HandlerCall::EKind::BeginEdit), count(HandlerCall::EKind::EndEdit));
    if (c.at != EAt::ResizeView) {
      EXPECT_EQ(count(HandlerCall::EKind::BeginEdit), 1);
      ASSERT_FALSE(calls.empty());
      EXPECT_EQ(calls.back().kind, HandlerCall::EKind::EndEdit);
    }

    IPlugView* again = plugin->Controller()->createView(ViewType::kEditor);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->attached(parent.Handle(), kPlatformTypeHWND), kResultOk) << "a new view opens the editor";
    EXPECT_NE(GetWindow(parent.Handle(), GW_CHILD), nullptr);
    EXPECT_EQ(again->removed(), kResultOk);
    EXPECT_EQ(again->release(), 0u);
  }
}

// Where the strip's action menu shows "Load Preset...", in editor pixels at
// scale 1: asked of the product's own editor in this program, which lays out
// the menu with the same code and fonts as the module.
plugkit::canvas::IBox LoadPresetCell(HWND parent) {
  plugkit::canvas::IBox cell;
  Held<Tessivo> product(new Tessivo());
  if (product->initialize(nullptr) != kResultOk) return cell;
  IPtr<IPlugView> view(product->createView(ViewType::kEditor), false);
  if (view && view->attached(parent, kPlatformTypeHWND) == kResultOk) {
    auto* editor = dynamic_cast<plugkit::canvas::ICanvasWin*>(product->EditorGraphics());
    HWND window = editor ? static_cast<HWND>(editor->NativeWindowHandle()) : nullptr;
    if (window) {
      SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, kMenuZone);
      SendMessageW(window, WM_LBUTTONUP, 0, kMenuZone);
      auto* menu = dynamic_cast<plugkit::canvas::IPopupMenuControl*>(editor->PopupMenuControl());
      const plugkit::canvas::IPopupPane* pane = menu ? menu->PaneAt(0) : nullptr;
      if (pane && pane->Cells.size() > TPresetControl::kLoad) cell = pane->Cells[TPresetControl::kLoad];
    }
    view->removed();
  }
  view = nullptr;
  product->terminate();
  return cell;
}

// Every preset change reaches the host as one restartComponent
// (kParamValuesChanged) and one setDirty(true), on its user-interface
// thread: a step with the strip's "next" zone, an ".fxp" file loaded from
// the strip's menu, a program change through the preset id, and one made on
// a worker, which reaches the host from the editor's next tick.
TEST_F(TessivoEditor, PresetChangesTellTheHostThatEveryValueChanged) {
  using EKind = vst3host::HandlerCall::EKind;
  const std::thread::id ui = std::this_thread::get_id();
  // "restarts, dirty marks": the calls of those kinds, and only those, all
  // on this thread; "off thread" if any came elsewhere.
  const auto told = [&] {
    int restarts = 0, dirty = 0;
    for (const vst3host::HandlerCall& call : handler->Calls()) {
      if (call.kind != EKind::RestartComponent && call.kind != EKind::SetDirty) continue;
      if (call.thread != ui) return std::string("off thread");
      if (call.kind == EKind::RestartComponent && call.flags == kParamValuesChanged) ++restarts;
      else if (call.kind == EKind::SetDirty && call.flags == 1) ++dirty;
      else return std::string("other flags");
    }
    return std::to_string(restarts) + ", " + std::to_string(dirty);
  };
  IEditController* controller = plugin->Controller();
  const auto values = [&] {
    return std::vector<double>{controller->getParamNormalized(Coarse), controller->getParamNormalized(Fine),
                               controller->getParamNormalized(Mix)};
  };

  // A preset file with values no factory preset has.
  const std::string file = vst2host::ExecutableDirectory() + "tessivo_host_note.fxp";
  {
    Held<Tessivo> product(new Tessivo());
    product->GetParam(Coarse)->Set(5.0);
    product->GetParam(Fine)->Set(-40.0);
    product->GetParam(Mix)->Set(30.0);
    ASSERT_TRUE(product->SaveProgramFile(file.c_str()));
  }
  const plugkit::canvas::IBox load = LoadPresetCell(parent.Handle());
  ASSERT_FALSE(load.IsEmpty());

  IPlugView* view = controller->createView(ViewType::kEditor);
  ASSERT_NE(view, nullptr);
  ASSERT_EQ(view->attached(parent.Handle(), kPlatformTypeHWND), kResultOk);
  HWND editor = GetWindow(parent.Handle(), GW_CHILD);
  ASSERT_NE(editor, nullptr);
  ASSERT_TRUE(PumpPostedMessages());

  // The strip's "next" zone: from "Default" to "Light Detune".
  handler->ClearCalls();
  SendMessageW(editor, WM_LBUTTONDOWN, MK_LBUTTON, kNextZone);
  SendMessageW(editor, WM_LBUTTONUP, 0, kNextZone);
  EXPECT_EQ(told(), "1, 1") << "strip step";
  EXPECT_EQ(values(), (std::vector<double>{0.5, 0.575, 0.5}));

  // A program change through the preset id: "Down 3 Semitones".
  handler->ClearCalls();
  ASSERT_EQ(controller->setParamNormalized(plugkit::IVST3ControllerBase::kPresetParamId, 0.5), kResultOk);
  EXPECT_EQ(told(), "1, 1") << "preset id";
  EXPECT_DOUBLE_EQ(controller->getParamNormalized(Coarse), 9.0 / 24.0);

  // The same from a worker: nothing from there; the next tick tells the host.
  handler->ClearCalls();
  std::thread([&] { controller->setParamNormalized(plugkit::IVST3ControllerBase::kPresetParamId, 1.0); }).join();
  EXPECT_EQ(told(), "0, 0") << "worker";
  EXPECT_TRUE(PumpUntil("the tick to tell the host", [&] { return told() != "0, 0"; }));
  ASSERT_TRUE(plugkit::test::PumpTimerTicks(20, 3));
  EXPECT_EQ(told(), "1, 1") << "worker";
  EXPECT_DOUBLE_EQ(controller->getParamNormalized(Coarse), 0.0);  // "Octave down (mixed)"

  // "Load Preset..." from the strip's menu, the file chosen in the dialog.
  handler->ClearCalls();
  const std::wstring path = vst2host::WidenUtf8(file);
  plugkit::canvas::test::DialogCloser closer([&](HWND dialog) {
    for (int field : {0x47C, 0x480}) SetDlgItemTextW(dialog, field, path.c_str());  // cmb13, edt1
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  });
  SendMessageW(editor, WM_LBUTTONDOWN, MK_LBUTTON, kMenuZone);
  SendMessageW(editor, WM_LBUTTONUP, 0, kMenuZone);
  // The menu takes a choice once it has faded in, which the module's own
  // menu control tells: a tick seen after the fade's length may be one the
  // editor drops for a newer one still queued.
  const auto* menu = dynamic_cast<const plugkit::canvas::IPopupMenuControl*>(
      ModuleEditor(editor) ? ModuleEditor(editor)->PopupMenuControl() : nullptr);
  ASSERT_NE(menu, nullptr);
  EXPECT_TRUE(PumpUntil("the menu to be open",
                        [&] { return menu->State() == plugkit::canvas::EPopupMenuState::Open; }));
  const LPARAM at = MAKELPARAM(static_cast<int>(load.Left + load.Right) / 2, static_cast<int>(load.Top + load.Bottom) / 2);
  SendMessageW(editor, WM_LBUTTONDOWN, MK_LBUTTON, at);
  SendMessageW(editor, WM_LBUTTONUP, 0, at);
  EXPECT_TRUE(PumpUntil("the file dialog to be answered", [&] { return closer.Acted(); }));
  EXPECT_TRUE(PumpUntil("the file to be loaded", [&] { return told() != "0, 0"; }));
  EXPECT_EQ(told(), "1, 1") << ".fxp load";
  EXPECT_DOUBLE_EQ(controller->getParamNormalized(Coarse), 17.0 / 24.0);
  EXPECT_DOUBLE_EQ(controller->getParamNormalized(Fine), 0.3);
  EXPECT_NEAR(controller->getParamNormalized(Mix), 0.3, 1e-6);  // the file holds 32-bit values

  EXPECT_EQ(view->removed(), kResultOk);
  EXPECT_EQ(view->release(), 0u);
  DeleteFileW(path.c_str());
}

} // namespace
} // namespace vst3test
