// Texts dealt into rounds of one share per sender.
#include "net/net_inbox.h"

#include <algorithm>

NetInbox::SenderRound NetInbox::RoundFor(uint16_t sender) const {
  const auto known = senders_.find(sender);
  if (known == senders_.end() || known->second.round < firstRound_) return {firstRound_, 0};
  if (known->second.count < share_) return known->second;
  return {known->second.round + 1, 0};
}

bool NetInbox::Add(uint16_t sender, std::string text) {
  if (Full()) overflowing_ = true;
  if (limit_ == 0) return false;
  SenderRound place = RoundFor(sender);
  if (Full()) {
    if (place.round >= LastRound()) return false;
    DropNewest();
  }
  while (rounds_.empty() || LastRound() < place.round) rounds_.emplace_back();
  rounds_[place.round - firstRound_].push_back(NetInboxEntry{sender, std::move(text)});
  ++size_;
  ++place.count;
  senders_[sender] = place;
  return true;
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
  if (size_ <= limit_ / 2) overflowing_ = false;
  return entry;
}

// Once a round is read to its end every sender starts afresh in the next one.
void NetInbox::RetireFirstRound() {
  rounds_.pop_front();
  ++firstRound_;
  std::erase_if(senders_, [this](const auto& entry) { return entry.second.round < firstRound_; });
}
