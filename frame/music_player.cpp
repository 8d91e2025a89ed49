// The music state and the steps that load, restart and stop the current music.
#include "frame/music_player.h"

#include <algorithm>

#include "core/number_text.h"
#include "core/user_functions.h"
#include "frame/input_manager.h"
#include "frame/music_loop.h"
#include "frame/runtime_objects.h"
#include "platform/music.h"
#include "system/timers.h"

platform::MusicTrack* MusicWindow = nullptr;
double MusicPausedAt = 0.0;
double MusicVolumeCache = -1.0;

namespace {

// The pointer keeps its state, but one that was shown comes back where the game's mouse is, and
// one that was hidden stays hidden with the cursor moved there.
void ReplacePointer(InputManager& input) {
  const bool shown = input.pointerShown != 0;
  SetPointerVisible(input, false);
  SetPointerVisible(input, true);
  if (!shown) SetPointerVisible(input, false);
}

}  // namespace

void MusicOff() {
  MusicVolumeCache = -1.0;
  MusicLoopTime = 0.0;
  delete MusicWindow;
  MusicWindow = nullptr;
}

double MusicLoopLengthMs() {
  if (!MusicWindow) return kShortestMusicMs;
  // A NaN length (a broken decoder) fails the comparison and counts as short too.
  const double length = MusicWindow->LengthMs();
  return length >= kShortestMusicMs ? length : kShortestMusicMs;
}

bool StartMusic(const std::string& path, bool loop) {
  MusicOff();
  MusicWindow = platform::LoadMusicTrack(path).release();
  if (!MusicWindow) return false;
  MusicLoopTime = loop ? GetTimerAll() + MusicLoopLengthMs() : 0.0;
  MusicWindow->Play();
  if (InputObject) ReplacePointer(*InputObject);
  SendMusicVolume(1.0);
  SetPauseState(0);
  return true;
}

double RestartLoopingMusic() {
  if (!MusicWindow) return 0.0;
  MusicWindow->Play();
  return MusicLoopLengthMs();
}

void SendMusicVolume(double volume) {
  if (volume == MusicVolumeCache) return;
  MusicVolumeCache = volume;
  if (MusicWindow) platform::SetMusicVolumePerMille(TruncToI32(volume * 1000.0));
}
