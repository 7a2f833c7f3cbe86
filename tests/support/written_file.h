#pragma once
// WrittenFile: a file of the given bytes in the current folder (beside the
// test program, where the tests run), removed when the object goes, also
// when an assertion ends the test early.

#include <cstdint>
#include <string>
#include <vector>

namespace plugkit::test {

class WrittenFile {
public:
  WrittenFile(std::string name, const std::vector<uint8_t>& bytes);
  ~WrittenFile();
  WrittenFile(const WrittenFile&) = delete;
  WrittenFile& operator=(const WrittenFile&) = delete;

  // Whether every byte was written.
  bool Written() const { return mWritten; }
  const char* Name() const { return mName.c_str(); }

private:
  std::string mName;
  bool mWritten = false;
};

} // namespace plugkit::test
