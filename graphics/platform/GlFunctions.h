#ifndef PLUGKIT_GL_FUNCTIONS_H
#define PLUGKIT_GL_FUNCTIONS_H
/* The OpenGL API for code that calls OpenGL itself (the NanoVG build unit of
 * the drawing back-end, the entry-point loader). Usable from C and C++.
 *
 * OpenGL 1.1 functions come from opengl32.dll as declared by <GL/gl.h>. Every
 * later entry point named in GlEntryPointList.h is a process-wide pointer,
 * filled by plugkit::gl::LoadGlEntryPoints (GlEntryPoints.h), and its usual
 * name is defined here to call through that pointer. The pointers are null
 * until a load found every one of them: callers must not call any of them
 * before GlEntryPointsReady() answers true (the back-end creates no NanoVG
 * context until then, and NanoVG is the only caller). */

/* <GL/gl.h> pulls in <windows.h> unless these two are known; code that makes
 * no Windows call does not need it. */
#ifndef APIENTRY
#define APIENTRY __stdcall
#endif
#ifndef WINGDIAPI
#define WINGDIAPI __declspec(dllimport)
#endif

#include <GL/gl.h>
#include <GL/glext.h>

#ifdef __cplusplus
extern "C" {
#endif

#define PLUGKIT_GL_ENTRY(type, name) extern type plugkit_##name;
#include "graphics/platform/GlEntryPointList.h"
#undef PLUGKIT_GL_ENTRY

#ifdef __cplusplus
}
#endif

#define glActiveTexture plugkit_glActiveTexture
#define glBlendFuncSeparate plugkit_glBlendFuncSeparate
#define glStencilOpSeparate plugkit_glStencilOpSeparate
#define glBindBuffer plugkit_glBindBuffer
#define glBufferData plugkit_glBufferData
#define glGenBuffers plugkit_glGenBuffers
#define glDeleteBuffers plugkit_glDeleteBuffers
#define glCreateShader plugkit_glCreateShader
#define glShaderSource plugkit_glShaderSource
#define glCompileShader plugkit_glCompileShader
#define glGetShaderiv plugkit_glGetShaderiv
#define glGetShaderInfoLog plugkit_glGetShaderInfoLog
#define glDeleteShader plugkit_glDeleteShader
#define glCreateProgram plugkit_glCreateProgram
#define glAttachShader plugkit_glAttachShader
#define glBindAttribLocation plugkit_glBindAttribLocation
#define glLinkProgram plugkit_glLinkProgram
#define glGetProgramiv plugkit_glGetProgramiv
#define glGetProgramInfoLog plugkit_glGetProgramInfoLog
#define glDeleteProgram plugkit_glDeleteProgram
#define glUseProgram plugkit_glUseProgram
#define glGetUniformLocation plugkit_glGetUniformLocation
#define glUniform1i plugkit_glUniform1i
#define glUniform2fv plugkit_glUniform2fv
#define glUniform4fv plugkit_glUniform4fv
#define glEnableVertexAttribArray plugkit_glEnableVertexAttribArray
#define glDisableVertexAttribArray plugkit_glDisableVertexAttribArray
#define glVertexAttribPointer plugkit_glVertexAttribPointer
#define glGenFramebuffers plugkit_glGenFramebuffers
#define glBindFramebuffer plugkit_glBindFramebuffer
#define glDeleteFramebuffers plugkit_glDeleteFramebuffers
#define glFramebufferTexture2D plugkit_glFramebufferTexture2D
#define glFramebufferRenderbuffer plugkit_glFramebufferRenderbuffer
#define glCheckFramebufferStatus plugkit_glCheckFramebufferStatus
#define glGenRenderbuffers plugkit_glGenRenderbuffers
#define glBindRenderbuffer plugkit_glBindRenderbuffer
#define glDeleteRenderbuffers plugkit_glDeleteRenderbuffers
#define glRenderbufferStorage plugkit_glRenderbufferStorage

#endif /* PLUGKIT_GL_FUNCTIONS_H */
