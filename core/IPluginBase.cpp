#include "core/IPluginBase.h"

#include <cstring>
#include <new>
#include <utility>

#include "core/TraceCall.h"

namespace plugkit {

const char* ApiKindName(int32_t kind) {
  static const char* const kNames[] = {"VST2", "VST3", "AU", "AUv3", "AAX", "APP", "WAM", "WEB"};
  return kind >= 0 && kind < 8 ? kNames[kind] : "";
}

IPluginBase::IPluginBase(int32_t paramCount, int32_t presetCount) : ICanvasEditorDelegate(paramCount) {
  for (int32_t i = 0; i < presetCount; ++i) {
    IPresetSlot* slot = new (std::nothrow) IPresetSlot();
    if (!slot) break;
    if (!mPresets.Add(slot)) {
      delete slot;
      break;
    }
  }
}

IPluginBase::~IPluginBase() { mPresets.DeleteAll(); }

void IPluginBase::NotifyHostParamInfoChanged() {}
void IPluginBase::NotifyHostPresetChanged() {}
void IPluginBase::OnPresetRestored() {}

bool IPluginBase::SerializeParams(IStateBuffer& chunk) const {
  ISectionGuard guard(mStateLock);
  const int32_t start = chunk.Size();
  for (int32_t i = 0; i < ParamCount(); ++i) {
    const IParam* param = GetParam(i);
    const double value = param->Value();
    TraceCall("plugkit::IPluginBase::SerializeParams", __LINE__, "%d %s %f", i, param->Name(), value);
    if (!chunk.AppendFloat64(value)) {
      chunk.Resize(start);
      return false;
    }
  }
  return true;
}

int32_t IPluginBase::UnserializeParams(const IStateBuffer& chunk, int32_t position) {
  // All or nothing: a state that cannot hold every value is not partly applied.
  if (!chunk.Holds(position, 8 * ParamCount())) return -1;
  ISectionGuard guard(mStateLock);
  for (int32_t i = 0; i < ParamCount(); ++i) {
    IParam* param = GetParam(i);
    double value = 0.0;
    position = chunk.ReadFloat64(position, &value);
    param->Set(value);
    TraceCall("plugkit::IPluginBase::UnserializeParams", __LINE__, "%d %s %f", i, param->Name(), param->Value());
  }
  OnEveryParamChange(IChangeSource::Preset);
  return position;
}

const char* IPluginBase::PresetTitleAt(int32_t index) const {
  const IPresetSlot* slot = GetPreset(index);
  return slot ? slot->title : "";
}

bool IPluginBase::CaptureParams(IStateBuffer& out) const {
  out.Clear();
  return SerializeParams(out);
}

void IPluginBase::FillEmptyPresets(const char* title, int32_t count) {
  ISectionGuard guard(mStateLock);
  for (int32_t n = 0; n < count; ++n) {
    IPresetSlot* slot = nullptr;
    for (IPresetSlot* candidate : mPresets)
      if (!candidate->filled) { slot = candidate; break; }
    if (!slot) return;
    IStateBuffer state;
    if (!CaptureParams(state)) return;
    slot->state = std::move(state);
    slot->SetTitle(title ? title : "Empty");
    slot->filled = true;
  }
}

bool IPluginBase::DefinePresetValues(const char* title, const double* values, int32_t count) {
  if (count != ParamCount() || (count > 0 && !values)) return false;
  ISectionGuard guard(mStateLock);
  IPresetSlot* slot = nullptr;
  for (IPresetSlot* candidate : mPresets)
    if (!candidate->filled) { slot = candidate; break; }
  if (!slot) return false;
  IStateBuffer state;
  for (int32_t i = 0; i < count; ++i)
    if (!state.AppendFloat64(values[i])) return false;
  slot->state = std::move(state);
  slot->SetTitle(title);
  slot->filled = true;
  return true;
}

bool IPluginBase::ApplyPreset(int32_t index) {
  ISectionGuard guard(mStateLock);
  IPresetSlot* slot = GetPreset(index);
  if (!slot) return false;
  if (slot->filled) {
    if (UnserializeParams(slot->state, 0) < 0) return false;
  } else {
    IStateBuffer state;
    if (!CaptureParams(state)) return false;
    int32_t userPresets = 0;
    for (const IPresetSlot* other : mPresets)
      if (std::strstr(other->title, "user preset")) ++userPresets;
    IStringBuffer title;
    if (!title.Print(IPresetSlot::kMaxTitleLength, "%s %d", "user preset", userPresets + 1)) return false;
    slot->state = std::move(state);
    slot->SetTitle(title.Get());
    slot->filled = true;
  }
  mCurrentPreset.store(index, std::memory_order_release);
  OnPresetRestored();
  OnStateLoaded();
  return true;
}

bool IPluginBase::ModifyCurrentPreset(const char* title) {
  ISectionGuard guard(mStateLock);
  const int32_t current = CurrentPreset();
  IPresetSlot* slot = GetPreset(current);
  if (!slot) return false;
  const int32_t bytes = 8 * ParamCount();
  if (slot->state.Capacity() >= bytes && slot->state.SizeLimit() >= bytes) {
    // Refilled in place: with the room there nothing can fail and nothing is
    // allocated, which matters to a host that switches programs on its audio
    // thread (the old program is stored first).
    slot->state.Clear();
    SerializeParams(slot->state);
  } else {
    IStateBuffer state;
    if (!CaptureParams(state)) return false;
    slot->state = std::move(state);
  }
  TraceCall("plugkit::IPluginBase::ModifyCurrentPreset", __LINE__, "%d %s", current, slot->title);
  if (title && title[0] != '\0') slot->SetTitle(title);
  return true;
}

} // namespace plugkit
