// Descriptor waits with a monotonic deadline that survives signals.
#include "net/poll_wait.h"

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
  pollfd entry{fd, events, 0};
  const int ready = PollWaitAll(&entry, 1, timeoutMs);
  return ready > 0 ? entry.revents : ready;
}

int PollWaitAll(pollfd* entries, size_t count, int timeoutMs) {
  const double deadline = RealMonotonicMs() + timeoutMs;
  int waitMs = timeoutMs;
  for (;;) {
    const int ready = poll(entries, nfds_t(count), waitMs);
    if (ready >= 0) return ready;
    if (errno != EINTR) return -1;
    if (timeoutMs < 0) continue;
    waitMs = int(std::ceil(deadline - RealMonotonicMs()));
    if (waitMs < 0) waitMs = 0;
  }
}
