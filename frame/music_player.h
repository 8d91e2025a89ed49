// The current music: at most one loaded at a time, played once or looped by the clock (the
// frame cycle restarts it through RestartLoopingMusic, see frame/music_loop.h). Main thread only.
#pragma once

#include <string>

namespace platform {
class MusicTrack;
}

// The loaded music, null when none; owned here, released by MusicOff.
extern platform::MusicTrack* MusicWindow;
// GetTimerAll milliseconds when looping music was paused.
extern double MusicPausedAt;
// The last volume sent, 1.0 = full; -1 = unknown, so the next music always gets its volume.
extern double MusicVolumeCache;

// Stops and releases the current music (loop time 0, volume unknown). The shutdown's music step.
void MusicOff();
// Loads a resolved file and plays it from the start, looping by the clock when loop is set.
// False, with no music loaded, when the file cannot be opened as music.
bool StartMusic(const std::string& path, bool loop);
// The music's length for the loop: at least kShortestMusicMs (frame/music_loop.h).
double MusicLoopLengthMs();
// Plays the current music again from its start; its loop length, 0 without music.
double RestartLoopingMusic();
// Sends the volume when it differs from the last one sent (1.0 = full).
void SendMusicVolume(double volume);
