// Window and context creation in the runtime's fixed order, with its log lines.
#include "frame/graphics_window.h"

#include <GL/gl.h>

#include <cstdio>
#include <string>

#include "core/process_globals.h"
#include "frame/frame_cycle.h"
#include "frame/gfx2d_services.h"
#include "frame/gl_extensions.h"
#include "frame/graphics_context.h"
#include "frame/render_state.h"
#include "frame/screen_modes.h"
#include "frame/window_procedure.h"
#include "platform/files.h"
#include "system/debug_log.h"
#include "system/timers.h"

namespace {

struct OncePerRun {
  bool procedureRegistered = false;
  bool softwareWarningShown = false;
  bool rendererFetched = false;
  std::string renderer;
};

OncePerRun& Guards() {
  static OncePerRun guards;
  return guards;
}

constexpr const char* kSoftwareBoxTitle = "No OpenGL Hardware Drivers";
constexpr const char* kSoftwareBoxText =
    "Please update your GFX adapter's driver\nso it can render OpenGL by HARDWARE\n\n\n"
    "Bitte aktualisieren Sie Ihren\nGrafkkartentreiber, damit er OpenGL\nper HARDWARE "
    "unterst\xFCtzt!";

bool IsSoftwareRenderer(const std::string& renderer) {
  if (renderer == "Mesa Windows GDI Driver") return true;
  for (const char* prefix : {"llvmpipe", "softpipe", "swrast"}) {
    if (renderer.rfind(prefix, 0) == 0) return true;
  }
  return false;
}

// The program may ship its own advice in "opengldriver.txt" in the current folder.
std::string DriverAdviceText() {
  char text[2048] = {};
  const int file = platform::OpenForRead("opengldriver.txt");
  if (file >= 0) {
    const int64_t length = platform::ReadFull(file, text, sizeof text - 1);
    platform::CloseDescriptor(file);
    text[length > 0 ? length : 0] = '\0';
  }
  return text[0] ? text : kSoftwareBoxText;
}

void WarnOnceAboutSoftwareRendering() {
  OncePerRun& guards = Guards();
  if (guards.softwareWarningShown) return;
  if (!guards.rendererFetched) {
    guards.renderer = platform::RendererName();
    guards.rendererFetched = true;
  }
  if (!IsSoftwareRenderer(guards.renderer)) return;
  guards.softwareWarningShown = true;
  ErrorLogWrite("*** OpenGL Software Emulation - update driver!\n");
  platform::ShowWarningBox(kSoftwareBoxTitle, DriverAdviceText());
}

// Makes the object's context current on its window, making a context when it has none yet and
// a fresh one when the old one refuses the window.
bool AttachContext(OpenGLRainbows& ctx) {
  if (!ctx.glContext) ctx.glContext = platform::CreateGlContext(ctx.window);
  if (ctx.glContext && platform::MakeCurrent(ctx.window, ctx.glContext)) return true;
  platform::DeleteGlContext(ctx.glContext);
  ctx.glContext = platform::CreateGlContext(ctx.window);
  return ctx.glContext && platform::MakeCurrent(ctx.window, ctx.glContext);
}

// Replaces the window by one with the largest accepted sample count up to the request, with a
// new context made for it.
void SwitchToMultisampleWindow(OpenGLRainbows& ctx, int32_t requested, int32_t width,
                               int32_t height) {
  platform::Window* candidate = nullptr;
  const int samples = ChooseMultisampleFormat(requested, [&](int count) {
    candidate = platform::CreateWindow(width, height, count);
    return candidate != nullptr;
  });
  if (samples == 0) return;
  DestroyGraphicsWindow(ctx);
  // The old context cannot be made current on a window of another format: drop it, not leak it.
  platform::DeleteGlContext(ctx.glContext);
  ctx.glContext = nullptr;
  ctx.window = candidate;
  if (!AttachContext(ctx)) {
    platform::DestroyWindow(ctx.window);
    ctx.window = nullptr;
  }
}

void LogBgraSupport(OpenGLRainbows& ctx, const std::string& extensions) {
  ctx.bgraSupported = extensions.find("_texture_format_BGRA8888") != std::string::npos ||
                      extensions.find("GL_EXT_bgra") != std::string::npos;
  if (ctx.bgraSupported) {
    ErrorLogWrite("BGRA ext supported\n");
    return;
  }
  char line[1024];
  std::snprintf(line, sizeof line, "BGRA ext NOT supported\n%s\n", extensions.c_str());
  ErrorLogWrite(line);
}

void LogTextureSizeLimit() {
  char line[64];
  std::snprintf(line, sizeof line, "Texture size limit: %d\n", platform::MaxTextureSize());
  ErrorLogWrite(line);
}

void StoreWindowSize(OpenGLRainbows& ctx, int32_t width, int32_t height, int32_t colourBits) {
  ctx.windowWidth = width;
  ctx.windowHeight = height;
  ctx.colourBits = colourBits;
  ctx.fullscreen = 0;
}

void FreeBackgroundPictures(OpenGLRainbows& ctx) {
  FlushHeldSpriteDraws();
  for (BackgroundPicture& picture : ctx.backgrounds) {
    for (int32_t a = 0; a < picture.tilesA && a < 8; ++a) {
      for (int32_t b = 0; b < picture.tilesB && b < 8; ++b) {
        GLuint& tile = picture.tiles[a * 8 + b];
        if (tile) glDeleteTextures(1, &tile);
      }
    }
    picture = BackgroundPicture{};
  }
}

// The hidden window at the requested size with a current context, multisampled when asked.
bool OpenWindowWithContext(OpenGLRainbows& ctx, int32_t width, int32_t height,
                           int32_t colourBits, int32_t samples) {
  int desktopBits = 0;
  platform::DesktopMode(&DesktopWidth, &DesktopHeight, &desktopBits);
  // A context kept from an earlier window moves onto this one only when their formats agree.
  ctx.window = platform::CreateWindow(width, height, platform::ContextSamples(ctx.glContext));
  if (!ctx.window) return false;
  int drawableWidth = 0, drawableHeight = 0;
  platform::DrawableSize(ctx.window, &drawableWidth, &drawableHeight);
  if (width == 0) width = drawableWidth;
  if (height == 0) height = drawableHeight;
  if (colourBits == 0) colourBits = desktopBits;
  StoreWindowSize(ctx, width, height, colourBits);

  const bool attached = AttachContext(ctx);
  ctx.multisampleRequest = 0;
  if (attached && samples != 0) SwitchToMultisampleWindow(ctx, samples, width, height);
  // A replaced window took the size with it; the new one has the same.
  StoreWindowSize(ctx, width, height, colourBits);
  if (attached && ctx.window) return true;
  platform::DestroyWindow(ctx.window);
  ctx.window = nullptr;
  return false;
}

// First present, extension entry points, capabilities and the 2D default state.
void FinishContextSetUp(OpenGLRainbows& ctx) {
  ErrorLogWrite("get accurate timer - 1st call\n");
  ctx.nextFrameTime = GetTimerAll();
  ErrorLogWrite("flip - 1st call\n");
  PresentFrame(ctx, nullptr);

  const std::string extensions = platform::ExtensionList();
  if (!extensions.empty()) LoadGlExtensionTable(extensions.c_str());
  LogBgraSupport(ctx, extensions);
  LogTextureSizeLimit();
  ErrorLogWrite("init fbo\n");
  Gfx2d().loadFramebufferExtensions();

  ErrorLogWrite("2D VP\n");
  ResetRenderState(ctx);
  ErrorLogWrite("OGRB init [OK]\n");
}

}  // namespace

bool CreateGraphicsWindow(OpenGLRainbows& ctx, void* instance, int32_t width, int32_t height,
                          int32_t colourBits, int32_t framesPerSecond, int32_t samples) {
  FlushHeldSpriteDraws();
  SetFrameRate(ctx, framesPerSecond, 0);
  if (!Guards().procedureRegistered) {
    platform::SetWindowProcedure(MainWindowProc);
    Guards().procedureRegistered = true;
  }
  ctx.instance = instance;
  ctx.multisampleRequest = samples;
  ErrorLogWrite("WIN32 init video\n");
  if (!OpenWindowWithContext(ctx, width, height, colourBits, samples)) return false;

  WarnOnceAboutSoftwareRendering();
  Gfx2d().invalidateScreenReads();
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  FinishContextSetUp(ctx);
  return true;
}

void DestroyGraphicsWindow(OpenGLRainbows& ctx) {
  if (!ctx.window) return;
  platform::MakeCurrent(ctx.window, ctx.glContext);
  const Gfx2dServices& gfx = Gfx2d();
  for (int32_t sprite = 0; sprite < kSpriteCount - 1; ++sprite) gfx.freeSprite(ctx, sprite);
  FreeBackgroundPictures(ctx);
  ApplyWindowMode(ctx);
  platform::MakeCurrent(ctx.window, nullptr);
  platform::DestroyWindow(ctx.window);
  ctx.window = nullptr;
  ctx.windowWidth = 0;
  ctx.windowHeight = 0;
}

void ResetGraphicsWindowGuardsForTests() { Guards() = OncePerRun{}; }
