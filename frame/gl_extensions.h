// Entry points of the GL extensions the drawing layers use (GlExtensionTable), filled when a
// window's context is made, and the extension-name tests.
#pragma once

#include <GL/gl.h>
#include <GL/glext.h>

#include <functional>

using SwapIntervalProc = int (*)(int interval);  // 1 on success

// A null slot means the entry point is not available; every user tests it before calling.
struct GlExtensionSlots {
  SwapIntervalProc wglSwapIntervalEXT;
  PFNGLACTIVETEXTUREARBPROC glActiveTextureARB;
  PFNGLMULTITEXCOORD2FARBPROC glMultiTexCoord2fARB;
  PFNGLCLIENTACTIVETEXTUREARBPROC glClientActiveTextureARB;
  PFNGLGENBUFFERSARBPROC glGenBuffersARB;
  PFNGLBINDBUFFERARBPROC glBindBufferARB;
  PFNGLBUFFERDATAARBPROC glBufferDataARB;
  PFNGLDELETEBUFFERSARBPROC glDeleteBuffersARB;
  PFNGLMAPBUFFERARBPROC glMapBufferARB;
  PFNGLUNMAPBUFFERARBPROC glUnmapBufferARB;
  PFNGLGETBUFFERPARAMETERIVARBPROC glGetBufferParameterivARB;
  PFNGLCREATEPROGRAMOBJECTARBPROC glCreateProgramObjectARB;
  PFNGLDELETEOBJECTARBPROC glDeleteObjectARB;
  PFNGLCREATESHADEROBJECTARBPROC glCreateShaderObjectARB;
  PFNGLSHADERSOURCEARBPROC glShaderSourceARB;
  PFNGLCOMPILESHADERARBPROC glCompileShaderARB;
  PFNGLGETOBJECTPARAMETERIVARBPROC glGetObjectParameterivARB;
  PFNGLATTACHOBJECTARBPROC glAttachObjectARB;
  PFNGLGETINFOLOGARBPROC glGetInfoLogARB;
  PFNGLLINKPROGRAMARBPROC glLinkProgramARB;
  PFNGLUSEPROGRAMOBJECTARBPROC glUseProgramObjectARB;
  PFNGLGETUNIFORMLOCATIONARBPROC glGetUniformLocationARB;
  PFNGLUNIFORM1FARBPROC glUniform1fARB;
  PFNGLUNIFORM1IARBPROC glUniform1iARB;
  PFNGLGETATTRIBLOCATIONARBPROC glGetAttribLocationARB;
  PFNGLVERTEXATTRIB1FARBPROC glVertexAttrib1fARB;
};
static_assert(sizeof(GlExtensionSlots) == 26 * sizeof(void*));
extern GlExtensionSlots GlExtensionTable;

// Fills the slots of every group whose gate name occurs in the list (a plain substring test);
// slots of groups not met keep what they held. An entry point that cannot be had is logged.
void LoadGlExtensionTable(const char* extensionList);

// Appends "ext: <name padded to 35>   [FAILED]" to the debug log, without a line end.
void LogMissingEntryPoint(const char* name);
// Whether the entry point exists: a table name when its slot is filled, another name only with
// a graphics context, a "gl" prefix and an address from the platform. A missing one is logged.
bool GlFunctionAvailable(const char* name);

// Whole-name test: a hit must start the list or follow a blank, and end it or precede a blank.
bool ExtensionListHas(const char* extensionList, const char* name);
// The same test on the current context's list (GL names and the platform's WGL names).
bool HasGlExtension(const char* name);

// Asks probe for the requested sample count, halving it after each refusal down to 1; the
// count accepted, or 0 when none was.
using MultisampleProbe = std::function<bool(int samples)>;
int MultisampleSearch(int requested, const MultisampleProbe& probe);
// The search above, only when the platform offers multisampling ("WGL_ARB_multisample").
int ChooseMultisampleFormat(int samples, const MultisampleProbe& probe);
