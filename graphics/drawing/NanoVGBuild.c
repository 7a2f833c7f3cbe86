/* NanoVG itself, with its OpenGL 2 renderer and framebuffer utilities, built
 * as one C unit from the dependency's sources (never copied here).
 *
 * - nanovg.c names the enum type NVGtexture without the typedef C needs; the
 *   typedef is supplied before it is compiled.
 * - The OpenGL calls beyond 1.1 go through the loaded entry points
 *   (GlFunctions.h), which exist before any NanoVG context is created.
 * - The framebuffer utilities are empty stubs in an OpenGL 2 build unless
 *   NANOVG_FBO_VALID is defined; layers and the main framebuffer need them. */

#include "graphics/platform/GlFunctions.h"

#include "nanovg.h"
typedef enum NVGtexture NVGtexture;
#include "nanovg.c"

#define NANOVG_GL2_IMPLEMENTATION
#include "nanovg_gl.h"

#define NANOVG_FBO_VALID 1
#include "nanovg_gl_utils.h"
