#include "core/IChangeSource.h"

namespace plugkit {

const char* ChangeSourceText(IChangeSource source) {
  switch (source) {
    case IChangeSource::Reset: return "Reset";
    case IChangeSource::Host: return "Host";
    case IChangeSource::Preset: return "Preset";
    case IChangeSource::UI: return "UI";
    case IChangeSource::EditorDelegate: return "Editor Delegate";
    case IChangeSource::Recompile: return "Recompile";
    case IChangeSource::Unknown: break;
  }
  return "Unknown";
}

} // namespace plugkit
