// The inbox reads texts in arrival order until a sender has a share waiting; then no sender's
// backlog holds another's text back for more than one share, and each sender's order stays.
// Texts that find it full wait in arrival order, pressing it past the high water mark, until it
// is given up on.
#include "net/net_inbox.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

struct InboxCase {
  const char* name;
  size_t limit;
  size_t share;
  size_t highWater;  // bytes; every text is two
  // "A1" files text "A1" from sender 'A'; "-" reads one text; "?" notes "P" when the inbox is
  // pressed; "!" gives up on it and notes "xN" for the N texts lost. What is left is read at the
  // end.
  const char* steps;
  const char* read;
};

std::string Play(const InboxCase& c) {
  NetInbox inbox(c.limit, c.share, c.highWater);
  std::istringstream steps(c.steps);
  std::string read;
  auto note = [&](const std::string& text) {
    if (!read.empty()) read += ' ';
    read += text;
  };
  auto take = [&] {
    const std::optional<NetInboxEntry> entry = inbox.Take();
    if (!entry) return false;
    EXPECT_EQ(entry->sender, uint16_t(entry->text[0]));
    note(entry->text);
    return true;
  };
  for (std::string step; steps >> step;) {
    if (step == "-") {
      take();
    } else if (step == "?") {
      if (inbox.Pressed()) note("P");
    } else if (step == "!") {
      std::string lost(1, 'x');
      note(lost += std::to_string(inbox.GiveUp()));
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
      {"no backlog of a share: arrival order", 8, 4, 9, "A1 B1 A2 C1 B2", "A1 B1 A2 C1 B2"},
      {"a flood holds another text back one share", 16, 2, 9, "A1 A2 A3 A4 A5 A6 B1",
       "A1 A2 B1 A3 A4 A5 A6"},
      {"a round read to its end starts everyone afresh", 16, 2, 9, "A1 A2 - - A3 B1",
       "A1 A2 A3 B1"},
      {"texts read mid-round keep the round", 16, 2, 9, "A1 A2 A3 - B1", "A1 A2 B1 A3"},
      {"two floods take turns by shares", 16, 2, 9, "A1 A2 A3 B1 B2 B3 C1",
       "A1 A2 B1 B2 C1 A3 B3"},
      {"full: texts wait in arrival order and move in by shares", 2, 2, 9, "A1 A2 B1 A3 - A4",
       "A1 A2 B1 A3 A4"},
      {"waiting texts press it past the mark until half are in", 1, 1, 3,
       "A1 B1 ? C1 ? - ? - ?", "P A1 P B1 C1"},
      {"given up: the waiting texts and newer ones are lost", 2, 2, 3, "A1 A2 A3 B1 ? ! ? A4",
       "P x2 A1 A2"},
      {"given up: until down to half", 2, 2, 9, "A1 A2 ! B1 - B2 B3", "x0 A1 A2 B2 B3"},
      {"given up, full: the flood's newest text makes room", 4, 2, 9, "! A1 A2 A3 A4 B1 A5",
       "x0 A1 A2 B1 A3"},
      {"given up, full of one sender: new texts are dropped", 3, 2, 9, "! A1 A2 A3 A4",
       "x0 A1 A2 A3"},
      {"given up, full: a text in the last round is dropped", 4, 2, 9, "! A1 A2 B1 B2 A3",
       "x0 A1 A2 B1 B2"},
      {"no room at all", 0, 2, 9, "A1", ""},
  };
  for (const InboxCase& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Play(c), c.read);
  }
}

}  // namespace
