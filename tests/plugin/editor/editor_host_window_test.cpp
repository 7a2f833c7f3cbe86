// A VST 2.4 host that destroys the editor's parent window itself before it
// closes the editor, or deletes the plug-in with the window already gone,
// while it draws its own interface with OpenGL on the same thread: its
// context stays current and its textures survive, and the editor lets go of
// everything it had.
#if defined(TESSIVO_EDITOR_WINDOW)

#include <windows.h>
#include <GL/gl.h>
#include <malloc.h>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "graphics/platform/GlPixelFormat.h"
#include "graphics/platform/ICanvasWin.h"
#include "tests/graphics/platform/editor_harness.h"
#include "tests/plugin/editor/editor_fixture.h"
#include "tests/support/message_pump.h"
#include "tests/support/process_objects.h"

namespace {

using namespace tessivo_editor_test;
using plugkit::canvas::ICanvasWin;
using plugkit::canvas::test::CursorCount;
using plugkit::canvas::test::EditorWindowCount;
using plugkit::canvas::test::SharedParent;
using plugkit::canvas::test::ThreadCount;

constexpr int kHostTextures = 4;

// A window of the host's with its own OpenGL context, current on this
// thread, holding four small textures of known content.
class HostGl {
public:
  HostGl() {
    static const ATOM cls = [] {
      WNDCLASSA wc = {};
      wc.style = CS_OWNDC;
      wc.lpfnWndProc = DefWindowProcA;
      wc.hInstance = GetModuleHandleA(nullptr);
      wc.lpszClassName = "TessivoTestHostGl";
      return RegisterClassA(&wc);
    }();
    mWindow = CreateWindowExA(0, MAKEINTATOM(cls), "", WS_CHILD | WS_VISIBLE, 600, 0, 64, 64,
                              SharedParent().Handle(), nullptr, GetModuleHandleA(nullptr), nullptr);
    mDc = mWindow ? GetDC(mWindow) : nullptr;
    if (!mDc) return;
    if (!plugkit::gl::ApplyEditorPixelFormat(mDc)) return;
    mContext = wglCreateContext(mDc);
    if (!mContext || !wglMakeCurrent(mDc, mContext)) return;
    glGenTextures(kHostTextures, mTextures);
    for (int i = 0; i < kHostTextures; ++i) {
      const std::vector<unsigned char> texels = Texels(i);
      glBindTexture(GL_TEXTURE_2D, mTextures[i]);
      glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 2, 2, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    }
    glBindTexture(GL_TEXTURE_2D, 0);
    mReady = glGetError() == GL_NO_ERROR;
  }
  ~HostGl() {
    if (mContext) {
      wglMakeCurrent(mDc, mContext);
      glDeleteTextures(kHostTextures, mTextures);
      wglMakeCurrent(nullptr, nullptr);
      wglDeleteContext(mContext);
    }
    if (mDc) ReleaseDC(mWindow, mDc);
    if (mWindow) DestroyWindow(mWindow);
  }

  bool Ready() const { return mReady; }
  bool Current() const { return wglGetCurrentContext() == mContext && wglGetCurrentDC() == mDc; }
  // How many of the textures still exist with the content they were given
  // (read through whatever context is current: the host's, it is hoped).
  int Intact() const {
    int intact = 0;
    for (int i = 0; i < kHostTextures; ++i) {
      if (!glIsTexture(mTextures[i])) continue;
      std::vector<unsigned char> read(16, 0);
      glBindTexture(GL_TEXTURE_2D, mTextures[i]);
      glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, read.data());
      intact += read == Texels(i);
    }
    glBindTexture(GL_TEXTURE_2D, 0);
    return intact;
  }

private:
  static std::vector<unsigned char> Texels(int i) {
    std::vector<unsigned char> t(16, 255);
    for (int p = 0; p < 4; ++p) {
      t[4 * p] = static_cast<unsigned char>(40 * i + p);
      t[4 * p + 1] = 200;
      t[4 * p + 2] = 100;
    }
    return t;
  }

  HWND mWindow = nullptr;
  HDC mDc = nullptr;
  HGLRC mContext = nullptr;
  GLuint mTextures[kHostTextures] = {};
  bool mReady = false;
};

// The host's frame for the editor: a child of the tests' host window that the
// host destroys when it likes.
HWND MakeFrame() {
  return CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 0, 0, 300, 200, SharedParent().Handle(), nullptr,
                         GetModuleHandleA(nullptr), nullptr);
}

intptr_t Dispatch(Tessivo& plugin, int32_t opcode, void* ptr = nullptr) {
  return Tessivo::VSTDispatcher(plugin.EffectRecord(), opcode, 0, 0, ptr, 0.0f);
}

ICanvasWin* EditorOf(Tessivo& plugin) { return dynamic_cast<ICanvasWin*>(plugin.EditorGraphics()); }

// Opens the editor in a new frame and pumps until it painted (knob layers,
// font atlas, logo and main framebuffer all made); null on failure.
HWND OpenAndPaint(Tessivo& plugin) {
  HWND frame = MakeFrame();
  if (!frame || Dispatch(plugin, effEditOpen, frame) != 1) return nullptr;
  if (!plugkit::test::PumpUntil("the editor's first frame",
                                [&] { return EditorOf(plugin) && EditorOf(plugin)->PaintedFrames() > 0; }))
    return nullptr;
  return frame;
}

// Bytes the C runtime's heap holds for the program (every malloc and new).
size_t HeapInUse(bool& walked) {
  _HEAPINFO info = {};
  size_t used = 0;
  int status;
  while ((status = _heapwalk(&info)) == _HEAPOK)
    if (info._useflag == _USEDENTRY) used += info._size;
  walked = status == _HEAPEND && used > 0;
  return used;
}

enum class EHostEnd { CloseThenDelete, DeleteOnly };

// One host session: open and paint, the frame destroyed, then the editor
// closed and the plug-in deleted, or only the plug-in deleted.
void RunSession(EHostEnd end, const HostGl& host) {
  auto plugin = std::make_unique<Tessivo>(&RecordingHost);
  HWND frame = OpenAndPaint(*plugin);
  ASSERT_TRUE(frame);
  ICanvasWin* editor = EditorOf(*plugin);
  ASSERT_TRUE(host.Current()) << "opening the editor left the host's context current";
  const int threads = ThreadCount();
  DestroyWindow(frame);
  EXPECT_FALSE(editor->HasNativeWindow()) << "the editor noticed its window went";
  EXPECT_LT(ThreadCount(), threads) << "and stopped its display-sync thread";
  if (end == EHostEnd::CloseThenDelete) {
    Dispatch(*plugin, effEditClose);
    EXPECT_EQ(plugin->EditorGraphics(), nullptr);
  }
  plugin.reset();
  EXPECT_TRUE(host.Current()) << "the host's context is current as before";
  EXPECT_EQ(host.Intact(), kHostTextures) << "the host's textures are untouched";
}

TEST(EditorHostWindow, AHostContextSurvivesAnEditorWhoseWindowTheHostDestroyed) {
  HostGl host;
  ASSERT_TRUE(host.Ready());
  ASSERT_EQ(host.Intact(), kHostTextures);
  const int cursor = CursorCount();
  const plugkit::test::ProcessObjects before = plugkit::test::BaselineCounts();
  ASSERT_TRUE(plugkit::test::AllCounted(before));
  const struct {
    EHostEnd end;
    const char* name;
  } ends[] = {{EHostEnd::CloseThenDelete, "closed, then deleted"}, {EHostEnd::DeleteOnly, "deleted without a close"}};
  for (const auto& c : ends) {
    SCOPED_TRACE(c.name);
    RunSession(c.end, host);
    EXPECT_EQ(EditorWindowCount(), 0);
    WNDCLASSA wc;
    EXPECT_FALSE(GetClassInfoA(GetModuleHandleA(nullptr), "TPlugWndClass", &wc)) << "the class went too";
  }
  EXPECT_EQ(CursorCount(), cursor);
  EXPECT_TRUE(plugkit::test::CountsFallBackTo(before));
}

// What the editor had in memory goes too, though not one OpenGL call could
// free it: sessions in a row leave the heap where it was. (A NanoVG context
// left behind would hold at least its 256 KB font atlas.)
TEST(EditorHostWindow, SessionsWithADestroyedWindowLeaveNothingInMemory) {
  HostGl host;
  ASSERT_TRUE(host.Ready());
  for (const EHostEnd end : {EHostEnd::CloseThenDelete, EHostEnd::DeleteOnly}) RunSession(end, host);
  bool walked = false;
  const size_t before = HeapInUse(walked);
  ASSERT_TRUE(walked);
  constexpr int kSessions = 4;
  for (int i = 0; i < kSessions; ++i) RunSession(i % 2 ? EHostEnd::DeleteOnly : EHostEnd::CloseThenDelete, host);
  const size_t after = HeapInUse(walked);
  ASSERT_TRUE(walked);
  EXPECT_LT(after, before + 128 * 1024) << "grew by " << (after - before) << " bytes over " << kSessions << " sessions";
}

} // namespace

#endif
