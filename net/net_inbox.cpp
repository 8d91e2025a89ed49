// Texts dealt into rounds of one share per sender, and the texts waiting behind a full inbox.
#include "net/net_inbox.h"

#include <algorithm>

NetInbox::SenderRound NetInbox::RoundFor(uint16_t sender) const {
  const auto known = senders_.find(sender);
  if (known == senders_.end() || known->second.round < firstRound_) return {firstRound_, 0};
  if (known->second.count < share_) return known->second;
  return {known->second.round + 1, 0};
}

bool NetInbox::Add(uint16_t sender, std::string text, double nowMs) {
  if (!Full() || givenUp_ || limit_ == 0) return Place(sender, std::move(text));
  waitingBytes_ += text.size();
  waiting_.push_back(NetInboxEntry{sender, std::move(text)});
  pressure_.Grew(waitingBytes_, highWater_, nowMs);
  return true;
}

bool NetInbox::Place(uint16_t sender, std::string text) {
  if (limit_ == 0) return false;
  SenderRound place = RoundFor(sender);
  const bool full = Full();
  if (full) {
    if (place.round >= LastRound()) return false;
    DropNewest();
  }
  while (rounds_.empty() || LastRound() < place.round) rounds_.emplace_back();
  rounds_[place.round - firstRound_].push_back(NetInboxEntry{sender, std::move(text)});
  ++size_;
  ++place.count;
  senders_[sender] = place;
  return !full;
}

// The dropped text's sender keeps its place: its later texts still follow its earlier ones.
void NetInbox::DropNewest() {
  std::deque<NetInboxEntry>& last = rounds_.back();
  SenderRound& owner = senders_[last.back().sender];
  if (owner.round == LastRound() && owner.count > 0) --owner.count;
  last.pop_back();
  --size_;
  if (last.empty()) rounds_.pop_back();
}

std::optional<NetInboxEntry> NetInbox::Take() {
  if (size_ == 0) return std::nullopt;
  while (rounds_.front().empty()) RetireFirstRound();
  NetInboxEntry entry = std::move(rounds_.front().front());
  rounds_.front().pop_front();
  --size_;
  if (rounds_.front().empty()) RetireFirstRound();
  if (size_ <= limit_ / 2) givenUp_ = false;
  MoveWaitingIn();
  return entry;
}

void NetInbox::MoveWaitingIn() {
  while (!waiting_.empty() && !Full()) {
    NetInboxEntry entry = std::move(waiting_.front());
    waiting_.pop_front();
    waitingBytes_ -= entry.text.size();
    Place(entry.sender, std::move(entry.text));
  }
  pressure_.Shrank(waitingBytes_, highWater_);
}

size_t NetInbox::GiveUp() {
  givenUp_ = true;
  size_t lost = 0;
  for (NetInboxEntry& entry : waiting_) lost += Place(entry.sender, std::move(entry.text)) ? 0 : 1;
  waiting_.clear();
  waitingBytes_ = 0;
  pressure_.Shrank(0, highWater_);
  return lost;
}

// Once a round is read to its end every sender starts afresh in the next one.
void NetInbox::RetireFirstRound() {
  rounds_.pop_front();
  ++firstRound_;
  std::erase_if(senders_, [this](const auto& entry) { return entry.second.round < firstRound_; });
}
