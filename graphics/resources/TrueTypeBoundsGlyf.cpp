// Glyph locations and outlines, read as the rasteriser reads them. It takes
// a glyph to run from its location to the next one and reads the outline
// from there without looking at either again, so every glyph's contours,
// flags, coordinates and components must lie between the two; it follows a
// composite's components into their own outlines by recursion, so they must
// not nest too deep or contain themselves.

#include <cstdint>
#include <vector>

#include "graphics/resources/TrueTypeBoundsParts.h"

namespace plugkit::canvas::truetype {

namespace {

// Composite glyphs within composite glyphs, deepest chain. Real fonts stay
// within a few; each level is a stack frame of the rasteriser's.
constexpr int32_t kMaxNesting = 16;

// A simple glyph of contours > 0: the contours' end points, the
// instructions, then per point a flag byte (or a repeated one) and its x
// and y as a byte, a short or nothing, as the flag says. The end points
// must rise (the rasteriser sizes its work from the last and walks them in
// order), and a last contour of one point must not begin off the curve (it
// would look at the point after it, which does not exist).
bool SimpleGlyphInBounds(const IFontSpan& glyph, uint64_t contours) {
  if (!glyph.Has(10, 2 * contours + 2)) return false;
  for (uint64_t k = 1; k < contours; ++k)
    if (glyph.U16(10 + 2 * k) <= glyph.U16(10 + 2 * (k - 1))) return false;
  const uint64_t points = 1 + static_cast<uint64_t>(glyph.U16(10 + 2 * (contours - 1)));
  const uint64_t lastStart = contours >= 2 ? 1 + static_cast<uint64_t>(glyph.U16(10 + 2 * (contours - 2))) : 0;
  uint64_t at = 12 + 2 * contours + glyph.U16(10 + 2 * contours);
  uint64_t coordinates = 0;
  uint8_t flags = 0, repeats = 0;
  for (uint64_t i = 0; i < points; ++i) {
    if (repeats == 0) {
      if (!glyph.Has(at, 1)) return false;
      flags = glyph.U8(at++);
      if (flags & 8) {
        if (!glyph.Has(at, 1)) return false;
        repeats = glyph.U8(at++);
      }
    } else {
      --repeats;
    }
    coordinates += (flags & 2) ? 1 : (flags & 16) ? 0 : 2;
    coordinates += (flags & 4) ? 1 : (flags & 32) ? 0 : 2;
    if (i == lastStart && lastStart + 1 == points && !(flags & 1)) return false;
  }
  return glyph.Has(at, coordinates);
}

// A composite glyph: component records (flags, glyph id, then offsets and a
// scale as the flags say) until one without "more components". Components
// with an outline of their own are listed in children.
bool CompositeGlyphInBounds(const IFontSpan& glyph, uint32_t glyphCount, std::vector<uint16_t>& children) {
  uint64_t at = 10;
  for (bool more = true; more;) {
    if (!glyph.Has(at, 4)) return false;
    const uint16_t flags = glyph.U16(at);
    const uint16_t component = glyph.U16(at + 2);
    at += 4;
    if (flags & 2) at += (flags & 1) ? 4 : 2;  // the rasteriser reads offsets only as x, y values
    if (flags & 8) at += 2;
    else if (flags & 64) at += 4;
    else if (flags & 128) at += 8;
    if (!glyph.Has(0, at)) return false;
    if (component < glyphCount) children.push_back(component);
    more = (flags & 32) != 0;
  }
  return true;
}

// Whether no chain of composites runs deeper than kMaxNesting or back into
// itself. first[g] .. first[g + 1] index g's components in children.
bool NestingInBounds(const std::vector<uint32_t>& first, const std::vector<uint16_t>& children) {
  const uint32_t count = static_cast<uint32_t>(first.size() - 1);
  enum : uint8_t { kNew, kOpen, kDone };
  std::vector<uint8_t> state(count, kNew);
  std::vector<int32_t> depth(count, 0);
  struct IVisit {
    uint32_t Glyph;
    uint32_t Next;  // the next of its components to visit
  };
  std::vector<IVisit> path;
  for (uint32_t root = 0; root < count; ++root) {
    if (state[root] != kNew || first[root] == first[root + 1]) continue;
    path.push_back({root, first[root]});
    state[root] = kOpen;
    while (!path.empty()) {
      IVisit& top = path.back();
      if (top.Next < first[top.Glyph + 1]) {
        const uint16_t child = children[top.Next++];
        if (state[child] == kOpen) return false;  // it contains itself
        if (state[child] == kNew && first[child] != first[child + 1]) {
          if (static_cast<int32_t>(path.size()) >= kMaxNesting) return false;
          state[child] = kOpen;
          path.push_back({child, first[child]});
        }
        continue;
      }
      int32_t deepest = 0;
      for (uint32_t c = first[top.Glyph]; c < first[top.Glyph + 1]; ++c)
        if (depth[children[c]] > deepest) deepest = depth[children[c]];
      depth[top.Glyph] = deepest + 1;
      if (depth[top.Glyph] > kMaxNesting) return false;
      state[top.Glyph] = kDone;
      path.pop_back();
    }
  }
  return true;
}

} // namespace

bool GlyfInBounds(const IFaceTables& face) {
  const uint16_t format = face.Head.U16(50);
  if (format >= 2) return true;  // a location format it cannot read: it reads no outline
  const uint64_t glyphs = face.GlyphCount;
  const uint64_t entry = format == 0 ? 2 : 4;
  if (!face.Loca.Has(0, entry * (glyphs + 1))) return false;
  const auto location = [&](uint64_t g) -> uint64_t {
    return format == 0 ? 2 * static_cast<uint64_t>(face.Loca.U16(2 * g)) : face.Loca.U32(4 * g);
  };

  std::vector<uint32_t> first(glyphs + 1, 0);
  std::vector<uint16_t> children;
  uint64_t start = location(0);
  for (uint64_t g = 0; g < glyphs; ++g) {
    first[g] = static_cast<uint32_t>(children.size());
    const uint64_t end = location(g + 1);
    if (end < start || end > face.Glyf.Size) return false;
    if (end > start) {
      const IFontSpan glyph = face.Glyf.Sub(start, end - start);
      if (!glyph.Has(0, 10)) return false;  // contours and bounding box
      const int16_t contours = glyph.S16(0);
      if (contours > 0 && !SimpleGlyphInBounds(glyph, static_cast<uint64_t>(contours))) return false;
      if (contours < 0 && !CompositeGlyphInBounds(glyph, face.GlyphCount, children)) return false;
    }
    start = end;
  }
  first[glyphs] = static_cast<uint32_t>(children.size());
  return children.empty() || NestingInBounds(first, children);
}

} // namespace plugkit::canvas::truetype
