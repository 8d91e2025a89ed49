// The socket table over BSD sockets: rows, their locks, start-up references and the operations
// that open, use and close sockets. Name lookups live in host_lookup.cpp.
#include "net/socket_layer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <mutex>
#include <type_traits>

#include "net/poll_wait.h"
#include "platform/net_seams.h"

namespace {

// Leaves room above the table for the program's files, GL and audio descriptors.
constexpr rlim_t kWantedOpenFiles = kSocketRows + 64;
// Longest single wait of a loop that must notice a close request or a stop flag.
constexpr int kWaitSliceMs = 50;

// A sender waiting for room must never keep a reader out: the reader may be the very thread that
// drains the other end. So sends take their own lock; every other use of the descriptor takes
// the row lock, and opening or closing takes both.
struct SocketSlot {
  std::mutex sendLock;  // held across a send
  std::mutex lock;      // held across every other use of fd
  int fd = -1;          // -1 while the row holds no socket; changed only under both locks
  sockaddr_in address{};
  bool udp = false;
  bool blocking = false;
  std::atomic<bool> closeRequested{false};
  bool inUse = false;  // guarded by tableLock: claimed by an opener or holding a socket
};

// The table outlives every thread: no exit-time destructor may run while the network thread
// still uses a row.
static_assert(std::is_trivially_destructible_v<SocketSlot>);

// Start-up and release run one at a time, so a start-up never meets a release half-way through
// closing the table. Lock order: lifecycle, then a row's send lock, its row lock, then the table.
std::mutex lifecycleLock;
std::mutex tableLock;
int32_t startCount = 0;  // guarded by tableLock
SocketSlot table[kSocketRows];

using RowLock = std::unique_lock<std::mutex>;

// The row's receive-side lock, or with forSend its send lock.
std::mutex& RowMutex(SocketSlot& slot, bool forSend) {
  return forSend ? slot.sendLock : slot.lock;
}

// The locked row when it holds a socket; otherwise no lock and a null slot.
SocketSlot* LockOpenRow(int32_t row, RowLock& lock, bool forSend = false) {
  if (row < 0 || row >= kSocketRows) return nullptr;
  SocketSlot& slot = table[row];
  lock = RowLock(RowMutex(slot, forSend));
  if (slot.fd >= 0) return &slot;
  lock = RowLock();
  return nullptr;
}

SocketSlot* LockOpenRowOrFail(int32_t row, RowLock& lock, bool forSend = false) {
  SocketSlot* slot = LockOpenRow(row, lock, forSend);
  if (!slot) SockSetLastError(kSockErrNotSocket);
  return slot;
}

int32_t ClaimRow() {
  std::lock_guard guard(tableLock);
  if (startCount == 0) {
    SockSetLastError(kSockErrNotStarted);
    return -1;
  }
  for (int32_t row = 0; row < kSocketRows; ++row) {
    if (!table[row].inUse) {
      table[row].inUse = true;
      return row;
    }
  }
  SockSetLastError(kSockErrTableFull);
  return -1;
}

void ReleaseRow(int32_t row) {
  std::lock_guard guard(tableLock);
  table[row].inUse = false;
}

// Puts the socket into its claimed row. A last release that came meanwhile has closed the table:
// the socket is then closed instead (false, error 10093), so no row outlives the release.
bool FillRow(int32_t row, int fd, const sockaddr_in& address, bool udp) {
  SocketSlot& slot = table[row];
  {
    std::scoped_lock rowGuard(slot.sendLock, slot.lock);
    std::lock_guard tableGuard(tableLock);
    if (startCount > 0) {
      slot.fd = fd;
      slot.address = address;
      slot.udp = udp;
      slot.blocking = false;
      slot.closeRequested = false;
      return true;
    }
  }
  close(fd);
  ReleaseRow(row);
  SockSetLastError(kSockErrNotStarted);
  return false;
}

sockaddr_in MakeSockaddr(uint32_t addressNetOrder, uint16_t portNetOrder) {
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = portNetOrder;
  a.sin_addr.s_addr = addressNetOrder;
  return a;
}

uint32_t BindAddress() {
  return platform::TestBindAddressOn() ? htonl(INADDR_LOOPBACK) : htonl(INADDR_ANY);
}

// The test seam that keeps every packet on 127.0.0.1.
bool GuardRefuses(uint32_t addressNetOrder) {
  if (!platform::LoopbackGuardOn() || addressNetOrder == htonl(INADDR_LOOPBACK)) return false;
  SockSetLastError(kSockErrNetUnreachable);
  return true;
}

void SetIntOption(int fd, int level, int name, int value) {
  setsockopt(fd, level, name, &value, sizeof value);
}

// Closes without lingering: shut down both ways, then close. Returns close's result.
int CloseSocketDescriptor(int fd) {
  linger off{0, 0};
  setsockopt(fd, SOL_SOCKET, SO_LINGER, &off, sizeof off);
  shutdown(fd, SHUT_RDWR);  // fails harmlessly on listeners and unconnected datagram sockets
  return close(fd);
}

void CloseFailedSocket(int fd, int32_t row) {
  const int err = errno;
  CloseSocketDescriptor(fd);
  ReleaseRow(row);
  SockSetLastErrorFromErrno(err);
}

void RaiseOpenFileLimit() {
  rlimit limit{};
  if (getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur >= kWantedOpenFiles) return;
  limit.rlim_cur = limit.rlim_max == RLIM_INFINITY || limit.rlim_max >= kWantedOpenFiles
                       ? kWantedOpenFiles
                       : limit.rlim_max;
  setrlimit(RLIMIT_NOFILE, &limit);
}

// One wait of a loop on a locked row. False (error 10004) when a close was asked for meanwhile.
bool WaitOnRow(SocketSlot& slot, short events, int timeoutMs) {
  if (slot.closeRequested) {
    SockSetLastError(kSockErrInterrupted);
    return false;
  }
  if (PollWait(slot.fd, events, timeoutMs) < 0) {
    SockSetLastErrorFromErrno(errno);
    return false;
  }
  if (!slot.closeRequested) return true;
  SockSetLastError(kSockErrInterrupted);
  return false;
}

// Waits for the connect in progress; 0 on success, else the errno-style reason (ETIMEDOUT for
// the time-out). A refused connect polls as writable, so only SO_ERROR tells it from success.
int AwaitConnect(int fd, int timeoutMs) {
  const int ready = PollWait(fd, POLLOUT, timeoutMs);
  if (ready < 0) return errno;
  if (ready == 0) return ETIMEDOUT;
  int err = 0;
  socklen_t size = sizeof err;
  if (getsockopt(fd, SOL_SOCKET, SO_ERROR, &err, &size) != 0) return errno;
  return err;
}

struct SendLimits {
  int noProgressMs;  // negative: wait without limit
  const std::atomic<bool>* stop;
};

// Sends on a locked row until done, an error, or the limits end it. Bytes taken, or -1.
int32_t SendOnRow(SocketSlot& slot, const char* bytes, int32_t length, const sockaddr_in* to,
                  SendLimits limits) {
  int32_t sent = 0;
  int idleMs = 0;
  while (sent < length) {
    const ssize_t n = to ? sendto(slot.fd, bytes + sent, size_t(length - sent), MSG_NOSIGNAL,
                                  reinterpret_cast<const sockaddr*>(to), sizeof *to)
                         : send(slot.fd, bytes + sent, size_t(length - sent), MSG_NOSIGNAL);
    if (n >= 0) {
      sent += int32_t(n);
      idleMs = 0;
      SockSetLastError(0);
      continue;
    }
    if (errno == EINTR) continue;
    if (errno != EAGAIN) {
      SockSetLastErrorFromErrno(errno);
      return -1;
    }
    SockSetLastError(kSockErrWouldBlock);
    if (limits.stop && *limits.stop) return sent;
    if (limits.noProgressMs >= 0 && idleMs >= limits.noProgressMs) return sent;
    int slice = kWaitSliceMs;
    if (limits.noProgressMs >= 0 && limits.noProgressMs - idleMs < slice) {
      slice = limits.noProgressMs - idleMs;
    }
    if (!WaitOnRow(slot, POLLOUT, slice)) return -1;
    idleMs += slice;
  }
  return sent;
}

// One receive on a locked row: bytes, or -1 with errno. UDP rows record the sender, and a
// datagram longer than the buffer fails with EMSGSIZE (its first bytes are kept).
ssize_t ReceiveOnce(SocketSlot& slot, char* buffer, int32_t length) {
  if (!slot.udp) return recv(slot.fd, buffer, size_t(length), 0);
  sockaddr_in from{};
  socklen_t size = sizeof from;
  const ssize_t n = recvfrom(slot.fd, buffer, size_t(length), MSG_TRUNC,
                             reinterpret_cast<sockaddr*>(&from), &size);
  if (n < 0) return n;
  slot.address = from;
  if (n <= length) return n;
  errno = EMSGSIZE;
  return -1;
}

// ReceiveWaiting's answer when a close request or a failed wait ended it; the reason is set.
constexpr ssize_t kWaitEnded = -3;

// One receive; with wait set it waits until something arrives. Bytes, kWaitEnded, or -1 with
// errno.
ssize_t ReceiveWaiting(SocketSlot& slot, char* buffer, int32_t length, bool wait) {
  for (;;) {
    const ssize_t n = ReceiveOnce(slot, buffer, length);
    if (n >= 0) return n;
    if (errno == EINTR) continue;
    if (errno != EAGAIN || !wait) return n;
    if (!WaitOnRow(slot, POLLIN, kWaitSliceMs)) return kWaitEnded;
  }
}

// The receive result for a failed call: a reset reads as a close, like the peer hanging up.
int32_t ReceiveFailure(int err) {
  SockSetLastErrorFromErrno(err);
  if (err == ECONNRESET) return 0;
  if (err == EAGAIN) return -2;
  return -1;
}

int32_t ReceiveAll(SocketSlot& slot, char* buffer, int32_t length) {
  int32_t total = 0;
  while (total < length) {
    const bool wait = total > 0 || slot.blocking;
    const ssize_t n = ReceiveWaiting(slot, buffer + total, length - total, wait);
    if (n == kWaitEnded) return -1;
    if (n < 0) return ReceiveFailure(errno);
    if (n == 0) {
      SockSetLastError(0);
      return 0;
    }
    total += int32_t(n);
  }
  SockSetLastError(0);
  return total;
}

int32_t ReceiveSome(SocketSlot& slot, char* buffer, int32_t length) {
  const ssize_t n = ReceiveWaiting(slot, buffer, length, slot.blocking);
  if (n == kWaitEnded) return -1;
  if (n < 0) return ReceiveFailure(errno);
  SockSetLastError(0);
  return int32_t(n);
}

// Accepts one waiting client on a locked listening row, waiting when the row is blocking.
int AcceptOnRow(SocketSlot& slot, sockaddr_in& peer) {
  for (;;) {
    socklen_t size = sizeof peer;
    const int fd =
        accept4(slot.fd, reinterpret_cast<sockaddr*>(&peer), &size, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (fd >= 0) return fd;
    if (errno == EINTR) continue;
    if (errno != EAGAIN || !slot.blocking) {
      SockSetLastErrorFromErrno(errno);
      return -1;
    }
    if (!WaitOnRow(slot, POLLIN, kWaitSliceMs)) return -1;
  }
}

int32_t ReadableOnRow(SocketSlot& slot, int timeoutMs) {
  const int ready = PollWait(slot.fd, POLLIN, timeoutMs);
  if (ready < 0) {
    SockSetLastErrorFromErrno(errno);
    return -1;
  }
  // A closed or reset connection counts as readable: the receive will report it.
  return (ready & (POLLIN | POLLHUP | POLLERR)) ? 1 : -2;
}

void CloseEveryRow() {
  for (int32_t row = 0; row < kSocketRows; ++row) {
    bool inUse;
    {
      std::lock_guard guard(tableLock);
      inUse = table[row].inUse;
    }
    if (inUse) SockClose(row);
  }
}

}  // namespace

bool SockStartup() {
  std::lock_guard lifecycle(lifecycleLock);
  std::lock_guard guard(tableLock);
  if (startCount == 0) RaiseOpenFileLimit();
  ++startCount;
  SockSetLastError(0);
  return true;
}

void SockShutdown() {
  std::lock_guard lifecycle(lifecycleLock);
  {
    std::lock_guard guard(tableLock);
    if (startCount > 1) {
      --startCount;
      return;
    }
    startCount = 0;
  }
  CloseEveryRow();
  SockSetLastError(0);
}

int32_t SockStartupCount() {
  std::lock_guard guard(tableLock);
  return startCount;
}

int32_t SockFindFreeSlot() {
  std::lock_guard guard(tableLock);
  for (int32_t row = 0; row < kSocketRows; ++row) {
    if (!table[row].inUse) return row;
  }
  SockSetLastError(kSockErrTableFull);
  return -1;
}

namespace {

// Claims a row and makes a non-blocking socket for it; on failure the row is given back and the
// result is -1.
int ClaimRowWithSocket(int32_t& row, int type, int protocol) {
  row = ClaimRow();
  if (row < 0) return -1;
  const int fd = socket(AF_INET, type | SOCK_NONBLOCK | SOCK_CLOEXEC, protocol);
  if (fd < 0) {
    SockSetLastErrorFromErrno(errno);
    ReleaseRow(row);
  }
  return fd;
}

}  // namespace

int32_t SockTcpListen(uint16_t port) {
  int32_t row;
  const int fd = ClaimRowWithSocket(row, SOCK_STREAM, IPPROTO_TCP);
  if (fd < 0) return -1;
  SetIntOption(fd, SOL_SOCKET, SO_REUSEADDR, 1);
  const sockaddr_in bindTo = MakeSockaddr(BindAddress(), htons(port));
  if (bind(fd, reinterpret_cast<const sockaddr*>(&bindTo), sizeof bindTo) != 0 ||
      listen(fd, 10) != 0) {
    CloseFailedSocket(fd, row);
    return -1;
  }
  if (!FillRow(row, fd, MakeSockaddr(0, htons(port)), false)) return -1;
  SockSetLastError(0);
  return row;
}

int32_t SockTcpAccept(int32_t row, SockAddress* peer) {
  sockaddr_in from{};
  int fd;
  {
    RowLock lock;
    SocketSlot* listener = LockOpenRowOrFail(row, lock);
    if (!listener) return -1;
    if (listener->udp) {
      SockSetLastError(0);
      return -1;
    }
    fd = AcceptOnRow(*listener, from);
    if (fd < 0) return -1;
  }
  const int32_t accepted = ClaimRow();
  if (accepted < 0) {
    close(fd);
    return -1;
  }
  if (!FillRow(accepted, fd, from, false)) return -1;
  if (peer) *peer = SockAddress{from.sin_addr.s_addr, from.sin_port};
  SockSetLastError(0);
  return accepted;
}

int32_t ClampConnectTimeout(int32_t timeoutMs) {
  return timeoutMs < 1 || timeoutMs > kMaxConnectTimeoutMs ? kMaxConnectTimeoutMs : timeoutMs;
}

int32_t SockTcpConnect(SockAddress target, int32_t timeoutMs, int32_t receiveBufferBytes) {
  if (SockAddressIsNone(target) || GuardRefuses(target.address)) return -1;
  int32_t row;
  const int fd = ClaimRowWithSocket(row, SOCK_STREAM, IPPROTO_TCP);
  if (fd < 0) return -1;
  // Before the first packet: a peer sizes its segments by the window it first sees, and one
  // that no longer fits a smaller window waits for its probe timer.
  if (receiveBufferBytes > 0) SetIntOption(fd, SOL_SOCKET, SO_RCVBUF, receiveBufferBytes);
  const sockaddr_in peer = MakeSockaddr(target.address, target.port);
  int err = 0;
  if (connect(fd, reinterpret_cast<const sockaddr*>(&peer), sizeof peer) != 0) {
    err = errno == EINPROGRESS || errno == EINTR ? AwaitConnect(fd, ClampConnectTimeout(timeoutMs))
                                                 : errno;
  }
  if (err != 0) {
    errno = err;
    CloseFailedSocket(fd, row);
    if (err == ETIMEDOUT) SockSetLastError(kSockErrTimedOutConnect);
    return -1;
  }
  if (!FillRow(row, fd, peer, false)) return -1;
  SockSetLastError(0);
  return row;
}

int32_t SockUdpOpen(uint16_t port) {
  int32_t row;
  const int fd = ClaimRowWithSocket(row, SOCK_DGRAM, IPPROTO_UDP);
  if (fd < 0) return -1;
  SetIntOption(fd, SOL_SOCKET, SO_REUSEADDR, 1);
  // Port 0 stays unbound: the first send picks a port.
  if (port != 0) {
    const sockaddr_in bindTo = MakeSockaddr(BindAddress(), htons(port));
    if (bind(fd, reinterpret_cast<const sockaddr*>(&bindTo), sizeof bindTo) != 0) {
      CloseFailedSocket(fd, row);
      return -1;
    }
  }
  SetIntOption(fd, SOL_SOCKET, SO_BROADCAST, 1);
  if (!FillRow(row, fd, MakeSockaddr(0, htons(port)), true)) return -1;
  SockSetLastError(0);
  return row;
}

int32_t SockClose(int32_t row) {
  if (row < 0 || row >= kSocketRows) {
    SockSetLastError(kSockErrNotSocket);
    return -1;
  }
  table[row].closeRequested = true;
  RowLock sendLock;
  LockOpenRow(row, sendLock, true);
  RowLock lock;
  SocketSlot* slot = LockOpenRowOrFail(row, lock);
  if (!slot) return -1;
  const int result = CloseSocketDescriptor(slot->fd);
  if (result == 0) {
    SockSetLastError(0);
  } else {
    SockSetLastErrorFromErrno(errno);
  }
  slot->fd = -1;
  slot->address = sockaddr_in{};
  slot->closeRequested = false;
  lock.unlock();
  sendLock = RowLock();
  ReleaseRow(row);
  return result;
}

int32_t SockSend(int32_t row, const void* bytes, int32_t length, const SockAddress* target) {
  RowLock lock;
  SocketSlot* slot = LockOpenRowOrFail(row, lock, true);
  if (!slot) return -1;
  sockaddr_in to{};
  if (slot->udp) {
    if (!target || SockAddressIsNone(*target)) return -1;
    if (GuardRefuses(target->address)) return -1;
    to = MakeSockaddr(target->address, target->port);
  }
  if (length <= 0) return 0;
  return SendOnRow(*slot, static_cast<const char*>(bytes), length, slot->udp ? &to : nullptr,
                   SendLimits{-1, nullptr});
}

int32_t SockSendFor(int32_t row, const void* bytes, int32_t length, int32_t noProgressMs,
                    const std::atomic<bool>* stop) {
  RowLock lock;
  SocketSlot* slot = LockOpenRowOrFail(row, lock, true);
  if (!slot) return -1;
  if (slot->udp) {
    SockSetLastError(kSockErrNoDestination);
    return -1;
  }
  if (length <= 0) return 0;
  return SendOnRow(*slot, static_cast<const char*>(bytes), length, nullptr,
                   SendLimits{noProgressMs < 0 ? 0 : noProgressMs, stop});
}

int32_t SockRecv(int32_t row, void* buffer, int32_t length, bool waitAll) {
  RowLock lock;
  SocketSlot* slot = LockOpenRowOrFail(row, lock);
  if (!slot) return -1;
  if (length < 0) {
    SockSetLastError(kSockErrInvalid);
    return -1;
  }
  if (slot->udp) {
    slot->address.sin_addr.s_addr = 0;
    slot->address.sin_port = 0;
  }
  char* bytes = static_cast<char*>(buffer);
  return waitAll ? ReceiveAll(*slot, bytes, length) : ReceiveSome(*slot, bytes, length);
}

int32_t SockIsReadable(int32_t row) {
  return SockWaitReadable(row, 0);
}

int32_t SockWaitReadable(int32_t row, int32_t timeoutMs) {
  RowLock lock;
  SocketSlot* slot = LockOpenRowOrFail(row, lock);
  if (!slot) return -1;
  return ReadableOnRow(*slot, timeoutMs < 0 ? 0 : timeoutMs);
}

// The descriptors are looked up under their row locks and polled without them, so no operation on
// a row waits behind the poll; a row closed meanwhile can only end the wait early or late.
void SockWaitRows(const std::vector<SockRowWait>& waits, int wakeFd, int32_t timeoutMs) {
  std::vector<pollfd> entries;
  for (const SockRowWait& wait : waits) {
    RowLock lock;
    const SocketSlot* slot = LockOpenRow(wait.row, lock);
    const short events = short((wait.readable ? POLLIN : 0) | (wait.writable ? POLLOUT : 0));
    if (slot) entries.push_back(pollfd{slot->fd, events, 0});
  }
  if (wakeFd >= 0) entries.push_back(pollfd{wakeFd, POLLIN, 0});
  PollWaitAll(entries.data(), entries.size(), timeoutMs);
}

int32_t SockSetBlocking(int32_t row, bool blocking) {
  RowLock lock;
  SocketSlot* slot = LockOpenRowOrFail(row, lock);
  if (!slot) return SockGetLastError();
  slot->blocking = blocking;
  SockSetLastError(0);
  return 0;
}

SockAddress SockGetRemoteAddress(int32_t row) {
  RowLock lock;
  SocketSlot* slot = LockOpenRow(row, lock);
  if (!slot) return SockAddress{0, 0};
  return SockAddress{slot->address.sin_addr.s_addr, slot->address.sin_port};
}

namespace {

// Sets one int option of a row's socket; the last error after the change.
int32_t SetRowOption(int32_t row, int level, int name, int value) {
  RowLock lock;
  SocketSlot* slot = LockOpenRowOrFail(row, lock);
  if (!slot) return SockGetLastError();
  if (setsockopt(slot->fd, level, name, &value, sizeof value) != 0) {
    SockSetLastErrorFromErrno(errno);
    return SockGetLastError();
  }
  SockSetLastError(0);
  return 0;
}

}  // namespace

int32_t SockSetNoDelay(int32_t row, bool on) {
  return SetRowOption(row, IPPROTO_TCP, TCP_NODELAY, on ? 1 : 0);
}

int32_t SockSetSendBufferBytes(int32_t row, int32_t bytes) {
  return SetRowOption(row, SOL_SOCKET, SO_SNDBUF, bytes);
}
