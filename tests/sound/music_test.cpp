// Music over a spy in place of the mixer (the loop, pause, volume cache, playing query and error
// codes), and one real playback on the dummy device.
#include "frame/media_commands.h"

#include <gtest/gtest.h>

#include <cmath>

#include "core/last_error.h"
#include "core/process_globals.h"
#include "core/str_value.h"
#include "frame/input_manager.h"
#include "frame/music_loop.h"
#include "frame/music_player.h"
#include "frame/runtime_objects.h"
#include "platform/clock.h"
#include "platform/music.h"
#include "system/timers.h"
#include "tests/sound/sound_fixture.h"
#include "tests/support/fake_clock.h"
#include "tests/support/temp_dir.h"

namespace {

class MusicRules : public testing::Test {
 protected:
  void SetUp() override {
    platform::test::InstallMusicSpy(&spy);
    TempDir::WriteBytes(song, "any bytes: the spy plays whatever exists");
  }
  void TearDown() override {
    StopMusic();
    platform::test::InstallMusicSpy(nullptr);
  }

  void Play(int32_t loop) { PlayMusic(StrValue(song.c_str()), loop); }

  // The run timer counts from a real first reading; the fake clock far beyond it keeps the
  // loop time positive.
  double firstReading = GetTimerAll();
  FakeClockScope clock{1e10};
  platform::test::MusicSpy spy;
  TempDir folder;
  std::string song = folder.Child("song.ogg");
};

}  // namespace

TEST_F(MusicRules, ShortLoopingMusicRestartsEvery500MsFromTheFrameCycle) {
  spy.lengthMs = 300.0;
  Play(1);
  ASSERT_EQ(LastErrorCode, 0);
  EXPECT_EQ(spy.plays, 1);
  const double started = GetTimerAll();
  EXPECT_DOUBLE_EQ(MusicLoopTime, started + 500.0);
  clock.Advance(499.0);
  MusicLoopCheck();
  EXPECT_EQ(spy.plays, 1);
  clock.Advance(1.0);
  MusicLoopCheck();
  EXPECT_EQ(spy.plays, 2);
  EXPECT_DOUBLE_EQ(MusicLoopTime, started + 1000.0);
}

TEST_F(MusicRules, UnknownOrLongLengthsSetTheLoop) {
  const struct {
    double lengthMs, loopMs;
  } cases[] = {{-1.0, 500.0}, {NAN, 500.0}, {2500.0, 2500.0}};
  for (const auto& c : cases) {
    spy.lengthMs = c.lengthMs;
    Play(1);
    EXPECT_DOUBLE_EQ(MusicLoopTime, GetTimerAll() + c.loopMs) << c.lengthMs;
  }
  Play(0);
  EXPECT_EQ(MusicLoopTime, 0.0);
}

TEST_F(MusicRules, APauseMovesTheRestartByThePausedTime) {
  spy.lengthMs = 3000.0;
  Play(1);
  const double due = MusicLoopTime;
  clock.Advance(1000.0);
  PauseMusic(1);
  EXPECT_TRUE(spy.paused);
  EXPECT_DOUBLE_EQ(MusicLoopTime, -due);
  clock.Advance(10000.0);
  MusicLoopCheck();
  EXPECT_EQ(spy.plays, 1);  // no restart while paused
  PauseMusic(0);
  EXPECT_FALSE(spy.paused);
  EXPECT_DOUBLE_EQ(MusicLoopTime, due + 10000.0);
  // Resuming music that is not paused moves nothing.
  PauseMusic(0);
  EXPECT_DOUBLE_EQ(MusicLoopTime, due + 10000.0);
}

TEST_F(MusicRules, VolumeIsSentOnlyWhenItChanges) {
  SetMusicVolume(0.5);  // no music: remembered, nothing sent
  EXPECT_EQ(spy.volumeSends, 0);
  Play(0);
  EXPECT_EQ(spy.volumeSends, 1);  // every new music starts at full volume
  EXPECT_EQ(spy.lastVolume, 1000);
  SetMusicVolume(0.5);
  EXPECT_EQ(spy.volumeSends, 2);
  EXPECT_EQ(spy.lastVolume, 500);
  SetMusicVolume(0.5);
  EXPECT_EQ(spy.volumeSends, 2);
  SetMusicVolume(NAN);  // never equal to the cache, and clamped by the mixer mapping
  EXPECT_EQ(spy.volumeSends, 3);
  EXPECT_EQ(platform::MusicMixerVolume(spy.lastVolume), 0);
  EXPECT_EQ(platform::MusicMixerVolume(500), 64);
  EXPECT_EQ(platform::MusicMixerVolume(5000), 128);
}

TEST_F(MusicRules, PlayingQueryFollowsLoopAndEnd) {
  EXPECT_EQ(IsMusicPlaying(), 0);
  Play(1);
  spy.playing = false;  // the piece itself has ended
  EXPECT_EQ(IsMusicPlaying(), 1);
  Play(0);
  EXPECT_EQ(IsMusicPlaying(), 1);
  PauseMusic(1);
  EXPECT_EQ(IsMusicPlaying(), 1);
  spy.playing = false;
  EXPECT_EQ(IsMusicPlaying(), 0);
  EXPECT_EQ(StopMusic(), 0);
  EXPECT_EQ(IsMusicPlaying(), 0);
}

TEST_F(MusicRules, StopAndRestart) {
  EXPECT_EQ(RestartMusic(0, 0, 0, 0), -1);
  Play(1);
  EXPECT_EQ(RestartMusic(1, 2, 3, 4), 0);
  EXPECT_EQ(spy.plays, 2);
  EXPECT_EQ(StopMusic(), 0);
  EXPECT_EQ(MusicLoopTime, 0.0);
  EXPECT_EQ(MusicWindow, nullptr);
  EXPECT_EQ(MusicVolumeCache, -1.0);
}

TEST_F(MusicRules, MissingOrUnplayableFilesSetThreeAndLeaveNoMusic) {
  for (bool refused : {false, true}) {
    SCOPED_TRACE(refused ? "refused by the mixer" : "absent");
    Play(1);
    spy.refuseLoads = refused;
    PlayMusic(StrValue(refused ? song.c_str() : folder.Child("absent.ogg").c_str()), 1);
    EXPECT_EQ(LastErrorCode, 3);
    EXPECT_EQ(MusicWindow, nullptr);  // the previous music stopped all the same
    EXPECT_EQ(MusicLoopTime, 0.0);
    spy.refuseLoads = false;
  }
  EXPECT_EQ(spy.loads, 3) << "an absent file never reaches the mixer";
  Play(0);
  EXPECT_EQ(LastErrorCode, 0);
}

TEST_F(MusicRules, StartingMusicKeepsThePointerAndResumesAPausedProgram) {
  for (const uint8_t shown : {uint8_t(0), uint8_t(1)}) {
    InputManager input;
    input.pointerShown = shown;
    InputObject = &input;
    AutoPauseFlag = 1;
    PauseFlag = 1;
    Play(0);
    EXPECT_EQ(input.pointerShown, shown);
    EXPECT_EQ(PauseFlag, 0u);
    InputObject = nullptr;
  }
}

using RealMusic = SoundFixture;

TEST_F(RealMusic, AShortPieceEndsOnItsOwnAndALoopingOneKeepsPlaying) {
  TempDir folder;
  wave_image::Format format;
  const std::string song = folder.Child("short.wav");
  TempDir::WriteBytes(song, wave_image::ConstantWave(format, 22050 / 5, 0x20));  // 200 ms
  PlayMusic(StrValue(song.c_str()), 0);
  ASSERT_EQ(LastErrorCode, 0);
  EXPECT_EQ(IsMusicPlaying(), 1);
  // The dummy device plays in real time; give it far more than the piece needs.
  const double deadline = platform::MonotonicMs() + 5000.0;
  while (IsMusicPlaying() && platform::MonotonicMs() < deadline) platform::SleepMs(10);
  EXPECT_EQ(IsMusicPlaying(), 0);

  PlayMusic(StrValue(song.c_str()), 1);
  ASSERT_EQ(LastErrorCode, 0);
  platform::SleepMs(400);
  EXPECT_EQ(IsMusicPlaying(), 1);

  const std::string noise = folder.Child("noise.ogg");
  TempDir::WriteBytes(noise, std::string(4096, '\x5A'));
  PlayMusic(StrValue(noise.c_str()), 0);
  EXPECT_EQ(LastErrorCode, 3);
  EXPECT_EQ(IsMusicPlaying(), 0);
  StopMusic();
}
