// One EINTR-safe wait on a descriptor, shared by connect, sends, receives and HTTP. It keeps its
// own deadline on the real monotonic clock: the kernel's poll time-out runs in real time, so the
// platform clock's fake mode (which tests of other subsystems turn on) must not shorten it.
#pragma once

#include <poll.h>

#include <cstddef>

// Waits until one of the events is signalled or timeoutMs passes (a negative time-out waits
// without limit). Returns the signalled events, 0 on time-out, or -1 with errno set.
int PollWait(int fd, short events, int timeoutMs);
// The same on several descriptors at once; their revents tell which were signalled. The number
// signalled, 0 on time-out, or -1 with errno set.
int PollWaitAll(pollfd* entries, size_t count, int timeoutMs);
