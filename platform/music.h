// Background music: stands in for the hidden multimedia window that plays the current music.
// Backed by SDL2_mixer's one music stream (WAV, OGG, MP3, FLAC, MOD, OPUS, and MIDI through the
// installed sound font). The mixer never loops the music itself: the runtime restarts looping
// music by the clock, so the loop time and its shift across a pause stay the runtime's.
//
// What Linux cannot do the same way: there is no window, cursor theft or keyboard focus to give
// back; the mixer must be open (AudioOpen) before a music can load, and without a sound device
// every load fails. A music's length is what the decoder reports; formats without one (MOD,
// MIDI) answer -1.
//
// Test seam: a spy that stands in for the mixer, so the music rules can be tested on the fake
// clock without playing anything.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace platform {

class MusicTrack {
 public:
  virtual ~MusicTrack() = default;  // halts the music when it is the one playing
  // Length in milliseconds, -1 when the format cannot tell.
  virtual double LengthMs() const = 0;
  // From the start, once; false when the mixer refuses.
  virtual bool Play() = 0;
  virtual void Pause() = 0;
  virtual void Resume() = 0;
  // Started and not yet ended; a paused music counts as playing.
  virtual bool Playing() const = 0;
};

// Null when the file cannot be opened as music (or the device is closed).
std::unique_ptr<MusicTrack> LoadMusicTrack(const std::string& path);

// The music volume in thousandths of full (0 .. 1000; values outside are clamped).
void SetMusicVolumePerMille(int32_t perMille);
// The mixer's volume for a value in thousandths: 0 .. 128.
int MusicMixerVolume(int32_t perMille);

namespace test {

// While installed, loads make spied tracks that report to it instead of touching the mixer.
struct MusicSpy {
  bool refuseLoads = false;
  double lengthMs = 1000.0;     // what the next loaded track reports
  bool playing = false;         // set by Play, cleared by the test to end the music
  bool paused = false;
  int loads = 0;
  int plays = 0;
  int volumeSends = 0;
  int32_t lastVolume = -1;      // thousandths
  std::string lastPath;
};
void InstallMusicSpy(MusicSpy* spy);  // null goes back to the mixer

}  // namespace test

}  // namespace platform
