// Shared by the group tests: sessions with short waits, a raw peer that speaks frames by hand,
// and bounded polling. Everything stays on 127.0.0.1.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "net/group_rules.h"
#include "net/net_message.h"
#include "net/net_session.h"
#include "tests/net/net_fixture.h"

// Polls the condition every 5 ms until it holds or the time is up.
template <typename Condition>
bool Eventually(Condition condition, int timeoutMs = 3000) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (std::chrono::steady_clock::now() < end) {
    if (condition()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return condition();
}

inline double MillisecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
      .count();
}

// A TCP peer on 127.0.0.1 written with plain sockets, independent of the code under test.
class RawPeer {
 public:
  // from: another local address to connect from (Linux routes all of 127.0.0.0/8 to loopback),
  // so one machine plays peers at several addresses.
  explicit RawPeer(uint16_t port, int receiveBuffer = 0, const char* from = nullptr) {
    fd_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in local = LoopbackAddress(0);
    const bool bound = !from || (inet_pton(AF_INET, from, &local.sin_addr) == 1 &&
                                 bind(fd_, reinterpret_cast<sockaddr*>(&local), sizeof local) == 0);
    // Frames go out as written, as the group's own rows send them.
    const int one = 1;
    setsockopt(fd_, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    if (receiveBuffer > 0) {
      setsockopt(fd_, SOL_SOCKET, SO_RCVBUF, &receiveBuffer, sizeof receiveBuffer);
    }
    const sockaddr_in to = LoopbackAddress(port);
    if (!bound || connect(fd_, reinterpret_cast<const sockaddr*>(&to), sizeof to) != 0) {
      close(fd_);
      fd_ = -1;
    }
  }
  // Takes a socket accepted by a raw listener.
  static RawPeer Adopt(int fd) { return RawPeer(fd, Adopted{}); }
  RawPeer(RawPeer&& other) noexcept : fd_(other.fd_), buffer_(std::move(other.buffer_)) {
    other.fd_ = -1;
  }
  ~RawPeer() { Close(); }

  void Close() {
    if (fd_ >= 0) close(fd_);
    fd_ = -1;
  }

  bool Send(const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
      const ssize_t n = send(fd_, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
      if (n <= 0) return false;
      done += size_t(n);
    }
    return true;
  }
  bool SendFrame(uint8_t type, uint16_t receiver, uint16_t sender, const std::string& payload) {
    const std::vector<uint8_t> frame = EncodeNetFrame(type, receiver, sender, payload);
    return Send(std::string(frame.begin(), frame.end()));
  }
  bool SendJoin(const std::string& name) {
    NetJoinPayload join;
    join.name = name;
    return SendFrame(kNetJoin, 0, 0, EncodeJoinPayload(join));
  }

  // The next whole frame, or none when nothing completes within the time.
  std::optional<NetMessage> ReadFrame(int timeoutMs = 5000) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
      if (buffer_.size() >= kNetHeaderSize) {
        const NetHeader header = DecodeNetHeader(reinterpret_cast<const uint8_t*>(buffer_.data()));
        if (buffer_.size() >= kNetHeaderSize + header.length) {
          NetMessage message{header, buffer_.substr(kNetHeaderSize, header.length)};
          buffer_.erase(0, kNetHeaderSize + header.length);
          return message;
        }
      }
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
          end - std::chrono::steady_clock::now());
      if (left.count() <= 0 || !ReadSome(int(left.count()))) return std::nullopt;
    }
  }
  // The id of the next join answer, 0 when none comes.
  uint16_t ReadJoinAnswer(int timeoutMs = 5000) {
    for (;;) {
      const std::optional<NetMessage> message = ReadFrame(timeoutMs);
      if (!message) return 0;
      if (message->header.type == kNetJoinAccepted) return message->header.receiver;
    }
  }
  // True when the other side closes within the time (pending bytes are read past).
  bool ClosedByPeerWithin(int timeoutMs) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    do {
      pollfd entry{fd_, POLLIN, 0};
      if (poll(&entry, 1, timeoutMs > 0 ? 10 : 0) <= 0) continue;
      char bytes[4096];
      const ssize_t n = recv(fd_, bytes, sizeof bytes, 0);
      if (n <= 0) return true;
    } while (std::chrono::steady_clock::now() < end);
    return false;
  }

 private:
  struct Adopted {};
  RawPeer(int fd, Adopted) : fd_(fd) {}

  bool ReadSome(int timeoutMs) {
    pollfd entry{fd_, POLLIN, 0};
    if (poll(&entry, 1, timeoutMs) <= 0) return false;
    char bytes[4096];
    const ssize_t n = recv(fd_, bytes, sizeof bytes, 0);
    if (n <= 0) return false;
    buffer_.append(bytes, size_t(n));
    return true;
  }

  int fd_ = -1;
  std::string buffer_;
};

class GroupTest : public NetTest {
 protected:
  static NetTuning ShortTuning() {
    NetTuning tuning;
    tuning.answerPasses = 20;
    tuning.answerLooks = 5;
    tuning.answerLookMs = 10;
    tuning.registerTries = 100;
    tuning.registerWaitMs = 10;
    tuning.idleSleepMs = 2;
    tuning.connectTimeoutMs = 2000;
    tuning.frameDeadlineMs = 400;
    tuning.sendDeadlineMs = 1000;
    tuning.relayHighWaterBytes = 64 * 1024;
    tuning.outputCeilingBytes = 1024 * 1024;
    tuning.holdLimitMs = 300;
    tuning.joinLimitMs = 300;
    return tuning;
  }

  NetSession& NewSession(const NetTuning& tuning = ShortTuning()) {
    sessions_.push_back(NetSession::Create(tuning));
    return *sessions_.back();
  }

  // A host on a free port with the given local players; their ids, in order.
  std::vector<uint16_t> HostWithPlayers(NetSession& host, std::vector<const char*> names) {
    std::vector<uint16_t> ids;
    if (!host.Host(port_)) return ids;
    for (const char* name : names) ids.push_back(host.CreatePlayer(name));
    return ids;
  }

  void TearDown() override {
    sessions_.clear();  // every thread joined before the fixture closes the rows
    NetTest::TearDown();
  }

  uint16_t port_ = FreeLoopbackPort();
  std::vector<std::unique_ptr<NetSession>> sessions_;
};
