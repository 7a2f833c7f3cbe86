#pragma once
// Where the host's tests find the stand-in plug-in, the host program and a
// place for scratch files: all beside the test program.

#include "tests/hosts/vst2/Utf8Path.h"

#include <cstdio>
#include <string>

namespace vst2host {

inline std::string FakePluginPath() { return ExecutableDirectory() + VST2HOST_FAKE_PLUGIN; }
inline std::string HostProgramPath() { return ExecutableDirectory() + VST2HOST_PROGRAM; }

// A scratch file that is removed when the object goes.
class ScratchFile {
 public:
  explicit ScratchFile(const std::string& name) : mPath(ExecutableDirectory() + "vst2host_tests_" + name) {
    std::remove(mPath.c_str());
  }
  ~ScratchFile() { std::remove(mPath.c_str()); }
  const std::string& Path() const { return mPath; }

 private:
  std::string mPath;
};

} // namespace vst2host
