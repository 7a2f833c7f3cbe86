// IProcessor's block operations: binding host buffers, and running
// ProcessAudio over a host block in sub-blocks that fit the scratch buffers.
// Everything here runs on the audio thread: no allocation, no lock.

#include <cstring>

#include "core/IProcessor.h"

namespace plugkit {

namespace {

int32_t Smaller(int32_t a, int32_t b) { return a < b ? a : b; }

} // namespace

void IProcessor::BindChannelBuffers(IPortDirection direction, int32_t count, float* const* hostBuffers,
                                    int32_t frames) {
  if (!hostBuffers || count < 0) count = 0;
  if (frames < 0) frames = 0;
  const bool input = direction == IPortDirection::Input;
  const int32_t staged = Smaller(frames, mBlockSize);
  int32_t next = 0;
  const int32_t total = ChannelCount(direction);
  // Every slot of the direction is visited, so that a connected slot the
  // host gave no buffer to reads silence instead of the last block's audio.
  for (int32_t i = 0; i < total; ++i) {
    IChannelSlot* slot = Channel(direction, i);
    slot->hostInput = nullptr;
    slot->hostOutput = nullptr;
    if (!slot->connected) continue;
    float* buffer = next < count ? hostBuffers[next++] : nullptr;
    double* scratch = slot->Scratch();
    *slot->entry = scratch;
    if (input) {
      slot->hostInput = buffer;
      if (buffer && scratch) {
        for (int32_t j = 0; j < staged; ++j) scratch[j] = static_cast<double>(buffer[j]);
      } else {
        ZeroDoubles(scratch, staged);
      }
    } else {
      slot->hostOutput = buffer;
    }
  }
  mBoundFrames[PortIndex(direction)] = frames;
  if (input) mStagedFrames = staged;
}

void IProcessor::ReplaceBlock(int32_t frames) { RunBoundBlock(frames, EBlockWrite::Replace); }

void IProcessor::AccumulateBlock(int32_t frames) { RunBoundBlock(frames, EBlockWrite::Accumulate); }

void IProcessor::ProcessFloatBlock(float* const* inputs, int32_t inputCount, float* const* outputs,
                                   int32_t outputCount, int32_t frames, EBlockWrite write) {
  BindChannelBuffers(IPortDirection::Input, inputCount, inputs, frames);
  BindChannelBuffers(IPortDirection::Output, outputCount, outputs, frames);
  RunBoundBlock(frames, write);
}

void IProcessor::RunBoundBlock(int32_t frames, EBlockWrite write) {
  for (int32_t bound : mBoundFrames)
    if (bound >= 0) frames = Smaller(frames, bound);
  if (frames > 0) {
    if (mBlockSize <= 0) {
      if (write == EBlockWrite::Replace) SilenceBoundOutputs(frames);
    } else {
      // A binding may have pointed entries at host buffers by hand; those
      // must not be written through here.
      PointEntriesAtScratch();
      double** inputs = ChannelPointers(IPortDirection::Input);
      double** outputs = ChannelPointers(IPortDirection::Output);
      for (int32_t offset = 0; offset < frames; offset += mBlockSize) {
        const int32_t part = Smaller(mBlockSize, frames - offset);
        if (offset > 0 || mStagedFrames < part) StageInputs(offset, part);
        ProcessAudio(inputs, outputs, part);
        WriteOutputs(offset, part, write);
      }
    }
  }
  ForgetHostBuffers();
}

void IProcessor::StageInputs(int32_t offset, int32_t frames) {
  for (IChannelSlot* slot : Slots(IPortDirection::Input)) {
    if (!slot->connected) continue;
    double* scratch = slot->Scratch();
    if (slot->hostInput) {
      const float* source = slot->hostInput + offset;
      for (int32_t j = 0; j < frames; ++j) scratch[j] = static_cast<double>(source[j]);
    } else {
      ZeroDoubles(scratch, frames);
    }
  }
}

void IProcessor::WriteOutputs(int32_t offset, int32_t frames, EBlockWrite write) {
  for (IChannelSlot* slot : Slots(IPortDirection::Output)) {
    if (!slot->connected || !slot->hostOutput) continue;
    float* target = slot->hostOutput + offset;
    const double* scratch = slot->Scratch();
    if (write == EBlockWrite::Replace) {
      CopyDoublesToFloats(target, scratch, frames);
    } else {
      for (int32_t j = 0; j < frames; ++j) target[j] += static_cast<float>(scratch[j]);
    }
  }
}

void IProcessor::SilenceBoundOutputs(int32_t frames) {
  for (IChannelSlot* slot : Slots(IPortDirection::Output))
    if (slot->connected && slot->hostOutput)
      std::memset(slot->hostOutput, 0, sizeof(float) * static_cast<size_t>(frames));
}

void IProcessor::ForgetHostBuffers() {
  for (IPointerArray<IChannelSlot>& slots : mSlots)
    for (IChannelSlot* slot : slots) {
      slot->hostInput = nullptr;
      slot->hostOutput = nullptr;
    }
  mBoundFrames[0] = mBoundFrames[1] = -1;
  mStagedFrames = 0;
}

void IProcessor::ProcessDoubleBlock(double* const* inputs, int32_t inputCount, double* const* outputs,
                                    int32_t outputCount, int32_t frames) {
  ForgetHostBuffers();
  if (frames <= 0) return;
  if (mBlockSize <= 0) {
    // Silence: the same host outputs the connected slots would have used.
    // Host buffers go to connected slots in order, so the walk covers every
    // slot and stops only when the host's buffers run out: an unconnected
    // slot ahead of a connected one takes no buffer.
    if (!outputs) return;
    int32_t next = 0;
    const int32_t total = ChannelCount(IPortDirection::Output);
    for (int32_t i = 0; i < total && next < outputCount; ++i) {
      if (!Channel(IPortDirection::Output, i)->connected) continue;
      ZeroDoubles(outputs[next++], frames);
    }
    return;
  }
  double** inputPointers = ChannelPointers(IPortDirection::Input);
  double** outputPointers = ChannelPointers(IPortDirection::Output);
  for (int32_t offset = 0; offset < frames; offset += mBlockSize) {
    const int32_t part = Smaller(mBlockSize, frames - offset);
    MapDoubleBuffers(IPortDirection::Input, inputs, inputCount, offset, part);
    MapDoubleBuffers(IPortDirection::Output, outputs, outputCount, offset, part);
    ProcessAudio(inputPointers, outputPointers, part);
  }
  // The host's buffers are not ours beyond this call.
  PointEntriesAtScratch();
}

void IProcessor::MapDoubleBuffers(IPortDirection direction, double* const* buffers, int32_t count, int32_t offset,
                                  int32_t frames) {
  if (!buffers) count = 0;
  int32_t next = 0;
  const int32_t total = ChannelCount(direction);
  for (int32_t i = 0; i < total; ++i) {
    IChannelSlot* slot = Channel(direction, i);
    double* buffer = slot->connected && next < count ? buffers[next++] : nullptr;
    if (buffer) {
      *slot->entry = buffer + offset;
      continue;
    }
    *slot->entry = slot->Scratch();
    if (direction == IPortDirection::Input && slot->connected) ZeroDoubles(slot->Scratch(), frames);
  }
}

} // namespace plugkit
