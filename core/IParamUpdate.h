#pragma once
// IParamUpdate: one parameter value handed to the editor through the
// parameter-update queue (see core/IHandoffQueue.h). The value is real, in the
// parameter's own range, not normalised; the editor tick passes it on to
// PushParamValue unchanged.

#include <cstdint>

namespace plugkit {

struct IParamUpdate {
  int32_t index = 0;
  double value = 0.0;
};

} // namespace plugkit
