#pragma once
// TPresetControl: the strip across the top of the product's editor. From left
// to right: an arrow to the previous preset, the current preset's title (a
// press opens the list of presets), an arrow to the next preset and a menu
// button (a press opens the action menu: Restore, Modify, Save, Load, About).
//
// It works on the product plug-in object, which is its editor delegate: the
// preset operations of the plug-in base, the product's shown title, strip and
// about box (Tessivo's editor side), and the platform's file dialog. An
// unbound strip (not adopted, or adopted by a canvas whose delegate is not
// the product) does nothing.
//
// Every preset the strip applies (an arrow, a choice from the list, Restore,
// a loaded file) is reported to the host (NotifyHostPresetChanged), which may
// close the editor while it is told: nothing of the strip is touched after.
//
// A press that opens a menu keeps the strip's pressed look (Pressed,
// PressedZone) until the menu answers, though opening the menu ends the
// pointer's binding with a release.
//
// Actions chosen from the action menu do not run inside the menu's answer
// but 40 ms later, once the menu has gone: a one-shot Timer fires then and
// hands the action to the canvas (ICanvas::DeferAction), which runs it from
// its own message handling, outside the timer lock that every timer callback
// holds. A second choice within that time replaces the first. Choices from
// the preset list apply at once and never reach the action slot. The Save and
// Load dialogs may see the host close the editor, or delete the plug-in,
// while they are open: the strip, its canvas and the plug-in then stay
// until the dialog's call has returned (ICanvas::ICallScope), and the
// dialog answers "cancelled", so no file is written or read for them.
//
// Ownership: created by the editor layout and adopted by the canvas, which
// deletes it (with any action it handed over); the strip owns its menus and
// its timer. The product forgets the strip and the about box before the
// editor closes, so both are checked before use. Threads: user-interface
// thread only (pointer events, menu answers, the timer callback and the
// deferred action).

#include <cstdint>

#include "graphics/IControl.h"
#include "graphics/records/IBox.h"
#include "graphics/records/IPopupMenu.h"
#include "graphics/records/ITextStyle.h"

namespace plugkit {
class Timer;
}
class Tessivo;

class TPresetControl : public plugkit::canvas::IControl {
public:
  using IBox = plugkit::canvas::IBox;
  using ICanvas = plugkit::canvas::ICanvas;
  using IPointerMods = plugkit::canvas::IPointerMods;
  using IPopupMenu = plugkit::canvas::IPopupMenu;
  using ITextStyle = plugkit::canvas::ITextStyle;

  // Zones of a press.
  enum EZone : int32_t { kNoZone = -1, kPrevZone = 0, kNextZone = 1, kMenuZone = 2, kTitleZone = 3 };
  // Action-menu item indices (2 and 5 are dividers).
  enum EAction : int32_t { kRestore = 0, kModify = 1, kSave = 3, kLoad = 4, kAbout = 6 };
  // Value indices the menus are asked for with.
  static constexpr int32_t kListMenuIndex = 1;
  static constexpr int32_t kActionMenuIndex = 2;
  static constexpr int32_t kDeferMs = 40;
  static constexpr const char* kFileFilter = "VST Preset (*.fxp)|*.fxp|All Files (*.*)|*.*";

  TPresetControl(const IBox& bounds, const ITextStyle& titleStyle, const ITextStyle& iconStyle);
  ~TPresetControl() override;

  void OnPointerPress(float x, float y, const IPointerMods& mods) override;
  void OnPointerRelease(float x, float y, const IPointerMods& mods) override;
  void OnPointerHover(float x, float y, const IPointerMods& mods) override;
  void OnPointerGone() override;
  void OnBoundsChange() override;
  void OnMenuChoice(IPopupMenu* menu, int32_t idx) override;
  // The rename typed over the title: the current preset takes the present
  // values under the new title.
  void OnTextCommitted(const char* text, int32_t idx) override;
  void Render(ICanvas& canvas) override;

  void ShowPresetList();
  void ShowActionMenu();
  void OnDeferredTimer(plugkit::Timer& timer);
  void RunMenuAction();
  // The zone holding (x, y), or kNoZone.
  int32_t ZoneAt(float x, float y) const;
  // The product behind the delegate, or null.
  Tessivo* Plugin() const;

  ITextStyle TitleStyle;
  ITextStyle IconStyle;
  IBox PrevBox;
  IBox NextBox;
  IBox MenuBox;
  IBox TitleBox;
  plugkit::Timer* DeferTimer = nullptr;  // owned
  IPopupMenu ListMenu;
  IPopupMenu ActionMenu;
  bool Pressed = false;
  int32_t PressedZone = kNoZone;
  int32_t PendingAction = -1;
  // A menu of the strip is asked for or showing: from just before it opens
  // until its answer.
  bool AwaitingMenu = false;

private:
  // Shows one of the strip's menus for value index idx.
  void OpenMenu(ICanvas& g, IPopupMenu& menu, const IBox& anchor, int32_t idx);
  // Applies preset index (clamped into the list) and tells the host (which
  // may close the editor meanwhile, see ICanvas::ICallScope).
  static void StepTo(Tessivo& plugin, int32_t index);
  // The file dialogs and what follows them (they need nothing of the strip).
  static void SaveThroughDialog(Tessivo& plugin, ICanvas& g, const char* title);
  static void LoadThroughDialog(Tessivo& plugin, ICanvas& g);
};
