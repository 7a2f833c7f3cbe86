#pragma once
// GDI font discovery: fonts made by family name and checked against what GDI
// really chose, and the bytes of a font read back from GDI. Any thread
// (GDI font objects are not bound to a thread); callers keep the handles.

#include <cstdint>
#include <vector>

namespace plugkit {
namespace canvas {

// The longest face name GDI keeps (LF_FACESIZE, terminator included).
constexpr int32_t kFaceNameBytes = 32;

// Makes an HFONT (returned as void*) of family at weight (400 regular, 700
// bold), italic and underlined as asked. mustExist: null when no installed or
// registered family has that name. In every case null when GDI would
// substitute another face, or for a family name that does not fit a face
// name (31 bytes and the terminator). The caller deletes the font
// (DeleteObject).
void* CreateFontByFamily(const char* family, int32_t weight, bool italic, bool underline, bool mustExist);

// The font file behind font: the whole collection when it is part of one
// (so a face index into it is meaningful), else the whole font. False, with
// bytes empty, when GDI has no data for it. collection tells which one was
// read.
bool ReadFontBytes(void* font, std::vector<uint8_t>& bytes, bool& collection);

// The face name GDI reports for font (empty when it cannot be read).
bool FontFaceName(void* font, char* name, int32_t capacity);

} // namespace canvas
} // namespace plugkit
