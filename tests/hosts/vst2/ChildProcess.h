#pragma once
// Runs a console program as a child process and collects what it prints, so
// tests can drive the host programs the way scripts do.

#include <cstdint>
#include <string>

namespace vst2host {

struct ChildResult {
  int32_t exitCode = -1;  // the child's exit code, signed; -1 also when it never ran or was stopped
  std::string output;     // standard output and standard error together
  std::string failure;    // empty, or why the child did not start or did not finish
};

// Runs `program` (a UTF-8 path, quoted here) with `arguments` (the rest of
// the command line, passed as given) and waits at most `timeoutMs` for it to
// end; a child still running then is terminated and `failure` says so. The
// child inherits standard input; its output is read as it is written, so a
// child that prints a lot never blocks on a full pipe. Reading stops when the
// child ends, even if a process it started still holds the pipe open.
ChildResult RunChildProcess(const std::string& program, const std::string& arguments,
                            uint32_t timeoutMs = 120000);

// `text` in double quotes, as one command-line argument (for paths with spaces).
inline std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

} // namespace vst2host
