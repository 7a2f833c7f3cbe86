#include "tests/plugin/editor/png_file.h"

// The dependency's code keeps its own warnings to itself.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wunused-function"
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#include "stb_image_write.h"
#pragma GCC diagnostic pop

#include <cstdio>

#include "tests/hosts/vst2/Utf8Path.h"

namespace tessivo_editor_test {

std::string PicturePath(const char* name) { return vst2host::ExecutableDirectory() + name; }

bool WritePng(const char* name, int32_t width, int32_t height, const unsigned char* rgba) {
  if (width <= 0 || height <= 0 || !rgba || !name) return false;
  std::FILE* file = vst2host::OpenFileUtf8(PicturePath(name), "wb");
  if (!file) return false;
  const auto write = [](void* context, void* data, int size) {
    std::fwrite(data, 1, static_cast<size_t>(size), static_cast<std::FILE*>(context));
  };
  const bool written = stbi_write_png_to_func(write, file, width, height, 4, rgba, 4 * width) != 0;
  return std::fclose(file) == 0 && written;
}

} // namespace tessivo_editor_test
