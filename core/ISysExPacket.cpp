#include "core/ISysExPacket.h"

#include <cstring>

#include "core/ISysExView.h"

namespace plugkit {

bool PackSysEx(const ISysExView& view, ISysExPacket& packet) {
  if (view.size < 0 || view.size > kSysExPacketBytes) return false;
  packet.frameOffset = view.frameOffset;
  packet.size = view.size;
  if (view.data != nullptr && view.size > 0) std::memcpy(packet.data, view.data, static_cast<size_t>(view.size));
  const int32_t copied = view.data != nullptr ? view.size : 0;
  // The unused tail is zeroed so that a packet never carries bytes of an
  // earlier message.
  std::memset(packet.data + copied, 0, static_cast<size_t>(kSysExPacketBytes - copied));
  return true;
}

ISysExView ViewOfPacket(const ISysExPacket& packet) {
  ISysExView view;
  view.frameOffset = packet.frameOffset;
  // A packet filled by hand may carry any size; the view never reaches past
  // the packet's own bytes.
  view.size = packet.size < 0 ? 0 : (packet.size > kSysExPacketBytes ? kSysExPacketBytes : packet.size);
  view.data = packet.data;
  return view;
}

} // namespace plugkit
