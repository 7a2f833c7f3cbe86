/* NanoVG itself, with its OpenGL 2 renderer and framebuffer utilities, built
 * as one C unit from the dependency's sources (never copied here).
 *
 * - nanovg.c names the enum type NVGtexture without the typedef C needs; the
 *   typedef is supplied before it is compiled.
 * - The OpenGL calls beyond 1.1 go through the loaded entry points
 *   (GlFunctions.h), which exist before any NanoVG context is created.
 * - The framebuffer utilities are empty stubs in an OpenGL 2 build unless
 *   NANOVG_FBO_VALID is defined; layers and the main framebuffer need them.
 * - NanoVG decodes no images (NVG_NO_STB): the back-end decodes them itself
 *   (DecodedImage.h) and hands NanoVG the pixels. The font stash compiles
 *   the stb package's stb_truetype, found through the include path because
 *   NanoVG's files are laid out without the copy that came beside them
 *   (cmake/NanoVG.cmake). Its assertions are off in every build: a font
 *   the back-end takes has been checked to stay within its bytes
 *   (graphics/resources/TrueTypeBounds.h), and a host must never be stopped
 *   by a font.
 * - One function of ours follows, which needs the renderer's own records:
 *   deleting a context without OpenGL calls. */

#include "graphics/platform/GlFunctions.h"

#define NVG_NO_STB
#define STBTT_assert(x) ((void)0)

#include "nanovg.h"
typedef enum NVGtexture NVGtexture;
#include "nanovg.c"

/* The rasteriser's coverage helpers that came with stb_truetype 1.25 and its
 * fix in 1.26: the copy beside NanoVG's sources (1.24) has none of them, so
 * a font stash compiled against it stops the build here. */
typedef char PlugkitStbTruetypeIsThePackages[sizeof(&stbtt__sized_trapezoid_area) > 0 ? 1 : -1];

#define NANOVG_GL2_IMPLEMENTATION
#include "nanovg_gl.h"

#define NANOVG_FBO_VALID 1
#include "nanovg_gl_utils.h"

/* Deleting a context whose OpenGL context cannot be made current any more
 * (see NanoVGApi.h): the renderer's texture and release functions are
 * replaced by ones that free memory only, then the context is deleted as
 * usual. The texture records live in the renderer's texture list, which is
 * freed whole with it. */

static int PlugkitForgetTexture(void* uptr, int image)
{
	GLNVGcontext* gl = (GLNVGcontext*)uptr;
	GLNVGtexture* tex = glnvg__findTexture(gl, image);
	if (tex == NULL) return 0;
	memset(tex, 0, sizeof(*tex));
	return 1;
}

static void PlugkitForgetRenderer(void* uptr)
{
	GLNVGcontext* gl = (GLNVGcontext*)uptr;
	if (gl == NULL) return;
	if (gl->textureContext != NULL && --gl->textureContext->refCount == 0) {
		free(gl->textureContext->textures);
		free(gl->textureContext);
	}
	free(gl->paths);
	free(gl->verts);
	free(gl->uniforms);
	free(gl->calls);
	free(gl);
}

void NanoVGDeleteWithoutOpenGL(NVGcontext* ctx)
{
	NVGparams* params;
	if (ctx == NULL) return;
	params = nvgInternalParams(ctx);
	params->renderDeleteTexture = PlugkitForgetTexture;
	params->renderDelete = PlugkitForgetRenderer;
	nvgDeleteGL2(ctx);
}
