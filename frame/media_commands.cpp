// Music and video commands: name resolution and error codes in front of the music state and the
// video player.
#include "frame/media_commands.h"

#include <string>

#include "core/last_error.h"
#include "frame/music_loop.h"
#include "frame/music_player.h"
#include "frame/video_player.h"
#include "platform/music.h"
#include "system/pack_archive.h"
#include "system/timers.h"

namespace {

constexpr int32_t kErrorNoSuchFile = 3;

// The file to play, from disk or unpacked to a temporary file; false when it is nowhere.
bool ResolveMediaName(const Str& name, std::string& resolved) {
  return ResolveFileName(FileArchive, name.data, resolved, false) && !resolved.empty();
}

}  // namespace

void PlayMusic(const Str& name, int32_t loop) {
  ClearLastError();
  MusicOff();
  std::string resolved;
  if (!ResolveMediaName(name, resolved) || !StartMusic(resolved, loop != 0)) {
    SetLastErrorCode(kErrorNoSuchFile);
  }
}

int32_t StopMusic() {
  MusicOff();
  return 0;
}

int32_t RestartMusic(uint32_t, uint32_t, uint32_t, uint32_t) {
  return MusicWindow && MusicWindow->Play() ? 0 : -1;
}

void SetMusicVolume(double volume) {
  SendMusicVolume(volume);
}

int32_t IsMusicPlaying() {
  if (!MusicWindow) return 0;
  if (MusicLoopTime > 0.0) return 1;
  return MusicWindow->Playing() ? 1 : 0;
}

void PauseMusic(int32_t pause) {
  if (!MusicWindow) return;
  if (pause != 0) {
    if (MusicLoopTime > 0.0) {
      MusicPausedAt = GetTimerAll();
      MusicLoopTime = -MusicLoopTime;
    }
    MusicWindow->Pause();
    return;
  }
  if (MusicLoopTime < 0.0) MusicLoopTime = -MusicLoopTime + (GetTimerAll() - MusicPausedAt);
  MusicWindow->Resume();
}

int32_t PlayVideo(const Str& name, int32_t loop) {
  std::string resolved;
  if (!ResolveMediaName(name, resolved)) return kErrorNoSuchFile;
  return PlayVideoFile(resolved, loop != 0);
}

int32_t PlayVideoLooped(const Str& name) {
  return PlayVideo(name, 1);
}

int32_t PlayVideoOnce(const Str& name) {
  return PlayVideo(name, 0);
}
