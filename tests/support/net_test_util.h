// Helpers of the network tests. Everything here binds and connects on 127.0.0.1 only, and the
// seams keep the code under test there too: no test may reach another address or a name server.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "platform/net_seams.h"

// Turns on every network seam for the lifetime of a test: traffic only to 127.0.0.1, listeners
// bound to 127.0.0.1, names resolved without a name server ("localhost" and dotted quads only)
// and a machine whose only address is 127.0.0.1.
struct LoopbackOnly {
  LoopbackOnly() {
    platform::SetLoopbackGuard(true);
    platform::SetTestBindAddress(true);
    platform::SetHostResolver([](std::string_view name, uint32_t& address) {
      const std::string text = name == "localhost" ? "127.0.0.1" : std::string(name);
      in_addr parsed{};
      if (inet_pton(AF_INET, text.c_str(), &parsed) != 1) return false;
      address = parsed.s_addr;
      return true;
    });
    platform::SetLocalAddressProvider([] { return std::vector<uint32_t>{htonl(INADDR_LOOPBACK)}; });
  }
  ~LoopbackOnly() {
    platform::SetLocalAddressProvider({});
    platform::SetHostResolver({});
    platform::SetTestBindAddress(false);
    platform::SetLoopbackGuard(false);
  }
  LoopbackOnly(const LoopbackOnly&) = delete;
  LoopbackOnly& operator=(const LoopbackOnly&) = delete;
};

inline sockaddr_in LoopbackAddress(uint16_t port) {
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(port);
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  return a;
}

inline uint16_t BoundPort(int fd) {
  sockaddr_in a{};
  socklen_t size = sizeof a;
  getsockname(fd, reinterpret_cast<sockaddr*>(&a), &size);
  return ntohs(a.sin_port);
}

// A raw TCP listener on 127.0.0.1 with a port of the system's choice; -1 when loopback is unusable.
inline int RawLoopbackListener(int backlog, uint16_t& port) {
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return -1;
  const sockaddr_in a = LoopbackAddress(0);
  if (bind(fd, reinterpret_cast<const sockaddr*>(&a), sizeof a) != 0 || listen(fd, backlog) != 0) {
    close(fd);
    return -1;
  }
  port = BoundPort(fd);
  return fd;
}

// A port that nothing listens on at the moment of the call.
inline uint16_t FreeLoopbackPort() {
  uint16_t port = 0;
  const int fd = RawLoopbackListener(1, port);
  if (fd >= 0) close(fd);
  return port;
}

// A web server on 127.0.0.1 that plays a script for each connection: it reads the request up to
// its blank line, sends the chunks with a pause before each (so the client reads them apart) and
// closes, resets the connection, or waits for the client to hang up first (closing after a few
// seconds all the same, so a client that never hangs up fails its test instead of hanging it).
class LoopbackHttpServer {
 public:
  struct Chunk {
    std::string bytes;
    int delayMs;
  };
  enum class Ending { Close, Reset, HoldOpen };

  LoopbackHttpServer() {
    listenFd_ = RawLoopbackListener(16, port_);
    if (listenFd_ >= 0) thread_ = std::thread([this] { Run(); });
  }
  ~LoopbackHttpServer() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
    if (listenFd_ >= 0) close(listenFd_);
  }
  LoopbackHttpServer(const LoopbackHttpServer&) = delete;
  LoopbackHttpServer& operator=(const LoopbackHttpServer&) = delete;

  bool Usable() const { return listenFd_ >= 0; }
  uint16_t Port() const { return port_; }

  void SetScript(std::vector<Chunk> chunks, Ending ending = Ending::Close) {
    std::lock_guard guard(lock_);
    script_ = std::move(chunks);
    ending_ = ending;
  }
  int Accepted() const { return accepted_; }
  bool ClientHungUp() const { return clientHungUp_; }
  std::string LastRequest() {
    std::lock_guard guard(lock_);
    return lastRequest_;
  }

 private:
  static constexpr int kPollMs = 20;
  static constexpr int kRequestPolls = 250;  // 5 s for a request to arrive
  static constexpr int kHoldPolls = 250;     // 5 s for the client to hang up

  void Run() {
    while (!stop_) {
      pollfd entry{listenFd_, POLLIN, 0};
      if (poll(&entry, 1, kPollMs) <= 0) continue;
      const int client = accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
      if (client < 0) continue;
      ++accepted_;
      Serve(client);
      close(client);
    }
  }

  void Serve(int client) {
    const int one = 1;
    setsockopt(client, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    std::string request = ReadRequest(client);
    std::vector<Chunk> script;
    Ending ending;
    {
      std::lock_guard guard(lock_);
      lastRequest_ = request;
      script = script_;
      ending = ending_;
    }
    for (const Chunk& chunk : script) {
      std::this_thread::sleep_for(std::chrono::milliseconds(chunk.delayMs));
      // The client hangs up early once its buffer is full; later chunks then fail harmlessly.
      if (send(client, chunk.bytes.data(), chunk.bytes.size(), MSG_NOSIGNAL) < 0) break;
    }
    if (ending == Ending::HoldOpen) WaitForHangUp(client);
    if (ending == Ending::Reset) {
      const linger abort{1, 0};
      setsockopt(client, SOL_SOCKET, SO_LINGER, &abort, sizeof abort);
    }
  }

  std::string ReadRequest(int client) {
    std::string request;
    for (int polls = 0; polls < kRequestPolls && !stop_; ++polls) {
      if (request.find("\r\n\r\n") != std::string::npos) break;
      pollfd entry{client, POLLIN, 0};
      if (poll(&entry, 1, kPollMs) <= 0) continue;
      char bytes[512];
      const ssize_t n = recv(client, bytes, sizeof bytes, 0);
      if (n <= 0) break;
      request.append(bytes, size_t(n));
    }
    return request;
  }

  void WaitForHangUp(int client) {
    for (int polls = 0; polls < kHoldPolls && !stop_; ++polls) {
      pollfd entry{client, POLLIN, 0};
      if (poll(&entry, 1, kPollMs) <= 0) continue;
      char byte;
      if (recv(client, &byte, 1, 0) <= 0) {
        clientHungUp_ = true;
        return;
      }
    }
  }

  int listenFd_ = -1;
  uint16_t port_ = 0;
  std::thread thread_;
  std::atomic<bool> stop_{false};
  std::atomic<int> accepted_{0};
  std::atomic<bool> clientHungUp_{false};
  std::mutex lock_;
  std::vector<Chunk> script_;
  Ending ending_ = Ending::Close;
  std::string lastRequest_;
};
