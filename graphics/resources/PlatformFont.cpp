#include "graphics/resources/PlatformFont.h"

#include <new>

namespace plugkit::canvas {

PlatformFont::~PlatformFont() = default;

void* PlatformFont::NativeHandle() { return nullptr; }

std::unique_ptr<ITypefaceBlob> PlatformFont::LoadTypefaceBlob() {
  return std::unique_ptr<ITypefaceBlob>(new (std::nothrow) ITypefaceBlob());
}

} // namespace plugkit::canvas
