#include "plugin/editor/TPresetControl.h"

#include <algorithm>

#include "core/ISectionLock.h"
#include "core/IStringBuffer.h"
#include "core/Timer.h"
#include "graphics/ICanvas.h"
#include "plugin/Tessivo.h"
#include "plugin/editor/TAboutBox.h"

using namespace plugkit;
using namespace plugkit::canvas;

namespace {

constexpr IArgb kStripColour{255, 27, 31, 33};
constexpr IArgb kHighlightColour{255, 46, 49, 49};
// Fork Awesome's chevron left, chevron right and caret down, as UTF-8.
constexpr const char* kPrevGlyph = "\xEF\x81\x93";
constexpr const char* kNextGlyph = "\xEF\x81\x94";
constexpr const char* kMenuGlyph = "\xEF\x83\x97";

} // namespace

TPresetControl::TPresetControl(const IBox& bounds, const ITextStyle& titleStyle, const ITextStyle& iconStyle)
    : IControl(bounds, -1), TitleStyle(titleStyle), IconStyle(iconStyle) {
  // Quick clicks on an arrow step once each; a double click is two steps,
  // not a reset.
  SetDoubleAsPress(true);
}

TPresetControl::~TPresetControl() {
  ListMenu.ClearItems(true);
  ActionMenu.ClearItems(true);
  delete DeferTimer;
  DeferTimer = nullptr;
}

Tessivo* TPresetControl::Plugin() const { return dynamic_cast<Tessivo*>(DelegateRef()); }

void TPresetControl::OnBoundsChange() {
  const IBox& b = Bounds();
  // The bottom pixel row belongs to no zone.
  PrevBox = IBox(b.Left, b.Top, b.Left + 25, b.Bottom - 1);
  TitleBox = IBox(b.Left + 25, b.Top, b.Right - 50, b.Bottom - 1);
  NextBox = IBox(b.Right - 50, b.Top, b.Right - 25, b.Bottom - 1);
  MenuBox = IBox(b.Right - 25, b.Top, b.Right, b.Bottom - 1);
}

int32_t TPresetControl::ZoneAt(float x, float y) const {
  if (PrevBox.Contains(x, y)) return kPrevZone;
  if (NextBox.Contains(x, y)) return kNextZone;
  if (MenuBox.Contains(x, y)) return kMenuZone;
  if (TitleBox.Contains(x, y)) return kTitleZone;
  return kNoZone;
}

// ---- Pointer ----

void TPresetControl::OnPointerPress(float x, float y, const IPointerMods&) {
  Pressed = true;
  PressedZone = ZoneAt(x, y);
  if (PressedZone == kNoZone) return;
  MarkChanged(false, -1);
  if (PressedZone == kMenuZone) ShowActionMenu();
  else if (PressedZone == kTitleZone) ShowPresetList();
}

void TPresetControl::StepTo(Tessivo& plugin, int32_t index) {
  const int32_t n = plugin.PresetCount();
  if (n <= 0) return;
  if (!plugin.ApplyPreset(std::min(std::max(index, 0), n - 1))) return;
  // The VST 2.4 host re-reads the program name, the VST 3 host every value.
  plugin.NotifyHostPresetChanged();
}

void TPresetControl::OnPointerRelease(float, float, const IPointerMods&) {
  // Opening the menu drops the pointer's binding with a release; the press
  // itself goes on until the choice.
  if (AwaitingMenu) return;
  Pressed = false;
  MarkChanged(false, -1);
  const int32_t zone = PressedZone;
  PressedZone = kNoZone;
  Tessivo* plugin = Plugin();
  if (plugin && (zone == kPrevZone || zone == kNextZone)) {
    const int32_t n = plugin->PresetCount();
    const int32_t c = plugin->CurrentPreset();
    int32_t target = 0;
    if (zone == kPrevZone) {
      target = c <= 0 ? n - 1 : c - 1;
    } else if (n > 0) {
      target = (c + 1) % n;
      if (target < 0) target = 0;
    }
    StepTo(*plugin, target);
  }
}

void TPresetControl::OnPointerHover(float, float, const IPointerMods&) {
  if (ICanvas* g = GraphicsRef()) g->ChangePointerShape(EPointerShape::Hand);
}

void TPresetControl::OnPointerGone() {
  // The pointer moves onto the menu: the zone stays pressed under it.
  if (!AwaitingMenu) PressedZone = kNoZone;
  if (ICanvas* g = GraphicsRef()) g->ChangePointerShape(EPointerShape::Arrow);
  if (PointerOver()) SetPointerOver(false);
  MarkChanged(false, -1);
}

// ---- Menus ----

void TPresetControl::ShowPresetList() {
  Tessivo* plugin = Plugin();
  ICanvas* g = GraphicsRef();
  if (!plugin || !g) return;
  ListMenu.Numbering = 0;
  ListMenu.ClearItems(true);
  {
    // The titles are copied under the state lock: a host may rename or load
    // programs on another thread meanwhile.
    ISectionGuard guard(plugin->StateLock());
    for (int32_t i = 0; i < plugin->PresetCount(); ++i) {
      IPopupMenuItem* item = ListMenu.AppendItem(plugin->PresetTitleAt(i));
      if (!item) break;
      item->Options = i == plugin->CurrentPreset() ? FlagBits(EPopupItemFlag::Marked) : 0;
      item->ItemCode = -1;
    }
  }
  const IBox anchor(TitleBox.Left, TitleBox.Bottom, TitleBox.Left, TitleBox.Bottom);
  OpenMenu(*g, ListMenu, anchor, kListMenuIndex);
}

void TPresetControl::ShowActionMenu() {
  ICanvas* g = GraphicsRef();
  if (!g) return;
  ActionMenu.Numbering = 0;
  ActionMenu.ClearItems(true);
  ActionMenu.AppendItem("Restore Preset");
  ActionMenu.AppendItem("Modify Preset");
  ActionMenu.AppendDivider();
  ActionMenu.AppendItem("Save Preset...");
  ActionMenu.AppendItem("Load Preset...");
  ActionMenu.AppendDivider();
  ActionMenu.AppendItem("About...");
  const IBox anchor(MenuBox.Left, MenuBox.Bottom, MenuBox.Left, MenuBox.Bottom);
  OpenMenu(*g, ActionMenu, anchor, kActionMenuIndex);
}

void TPresetControl::OpenMenu(ICanvas& g, IPopupMenu& menu, const IBox& anchor, int32_t idx) {
  AwaitingMenu = true;
  if (g.OpenPopupMenu(this, menu, anchor, idx, false)) return;
  // An earlier menu of the strip may still be showing: its answer is awaited.
  AwaitingMenu = g.MenuRequester() == this;
  // Refused: a press still bound ends with its own release; one whose
  // binding went with the refusal has no release to come and ends here.
  if (Pressed && !g.IsCaptured(this)) {
    Pressed = false;
    PressedZone = kNoZone;
    MarkChanged(false, -1);
  }
}

void TPresetControl::OnMenuChoice(IPopupMenu* menu, int32_t idx) {
  AwaitingMenu = false;
  PendingAction = -1;
  Pressed = false;
  PressedZone = kNoZone;
  MarkChanged(false, -1);
  if (!menu) return;

  if (idx == kListMenuIndex) {
    if (Tessivo* plugin = Plugin()) StepTo(*plugin, menu->PickedIndex);
  } else if (idx == kActionMenuIndex) {
    // Only an action-menu choice may wait for the timer: a list choice must
    // never run as an action.
    PendingAction = menu->PickedIndex;
    delete DeferTimer;
    DeferTimer = Timer::Schedule([this](Timer& timer) { OnDeferredTimer(timer); }, kDeferMs);
  }
}

void TPresetControl::OnDeferredTimer(Timer&) {
  // One shot: stopped here, deleted by the next choice or the destructor.
  if (DeferTimer) DeferTimer->Cancel();
  // Only handed on: timer callbacks run holding the process-wide timer lock,
  // which a file dialog would keep from every other thread for as long as it
  // is open. The canvas runs the action from its own message handling.
  if (ICanvas* g = GraphicsRef()) g->DeferAction([this] { RunMenuAction(); });
}

void TPresetControl::RunMenuAction() {
  const int32_t action = PendingAction;
  PendingAction = -1;
  Tessivo* plugin = Plugin();
  ICanvas* g = GraphicsRef();
  if (action < 0 || !plugin || !g) return;

  switch (action) {
    case kRestore:
      StepTo(*plugin, plugin->CurrentPreset());
      break;
    case kModify:
      g->OpenTextEntry(this, TitleStyle, TitleBox, plugin->PresetTitle(), 0);
      break;
    case kSave:
      SaveThroughDialog(*plugin, *g, plugin->PresetTitle());
      break;
    case kLoad:
      LoadThroughDialog(*plugin, *g);
      break;
    case kAbout:
      if (TAboutBox* about = plugin->AboutBox()) about->SetConcealed(false);
      break;
    default:
      break;
  }
}

// A dialog whose loop saw the editor close answers no file, so a closed
// editor writes and reads nothing; the plug-in is alive in either case.

void TPresetControl::SaveThroughDialog(Tessivo& plugin, ICanvas& g, const char* title) {
  IStringBuffer file(title);
  file.Append(".fxp");
  IStringBuffer folder;
  g.ChooseFileDialog(file, folder, 1, kFileFilter);
  if (!file.IsEmpty()) plugin.SaveProgramFile(file.Get());
}

void TPresetControl::LoadThroughDialog(Tessivo& plugin, ICanvas& g) {
  IStringBuffer file;
  IStringBuffer folder;
  g.ChooseFileDialog(file, folder, 0, kFileFilter);
  if (!file.IsEmpty()) plugin.LoadProgramFile(file.Get());
}

void TPresetControl::OnTextCommitted(const char* text, int32_t) {
  Tessivo* plugin = Plugin();
  // The title shown is the one the preset now carries: an empty rename keeps
  // the old title, a long one is cut as the preset stores it.
  if (plugin && plugin->ModifyCurrentPreset(text)) plugin->ShowCurrentPresetTitle();
  MarkChanged(false, -1);
}

// ---- Drawing ----

void TPresetControl::Render(ICanvas& g) {
  g.FloodBox(kStripColour, Bounds());
  if (Pressed) {
    if (PressedZone == kPrevZone) g.FloodBox(kHighlightColour, PrevBox);
    else if (PressedZone == kNextZone) g.FloodBox(kHighlightColour, NextBox);
    else if (PressedZone == kMenuZone) g.FloodBox(kHighlightColour, MenuBox);
  }
  g.RenderTextRun(IconStyle, kPrevGlyph, PrevBox);
  g.RenderTextRun(IconStyle, kNextGlyph, NextBox);
  g.RenderTextRun(IconStyle, kMenuGlyph, MenuBox);
  if (const Tessivo* plugin = Plugin()) {
    const char* title = plugin->PresetTitle();
    if (title[0] != '\0') g.RenderTextRun(TitleStyle, title, TitleBox);
  }
}
