// The sound device's pure pieces: DirectSound units onto mixer gains, and format conversion.
#include "platform/audio.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>

#include "frame/sound_device.h"
#include "platform/clock.h"

TEST(VoiceGains, MapHundredthsOfDecibelAndPanOntoTheMixer) {
  struct Case {
    int32_t attenuation, pan;
    int volume, left, right;
  };
  // -6.02 dB halves the amplitude; a pan of 2000 puts the left side at -20 dB.
  const Case cases[] = {
      {0, 0, 128, 255, 255},     {-602, 0, 64, 255, 255}, {0, 10000, 128, 0, 255},
      {0, 2000, 128, 26, 255},   {-602, -10000, 64, 255, 0}, {-10000, 0, 0, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.attenuation << " " << c.pan);
    const platform::MixerGains gains = platform::VoiceGains(c.attenuation, c.pan);
    EXPECT_EQ((std::array<int, 3>{gains.volume, gains.left, gains.right}),
              (std::array<int, 3>{c.volume, c.left, c.right}));
  }
}

TEST(ConvertToDeviceFormat, GivesSigned16BitStereoAt22050) {
  std::vector<uint8_t> out;
  const std::vector<uint8_t> stereo16 = {1, 2, 3, 4, 5, 6, 7, 8};
  ASSERT_TRUE(platform::ConvertToDeviceFormat(stereo16.data(), stereo16.size(), {}, out));
  EXPECT_EQ(out, stereo16);

  // Unsigned 8-bit 192 is +64 of 128: 16384 in 16 bits on both sides; half the rate, twice the
  // frames.
  const std::vector<uint8_t> mono8(1000, 192);
  ASSERT_TRUE(platform::ConvertToDeviceFormat(mono8.data(), mono8.size(), {8, 1, 11025}, out));
  ASSERT_EQ(out.size() % platform::DeviceFrameBytes(), 0u);
  EXPECT_NEAR(double(out.size() / platform::DeviceFrameBytes()), 2000.0, 4.0);
  int16_t middle[2];
  std::memcpy(middle, out.data() + out.size() / 2 / 4 * 4, sizeof middle);
  EXPECT_NEAR(middle[0], 16384, 64);
  EXPECT_EQ(middle[0], middle[1]);
}

TEST(StreamVoice, TakesWholeFramesUpToItsLimitAndPlaysThemOut) {
  EXPECT_EQ(platform::StreamVoice::Open(), nullptr);  // no device yet
  ASSERT_TRUE(platform::AudioOpen());
  {
    auto voice = platform::StreamVoice::Open();
    ASSERT_NE(voice, nullptr);
    const size_t most = platform::StreamVoice::MostQueuedBytes();
    const size_t frame = size_t(platform::DeviceFrameBytes());
    const std::vector<uint8_t> bytes(most + 6, 0x11);  // 6: one frame and a half
    // The device may take whole frames at any moment, so only whole frames, at most what was
    // queued, can be counted: half a frame is never queued.
    voice->Queue(bytes.data(), 6);
    EXPECT_EQ(voice->QueuedBytes() % frame, 0u);
    EXPECT_LE(voice->QueuedBytes(), frame);
    // Eight seconds of sound: far more than the device takes meanwhile.
    voice->Queue(bytes.data(), bytes.size());
    EXPECT_EQ(voice->QueuedBytes() % frame, 0u);
    EXPECT_LE(voice->QueuedBytes(), most);
    EXPECT_GT(voice->QueuedBytes(), most / 2);
    // The dummy device takes samples in real time.
    const double deadline = platform::MonotonicMs() + 5000.0;
    while (voice->QueuedBytes() == most && platform::MonotonicMs() < deadline) {
      platform::SleepMs(10);
    }
    EXPECT_LT(voice->QueuedBytes(), most);
  }
  platform::AudioClose();
}
