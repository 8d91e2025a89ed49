#include "frame/music_loop.h"

#include "frame/cycle_services.h"
#include "system/timers.h"

double MusicLoopTime = 0.0;

void MusicLoopCheck() {
  if (MusicLoopTime <= 0.0 || GetTimerAll() < MusicLoopTime) return;
  double length = Cycle().restartLoopingMusic();
  if (length < kShortestMusicMs) length = kShortestMusicMs;
  MusicLoopTime = GetTimerAll() + length;
}
