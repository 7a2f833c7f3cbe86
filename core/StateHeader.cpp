#include "core/StateHeader.h"

namespace plugkit {

bool WriteStateHeader(IStateBuffer& buffer) {
  buffer.Clear();
  if (buffer.AppendInt32(kStateHeaderTag) && buffer.AppendInt32(kStateHeaderVersion)) return true;
  buffer.Clear();
  return false;
}

int32_t ReadStateHeader(const IStateBuffer& buffer, int32_t* version) {
  *version = 0;
  int32_t tag = 0;
  if (buffer.ReadInt32(0, &tag) < 0 || tag != kStateHeaderTag) return 0;
  return buffer.ReadInt32(4, version);
}

} // namespace plugkit
