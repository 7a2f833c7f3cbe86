#pragma once
// The text styles of the product's editor: the knobs' label and value, the
// preset strip's title and icon glyphs, and the about box's three lines. All
// are upright (rotation 0) and smoothed. Plain constants; controls copy them.

#include "graphics/records/ITextStyle.h"

namespace tessivo_editor {

using plugkit::canvas::ETextHAlign;
using plugkit::canvas::ETextVAlign;
using plugkit::canvas::IArgb;
using plugkit::canvas::ITextStyle;

constexpr IArgb kTextColour{255, 240, 240, 240};
constexpr IArgb kWhite{255, 255, 255, 255};
constexpr IArgb kBlack{255, 0, 0, 0};
// Background of the value and title text entries: the strip's own colour.
constexpr IArgb kEntryBack{255, 27, 31, 33};

constexpr ITextStyle kKnobLabelText{"Roboto-Regular", 19.0f, kTextColour, kWhite, kBlack, 0.0f,
                                    ETextHAlign::Centre, ETextVAlign::Upper, false};
constexpr ITextStyle kKnobValueText{"Roboto-Regular", 14.0f, kTextColour, kEntryBack, kTextColour, 0.0f,
                                    ETextHAlign::Centre, ETextVAlign::Lower, false};
constexpr ITextStyle kPresetIconText{"forkawesome", 13.0f, kTextColour, kWhite, kBlack, 0.0f,
                                     ETextHAlign::Centre, ETextVAlign::Centre, false};
constexpr ITextStyle kPresetTitleText{"Roboto-Regular", 18.0f, kTextColour, kEntryBack, kTextColour, 0.0f,
                                      ETextHAlign::Centre, ETextVAlign::Centre, false};

constexpr ITextStyle kAboutLargeText{"Roboto-Regular", 25.0f, kTextColour, kWhite, kBlack, 0.0f,
                                     ETextHAlign::Centre, ETextVAlign::Centre, false};
constexpr ITextStyle kAboutCentredText{"Roboto-Regular", 15.0f, kTextColour, kWhite, kBlack, 0.0f,
                                       ETextHAlign::Centre, ETextVAlign::Centre, false};
constexpr ITextStyle kAboutLeftText{"Roboto-Regular", 15.0f, kTextColour, kWhite, kBlack, 0.0f,
                                    ETextHAlign::Left, ETextVAlign::Centre, false};

} // namespace tessivo_editor
