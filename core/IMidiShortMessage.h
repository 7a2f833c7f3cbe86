#pragma once
// IMidiShortMessage: one short (channel or system) MIDI message with the frame
// of the current block at which it takes effect. A plain record of fixed size:
// it is copied by value between the bindings, the processor and the editor,
// and through the hand-off queues (core/IHandoffQueue.h), so it must stay
// trivially copyable.

#include <cstdint>

namespace plugkit {

struct IMidiShortMessage {
  int32_t frameOffset = 0;   // frames from the start of the block
  uint8_t status = 0;
  uint8_t data1 = 0;
  uint8_t data2 = 0;
};

} // namespace plugkit
