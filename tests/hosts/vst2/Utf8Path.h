#pragma once
// Text and path helpers for the test host. Paths are UTF-8 throughout the
// host; they become UTF-16 only at the Windows calls.

#include <cstdio>
#include <string>

namespace vst2host {

// UTF-8 to UTF-16 and back; invalid sequences become U+FFFD.
std::wstring WidenUtf8(const std::string& text);
std::string NarrowToUtf8(const std::wstring& text);

// fopen for a UTF-8 path; null on failure, like fopen.
std::FILE* OpenFileUtf8(const std::string& path, const char* mode);

// Folder of the running executable, with a trailing backslash; the test
// programs find the plug-ins they load beside themselves.
std::string ExecutableDirectory();

// A path given relative to the running executable's folder (with '/' or
// '\\' as separators, as a build system writes them), in Windows form.
std::string BesideExecutable(const char* relative);

} // namespace vst2host
