// Construction and destruction of the graphics context.
#include "frame/graphics_context.h"

#include <cstdlib>

#include "frame/gfx2d_services.h"
#include "frame/graphics_window.h"

OpenGLRainbows::OpenGLRainbows()
    : sprites(new SpriteRecord[kSpriteCount]()), alphaMasks(kSpriteCount, nullptr) {}

OpenGLRainbows::~OpenGLRainbows() {
  // The screens' framebuffers belong to this object's context, whatever is current now.
  if (window) platform::MakeCurrent(window, glContext);
  const Gfx2dServices& gfx = Gfx2d();
  gfx.endOffscreenScreen(*this);
  for (OffscreenScreen& screen : screens) gfx.deleteFramebuffer(screen);
  DestroyGraphicsWindow(*this);
  platform::DeleteGlContext(glContext);
  delete[] sprites;
  std::free(textVertices.data);
}
