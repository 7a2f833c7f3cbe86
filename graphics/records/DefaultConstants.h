#pragma once
// The framework's named default colours, text styles, palette and look. All
// are compile-time constants: they exist before any code of the module runs
// and never change, so any thread may read them.

#include <cstdint>

#include "graphics/records/IArgb.h"
#include "graphics/records/IControlLook.h"
#include "graphics/records/IControlPalette.h"
#include "graphics/records/ITextStyle.h"

namespace plugkit {
namespace canvas {

// Colours (Alpha, Red, Green, Blue).
inline constexpr IArgb kArgbTransparent{0, 0, 0, 0};
inline constexpr IArgb kArgbBlack{255, 0, 0, 0};
inline constexpr IArgb kArgbWhite{255, 255, 255, 255};
inline constexpr IArgb kArgbGreyMid{255, 127, 127, 127};
inline constexpr IArgb kArgbGreyLight{255, 200, 200, 200};
inline constexpr IArgb kArgbGreyPale{255, 240, 240, 240};
inline constexpr IArgb kArgbGreyDark{255, 70, 70, 70};
inline constexpr IArgb kArgbVeil{10, 0, 0, 0};
inline constexpr IArgb kArgbShadow{60, 0, 0, 0};
inline constexpr IArgb kArgbGreen{255, 0, 255, 0};
inline constexpr IArgb kArgbBlue{255, 0, 0, 255};

// The style every control starts with.
inline constexpr ITextStyle kStandardText{"Roboto-Regular", 14.0f, kArgbBlack, kArgbWhite, kArgbBlack, 0.0f,
                                          ETextHAlign::Centre, ETextVAlign::Centre, false};
inline constexpr ITextStyle kStandardLabelText =
    kStandardText.WithSize(19.0f).WithAlign(ETextHAlign::Centre, ETextVAlign::Upper);
inline constexpr ITextStyle kStandardValueText =
    kStandardText.WithSize(14.0f).WithAlign(ETextHAlign::Centre, ETextVAlign::Lower);

inline constexpr IControlPalette kStandardPalette{{
    kArgbTransparent,  // 0
    kArgbGreyLight,    // 1
    kArgbGreyPale,     // 2
    kArgbGreyDark,     // 3
    kArgbVeil,         // 4
    kArgbShadow,       // 5
    kArgbBlack,        // 6
    kArgbGreen,        // 7
    kArgbBlue,         // 8
}};

inline constexpr IControlLook kStandardLook{
    {true, true, true, true, true, false}, 0, {1.0f, 3.0f, 1.0f, 0.0f},
    kStandardPalette, kStandardLabelText, kStandardValueText};

// The default colour of palette entry index (0-8); (0, 0, 0, 0) for any other
// index.
IArgb PaletteDefaultColour(int32_t index);

} // namespace canvas
} // namespace plugkit
