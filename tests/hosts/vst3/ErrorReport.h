#pragma once
// How the host's operations report failure: they take an optional
// std::string* and, when they fail, write a one-line reason into it.

#include <string>

namespace vst3host {

// Writes `text` into *error when the caller asked for a reason.
inline void SetError(std::string* error, const std::string& text) {
  if (error) *error = text;
}

}  // namespace vst3host
