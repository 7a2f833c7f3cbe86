// Cost of the graphics core's resource and layer work, as figures to read:
//  - the drop-shadow mask of a layer (both blur passes), for the knob's
//    layer at draw scales 1 and 2 and screen scales 1 and 2, in
//    microseconds per mask; it runs once per layer rebuild, never per paint;
//  - a lookup in a shared cache of 1000 entries, in nanoseconds;
//  - reading the names and metrics of the embedded Roboto font, in
//    microseconds per read;
//  - checking that the font rasteriser can use that font without reading
//    outside its bytes (once per font and process), in microseconds.
//
// Usage: graphics_bench [--quick]   (--quick: a few rounds only, as a smoke run)

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "bench/Stopwatch.h"
#include "core/ModuleResources.h"
#include "graphics/IShadowBlur.h"
#include "graphics/resources/ISharedCache.h"
#include "graphics/resources/ITrueTypeInfo.h"
#include "graphics/resources/TrueTypeBounds.h"

namespace {

using plugkit::canvas::BlurAndTranspose;
using plugkit::canvas::IShadowKernel;
using tessivo_bench::NowNanoseconds;

volatile uint32_t gSink = 0;

// Both passes of the mask over a w x h layer, as the canvas runs them.
double MaskMicroseconds(int32_t w, int32_t h, float spread, int rounds) {
  std::vector<uint8_t> pixels(static_cast<size_t>(w) * h * 4), transposed(pixels.size());
  for (size_t i = 3; i < pixels.size(); i += 4) pixels[i] = (i / 4) % 7 ? 255 : 0;
  const IShadowKernel kernel(spread);
  const double start = NowNanoseconds();
  for (int r = 0; r < rounds; ++r) {
    BlurAndTranspose(pixels.data() + (h - 1) * 4 * w, -4 * w, transposed.data(), 4 * h, w, h, 3, kernel);
    BlurAndTranspose(transposed.data(), 4 * h, pixels.data(), 4 * w, h, w, 3, kernel);
  }
  gSink = gSink + pixels[7];
  return (NowNanoseconds() - start) / rounds / 1000.0;
}

struct Item {
  int Value;
};

double LookupNanoseconds(int rounds) {
  plugkit::canvas::ISharedCache<Item> cache;
  plugkit::canvas::ISharedCache<Item>::LockedView view(cache);
  std::vector<std::string> names;
  for (int i = 0; i < 1000; ++i) {
    names.push_back("image" + std::to_string(i) + ".png");
    view.Add(new Item{i}, names.back().c_str(), 1 + i % 3);
  }
  const double start = NowNanoseconds();
  int found = 0;
  for (int r = 0; r < rounds; ++r) {
    const int i = (r * 617) % 1000;
    if (Item* item = view.Find(names[static_cast<size_t>(i)].c_str(), 1 + i % 3)) found += item->Value == i;
  }
  gSink = gSink + static_cast<uint32_t>(found);
  return (NowNanoseconds() - start) / rounds;
}

// The embedded Roboto's bytes; null when absent.
const unsigned char* RobotoBytes(int32_t& size) {
  plugkit::IStringBuffer location;
  if (plugkit::FindResourceOrFile("Roboto-Regular.ttf", "ttf", location, nullptr) != plugkit::kLocationResource)
    return nullptr;
  return plugkit::LoadResourceBytes(location.Get(), "ttf", size, nullptr);
}

double FontReadMicroseconds(const unsigned char* bytes, int32_t size, int rounds) {
  plugkit::canvas::ITrueTypeInfo info;
  const double start = NowNanoseconds();
  for (int r = 0; r < rounds; ++r) gSink = gSink + info.Load(bytes, size, 0) + info.FamilyName.Length();
  return (NowNanoseconds() - start) / rounds / 1000.0;
}

double FontCheckMicroseconds(const unsigned char* bytes, int32_t size, int rounds) {
  const double start = NowNanoseconds();
  for (int r = 0; r < rounds; ++r) gSink = gSink + plugkit::canvas::TrueTypeFaceInBounds(bytes, size, 0);
  return (NowNanoseconds() - start) / rounds / 1000.0;
}

} // namespace

int main(int argc, char** argv) {
  const bool quick = argc > 1 && std::strcmp(argv[1], "--quick") == 0;
  const int rounds = quick ? 2 : 200;

  std::printf("drop-shadow mask, blur 5, both passes (microseconds per mask)\n");
  struct {
    const char* what;
    int32_t w, h;
    float spread;  // screen scale x draw scale x blur + 1
  } masks[] = {
      {"knob layer 60x60, screen 1, draw 1", 60, 60, 6},
      {"knob layer 120x120, screen 1, draw 2", 120, 120, 11},
      {"knob layer 240x240, screen 2, draw 2", 240, 240, 21},
  };
  for (const auto& m : masks) std::printf("  %-40s %10.1f\n", m.what, MaskMicroseconds(m.w, m.h, m.spread, rounds));

  const double lookup = LookupNanoseconds(quick ? 100 : 100000);
  std::printf("shared cache lookup among 1000 entries: %.0f ns\n", lookup);
  int32_t size = 0;
  const unsigned char* roboto = RobotoBytes(size);
  if (!roboto) {
    std::printf("embedded Roboto font not found\n");
    return 1;
  }
  std::printf("Roboto names and metrics read: %.1f microseconds\n",
              FontReadMicroseconds(roboto, size, quick ? 2 : 2000));
  std::printf("Roboto checked for the rasteriser: %.1f microseconds\n",
              FontCheckMicroseconds(roboto, size, quick ? 2 : 200));
  return 0;
}
