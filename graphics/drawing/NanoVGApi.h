#pragma once
// NanoVG's declarations for the back-end's own sources: the core API, the
// OpenGL 2 renderer's creation functions and the framebuffer utilities, with
// the OpenGL types they use. Private to graphics/drawing.

#include "graphics/platform/GlFunctions.h"

#ifndef NANOVG_GL2
#define NANOVG_GL2 1
#endif
#include "nanovg.h"
#include "nanovg_gl.h"
// The framebuffer utilities' header declares C functions without saying so.
extern "C" {
#include "nanovg_gl_utils.h"
}

extern "C" {
// Deletes a NanoVG context made by nvgCreateGL2 without any OpenGL call: its
// images, renderer and font stash are freed from memory only. For a context
// whose OpenGL context can no longer be made current; its OpenGL objects
// (textures, buffers, shaders) go when that context is deleted. Null: nothing.
void NanoVGDeleteWithoutOpenGL(NVGcontext* ctx);
}
