// Runs one test on the platform's fake clock and puts the real clock back afterwards.
#pragma once

#include <cstdint>

#include "platform/clock.h"

struct FakeClockScope {
  // Start away from 0.0: the timers read a first value of 0.0 as "no reading yet".
  explicit FakeClockScope(double startMs = 1000.0, double stepPerReadingMs = 0.0) {
    platform::UseFakeClock(startMs, stepPerReadingMs);
  }
  ~FakeClockScope() { platform::UseRealClock(); }
  FakeClockScope(const FakeClockScope&) = delete;
  FakeClockScope& operator=(const FakeClockScope&) = delete;

  void Advance(double ms) { platform::AdvanceFakeClock(ms); }
  void SetCounterFrequency(int64_t ticksPerSecond) {
    platform::SetFakeCounterFrequency(ticksPerSecond);
  }
};
