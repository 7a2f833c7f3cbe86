// Tessivo.vst3's editor through the test host, as a VST 3 host shows it: the
// view from the controller, attached to a real parent window on the test
// display, its size and content scale, its pixels read back from the screen,
// a right click that asks the host for its context menu, then removed and
// released.

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "pluginterfaces/gui/iplugview.h"
#include "pluginterfaces/gui/iplugviewcontentscalesupport.h"
#include "tests/api/vst3/vst3_fixture.h"
#include "tests/hosts/vst2/Utf8Path.h"
#include "tests/hosts/vst3/ComponentHandler.h"
#include "tests/hosts/vst3/HostApplication.h"
#include "tests/hosts/vst3/PlugFrame.h"
#include "tests/hosts/vst3/PluginInstance.h"
#include "tests/hosts/vst3/PluginModule.h"

// The module has an editor window only when the Windows layer is built in.
#if __has_include("graphics/platform/ICanvasWin.h")
constexpr bool kModuleHasWindow = true;
#else
constexpr bool kModuleHasWindow = false;
#endif

namespace vst3test {
namespace {

using vst3host::PluginInstance;
using vst3host::PluginModule;

// A plain top-level window standing for the host's editor frame.
class ParentWindow {
public:
  ParentWindow() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"plugkit VST3 editor host";
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    RegisterClassW(&wc);  // a second registration fails harmlessly
    mWindow = CreateWindowExW(0, wc.lpszClassName, L"editor host", WS_POPUP | WS_VISIBLE, 0, 0, 600, 400, nullptr,
                              nullptr, wc.hInstance, nullptr);
  }
  ~ParentWindow() {
    if (mWindow) DestroyWindow(mWindow);
  }
  HWND Handle() const { return mWindow; }

private:
  HWND mWindow = nullptr;
};

// Runs the window messages for ms milliseconds (the editor paints on its
// display ticks).
void Pump(DWORD ms) {
  const DWORD end = GetTickCount() + ms;
  while (static_cast<int32_t>(end - GetTickCount()) > 0) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    Sleep(5);
  }
}

struct Rgb {
  int r, g, b;
};

// The window's pixels as the display shows them, row by row from the top.
std::vector<Rgb> ScreenPixels(HWND window, int& width, int& height) {
  RECT rect{};
  GetWindowRect(window, &rect);
  width = rect.right - rect.left;
  height = rect.bottom - rect.top;
  std::vector<Rgb> pixels;
  if (width <= 0 || height <= 0) return pixels;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
  GdiFlush();
  const auto* bgra = static_cast<const uint8_t*>(bits);
  for (int i = 0; i < width * height; ++i) pixels.push_back({bgra[4 * i + 2], bgra[4 * i + 1], bgra[4 * i]});
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return pixels;
}

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

TEST_F(TessivoEditor, OpensInTheHostsWindowScalesShowsTheKnobsAndAsksForContextMenus) {
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
  if (!kModuleHasWindow) {
    // Without a window layer the editor cannot open, and says so.
    EXPECT_EQ(attached, kResultFalse);
    EXPECT_EQ(GetWindow(parent.Handle(), GW_CHILD), nullptr);
  } else {
    ASSERT_EQ(attached, kResultOk);
    HWND editor = GetWindow(parent.Handle(), GW_CHILD);
    ASSERT_NE(editor, nullptr);
    Pump(500);

    // The knobs: each one's box holds light pixels of its dial and arc; the
    // bottom left corner is the dark background.
    int width = 0, height = 0;
    std::vector<Rgb> pixels = ScreenPixels(editor, width, height);
    ASSERT_EQ(width, 250);
    ASSERT_EQ(height, 160);
    const Rgb corner = pixels[static_cast<size_t>(157 * width + 3)];
    EXPECT_LT(corner.r, 90);
    EXPECT_LT(corner.g, 90);
    const struct {
      int left, top, right, bottom;
    } knobs[] = {{10, 45, 90, 139}, {85, 45, 165, 139}, {160, 45, 240, 139}};
    for (const auto& k : knobs) {
      int lit = 0;
      for (int y = k.top; y < k.bottom; ++y)
        for (int x = k.left; x < k.right; ++x)
          if (pixels[static_cast<size_t>(y * width + x)].r > 150) ++lit;
      EXPECT_GT(lit, 50) << "knob at " << k.left;
    }

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
    Pump(200);
    EXPECT_EQ(scaling->setContentScaleFactor(1.0f), kResultOk);
    Pump(200);

    // A right click on the "Mix" knob asks the host for its context menu.
    handler->ClearCalls();
    const LPARAM at = MAKELPARAM(200, 92);
    SendMessageW(editor, WM_RBUTTONDOWN, MK_RBUTTON, at);
    SendMessageW(editor, WM_RBUTTONUP, 0, at);
    Pump(100);
    bool asked = false;
    for (const vst3host::HandlerCall& call : handler->Calls())
      asked = asked || (call.kind == vst3host::HandlerCall::EKind::CreateContextMenu && call.id == 2 && call.flags == 1);
    EXPECT_TRUE(asked);
    ASSERT_TRUE(handler->LastContextMenu());
    EXPECT_EQ(handler->LastContextMenu()->PopupCount(), 1);
    EXPECT_EQ(handler->LastContextMenu()->PopupX(), 200);
    EXPECT_EQ(handler->LastContextMenu()->PopupY(), 92);
  }

  EXPECT_EQ(view->removed(), kResultOk);
  EXPECT_EQ(GetWindow(parent.Handle(), GW_CHILD), nullptr);
  EXPECT_EQ(view->setFrame(nullptr), kResultTrue);
  EXPECT_EQ(view->release(), 0u);
}

} // namespace
} // namespace vst3test
