#pragma once
// Running unloadhost (main.cpp beside this file) from a test and reading what
// it found. The program runs as a child process: whether a module stays
// loaded is a fact about the whole process, and the test program's own
// modules must not be part of it.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "tests/hosts/vst2/ChildProcess.h"

namespace unloadhost {

struct UnloadRun {
  vst2host::ChildResult child;
  bool stillLoaded = false;  // the module stayed loaded after the host freed it
  int32_t callsIntoFreedRange = -1;
  int32_t lateTimerTicks = -1;  // plug-in timer ticks in the second stretch
};

// Runs program (a UTF-8 path) on the module: kind "vst2" or "vst3", where
// "worker" or "ui". Fields not printed by the child keep their defaults.
inline UnloadRun RunUnloadHost(const std::string& program, const char* kind, const std::string& module,
                               const char* where) {
  UnloadRun run;
  run.child = vst2host::RunChildProcess(
      program, std::string(kind) + " " + vst2host::Quoted(module) + " " + where);
  const std::string& out = run.child.output;
  run.stillLoaded = out.find("module still loaded: yes") != std::string::npos;
  const size_t calls = out.find("calls into the freed range: ");
  if (calls != std::string::npos) run.callsIntoFreedRange = std::stoi(out.substr(calls + 28));
  const size_t ticks = out.find(", then ");
  if (ticks != std::string::npos) run.lateTimerTicks = std::stoi(out.substr(ticks + 7));
  return run;
}

// What a test asks of a run: the host ended well, no call reached the range
// the module had occupied, and the plug-in's timers had stopped; with
// expectUnloaded, the module was unloaded too (nothing needed to keep it).
inline ::testing::AssertionResult UnloadedSafely(const UnloadRun& run, bool expectUnloaded) {
  if (run.child.exitCode == 0 && run.callsIntoFreedRange == 0 && run.lateTimerTicks == 0 &&
      (!expectUnloaded || !run.stillLoaded))
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "exit code " << run.child.exitCode << " " << run.child.failure << "\n"
                                       << run.child.output;
}

} // namespace unloadhost
