// A local player's texts waiting to be read. They come out in the order they came in, with one
// exception that keeps a flooding sender from shutting everybody else out: each sender's texts are
// dealt into rounds of at most one share, and rounds are read in turn, so another sender's text
// waits behind at most one share of the flood however long the flood's backlog is. A sender's own
// texts always keep their order; while no sender has a share waiting, the order is exactly the
// order of arrival.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <unordered_map>

// Bounds on what a peer can make a program keep in one inbox.
inline constexpr size_t kNetInboxLimit = 4096;
inline constexpr size_t kNetInboxShare = 256;

struct NetInboxEntry {
  uint16_t sender = 0;
  std::string text;  // the payload as received; readers cut it at its first NUL
};

class NetInbox {
 public:
  NetInbox() = default;
  NetInbox(size_t limit, size_t share) : limit_(limit), share_(share) {}

  // A full inbox makes room by dropping the newest text of the last round when the new text
  // would be read before it; otherwise the new text is dropped (false). Either way one text is
  // lost, and the inbox overflows until its reader has taken it down to half the limit.
  bool Add(uint16_t sender, std::string text);
  std::optional<NetInboxEntry> Take();
  size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  bool Full() const { return size_ >= limit_; }
  bool Overflowing() const { return overflowing_; }

 private:
  // The round a sender's texts go to now, and how many of its texts that round has taken.
  struct SenderRound {
    uint64_t round = 0;
    size_t count = 0;
  };

  SenderRound RoundFor(uint16_t sender) const;
  uint64_t LastRound() const { return firstRound_ + rounds_.size() - 1; }
  void DropNewest();
  void RetireFirstRound();

  size_t limit_ = kNetInboxLimit;
  size_t share_ = kNetInboxShare;
  std::deque<std::deque<NetInboxEntry>> rounds_;  // rounds_[i] is round firstRound_ + i
  uint64_t firstRound_ = 0;
  size_t size_ = 0;
  bool overflowing_ = false;
  std::unordered_map<uint16_t, SenderRound> senders_;  // senders with a round not yet read
};
