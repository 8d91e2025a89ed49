// The program's sound commands: slot and channel numbers, error codes, volume and pan.
#include "frame/sound_commands.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <optional>

#include "core/last_error.h"
#include "core/str_value.h"
#include "frame/sound_device.h"
#include "platform/clock.h"
#include "tests/sound/sound_fixture.h"
#include "tests/support/environment_scope.h"
#include "tests/support/memory_file.h"
#include "tests/support/temp_dir.h"

using namespace wave_image;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

void Load(const std::string& name, uint32_t slot, int32_t buffers) {
  LoadSound(StrValue(name.c_str()), slot, buffers);
}

const platform::SoundVoice& Voice(uint32_t slot, int32_t buffer) {
  return *(*SoundSlots)[slot].buffers[size_t(buffer)];
}

class SoundCommands : public SoundFixture {
 protected:
  MemoryFile wave{LongSound()};
};

}  // namespace

TEST_F(SoundCommands, SlotNumbersOutOfRangeSetSevenAndTouchNothing) {
  const std::function<void()> refused[] = {
      [&] { Load(wave.name, 4096, 1); },
      [&] { Load(wave.name, uint32_t(-1), 1); },
      [] { EXPECT_EQ(PlaySoundSlot(4096, 0, 1), 0); },
      [] { EXPECT_EQ(IsSoundChannelPlaying(-1), 0); },
      [] { EXPECT_EQ(IsSoundChannelPlaying(4096 * 256), 0); },
  };
  for (size_t i = 0; i < std::size(refused); ++i) {
    ClearLastError();
    refused[i]();
    EXPECT_EQ(LastErrorCode, 7) << "case " << i;
  }
  EXPECT_EQ(FindFreeSoundSlot(), 4095) << "nothing was loaded";

  SetLastErrorCode(5);
  StopSoundChannel(-1);
  StopSoundChannel(4096 * 256);
  EXPECT_EQ(LastErrorCode, 5);
}

TEST_F(SoundCommands, FilesThatDoNotLoadSetThreeAndLeaveTheSlotEmpty) {
  TempDir dir;
  const std::string text = dir.Child("text.wav");
  TempDir::WriteBytes(text, "just some words");
  for (const std::string& name : {dir.Child("missing.wav"), text, std::string()}) {
    Load(wave.name, 7, 2);
    ASSERT_EQ(LastErrorCode, 0);
    ASSERT_EQ(FindFreeSoundSlot(), 4095);
    Load(name, 7, 2);
    EXPECT_EQ(LastErrorCode, 3) << name;
    EXPECT_EQ((*SoundSlots)[7].bufferCount, 0) << name;
  }
}

TEST_F(SoundCommands, FindFreeSoundSlotGivesTheHighestEmptySlot) {
  Load(wave.name, 4095, 1);
  EXPECT_EQ(FindFreeSoundSlot(), 4094);
  for (uint32_t slot = 0; slot < 4095; ++slot) (*SoundSlots)[slot].bufferCount = 1;
  EXPECT_EQ(FindFreeSoundSlot(), -1);
  EXPECT_EQ(LastErrorCode, 7);
  for (uint32_t slot = 0; slot < 4095; ++slot) (*SoundSlots)[slot].bufferCount = 0;
}

TEST_F(SoundCommands, ChannelsAreSlotTimes256PlusBuffer) {
  Load(wave.name, 2, 4);
  for (int32_t channel : {512, 513, 514}) EXPECT_EQ(PlaySoundSlot(2, 0, 1), channel);
  EXPECT_EQ(IsSoundChannelPlaying(515), 0);
  EXPECT_EQ(IsSoundChannelPlaying(2 * 256 + 200), 0);
  StopSoundChannel(513);
  EXPECT_EQ(IsSoundChannelPlaying(513), 0);
  EXPECT_EQ(IsSoundChannelPlaying(512), 1);
  StopSoundChannel(2 * 256 + 255);
  EXPECT_EQ(IsSoundChannelPlaying(512), 0);
  EXPECT_EQ(IsSoundChannelPlaying(514), 0);

  // The buffer played last is idle again, so it plays once more.
  EXPECT_EQ(PlaySoundSlot(2, 0, 1), 514);
  StopAllSounds();
  EXPECT_EQ(IsSoundChannelPlaying(514), 0);
  EXPECT_EQ(PlaySoundSlot(10, 0, 1), -1);  // empty slot
}

TEST_F(SoundCommands, PanAndVolumeAreClampedAndNaNPlaysSilent) {
  struct Case {
    double pan, volume;
    int32_t panUnits, attenuation;
  };
  const Case cases[] = {
      {3, 1.5, 10000, 0},     {-3, 0.5, -10000, -602}, {0.5, 0.004, 5000, -10000},
      {0, -2, 0, -10000},     {0, 0.99, 0, -8},        {0.25, kNaN, 2500, -10000},
      {kNaN, 1, 2500, 0},  // a NaN pan is refused; the voice keeps its pan
  };
  Load(wave.name, 3, 1);
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "pan " << c.pan << ", volume " << c.volume);
    ASSERT_EQ(PlaySoundSlot(3, c.pan, c.volume), 3 * 256);
    EXPECT_EQ(Voice(3, 0).pan(), c.panUnits);
    EXPECT_EQ(Voice(3, 0).attenuation(), c.attenuation);
    StopSoundChannel(3 * 256);
  }
}

// The real mix from SDL's disk driver, opened at another rate than the usual one: the sound's
// length at that rate, half level, left.
TEST(SoundOutput, APlayedSoundFillsItsLengthOfTheMixAtItsGains) {
  TempDir dir;
  const std::string output = dir.Child("mix.raw");
  std::optional<SoundObjects> objects;
  {
    EnvironmentScope disk;
    disk.Set("SDL_AUDIODRIVER", "disk");
    disk.Set("SDL_DISKAUDIOFILE", output.c_str());
    disk.Set("SDL_DISKAUDIODELAY", "0");
    platform::test::AskDeviceFormat(44100, 0);
    objects.emplace();
    platform::test::AskDeviceFormat(0, 0);
  }
  ASSERT_TRUE(SoundHolder->open);

  const Format mono8{.channels = 1, .rate = 11025, .bits = 8};
  const std::string image = ConstantWave(mono8, 5000, 192);  // +64 of 128: 16384 in 16 bits
  MemoryFile wave(image);
  Load(wave.name, 0, 1);
  ASSERT_EQ(PlaySoundSlot(0, -1, 0.5), 0);
  const double deadline = platform::MonotonicMs() + 20000;
  while (IsSoundChannelPlaying(0) && platform::MonotonicMs() < deadline) platform::YieldThread();
  objects.reset();  // the device is closed: the file holds the whole mix

  const std::string mix = TempDir::ReadBytes(output);
  std::vector<int16_t> samples(mix.size() / 2);
  std::memcpy(samples.data(), mix.data(), samples.size() * 2);
  size_t first = samples.size(), last = 0;
  for (size_t frame = 0; frame * 2 + 1 < samples.size(); ++frame) {
    ASSERT_EQ(samples[frame * 2 + 1], 0) << "the right side must stay silent, frame " << frame;
    if (samples[frame * 2] == 0) continue;
    first = std::min(first, frame);
    last = frame;
  }
  ASSERT_LT(first, last);
  EXPECT_NEAR(double(last - first + 1), 5000.0 * 44100 / 11025, 1024.0);
  EXPECT_NEAR(samples[(first + last) / 2 * 2], 8192, 8192 * 0.02);
}
