// The video loop and the drawing of its pictures over the window's framebuffer.
#include "frame/video_player.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>
#include <memory>

#include "frame/frame_cycle.h"
#include "frame/gfx2d_services.h"
#include "frame/gl_extensions.h"
#include "frame/graphics_context.h"
#include "frame/input_manager.h"
#include "frame/input_script.h"
#include "frame/runtime_objects.h"
#include "platform/clock.h"
#include "platform/video.h"
#include "platform/window.h"
#include "system/timers.h"

namespace {

constexpr int32_t kErrorNoSuchFile = 3;

VideoFrameHook frameHook = nullptr;

// Everything the picture's drawing changes, put back when the picture is shown: the attribute
// groups, the three matrix stacks, the program's framebuffer, texture and shader, so that the
// runtime's record of GL state (GlStateCache) stays true.
class SavedGlState {
 public:
  SavedGlState() {
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glPushClientAttrib(GL_CLIENT_ALL_ATTRIB_BITS);
    for (GLenum stack : kStacks) {
      glMatrixMode(stack);
      glPushMatrix();
      glLoadIdentity();
    }
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &framebuffer_);
    if (framebuffer_ != 0) BindFramebuffer(0);
    glGetIntegerv(GL_CURRENT_PROGRAM, &program_);
    if (program_ != 0 && GlExtensionTable.glUseProgramObjectARB) {
      GlExtensionTable.glUseProgramObjectARB(0);
    }
    if (GlExtensionTable.glActiveTextureARB) GlExtensionTable.glActiveTextureARB(GL_TEXTURE0_ARB);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &texture_);
  }
  ~SavedGlState() {
    glBindTexture(GL_TEXTURE_2D, GLuint(texture_));
    if (program_ != 0 && GlExtensionTable.glUseProgramObjectARB) {
      GlExtensionTable.glUseProgramObjectARB(GLhandleARB(program_));
    }
    if (framebuffer_ != 0) BindFramebuffer(GLuint(framebuffer_));
    for (GLenum stack : kStacks) {
      glMatrixMode(stack);
      glPopMatrix();
    }
    glPopClientAttrib();
    glPopAttrib();  // also the matrix mode and the active texture unit
  }
  SavedGlState(const SavedGlState&) = delete;
  SavedGlState& operator=(const SavedGlState&) = delete;

 private:
  static constexpr GLenum kStacks[] = {GL_TEXTURE, GL_PROJECTION, GL_MODELVIEW};

  // Off-screen screens bind framebuffers through the extension; only then is it needed here.
  static void BindFramebuffer(GLuint name) {
    static const auto bind = reinterpret_cast<PFNGLBINDFRAMEBUFFEREXTPROC>(
        platform::GetProcAddress("glBindFramebufferEXT"));
    if (bind) bind(GL_FRAMEBUFFER_EXT, name);
  }

  GLint framebuffer_ = 0;
  GLint program_ = 0;
  GLint texture_ = 0;
};

// The plain state a textured quad needs: no test, blend, light, fog, second texture unit or
// generated coordinates, the whole window as viewport and top-left pixel coordinates.
void PrepareQuadState(int width, int height) {
  static constexpr GLenum kOff[] = {GL_ALPHA_TEST,   GL_BLEND,         GL_COLOR_LOGIC_OP,
                                    GL_CULL_FACE,    GL_DEPTH_TEST,    GL_DITHER,
                                    GL_FOG,          GL_LIGHTING,      GL_SCISSOR_TEST,
                                    GL_STENCIL_TEST, GL_TEXTURE_GEN_S, GL_TEXTURE_GEN_T};
  for (GLenum capability : kOff) glDisable(capability);
  if (GlExtensionTable.glActiveTextureARB) {
    GlExtensionTable.glActiveTextureARB(GL_TEXTURE1_ARB);
    glDisable(GL_TEXTURE_2D);
    GlExtensionTable.glActiveTextureARB(GL_TEXTURE0_ARB);
  }
  glEnable(GL_TEXTURE_2D);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
  glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
  glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
  glDrawBuffer(GL_BACK);
  glViewport(0, 0, width, height);
  glMatrixMode(GL_PROJECTION);
  glOrtho(0.0, width, height, 0.0, -1.0, 1.0);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
  glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
  glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
}

// The window's picture during a video: black bars around the letterboxed picture.
class VideoScreen {
 public:
  explicit VideoScreen(platform::Window* window) : window_(window) {
    platform::DrawableSize(window, &width_, &height_);
    glGenTextures(1, &texture_);
  }
  ~VideoScreen() { glDeleteTextures(1, &texture_); }
  VideoScreen(const VideoScreen&) = delete;
  VideoScreen& operator=(const VideoScreen&) = delete;

  void Show(const platform::VideoPicture& picture) {
    SavedGlState saved;
    PrepareQuadState(width_, height_);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    Upload(picture);
    const VideoRect r = LetterboxRect(picture.width, picture.height, width_, height_);
    glBegin(GL_QUADS);
    glTexCoord2f(0.0f, 0.0f);
    glVertex2i(r.x, r.y);
    glTexCoord2f(1.0f, 0.0f);
    glVertex2i(r.x + r.width, r.y);
    glTexCoord2f(1.0f, 1.0f);
    glVertex2i(r.x + r.width, r.y + r.height);
    glTexCoord2f(0.0f, 1.0f);
    glVertex2i(r.x, r.y + r.height);
    glEnd();
    ++drawn_;
    if (frameHook) frameHook(drawn_);
    platform::SwapBuffers(window_);
  }

 private:
  void Upload(const platform::VideoPicture& picture) {
    glBindTexture(GL_TEXTURE_2D, texture_);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, picture.width, picture.height, 0, GL_RGBA,
                 GL_UNSIGNED_BYTE, picture.rgba.data());
  }

  platform::Window* window_;
  int width_ = 0;
  int height_ = 0;
  GLuint texture_ = 0;
  int32_t drawn_ = 0;
};

bool UserEndsVideo() {
  if (!InputObject) return false;
  return AnyKeyHit(InputObject->typedChars) || AnyMouseButtonDown(*InputObject);
}

// The key or click that started the video must not end it: typed characters are dropped and a
// held button is waited out, until neither is left.
void LetStartingInputGo() {
  if (!InputObject) return;
  InputManager& input = *InputObject;
  for (;;) {
    KeepWindowAlive();
    while (AnyKeyHit(input.typedChars)) {
    }
    if (!AnyMouseButtonDown(input)) return;
    platform::SleepMs(1);
  }
}

}  // namespace

VideoRect LetterboxRect(int32_t pictureWidth, int32_t pictureHeight, int32_t clientWidth,
                        int32_t clientHeight) {
  if (pictureWidth <= 0 || pictureHeight <= 0) return {0, 0, 0, 0};
  const double scale = std::min(double(clientWidth) / pictureWidth,
                                double(clientHeight) / pictureHeight);
  const auto width = int32_t(pictureWidth * scale);
  const auto height = int32_t(pictureHeight * scale);
  return {(clientWidth - width) / 2, (clientHeight - height) / 2, width, height};
}

int32_t PlayVideoFile(const std::string& path, bool loop) {
  FlushHeldSpriteDraws();
  if (!GraphicsContext || !GraphicsContext->window) return kErrorNoSuchFile;
  std::unique_ptr<platform::VideoFile> video = platform::VideoFile::Open(path);
  platform::VideoPicture next;
  if (!video || !video->NextPicture(next)) return kErrorNoSuchFile;
  LetStartingInputGo();
  VideoScreen screen(GraphicsContext->window);
  bool havePicture = true;
  double startMs = GetTimerAll();
  double endMs = 0.0;  // of the pictures shown so far, from the start
  for (;;) {
    const double position = GetTimerAll() - startMs;
    if (UserEndsVideo()) break;
    // Only a key ends a looped video: it is a key wait, answered at every round.
    if (loop) FeedInputScript(ScriptedWait::Key);
    KeepWindowAlive();
    if (havePicture && position >= next.timeMs) {
      screen.Show(next);
      endMs = next.timeMs + next.durationMs;
      havePicture = video->NextPicture(next);
    } else if (!havePicture && position >= endMs) {
      if (!loop || !video->Rewind() || !video->NextPicture(next)) break;
      havePicture = true;
      startMs = GetTimerAll();
    }
    // The loop polls; a millisecond's sleep a round keeps it from spinning a core.
    platform::SleepMs(1);
  }
  return 0;
}

void SetVideoFrameHook(VideoFrameHook hook) {
  frameHook = hook;
}
