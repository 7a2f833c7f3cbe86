// Tessivo.vst3's editor through the test host, as a VST 3 host shows it: the
// view from the controller, attached to a real parent window on the test
// display, its size and content scale, a right click that asks the host for
// its context menu, then removed and released. (Its pixels are read back in
// editor_window_test.cpp, where the test can reach the editor's drawing
// context.)

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "pluginterfaces/gui/iplugview.h"
#include "pluginterfaces/gui/iplugviewcontentscalesupport.h"
#include "tests/api/vst3/host_window.h"
#include "tests/api/vst3/vst3_fixture.h"
#include "tests/hosts/vst2/Utf8Path.h"
#include "tests/hosts/vst3/ComponentHandler.h"
#include "tests/hosts/vst3/HostApplication.h"
#include "tests/hosts/vst3/PlugFrame.h"
#include "tests/hosts/vst3/PluginInstance.h"
#include "tests/hosts/vst3/PluginModule.h"

namespace vst3test {
namespace {

using vst3host::PluginInstance;
using vst3host::PluginModule;

class TessivoEditor : public ::testing::Test {
protected:
  void SetUp() override {
    std::string error;
    module = PluginModule::Load(vst2host::ExecutableDirectory() + TESSIVO_VST3_TEST_MODULE, &error);
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
  IPtr<vst3host::ComponentHandler> handler{new vst3host::ComponentHandler(), false};
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

} // namespace
} // namespace vst3test
