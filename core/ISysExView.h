#pragma once
// ISysExView: how a SysEx message is passed from one operation to the next: a
// frame offset, a size and a pointer to bytes that the caller owns. The view
// never owns or copies the bytes; they stay valid only for the duration of the
// call that receives the view, so a receiver that keeps a message copies it
// (core/ISysExPacket.h is the fixed-size copy used by the hand-off queues).
// A null pointer means "no bytes", whatever the size says.

#include <cstdint>

namespace plugkit {

struct ISysExView {
  int32_t frameOffset = 0;        // frames from the start of the block
  int32_t size = 0;               // bytes at data
  const uint8_t* data = nullptr;  // owned by the caller
};

} // namespace plugkit
