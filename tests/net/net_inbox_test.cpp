// The inbox reads texts in arrival order until a sender has a share waiting; then no sender's
// backlog holds another's text back for more than one share, and each sender's order stays.
#include "net/net_inbox.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

struct InboxCase {
  const char* name;
  size_t limit;
  size_t share;
  // "A1" files text "A1" from sender 'A'; "-" reads one text. What is left is read at the end.
  const char* steps;
  const char* read;
};

std::string Play(const InboxCase& c) {
  NetInbox inbox(c.limit, c.share);
  std::istringstream steps(c.steps);
  std::string read;
  auto take = [&] {
    const std::optional<NetInboxEntry> entry = inbox.Take();
    if (!entry) return false;
    EXPECT_EQ(entry->sender, uint16_t(entry->text[0]));
    read += (read.empty() ? "" : " ") + entry->text;
    return true;
  };
  for (std::string step; steps >> step;) {
    if (step == "-") {
      take();
    } else {
      inbox.Add(uint16_t(step[0]), step);
    }
  }
  while (take()) {
  }
  return read;
}

TEST(NetInbox, ReadsInArrivalOrderUntilABacklogPassesAShare) {
  const InboxCase cases[] = {
      {"no backlog of a share: arrival order", 8, 4, "A1 B1 A2 C1 B2", "A1 B1 A2 C1 B2"},
      {"a flood holds another text back one share", 16, 2, "A1 A2 A3 A4 A5 A6 B1",
       "A1 A2 B1 A3 A4 A5 A6"},
      {"a round read to its end starts everyone afresh", 16, 2, "A1 A2 - - A3 B1", "A1 A2 A3 B1"},
      {"texts read mid-round keep the round", 16, 2, "A1 A2 A3 - B1", "A1 A2 B1 A3"},
      {"two floods take turns by shares", 16, 2, "A1 A2 A3 B1 B2 B3 C1", "A1 A2 B1 B2 C1 A3 B3"},
      {"full: the flood's newest text makes room", 4, 2, "A1 A2 A3 A4 B1 A5", "A1 A2 B1 A3"},
      {"full of one sender: new texts are dropped", 3, 2, "A1 A2 A3 A4", "A1 A2 A3"},
      {"full: a text in the last round is dropped", 4, 2, "A1 A2 B1 B2 A3", "A1 A2 B1 B2"},
      {"no room at all", 0, 2, "A1", ""},
  };
  for (const InboxCase& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Play(c), c.read);
  }
}

}  // namespace
