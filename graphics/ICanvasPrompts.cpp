// Value prompts, text entry and menus: how a control asks the user for a
// value or a choice, and how the answer comes back to it.

#include <cstring>

#include "core/IParam.h"
#include "graphics/ICanvas.h"
#include "graphics/ICanvasEditorDelegate.h"
#include "graphics/IControl.h"
#include "graphics/IEntryOverlay.h"
#include "graphics/IMenuOverlay.h"

namespace plugkit::canvas {

namespace {

// The canvas' own menu is rebuilt for every prompt and context menu; nothing
// of the previous showing (items, choice, completion) may carry over.
void ResetMenu(IPopupMenu& menu) {
  menu.ClearItems();
  menu.Numbering = 0;
  menu.ColumnBreak = 0;
  menu.PickedIndex = -1;
  menu.Completion = nullptr;
  menu.Heading.Clear();
}

// The text of the first display text whose value is exactly value, or "".
const char* CaptionFor(const IParam& param, double value) {
  for (int32_t j = 0; j < param.CaptionCount(); ++j) {
    const IValueCaption* caption = param.GetCaption(j);
    if (caption && caption->value == value) return caption->text;
  }
  return "";
}

} // namespace

IParam* ICanvas::ParamOfSlot(const IControl* control, int32_t valueIndex) const {
  if (!control || valueIndex < 0 || valueIndex >= control->BoundValueCount()) return nullptr;
  const int32_t param = control->ParamIndexAt(valueIndex);
  return HasParam(param) ? mDelegate->GetParam(param) : nullptr;
}

void ICanvas::PromptParameterValue(IControl* control, const IBox& box, int32_t valueIndex) {
  IParam* param = ParamOfSlot(control, valueIndex);
  if (!param) return;

  // Only a parameter with display texts can offer them; a list without any
  // gets the text entry rather than an empty menu.
  const int32_t captions = param->CaptionCount();
  const IParamKind kind = param->Kind();
  if ((kind == IParamKind::ListChoice || kind == IParamKind::OnOff) && captions > 0) {
    // The canvas' menu may be the one still showing; it is not rebuilt
    // under the presentation.
    if (MenuRequestPending()) return;
    ResetMenu(mPromptMenu);
    IStringBuffer current;
    param->FormatValue(param->Value(), false, current, true);
    for (int32_t i = 0; i < captions; ++i) {
      const char* caption = CaptionFor(*param, static_cast<double>(i));
      IPopupMenuItem* item = mPromptMenu.AppendItem(caption);
      if (item && std::strcmp(caption, current.Get()) == 0) item->SetFlag(EPopupItemFlag::Marked);
    }
    mPromptMenu.Heading.Assign(param->Name());
    OpenPopupMenu(control, mPromptMenu, box, valueIndex, false);
    return;
  }

  IStringBuffer text;
  param->FormatValue(param->Value(), false, text, false);
  if (control->PromptShowsLabel()) {
    text.Append(" ");
    text.Append(param->ShownLabel());
  }
  OpenTextEntry(control, control->TextStyle(), box, text.Get(), valueIndex);
}

void ICanvas::OpenTextEntry(IControl* control, const ITextStyle& style, const IBox& box, const char* text,
                            int32_t valueIndex) {
  if (!control) return;
  if (!text) text = "";
  IEntryOverlay* entry = mTextEntryControl;
  // The open field's text is meant for the control it was opened for.
  if (!entry && TextFieldIsOpen()) return;
  mEditedControl = control;
  mEditedValueIndex = valueIndex;
  const int32_t param = valueIndex < 0 ? -1 : control->ParamIndexAt(valueIndex);

  if (entry) {
    entry->SetPointerOver(false);
    entry->SetBounds(box);
    entry->SetHitBounds(box);
    entry->OnBoundsChange();
    ITextStyle entryStyle = style;
    entryStyle.TextColour = style.EntryTextColour;
    entry->SetTextStyle(entryStyle);
    entry->StartEditing(param, text);
    entry->MarkChanged(true, -1);
  } else if (!OpenTextField(param, style, box, control->EntryLimit(), text)) {
    // No field, so no text will ever come back: the control is free again
    // and drags reach it.
    CancelTextEntry();
    return;
  }
  control->MarkChanged(false, -1);
}

// The edit is forgotten before the control hears of it, so a control that
// answers by opening another entry keeps that one.
void ICanvas::CommitTextEntry(const char* text) {
  IControl* control = mEditedControl;
  if (!control) return;
  const int32_t valueIndex = mEditedValueIndex;
  mEditedControl = nullptr;
  mEditedValueIndex = -1;
  if (!text) text = "";

  if (IParam* param = ParamOfSlot(control, valueIndex)) {
    // ParseText constrains; ToNormalised rounds, clamps and maps to 0..1.
    control->TakeValueFromUser(param->ToNormalised(param->ParseText(text)), valueIndex);
  } else {
    control->OnTextCommitted(text, valueIndex);
  }
}

void ICanvas::CancelTextEntry() {
  mEditedControl = nullptr;
  mEditedValueIndex = -1;
}

// A request made while another waits would take over the answer meant for
// the first requester (and, for the in-window menu, never be shown), so it
// is refused instead.
bool ICanvas::MenuRequestPending() const {
  return mMenuRequester || (mPopupMenuControl && !mPopupMenuControl->IsClosed());
}

bool ICanvas::OpenPopupMenu(IControl* control, IPopupMenu& menu, const IBox& anchor, int32_t valueIndex,
                            bool isContext) {
  if (MenuRequestPending()) return false;
  ReleaseAllCaptures();
  // The releases ran control code, which may have asked for a menu itself.
  if (MenuRequestPending()) return false;
  mMenuValueIndex = valueIndex;
  mMenuIsContext = isContext;
  mMenuRequester = control;

  if (IMenuOverlay* overlay = mPopupMenuControl) {
    overlay->SetMenu(&menu);
    if (overlay->PlacementArea().Width() == 0.0f)
      overlay->SetPlacementArea(IBox(0.0f, 0.0f, static_cast<float>(mWidth), static_cast<float>(mHeight)));
    overlay->OpenMenu(anchor);
    return true;
  }
  bool answersLater = false;
  IPopupMenu* chosen = RunPopupMenu(menu, anchor, answersLater);
  if (!answersLater) DeliverMenuResult(chosen);
  return true;
}

// The request is forgotten before the answer goes out, so a requester that
// opens another menu from its handler keeps that request.
void ICanvas::DeliverMenuResult(IPopupMenu* chosen) {
  IControl* requester = mMenuRequester;
  if (!requester) return;
  const int32_t valueIndex = mMenuValueIndex;
  const bool isContext = mMenuIsContext;
  mMenuRequester = nullptr;
  mMenuValueIndex = -1;
  mMenuIsContext = false;

  if (!isContext) {
    requester->OnMenuChoice(chosen && chosen->PickedIndex != -1 ? chosen : nullptr, valueIndex);
  } else {
    requester->OnContextMenuChoice(chosen ? chosen->PickedIndex : -1);
  }
}

void ICanvas::OpenContextMenuForControl(IControl* control, float x, float y) {
  if (MenuRequestPending()) return;  // the canvas' menu may be the one showing
  ResetMenu(mPromptMenu);
  if (!control) return;
  control->FillContextMenu(mPromptMenu);
  // A host with menus of its own adds its items for the parameter; only
  // without one does the canvas show the control's items itself.
  if (mDelegate && mDelegate->OpenHostContextMenu(*control, mPromptMenu, x, y)) return;
  if (mPromptMenu.ItemCount() > 0) OpenPopupMenu(control, mPromptMenu, IBox(x, y, x, y), -1, true);
}

} // namespace plugkit::canvas
