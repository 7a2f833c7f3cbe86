#pragma once
// IChangeSource: where a parameter change came from, passed to OnParamChange
// with the texts that traces show.

#include <cstdint>

namespace plugkit {

enum class IChangeSource : int32_t {
  Reset = 0,
  Host = 1,
  Preset = 2,
  UI = 3,
  EditorDelegate = 4,
  Recompile = 5,
  Unknown = 6,
};

// "Reset", "Host", "Preset", "UI", "Editor Delegate", "Recompile", "Unknown";
// a value outside the enumeration reads "Unknown". Never null.
const char* ChangeSourceText(IChangeSource source);

} // namespace plugkit
