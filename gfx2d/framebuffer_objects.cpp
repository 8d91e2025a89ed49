// Framebuffer objects and their entry points.
#include "gfx2d/framebuffer_objects.h"

#include <cstdio>

#include "frame/gl_extensions.h"
#include "gfx2d/sprite_batch.h"
#include "platform/window.h"
#include "system/debug_log.h"

FboEntryPointTable FboEntryPoints = {};

namespace {

template <typename Slot>
void FetchEntryPoint(Slot& slot, const char* name, bool offered) {
  slot = offered ? reinterpret_cast<Slot>(platform::GetProcAddress(name)) : nullptr;
  if (slot) return;
  char line[64];
  std::snprintf(line, sizeof line, "ext: %-35s   [FAILED]", name);
  ErrorLogWrite(line);
}

void LogStatus(GLenum status) {
  char line[64];
  std::snprintf(line, sizeof line, "glBindRenderbufferExt failed %x\n", status);
  ErrorLogWrite(line);
}

// Everything a framebuffer with a depth buffer is made, bound and released with.
bool CanMakeFramebuffers() {
  const FboEntryPointTable& f = FboEntryPoints;
  return f.supported && f.glGenFramebuffersEXT && f.glGenRenderbuffersEXT &&
         f.glBindRenderbufferEXT && f.glRenderbufferStorageEXT && f.glCheckFramebufferStatusEXT &&
         f.glBindFramebufferEXT && f.glFramebufferTexture2DEXT && f.glFramebufferRenderbufferEXT &&
         f.glDeleteFramebuffersEXT && f.glDeleteRenderbuffersEXT;
}

// Some drivers refuse the deeper formats; each refusal is a GL_INVALID_ENUM.
void AllocateDepthStorage(int32_t width, int32_t height) {
  const FboEntryPointTable& f = FboEntryPoints;
  while (glGetError() != GL_NO_ERROR) {
  }
  f.glRenderbufferStorageEXT(GL_RENDERBUFFER_EXT, GL_DEPTH_COMPONENT32, width, height);
  if (glGetError() != GL_INVALID_ENUM) return;
  ErrorLogWrite("depth 32 failed, try 24\n");
  f.glRenderbufferStorageEXT(GL_RENDERBUFFER_EXT, GL_DEPTH_COMPONENT24, width, height);
  if (glGetError() != GL_INVALID_ENUM) return;
  f.glRenderbufferStorageEXT(GL_RENDERBUFFER_EXT, GL_DEPTH_COMPONENT16, width, height);
}

bool AttachDepthBuffer(OffscreenScreen& screen, int32_t width, int32_t height) {
  const FboEntryPointTable& f = FboEntryPoints;
  f.glGenRenderbuffersEXT(1, &screen.depthBuffer);
  if (screen.depthBuffer == 0) {
    ErrorLogWrite("glGenRenderbuffersExt failed\n");
    return false;
  }
  f.glBindRenderbufferEXT(GL_RENDERBUFFER_EXT, screen.depthBuffer);
  AllocateDepthStorage(width, height);
  f.glFramebufferRenderbufferEXT(GL_FRAMEBUFFER_EXT, GL_DEPTH_ATTACHMENT_EXT, GL_RENDERBUFFER_EXT,
                                 screen.depthBuffer);
  return true;
}

}  // namespace

void LoadFramebufferExtensions() {
  FboEntryPointTable& f = FboEntryPoints;
  const bool offered = HasGlExtension("GL_EXT_framebuffer_object");
#define QRN_FETCH(slot) FetchEntryPoint(f.slot, #slot, offered)
  QRN_FETCH(glBindRenderbufferEXT);
  QRN_FETCH(glDeleteRenderbuffersEXT);
  QRN_FETCH(glGenRenderbuffersEXT);
  QRN_FETCH(glRenderbufferStorageEXT);
  QRN_FETCH(glBindFramebufferEXT);
  QRN_FETCH(glDeleteFramebuffersEXT);
  QRN_FETCH(glGenFramebuffersEXT);
  QRN_FETCH(glCheckFramebufferStatusEXT);
  QRN_FETCH(glFramebufferTexture2DEXT);
  QRN_FETCH(glFramebufferRenderbufferEXT);
  QRN_FETCH(glGetFramebufferAttachmentParameterivEXT);
#undef QRN_FETCH
  f.supported = f.glGenFramebuffersEXT != nullptr;
  if (!f.supported) ErrorLogWrite("can't use framebuffer object\n");
}

bool FramebufferSizeAccepted(int32_t width, int32_t height) {
  if (width >= 1 && height >= 1) return true;
  char line[80];
  std::snprintf(line, sizeof line, "can't create FBO for neg dims %dx%d\n", width, height);
  ErrorLogWrite(line);
  return false;
}

bool CreateFramebuffer(OffscreenScreen& screen, int32_t width, int32_t height, uint32_t texture,
                       bool withDepth) {
  FlushSpriteBatch();
  const FboEntryPointTable& f = FboEntryPoints;
  DeleteFramebuffer(screen);
  if (!FramebufferSizeAccepted(width, height)) return false;
  if (!CanMakeFramebuffers()) return false;
  f.glGenFramebuffersEXT(1, &screen.framebuffer);
  if (screen.framebuffer == 0) {
    ErrorLogWrite("glGenFramebuffersExt failed\n");
    DeleteFramebuffer(screen);
    return false;
  }
  BindFramebuffer(screen);
  f.glFramebufferTexture2DEXT(GL_FRAMEBUFFER_EXT, GL_COLOR_ATTACHMENT0_EXT, GL_TEXTURE_2D, texture,
                              0);
  if (withDepth && !AttachDepthBuffer(screen, width, height)) {
    DeleteFramebuffer(screen);
    return false;
  }
  const GLenum status = f.glCheckFramebufferStatusEXT(GL_FRAMEBUFFER_EXT);
  UnbindFramebuffer(screen);
  if (status == GL_FRAMEBUFFER_COMPLETE_EXT) {
    screen.width = width;
    screen.height = height;
    return true;
  }
  LogStatus(status);
  DeleteFramebuffer(screen);
  if (!withDepth) {
    ErrorLogWrite("CAN'T CREATE FRAMEBUFFER (CREATESCREEN)\n");
    return false;
  }
  ErrorLogWrite("Trying without a depth buffer as a fallback...\n");
  return CreateFramebuffer(screen, width, height, texture, false);
}

bool BindFramebuffer(OffscreenScreen& screen) {
  FlushSpriteBatch();
  if (!FboEntryPoints.supported) return false;
  if (screen.savedBinding != -1) {
    ErrorLogWrite("Trying to rebind the same FBO again. Need to end first\n");
    return false;
  }
  screen.savedBinding = int32_t(GetFramebufferBinding());
  FboEntryPoints.glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, screen.framebuffer);
  return true;
}

bool UnbindFramebuffer(OffscreenScreen& screen) {
  FlushSpriteBatch();
  if (!FboEntryPoints.supported || screen.savedBinding == -1) return false;
  FboEntryPoints.glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, uint32_t(screen.savedBinding));
  screen.savedBinding = -1;
  return true;
}

void DeleteFramebuffer(OffscreenScreen& screen) {
  FlushSpriteBatch();
  const FboEntryPointTable& f = FboEntryPoints;
  if (f.supported && screen.savedBinding != -1 && f.glBindFramebufferEXT) {
    f.glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, uint32_t(screen.savedBinding));
  }
  if (screen.framebuffer && f.glDeleteFramebuffersEXT) {
    f.glDeleteFramebuffersEXT(1, &screen.framebuffer);
  }
  if (screen.depthBuffer && f.glDeleteRenderbuffersEXT) {
    f.glDeleteRenderbuffersEXT(1, &screen.depthBuffer);
  }
  screen = OffscreenScreen{};
}

uint32_t GetFramebufferBinding() {
  if (!FboEntryPoints.supported) return 0;
  GLint binding = 0;
  glGetIntegerv(GL_FRAMEBUFFER_BINDING_EXT, &binding);
  return uint32_t(binding);
}

uint32_t GetFramebufferColourObject() {
  const FboEntryPointTable& f = FboEntryPoints;
  if (!f.supported || !f.glGetFramebufferAttachmentParameterivEXT) return 0;
  GLint object = 0;
  f.glGetFramebufferAttachmentParameterivEXT(GL_FRAMEBUFFER_EXT, GL_COLOR_ATTACHMENT0_EXT,
                                             GL_FRAMEBUFFER_ATTACHMENT_OBJECT_NAME_EXT, &object);
  return uint32_t(object);
}
