// The preset bank: every slot's title, filled flag and state, one record per
// slot (see IPluginBase.h for the layout).

#include <utility>

#include "core/IPluginBase.h"
#include "core/TraceCall.h"

namespace plugkit {

bool IPluginBase::SerializePresets(IStateBuffer& chunk) const {
  ISectionGuard guard(mStateLock);
  const int32_t start = chunk.Size();
  int32_t index = 0;
  for (const IPresetSlot* slot : mPresets) {
    int32_t length = 0;
    while (slot->title[length] != '\0') ++length;
    TraceCall("plugkit::IPluginBase::SerializePresets", __LINE__, "%d %s", index++, slot->title);
    const bool ok = chunk.AppendInt32(length) && chunk.Append(slot->title, length) &&
                    chunk.AppendUInt8(slot->filled ? 1 : 0) &&
                    (!slot->filled || chunk.Append(slot->state.Bytes(), slot->state.Size()));
    if (!ok) {
      chunk.Resize(start);
      return false;
    }
  }
  return true;
}

int32_t IPluginBase::ScanPresetBank(const IStateBuffer& chunk, int32_t position) const {
  const int32_t stateSize = 8 * ParamCount();
  for (int32_t i = 0; i < PresetCount() && position >= 0; ++i) {
    int32_t length = 0;
    position = chunk.ReadInt32(position, &length);
    if (position < 0 || length < 0 || !chunk.Holds(position, length)) return -1;
    position += length;
    uint8_t filled = 0;
    position = chunk.ReadUInt8(position, &filled);
    if (position >= 0 && filled) {
      if (!chunk.Holds(position, stateSize)) return -1;
      position += stateSize;
    }
  }
  return position;
}

int32_t IPluginBase::UnserializePresets(const IStateBuffer& chunk, int32_t position) {
  if (ScanPresetBank(chunk, position) < 0) return -1;
  ISectionGuard guard(mStateLock);
  // The bank is known to be complete, so none of the reads below can fail.
  int32_t index = 0;
  for (IPresetSlot* slot : mPresets) {
    int32_t length = 0;
    position = chunk.ReadInt32(position, &length);
    // The whole length: a longer title is cut where a character ends.
    slot->SetTitle(length > 0 ? reinterpret_cast<const char*>(chunk.Bytes() + position) : "", length);
    TraceCall("plugkit::IPluginBase::UnserializePresets", __LINE__, "%d %s", index++, slot->title);
    position += length;
    uint8_t filled = 0;
    position = chunk.ReadUInt8(position, &filled);
    slot->filled = filled != 0;
    if (slot->filled) {
      // Through the parameters, so the slot keeps the values as applied.
      position = UnserializeParams(chunk, position);
      IStateBuffer state;
      if (SerializeParams(state)) slot->state = std::move(state);
    }
  }
  ApplyPreset(CurrentPreset());
  return position;
}

} // namespace plugkit
