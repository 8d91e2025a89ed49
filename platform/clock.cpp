// CLOCK_MONOTONIC readings, nanosleep and the fake clock.
#include "platform/clock.h"

#include <sched.h>
#include <time.h>

#include <atomic>
#include <cerrno>
#include <cmath>
#include <mutex>

namespace platform {
namespace {

constexpr int64_t kNanosecondsPerSecond = 1000000000;

struct FakeClock {
  std::mutex guard;
  double nowMs = 0.0;
  double stepMs = 0.0;
  int64_t frequency = kNanosecondsPerSecond;
};

std::atomic<bool> fakeClockOn{false};

// Never destroyed: threads may still read the clock while the process exits.
FakeClock& Fake() {
  static FakeClock* clock = new FakeClock;
  return *clock;
}

double FakeReading() {
  FakeClock& fake = Fake();
  std::lock_guard<std::mutex> lock(fake.guard);
  double reading = fake.nowMs;
  fake.nowMs += fake.stepMs;
  return reading;
}

double RealMonotonicMs() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return double(now.tv_sec) * 1000.0 + double(now.tv_nsec) / 1e6;
}

// Whole milliseconds modulo 2^32; a negative fake value wraps like the counter it plays.
uint32_t WrapToTicks(double ms) {
  double whole = std::floor(ms);
  double wrapped = std::fmod(whole, 4294967296.0);
  if (wrapped < 0) wrapped += 4294967296.0;
  return uint32_t(wrapped);
}

void RealSleep(uint32_t ms) {
  timespec left{time_t(ms / 1000), long(ms % 1000) * 1000000L};
  while (nanosleep(&left, &left) != 0 && errno == EINTR) {
  }
}

}  // namespace

double MonotonicMs() { return fakeClockOn ? FakeReading() : RealMonotonicMs(); }

uint32_t TickCountMs() { return WrapToTicks(MonotonicMs()); }

int64_t CounterFrequency() {
  if (!fakeClockOn) return kNanosecondsPerSecond;
  std::lock_guard<std::mutex> lock(Fake().guard);
  return Fake().frequency;
}

void SleepMs(uint32_t ms) {
  if (fakeClockOn) {
    AdvanceFakeClock(ms);
    return;
  }
  if (ms == 0) {
    YieldThread();
    return;
  }
  RealSleep(ms);
}

void YieldThread() { sched_yield(); }

void UseFakeClock(double startMs, double stepPerReadingMs) {
  {
    std::lock_guard<std::mutex> lock(Fake().guard);
    Fake().nowMs = startMs;
    Fake().stepMs = stepPerReadingMs;
    Fake().frequency = kNanosecondsPerSecond;
  }
  fakeClockOn = true;
}

void UseRealClock() { fakeClockOn = false; }

void AdvanceFakeClock(double ms) {
  std::lock_guard<std::mutex> lock(Fake().guard);
  Fake().nowMs += ms;
}

void SetFakeCounterFrequency(int64_t ticksPerSecond) {
  std::lock_guard<std::mutex> lock(Fake().guard);
  Fake().frequency = ticksPerSecond;
}

}  // namespace platform
