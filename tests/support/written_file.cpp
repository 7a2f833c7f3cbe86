#include "tests/support/written_file.h"

#include <cstdio>
#include <utility>

namespace plugkit::test {

WrittenFile::WrittenFile(std::string name, const std::vector<uint8_t>& bytes) : mName(std::move(name)) {
  std::FILE* file = std::fopen(mName.c_str(), "wb");
  mWritten = file && std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  if (file) std::fclose(file);
}

WrittenFile::~WrittenFile() { std::remove(mName.c_str()); }

} // namespace plugkit::test
