// The sound objects as the start-up makes them, over the real device, for one test.
#pragma once

#include <gtest/gtest.h>

#include "frame/sound_device.h"
#include "tests/sound/wave_image.h"

// Start-up's sound step now, the shutdown's when the scope ends, whatever a test asserted.
struct SoundObjects {
  SoundObjects() { SoundStartup(nullptr, nullptr); }
  ~SoundObjects() {
    SoundSlotsShutdown();
    SoundDeviceShutdown();
  }
  SoundObjects(const SoundObjects&) = delete;
  SoundObjects& operator=(const SoundObjects&) = delete;
};

struct SoundFixture : testing::Test {
  void SetUp() override { ASSERT_TRUE(SoundHolder->open) << "the sound device did not open"; }
  SoundObjects objects;

  // Long enough to be playing still when the test looks (two seconds).
  static std::string LongSound() {
    return wave_image::ConstantWave({.channels = 1, .bits = 8}, 44100, 160);
  }
};
