#include "tests/hosts/vst2/ConsoleProgram.h"

#include "tests/hosts/vst2/Utf8Path.h"

#include <windows.h>
#include <shellapi.h>

#include <cstdio>

namespace vst2host {

int ReportUsage(const char* program, const char* usage, const std::string& problem) {
  if (!problem.empty()) std::fprintf(stderr, "%s: %s\n", program, problem.c_str());
  std::fputs(usage, stderr);
  return kExitUsage;
}

int ReportFailure(const char* program, const std::string& reason) {
  std::fprintf(stderr, "%s: %s\n", program, reason.c_str());
  return kExitFailed;
}

bool ReadUtf8Arguments(std::vector<std::string>& args) {
  args.clear();
  int count = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
  if (!wide) return false;
  for (int i = 0; i < count; ++i) args.push_back(NarrowToUtf8(wide[i]));
  LocalFree(wide);
  return true;
}

} // namespace vst2host
