#include "core/IPortDirection.h"

namespace plugkit {

const char* PortDirectionLabel(IPortDirection direction) {
  return direction == IPortDirection::Output ? "Output" : "Input";
}

} // namespace plugkit
