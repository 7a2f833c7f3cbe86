#pragma once
// Diagnostic trace hook. Callers pass the qualified name of the calling
// operation, a line number and a printf-style format with its arguments; the
// release build compiles every call down to nothing, so traces may sit on the
// audio thread.

namespace plugkit {

inline void TraceCall(const char* /*function*/, int /*line*/, const char* /*format*/, ...) {}

} // namespace plugkit
