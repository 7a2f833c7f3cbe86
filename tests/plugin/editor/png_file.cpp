#include "tests/plugin/editor/png_file.h"

// The dependency's code keeps its own warnings to itself.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wunused-function"
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#include "stb_image_write.h"
#pragma GCC diagnostic pop

namespace tessivo_editor_test {

bool WritePng(const char* path, int32_t width, int32_t height, const unsigned char* rgba) {
  return width > 0 && height > 0 && rgba && stbi_write_png(path, width, height, 4, rgba, 4 * width) != 0;
}

} // namespace tessivo_editor_test
