#pragma once
// Setting parameters by name and display value, as in `Coarse=3 Mix=50`.
//
// A host only sets normalised values, so a display value is found by
// searching: the normalised value is bisected until the plug-in's own
// display text (effGetParamDisplay) parses to the requested number, which
// relies on displays being monotonic in the normalised value (rising or
// falling). Of the range of normalised values that display the number, the
// middle is set, so that a quantised parameter lands inside its step and a
// continuous one on the exact value; the ends 0 and 1 are used as they are.
// When no value displays the number exactly, the nearest shown one is set.
// A value that is not a number is matched against the display texts
// ("On", "Off") at 1025 evenly spaced normalised values, ignoring case.
// Every probe goes through setParameter, so the plug-in sees a burst of
// parameter changes before the final one.

#include "tests/hosts/vst2/PluginInstance.h"

#include <string>

namespace vst2host {

// Splits "Name=value"; false without '=' or with an empty name or value.
bool SplitAssignment(const std::string& text, std::string& name, std::string& value);

// Sets parameter `index` to the display value `value`. On failure (a value
// outside the displayed range, a non-numeric display for a number, a text
// that no value displays) the parameter gets back its earlier normalised
// value and *error says why. `shown`, when given, receives the display text
// of the value set.
bool SetParamByDisplay(PluginInstance& plugin, int32_t index, const std::string& value, std::string* shown,
                       std::string* error);

// "Name=value": finds the parameter by its reported name, then as above.
bool ApplyAssignment(PluginInstance& plugin, const std::string& assignment, std::string* shown,
                     std::string* error);

} // namespace vst2host
