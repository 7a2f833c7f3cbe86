#pragma once
// The titles a preset strip may show, for tests that check every title an
// editor drew while host threads changed presets: a torn or mixed title is
// none of them.

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace tessivo_editor_test {

// The factory presets' titles.
inline std::set<std::string> FactoryTitles() {
  return {"Default",        "Light Detune", "Hard Detune",        "Down 3 Semitones",
          "Up 3 Semitones", "Octave up",    "Octave down (mixed)"};
}

// Success when every title drawn is one of known; otherwise how many were
// not, with the first of them.
inline ::testing::AssertionResult EveryTitleIsKnown(const std::vector<std::string>& drawn,
                                                     const std::set<std::string>& known) {
  size_t broken = 0;
  std::string example;
  for (const std::string& t : drawn)
    if (!known.count(t) && broken++ == 0) example = t;
  if (broken == 0) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << broken << " of " << drawn.size() << " titles drawn were no title, e.g. \""
                                       << example << "\"";
}

} // namespace tessivo_editor_test
