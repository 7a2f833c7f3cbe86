#pragma once
// Encodes a flat grey picture as a baseline JPEG file in memory, with
// tables of the test's own (every quantiser 1, one Huffman code per symbol
// used), so image tests know every byte the decoder reads and where each
// marker segment lies.

#include <cstdint>
#include <vector>

namespace plugkit::canvas::test {

struct JpegFile {
  std::vector<uint8_t> Bytes;
  // Where the frame header's height field and the first Huffman table's
  // segment (its FF C4 marker) lie.
  size_t HeightAt = 0;
  size_t HuffmanAt = 0;
};

// width x height pixels of grey (0 .. 255): every 8 x 8 block holds only
// its average, the same in all, so the first block codes the DC difference
// and every other block codes none.
inline JpegFile EncodeFlatJpeg(uint16_t width, uint16_t height, uint8_t grey) {
  JpegFile jpeg;
  std::vector<uint8_t>& b = jpeg.Bytes;
  const auto put16 = [&](uint32_t v) {
    b.push_back(static_cast<uint8_t>(v >> 8));
    b.push_back(static_cast<uint8_t>(v));
  };
  b = {0xFF, 0xD8};
  b.insert(b.end(), {0xFF, 0xDB, 0, 67, 0});  // quantisers, table 0
  b.insert(b.end(), 64, 1);
  b.insert(b.end(), {0xFF, 0xC0, 0, 11, 8});  // baseline frame, 8 bits
  jpeg.HeightAt = b.size();
  put16(height);
  put16(width);
  b.insert(b.end(), {1, 1, 0x11, 0});  // one component, 1 x 1, quantisers 0
  // The scan: a block's DC is 8 x (grey - 128) at quantiser 1; its
  // category is the bit length of its magnitude.
  const int32_t dc = 8 * (static_cast<int32_t>(grey) - 128);
  int category = 0;
  while ((dc < 0 ? -dc : dc) >> category) ++category;
  // DC table 0: category 0 as "0", the first difference's as "10". AC
  // table 0: end of block as "0".
  jpeg.HuffmanAt = b.size();
  b.insert(b.end(), {0xFF, 0xC4, 0, 21, 0x00, 1, 1});
  b.insert(b.end(), 14, 0);
  b.insert(b.end(), {0, static_cast<uint8_t>(category > 0 ? category : 1)});
  b.insert(b.end(), {0xFF, 0xC4, 0, 20, 0x10, 1});
  b.insert(b.end(), 15, 0);
  b.push_back(0x00);
  b.insert(b.end(), {0xFF, 0xDA, 0, 8, 1, 1, 0x00, 0, 63, 0});

  std::vector<bool> bits;
  const auto putBits = [&](uint32_t v, int n) {
    for (int i = n - 1; i >= 0; --i) bits.push_back((v >> i) & 1);
  };
  const int32_t blocks = ((width + 7) / 8) * ((height + 7) / 8);
  for (int32_t k = 0; k < blocks; ++k) {
    if (k == 0 && dc != 0) {
      // A negative value is coded as value + 2^category - 1.
      putBits(2, 2);
      putBits(static_cast<uint32_t>(dc > 0 ? dc : dc + (1 << category) - 1), category);
    } else {
      putBits(0, 1);
    }
    putBits(0, 1);  // end of block
  }
  while (bits.size() % 8) bits.push_back(true);
  for (size_t i = 0; i < bits.size(); i += 8) {
    uint8_t byte = 0;
    for (size_t k = 0; k < 8; ++k) byte = static_cast<uint8_t>(byte << 1 | bits[i + k]);
    b.push_back(byte);
    if (byte == 0xFF) b.push_back(0);
  }
  b.insert(b.end(), {0xFF, 0xD9});
  return jpeg;
}

} // namespace plugkit::canvas::test
