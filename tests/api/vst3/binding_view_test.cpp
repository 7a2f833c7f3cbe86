// The editor view as a host drives it, on a canvas without platform layer:
// creation and lifetime, attach and remove, size and content scale, keys, and
// parameter context menus handed to the host.

#include <gtest/gtest.h>
#include <windows.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "api/vst3/IVST3HostKeys.h"
#include "api/vst3/IVST3View.h"
#include "graphics/IControl.h"
#include "graphics/records/IPopupMenu.h"
#include "pluginterfaces/gui/iplugviewcontentscalesupport.h"
#include "tests/api/vst3/vst3_fixture.h"
#include "tests/graphics/null_canvas.h"
#include "tests/hosts/vst3/ComponentHandler.h"
#include "tests/hosts/vst3/PlugFrame.h"

namespace vst3test {
namespace {

using plugkit::IVST3View;
using plugkit::canvas::ICanvas;
using plugkit::canvas::IControl;
using plugkit::canvas::IKeyStroke;
using plugkit::canvas::IPopupMenu;

// What the test canvases write down, shared with the test.
struct CanvasLog {
  void* openAnswer = nullptr;  // what OpenEditorWindow answers (null: fails)
  std::vector<std::string> journal;
  ICanvas* live = nullptr;
  int menusShown = 0;          // the canvas' own (native) menus
  std::vector<IKeyStroke> keys;
  bool keysHandled = true;
};

// Gives each new T the address of the T deleted before it, as a heap may:
// an editor opened again then looks, by its addresses, like the one before.
template <typename T>
class TReusedAddress {
public:
  static void* operator new(size_t size) {
    if (size > sizeof(slot) || taken) return ::operator new(size);
    taken = true;
    return slot;
  }
  static void operator delete(void* p) {
    if (p == slot)
      taken = false;
    else
      ::operator delete(p);
  }

private:
  alignas(std::max_align_t) static inline unsigned char slot[16384];
  static inline bool taken = false;
};

// A canvas whose window "opens" when the log says so; it then runs the
// layout as the platform layer does and reports the window as open.
class TViewCanvas : public plugkit::canvas::test::NullCanvas, public TReusedAddress<TViewCanvas> {
public:
  TViewCanvas(plugkit::canvas::ICanvasEditorDelegate* delegate, CanvasLog& log)
      : NullCanvas(delegate, 250, 160, 60, 1.0f), mLog(log) {
    mLog.live = this;
    SetKeyHandler([this](const IKeyStroke& key, bool) {
      mLog.keys.push_back(key);
      return mLog.keysHandled;
    });
  }
  ~TViewCanvas() override {
    mLog.journal.push_back("destroy");
    if (mLog.live == this) mLog.live = nullptr;
  }
  void* OpenEditorWindow(void* parent) override {
    mLog.journal.push_back("open " + std::to_string(Width()) + "x" + std::to_string(Height()) + "@" +
                           std::to_string(DrawScale()).substr(0, 4));
    mWindow = parent ? mLog.openAnswer : nullptr;
    if (mWindow && Delegate()) Delegate()->RunEditorLayout(this);
    return mWindow;
  }
  void CloseEditorWindow() override {
    mLog.journal.push_back("close");
    mWindow = nullptr;
  }
  void* NativeWindowHandle() override { return mWindow; }
  int32_t DisplayScaleFactor() override { return ScreenScale(); }
  IPopupMenu* RunPopupMenu(IPopupMenu&, const plugkit::canvas::IBox&, bool& answersLater) override {
    ++mLog.menusShown;
    answersLater = false;
    return nullptr;
  }

private:
  CanvasLog& mLog;
  void* mWindow = nullptr;
};

// Bound to "Mix"; offers two context-menu items, the first greyed.
class TMenuControl : public IControl, public TReusedAddress<TMenuControl> {
public:
  TMenuControl() : IControl(plugkit::canvas::IBox(10, 10, 110, 110), Mix) {}
  void Render(ICanvas&) override {}
  void FillContextMenu(IPopupMenu& menu) override {
    menu.AppendItem("First")->SetFlag(plugkit::canvas::EPopupItemFlag::Greyed);
    menu.AppendItem("Second");
  }
  void OnContextMenuChoice(int32_t index) override { choices->push_back(index); }
  std::vector<int32_t>* choices = nullptr;
};

class VST3View : public ::testing::Test {
protected:
  void SetUp() override {
    plugin->SetGraphicsFactory([this]() { return new TViewCanvas(plugin.get(), log); });
    plugin->SetEditorLayout([this](ICanvas* g) {
      auto* control = new TMenuControl();
      control->choices = &choices;
      g->AdoptControl(control);
    });
    ASSERT_EQ(plugin->initialize(nullptr), kResultOk);
    ASSERT_EQ(plugin->setComponentHandler(handler), kResultTrue);
  }
  void TearDown() override {
    plugin->setComponentHandler(nullptr);
    plugin->terminate();
  }

  // A view from createView("editor"), held by the test as a host holds it.
  IPtr<IPlugView> MakeView() { return IPtr<IPlugView>(plugin->createView("editor"), false); }
  IVST3View* AsView(IPlugView* view) { return static_cast<IVST3View*>(view); }
  void RightClick(float x, float y) {
    plugkit::canvas::IPointerEvent e;
    e.X = x;
    e.Y = y;
    e.Mods.Right = true;
    log.live->HandlePointerDown(&e, 1);
  }

  CanvasLog log;
  std::vector<int32_t> choices;
  int parentWindow = 0;  // stands for the host's window
  Held<TProbe> plugin{new TProbe()};
  IPtr<vst3host::ComponentHandler> handler{new vst3host::ComponentHandler(), false};
};

TEST_F(VST3View, ViewsAreMadeForTheEditorAndForgottenWhenReleased) {
  EXPECT_EQ(plugin->createView("Editor"), nullptr);
  EXPECT_EQ(plugin->createView(nullptr), nullptr);
  IPtr<IPlugView> first = MakeView();
  ASSERT_TRUE(first);
  EXPECT_EQ(plugin->EditorView(), AsView(first));

  void* side = nullptr;
  ASSERT_EQ(first->queryInterface(IPlugViewContentScaleSupport::iid, &side), kResultOk);
  EXPECT_EQ(side, static_cast<IPlugViewContentScaleSupport*>(AsView(first)));
  static_cast<IPlugViewContentScaleSupport*>(side)->release();
  ASSERT_EQ(first->queryInterface(IPlugView::iid, &side), kResultOk);
  static_cast<IPlugView*>(side)->release();

  // While no editor is open a later view takes the place; releasing the
  // earlier one leaves it there, releasing the later one leaves no pointer
  // to freed memory behind.
  IPtr<IPlugView> second = MakeView();
  EXPECT_EQ(plugin->EditorView(), AsView(second));
  first = nullptr;
  EXPECT_EQ(plugin->EditorView(), AsView(second));
  second = nullptr;
  EXPECT_EQ(plugin->EditorView(), nullptr);
  // Resizing finds nobody to ask: the size stays, and no window is touched.
  EXPECT_TRUE(plugin->ResizeEditorInHost(300, 200));
  EXPECT_EQ(plugin->EditorWidth(), 250);
}

TEST_F(VST3View, TheViewThatShowsTheEditorIsTheOneAsked) {
  log.openAnswer = &parentWindow;
  IPtr<vst3host::PlugFrame> frameA(new vst3host::PlugFrame(), false);
  IPtr<vst3host::PlugFrame> frameSizer(new vst3host::PlugFrame(), false);
  // A made, B made and released, A attached: A is asked.
  IPtr<IPlugView> a = MakeView();
  ASSERT_EQ(a->setFrame(frameA), kResultTrue);
  IPtr<IPlugView> b = MakeView();
  b = nullptr;
  EXPECT_EQ(plugin->EditorView(), nullptr);
  ASSERT_EQ(a->attached(&parentWindow, "HWND"), kResultOk);
  EXPECT_EQ(plugin->EditorView(), AsView(a));

  // A view made to ask a size while A shows the editor takes nothing over.
  IPtr<IPlugView> sizer = MakeView();
  ASSERT_EQ(sizer->setFrame(frameSizer), kResultTrue);
  EXPECT_EQ(plugin->EditorView(), AsView(a));
  IPtr<IPlugViewContentScaleSupport> scaling = FUnknownPtr<IPlugViewContentScaleSupport>(a);
  ASSERT_EQ(scaling->setContentScaleFactor(2.0f), kResultOk);
  scaling = nullptr;
  EXPECT_EQ(frameA->Requests().size(), 1u);
  EXPECT_TRUE(frameSizer->Requests().empty());
  RightClick(20, 30);
  EXPECT_EQ(handler->LastContextMenuView(), a.get());
  sizer = nullptr;
  EXPECT_EQ(plugin->EditorView(), AsView(a));

  // Once A is removed a new view is asked; attaching A again brings it back.
  EXPECT_EQ(a->removed(), kResultOk);
  IPtr<IPlugView> c = MakeView();
  EXPECT_EQ(plugin->EditorView(), AsView(c));
  ASSERT_EQ(a->attached(&parentWindow, "HWND"), kResultOk);
  EXPECT_EQ(plugin->EditorView(), AsView(a));
  // A released while it shows the editor: the editor closes, and C, which
  // shows nothing, is not asked in its place.
  a->setFrame(nullptr);
  a = nullptr;
  EXPECT_EQ(plugin->EditorGraphics(), nullptr);
  EXPECT_EQ(plugin->EditorView(), nullptr);
}

TEST_F(VST3View, PlatformTypesSizeAndFailedAttaches) {
  IPtr<IPlugView> view = MakeView();
  EXPECT_EQ(view->isPlatformTypeSupported("HWND"), kResultOk);
  EXPECT_EQ(view->isPlatformTypeSupported("NSView"), kResultFalse);
  EXPECT_EQ(view->isPlatformTypeSupported(nullptr), kResultFalse);
  ViewRect rect;
  EXPECT_EQ(view->getSize(nullptr), kInvalidArgument);
  ASSERT_EQ(view->getSize(&rect), kResultOk);
  EXPECT_EQ(rect.left, 0);
  EXPECT_EQ(rect.top, 0);
  EXPECT_EQ(rect.getWidth(), 250);
  EXPECT_EQ(rect.getHeight(), 160);

  // Nothing opens for other window types or without a parent.
  EXPECT_EQ(view->attached(&parentWindow, "X11EmbedWindowID"), kResultFalse);
  EXPECT_EQ(view->attached(nullptr, "HWND"), kInvalidArgument);
  EXPECT_TRUE(log.journal.empty());
  // A window that does not open: failure, and the graphics is gone again.
  EXPECT_EQ(view->attached(&parentWindow, "HWND"), kResultFalse);
  EXPECT_EQ(plugin->EditorGraphics(), nullptr);
  EXPECT_EQ(log.journal, (std::vector<std::string>{"open 250x160@1.00", "close", "destroy"}));
  EXPECT_FALSE(AsView(view)->EditorOpen());
  // No graphics at all.
  plugin->SetGraphicsFactory(nullptr);
  EXPECT_EQ(view->attached(&parentWindow, "HWND"), kResultFalse);
  EXPECT_EQ(view->removed(), kResultOk);
}

TEST_F(VST3View, AttachRemoveAndReopenAtTheRememberedSize) {
  log.openAnswer = &parentWindow;
  IPtr<vst3host::PlugFrame> frame(new vst3host::PlugFrame(), false);  // grants every size
  IPtr<IPlugView> view = MakeView();
  ASSERT_EQ(view->setFrame(frame), kResultTrue);
  ASSERT_EQ(view->attached(&parentWindow, "HWND"), kResultOk);
  ASSERT_NE(plugin->EditorGraphics(), nullptr);
  EXPECT_TRUE(AsView(view)->EditorOpen());
  // The editor is open once: neither this view nor another opens it again.
  EXPECT_EQ(view->attached(&parentWindow, "HWND"), kResultFalse);
  IPtr<IPlugView> other = MakeView();
  EXPECT_EQ(other->attached(&parentWindow, "HWND"), kResultFalse);
  EXPECT_EQ(other->removed(), kResultOk);  // not its editor: stays open
  ASSERT_NE(plugin->EditorGraphics(), nullptr);

  ASSERT_TRUE(plugin->EditorGraphics()->ApplySize(300, 200, 1.5f));
  EXPECT_EQ(view->removed(), kResultOk);
  EXPECT_EQ(plugin->EditorGraphics(), nullptr);
  EXPECT_EQ(view->removed(), kResultOk);  // a second removed does nothing more
  ASSERT_EQ(view->attached(&parentWindow, "HWND"), kResultOk);
  EXPECT_EQ(log.journal, (std::vector<std::string>{"open 250x160@1.00", "close", "destroy", "open 300x200@1.50"}));

  // A host that releases the view without removing it: the editor closes.
  other = nullptr;
  view = nullptr;
  EXPECT_EQ(plugin->EditorGraphics(), nullptr);
  EXPECT_EQ(log.journal.back(), "destroy");
}

TEST_F(VST3View, ContentScaleRoundsClampsAndResizesThroughTheFrame) {
  const struct {
    float factor;
    int32_t scale;
  } cases[] = {{1.0f, 1},  {1.5f, 2},   {1.25f, 1}, {2.5f, 3}, {0.4f, 1}, {0.01f, 1},
               {100.f, 16}, {0.0f, 0},  {-2.0f, 0}, {std::numeric_limits<float>::quiet_NaN(), 0}};
  for (const auto& c : cases) EXPECT_EQ(IVST3View::ScreenScaleOf(c.factor), c.scale) << c.factor;

  log.openAnswer = &parentWindow;
  IPtr<IPlugView> view = MakeView();
  IPtr<vst3host::PlugFrame> frame(new vst3host::PlugFrame(), false);
  ASSERT_EQ(view->setFrame(frame), kResultTrue);
  IPtr<IPlugViewContentScaleSupport> scaling = FUnknownPtr<IPlugViewContentScaleSupport>(view);
  ASSERT_TRUE(scaling);
  // Given before the window exists: applied once it opens.
  ASSERT_EQ(scaling->setContentScaleFactor(2.0f), kResultOk);
  ASSERT_EQ(view->attached(&parentWindow, "HWND"), kResultOk);
  ASSERT_EQ(plugin->EditorGraphics()->ScreenScale(), 2);
  ViewRect rect;
  ASSERT_EQ(view->getSize(&rect), kResultOk);
  EXPECT_EQ(rect.getWidth(), 500);
  EXPECT_EQ(rect.getHeight(), 320);
  ASSERT_EQ(frame->Requests().size(), 1u);
  EXPECT_EQ(frame->Requests()[0].view, view.get());
  EXPECT_EQ(frame->Requests()[0].rect.getWidth(), 500);
  EXPECT_EQ(AsView(view)->getRect().getHeight(), 320);  // the host's onSize

  frame->ClearRequests();
  EXPECT_EQ(scaling->setContentScaleFactor(0.3f), kResultOk);
  EXPECT_EQ(plugin->EditorGraphics()->ScreenScale(), 1);
  EXPECT_EQ(scaling->setContentScaleFactor(0.0f), kInvalidArgument);
  EXPECT_EQ(scaling->setContentScaleFactor(std::numeric_limits<float>::infinity()), kInvalidArgument);
  EXPECT_EQ(plugin->EditorGraphics()->ScreenScale(), 1);
  ASSERT_EQ(view->getSize(&rect), kResultOk);
  EXPECT_EQ(rect.getWidth(), 250);
  ASSERT_EQ(frame->Requests().size(), 1u);

  // The binding never leaves a window to the editor's platform layer to grow:
  // a refused size is not stored, an unchanged or empty one asks nothing.
  frame->SetGrants(false);
  EXPECT_TRUE(plugin->ResizeEditorInHost(375, 240));
  EXPECT_EQ(plugin->EditorWidth(), 250);
  EXPECT_EQ(frame->Requests().size(), 2u);
  EXPECT_TRUE(plugin->ResizeEditorInHost(250, 160));
  EXPECT_TRUE(plugin->ResizeEditorInHost(0, 240));
  EXPECT_EQ(frame->Requests().size(), 2u);
  EXPECT_EQ(plugin->EditorWidth(), 250);
  view->removed();
  view->setFrame(nullptr);
}

TEST_F(VST3View, RefusedResizesKeepTheHostsSizeAndLaterHostSizesAreTaken) {
  log.openAnswer = &parentWindow;
  IPtr<IPlugView> view = MakeView();
  IPtr<vst3host::PlugFrame> frame(new vst3host::PlugFrame(), false);
  frame->SetGrants(false);
  ASSERT_EQ(view->setFrame(frame), kResultTrue);
  ASSERT_EQ(view->attached(&parentWindow, "HWND"), kResultOk);
  ICanvas* graphics = plugin->EditorGraphics();
  ASSERT_NE(graphics, nullptr);
  auto hostSize = [&] {
    ViewRect rect;
    EXPECT_EQ(view->getSize(&rect), kResultOk);
    return std::to_string(rect.getWidth()) + "x" + std::to_string(rect.getHeight());
  };

  // Content scale 2 asks for twice the size; refused, the editor draws at
  // half the scale and stays 250 x 160.
  IPtr<IPlugViewContentScaleSupport> scaling = FUnknownPtr<IPlugViewContentScaleSupport>(view);
  ASSERT_EQ(scaling->setContentScaleFactor(2.0f), kResultOk);
  ASSERT_EQ(frame->Requests().size(), 1u);
  EXPECT_EQ(frame->Requests()[0].rect.getWidth(), 500);
  EXPECT_EQ(graphics->ScreenScale(), 2);
  EXPECT_FLOAT_EQ(graphics->DrawScale(), 0.5f);
  EXPECT_EQ(hostSize(), "250x160");

  // Its own resizes (a corner drag) go back the same way, and so they do
  // without a frame to ask.
  ASSERT_TRUE(graphics->ApplySize(250, 160, 0.8f));
  EXPECT_FLOAT_EQ(graphics->DrawScale(), 0.5f);
  EXPECT_EQ(frame->Requests().size(), 2u);
  ASSERT_EQ(view->setFrame(nullptr), kResultTrue);
  ASSERT_TRUE(graphics->ApplySize(250, 160, 0.8f));
  EXPECT_FLOAT_EQ(graphics->DrawScale(), 0.5f);
  EXPECT_EQ(hostSize(), "250x160");

  // Sizes the host gives later are taken; the draw scale fits the editor
  // into them within its limits.
  const struct {
    int32 width, height;
    float drawScale;
  } sizes[] = {{400, 256, 0.8f}, {500, 200, 0.625f}, {1000, 640, 2.0f}, {2000, 1280, 2.0f}, {250, 160, 0.5f}};
  for (const auto& size : sizes) {
    ViewRect rect(0, 0, size.width, size.height);
    EXPECT_EQ(view->onSize(&rect), kResultTrue);
    EXPECT_FLOAT_EQ(graphics->DrawScale(), size.drawScale) << size.width << "x" << size.height;
    EXPECT_EQ(hostSize(), std::to_string(size.width) + "x" + std::to_string(size.height));
  }
  EXPECT_EQ(frame->Requests().size(), 2u);  // taking a host's size asks the host nothing
  EXPECT_EQ(view->onSize(nullptr), kInvalidArgument);
  ViewRect empty(0, 0, 0, 0);
  EXPECT_EQ(view->onSize(&empty), kResultTrue);
  // A view that does not show the editor sizes nothing of it.
  IPtr<IPlugView> other = MakeView();
  ViewRect large(0, 0, 800, 512);
  EXPECT_EQ(other->onSize(&large), kResultTrue);
  EXPECT_FLOAT_EQ(graphics->DrawScale(), 0.5f);
  EXPECT_EQ(hostSize(), "250x160");
  scaling = nullptr;
  view->removed();
}

TEST(VST3HostKeys, KeyCodesCharactersAndModifiers) {
  const SHORT aKey = VkKeyScanExW(L'a', GetKeyboardLayout(0));
  const struct {
    char16 character;
    int16 keyCode;
    int16 modifiers;
    int32_t virtualKey;
    const char* text;
    bool shift, ctrl, alt;
  } cases[] = {
      {0, 4, 0, 0x0D, "", false, false, false},          // return
      {0, 4, 9, 0x0D, "", true, true, false},            // with Shift and the SDK's control bit
      {0, 1, 4, 0x08, "", false, true, false},           // Ctrl as Windows hosts send it
      {0, 11, 2, 0x25, "", false, false, true},          // left, Alt
      {0, 7, 0, 0x20, " ", false, false, false},         // space
      {0, 33, 0, 0x69, "", false, false, false},         // keypad 9
      {0, 51, 0, 0x7B, "", false, false, false},         // F12
      {0, 56, 0, 0x12, "", false, false, false},         // alt key itself
      {0, 145, 0, 0x41, "A", false, false, false},       // character keys from 128 on
      {0, 128, 0, 0x30, "0", false, false, false},
      {'a', 0, 1, aKey & 0xFF, "a", true, false, false}, // from the character
      {'x', -5, 0, 0, "x", false, false, false},         // negative: unknown key
      {0, -32768, 0, 0, "", false, false, false},
      {0, 60, 0, 0, "", false, false, false},            // unnamed codes
      {0, 300, 0, 0, "", false, false, false},
      {0x00E9, 0, 0, -1, "\xC3\xA9", false, false, false}, // non-ASCII text in UTF-8
      {0xD800, 0, 0, -1, "", false, false, false},         // a lone surrogate has no text
  };
  for (const auto& c : cases) {
    const IKeyStroke key = plugkit::TranslateHostKey(c.character, c.keyCode, c.modifiers);
    const std::string what = std::to_string(c.character) + "/" + std::to_string(c.keyCode);
    if (c.virtualKey >= 0) {
      EXPECT_EQ(key.VirtualKey, c.virtualKey) << what;
    }
    EXPECT_GE(key.VirtualKey, 0) << what;
    EXPECT_LE(key.VirtualKey, 0xFF) << what;
    EXPECT_STREQ(key.Text, c.text) << what;
    EXPECT_EQ(key.Shift, c.shift) << what;
    EXPECT_EQ(key.Ctrl, c.ctrl) << what;
    EXPECT_EQ(key.Alt, c.alt) << what;
  }
}

TEST_F(VST3View, KeysReachTheEditorsKeyRouting) {
  IPtr<IPlugView> view = MakeView();
  EXPECT_EQ(view->onKeyDown(0, 4, 0), kResultFalse);  // closed: nobody takes it
  log.openAnswer = &parentWindow;
  ASSERT_EQ(view->attached(&parentWindow, "HWND"), kResultOk);
  EXPECT_EQ(view->onKeyDown(0, 4, 8), kResultOk);
  log.keysHandled = false;
  EXPECT_EQ(view->onKeyUp('q', 0, 0), kResultFalse);
  // A view that does not show the editor passes nothing on.
  IPtr<IPlugView> other = MakeView();
  EXPECT_EQ(other->onKeyDown('w', 0, 0), kResultFalse);
  ASSERT_EQ(log.keys.size(), 2u);
  EXPECT_EQ(log.keys[0].VirtualKey, 0x0D);
  EXPECT_TRUE(log.keys[0].Ctrl);
  EXPECT_STREQ(log.keys[1].Text, "q");
  view->removed();
}

TEST_F(VST3View, ContextMenusGoToTheHostAndChoicesComeBack) {
  log.openAnswer = &parentWindow;
  IPtr<vst3host::PlugFrame> frame(new vst3host::PlugFrame(), false);  // grants every size
  IPtr<IPlugView> view = MakeView();
  ASSERT_EQ(view->setFrame(frame), kResultTrue);
  ASSERT_EQ(view->attached(&parentWindow, "HWND"), kResultOk);
  ASSERT_TRUE(plugin->EditorGraphics()->ApplySize(250, 160, 1.5f));
  IPtr<IPlugViewContentScaleSupport> scaling = FUnknownPtr<IPlugViewContentScaleSupport>(view);
  ASSERT_EQ(scaling->setContentScaleFactor(2.0f), kResultOk);
  handler->ClearCalls();

  RightClick(20.5f, 30.25f);
  const std::vector<vst3host::HandlerCall> calls = handler->Calls();
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].kind, vst3host::HandlerCall::EKind::CreateContextMenu);
  EXPECT_EQ(calls[0].id, static_cast<ParamID>(Mix));
  EXPECT_EQ(handler->LastContextMenuView(), view.get());
  IPtr<vst3host::ContextMenu> menu = handler->LastContextMenu();
  ASSERT_TRUE(menu);
  ASSERT_EQ(menu->Entries().size(), 2u);
  EXPECT_EQ(menu->Entries()[0].name, "First");
  EXPECT_EQ(menu->Entries()[0].tag, 0);
  EXPECT_EQ(menu->Entries()[0].flags, IContextMenuItem::kIsDisabled);
  EXPECT_EQ(menu->Entries()[1].name, "Second");
  EXPECT_EQ(menu->Entries()[1].tag, 1);
  EXPECT_EQ(menu->Entries()[1].flags, 0);
  // In the view's pixels: position x screen scale x draw scale.
  EXPECT_EQ(menu->PopupCount(), 1);
  EXPECT_EQ(menu->PopupX(), 61);
  EXPECT_EQ(menu->PopupY(), 90);
  EXPECT_EQ(log.menusShown, 0);

  EXPECT_EQ(menu->Pick(1), kResultOk);
  EXPECT_EQ(choices, std::vector<int32_t>{1});
  // Only the items the control added can be chosen.
  EXPECT_EQ(menu->Entries()[1].target->executeMenuItem(2), kInvalidArgument);
  EXPECT_EQ(menu->Entries()[1].target->executeMenuItem(-1), kInvalidArgument);
  void* target = nullptr;
  ASSERT_EQ(menu->Entries()[1].target->queryInterface(IContextMenuTarget::iid, &target), kResultOk);
  static_cast<IContextMenuTarget*>(target)->release();

  // The host keeps its menu past the editor's close: picking then reaches
  // nobody, also once the editor is open again with new controls, though
  // they and their canvas stand where the old ones stood.
  const auto first = reinterpret_cast<uintptr_t>(plugin->EditorGraphics());
  view->removed();
  EXPECT_EQ(menu->Pick(1), kResultFalse);
  ASSERT_EQ(view->attached(&parentWindow, "HWND"), kResultOk);
  EXPECT_EQ(reinterpret_cast<uintptr_t>(plugin->EditorGraphics()), first);
  EXPECT_EQ(menu->Pick(0), kResultFalse);
  EXPECT_EQ(choices, std::vector<int32_t>{1});

  // A host without menus of its own: the editor shows the items itself.
  handler->SetOffersContextMenus(false);
  RightClick(20, 30);
  EXPECT_EQ(log.menusShown, 1);
  view->removed();
}

} // namespace
} // namespace vst3test
