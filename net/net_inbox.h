// A local player's texts waiting to be read. They come out in the order they came in, with one
// exception that keeps a flooding sender from shutting everybody else out: each sender's texts are
// dealt into rounds of at most one share, and rounds are read in turn, so another sender's text
// waits behind at most one share of the flood however long the flood's backlog is. A sender's own
// texts always keep their order; while no sender has a share waiting, the order is exactly the
// order of arrival.
//
// Texts that find the inbox full wait behind it in arrival order and move in as the reader makes
// room, so a slow reader holds back only what feeds it: past the high water mark those texts
// press the inbox (see BacklogClock), and a reader given up on loses texts instead.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <unordered_map>

#include "net/backlog_clock.h"

// Bounds on what a peer can make a program keep in one inbox.
inline constexpr size_t kNetInboxLimit = 4096;
inline constexpr size_t kNetInboxShare = 256;
static_assert(kNetInboxShare <= kNetInboxLimit);

struct NetInboxEntry {
  uint16_t sender = 0;
  std::string text;  // the payload as received; readers cut it at its first NUL
};

class NetInbox {
 public:
  NetInbox() = default;
  NetInbox(size_t limit, size_t share, size_t highWaterBytes = kNetHighWaterBytes)
      : limit_(limit), share_(share), highWater_(highWaterBytes) {}

  // False when a text was lost: only an inbox given up on loses any. It makes room by dropping
  // the newest text of the last round when the new text would be read before it, and otherwise
  // drops the new text, until its reader has taken it down to half the limit.
  bool Add(uint16_t sender, std::string text, double nowMs = 0.0);
  std::optional<NetInboxEntry> Take();
  bool Pressed() const { return pressure_.Pressed(); }
  bool Overdue(double nowMs, double limitMs) const { return pressure_.Overdue(nowMs, limitMs); }
  // The reader stayed pressed too long: the waiting texts go in as into an inbox given up on.
  // The number of texts lost.
  size_t GiveUp();
  size_t size() const { return size_; }  // not counting the texts waiting behind it
  bool empty() const { return size_ == 0; }
  bool Full() const { return size_ >= limit_; }

 private:
  // The round a sender's texts go to now, and how many of its texts that round has taken.
  struct SenderRound {
    uint64_t round = 0;
    size_t count = 0;
  };

  bool Place(uint16_t sender, std::string text);
  SenderRound RoundFor(uint16_t sender) const;
  uint64_t LastRound() const { return firstRound_ + rounds_.size() - 1; }
  void DropNewest();
  void RetireFirstRound();
  void MoveWaitingIn();

  size_t limit_ = kNetInboxLimit;
  size_t share_ = kNetInboxShare;
  size_t highWater_ = kNetHighWaterBytes;
  std::deque<std::deque<NetInboxEntry>> rounds_;  // rounds_[i] is round firstRound_ + i
  uint64_t firstRound_ = 0;
  size_t size_ = 0;
  bool givenUp_ = false;
  std::unordered_map<uint16_t, SenderRound> senders_;  // senders with a round not yet read
  std::deque<NetInboxEntry> waiting_;                  // behind a full inbox, in arrival order
  size_t waitingBytes_ = 0;
  BacklogClock pressure_;
};
