#include "gfx2d/background_fade.h"

#include <string>

#include "core/last_error.h"
#include "frame/frame_cycle.h"
#include "frame/runtime_objects.h"
#include "frame/screen_orientation.h"
#include "gfx2d/background_pictures.h"
#include "gfx2d/draw_commands.h"
#include "system/pack_archive.h"
#include "system/timers.h"

namespace {

constexpr int32_t kNewPicture = 0;
constexpr int32_t kIncomingSlot = 1;
constexpr int32_t kOldScreenSlot = 2;
constexpr double kFirstFrameShare = 0.9;

// Each default acts on the process's graphics context and does nothing without one.
template <typename Result, typename... Args>
void OnContext(Result (*action)(OpenGLRainbows&, Args...), Args... args) {
  if (GraphicsContext) action(*GraphicsContext, args...);
}

BackgroundFadeServices& Installed() {
  static BackgroundFadeServices services = DefaultBackgroundFadeServices();
  return services;
}

void ShowFadeFrame(const BackgroundFadeServices& s, double oldShare) {
  s.setBlendMode(oldShare);
  s.drawBackgroundPicture(kOldScreenSlot);
  s.setBlendMode(1.0 - oldShare);
  s.drawBackgroundPicture(kIncomingSlot);
  s.showScreen(1);
}

// The end time stays in double: a float loses whole milliseconds after a few hours of run time.
void CrossFade(const BackgroundFadeServices& s, int32_t durationMs) {
  const double duration = durationMs;
  const double endTime = GetElapsedTime() + duration;
  double oldShare = kFirstFrameShare;
  do {
    ShowFadeFrame(s, oldShare);
    oldShare = (endTime - GetElapsedTime()) / duration;
  } while (oldShare > 0.0 && oldShare < 1.0);  // a NaN from a zero duration ends it too
}

void FinishFade(const BackgroundFadeServices& s) {
  s.setBlendMode(0.0);
  s.drawBackgroundPicture(kIncomingSlot);
  s.grabBackground(kNewPicture);
  s.freeBackgroundTiles(kIncomingSlot);
  s.freeBackgroundTiles(kOldScreenSlot);
  s.showScreen(1);
}

}  // namespace

BackgroundFadeServices DefaultBackgroundFadeServices() {
  return {
      [](int32_t slot) { OnContext(GrabBackground, slot); },
      [](int32_t slot, const char* fileName) { OnContext(LoadBackgroundPicture, slot, fileName); },
      [](int32_t slot) { OnContext(FreeBackgroundTiles, slot); },
      [](int32_t slot) { OnContext(DrawBackgroundPicture, slot); },
      SetBlendMode,
      [](int32_t colour) { OnContext(ClearScreenColour, colour); },
      ShowScreen,
  };
}

void InstallBackgroundFadeServices(const BackgroundFadeServices& services) {
  Installed() = services;
}

void LoadBackgroundWithFade(const Str& fileName, int32_t durationMs) {
  const BackgroundFadeServices& s = Installed();
  ClearLastError();
  std::string resolved;
  if (!ResolveFileName(MemoryArchive, fileName.data, resolved, true) || resolved.empty()) {
    SetLastErrorCode(3);
    s.freeBackgroundTiles(kNewPicture);
    s.clearScreenColour(0);
    return;
  }
  // The archive's memory name stays valid until its next resolution: load before anything
  // else resolves.
  s.grabBackground(kOldScreenSlot);
  s.loadBackgroundPicture(kIncomingSlot, resolved.c_str());
  s.freeBackgroundTiles(kNewPicture);
  s.clearScreenColour(0);
  CrossFade(s, durationMs);
  FinishFade(s);
}
