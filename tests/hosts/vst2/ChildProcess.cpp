#include "tests/hosts/vst2/ChildProcess.h"

#include "tests/hosts/vst2/Utf8Path.h"

#include <windows.h>

namespace vst2host {

ChildResult RunChildProcess(const std::string& program, const std::string& arguments) {
  ChildResult result;
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE readEnd = nullptr, writeEnd = nullptr;
  if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) return result;
  // Only the write end goes to the child: the read end must not keep the pipe open.
  SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);

  std::wstring command = WidenUtf8(Quoted(program) + " " + arguments);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = writeEnd;
  startup.hStdError = writeEnd;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  PROCESS_INFORMATION process{};
  const BOOL started =
      CreateProcessW(nullptr, &command[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process);
  const DWORD startError = started ? 0 : GetLastError();
  // Closed here so that reading ends when the child exits.
  CloseHandle(writeEnd);
  if (started) {
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(readEnd, buffer, sizeof buffer, &got, nullptr) && got > 0) result.output.append(buffer, got);
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD exitCode = 0;
    if (GetExitCodeProcess(process.hProcess, &exitCode)) result.exitCode = exitCode;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  } else {
    // exitCode keeps its "never ran" value; say why, so a failing test shows it.
    result.output = "cannot start " + program + ": error " + std::to_string(startError);
  }
  CloseHandle(readEnd);
  return result;
}

} // namespace vst2host
