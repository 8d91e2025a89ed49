// The sound objects as the start-up makes them, over the real device, for one test.
#pragma once

#include <gtest/gtest.h>

#include "frame/sound_device.h"
#include "tests/sound/wave_image.h"

struct SoundFixture : testing::Test {
  void SetUp() override {
    SoundStartup(nullptr, nullptr);
    ASSERT_TRUE(SoundHolder->open) << "the sound device did not open";
  }
  void TearDown() override {
    SoundSlotsShutdown();
    SoundDeviceShutdown();
  }

  // Long enough to be playing still when the test looks (two seconds).
  static std::string LongSound() {
    wave_image::Format mono8;
    mono8.channels = 1;
    mono8.bits = 8;
    return wave_image::ConstantWave(mono8, 44100, 160);
  }
};
