#include "frame/frame_cycle.h"

#include <GL/gl.h>

#include <cstdio>

#include "core/last_error.h"
#include "core/number_text.h"
#include "core/process_globals.h"
#include "core/str_value.h"
#include "core/terminate.h"
#include "frame/cycle_services.h"
#include "frame/gfx2d_services.h"
#include "frame/gl_extensions.h"
#include "frame/graphics_context.h"
#include "frame/hibernate.h"
#include "frame/input_commands.h"
#include "frame/input_manager.h"
#include "frame/input_script.h"
#include "frame/music_loop.h"
#include "frame/render_state.h"
#include "frame/runtime_objects.h"
#include "platform/clock.h"
#include "platform/input.h"
#include "system/timers.h"

FrameTimesRecord FrameTimes;
MessageCallbackRecord MessageCallbackCache;

namespace {

constexpr int kKeyEscape = 1;
constexpr int kKeyEscapeAlias = 129;
constexpr int kKeyAlt = 56;
constexpr int kKeyF4 = 62;

// The limiter sleeps only while more than this remains, and wakes this much early...
constexpr double kSleepThresholdMs = 7.0;
constexpr double kWakeEarlyMs = 3.0;
// ...then pumps messages until at most this remains.
constexpr double kCloseEnoughMs = 1.0;

void Reactivate(OpenGLRainbows& ctx) {
  if (!ReactivateRequest) return;
  std::puts("activate");
  platform::ShowAndRaise(ctx.window);
  std::puts("ok");
  ReactivateRequest = 0;
}

void AdvanceFrameTimes() {
  FrameTimes.previousFrameStart = FrameTimes.currentFrameStart;
  FrameTimes.currentFrameStart = GetTimerAll();
}

bool Held(const InputManager& input, int key) {
  return (input.keyBuffer[key] & 0x80) != 0;
}

void EndOnEndKeys(const InputManager& input) {
  const bool escape = EscapeHeld(input);
  const bool altF4 = Held(input, kKeyAlt) && Held(input, kKeyF4);
  if ((EscapeEndsFlag && escape) || altF4) {
    SetLastErrorCode(0);
    TerminateProgram();
  }
}

void EndWhenPumpFailed(int32_t pumped) {
  if (pumped) return;
  SetLastErrorCode(0);
  TerminateProgram();
}

// With the alpha test off the next frame blends by alpha; with it on blending stays off.
void DefaultBlendState(OpenGLRainbows& ctx) {
  FlushHeldSpriteDraws();
  if (ctx.alphaTestReference < 1.0f) {
    CachedDisable(kCapBlend);
  } else {
    CachedEnable(kCapBlend);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  }
  ctx.drawAlpha = 1.0f;
  CachedColour(1.0f, 1.0f, 1.0f, 1.0f);
}

void DispatchOne(OpenGLRainbows& ctx, const platform::Message& message) {
  if (message.id == platform::kMessageChar) {
    PushTypedChar(static_cast<uint8_t>(message.wParam & 0xFF));
  } else if (message.id == platform::kMessageKeyDown) {
    platform::TranslateMessage(message);
  }
  platform::DispatchMessage(ctx.window, message);
}

}  // namespace

void ShowScreen(int32_t show) {
  if (!GraphicsContext) return;
  OpenGLRainbows& ctx = *GraphicsContext;
  Reactivate(ctx);
  AdvanceFrameTimes();
  while (PauseFlag) Hibernate();
  if (InputObject) {
    KeyPollCounter = 0;
    ReadKeyboardAndMice(*InputObject);
    EndOnEndKeys(*InputObject);
  }
  Cycle().setShadowPass(ctx.scene, 0);
  AdvanceInputScriptFrame();
  KeepWindowAlive();
  if (show) {
    EndWhenPumpFailed(PresentFrame(ctx, MessageCallbackCache.function));
  } else {
    ClearFrame(ctx);
  }
  DefaultBlendState(ctx);
  ResetRenderState(ctx);
  Cycle().setSecondTextureFlag(0);
  Cycle().useShaderSlot(ctx.scene, -1);
}

int32_t PresentFrame(OpenGLRainbows& ctx, UserFunction messageCallback) {
  FlushHeldSpriteDraws();
  Gfx2d().endOffscreenScreen(ctx);
  platform::SwapBuffers(ctx.window);
  Gfx2d().invalidateScreenReads();
  ClearFrame(ctx);
  double waitEnd;
  for (;;) {
    if (!PumpMessages(ctx, messageCallback)) return 0;
    waitEnd = GetTimerAll();
    const double remaining = ctx.nextFrameTime - waitEnd;
    if (remaining <= kCloseEnoughMs) break;
    if (remaining > kSleepThresholdMs) {
      platform::SleepMs(static_cast<uint32_t>(TruncToI32(remaining - kWakeEarlyMs)));
    }
  }
  ctx.nextFrameTime = AdvanceNextFrameTime(ctx.nextFrameTime, ctx.msPerFrame, waitEnd);
  return 1;
}

double AdvanceNextFrameTime(double next, double period, double t) {
  if (period <= 0.0) return next;
  if (t <= next + period) return next + period;
  if (t <= next + 2.0 * period) return next + 2.0 * period;
  return t + period;
}

void ClearFrame(OpenGLRainbows& ctx) {
  FlushHeldSpriteDraws();
  Gfx2d().invalidateScreenReads();
  if (ctx.backgrounds[0].tilesA > 0) {
    if (ctx.clearDepth) {
      ctx.clearDepth = 0;
      glClear(GL_DEPTH_BUFFER_BIT);
    }
    // The picture honours the blend mode, and the program may have left any: the frame starts
    // from a plain copy over the stale back buffer.
    CachedDisable(kCapBlend);
    ctx.drawAlpha = 1.0f;
    CachedColour(1.0f, 1.0f, 1.0f, 1.0f);
    Cycle().drawBackgroundPicture(ctx, 0);
    return;
  }
  GLbitfield mask = ctx.clearEachFrame ? GL_COLOR_BUFFER_BIT : 0;
  if (ctx.clearDepth) {
    ctx.clearDepth = 0;
    mask |= GL_DEPTH_BUFFER_BIT;
  }
  if (mask) glClear(mask);
}

double FramePeriodMs(int32_t framesPerSecond) {
  return framesPerSecond > 0 ? 1000.0 / framesPerSecond : 2.0;
}

void SetFrameRate(OpenGLRainbows& ctx, int32_t framesPerSecond, uint8_t verticalSync) {
  if (GlExtensionTable.wglSwapIntervalEXT)
    GlExtensionTable.wglSwapIntervalEXT(verticalSync ? 1 : 0);
  ctx.msPerFrame = FramePeriodMs(framesPerSecond);
}

int32_t PumpMessages(OpenGLRainbows& ctx, UserFunction messageCallback) {
  FlushHeldSpriteDraws();
  platform::Message message;
  if (!messageCallback) {
    while (platform::PeekMessage(message, true)) DispatchOne(ctx, message);
    return 1;
  }
  while (platform::PeekMessage(message, false)) {
    messageCallback();
    // The callback may have pumped the queue itself.
    if (platform::PeekMessage(message, true)) DispatchOne(ctx, message);
  }
  return 1;
}

UserFunction MessageCallback() {
  if (MessageCallbackCache.state < 0) {
    MessageCallbackCache.function = FindUserFunction(StrValue("QRN_WIN32_MSG"));
    MessageCallbackCache.state = MessageCallbackCache.function ? 1 : 0;
  }
  return MessageCallbackCache.function;
}

void CallWin32MsgCallback() {
  if (UserFunction callback = MessageCallback()) callback();
}

int32_t KeepWindowAlive() {
  MusicLoopCheck();
  if (!GraphicsContext) return 1;
  return PumpMessages(*GraphicsContext, MessageCallback());
}

void ReadKeyboardAndMice(InputManager& input) {
  KeyboardRead(input);
  MouseReport discarded;
  for (size_t i = 0; i < input.mice.size(); ++i) MousePoll(input, discarded, true);
}

bool EscapeHeld(const InputManager& input) {
  return Held(input, kKeyEscape) || Held(input, kKeyEscapeAlias);
}

void ResetFrameCycleForTests() {
  FrameTimes = {};
  MessageCallbackCache = {};
  ReactivateRequest = 0;
  MusicLoopTime = 0.0;
}
