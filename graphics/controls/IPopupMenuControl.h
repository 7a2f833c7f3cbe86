#pragma once
// IPopupMenuControl: the stock in-window pop-up menu. ICanvas::
// InstallPopupMenuControl installs it; from then on the canvas shows every
// OpenPopupMenu request with it instead of a native menu.
//
// Each open menu or submenu is a pane (IPopupPane) with a shadow, a rounded
// background and a column of cells. Hovering a cell highlights it; hovering
// a cell whose item has a submenu unfolds that submenu beside it, hovering a
// plain item folds every submenu opened below the hovered pane. A pane too
// tall for the placement area scrolls one item per hover on its first or
// last cell. Panes fade in; a choice hides the menu at once and the control
// then runs through its closing states before it accepts the next menu.
//
// States: Closed -(OpenMenu)-> Unfolding -(100 ms)-> Open; Open -(hover on a
// submenu item)-> SubmenuUnfolding -(200 ms)-> Open; Open -(press)-> Chosen
// -(100 ms)-> Folding -(100 ms)-> Settling -(100 ms)-> Closed. Only Open
// accepts a choice. From OpenMenu until Open closes, the control takes every
// pointer press and hover in the editor, so a press during a fade-in reaches
// neither the menu's choice nor the controls beneath.
//
// A choice (or a press outside every cell, which is "nothing chosen") goes
// to the menu that holds the pressed item: IPopupMenu::ReportChoice sets its
// PickedIndex and runs its Completion (always, also with -1), then the
// canvas hands it to the requesting control (ICanvas::DeliverMenuResult).
//
// Ownership: the control owns its panes, never the menu (SetMenu), which
// must outlive the showing. UI thread only.

#include <cstdint>
#include <memory>
#include <vector>

#include "graphics/IMenuOverlay.h"
#include "graphics/controls/IPopupPane.h"
#include "graphics/records/IArgb.h"
#include "graphics/records/IBox.h"
#include "graphics/records/IComposite.h"
#include "graphics/records/ITextStyle.h"

namespace plugkit {
namespace canvas {

class IPopupMenu;
class IPopupMenuItem;

enum class EPopupMenuState : int32_t {
  Closed = 0,
  Unfolding = 1,
  Open = 2,
  Folding = 3,
  Chosen = 4,
  SubmenuUnfolding = 5,
  Settling = 6,
};

// Sizes in logical pixels; opacity 0..1.
struct IPopupMenuMetrics {
  bool ScrollWhenCrowded = true;  // a pane taller than the room scrolls
  bool CalloutEnabled = false;    // a triangle from the root pane to the anchor
  float CellSpacing = 2.0f;
  float DividerHeight = 2.0f;
  float PaneCornerRadius = 5.0f;
  float ShadowSize = 10.0f;
  float PaneOpacity = 0.89f;
  float TextPadding = 5.0f;
  float MarkColumnWidth = 10.0f;
  float ArrowSize = 6.0f;
  float PanePadding = 5.0f;
  float CalloutSize = 8.0f;
};

class IPopupMenuControl : public IMenuOverlay {
public:
  static constexpr int32_t kFadeMs = 100;
  static constexpr int32_t kSubmenuFadeMs = 200;
  static constexpr IArgb kGreyedColour{255, 127, 127, 127};
  static constexpr IArgb kDividerColour{255, 200, 200, 200};
  // Font "Roboto-Regular" 15, text (255, 240, 240, 240) on (255, 0, 0, 0),
  // highlight (255, 130, 130, 130): the menu's colours.
  static ITextStyle DefaultMenuStyle();

  // Empty bounds, no parameter, concealed, closed.
  IPopupMenuControl();
  ~IPopupMenuControl() override;

  // ---- IMenuOverlay ----
  // True from OpenMenu until the choice (Unfolding, Open, SubmenuUnfolding).
  bool TakesEveryPoint() const override;
  bool IsClosed() const override { return mState == EPopupMenuState::Closed; }
  void SetMenu(IPopupMenu* menu) override { mMenu = menu; }
  IBox PlacementArea() const override { return mRoomBox; }
  void SetPlacementArea(const IBox& area) override { mRoomBox = area; }
  // Shows the menu given by SetMenu with its root pane at the anchor's
  // top-left corner; without a menu the request is answered with nothing.
  void OpenMenu(const IBox& anchor) override;

  // ---- Input and drawing ----
  // Open: commits the cell under the point (scroll-arrow cells scroll
  // instead). Other states: the base behaviour.
  void OnPointerPress(float x, float y, const IPointerMods& mods) override;
  void OnPointerDrag(float x, float y, float dX, float dY, const IPointerMods& mods) override;
  void OnPointerHover(float x, float y, const IPointerMods& mods) override;
  void OnPointerGone() override;
  void Render(ICanvas& canvas) override;
  // Moves the fade on to the next state (see the state list above).
  void OnAnimationDone() override;

  // ---- Drawing steps, each with the pane's blend ----
  virtual void RenderCallout(ICanvas& canvas, const IComposite& blend);
  virtual void RenderPaneBack(ICanvas& canvas, const IBox& inner, const IComposite& blend);
  virtual void RenderPaneShadow(ICanvas& canvas, const IPopupPane& pane, const IComposite& blend);
  // Only a highlighted cell gets a background.
  virtual void RenderCellBack(ICanvas& canvas, const IBox& cell, const IPopupMenuItem* item, bool highlighted,
                              const IComposite& blend);
  virtual void RenderCellText(ICanvas& canvas, const IBox& cell, const IPopupMenuItem* item, bool highlighted,
                              const IComposite& blend);
  virtual void RenderCellMark(ICanvas& canvas, const IBox& cell, const IPopupMenuItem* item, bool highlighted,
                              const IComposite& blend);
  virtual void RenderCellTick(ICanvas& canvas, const IBox& cell, const IPopupMenuItem* item, bool highlighted,
                              const IComposite& blend);
  virtual void RenderSubmenuArrow(ICanvas& canvas, const IBox& cell, const IPopupMenuItem* item, bool highlighted,
                                  const IComposite& blend);
  virtual void RenderScrollUp(ICanvas& canvas, const IBox& cell, bool highlighted, const IComposite& blend);
  virtual void RenderScrollDown(ICanvas& canvas, const IBox& cell, bool highlighted, const IComposite& blend);
  // Drawn only while the pane is almost fully shown.
  virtual void RenderDivider(ICanvas& canvas, const IBox& cell, const IComposite& blend);
  // Reports the choice of the highlighted cell of the active pane (or none)
  // and starts closing.
  virtual void CommitChoice();

  // ---- Layout ----
  // {x, y, x + widest caption + 2 x TextPadding + MarkColumnWidth +
  // ArrowSize, y + tallest caption}: the size of one item cell.
  IBox MeasureMenu(const IPopupMenu& menu, float x, float y) const;
  // Unfolds the submenu of the highlighted item, or folds the submenus
  // below the active pane when the item has none.
  void UpdateSubmenus();

  // ---- State ----
  EPopupMenuState State() const { return mState; }
  IPopupMenu* Menu() const { return mMenu; }
  int32_t PaneCount() const { return static_cast<int32_t>(mPanes.size()); }
  IPopupPane* PaneAt(int32_t index) const;
  IPopupPane* ActivePane() const { return mActivePane; }
  IPopupPane* UnfoldingPane() const { return mUnfoldingPane; }
  const IBox* HighlightedCell() const { return mHighlightedCell; }
  const IBox& AnchorBox() const { return mAnchorBox; }
  const IBox& CalloutBox() const { return mCalloutBox; }
  int32_t CalloutSide() const { return mCalloutSide; }
  const IPopupMenuMetrics& Metrics() const { return mMetrics; }
  void SetMetrics(const IPopupMenuMetrics& metrics) { mMetrics = metrics; }

private:
  void LaunchFade();
  void FadeStep();
  void SetAllOpacities(float opacity);
  void DeletePanes();
  int32_t IndexOfPane(const IPopupPane* pane) const;
  // Finds the active pane and cell under the point, as a hover does.
  void LocateCell(float x, float y);
  // One scroll step of the active pane when cell j is its first or last cell.
  bool ScrollAt(int32_t j);
  // Hides every pane opened (directly or further down) from pane index.
  void FoldBelow(int32_t index);
  // Ends the fade: drops the step, marks changed, runs the end action.
  void FinishFade();
  bool IsDefaultStyle() const;
  IArgb MarkColour(const IPopupMenuItem* item, bool highlighted, bool tick) const;

  std::vector<std::unique_ptr<IPopupPane>> mPanes;
  IPopupPane* mActivePane = nullptr;
  IPopupPane* mUnfoldingPane = nullptr;
  EPopupMenuState mState = EPopupMenuState::Closed;
  const IBox* mHighlightedCell = nullptr;
  IPopupMenu* mMenu = nullptr;
  IPopupMenuMetrics mMetrics;
  IBox mAnchorBox;
  int32_t mCalloutSide = 1;
  IBox mCalloutBox;
  IBox mRoomBox;
  IBox mSavedBounds;
};

} // namespace canvas
} // namespace plugkit
