#pragma once
// ITextStyle: how a run of text is drawn (font, size, colour, rotation and
// alignment inside its box) and how the platform text field opened over a
// control looks. A plain value record; controls own a copy each.
//
// FontName is the identifier under which a font was installed with the
// graphics (for example "Roboto-Regular") and is always zero-terminated:
// SetFontName cuts longer names at kFontNameCapacity - 1 bytes, so a name
// coming from a file or a host can never overrun it. A default-constructed
// style equals kStandardText (DefaultConstants.h).

#include <cstdint>

#include "graphics/records/IArgb.h"

namespace plugkit {
namespace canvas {

enum class ETextHAlign : int32_t { Left = 0, Centre = 1, Right = 2 };
enum class ETextVAlign : int32_t { Upper = 0, Centre = 1, Lower = 2 };

struct ITextStyle {
  static constexpr int32_t kFontNameCapacity = 64;

  char FontName[kFontNameCapacity] = {};
  float FontSize = 14.0f;                      // text height in logical pixels
  IArgb TextColour{255, 0, 0, 0};
  IArgb EntryBackColour{255, 255, 255, 255};   // background of the platform text field
  IArgb EntryTextColour{255, 0, 0, 0};         // text colour of that field
  float RotationDegrees = 0.0f;                // 0 = upright, clockwise
  ETextHAlign HorizontalAlign = ETextHAlign::Centre;
  ETextVAlign VerticalAlign = ETextVAlign::Centre;
  bool NoSmoothing = false;                    // platform text field font without antialiasing

  constexpr ITextStyle() { SetFontName("Roboto-Regular"); }

  constexpr ITextStyle(const char* fontName, float fontSize, IArgb textColour, IArgb entryBackColour,
                       IArgb entryTextColour, float rotationDegrees, ETextHAlign horizontalAlign,
                       ETextVAlign verticalAlign, bool noSmoothing)
      : FontSize(fontSize),
        TextColour(textColour),
        EntryBackColour(entryBackColour),
        EntryTextColour(entryTextColour),
        RotationDegrees(rotationDegrees),
        HorizontalAlign(horizontalAlign),
        VerticalAlign(verticalAlign),
        NoSmoothing(noSmoothing) {
    SetFontName(fontName);
  }

  // Copies name (null counts as ""), cut to fit, and zero-fills the rest so
  // two styles with the same name compare equal byte for byte.
  constexpr void SetFontName(const char* name) {
    int32_t i = 0;
    if (name)
      for (; i < kFontNameCapacity - 1 && name[i] != '\0'; ++i) FontName[i] = name[i];
    for (; i < kFontNameCapacity; ++i) FontName[i] = '\0';
  }

  // Field by field; names compare up to their terminator.
  constexpr bool operator==(const ITextStyle& o) const {
    for (int32_t i = 0; i < kFontNameCapacity; ++i) {
      if (FontName[i] != o.FontName[i]) return false;
      if (FontName[i] == '\0') break;
    }
    return FontSize == o.FontSize && TextColour == o.TextColour && EntryBackColour == o.EntryBackColour &&
           EntryTextColour == o.EntryTextColour && RotationDegrees == o.RotationDegrees &&
           HorizontalAlign == o.HorizontalAlign && VerticalAlign == o.VerticalAlign && NoSmoothing == o.NoSmoothing;
  }
  constexpr bool operator!=(const ITextStyle& o) const { return !(*this == o); }

  // Variants used by the default constants and by controls that start from
  // the standard style.
  constexpr ITextStyle WithSize(float size) const {
    ITextStyle s = *this;
    s.FontSize = size;
    return s;
  }
  constexpr ITextStyle WithAlign(ETextHAlign h, ETextVAlign v) const {
    ITextStyle s = *this;
    s.HorizontalAlign = h;
    s.VerticalAlign = v;
    return s;
  }
  constexpr ITextStyle WithColour(IArgb colour) const {
    ITextStyle s = *this;
    s.TextColour = colour;
    return s;
  }
};

} // namespace canvas
} // namespace plugkit
