// HTTP GET: prepares the file target, connects, sends the request, skips the response header
// and delivers the body as it arrives.
#include "net/http_get.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>

#include "net/http_body_end.h"
#include "net/http_header_scanner.h"
#include "net/socket_layer.h"
#include "platform/files.h"

namespace {

constexpr int32_t kChunkBytes = 1023;
// How long to wait for more bytes before asking again.
constexpr int32_t kIdleWaitMs = 5;
// Header bytes kept for reading its fields; a longer header is still skipped whole.
constexpr size_t kMaxHeaderKept = 64 * 1024;

std::atomic<int32_t> stallLimitMs{30000};

bool IsMemoryFileName(const char* name) {
  return std::strncmp(name, "mem://", 6) == 0;
}

// Where the body goes: the file, the buffer, or both.
class BodySink {
 public:
  BodySink(int fd, char* buffer, size_t size) : fd_(fd), buffer_(buffer), remaining_(size) {}

  // False when the file write failed.
  bool Deliver(const char* bytes, size_t count) {
    if (fd_ >= 0 && !platform::WriteFull(fd_, bytes, count)) return false;
    if (!buffer_ || remaining_ <= 1) return true;
    const size_t taken = count < remaining_ - 1 ? count : remaining_ - 1;
    std::memcpy(buffer_ + used_, bytes, taken);
    used_ += taken;
    remaining_ -= taken;
    buffer_[used_] = '\0';
    filled_ = remaining_ <= 1;
    return true;
  }

  bool Filled() const { return filled_; }

 private:
  int fd_;
  char* buffer_;
  size_t remaining_;
  size_t used_ = 0;
  bool filled_ = false;
};

enum class Fetch { Closed, Filled, Failed };

// A close before the announced end of the body is a failure; a reset keeps its own code.
Fetch Closed(const HttpBodyEnd& bodyEnd) {
  if (bodyEnd.Complete()) return Fetch::Closed;
  if (SockGetLastError() != kSockErrConnReset) SockSetLastError(kSockErrAborted);
  return Fetch::Failed;
}

// Reads the response until the server closes, the buffer fills, the server stays silent for
// the stall limit, or something fails.
Fetch ReceiveBody(int32_t row, BodySink& sink) {
  using Clock = std::chrono::steady_clock;
  HttpHeaderScanner header;
  std::string headerText;
  HttpBodyEnd bodyEnd;
  char chunk[kChunkBytes];
  Clock::time_point lastBytes = Clock::now();
  for (;;) {
    const int32_t n = SockRecv(row, chunk, kChunkBytes, false);
    if (n == 0) return Closed(bodyEnd);
    if (n == -1) return Fetch::Failed;
    if (n == -2) {
      if (SockWaitReadable(row, kIdleWaitMs) == -1) return Fetch::Failed;
      if (Clock::now() - lastBytes > std::chrono::milliseconds(stallLimitMs.load())) {
        SockSetLastError(kSockErrTimedOut);
        return Fetch::Failed;
      }
      continue;
    }
    lastBytes = Clock::now();
    size_t bodyStart = 0;
    if (!header.Done()) {
      bodyStart = header.Consume(chunk, size_t(n));
      headerText.append(
          chunk, std::min(bodyStart, kMaxHeaderKept - std::min(kMaxHeaderKept, headerText.size())));
      if (header.Done()) bodyEnd.ReadHeader(headerText);
    }
    if (bodyStart == size_t(n)) continue;
    bodyEnd.Consume(chunk + bodyStart, size_t(n) - bodyStart);
    if (!sink.Deliver(chunk + bodyStart, size_t(n) - bodyStart)) return Fetch::Failed;
    if (sink.Filled()) return Fetch::Filled;
  }
}

bool RunFetch(const char* host, const char* path, int32_t port, int32_t timeoutMs, BodySink& sink,
              int32_t& row) {
  const SockAddress server = SockResolveHost(host, HttpPort(port));
  if (SockAddressIsNone(server)) return false;
  row = SockTcpConnect(server, timeoutMs);
  if (row < 0) return false;
  const std::string request = HttpRequestText(host, path);
  if (SockSend(row, request.data(), int32_t(request.size()), nullptr) <= 0) return false;
  return ReceiveBody(row, sink) != Fetch::Failed;
}

// Releases the start-up reference without touching the reason a fetch failed.
void ReleaseKeepingError() {
  const int32_t kept = SockGetLastError();
  SockShutdown();
  SockSetLastError(kept);
}

}  // namespace

void HttpSetStallLimitMs(int32_t limitMs) {
  stallLimitMs = limitMs;
}

uint16_t HttpPort(int32_t port) {
  return port == 0 ? 80 : uint16_t(port);
}

std::string HttpRequestText(const char* host, const char* path) {
  return std::string("GET ") + path + " HTTP/1.0\r\nHost:" + host +
         "\r\nAccept: */*\r\nUser-Agent: Quarnel\r\n\r\n";
}

uint8_t HttpGet(const char* host, const char* path, int32_t port, const char* fileName,
                char* buffer, size_t bufferSize, int32_t connectTimeoutMs) {
  int fd = -1;
  if (fileName) {
    if (IsMemoryFileName(fileName)) return 0;
    fd = platform::ReplaceForWrite(fileName);
    if (fd < 0) return 0;
  }
  SockStartup();
  BodySink sink(fd, buffer, buffer ? bufferSize : 0);
  int32_t row = -1;
  const bool ok = RunFetch(host ? host : "", path ? path : "", port, connectTimeoutMs, sink, row);
  platform::CloseDescriptor(fd);
  if (row >= 0) {
    const int32_t kept = SockGetLastError();
    SockClose(row);
    if (!ok) SockSetLastError(kept);
  }
  ReleaseKeepingError();
  return ok ? 1 : 0;
}
