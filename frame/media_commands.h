// The program's music and video commands. Names are resolved through the packed media that hands
// out real files (FileArchive). A music or video that cannot be found or played answers error 3:
// in the last error code for music, as the result for video.
#pragma once

#include <cstdint>

#include "core/str.h"

// Stops the current music and plays the file, once or (loop nonzero) restarting it by the clock
// whenever its length has passed.
void PlayMusic(const Str& name, int32_t loop);
// Always 0.
int32_t StopMusic();
// Plays the current music again from its start; 0, or -1 when there is none or it cannot play.
// The four arguments are ignored.
int32_t RestartMusic(uint32_t, uint32_t, uint32_t, uint32_t);
// 1.0 = full; sent only when it differs from the volume sent last.
void SetMusicVolume(double volume);
// 1 for looping music, else 1 while the music has not reached its end (also while paused).
int32_t IsMusicPlaying();
// Nonzero pauses, 0 resumes; a looping music's restart moves on by the time it was paused.
void PauseMusic(int32_t pause);

// 0 after playing, 3 when the file cannot be found, opened or decoded.
int32_t PlayVideo(const Str& name, int32_t loop);
// Until a typed key or a mouse button ends it.
int32_t PlayVideoLooped(const Str& name);
int32_t PlayVideoOnce(const Str& name);
