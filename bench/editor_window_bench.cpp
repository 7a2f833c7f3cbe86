// Figures of the Windows editor under this system's OpenGL: the time from
// opening to the first painted frame, a full repaint's frame time at draw
// scales 1 and 2, and the process's CPU share while the editor idles and
// while a host changes a parameter at 20 Hz. The figures are taken for a
// stand-in editor of three plain knobs and, where the product is built, for
// the product's own editor (its graphics factory and layout, with its fonts,
// logo, layered knob bodies and preset strip).
//
//   editor_window_bench [--quick]
//
// --quick shortens every run (CTest uses it to check the program works).
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>

#include "bench/Stopwatch.h"
#include "core/IParam.h"
#include "graphics/ICanvasEditorDelegate.h"
#include "graphics/IControl.h"
#include "graphics/platform/DisplaySync.h"
#include "graphics/platform/ICanvasWin.h"
#if defined(TESSIVO_PRODUCT_BENCH)
#include "plugin/Tessivo.h"
#endif

using namespace plugkit;
using namespace plugkit::canvas;
using tessivo_bench::NowNanoseconds;

namespace {

// A plug-in side with three parameters and the editor's size.
class BenchDelegate : public ICanvasEditorDelegate {
public:
  BenchDelegate() : ICanvasEditorDelegate(3) {
    GetParam(0)->Configure("Coarse", 0.0, -12.0, 12.0, 1.0, "Semi");
    GetParam(1)->Configure("Fine", 0.0, -100.0, 100.0, 1.0, "Cents");
    GetParam(2)->Configure("Mix", 100.0, 0.0, 100.0, 1.0, "%");
  }
  // No host here: gestures go nowhere.
  void BeginEditorGesture(int32_t) override {}
  void EndEditorGesture(int32_t) override {}
};

// A knob as the product draws one: a disc, a track arc, a value arc and a
// pointer line.
class BenchKnob : public IControl {
public:
  BenchKnob(const IBox& bounds, int32_t param) : IControl(bounds, param) {}
  void Render(ICanvas& g) override {
    const IBox& b = Bounds();
    const float cx = (b.Left + b.Right) / 2, cy = (b.Top + b.Bottom) / 2;
    const float r = (b.Right - b.Left) / 2 - 4;
    const float angle = -135.0f + 270.0f * static_cast<float>(ValueAt(0));
    g.FloodCircle(IArgb(255, 60, 64, 70), cx, cy, r);
    g.OutlineArc(IArgb(255, 30, 30, 30), cx, cy, r + 2, -135.0f, 135.0f, nullptr, 3.0f);
    g.OutlineArc(IArgb(255, 90, 200, 255), cx, cy, r + 2, -135.0f, angle, nullptr, 3.0f);
    g.OutlineRadialSegment(IArgb(255, 240, 240, 240), cx, cy, angle, r * 0.3f, r * 0.9f, nullptr, 2.0f);
  }
};

// The background panel with a border and a strip where the presets sit.
class BenchPanel : public IControl {
public:
  explicit BenchPanel(const IBox& bounds) : IControl(bounds, -1) {}
  void Render(ICanvas& g) override {
    g.FloodBox(IArgb(255, 36, 38, 42), Bounds());
    g.FloodRoundedBox(IArgb(255, 50, 52, 58), IBox(8, 8, 242, 34), 4.0f);
    g.OutlineRoundedBox(IArgb(255, 90, 92, 98), IBox(8, 8, 242, 34), 4.0f);
  }
};

HWND MakeHostWindow() {
  WNDCLASSA wc = {};
  wc.lpfnWndProc = DefWindowProcA;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "EditorBenchHost";
  RegisterClassA(&wc);
  HWND host = CreateWindowExA(0, "EditorBenchHost", "bench", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 20, 20, 700,
                              500, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  ShowWindow(host, SW_SHOWNORMAL);
  UpdateWindow(host);
  return host;
}

// Pumps as a host's message loop does: asleep until a message arrives.
void PumpFor(double ms) {
  const double end = NowNanoseconds() + ms * 1e6;
  for (double now = NowNanoseconds(); now < end; now = NowNanoseconds()) {
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&m);
      DispatchMessageA(&m);
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>((end - now) / 1e6) + 1, QS_ALLINPUT);
  }
}

// How long the smoke run waits for an editor's first frame: as long as the
// tests wait for anything, since a loaded machine is slow but not broken.
constexpr double kFirstFrameLimitMs = 20000.0;

bool PumpUntil(const std::function<bool()>& done, double timeoutMs) {
  const double end = NowNanoseconds() + timeoutMs * 1e6;
  while (!done()) {
    if (NowNanoseconds() > end) return false;
    MSG m;
    if (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&m);
      DispatchMessageA(&m);
    } else {
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT);
    }
  }
  return true;
}

double ProcessCpuMs() {
  FILETIME created, exited, kernel, user;
  GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
  auto ms = [](const FILETIME& f) {
    return ((static_cast<unsigned long long>(f.dwHighDateTime) << 32) | f.dwLowDateTime) / 1e4;
  };
  return ms(kernel) + ms(user);
}

// Which editor the figures are taken for.
bool gProductEditor = false;

struct BenchEditor {
  BenchDelegate plain;
#if defined(TESSIVO_PRODUCT_BENCH)
  // Made only for the product's figures: its binding runs the 20 ms editor
  // timer from construction on, which the stand-in's figures must not carry.
  std::unique_ptr<Tessivo> product;
#endif
  ICanvasWin* editor = nullptr;
  explicit BenchEditor(float drawScale) {
#if defined(TESSIVO_PRODUCT_BENCH)
    if (gProductEditor) {
      product = std::make_unique<Tessivo>(nullptr);
      // The product's own factory (and the layout its constructor installed),
      // at the draw scale asked for.
      product->SetGraphicsFactory([this, drawScale]() -> ICanvas* {
        editor = static_cast<ICanvasWin*>(product->CreateEditorGraphics());
        if (editor) editor->ApplySize(250, 160, drawScale);
        return editor;
      });
      return;
    }
#endif
    plain.SetGraphicsFactory([this, drawScale]() -> ICanvas* {
      editor = new ICanvasWin(&plain, 250, 160, 60, drawScale);
      return editor;
    });
    plain.SetEditorLayout([](ICanvas* g) {
      g->AttachBackground(new BenchPanel(IBox(0, 0, 250, 160)));
      g->AdoptControl(new BenchKnob(IBox(15, 50, 85, 120), 0));
      g->AdoptControl(new BenchKnob(IBox(90, 50, 160, 120), 1));
      g->AdoptControl(new BenchKnob(IBox(165, 50, 235, 120), 2));
    });
  }
  ~BenchEditor() { Delegate().DetachEditor(); }
  ICanvasEditorDelegate& Delegate() {
#if defined(TESSIVO_PRODUCT_BENCH)
    if (gProductEditor) return *product;
#endif
    return plain;
  }
};

// Milliseconds per full repaint (every control dirty, painted by the next
// tick), averaged over frames.
double FullRepaintMs(ICanvasWin& editor, int frames) {
  double total = 0.0;
  int measured = 0;
  for (int i = 0; i < frames; ++i) {
    editor.VisitAllControls([](IControl& c) { c.MarkChanged(false, -1); });
    const uint32_t before = editor.PaintedFrames();
    // Paint now, as a tick does, and time the paint alone.
    HWND hwnd = static_cast<HWND>(editor.NativeWindowHandle());
    InvalidateRect(hwnd, nullptr, FALSE);
    const double start = NowNanoseconds();
    UpdateWindow(hwnd);
    const double end = NowNanoseconds();
    if (editor.PaintedFrames() > before) {
      total += (end - start) / 1e6;
      ++measured;
    }
    PumpFor(5);  // let the ticks clear the dirty marks
  }
  return measured ? total / measured : -1.0;
}

} // namespace

int main(int argc, char** argv) {
  const bool quick = argc > 1 && std::strcmp(argv[1], "--quick") == 0;
  const double runMs = quick ? 300.0 : 5000.0;
  const int frames = quick ? 5 : 100;
  HWND host = MakeHostWindow();
  if (!host) {
    std::printf("editor_window_bench: no host window (is DISPLAY set?)\n");
    return 1;
  }
  int failures = 0;
#if defined(TESSIVO_PRODUCT_BENCH)
  for (bool product : {false, true}) {
    gProductEditor = product;
    std::printf("%s\n", product ? "-- the product's editor" : "-- stand-in editor (three plain knobs)");
#else
  {
#endif

  // Opening to the first frame (the first opening includes the OpenGL
  // driver's start-up; the second is what a host sees on reopening).
  for (int run = 0; run < 2; ++run) {
    BenchEditor e(1.0f);
    const double start = NowNanoseconds();
    if (!e.Delegate().AttachEditor(host)) {
      std::printf("editor_window_bench: the editor did not open\n");
      return 1;
    }
    const bool painted = PumpUntil([&] { return e.editor->PaintedFrames() >= 1; }, kFirstFrameLimitMs);
    const double ms = (NowNanoseconds() - start) / 1e6;
    if (!painted) ++failures;
    std::printf("open to first frame (%s):   %8.2f ms%s\n", run == 0 ? "first open" : "reopen    ", ms,
                painted ? "" : "  (no frame)");
  }

  for (float scale : {1.0f, 2.0f}) {
    BenchEditor e(scale);
    e.Delegate().AttachEditor(host);
    PumpUntil([&] { return e.editor->PaintedFrames() >= 1; }, kFirstFrameLimitMs);
    const double ms = FullRepaintMs(*e.editor, frames);
    if (ms < 0) ++failures;
    std::printf("full repaint, draw scale %.0f:    %8.3f ms  (%d x %d pixels)\n", scale, ms,
                e.editor->SurfaceWidth(), e.editor->SurfaceHeight());
  }

  {
    BenchEditor e(1.0f);
    e.Delegate().AttachEditor(host);
    PumpUntil([&] { return e.editor->PaintedFrames() >= 1; }, kFirstFrameLimitMs);
    PumpFor(200);
    uint32_t frames0 = e.editor->PaintedFrames(), ticks0 = e.editor->TicksRun();
    double cpu0 = ProcessCpuMs(), wall0 = NowNanoseconds();
    PumpFor(runMs);
    double cpu = ProcessCpuMs() - cpu0, wall = (NowNanoseconds() - wall0) / 1e6;
    std::printf("idle:            CPU %6.2f %% of one core, %u frames in %u ticks over %.1f s\n",
                100.0 * cpu / wall, e.editor->PaintedFrames() - frames0, e.editor->TicksRun() - ticks0,
                wall / 1000.0);

    frames0 = e.editor->PaintedFrames();
    ticks0 = e.editor->TicksRun();
    cpu0 = ProcessCpuMs();
    wall0 = NowNanoseconds();
    // The host's changes come from a 50 ms timer of this thread.
    static ICanvasEditorDelegate* changed = nullptr;
    static int changes = 0;
    changed = &e.Delegate();
    changes = 0;
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR, DWORD) {
      changed->PushParamValue(2, (changes++ % 20) / 20.0, true);
    });
    PumpFor(runMs);
    KillTimer(nullptr, timer);
    cpu = ProcessCpuMs() - cpu0;
    wall = (NowNanoseconds() - wall0) / 1e6;
    std::printf("20 Hz host:      CPU %6.2f %% of one core, %u frames in %u ticks, %d changes over %.1f s\n",
                100.0 * cpu / wall, e.editor->PaintedFrames() - frames0, e.editor->TicksRun() - ticks0, changes,
                wall / 1000.0);
  }
  }
  {
    // What this message loop costs by itself, waiting with nothing to do.
    PumpFor(100);
    const double cpu0 = ProcessCpuMs(), wall0 = NowNanoseconds();
    PumpFor(runMs);
    const double cpu = ProcessCpuMs() - cpu0, wall = (NowNanoseconds() - wall0) / 1e6;
    std::printf("quiet loop:      CPU %6.2f %% of one core (no editor, no ticks)\n", 100.0 * cpu / wall);
  }
  {
    // The floor under the idle figure: the display-sync thread posting its
    // 60 ticks a second to a plain window, and this loop receiving them,
    // with no editor at all.
    DisplaySyncThread sync;
    sync.Start(host);
    PumpFor(100);
    const double cpu0 = ProcessCpuMs(), wall0 = NowNanoseconds();
    PumpFor(runMs);
    const double cpu = ProcessCpuMs() - cpu0, wall = (NowNanoseconds() - wall0) / 1e6;
    sync.Stop();
    std::printf("tick floor:      CPU %6.2f %% of one core (ticks posted and received, no editor)\n",
                100.0 * cpu / wall);
  }
  DestroyWindow(host);
  // Ended at once, as the test programs end (tests/support/test_main.cpp):
  // the usual shutdown of the OpenGL libraries can outlast the time the Wine
  // server lets a dying process take on a loaded machine.
  std::fflush(stdout);
  TerminateProcess(GetCurrentProcess(), failures == 0 ? 0 : 1);
  return failures == 0 ? 0 : 1;
}
