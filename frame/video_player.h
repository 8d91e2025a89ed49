// Video played inside the main window: each picture is drawn as a texture, letterboxed in the
// window, and shown, until the file ends (or, looped, until a typed key or a mouse button ends
// it). The program's drawing state is left exactly as it was. Main thread only.
#pragma once

#include <cstdint>
#include <string>

struct VideoRect {
  int32_t x, y, width, height;
  bool operator==(const VideoRect&) const = default;
};

// The largest rectangle of the picture's shape that fits the client area, centred in it.
VideoRect LetterboxRect(int32_t pictureWidth, int32_t pictureHeight, int32_t clientWidth,
                        int32_t clientHeight);

// Plays a resolved file in the process's graphics window; keys and buttons held or typed before
// the start do not end it. 0 after playing, 3 when there is no window or the file cannot be
// opened or decoded.
int32_t PlayVideoFile(const std::string& path, bool loop);

// Test seam: called after each picture is drawn and before it is shown, with the count of
// pictures drawn so far by this playback, while the window's back buffer holds the picture.
using VideoFrameHook = void (*)(int32_t picturesDrawn);
void SetVideoFrameHook(VideoFrameHook hook);
