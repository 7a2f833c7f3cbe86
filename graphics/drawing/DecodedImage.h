#pragma once
// IDecodedImage: the pixels of a PNG or JPEG file, decoded into 8-bit RGBA
// rows, top row first, ready to become a texture.
//
// The decoder recognises the format by the bytes, not by a name, and knows
// no other format. Decode refuses, leaving the image empty, bytes that hold
// neither, are damaged or cut short, have a side of 0, or have a side longer
// than maxSide (the driver's texture limit): that last test reads only the
// file's header, so nothing of such a file is decoded. A JPEG file whose
// Huffman tables hold more codes than the format allows is refused before
// the decoder sees it (it would write them past its own tables). Every
// read stays within the size bytes given.
//
// Ownership: the object owns its pixels (freed with it or by the next
// Decode). Threads: any thread; one object is used by one thread at a time.

#include <cstdint>

namespace plugkit::canvas {

class IDecodedImage {
public:
  IDecodedImage() = default;
  ~IDecodedImage();
  IDecodedImage(const IDecodedImage&) = delete;
  IDecodedImage& operator=(const IDecodedImage&) = delete;

  // True when the bytes decoded into Width() x Height() pixels.
  bool Decode(const void* bytes, int32_t size, int32_t maxSide);

  int32_t Width() const { return mWidth; }
  int32_t Height() const { return mHeight; }
  // Width x Height x 4 bytes; null while empty.
  const unsigned char* Rgba() const { return mRgba; }

private:
  void Clear();

  unsigned char* mRgba = nullptr;
  int32_t mWidth = 0;
  int32_t mHeight = 0;
};

} // namespace plugkit::canvas
