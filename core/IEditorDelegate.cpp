#include "core/IEditorDelegate.h"

#include <new>

#include "core/TraceCall.h"

namespace plugkit {

IEditorDelegate::IEditorDelegate(int32_t paramCount) {
  for (int32_t i = 0; i < paramCount; ++i) {
    IParam* param = new (std::nothrow) IParam();
    if (!param) break;
    if (!mParams.Add(param)) {
      delete param;
      break;
    }
  }
}

IEditorDelegate::~IEditorDelegate() { mParams.DeleteAll(); }

void* IEditorDelegate::AttachEditor(void* /*parentWindow*/) {
  OnEditorShown();
  return nullptr;
}

void IEditorDelegate::DetachEditor() { OnEditorHidden(); }

void IEditorDelegate::OnEditorShown() {
  for (int32_t i = 0; i < ParamCount(); ++i) PushParamValue(i, GetParam(i)->ReadNormalised(), true);
}

void IEditorDelegate::OnEditorHidden() {}

void IEditorDelegate::OnParamIndexChanged(int32_t /*index*/) {}

void IEditorDelegate::OnParamChange(int32_t index, IChangeSource source, int32_t /*sampleOffset*/) {
  TraceCall("plugkit::IEditorDelegate::OnParamChange", __LINE__, "idx:%i src:%s\n", index, ChangeSourceText(source));
  OnParamIndexChanged(index);
}

void IEditorDelegate::OnParamChangeForEditor(int32_t /*index*/, IChangeSource /*source*/) {}

void IEditorDelegate::OnEveryParamChange(IChangeSource source) {
  for (int32_t i = 0; i < ParamCount(); ++i) {
    OnParamChange(i, source, -1);
    OnParamChangeForEditor(i, source);
  }
}

void IEditorDelegate::OnMidiForEditor(const IMidiShortMessage& /*message*/) {}

void IEditorDelegate::OnSysExForEditor(const ISysExView& /*view*/) {}

bool IEditorDelegate::OnTaggedMessage(int32_t /*messageTag*/, int32_t /*controlTag*/, int32_t /*size*/,
                                      const void* /*data*/) {
  return false;
}

void IEditorDelegate::OnStateLoaded() { OnEditorShown(); }

bool IEditorDelegate::OnHostKeyDown(const canvas::IKeyStroke& /*key*/) { return false; }

bool IEditorDelegate::OnHostKeyUp(const canvas::IKeyStroke& /*key*/) { return false; }

void IEditorDelegate::PushControlValue(int32_t /*controlTag*/, double /*normalisedValue*/) {}

void IEditorDelegate::PushControlMessage(int32_t controlTag, int32_t messageTag, int32_t size, const void* data) {
  OnTaggedMessage(messageTag, controlTag, size, data);
}

void IEditorDelegate::PushTaggedMessage(int32_t messageTag, int32_t size, const void* data) {
  OnTaggedMessage(messageTag, -1, size, data);
}

void IEditorDelegate::PushMidiToEditor(const IMidiShortMessage& message) { OnMidiForEditor(message); }

void IEditorDelegate::PushSysExToEditor(const ISysExView& view) { OnSysExForEditor(view); }

void IEditorDelegate::PushParamValue(int32_t index, double /*value*/, bool /*isNormalised*/) {
  OnParamChangeForEditor(index, IChangeSource::EditorDelegate);
}

void IEditorDelegate::SendAllParamValuesToHost() {}

void IEditorDelegate::SetParamFromEditor(int32_t index, double normalisedValue) {
  IParam* param = GetParam(index);
  if (!param) return;
  param->ApplyNormalised(normalisedValue);
  OnParamChangeForEditor(index, IChangeSource::UI);
}

bool IEditorDelegate::RequestEditorResize(int32_t /*width*/, int32_t /*height*/) { return false; }

void IEditorDelegate::RouteEditorMidi(const IMidiShortMessage& /*message*/) {}

void IEditorDelegate::RouteEditorSysEx(const ISysExView& /*view*/) {}

void IEditorDelegate::RouteEditorMessage(int32_t /*messageTag*/, int32_t /*controlTag*/, int32_t /*size*/,
                                         const void* /*data*/) {}

void IEditorDelegate::QueueMidiForProcessor(const IMidiShortMessage& /*message*/) {}

void IEditorDelegate::QueueSysExForProcessor(const ISysExView& /*view*/) {}

bool IEditorDelegate::SerializeEditorSize(IStateBuffer& /*chunk*/) const { return true; }

int32_t IEditorDelegate::UnserializeEditorSize(const IStateBuffer& /*chunk*/, int32_t position) { return position; }

void IEditorDelegate::ApplyHostScale(float /*scale*/) {}

} // namespace plugkit
