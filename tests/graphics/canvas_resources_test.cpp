// Resources through the canvas: the scaled-resource search, image fetching
// and caching on the back-end's own cache, the packed-image block, vector
// images and font installation.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include <process.h>

#include <nanosvg.h>

#include "core/ModuleResources.h"
#include "tests/graphics/imaging_canvas.h"

namespace plugkit::canvas::test {
namespace {

namespace fs = std::filesystem;

// A folder of its own under the temporary folder, removed afterwards.
class TempFolder {
public:
  TempFolder() {
    static int counter = 0;
    mPath = fs::temp_directory_path() / ("plugkit-resources-" + std::to_string(_getpid()) + "-" +
                                         std::to_string(++counter));
    fs::create_directories(mPath);
  }
  ~TempFolder() {
    std::error_code ignored;
    fs::remove_all(mPath, ignored);
  }
  // Writes text to the relative path (folders made as needed); answers the
  // file's full path.
  std::string Write(const std::string& relative, const std::string& text = "x") {
    const fs::path file = mPath / fs::u8path(relative);
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << text;
    return Path(relative);
  }
  std::string Path(const std::string& relative) const { return (mPath / fs::u8path(relative)).u8string(); }

private:
  fs::path mPath;
};

bool EndsWith(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

class ResourceTest : public ::testing::Test {
protected:
  void SetUp() override { bitmaps = TestBitmap::alive; }
  void TearDown() override {
    canvas.reset();
    EXPECT_EQ(TestBitmap::alive, bitmaps);
  }

  Log log;
  TempFolder folder;
  std::unique_ptr<ImagingCanvas> canvas = std::make_unique<ImagingCanvas>(log);
  int bitmaps = 0;
};

TEST_F(ResourceTest, ScaledVariantsAreTriedInOrder) {
  struct {
    std::vector<std::string> files;
    int32_t wanted;
    int32_t found;  // 0: nothing
    const char* file;
  } cases[] = {
      {{"k.png"}, 1, 1, "k.png"},
      {{"k.png"}, 2, 1, "k.png"},
      {{"k.png", "k@3x.png"}, 2, 3, "k@3x.png"},
      {{"k@2x.png", "k@3x.png"}, 1, 3, "k@3x.png"},
      {{"k@2x.png"}, 1, 2, "k@2x.png"},
      {{"k.png", "k@2x.png"}, 3, 2, "k@2x.png"},
      {{"k@3x.png", "k@4x.png"}, 4, 4, "k@4x.png"},
      {{"k@2x.png", "k@3x.png"}, 4, 3, "k@3x.png"},
      {{"k@2x.png"}, 4, 2, "k@2x.png"},
      {{"other.png"}, 2, 0, nullptr},
      {{"k.png"}, 0, 0, nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(Fmt("wanted %g", c.wanted) + (c.file ? std::string(" -> ") + c.file : ""));
    TempFolder here;
    for (const std::string& f : c.files) here.Write(f);
    IStringBuffer path;
    int32_t found = -1;
    const int32_t kind = canvas->LocateScaledResource(here.Path("k.png").c_str(), "png", path, c.wanted, found);
    if (!c.file) {
      EXPECT_EQ(kind, kLocationNotFound);
      continue;
    }
    EXPECT_EQ(kind, kLocationFile);
    EXPECT_EQ(found, c.found);
    EXPECT_EQ(std::string(path.Get()), here.Path(c.file));
  }

  // A dot in a folder name is no extension: the suffix goes at the end.
  folder.Write("v1.d/logo@2x");
  IStringBuffer path;
  int32_t found = 0;
  EXPECT_EQ(canvas->LocateScaledResource(folder.Path("v1.d/logo").c_str(), "", path, 2, found), kLocationFile);
  EXPECT_EQ(found, 2);
  EXPECT_TRUE(EndsWith(path.Get(), "logo@2x"));

  // Module resources first: this program carries the plug-in's fonts.
  EXPECT_EQ(canvas->LocateScaledResource("roboto-regular.ttf", "ttf", path, 1, found), kLocationResource);
  EXPECT_STREQ(path.Get(), "\"ROBOTO-REGULAR.TTF\"");
  EXPECT_EQ(found, 1);
}

// With only the plain file present, a fetch at scale 2 decodes it once at
// scale 1 and draws it once more at scale 2; both stay cached, so no later
// fetch at either scale decodes or draws again.
TEST_F(ResourceTest, LowerScaleImageIsDecodedOncePerScale) {
  const std::string knob = folder.Write("knob.png");
  IImageHandle at2 = canvas->FetchImage(knob.c_str(), 3, true, 2);
  ASSERT_TRUE(at2.IsLoaded());
  EXPECT_EQ(log, (Log{"supported? png", "decode 1 1 " + knob, "create 20x16 2 1", "switch 1", "reset transform 0",
                      "clip 0,0,10,8", "reset path", "image 10x8 0,0,10,8 from 0,0", "switch 0", "reset transform 0",
                      "clip 0,0,0,0", "reset path"}));
  EXPECT_EQ(at2.Api->ScreenScale, 2);
  EXPECT_EQ(at2.Api->PixelWidth, 20);
  EXPECT_EQ(at2.Width, 10);
  EXPECT_EQ(at2.Height, 8);
  EXPECT_EQ(at2.FrameCount, 3);
  EXPECT_TRUE(at2.FramesSideBySide);
  EXPECT_STREQ(at2.SourceName.Get(), knob.c_str());

  log.clear();
  EXPECT_EQ(canvas->FetchImage(knob.c_str(), 1, false, 2).Api, at2.Api);
  EXPECT_TRUE(log.empty());
  IImageHandle at1 = canvas->FetchImage(knob.c_str(), 1, false, 1);
  EXPECT_EQ(at1.Api->ScreenScale, 1);
  EXPECT_EQ(canvas->decodes, 1);
  EXPECT_EQ(canvas->FindCachedImage(knob.c_str(), 1, false, 1).Api, at1.Api);
}

// When the variant cannot be drawn again at the wanted scale it is served
// at its own, and still decoded only once.
TEST_F(ResourceTest, VariantServedAsItIsWhenNoLayerCanBeMade) {
  const std::string knob = folder.Write("knob.png");
  canvas->failLayers = true;
  for (int i = 0; i < 3; ++i) {
    IImageHandle handle = canvas->FetchImage(knob.c_str(), 1, false, 2);
    ASSERT_TRUE(handle.IsLoaded());
    EXPECT_EQ(handle.Api->ScreenScale, 1);
    EXPECT_EQ(handle.Width, 10);
  }
  EXPECT_EQ(canvas->decodes, 1);
}

TEST_F(ResourceTest, FailedFetchesCacheNothing) {
  struct {
    std::string name;
    Log expected;
  } cases[] = {
      {"picture.gif", {"supported? gif"}},  // no lookup for an extension the back-end cannot decode
      {"picture", {"supported? picture"}},  // without a dot the whole name is the extension
      {folder.Path("missing.png"), {"supported? png"}},
      {"", {}},
  };
  for (const auto& c : cases) {
    log.clear();
    EXPECT_FALSE(canvas->FetchImage(c.name.c_str(), 1, false, 1).IsLoaded()) << c.name;
    EXPECT_EQ(log, c.expected) << c.name;
  }
  EXPECT_FALSE(canvas->FetchImage(nullptr, 1, false, 1).IsLoaded());
  EXPECT_EQ(canvas->decodes, 0);
  EXPECT_EQ(canvas->cache.Count(), 0);
}

TEST_F(ResourceTest, ScreenScaleIsTheDefaultAndEachContextHasItsOwnImages) {
  const std::string knob = folder.Write("knob.png");
  const std::string knob2 = folder.Write("knob@2x.png");
  canvas->ApplyScreenScale(2);
  IImageHandle mine = canvas->FetchImage(knob.c_str(), 1, false, 0);
  EXPECT_EQ(mine.Api->ScreenScale, 2);
  EXPECT_EQ(log.back(), "decode 1 2 " + knob2);

  Log otherLog;
  ImagingCanvas other(otherLog);
  other.ApplyScreenScale(2);
  IImageHandle theirs = other.FetchImage(knob.c_str(), 1, false, 0);
  ASSERT_TRUE(theirs.IsLoaded());
  EXPECT_NE(theirs.Api, mine.Api);  // images of another drawing context are never shared
  EXPECT_EQ(canvas->FetchImage(knob.c_str(), 1, false, 2).Api, mine.Api);
}

TEST_F(ResourceTest, CachedImageOfAnotherScaleServesANameNotFound) {
  auto* ghost = new TestBitmap(10, 8, 1, 1.0f);
  ASSERT_TRUE(canvas->CacheImage(IImageHandle::Of(ghost, 1, false, "ghost.png"), "ghost.png"));
  IImageHandle handle = canvas->FetchImage("ghost.png", 1, false, 2);
  ASSERT_TRUE(handle.IsLoaded());
  EXPECT_EQ(handle.Api->ScreenScale, 2);
  EXPECT_EQ(canvas->decodes, 0);
  EXPECT_FALSE(canvas->FindCachedImage("ghost.png", 1, false, 3).IsLoaded());
}

TEST_F(ResourceTest, CacheOwnsEachBitmapOnce) {
  auto* bitmap = new TestBitmap(4, 4, 1, 1.0f);
  const IImageHandle handle = IImageHandle::Of(bitmap, 1, false, "b.png");
  EXPECT_TRUE(canvas->CacheImage(handle, "b.png"));
  EXPECT_TRUE(canvas->CacheImage(handle, "b.png"));
  EXPECT_EQ(canvas->cache.Count(), 1);
  EXPECT_FALSE(canvas->CacheImage(IImageHandle(), "none"));
  canvas->UncacheImage(bitmap);
  EXPECT_EQ(TestBitmap::alive, bitmaps);
  EXPECT_EQ(canvas->cache.Count(), 0);
  canvas->UncacheImage(nullptr);

  NullCanvas bare(nullptr, 250, 160, 60, 1.0f);  // no image cache: nothing to keep it in
  auto* orphan = new TestBitmap(4, 4, 1, 1.0f);
  EXPECT_FALSE(bare.CacheImage(IImageHandle::Of(orphan, 1, false, "o"), "o"));
  EXPECT_FALSE(bare.FetchImage("o", 1, false, 1).IsLoaded());
  delete orphan;
}

// The packed block: records decoded at scale 1, a name already cached keeps
// its bitmap, and a block cut short or lying about sizes is read only as
// far as it holds whole records.
TEST_F(ResourceTest, PackedImagesAreReadWithinTheBlock) {
  auto record = [](const std::string& name, uint16_t frames, bool side, const std::string& data) {
    std::string r(1, static_cast<char>(name.size()));
    r += name;
    r += std::string{static_cast<char>(frames & 0xFF), static_cast<char>(frames >> 8), static_cast<char>(side)};
    const uint32_t n = static_cast<uint32_t>(data.size());
    for (int i = 0; i < 4; ++i) r += static_cast<char>(n >> (8 * i));
    return r + data;
  };
  const std::string block = std::string("\x03\x00", 2) + record("a.png", 3, true, "AAAA") +
                            record("b.png", 1, false, "BB") + record("", 1, false, "C");
  auto* kept = new TestBitmap(1, 1, 1, 1.0f);
  canvas->CacheImage(IImageHandle::Of(kept, 1, false, "a.png"), "a.png");

  canvas->PreloadPackedImages(block.data(), static_cast<int32_t>(block.size()));
  // The record without a name could never be fetched: it is not decoded.
  EXPECT_EQ(log, (Log{"decode bytes 4 65", "decode bytes 2 66"}));
  EXPECT_EQ(canvas->FindCachedImage("a.png", 1, false, 1).Api, kept);
  EXPECT_EQ(canvas->FindCachedImage("b.png", 1, false, 1).Width, 10);
  EXPECT_EQ(canvas->cache.Count(), 2);

  for (size_t cut = 0; cut < block.size(); ++cut) {
    Log cutLog;
    ImagingCanvas fresh(cutLog);
    fresh.PreloadPackedImages(block.data(), static_cast<int32_t>(cut));
    EXPECT_LE(fresh.cache.Count(), 2) << cut;
  }
  std::string lying = block;
  lying[2 + 1 + 5 + 3] = '\xFF';  // the first record's encoded size
  log.clear();
  canvas->PreloadPackedImages(lying.data(), static_cast<int32_t>(lying.size()));
  EXPECT_TRUE(log.empty());
}

TEST_F(ResourceTest, VectorImagesAreParsedOncePerProcess) {
  IVectorImage logo = canvas->FetchVectorImage("CorvathLogo.svg", "px", 72.0f);
  ASSERT_TRUE(logo.IsLoaded());
  EXPECT_GE(logo.Image->width / logo.Image->height, 3.0f);
  Log otherLog;
  {
    ImagingCanvas other(otherLog);
    EXPECT_EQ(other.FetchVectorImage("CorvathLogo.svg", "px", 72.0f).Image, logo.Image);
  }
  EXPECT_EQ(canvas->FetchVectorImage("CorvathLogo.svg", "px", 72.0f).Image, logo.Image);

  const std::string shape = folder.Write("shape.svg", "<svg width=\"20\" height=\"10\"><path d=\"M0 0H20V10Z\"/></svg>");
  IVectorImage fromFile = canvas->FetchVectorImage(shape.c_str(), "px", 96.0f);
  ASSERT_TRUE(fromFile.IsLoaded());
  EXPECT_EQ(fromFile.Image->width, 20.0f);
  fs::remove(fs::u8path(shape));
  EXPECT_EQ(canvas->FetchVectorImage(shape.c_str(), "px", 96.0f).Image, fromFile.Image);  // not read again

  const int32_t kept = VectorImageCache().Count();
  for (const std::string& bad : {folder.Write("empty.svg", ""), folder.Write("flat.svg", "<svg width=\"0\" height=\"5\"/>"),
                                 folder.Write("noise.svg", "not an image at all"), folder.Path("missing.svg")}) {
    EXPECT_FALSE(canvas->FetchVectorImage(bad.c_str(), "px", 96.0f).IsLoaded()) << bad;
  }
  EXPECT_FALSE(canvas->FetchVectorImage(nullptr, "px", 96.0f).IsLoaded());
  EXPECT_EQ(VectorImageCache().Count(), kept);

  // The last canvas of the process empties the cache.
  canvas.reset();
  EXPECT_EQ(VectorImageCache().RefCount(), 0);
  EXPECT_EQ(VectorImageCache().Count(), 0);
}

TEST_F(ResourceTest, FontsInstallThroughBothLayers) {
  struct {
    bool opens, accepts;
    bool result;
    Log expected;
  } cases[] = {
      {true, true, true, {"open font Roboto Roboto-Regular.ttf", "backend font Roboto", "retain font Roboto"}},
      {true, false, false, {"open font Roboto Roboto-Regular.ttf", "backend font Roboto"}},
      {false, true, false, {"open font Roboto Roboto-Regular.ttf"}},
  };
  for (const auto& c : cases) {
    log.clear();
    canvas->openFonts = c.opens;
    canvas->acceptFonts = c.accepts;
    EXPECT_EQ(canvas->InstallFont("Roboto", "Roboto-Regular.ttf"), c.result);
    EXPECT_EQ(log, c.expected);
    EXPECT_EQ(TestFont::alive, 0);  // the platform font is released in every case
  }
  log.clear();
  EXPECT_FALSE(canvas->InstallFont("", "Roboto-Regular.ttf"));
  EXPECT_FALSE(canvas->InstallFont("Roboto", nullptr));
  EXPECT_TRUE(log.empty());
}

} // namespace
} // namespace plugkit::canvas::test
