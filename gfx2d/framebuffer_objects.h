// Framebuffer objects through the EXT entry points: the table of entry points fetched at window
// set-up, and one framebuffer with its depth renderbuffer made, bound, unbound and deleted for an
// OffscreenScreen record. Every failure is one line in the debug log and a false answer.
#pragma once

#include <GL/gl.h>
#include <GL/glext.h>

#include <cstdint>

#include "frame/graphics_records.h"

// Null entries are missing; supported is 1 only when framebuffers can be generated.
struct FboEntryPointTable {
  uint32_t supported;
  PFNGLGETFRAMEBUFFERATTACHMENTPARAMETERIVEXTPROC glGetFramebufferAttachmentParameterivEXT;
  PFNGLFRAMEBUFFERRENDERBUFFEREXTPROC glFramebufferRenderbufferEXT;
  PFNGLFRAMEBUFFERTEXTURE2DEXTPROC glFramebufferTexture2DEXT;
  PFNGLCHECKFRAMEBUFFERSTATUSEXTPROC glCheckFramebufferStatusEXT;
  PFNGLGENFRAMEBUFFERSEXTPROC glGenFramebuffersEXT;
  PFNGLDELETEFRAMEBUFFERSEXTPROC glDeleteFramebuffersEXT;
  PFNGLBINDFRAMEBUFFEREXTPROC glBindFramebufferEXT;
  PFNGLRENDERBUFFERSTORAGEEXTPROC glRenderbufferStorageEXT;
  PFNGLGENRENDERBUFFERSEXTPROC glGenRenderbuffersEXT;
  PFNGLDELETERENDERBUFFERSEXTPROC glDeleteRenderbuffersEXT;
  PFNGLBINDRENDERBUFFEREXTPROC glBindRenderbufferEXT;
};
extern FboEntryPointTable FboEntryPoints;

// Fetches every entry point when the context offers "GL_EXT_framebuffer_object" (the platform
// answers a pointer for any name, so the name must be listed); each one missing is logged.
void LoadFramebufferExtensions();

// A framebuffer needs at least one pixel each way; a smaller size is logged and refused.
bool FramebufferSizeAccepted(int32_t width, int32_t height);

// A framebuffer of width x height drawing into texture, with a depth renderbuffer when asked;
// whatever the record held is released first. Falls back to shallower depth formats, then to no
// depth at all when the framebuffer is incomplete.
bool CreateFramebuffer(OffscreenScreen& screen, int32_t width, int32_t height, uint32_t texture,
                       bool withDepth);
// Binds the record's framebuffer and keeps the binding it replaces; false when already bound.
bool BindFramebuffer(OffscreenScreen& screen);
// Puts back the binding kept by BindFramebuffer.
bool UnbindFramebuffer(OffscreenScreen& screen);
// Unbinds when bound, deletes the framebuffer and renderbuffer; the record becomes free.
void DeleteFramebuffer(OffscreenScreen& screen);

// The framebuffer bound now (0 = the window, or no support).
uint32_t GetFramebufferBinding();
// The texture behind colour attachment 0 of the bound framebuffer (0 when unknown).
uint32_t GetFramebufferColourObject();
