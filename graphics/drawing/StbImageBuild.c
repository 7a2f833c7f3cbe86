/* The back-end's image decoder: the stb package's stb_image (which header,
 * cmake/NanoVG.cmake says), built as one C unit with only the formats the
 * back-end offers (PNG and JPEG, see IsImageExtensionSupported) and without
 * its file functions: files are read by the back-end, which opens UTF-8
 * paths. A file is decoded by what it holds, not by its name, so these two
 * formats are all a file of any name can reach. IDecodedImage is the one
 * caller. */

#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#define STBI_ONLY_JPEG
#define STBI_NO_STDIO
#define STBI_NO_LINEAR
#include <stb_image.h>

/* The size limit came with 2.26; the copies that older NanoVG trees carry
 * beside their sources lack it. */
#ifndef STBI_MAX_DIMENSIONS
#error "stb_image older than the package's version was included"
#endif
