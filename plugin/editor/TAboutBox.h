#pragma once
// TAboutBox: the product's about box, lying over the whole editor. Hidden
// until the preset strip's "About..." item or Tessivo::OnAboutRequest shows
// it, it fades in, shows the product and its version, the maker's notice,
// the technology line, a link to the maker's site, the maker's logo and an
// "OK" button, and fades out again when "OK" is pressed.
//
// The fade moves Opacity by FadeStep once per display tick (an animation
// step), so it takes the same number of frames however many regions a frame
// paints; every drawing call is weighted by Opacity squared. While concealed
// the canvas neither draws the box nor routes the pointer to it. While shown
// (from the start of the fade in to the end of the fade out) nothing under
// it takes the pointer, not even the corner handle, which the canvas would
// otherwise ask first (it overlaps the "OK" button's lower right corner).
//
// Ownership: created by the editor layout and adopted last by the canvas
// (drawn over everything), which deletes it. The logo is borrowed from the
// canvas' vector-image cache. Threads: user-interface thread only.

#include "graphics/IControl.h"
#include "graphics/resources/IVectorImage.h"
#include "graphics/records/IBox.h"
#include "plugin/TessivoMaker.h"

class TAboutBox : public plugkit::canvas::IControl {
public:
  using IBox = plugkit::canvas::IBox;
  using ICanvas = plugkit::canvas::ICanvas;
  using IPointerMods = plugkit::canvas::IPointerMods;
  using IVectorImage = plugkit::canvas::IVectorImage;

  static constexpr const char* kTitle = "Tessivo v1.0";
  static constexpr const char* kNotice = "\xC2\xA9 Corvath. All rights reserved.";
  static constexpr const char* kTechnology = "VST plugin technology by Steinberg";
  static constexpr const char* kLinkText = tessivo_maker::kSiteText;
  static constexpr const char* kSiteAddress = tessivo_maker::kSiteAddress;
  static constexpr const char* kSiteSuffix = "/?lang=en";
  static constexpr IBox kOkBox{193, 125, 239, 149};
  static constexpr IBox kLogoBox{78, 82, 171, 115};

  TAboutBox(const IBox& bounds, const IVectorImage& logo, float fadeStep);

  void OnPointerPress(float x, float y, const IPointerMods& mods) override;
  void OnPointerHover(float x, float y, const IPointerMods& mods) override;
  void OnPointerGone() override;
  void OnBoundsChange() override;
  // Starts hidden.
  void OnBind() override;
  void Render(ICanvas& canvas) override;
  // Starts a fade towards hidden (true) or shown (false) from the present
  // opacity; showing makes the box visible at once.
  void SetConcealed(bool hide) override;
  // While shown or fading.
  bool WantsRedraw() const override;

  // One frame of a running fade; ends it at 0 or 1.
  void AdvanceFade();

  bool Fading = false;
  bool FadingOut = true;
  bool LinkHovered = false;
  bool OkHovered = false;
  float Opacity = 0.0f;
  float FadeStep;
  IVectorImage Logo;
  IBox LinkBox;
  IBox OkBox;

private:
  void EndFade();
  // Whether the canvas' corner handle ignores the pointer.
  void ShieldCornerHandle(bool shield);
};
