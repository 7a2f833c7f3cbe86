#include "core/DebugReport.h"

#ifndef NDEBUG
#include <cstdarg>
#include <cstdio>

#include <windows.h>
#endif

namespace plugkit {

#ifndef NDEBUG
void DebugReport(const char* format, ...) {
  if (!format) return;
  char text[512];
  va_list args;
  va_start(args, format);
  const int n = std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  if (n >= 0) OutputDebugStringA(text);
}
#else
void DebugReport(const char*, ...) {}
#endif

} // namespace plugkit
