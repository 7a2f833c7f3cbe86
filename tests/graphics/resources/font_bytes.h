#pragma once
// Fonts for the tests as bytes: the fonts embedded in the test program (its
// own resources, as in the plug-ins), and a platform font whose data is
// given bytes, counting how often its data is asked for.

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/IStringBuffer.h"
#include "core/ModuleResources.h"
#include "graphics/resources/PlatformFont.h"

namespace plugkit::canvas::test {

// The embedded font file name (found in any case); empty when absent.
inline std::vector<uint8_t> EmbeddedFont(const char* name) {
  IStringBuffer location;
  if (FindResourceOrFile(name, "ttf", location, nullptr) != kLocationResource) return {};
  int32_t size = 0;
  const unsigned char* bytes = LoadResourceBytes(location.Get(), "ttf", size, nullptr);
  return bytes ? std::vector<uint8_t>(bytes, bytes + size) : std::vector<uint8_t>();
}

// Its blobs hold the bytes with the face of style chosen (SelectFace), or
// face 0 without a style.
class BytesFont : public PlatformFont {
public:
  explicit BytesFont(std::vector<uint8_t> bytes, const char* style = nullptr)
      : mBytes(std::move(bytes)), mStyle(style ? style : "") {}
  int loads = 0;
  std::unique_ptr<ITypefaceBlob> LoadTypefaceBlob() override {
    ++loads;
    auto blob = std::make_unique<ITypefaceBlob>();
    if (blob->AssignBytes(mBytes.data(), static_cast<int32_t>(mBytes.size()))) {
      if (mStyle.empty()) blob->LoadFace(0);
      else blob->SelectFace(mStyle.c_str());
    }
    return blob;
  }

private:
  std::vector<uint8_t> mBytes;
  std::string mStyle;
};

} // namespace plugkit::canvas::test
