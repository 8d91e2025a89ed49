// Stand-in for the frame cycle's present until the frame cycle lands: the swap alone, no
// message pump and no frame-rate wait.
#include "frame/frame_cycle.h"

#include "frame/gfx2d_services.h"
#include "frame/graphics_context.h"

int32_t PresentFrame(OpenGLRainbows& ctx, UserFunction) {
  Gfx2d().endOffscreenScreen(ctx);
  platform::SwapBuffers(ctx.window);
  return 1;
}
