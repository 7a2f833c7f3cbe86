#pragma once
// What the console host programs share: their exit codes, how they report a
// problem, and how they read their arguments.

#include <string>
#include <vector>

namespace vst2host {

// Exit codes, so that scripts can tell a wrong command line from a failed run.
constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

// Prints "<program>: <problem>" (when there is one), then the usage text, to
// standard error; returns kExitUsage.
int ReportUsage(const char* program, const char* usage, const std::string& problem);

// Prints "<program>: <reason>" to standard error; returns kExitFailed.
int ReportFailure(const char* program, const std::string& reason);

// The program's arguments in UTF-8, its own name first. They are read from
// the wide command line, so non-ASCII paths stay intact. False, with `args`
// empty, when the command line cannot be read.
bool ReadUtf8Arguments(std::vector<std::string>& args);

} // namespace vst2host
