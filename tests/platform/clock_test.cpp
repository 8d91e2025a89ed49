// The fake clock's stepping and wrapping, and the real sleep's resumption after a signal.
#include "platform/clock.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/time.h>

#include "tests/support/fake_clock.h"

TEST(FakeClock, StepsOnEveryReadingAndOnSleep) {
  FakeClockScope clock(1000.0, 0.25);
  EXPECT_EQ(platform::MonotonicMs(), 1000.0);
  EXPECT_EQ(platform::MonotonicMs(), 1000.25);
  platform::SleepMs(17);
  EXPECT_EQ(platform::MonotonicMs(), 1017.5);
  clock.Advance(0.2);  // 1017.75 after the last reading
  EXPECT_EQ(platform::TickCountMs(), 1017u);
}

TEST(FakeClock, TickCountWrapsAtThirtyTwoBits) {
  struct Case {
    double ms;
    uint32_t ticks;
  };
  const Case cases[] = {{4294967295.9, 4294967295u}, {4294967296.0, 0u}, {4294967301.5, 5u},
                        {-1.0, 4294967295u}, {1e300, 0u}};
  for (const Case& c : cases) {
    FakeClockScope clock(c.ms);
    EXPECT_EQ(platform::TickCountMs(), c.ticks) << c.ms;
  }
}

namespace {
void IgnoreAlarm(int) {}
}  // namespace

// A signal that interrupts the sleep must not cut it short.
TEST(RealClock, SleepResumesAfterASignal) {
  struct sigaction action {};
  action.sa_handler = IgnoreAlarm;  // no SA_RESTART: nanosleep returns EINTR
  struct sigaction previous {};
  ASSERT_EQ(sigaction(SIGALRM, &action, &previous), 0);
  itimerval timer{};
  timer.it_value.tv_usec = 5000;
  ASSERT_EQ(setitimer(ITIMER_REAL, &timer, nullptr), 0);

  double before = platform::MonotonicMs();
  platform::SleepMs(30);
  double slept = platform::MonotonicMs() - before;

  sigaction(SIGALRM, &previous, nullptr);
  EXPECT_GE(slept, 30.0);
}
