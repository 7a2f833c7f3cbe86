// Cost of the product's editor controls on the user-interface thread, without
// a window or a drawing back-end (every drawing call does nothing), as
// figures to read:
//  - opening: the layout of a fresh editor (fonts, logo, eight controls), in
//    microseconds;
//  - one full frame: every control rendered into one region covering the
//    editor, in microseconds; the drawing back-end's own cost comes on top;
//  - one drag step on a knob, from the pointer event to the value the host
//    reads, in nanoseconds;
//  - one preset step through the strip's arrow (click, preset applied,
//    controls updated), in microseconds.
//
// Usage: editor_bench [--quick]   (--quick: a few rounds only, as a smoke run)

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>

#include "bench/Stopwatch.h"
#include "core/IParam.h"
#include "graphics/records/IBoxList.h"
#include "plugin/Tessivo.h"
#include "tests/graphics/null_canvas.h"
#include "tests/graphics/pointer_events.h"

namespace {

using namespace plugkit::canvas;
using tessivo_bench::NowNanoseconds;

std::unique_ptr<test::NullCanvas> OpenEditor(Tessivo& plugin) {
  auto canvas = std::make_unique<test::NullCanvas>(&plugin, 250, 160, 60, 1.0f);
  plugin.RunEditorLayout(canvas.get());
  return canvas;
}

} // namespace

int main(int argc, char** argv) {
  const bool quick = argc > 1 && std::strcmp(argv[1], "--quick") == 0;
  const int rounds = quick ? 5 : 2000;
  Tessivo plugin(nullptr);

  double start = NowNanoseconds();
  for (int r = 0; r < rounds; ++r) {
    auto canvas = OpenEditor(plugin);
    plugin.OnEditorHidden();
  }
  const double openUs = (NowNanoseconds() - start) / rounds / 1000.0;

  auto canvas = OpenEditor(plugin);
  start = NowNanoseconds();
  for (int r = 0; r < rounds; ++r) {
    IBoxList boxes;
    boxes.Add(IBox(0, 0, 250, 160));
    canvas->PaintRegions(boxes);
  }
  const double frameUs = (NowNanoseconds() - start) / rounds / 1000.0;

  const int steps = rounds * 20;
  const IPointerEvent press = test::Pointer(200, 90);
  canvas->HandlePointerDown(&press, 1);
  start = NowNanoseconds();
  for (int s = 0; s < steps; ++s) {
    const IPointerEvent drag = test::Pointer(200, 90, 0, (s & 1) ? 1.0f : -1.0f);
    canvas->HandlePointerDrag(&drag, 1);
  }
  const double dragNs = (NowNanoseconds() - start) / steps;
  canvas->HandlePointerUp(&press, 1);

  const IPointerEvent next = test::Pointer(210, 10);
  start = NowNanoseconds();
  for (int r = 0; r < rounds; ++r) {
    canvas->HandlePointerDown(&next, 1);
    canvas->HandlePointerUp(&next, 1);
  }
  const double presetUs = (NowNanoseconds() - start) / rounds / 1000.0;
  plugin.OnEditorHidden();

  std::printf("editor open (layout)      %9.2f us\n", openUs);
  std::printf("full frame, null drawing  %9.2f us\n", frameUs);
  std::printf("knob drag step            %9.1f ns\n", dragNs);
  std::printf("preset step (strip arrow) %9.2f us\n", presetUs);
  return 0;
}
