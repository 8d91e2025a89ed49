// Video files: stands in for the multimedia window's decoding of a movie. Backed by the FFmpeg
// libraries (libavformat opens and demultiplexes, libavcodec decodes, libswscale turns pictures
// into RGBA, libswresample turns the sound into the device format), so the containers and codecs
// a Linux desktop plays work: AVI, MP4, Matroska, WebM; MJPEG, MPEG-1/2/4, H.264, VP8/9 ...
//
// The sound track, when there is one and the sound device is open, plays on a stream voice of its
// own (platform/audio.h), beside the music. The file is untrusted input: a picture larger than
// 8192 x 8192 ends playback, and every library error is the end of the file, never a crash.
//
// Test seams: none; tests encode their own small files with the same libraries.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace platform {

inline constexpr int kMostVideoSide = 8192;

// One decoded picture, rows top first, four bytes a pixel (R, G, B, A).
struct VideoPicture {
  int width = 0;
  int height = 0;
  double timeMs = 0.0;      // presentation time from the start of the file
  double durationMs = 0.0;  // how long it stays on screen (one frame period of the stream)
  std::vector<uint8_t> rgba;
};

class VideoFile {
 public:
  // Null when the file cannot be opened, holds no video stream the libraries can decode, or its
  // pictures are too large.
  static std::unique_ptr<VideoFile> Open(const std::string& path);
  ~VideoFile();
  VideoFile(const VideoFile&) = delete;
  VideoFile& operator=(const VideoFile&) = delete;

  int width() const;
  int height() const;
  // The next picture in presentation order, queuing the sound read on the way. False at the end
  // of the file and on any error.
  bool NextPicture(VideoPicture& picture);
  // Back to the first picture (the sound already queued plays out); false when that fails.
  bool Rewind();

 private:
  struct Decoder;
  explicit VideoFile(std::unique_ptr<Decoder> decoder);
  std::unique_ptr<Decoder> decoder_;
};

// Whether a picture of this size may be decoded: both sides 1 .. kMostVideoSide.
bool AcceptableVideoSize(int width, int height);

}  // namespace platform
