#pragma once
// ITypefaceBlob: a font ready for the drawing back-end: the whole font file
// (or collection) in its own heap block, the face chosen in it, and what the
// TrueType reader found about that face. The platform layer makes one from a
// font it opened (PlatformFont::LoadTypefaceBlob); the back-end hands the
// bytes and face index to its font rasteriser and keeps the blob in the
// process-wide TypefaceBlobCache (SharedCaches.h), because the rasteriser
// reads the bytes for as long as the font is in use.
//
// Ownership: the blob owns its bytes and Info's names; Info points into the
// blob's own bytes (never into another blob's), also after CopyFrom.
//
// Threads: a plain record, no locking; shared through the cache only under
// the cache's lock.

#include <cstdint>

#include "core/IHeapBlock.h"
#include "graphics/resources/ITrueTypeInfo.h"

namespace plugkit {
namespace canvas {

class ITypefaceBlob {
public:
  static constexpr int32_t kGranularity = 4096;

  ITypefaceBlob() : FontBytes(kGranularity) {}
  ITypefaceBlob(const ITypefaceBlob&) = delete;
  ITypefaceBlob& operator=(const ITypefaceBlob&) = delete;

  // Replaces the bytes with a copy of count bytes (no face chosen
  // afterwards: FaceIndex -1, Info empty). False, the blob emptied, when
  // data is null with count > 0, count < 0, or memory runs out.
  bool AssignBytes(const void* data, int32_t count);

  // Reads face faceIndex of the bytes into Info. On success FaceIndex is
  // faceIndex; otherwise FaceIndex is -1 and Info empty (Data null).
  bool LoadFace(int32_t faceIndex);

  // Chooses a face by style: tries faces 0, 1, 2, ... and takes the first
  // whose style name is not empty and equals wantedStyle (any face with a
  // style name when wantedStyle is null or empty). The search ends at the
  // first face without head, name or hhea, which also bounds it for single
  // fonts and collections. False (FaceIndex -1, Info empty) when no face
  // qualifies.
  bool SelectFace(const char* wantedStyle);

  // Copies every field of other: the bytes, the face index and Info, whose
  // pointers are moved onto this blob's own copy of the bytes. False, this
  // blob unchanged, when memory runs out.
  bool CopyFrom(const ITypefaceBlob& other);

  // Whether the blob holds a chosen face that the back-end's rasteriser can
  // read without ever leaving the bytes (TrueTypeBounds.h): only then may
  // the bytes be handed to it. Reads the whole face each time.
  bool IsUsable() const;

  ITrueTypeInfo Info;
  IHeapBlock FontBytes;
  int32_t FaceIndex = -1;  // -1 = no face chosen
};

} // namespace canvas
} // namespace plugkit
