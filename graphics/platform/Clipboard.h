#pragma once
// Unicode text on the system clipboard, in UTF-8 on our side. UI thread.

#include "core/IStringBuffer.h"

namespace plugkit {
namespace canvas {

// The clipboard's text; false, with text empty, when there is none or the
// clipboard cannot be opened.
bool ReadClipboardUtf8(IStringBuffer& text);
// Empties the clipboard and puts text on it, the clipboard owned by owner
// (an HWND; null only when no window exists). False when the clipboard cannot
// be opened, the text cannot be converted or stored (the block is then
// freed), and for an empty text (the clipboard is then left empty).
bool WriteClipboardUtf8(void* owner, const char* text);

} // namespace canvas
} // namespace plugkit
