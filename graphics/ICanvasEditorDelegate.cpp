#include "graphics/ICanvasEditorDelegate.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "core/IMidiShortMessage.h"
#include "core/IParam.h"
#include "core/IStateBuffer.h"
#include "graphics/ICanvas.h"
#include "graphics/IControl.h"

namespace plugkit::canvas {

namespace {

void PutInt32LE(uint8_t* out, int32_t value) {
  const uint32_t bits = static_cast<uint32_t>(value);
  for (int i = 0; i < 4; ++i) out[i] = static_cast<uint8_t>(bits >> (8 * i));
}

void PutFloat32LE(uint8_t* out, float value) {
  int32_t bits = 0;
  std::memcpy(&bits, &value, sizeof(bits));
  PutInt32LE(out, bits);
}

} // namespace

ICanvasEditorDelegate::ICanvasEditorDelegate(int32_t paramCount) : IEditorDelegate(paramCount) {}

ICanvasEditorDelegate::~ICanvasEditorDelegate() {
  // No call of the editor's runs now: a plug-in that a host deletes while
  // one does waits for it (HoldForEditorCall).
  ICanvas* graphics = mGraphics;
  mGraphics = nullptr;
  delete graphics;
}

void* ICanvasEditorDelegate::AttachEditor(void* parentWindow) {
  if (!mGraphics) {
    mGraphics = BuildEditorGraphics();
    if (mGraphics && mStoredWidth > 0 && mStoredHeight > 0 && mStoredScale > 0.0f)
      mGraphics->ApplySize(mStoredWidth, mStoredHeight, mStoredScale);
  }
  if (!mGraphics) return nullptr;
  // Opening asks the host for the window's size, and the host may close the
  // editor in its answer.
  ICanvas::ICallScope call(mGraphics);
  return mGraphics->OpenEditorWindow(parentWindow);
}

void ICanvasEditorDelegate::DetachEditor() {
  if (mClosing) return;
  mClosing = true;
  OnEditorHidden();
  if (mGraphics) {
    mStoredWidth = mGraphics->Width();
    mStoredHeight = mGraphics->Height();
    mStoredScale = mGraphics->DrawScale();
    // Cleared first: what the close reaches (the host, answering the end of
    // a gesture) finds the editor closed, and an editor opened meanwhile
    // is a new one.
    ICanvas* graphics = mGraphics;
    mGraphics = nullptr;
    ICanvas::Dispose(graphics);
  }
  mClosing = false;
}

void ICanvasEditorDelegate::HoldForEditorCall() {}
void ICanvasEditorDelegate::ReleaseEditorHold() {}

bool ICanvasEditorDelegate::OpenHostContextMenu(IControl& /*control*/, IPopupMenu& /*menu*/, float /*x*/,
                                                float /*y*/) {
  return false;
}

bool ICanvasEditorDelegate::OnHostKeyDown(const IKeyStroke& key) {
  if (!mGraphics) return false;
  ICanvas::ICallScope call(mGraphics);
  float x = -1.0f, y = -1.0f;
  if (!mGraphics->QueryPointerPosition(x, y)) x = y = -1.0f;
  return mGraphics->OnKeyDown(x, y, key);
}

bool ICanvasEditorDelegate::OnHostKeyUp(const IKeyStroke& key) {
  if (!mGraphics) return false;
  ICanvas::ICallScope call(mGraphics);
  float x = -1.0f, y = -1.0f;
  if (!mGraphics->QueryPointerPosition(x, y)) x = y = -1.0f;
  return mGraphics->OnKeyUp(x, y, key);
}

void ICanvasEditorDelegate::PushControlValue(int32_t controlTag, double normalisedValue) {
  if (!mGraphics || controlTag < 0) return;
  ICanvas::ICallScope call(mGraphics);
  mGraphics->VisitControls([&](IControl& control) {
    if (control.ControlId() == controlTag) control.TakeValueFromDelegate(normalisedValue, 0);
  });
}

void ICanvasEditorDelegate::PushControlMessage(int32_t controlTag, int32_t messageTag, int32_t size,
                                               const void* data) {
  if (!mGraphics || controlTag < 0) return;
  ICanvas::ICallScope call(mGraphics);
  mGraphics->VisitControls([&](IControl& control) {
    if (control.ControlId() == controlTag) control.OnDelegateMessage(messageTag, size, data);
  });
}

void ICanvasEditorDelegate::PushMidiToEditor(const IMidiShortMessage& message) {
  ICanvas::ICallScope call(mGraphics);
  if (mGraphics) {
    mGraphics->VisitControls([&](IControl& control) {
      if (control.TakesMidi()) control.OnMidiFromDelegate(message);
    });
  }
  OnMidiForEditor(message);
}

void ICanvasEditorDelegate::PushParamValue(int32_t index, double value, bool isNormalised) {
  ICanvas::ICallScope call(mGraphics);
  if (mGraphics && index >= 0 && !std::isnan(value)) {
    bool known = true;
    if (!isNormalised) {
      const IParam* param = GetParam(index);
      known = param != nullptr;
      if (param) value = param->ToNormalised(value);
    }
    if (known) {
      mGraphics->VisitControls([&](IControl& control) {
        for (int32_t k = 0; k < control.BoundValueCount(); ++k)
          if (control.ParamIndexAt(k) == index) control.TakeValueFromDelegate(value, k);
      });
    }
  }
  OnParamChangeForEditor(index, IChangeSource::EditorDelegate);
}

bool ICanvasEditorDelegate::SerializeEditorSize(IStateBuffer& chunk) const {
  int32_t width = mStoredWidth, height = mStoredHeight;
  float scale = mStoredScale;
  if (mGraphics) {
    width = mGraphics->Width();
    height = mGraphics->Height();
    scale = mGraphics->DrawScale();
  }
  // One append, so a chunk that cannot grow is left without a partial record.
  uint8_t record[kEditorSizeBytes];
  PutInt32LE(record, width);
  PutInt32LE(record + 4, height);
  PutFloat32LE(record + 8, scale);
  return chunk.Append(record, kEditorSizeBytes);
}

int32_t ICanvasEditorDelegate::UnserializeEditorSize(const IStateBuffer& chunk, int32_t position) {
  int32_t width = 0, height = 0;
  float scale = 0.0f;
  int32_t pos = chunk.ReadInt32(position, &width);
  pos = chunk.ReadInt32(pos, &height);
  pos = chunk.ReadFloat32(pos, &scale);
  // A short or damaged record leaves the remembered size alone rather than
  // replacing part of it with zeros.
  if (pos < 0 || width < 0 || height < 0 || !std::isfinite(scale) || scale < 0.0f) return -1;
  ICanvas::ICallScope call(mGraphics);
  if (!mGraphics) {
    mStoredWidth = width;
    mStoredHeight = height;
    mStoredScale = scale;
  } else if (width > 0 && height > 0 && scale > 0.0f) {
    mGraphics->ApplySize(width, height, scale);
  }
  return pos;
}

void ICanvasEditorDelegate::ApplyHostScale(float scale) {
  if (!mGraphics || !(scale > 0.0f) || !std::isfinite(scale)) return;
  ICanvas::ICallScope call(mGraphics);
  // Limited before rounding so the conversion to an integer stays defined.
  const float limited = std::min(scale, static_cast<float>(ICanvas::kMaxScreenScale));
  mGraphics->ApplyScreenScale(static_cast<int32_t>(std::lround(limited)));
}

ICanvas* ICanvasEditorDelegate::BuildEditorGraphics() {
  return mGraphicsFactory ? mGraphicsFactory() : nullptr;
}

void ICanvasEditorDelegate::RunEditorLayout(ICanvas* graphics) {
  if (graphics && mEditorLayout) mEditorLayout(graphics);
}

} // namespace plugkit::canvas
