#include "tests/hosts/vst2/ChildProcess.h"

#include "tests/hosts/vst2/Utf8Path.h"

#include <windows.h>

namespace vst2host {
namespace {

// Appends whatever the pipe holds now, without waiting for more.
void DrainAvailable(HANDLE readEnd, std::string& output) {
  char buffer[4096];
  DWORD available = 0;
  while (PeekNamedPipe(readEnd, nullptr, 0, nullptr, &available, nullptr) && available > 0) {
    DWORD got = 0;
    if (!ReadFile(readEnd, buffer, available < sizeof buffer ? available : sizeof buffer, &got, nullptr) || got == 0)
      return;
    output.append(buffer, got);
  }
}

} // namespace

ChildResult RunChildProcess(const std::string& program, const std::string& arguments, uint32_t timeoutMs) {
  ChildResult result;
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE readEnd = nullptr, writeEnd = nullptr;
  if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) {
    result.failure = "cannot make a pipe: error " + std::to_string(GetLastError());
    result.output = result.failure;
    return result;
  }
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
  // Under a heavily loaded Wine a start can fail once with an internal error;
  // a missing program fails the same way every time and is not tried again.
  BOOL started = FALSE;
  DWORD startError = 0;
  for (int attempt = 0; attempt < 3 && !started; ++attempt) {
    if (attempt > 0) Sleep(200);
    started = CreateProcessW(nullptr, &command[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process);
    startError = started ? 0 : GetLastError();
    if (startError == ERROR_FILE_NOT_FOUND || startError == ERROR_PATH_NOT_FOUND) break;
  }
  CloseHandle(writeEnd);
  if (!started) {
    result.failure = "cannot start " + program + ": error " + std::to_string(startError);
    result.output = result.failure;
    CloseHandle(readEnd);
    return result;
  }

  // Poll rather than block on ReadFile: the end of the pipe may never come
  // while a grandchild holds it, and a hung child must not hang the caller.
  const DWORD begun = GetTickCount();
  for (;;) {
    DrainAvailable(readEnd, result.output);
    if (WaitForSingleObject(process.hProcess, 10) == WAIT_OBJECT_0) break;
    if (GetTickCount() - begun >= timeoutMs) {
      TerminateProcess(process.hProcess, 0xffffffff);
      WaitForSingleObject(process.hProcess, 5000);
      result.failure = "still running after " + std::to_string(timeoutMs) + " ms: terminated";
      break;
    }
  }
  DrainAvailable(readEnd, result.output);
  DWORD exitCode = 0;
  if (result.failure.empty() && GetExitCodeProcess(process.hProcess, &exitCode))
    result.exitCode = static_cast<int32_t>(exitCode);
  if (!result.failure.empty()) result.output += "\n[" + result.failure + "]";
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  CloseHandle(readEnd);
  return result;
}

} // namespace vst2host
