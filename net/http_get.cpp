// HTTP GET: prepares the file target, connects, sends the request, skips the response header
// and delivers the body as it arrives, within the fetch's time and size limits.
#include "net/http_get.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <mutex>

#include "net/http_body_end.h"
#include "net/http_header_scanner.h"
#include "net/socket_errors.h"
#include "net/socket_layer.h"
#include "platform/files.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int32_t kChunkBytes = 1023;
// How long to wait for more bytes before asking again.
constexpr int32_t kIdleWaitMs = 5;

std::mutex limitsLock;
HttpLimits currentLimits;

HttpLimits Limits() {
  std::lock_guard guard(limitsLock);
  return currentLimits;
}

bool IsMemoryFileName(const char* name) {
  return std::strncmp(name, "mem://", 6) == 0;
}

// Where the body goes: the file, the buffer, or both.
class BodySink {
 public:
  BodySink(int fd, char* buffer, size_t size) : fd_(fd), buffer_(buffer), remaining_(size) {}

  // False, with errno set, when the file write failed.
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

enum class Fetch { More, Done, Failed };

Fetch FailWith(int32_t code) {
  SockSetLastError(code);
  return Fetch::Failed;
}

// Splits the response into header and body, passing over interim responses, and hands the body,
// up to its announced end and the size limit, to the sink.
class Response {
 public:
  Response(BodySink& sink, uint64_t sizeLimit) : sink_(sink), bytesLeft_(sizeLimit) {}

  Fetch Take(const char* bytes, size_t count) {
    while (!header_.Done()) {
      const size_t header = header_.Consume(bytes, count);
      if (header > bytesLeft_) return FailWith(kSockErrMessageSize);
      bytesLeft_ -= header;
      bodyEnd_.ReadHeader({bytes, header});
      bytes += header;
      count -= header;
      if (!header_.Done()) return Fetch::More;
      if (HeaderEnded() == Fetch::Failed) return Fetch::Failed;
    }
    return TakeBody(bytes, count);
  }

  // A close before the header's end or the body's announced end is a failure, and so is a
  // reset anywhere.
  Fetch Closed() const {
    if (SockGetLastError() == kSockErrConnReset) return Fetch::Failed;
    return header_.Done() && bodyEnd_.Complete() ? Fetch::Done : FailWith(kSockErrAborted);
  }

 private:
  // An interim header makes way for the next one. Lengths that disagree leave the body's end
  // unknown and either one may cut or pad it: the response is given up as broken (10053, as for
  // one cut short), at once.
  Fetch HeaderEnded() {
    if (!bodyEnd_.Interim()) {
      return bodyEnd_.LengthsDisagree() ? FailWith(kSockErrAborted) : Fetch::More;
    }
    header_ = {};
    bodyEnd_ = {};
    return Fetch::More;
  }

  Fetch TakeBody(const char* bytes, size_t count) {
    const size_t body = bodyEnd_.Consume(bytes, count);
    const size_t allowed = size_t(std::min<uint64_t>(body, bytesLeft_));
    bytesLeft_ -= allowed;
    if (!sink_.Deliver(bytes, allowed)) {
      SockSetLastErrorFromErrno(errno);
      return Fetch::Failed;
    }
    if (sink_.Filled()) return Fetch::Done;
    if (allowed < body) return FailWith(kSockErrMessageSize);
    return bodyEnd_.Ended() ? Fetch::Done : Fetch::More;
  }

  BodySink& sink_;
  uint64_t bytesLeft_;
  HttpHeaderScanner header_;
  HttpBodyEnd bodyEnd_;
};

bool Passed(Clock::time_point since, int32_t limitMs) {
  return Clock::now() - since > std::chrono::milliseconds(limitMs);
}

// Reads the response until its body is whole, the buffer fills, a limit passes or something
// fails.
Fetch ReceiveBody(int32_t row, Response& response, const HttpLimits& limits,
                  Clock::time_point started) {
  char chunk[kChunkBytes];
  Clock::time_point lastBytes = Clock::now();
  for (;;) {
    if (Passed(started, limits.totalMs)) return FailWith(kSockErrTimedOut);
    const int32_t n = SockRecv(row, chunk, kChunkBytes, false);
    if (n == 0) return response.Closed();
    if (n == -1) return Fetch::Failed;
    if (n == -2) {
      if (SockWaitReadable(row, kIdleWaitMs) == -1) return Fetch::Failed;
      if (Passed(lastBytes, limits.stallMs)) return FailWith(kSockErrTimedOut);
      continue;
    }
    lastBytes = Clock::now();
    const Fetch step = response.Take(chunk, size_t(n));
    if (step != Fetch::More) return step;
  }
}

bool SendRequest(int32_t row, const char* host, const char* path, int32_t stallMs) {
  const std::string request = HttpRequestText(host, path);
  const int32_t sent = SockSendFor(row, request.data(), int32_t(request.size()), stallMs, nullptr);
  if (sent == int32_t(request.size())) return true;
  if (sent >= 0) SockSetLastError(kSockErrTimedOut);  // the server stopped taking it
  return false;
}

bool RunFetch(const char* host, const char* path, int32_t port, int32_t timeoutMs, BodySink& sink,
              int32_t& row) {
  const Clock::time_point started = Clock::now();
  const HttpLimits limits = Limits();
  const SockAddress server = SockResolveHost(host, HttpPort(port));
  if (SockAddressIsNone(server)) return false;
  row = SockTcpConnect(server, timeoutMs);
  if (row < 0 || !SendRequest(row, host, path, limits.stallMs)) return false;
  Response response(sink, limits.responseBytes);
  return ReceiveBody(row, response, limits, started) == Fetch::Done;
}

// A folder that is not empty can never take the body: refused before anything is fetched.
bool IsFolderInUse(const std::string& target) {
  std::error_code error;
  return std::filesystem::is_directory(target, error) && !std::filesystem::is_empty(target, error);
}

// The new file beside the target; false, with errno set, when there can be none.
bool BeginTarget(const char* fileName, platform::Replacement& target) {
  if (IsMemoryFileName(fileName)) {
    errno = EINVAL;
    return false;
  }
  if (*fileName == '\0') {
    errno = ENOENT;  // what opening it gives: no new file can ever take its place
    return false;
  }
  if (!platform::BeginReplacement(fileName, target)) return false;
  if (!IsFolderInUse(target.target)) return true;
  errno = ENOTEMPTY;
  platform::AbandonReplacement(target);
  return false;
}

// Puts a whole body in the target's place, or keeps the old target.
bool FinishTarget(platform::Replacement& target, bool fetched) {
  if (!fetched) {
    platform::AbandonReplacement(target);
    return false;
  }
  if (platform::CommitReplacement(target)) return true;
  SockSetLastErrorFromErrno(errno);
  return false;
}

// Closes the row and releases the start-up reference without touching the reason a fetch
// failed.
void ReleaseKeepingError(int32_t row, bool ok) {
  const int32_t kept = SockGetLastError();
  if (row >= 0) SockClose(row);
  SockShutdown();
  SockSetLastError(ok ? 0 : kept);
}

}  // namespace

void HttpSetLimits(const HttpLimits& limits) {
  std::lock_guard guard(limitsLock);
  currentLimits = limits;
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
  platform::Replacement target;
  if (fileName && !BeginTarget(fileName, target)) {
    SockSetLastErrorFromErrno(errno);
    return 0;
  }
  SockStartup();
  BodySink sink(target.fd, buffer, buffer ? bufferSize : 0);
  int32_t row = -1;
  bool ok = RunFetch(host ? host : "", path ? path : "", port, connectTimeoutMs, sink, row);
  ReleaseKeepingError(row, ok);
  if (fileName) ok = FinishTarget(target, ok);
  return ok ? 1 : 0;
}
