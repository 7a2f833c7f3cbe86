#pragma once
// Runs a console program as a child process and collects what it prints, so
// tests can drive the host programs the way scripts do.

#include <cstdint>
#include <string>

namespace vst2host {

struct ChildResult {
  uint32_t exitCode = 0xffffffff;  // left so when the program could not start
  std::string output;              // standard output and standard error together
};

// Runs `program` (a UTF-8 path, quoted here) with `arguments` (the rest of
// the command line, passed as given) and waits for it to end. The child
// inherits standard input; its output is read as it is written, so a child
// that prints a lot never blocks on a full pipe.
ChildResult RunChildProcess(const std::string& program, const std::string& arguments);

// `text` in double quotes, as one command-line argument (for paths with spaces).
inline std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

} // namespace vst2host
