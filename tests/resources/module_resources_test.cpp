// The fonts and the logo inside the built plug-ins: found by file name in
// any case, loaded, identical to the files they were made from, and
// decodable.

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "core/ModuleResources.h"
#include "graphics/resources/ITrueTypeInfo.h"
#include "graphics/resources/SharedCaches.h"
#include "tests/hosts/vst2/Utf8Path.h"

#include <nanosvg.h>

namespace plugkit::test {
namespace {

std::vector<uint8_t> ReadWholeFile(const std::string& path) {
  std::vector<uint8_t> bytes;
  std::FILE* file = vst2host::OpenFileUtf8(path, "rb");
  if (!file) return bytes;
  uint8_t chunk[65536];
  size_t n;
  while ((n = std::fread(chunk, 1, sizeof chunk, file)) > 0) bytes.insert(bytes.end(), chunk, chunk + n);
  std::fclose(file);
  return bytes;
}

struct IBuiltModule {
  const char* Path;  // relative to the test program
  bool OtherArchitecture;  // the 32-bit deliverable: read as data only
};

class BuiltModule : public ::testing::TestWithParam<IBuiltModule> {
protected:
  void SetUp() override {
    const std::string path = vst2host::BesideExecutable(GetParam().Path);
    if (GetParam().OtherArchitecture) {
      // Built by the other configuration; absent when only this one was built.
      if (GetFileAttributesW(vst2host::WidenUtf8(path).c_str()) == INVALID_FILE_ATTRIBUTES)
        GTEST_SKIP() << "not built: " << path;
      module = LoadLibraryExW(vst2host::WidenUtf8(path).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    } else {
      module = LoadLibraryW(vst2host::WidenUtf8(path).c_str());
    }
    ASSERT_NE(module, nullptr) << path;
  }
  void TearDown() override {
    if (module) FreeLibrary(module);
  }

  std::vector<uint8_t> Resource(const char* name, const char* type) {
    IStringBuffer location;
    if (FindResourceOrFile(name, type, location, module) != kLocationResource) return {};
    int32_t size = 0;
    const unsigned char* bytes = LoadResourceBytes(location.Get(), type, size, module);
    return bytes ? std::vector<uint8_t>(bytes, bytes + size) : std::vector<uint8_t>();
  }

  HMODULE module = nullptr;
};

TEST_P(BuiltModule, FindsEachResourceByNameInAnyCase) {
  struct {
    const char* name;
    const char* type;
    const char* location;
  } cases[] = {
      {"Roboto-Regular.ttf", "ttf", "\"ROBOTO-REGULAR.TTF\""},
      {"ROBOTO-REGULAR.TTF", "TTF", "\"ROBOTO-REGULAR.TTF\""},
      {"roboto-regular.TTF", "Ttf", "\"ROBOTO-REGULAR.TTF\""},
      {"forkawesome-webfont.ttf", "ttf", "\"FORKAWESOME-WEBFONT.TTF\""},
      {"corvathlogo.svg", "svg", "\"CORVATHLOGO.SVG\""},
      {"CorvathLogo.SVG", "SVG", "\"CORVATHLOGO.SVG\""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    IStringBuffer location;
    EXPECT_EQ(FindResourceOrFile(c.name, c.type, location, module), kLocationResource);
    EXPECT_STREQ(location.Get(), c.location);
  }
  IStringBuffer location;
  EXPECT_EQ(FindResourceOrFile("Roboto-Bold.ttf", "ttf", location, module), kLocationNotFound);
  EXPECT_EQ(FindResourceOrFile("corvathlogo.svg", "ttf", location, module), kLocationNotFound);
}

TEST_P(BuiltModule, FontsAreTheSystemFontsAndDecode) {
  struct {
    const char* file;
    const char* family;
  } cases[] = {{"Roboto-Regular.ttf", "Roboto"}, {"forkawesome-webfont.ttf", "forkawesome"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    const std::vector<uint8_t> embedded = Resource(c.file, "ttf");
    const std::vector<uint8_t> original = ReadWholeFile(vst2host::BesideExecutable(TESSIVO_FONT_COPIES) + c.file);
    ASSERT_GT(original.size(), 100000u);
    EXPECT_TRUE(embedded == original);
    canvas::ITrueTypeInfo info;
    ASSERT_TRUE(info.Load(embedded.data(), static_cast<int32_t>(embedded.size()), 0));
    EXPECT_STREQ(info.FamilyName.Get(), c.family);
    EXPECT_STREQ(info.StyleName.Get(), "Regular");
  }
}

// The logo is a wordmark of paths: no text to depend on a font, no opacity
// for a renderer to get wrong, and much wider than tall.
TEST_P(BuiltModule, LogoIsAWideImageOfPaths) {
  std::vector<uint8_t> bytes = Resource("corvathlogo.svg", "svg");
  ASSERT_GT(bytes.size(), 100u);
  const std::string text(bytes.begin(), bytes.end());
  EXPECT_EQ(text.find("<text"), std::string::npos);
  EXPECT_EQ(text.find("opacity"), std::string::npos);
  EXPECT_NE(text.find("<path"), std::string::npos);

  bytes.push_back(0);
  NSVGimage* image = canvas::ParseVectorImage(reinterpret_cast<char*>(bytes.data()), "px", 72.0f);
  ASSERT_NE(image, nullptr);
  EXPECT_GE(image->width / image->height, 3.0f);
  int shapes = 0;
  for (NSVGshape* shape = image->shapes; shape; shape = shape->next) {
    ++shapes;
    EXPECT_EQ(shape->fill.type, NSVG_PAINT_COLOR);
    EXPECT_EQ(shape->fill.color >> 24, 0xFFu);  // opaque
  }
  EXPECT_GE(shapes, 7);  // at least one per letter
  canvas::DeleteVectorImage(image);
}

INSTANTIATE_TEST_SUITE_P(Plugins, BuiltModule,
                         ::testing::Values(IBuiltModule{TESSIVO_VST2_MODULE, false},
                                           IBuiltModule{TESSIVO_VST3_MODULE, false},
                                           IBuiltModule{TESSIVO_VST3_DELIVERABLE, true}));

} // namespace
} // namespace plugkit::test
