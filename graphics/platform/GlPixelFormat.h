#pragma once
// The pixel format every editor surface draws with: RGBA, 32 colour bits,
// 24 depth and 8 stencil bits (NanoVG's stencil strokes and fills need the
// stencil), double-buffered, on the main plane.
//
// Who calls it: the editor window before it creates its OpenGL context, and
// tests that make a context of their own, so both draw on the same format.
// A window's pixel format can be set once; the call fails on a second try
// with another format, and on a device context that is not a window's.

namespace plugkit::gl {

// Chooses and sets the editor's pixel format on `deviceContext` (an HDC).
// True when the device context now has it.
bool ApplyEditorPixelFormat(void* deviceContext);

} // namespace plugkit::gl
