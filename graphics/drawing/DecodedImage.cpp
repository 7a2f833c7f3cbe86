#include "graphics/drawing/DecodedImage.h"

#include <stb_image.h>

namespace plugkit::canvas {

namespace {

// Whether every Huffman table a JPEG file defines has at most 256 codes, as
// the format allows. The decoder sizes its tables for that many and writes
// a table's codes into them without counting: a table of more (up to
// 16 x 255) runs over its neighbours. The walk finds every table the
// decoder can meet: segments are followed by their lengths (the decoder's
// own reads agree with them, or it refuses the file), bytes between
// segments and inside scans are searched for markers byte by byte as the
// decoder searches them, and a table's counts are read where the decoder
// reads them, also past its segment's stated end (as 0 past the file's).
// Anything else answers true: other files are not JPEG files.
bool JpegHuffmanTablesFit(const unsigned char* bytes, int32_t size) {
  const auto at = [&](int64_t i) -> uint32_t { return i >= 0 && i < size ? bytes[i] : 0; };
  // The start marker, after fill bytes as the decoder allows.
  int64_t start = 1;
  while (start < size && at(start) == 0xFF) ++start;
  if (at(0) != 0xFF || at(start) != 0xD8) return true;
  bool inScan = false;
  for (int64_t p = start + 1; p < size;) {
    if (at(p) != 0xFF) {
      ++p;
      continue;
    }
    int64_t q = p + 1;
    while (q < size && at(q) == 0xFF) ++q;  // fill bytes
    const uint32_t marker = at(q);
    p = q + 1;
    // Inside a scan: stuffed bytes and restart markers are data.
    if (inScan && (marker == 0x00 || (marker >= 0xD0 && marker <= 0xD7))) continue;
    inScan = false;
    if (marker == 0x00 || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD9)) continue;  // no segment
    const int64_t length = static_cast<int64_t>(at(p) << 8 | at(p + 1));
    if (marker != 0xC4) {
      inScan = marker == 0xDA;
      p += length;
      continue;
    }
    int64_t left = length - 2, table = p + 2;
    while (left > 0) {
      int64_t codes = 0;
      for (int64_t i = 0; i < 16; ++i) codes += at(table + 1 + i);
      if (codes > 256) return false;
      table += 17 + codes;
      left -= 17 + codes;
    }
    if (left != 0) return true;  // the decoder refuses the file here
    p = table;
  }
  return true;
}

} // namespace

IDecodedImage::~IDecodedImage() { Clear(); }

void IDecodedImage::Clear() {
  if (mRgba) stbi_image_free(mRgba);
  mRgba = nullptr;
  mWidth = mHeight = 0;
}

bool IDecodedImage::Decode(const void* bytes, int32_t size, int32_t maxSide) {
  Clear();
  if (!bytes || size <= 0 || maxSide <= 0) return false;
  const auto* in = static_cast<const stbi_uc*>(bytes);
  // Before the header is read: reading it reads the tables too.
  if (!JpegHuffmanTablesFit(in, size)) return false;
  int w = 0, h = 0, channels = 0;
  // The header alone first: a picture no texture could hold is not decoded.
  if (!stbi_info_from_memory(in, size, &w, &h, &channels)) return false;
  if (w <= 0 || h <= 0 || w > maxSide || h > maxSide) return false;
  unsigned char* rgba = stbi_load_from_memory(in, size, &w, &h, &channels, 4);
  if (!rgba) return false;
  // The full decode reads the header again; it must say the same.
  if (w <= 0 || h <= 0 || w > maxSide || h > maxSide) {
    stbi_image_free(rgba);
    return false;
  }
  mRgba = rgba;
  mWidth = w;
  mHeight = h;
  return true;
}

} // namespace plugkit::canvas
