#include "plugin/editor/TAboutBox.h"

#include <cmath>
#include <string>

#include "graphics/ICanvas.h"
#include "plugin/editor/TEditorStyles.h"

using namespace plugkit::canvas;
using namespace tessivo_editor;

namespace {

constexpr IArgb kShadeColour{220, 14, 16, 18};
constexpr IArgb kAccentColour{255, 0, 180, 255};
constexpr IArgb kButtonHoverColour{255, 70, 80, 85};

} // namespace

TAboutBox::TAboutBox(const IBox& bounds, const IVectorImage& logo, float fadeStep)
    // A step that is not a positive number would never end the fade; such a
    // box shows and hides at once.
    : IControl(bounds, -1), FadeStep(std::isfinite(fadeStep) && fadeStep > 0.0f ? fadeStep : 1.0f), Logo(logo) {}

void TAboutBox::OnBind() { IControl::SetConcealed(true); }

void TAboutBox::OnBoundsChange() {
  const IBox& b = Bounds();
  IBox text;
  if (ICanvas* g = GraphicsRef()) g->MeasureTextBox(kAboutLeftText, kLinkText, text);
  const float left = b.Left + 15.0f;
  const float top = b.Bottom - 32.0f;
  LinkBox = IBox(left, top, left + text.Width(), top + text.Height());
  OkBox = kOkBox;
}

// ---- Fading ----

void TAboutBox::SetConcealed(bool hide) {
  Fading = true;
  FadingOut = hide;
  if (!hide) {
    IControl::SetConcealed(false);
    ShieldCornerHandle(true);
  }
  MarkChanged(false, -1);
  // The fade counts ticks and ends itself: it has no length in time.
  LaunchAnimation([](IControl* control) { static_cast<TAboutBox*>(control)->AdvanceFade(); });
}

void TAboutBox::AdvanceFade() {
  if (!Fading) return;
  if (FadingOut) {
    Opacity -= FadeStep;
    if (Opacity <= 0.0f) {
      Opacity = 0.0f;
      EndFade();
    }
  } else {
    Opacity += FadeStep;
    if (Opacity >= 1.0f) {
      Opacity = 1.0f;
      EndFade();
    }
  }
}

void TAboutBox::EndFade() {
  Fading = false;
  OnAnimationDone();
  IControl::SetConcealed(Opacity == 0.0f);
  if (Opacity == 0.0f) ShieldCornerHandle(false);
  // What lay under the box must be drawn again.
  if (ICanvas* g = GraphicsRef())
    if (IControl* background = g->ControlAt(0)) background->MarkChanged(false, -1);
}

void TAboutBox::ShieldCornerHandle(bool shield) {
  if (ICanvas* g = GraphicsRef())
    if (IControl* handle = g->CornerResizer()) handle->SetIgnorePointer(shield);
}

bool TAboutBox::WantsRedraw() const { return !Concealed() || Fading || IControl::WantsRedraw(); }

// ---- Pointer ----

void TAboutBox::OnPointerHover(float x, float y, const IPointerMods&) {
  LinkHovered = LinkBox.Contains(x, y);
  OkHovered = OkBox.Contains(x, y);
  if (ICanvas* g = GraphicsRef())
    g->ChangePointerShape(LinkHovered || OkHovered ? EPointerShape::Hand : EPointerShape::Arrow);
  MarkChanged(false, -1);
}

void TAboutBox::OnPointerGone() {
  if (ICanvas* g = GraphicsRef()) g->ChangePointerShape(EPointerShape::Arrow);
  LinkHovered = false;
  OkHovered = false;
  MarkChanged(false, -1);
}

void TAboutBox::OnPointerPress(float x, float y, const IPointerMods&) {
  // A touch presses without hovering first; the press itself says where it is.
  LinkHovered = LinkBox.Contains(x, y);
  OkHovered = OkBox.Contains(x, y);
  if (LinkHovered) {
    if (ICanvas* g = GraphicsRef()) g->OpenInBrowser((std::string(kSiteAddress) + kSiteSuffix).c_str());
  } else if (OkHovered) {
    SetConcealed(true);
  }
}

// ---- Drawing ----

void TAboutBox::Render(ICanvas& g) {
  IComposite weight = Composite();
  weight.Opacity = Opacity * Opacity;
  SetComposite(weight);
  const IComposite* blend = &Composite();
  const IBox& b = Bounds();

  g.FloodBox(kShadeColour, b, blend);
  g.RenderTextRun(kAboutLargeText, kTitle, IBox(b.Left, b.Top, b.Right, b.Top + 40), blend);
  g.RenderTextRun(kAboutCentredText, kNotice, IBox(b.Left, b.Top + 30, b.Right, b.Top + 60), blend);
  g.RenderTextRun(kAboutCentredText, kTechnology, IBox(b.Left, b.Top + 45, b.Right, b.Top + 75), blend);

  const IArgb linkColour = LinkHovered ? kAccentColour : kTextColour;
  g.RenderTextRun(kAboutLeftText.WithColour(linkColour), kLinkText, LinkBox, blend);
  const float underline = std::round(LinkBox.Bottom) - 0.5f;
  g.OutlineSegment(linkColour, LinkBox.Left, underline, LinkBox.Right, underline, blend, 1.0f);

  if (Logo.IsLoaded()) g.PaintVectorImage(Logo, kLogoBox, blend);

  if (OkHovered) g.FloodRoundedBox(kButtonHoverColour, OkBox, 5.0f, blend);
  g.OutlineRoundedBox(OkHovered ? kAccentColour : kTextColour, OkBox, 5.0f, blend, 1.5f);
  g.RenderTextRun(kAboutCentredText, "OK", OkBox, blend);
}
