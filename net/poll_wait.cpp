// Descriptor waits with a monotonic deadline that survives signals.
#include "net/poll_wait.h"

#include <poll.h>
#include <time.h>

#include <cerrno>
#include <cmath>

namespace {

double RealMonotonicMs() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return double(now.tv_sec) * 1000.0 + double(now.tv_nsec) / 1e6;
}

}  // namespace

int PollWait(int fd, short events, int timeoutMs) {
  const double deadline = RealMonotonicMs() + timeoutMs;
  int waitMs = timeoutMs;
  for (;;) {
    pollfd entry{fd, events, 0};
    const int ready = poll(&entry, 1, waitMs);
    if (ready > 0) return entry.revents;
    if (ready == 0) return 0;
    if (errno != EINTR) return -1;
    if (timeoutMs < 0) continue;
    waitMs = int(std::ceil(deadline - RealMonotonicMs()));
    if (waitMs < 0) waitMs = 0;
  }
}
