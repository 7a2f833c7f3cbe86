#pragma once
// IControlLook: the framework's bundle of default looks for stock controls
// (kStandardLook in DefaultConstants.h). No control of this system reads it;
// it is kept so that controls written against the framework's defaults can
// start from one record. The flags and numbers are opaque style settings.

#include <cstdint>

#include "graphics/records/IControlPalette.h"
#include "graphics/records/ITextStyle.h"

namespace plugkit {
namespace canvas {

struct IControlLook {
  static constexpr int32_t kFlagCount = 6;
  static constexpr int32_t kMetricCount = 4;

  bool Flags[kFlagCount] = {};
  int32_t Variant = 0;
  float Metrics[kMetricCount] = {};
  IControlPalette Palette;
  ITextStyle LabelText;
  ITextStyle ValueText;
};

} // namespace canvas
} // namespace plugkit
