#pragma once
// ISysExPacket: a SysEx message copied into a fixed-size record so that it can
// travel through a hand-off queue (see core/IHandoffQueue.h) without any
// allocation. Between operations SysEx travels as an ISysExView instead, which
// only points at the bytes.
//
// A packet holds at most kSysExPacketBytes bytes. Messages that do not fit are
// refused, never cut: a cut SysEx message would reach the device without its
// end-of-exclusive byte.

#include <cstdint>

namespace plugkit {

struct ISysExView;

constexpr int32_t kSysExPacketBytes = 512;

struct ISysExPacket {
  int32_t frameOffset = 0;
  int32_t size = 0;                       // bytes of data in use, 0..kSysExPacketBytes
  uint8_t data[kSysExPacketBytes] = {};
};

// Fills packet from view: frame offset, size and a copy of the bytes; the rest
// of the data area is zeroed. A view without bytes (null pointer) gives a
// packet of zero bytes with the view's size. Returns false, leaving packet
// untouched, when the size is negative or above kSysExPacketBytes.
// Allocation-free; safe on the audio thread.
bool PackSysEx(const ISysExView& view, ISysExPacket& packet);

// A view on the packet's own bytes, its size clamped to 0..kSysExPacketBytes;
// valid while the packet lives.
ISysExView ViewOfPacket(const ISysExPacket& packet);

} // namespace plugkit
