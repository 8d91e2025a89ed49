// The runtime's one clock: milliseconds as a double, counted from the first reading of the
// process. Every time of the runtime (frames, waits, the music loop, fades, the random seed)
// is a reading of GetTimerAll or GetElapsedTime. Main thread only.
#pragma once

#include <cstdint>

// 1 once TimerInit found a usable high-resolution counter; until then readings use the coarse
// whole-millisecond tick count.
extern uint32_t PerformanceCounterPresent;
// Counter ticks per second, set with the flag.
extern double TimerFrequency;
// The first reading ever taken, in milliseconds; 0.0 while none was taken. Never reset.
extern double TimerStart;

// Chooses the counter when the platform has a usable one. Called once at start-up.
void TimerInit();

// Milliseconds since the first reading of the process (that reading itself is 0.0).
double GetTimerAll();

// GetTimerAll minus the start-up time stamp.
double GetElapsedTime();

// The frame cycle owns the start-up time stamp (the third of its frame times) and hands its
// address over here; until it does, and after a null, the stamp counts as 0.0.
void SetStartupTimeStampSource(const double* stamp);
