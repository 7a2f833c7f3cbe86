#pragma once
// IChannelSlot: one possible input or output channel of the processor. The
// processor (core/IProcessor.h) creates one slot per channel of its widest
// layout, owns them for its whole life and never adds or removes one.
//
// Thread contract: the slot is touched by the audio thread while a block
// runs, and by the binding from the host's set-up calls, which hold the
// processor's set-up gate so that no block runs meanwhile. Nothing here
// allocates except resizing the scratch, which only
// IProcessor::ChangeBlockSize does.

#include "core/IHeapBlock.h"
#include "core/IStringBuffer.h"

namespace plugkit {

struct IChannelSlot {
  // Set by the binding for the channels that the host actually provides. An
  // unconnected slot consumes no host buffer and its entry points at its own
  // (silent) scratch.
  bool connected = false;
  // This channel's entry in the processor's channel-pointer array: the buffer
  // that ProcessAudio sees for the channel.
  double** entry = nullptr;
  // The host's buffers of the block being bound (input slots use hostInput,
  // output slots hostOutput). Borrowed from the host, valid only until the
  // block has run; the processor forgets them afterwards.
  const float* hostInput = nullptr;
  float* hostOutput = nullptr;
  // Block-size float64 samples: the converted input, or the output that
  // ProcessAudio writes before it goes back to the host.
  IHeapBlock scratch;
  IStringBuffer label;

  // The scratch samples, or null while the block size is 0.
  double* Scratch() const { return scratch.Size() > 0 ? scratch.As<double>() : nullptr; }
};

} // namespace plugkit
