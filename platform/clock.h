// The clock and sleeping: stands in for the Windows performance counter, the tick count and
// Sleep. Both readings come from CLOCK_MONOTONIC and are formed in double milliseconds, so they
// never overflow the way a counter multiplied in 64-bit integers does after months of uptime.
// Linux always has this counter, so a machine without one exists only under the fake clock.
// Test seam: a fake clock, off unless a test or the demo turns it on. It starts at a chosen
// value, moves by a fixed step on every reading (so loops that spin on the clock still end) and
// by the full amount of every sleep, which then returns at once.
#pragma once

#include <cstdint>

namespace platform {

// Milliseconds since an arbitrary fixed origin, fractions kept.
double MonotonicMs();

// The same clock in whole milliseconds, wrapping at 2^32 as a 32-bit tick count does.
uint32_t TickCountMs();

// Ticks per second of the counter behind MonotonicMs; 0 when there is no usable counter.
int64_t CounterFrequency();

// Sleeps at least ms milliseconds, resumed after signals; 0 only yields the processor.
void SleepMs(uint32_t ms);

// Gives the rest of the time slice to another thread.
void YieldThread();

// Test seam. The fake clock's first value should not be 0.0: the timers take a first reading
// of 0.0 as "no reading yet".
void UseFakeClock(double startMs, double stepPerReadingMs);
void UseRealClock();
void AdvanceFakeClock(double ms);
// Under the fake clock only: the frequency CounterFrequency answers (0 or negative plays a
// machine without a usable counter). The fake clock starts with the real frequency.
void SetFakeCounterFrequency(int64_t ticksPerSecond);

}  // namespace platform
