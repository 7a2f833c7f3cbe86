#pragma once
// The system's modal dialogs and shell services, in UTF-8 on our side. Each
// runs on the UI thread and returns when the user is done; owner is the
// editor's HWND (as void*).

#include <cstdint>

#include "core/IStringBuffer.h"
#include "graphics/records/IArgb.h"

namespace plugkit {
namespace canvas {

// File dialog actions.
constexpr int32_t kOpenFileAction = 0;
constexpr int32_t kSaveFileAction = 1;

// The default extension of a filter "Name (*.ext)|*.ext|...": the bare
// extension of the first pattern ("fxp"); empty when the pattern names none
// ("*.*", "*") or the filter has no pattern.
void DefaultExtensionOfFilter(const char* filter, IStringBuffer& extension);

// Asks for a file to open (kOpenFileAction: it must exist) or to save
// (kSaveFileAction: replacing one is confirmed). file holds the proposed name
// and receives the chosen path (empty on cancel); folder holds the start
// folder and receives the chosen file's folder, ending in a backslash.
// filter: "Name|pattern|Name|pattern", may be null.
void RunFileDialog(void* owner, IStringBuffer& file, IStringBuffer& folder, int32_t action, const char* filter);

// Asks for a folder; folder receives it with a trailing backslash, or empty
// on cancel.
void RunFolderDialog(void* owner, IStringBuffer& folder);

// Asks for a colour starting at colour (alpha is kept); prompt (may be null)
// becomes the dialog's title. True, with colour set, on OK.
bool RunColourDialog(void* owner, IArgb& colour, const char* prompt);

// Opens url with the system's handler. True when the shell took it.
bool OpenUrlWithShell(void* owner, const char* url);
// Shows path in the file explorer (selected there when select). False for an
// empty path or when the shell refused.
bool RevealInExplorer(const char* path, bool select);

// The message box's type bits for buttons and icon (1 hand, 2 question,
// 3 exclamation, 4 asterisk; others add nothing).
uint32_t AlertBoxType(int32_t buttons, int32_t icon);

} // namespace canvas
} // namespace plugkit
