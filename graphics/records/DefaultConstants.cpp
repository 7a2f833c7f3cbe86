#include "graphics/records/DefaultConstants.h"

namespace plugkit {
namespace canvas {

IArgb PaletteDefaultColour(int32_t index) { return kStandardPalette.Get(index); }

} // namespace canvas
} // namespace plugkit
