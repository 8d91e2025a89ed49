// The socket layer: every TCP and UDP socket of the program lives in one table of 1024 rows, and
// the row number is the program's socket handle. It frames nothing; the message protocol, HTTP
// and the socket commands sit on top of it.
//
// Threads: a table lock guards handing out and freeing rows. Each row has a send lock, held
// across a whole send (so a frame goes out in one piece), and a row lock held across every other
// use of its descriptor (receive, accept, set-blocking); a sender waiting for room therefore never
// keeps a reader out. Close takes both, and a row becomes free only after its descriptor is
// closed, so a send racing a close can never reach whatever file the system hands the old
// descriptor number to next. A close asked for while another thread waits on the row cuts that
// wait short (-1, error 10004).
//
// Every row number is checked: a number outside 0..1023 or a free row gives the failure value
// and error 10038. Descriptors are always non-blocking at the system level; a row switched to
// blocking waits in short slices, so no thread ever sleeps in the kernel holding a row lock.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "net/sock_address.h"
#include "net/socket_errors.h"

inline constexpr int32_t kSocketRows = 1024;
// Connect time-outs outside 1..kMaxConnectTimeoutMs are replaced by this.
inline constexpr int32_t kMaxConnectTimeoutMs = 30000;

// Takes a start-up reference; the first one also raises the open-file limit so all rows fit.
bool SockStartup();
// Drops a reference; the last one (and any call while none is held) closes every open row,
// whoever opened it. The count never goes below 0. The quit sequence calls this.
void SockShutdown();
// The number of start-up references held.
int32_t SockStartupCount();

// First free row at the moment of the call, or -1 with error 8. Opening claims its own row.
int32_t SockFindFreeSlot();

// Opening fails with -1 and 10093 while no start-up reference is held.
int32_t SockTcpListen(uint16_t port);
// The peer's address goes to *peer when it is given. A UDP row gives -1 with error 0.
int32_t SockTcpAccept(int32_t row, SockAddress* peer);
// receiveBufferBytes above 0 fixes the system's receive buffer at about that many bytes instead
// of letting it grow with the traffic, so the peer can send only that much ahead of what is read.
int32_t SockTcpConnect(SockAddress target, int32_t timeoutMs, int32_t receiveBufferBytes = 0);
int32_t SockUdpOpen(uint16_t port);
// 0 on success, -1 on failure.
int32_t SockClose(int32_t row);

// Sends every byte, waiting while the socket is full; bytes sent, or -1. UDP rows need a target.
int32_t SockSend(int32_t row, const void* bytes, int32_t length, const SockAddress* target);
// For the protocol thread on TCP rows: sends until every byte is taken, no byte has been taken
// for noProgressMs, or *stop is set (checked between waits of at most 50 ms). Returns the bytes
// taken, or -1 on an error. noProgressMs 0 makes one attempt without waiting.
int32_t SockSendFor(int32_t row, const void* bytes, int32_t length, int32_t noProgressMs,
                    const std::atomic<bool>* stop);
// Bytes received; 0 when the peer closed or reset; -2 when nothing waits; -1 on other errors.
int32_t SockRecv(int32_t row, void* buffer, int32_t length, bool waitAll);
// 1 when a receive would not wait, -2 when it would, -1 on an error.
int32_t SockIsReadable(int32_t row);
// As SockIsReadable, waiting up to timeoutMs for something to arrive.
int32_t SockWaitReadable(int32_t row, int32_t timeoutMs);
// What a wait on several rows at once looks for on one of them.
struct SockRowWait {
  int32_t row;
  bool readable;
  bool writable;
};
// Waits until one of the rows is readable or writable as asked, wakeFd (-1: none) is readable,
// or timeoutMs passes. Rows that hold no socket are passed over.
void SockWaitRows(const std::vector<SockRowWait>& waits, int wakeFd, int32_t timeoutMs);
// Returns the last error after the change (0 = success).
int32_t SockSetBlocking(int32_t row, bool blocking);

// The row's stored address: the bound port, the peer, or the last datagram's sender; the zero
// pair for a free or invalid row (the last error is left alone).
SockAddress SockGetRemoteAddress(int32_t row);

// Sends small writes on a TCP row at once instead of gathering them (TCP_NODELAY); the last
// error after the change.
int32_t SockSetNoDelay(int32_t row, bool on);
// Fixes the system's send buffer of a row at about that many bytes, instead of letting it grow
// with the traffic; the last error after the change.
int32_t SockSetSendBufferBytes(int32_t row, int32_t bytes);

// An empty name means this machine. The zero pair on failure.
SockAddress SockResolveHost(const char* name, uint16_t port);
// The machine's addresses, each followed by the separator, 127.0.0.1 last; count receives their
// number. "" with count 0 when the list cannot be had.
std::string SockGetLocalIpList(int32_t& count, const char* separator);

// Connect time-out after replacing values outside 1..30000.
int32_t ClampConnectTimeout(int32_t timeoutMs);
