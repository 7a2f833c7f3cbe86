#pragma once
// Copying texts into buffers that a VST 2.4 host owns. The host gives only a
// pointer; how many bytes lie behind it is fixed per opcode by the interface
// (the kVst*Len constants of api/vst2/VST2Interface.h). Every copy into a
// host buffer goes through here so that none can write past that size.
// Any thread; no allocation.

#include <cstdint>

namespace plugkit {

// Copies text (null reads "") into destination, at most capacity - 1 bytes
// and always a terminating NUL; a longer text is cut where no UTF-8
// character is split. Nothing happens for a
// null destination or a capacity below 1.
void CopyToHostText(void* destination, const char* text, int32_t capacity);

} // namespace plugkit
