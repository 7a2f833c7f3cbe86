#include "graphics/resources/ITypefaceBlob.h"

#include <cstring>
#include <utility>

#include "graphics/resources/TrueTypeBounds.h"

namespace plugkit::canvas {

bool ITypefaceBlob::AssignBytes(const void* data, int32_t count) {
  Info.Reset();
  FaceIndex = -1;
  if (count < 0 || (count > 0 && !data)) {
    FontBytes.Release();
    return false;
  }
  FontBytes.SetSize(count);
  if (FontBytes.Size() != count) {
    FontBytes.Release();
    return false;
  }
  if (count > 0) std::memcpy(FontBytes.Data(), data, static_cast<size_t>(count));
  return true;
}

bool ITypefaceBlob::LoadFace(int32_t faceIndex) {
  if (Info.Load(static_cast<const uint8_t*>(FontBytes.DataOrNull()), FontBytes.Size(), faceIndex)) {
    FaceIndex = faceIndex;
    return true;
  }
  Info.Reset();
  FaceIndex = -1;
  return false;
}

bool ITypefaceBlob::SelectFace(const char* wantedStyle) {
  const bool anyStyle = !wantedStyle || !*wantedStyle;
  for (int32_t i = 0; i >= 0; ++i) {
    if (!LoadFace(i) || !Info.HasCoreTables()) break;
    const char* style = Info.StyleName.Get();
    if (*style && (anyStyle || std::strcmp(style, wantedStyle) == 0)) return true;
  }
  Info.Reset();
  FaceIndex = -1;
  return false;
}

bool ITypefaceBlob::IsUsable() const {
  return FontBytes.Size() > 0 && FaceIndex >= 0 && Info.Data != nullptr &&
         TrueTypeFaceInBounds(FontBytes.As<uint8_t>(), FontBytes.Size(), FaceIndex);
}

bool ITypefaceBlob::CopyFrom(const ITypefaceBlob& other) {
  if (this == &other) return true;
  IHeapBlock bytes(kGranularity);
  if (!bytes.CopyFrom(other.FontBytes)) return false;
  ITrueTypeInfo info;
  // The copy's record is read again from the copy's own bytes, so no pointer
  // of it leads into other's.
  if (other.Info.Data && !info.Load(static_cast<const uint8_t*>(bytes.DataOrNull()), bytes.Size(), other.FaceIndex))
    return false;
  if (info.Data && (info.FamilyName.Length() != other.Info.FamilyName.Length() ||
                    info.StyleName.Length() != other.Info.StyleName.Length()))
    return false;  // a name that could not be stored
  FontBytes = std::move(bytes);
  Info = std::move(info);
  FaceIndex = other.FaceIndex;
  return true;
}

} // namespace plugkit::canvas
