// Timer readings driven by the fake clock, on the counter path and on the tick path.
#include "system/timers.h"

#include <gtest/gtest.h>

#include "tests/support/fake_clock.h"

namespace {

// Each test starts as a fresh process would: no reading taken, no counter chosen.
class Timers : public testing::Test {
 protected:
  Timers() { Reset(); }
  ~Timers() override { Reset(); }
  static void Reset() {
    PerformanceCounterPresent = 0;
    TimerFrequency = 0.0;
    TimerStart = 0.0;
    SetStartupTimeStampSource(nullptr);
  }
};

}  // namespace

TEST_F(Timers, CounterReadingsStartAtZeroAndKeepFractions) {
  FakeClockScope clock(5000.0, 0.25);
  TimerInit();
  EXPECT_EQ(PerformanceCounterPresent, 1u);
  EXPECT_EQ(TimerFrequency, 1e9);
  EXPECT_EQ(GetTimerAll(), 0.0);
  EXPECT_EQ(GetTimerAll(), 0.25);
  clock.Advance(1000.125);
  EXPECT_EQ(GetTimerAll(), 1000.625);
  EXPECT_EQ(TimerStart, 5000.0);
}

TEST_F(Timers, WithoutACounterReadingsAreWholeTicks) {
  struct Case {
    const char* why;
    bool initialised;
    int64_t frequency;
  };
  const Case cases[] = {{"before TimerInit", false, 1000000000},
                        {"frequency 0", true, 0},
                        {"negative frequency", true, -5}};
  for (const Case& c : cases) {
    Reset();
    FakeClockScope clock(7000.75, 0.5);  // two tick readings: 7000, then 7001 (7001.25)
    clock.SetCounterFrequency(c.frequency);
    if (c.initialised) TimerInit();
    EXPECT_EQ(PerformanceCounterPresent, 0u) << c.why;
    EXPECT_EQ(TimerFrequency, 0.0) << c.why;
    EXPECT_EQ(GetTimerAll(), 1.0) << c.why;
    clock.Advance(10.6);  // 7001.75 + 10.6
    EXPECT_EQ(GetTimerAll(), 12.0) << c.why;
  }
}

TEST_F(Timers, ElapsedTimeCountsFromTheStartupStamp) {
  FakeClockScope clock(100.0);
  TimerInit();
  EXPECT_EQ(GetElapsedTime(), 0.0);
  clock.Advance(40.5);
  EXPECT_EQ(GetElapsedTime(), GetTimerAll());

  double startupStamp = 30.0;
  SetStartupTimeStampSource(&startupStamp);
  EXPECT_EQ(GetElapsedTime(), 10.5);
  startupStamp = 40.5;
  EXPECT_EQ(GetElapsedTime(), 0.0);
}
