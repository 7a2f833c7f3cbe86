#include "graphics/drawing/NanoVGMapping.h"

#include "nanovg.h"

namespace plugkit::canvas {

bool NanoVGCapOf(ELineCap cap, int& out) {
  switch (cap) {
    case ELineCap::Butt: out = NVG_BUTT; return true;
    case ELineCap::Round: out = NVG_ROUND; return true;
    case ELineCap::Square: out = NVG_SQUARE; return true;
  }
  return false;
}

bool NanoVGJoinOf(ELineJoin join, int& out) {
  switch (join) {
    case ELineJoin::Miter: out = NVG_MITER; return true;
    case ELineJoin::Round: out = NVG_ROUND; return true;
    case ELineJoin::Bevel: out = NVG_BEVEL; return true;
  }
  return false;
}

INanoVGComposite NanoVGCompositeOf(ECompositeMode mode) {
  INanoVGComposite c;
  c.How = INanoVGComposite::EHow::Operation;
  switch (mode) {
    case ECompositeMode::SourceOver: c.Operation = NVG_SOURCE_OVER; return c;
    case ECompositeMode::SourceIn: c.Operation = NVG_SOURCE_IN; return c;
    case ECompositeMode::SourceOut: c.Operation = NVG_SOURCE_OUT; return c;
    case ECompositeMode::SourceAtop: c.Operation = NVG_ATOP; return c;
    case ECompositeMode::DestinationOver: c.Operation = NVG_DESTINATION_OVER; return c;
    case ECompositeMode::DestinationIn: c.Operation = NVG_DESTINATION_IN; return c;
    case ECompositeMode::DestinationOut: c.Operation = NVG_DESTINATION_OUT; return c;
    case ECompositeMode::DestinationAtop: c.Operation = NVG_DESTINATION_ATOP; return c;
    case ECompositeMode::Xor: c.Operation = NVG_XOR; return c;
    case ECompositeMode::AlphaAdd:
      c.How = INanoVGComposite::EHow::BlendFactors;
      c.Factors[0] = NVG_SRC_ALPHA;
      c.Factors[1] = NVG_DST_ALPHA;
      c.Factors[2] = NVG_SRC_ALPHA;
      c.Factors[3] = NVG_DST_ALPHA;
      return c;
  }
  c.How = INanoVGComposite::EHow::Unchanged;
  return c;
}

} // namespace plugkit::canvas
