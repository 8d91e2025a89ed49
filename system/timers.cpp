// Timer readings over the platform clock.
#include "system/timers.h"

#include "platform/clock.h"

uint32_t PerformanceCounterPresent = 0;
double TimerFrequency = 0.0;
double TimerStart = 0.0;

namespace {

const double* startupTimeStamp = nullptr;

// The platform already answers in double milliseconds, so the counter path needs no
// ticks-times-1000 product that could leave the 64-bit range on a machine up for months.
double CounterReading() {
  double ms = platform::MonotonicMs();
  if (TimerStart == 0.0) TimerStart = ms;
  return ms - TimerStart;
}

// Two separate tick readings: the first reading of the process may already be a few ms.
double TickReading() {
  if (TimerStart == 0.0) TimerStart = double(platform::TickCountMs());
  return double(platform::TickCountMs()) - TimerStart;
}

}  // namespace

void TimerInit() {
  PerformanceCounterPresent = 0;
  int64_t frequency = platform::CounterFrequency();
  if (frequency <= 0) return;
  TimerFrequency = double(frequency);
  PerformanceCounterPresent = 1;
}

double GetTimerAll() { return PerformanceCounterPresent ? CounterReading() : TickReading(); }

double GetElapsedTime() {
  return GetTimerAll() - (startupTimeStamp ? *startupTimeStamp : 0.0);
}

void SetStartupTimeStampSource(const double* stamp) { startupTimeStamp = stamp; }
