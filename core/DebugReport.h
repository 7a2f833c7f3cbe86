#pragma once
// DebugReport: tells a developer about a broken contract that the code has
// survived on its own, so nothing fails for the user (a control that left a
// layer open, for example). A debug build writes the printf-style text to
// the debugger's output; a release build (NDEBUG) formats nothing and
// writes nothing.
//
// Threads: any but the audio thread (the debugger may block the caller).
// The text is cut at 511 bytes.

namespace plugkit {

void DebugReport(const char* format, ...);

} // namespace plugkit
