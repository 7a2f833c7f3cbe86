#pragma once
// The eight-byte header in front of the state chunks that the VST 2.4
// binding hands to its host, and in front of the opaque chunk of a preset
// file: a little-endian int32 tag 0x70666674 (bytes 74 66 66 70) and a
// little-endian int32 format version 0x00010000. Chunks stored by hosts carry
// these bytes, so neither value may change.
//
// One thread at a time per buffer, like every state buffer operation.

#include <cstdint>

#include "core/IStateBuffer.h"

namespace plugkit {

constexpr int32_t kStateHeaderTag = 0x70666674;
constexpr int32_t kStateHeaderVersion = 0x00010000;
constexpr int32_t kStateHeaderSize = 8;

// Empties the buffer and writes the header into it. False when the buffer
// could not hold it (it is then left empty).
bool WriteStateHeader(IStateBuffer& buffer);

// Looks for the header at the start of the buffer. Returns the position where
// the data begin: 8 with the header (version receives its second int32), 0
// without it (version receives 0; the whole buffer is data), or -1 when the
// buffer starts with the tag but is too short for the version (version 0),
// which every reader then rejects.
int32_t ReadStateHeader(const IStateBuffer& buffer, int32_t* version);

} // namespace plugkit
