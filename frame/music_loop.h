// Looping music as every waiting loop keeps it going: when the loop time has come the music is
// played again from its start and the next loop time set.
#pragma once

// GetTimerAll milliseconds at which looping music restarts; 0 = no looping music, negative while
// the music is paused. The music layer sets it when looping music starts and clears it on stop.
extern double MusicLoopTime;

// A music shorter than this, or of unknown length, counts as this long.
inline constexpr double kShortestMusicMs = 500.0;

// Restarts the music when its loop time has come. A music shorter than 500 ms counts as 500 ms, so
// a very short piece never restarts on every pass of a loop.
void MusicLoopCheck();
