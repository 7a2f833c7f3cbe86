#pragma once
// The system's drawing enumerations in NanoVG's terms. NanoVG numbers its
// caps, joins and composite operations differently (joins share the cap
// enumeration, Xor follows two operations of its own), so every value is
// mapped by name, never by cast. Values outside the enumerations map to
// nothing: the caller leaves NanoVG's state as it is.

#include "graphics/records/IComposite.h"
#include "graphics/records/IPathOptions.h"

namespace plugkit::canvas {

// True with the NanoVG cap (NVG_BUTT, NVG_ROUND, NVG_SQUARE) in out.
bool NanoVGCapOf(ELineCap cap, int& out);
// True with the NanoVG join (NVG_MITER, NVG_ROUND, NVG_BEVEL) in out.
bool NanoVGJoinOf(ELineJoin join, int& out);

// How a composite mode is set: a composite operation, four blend factors,
// or nothing at all (an unknown mode leaves the state unchanged).
struct INanoVGComposite {
  enum class EHow { Operation, BlendFactors, Unchanged } How = EHow::Unchanged;
  int Operation = 0;                 // NVG_SOURCE_OVER ...
  int Factors[4] = {0, 0, 0, 0};     // source RGB, destination RGB, source alpha, destination alpha
};
INanoVGComposite NanoVGCompositeOf(ECompositeMode mode);

} // namespace plugkit::canvas
