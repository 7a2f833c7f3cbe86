// Damaged PNG and JPEG files through the back-end's own image loading: each
// is refused or decoded, never read past its end (every file ends where a
// page that may not be touched begins) and never decoded at a size no
// texture can hold.

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "graphics/drawing/NanoVGApi.h"
#include "graphics/resources/APIBitmap.h"
#include "tests/graphics/drawing/gl_surface.h"
#include "tests/graphics/drawing/guarded_bytes.h"
#include "tests/graphics/drawing/jpeg_bytes.h"
#include "tests/graphics/drawing/png_bytes.h"

using namespace plugkit::canvas;
using namespace plugkit::canvas::test;

namespace {

class DecodedImages : public PixelTest {};

enum class Outcome { Refused, Decoded, Either };

struct ImageCase {
  std::string name;
  std::vector<uint8_t> bytes;
  Outcome outcome;
  int32_t width = 0, height = 0;  // when decoded
};

void Put32At(std::vector<uint8_t>& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (24 - 8 * i));
}

std::vector<uint8_t> GreyPng(int32_t width, int32_t height) {
  return EncodePng(width, height, std::vector<uint8_t>(static_cast<size_t>(width) * height * 4, 0x80));
}

// The PNG's header fields: width at 16, height at 20, bit depth at 24. The
// header's checksum is not checked by the decoder.
std::vector<uint8_t> PngWith(size_t at, uint32_t value, int bytes = 4) {
  std::vector<uint8_t> png = GreyPng(4, 4);
  if (bytes == 4) Put32At(png, at, value);
  else png[at] = static_cast<uint8_t>(value);
  return png;
}

// The JPEG with its first Huffman table (the DC table, codes "0" and "10")
// replaced by one with counts[i] codes of length i + 1, whose first two
// symbols are the old table's.
std::vector<uint8_t> JpegWithHuffmanCounts(const std::vector<uint8_t>& counts) {
  const JpegFile jpeg = EncodeFlatJpeg(16, 16, 200);
  const std::vector<uint8_t>& old = jpeg.Bytes;
  std::vector<uint8_t> b(old.begin(), old.begin() + static_cast<std::ptrdiff_t>(jpeg.HuffmanAt));
  size_t codes = 0;
  for (uint8_t n : counts) codes += n;
  const size_t length = 2 + 1 + 16 + codes;
  b.insert(b.end(), {0xFF, 0xC4, static_cast<uint8_t>(length >> 8), static_cast<uint8_t>(length), 0x00});
  b.insert(b.end(), counts.begin(), counts.end());
  std::vector<uint8_t> symbols(codes, 0);
  symbols[1] = old[jpeg.HuffmanAt + 4 + 1 + 16 + 1];
  b.insert(b.end(), symbols.begin(), symbols.end());
  const size_t next = jpeg.HuffmanAt + 2 + ((old[jpeg.HuffmanAt + 2] << 8) | old[jpeg.HuffmanAt + 3]);
  b.insert(b.end(), old.begin() + static_cast<std::ptrdiff_t>(next), old.end());
  return b;
}

std::vector<uint8_t> JpegWithByte(size_t at, uint8_t value) {
  std::vector<uint8_t> b = EncodeFlatJpeg(16, 16, 200).Bytes;
  b[at] = value;
  return b;
}

// The JPEG with seven more FF bytes before its start marker.
std::vector<uint8_t> WithFillBytes(std::vector<uint8_t> b) {
  b.insert(b.begin(), 7, 0xFF);
  return b;
}

// Where the JPEG's scan header (its FF DA marker) lies.
size_t ScanHeaderOf(const std::vector<uint8_t>& b) {
  for (size_t i = 0; i + 1 < b.size(); ++i)
    if (b[i] == 0xFF && b[i + 1] == 0xDA) return i;
  return 0;
}

std::vector<uint8_t> JpegOfSize(uint16_t width, uint16_t height) {
  const JpegFile jpeg = EncodeFlatJpeg(16, 16, 200);
  std::vector<uint8_t> b = jpeg.Bytes;
  b[jpeg.HeightAt] = static_cast<uint8_t>(height >> 8);
  b[jpeg.HeightAt + 1] = static_cast<uint8_t>(height);
  b[jpeg.HeightAt + 2] = static_cast<uint8_t>(width >> 8);
  b[jpeg.HeightAt + 3] = static_cast<uint8_t>(width);
  return b;
}

std::vector<ImageCase> Cases() {
  const JpegFile jpeg = EncodeFlatJpeg(16, 16, 200);
  const std::vector<uint8_t> png = GreyPng(4, 4);
  const size_t huffman = jpeg.HuffmanAt;
  std::vector<ImageCase> cases = {
      {"PNG", png, Outcome::Decoded, 4, 4},
      {"JPEG", jpeg.Bytes, Outcome::Decoded, 16, 16},
      {"PNG 0 wide", PngWith(16, 0), Outcome::Refused},
      {"PNG 0 high", PngWith(20, 0), Outcome::Refused},
      {"PNG 2^31 - 1 wide", PngWith(16, 0x7FFFFFFF), Outcome::Refused},
      {"PNG 65536 x 65536", [] {
         std::vector<uint8_t> b = PngWith(16, 65536);
         Put32At(b, 20, 65536);
         return b;
       }(), Outcome::Refused},
      {"PNG bit depth 7", PngWith(24, 7, 1), Outcome::Refused},
      {"PNG image data longer than the file", PngWith(33, 0x7FFFFFF0), Outcome::Refused},
      {"JPEG 0 wide", JpegOfSize(0, 16), Outcome::Refused},
      {"JPEG 0 high", JpegOfSize(16, 0), Outcome::Refused},
      {"JPEG 65535 x 65535", JpegOfSize(65535, 65535), Outcome::Refused},
      {"JPEG Huffman table of 16 x 255 codes", JpegWithHuffmanCounts(std::vector<uint8_t>(16, 255)),
       Outcome::Refused},
      {"JPEG Huffman table of 16 x 17 codes", JpegWithHuffmanCounts(std::vector<uint8_t>(16, 17)), Outcome::Refused},
      // A table the decoder would build (the codes fit their lengths), with
      // 1277 of them: written past its own, it corrupts the decoder's tables.
      {"JPEG Huffman table of 1277 codes that fit their lengths",
       JpegWithHuffmanCounts({1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 255, 255, 255, 255, 255}), Outcome::Refused},
      {"JPEG Huffman table of 256 codes", JpegWithHuffmanCounts({1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 254, 0, 0, 0, 0}),
       Outcome::Decoded, 16, 16},
      {"JPEG with fill bytes before its start", WithFillBytes(jpeg.Bytes), Outcome::Decoded, 16, 16},
      {"JPEG with fill bytes before its start and a table of 1277 codes",
       WithFillBytes(JpegWithHuffmanCounts({1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 255, 255, 255, 255, 255})),
       Outcome::Refused},
      // The first block's DC code names a difference of 200 bits.
      {"JPEG DC category beyond 15", JpegWithByte(huffman + 4 + 1 + 16 + 1, 200), Outcome::Refused},
      {"JPEG Huffman table for table 7", JpegWithByte(huffman + 4, 0x07), Outcome::Refused},
      {"JPEG scan of a component the frame lacks", JpegWithByte(ScanHeaderOf(jpeg.Bytes) + 5, 9), Outcome::Refused},
  };
  // Every cut of both files.
  for (const auto& whole : {png, jpeg.Bytes})
    for (size_t cut = 1; cut < whole.size(); ++cut)
      cases.push_back({std::string(whole[1] == 'P' ? "PNG" : "JPEG") + " cut at " + std::to_string(cut),
                       std::vector<uint8_t>(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(cut)),
                       Outcome::Either, whole[1] == 'P' ? 4 : 16, whole[1] == 'P' ? 4 : 16});
  return cases;
}

TEST_F(DecodedImages, DamagedFilesAreRefusedOrDecodedWithinTheirBytes) {
  PixelCanvas canvas(20, 20);
  ASSERT_TRUE(canvas.Open());
  int decodedCuts = 0;
  for (const ImageCase& c : Cases()) {
    SCOPED_TRACE(c.name);
    const GuardedBytes bytes(c.bytes);
    ASSERT_TRUE(bytes.Data());
    std::unique_ptr<APIBitmap> bitmap(canvas.DecodeImageBytes(bytes.Data(), bytes.Size(), 1));
    if (c.outcome == Outcome::Refused) {
      EXPECT_FALSE(bitmap);
    } else if (c.outcome == Outcome::Decoded) {
      EXPECT_TRUE(bitmap);
    }
    if (bitmap) {
      EXPECT_EQ(bitmap->PixelWidth, c.width);
      EXPECT_EQ(bitmap->PixelHeight, c.height);
      decodedCuts += c.outcome == Outcome::Either;
    }
  }
  EXPECT_LT(decodedCuts, 10) << "a cut file is almost always refused";
}

// The decoded pixels are the file's: grey, opaque, in place.
TEST_F(DecodedImages, JpegDecodesToItsGrey) {
  PixelCanvas canvas(20, 20);
  ASSERT_TRUE(canvas.Open());
  const std::vector<uint8_t> jpeg = EncodeFlatJpeg(16, 8, 200).Bytes;
  std::unique_ptr<APIBitmap> bitmap(canvas.DecodeImageBytes(jpeg.data(), static_cast<int32_t>(jpeg.size()), 1));
  ASSERT_TRUE(bitmap);
  const IImageHandle image = IImageHandle::Of(bitmap.get(), 1, false, "");
  canvas.Paint([&] { canvas.PaintImage(image, IBox(0, 0, 16, 8), 0, 0); });
  EXPECT_PIXEL(canvas, 0, 0, (Rgba{200, 200, 200, 255}), 1);
  EXPECT_PIXEL(canvas, 15, 7, (Rgba{200, 200, 200, 255}), 1);
  EXPECT_PIXEL(canvas, 16, 0, kClearPixel, 0);
}

} // namespace
