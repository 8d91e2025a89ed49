// The one music stream of SDL2_mixer, and the spy that replaces it in tests.
#include "platform/music.h"

#include <SDL2/SDL_mixer.h>

#include <algorithm>

#include "platform/audio.h"

namespace platform {

namespace {

test::MusicSpy* installedSpy = nullptr;

class MixerTrack : public MusicTrack {
 public:
  explicit MixerTrack(Mix_Music* music) : music_(music) {}
  ~MixerTrack() override {
    // Freeing the music halts it first when it is the one playing.
    Mix_FreeMusic(music_);
  }

  double LengthMs() const override {
    const double seconds = Mix_MusicDuration(music_);
    return seconds < 0.0 ? -1.0 : seconds * 1000.0;
  }
  bool Play() override {
    started_ = Mix_PlayMusic(music_, 0) == 0;
    return started_;
  }
  void Pause() override {
    if (started_) Mix_PauseMusic();
  }
  void Resume() override {
    if (started_) Mix_ResumeMusic();
  }
  bool Playing() const override { return started_ && Mix_PlayingMusic() != 0; }

 private:
  Mix_Music* music_;
  bool started_ = false;  // the mixer's state belongs to this track only once it played it
};

class SpiedTrack : public MusicTrack {
 public:
  SpiedTrack(test::MusicSpy& spy, double lengthMs) : spy_(spy), lengthMs_(lengthMs) {}
  ~SpiedTrack() override { spy_.playing = spy_.paused = false; }

  double LengthMs() const override { return lengthMs_; }
  bool Play() override {
    ++spy_.plays;
    spy_.playing = true;
    spy_.paused = false;
    return true;
  }
  void Pause() override { spy_.paused = true; }
  void Resume() override { spy_.paused = false; }
  bool Playing() const override { return spy_.playing; }

 private:
  test::MusicSpy& spy_;
  double lengthMs_;
};

}  // namespace

std::unique_ptr<MusicTrack> LoadMusicTrack(const std::string& path) {
  if (installedSpy) {
    ++installedSpy->loads;
    installedSpy->lastPath = path;
    if (installedSpy->refuseLoads) return nullptr;
    return std::make_unique<SpiedTrack>(*installedSpy, installedSpy->lengthMs);
  }
  if (!AudioIsOpen()) return nullptr;
  Mix_Music* music = Mix_LoadMUS(path.c_str());
  if (!music) return nullptr;
  return std::make_unique<MixerTrack>(music);
}

int MusicMixerVolume(int32_t perMille) {
  return int(int64_t(std::clamp(perMille, 0, 1000)) * MIX_MAX_VOLUME / 1000);
}

void SetMusicVolumePerMille(int32_t perMille) {
  if (installedSpy) {
    ++installedSpy->volumeSends;
    installedSpy->lastVolume = perMille;
    return;
  }
  if (AudioIsOpen()) Mix_VolumeMusic(MusicMixerVolume(perMille));
}

namespace test {

void InstallMusicSpy(MusicSpy* spy) {
  installedSpy = spy;
}

}  // namespace test

}  // namespace platform
