#pragma once
// IPresetSlot: one preset of the plug-in's fixed preset list: whether it has
// been filled, its title and its parameter state (the values in the
// parameter state format, see IPluginBase::SerializeParams).
//
// Titles are at most kMaxTitleLength bytes. Every way a title gets in (host
// program names, typed renames, bank data, preset files, factory presets)
// goes through SetTitle, which copies at most that many bytes and always
// terminates, so the field can never overflow; a longer title keeps as many
// of its first bytes as fit without splitting a UTF-8 character.
//
// Owned by the plug-in base, which creates its slots at construction and
// deletes them at destruction. Once a host can call, a slot is read or
// changed only under the base's state lock (IPluginBase::StateLock).

#include <cstdint>

#include "core/IStateBuffer.h"

namespace plugkit {

struct IPresetSlot {
  static constexpr int32_t kMaxTitleLength = 262;
  static constexpr const char* kInitialTitle = "empty";

  IPresetSlot();

  // Copies the title: the text up to its first NUL and, when maxLength >= 0,
  // no further than its first maxLength bytes (none beyond them is read), cut
  // to kMaxTitleLength bytes at a character boundary. A null text gives an
  // empty title.
  void SetTitle(const char* text, int32_t maxLength = -1);

  bool filled = false;
  char title[kMaxTitleLength + 1];
  IStateBuffer state;
};

} // namespace plugkit
