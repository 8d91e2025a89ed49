// Groups over loopback: a host and clients in one process, each session with its own thread.
#include <gtest/gtest.h>

#include "net/session_commands.h"
#include "net/socket_commands.h"
#include "net/socket_layer.h"
#include "tests/net/group_fixture.h"
#include "tests/support/owned_str.h"

namespace {

// Waits for the next text of a local player.
std::string NextMessage(NetSession& session, int32_t id) {
  std::string text;
  Eventually([&] {
    text = session.GetMessage(id);
    return !text.empty();
  });
  return text;
}

uint16_t NextLeftPlayer(NetSession& session) {
  uint16_t id = 0;
  Eventually([&] {
    id = session.GetLeftPlayer();
    return id != 0;
  });
  return id;
}

}  // namespace

TEST_F(GroupTest, TwoSessionsSeeEachOthersPlayersAndExchangeMessages) {
  NetSession& a = NewSession();
  ASSERT_EQ(HostWithPlayers(a, {"a", "b"}), (std::vector<uint16_t>{101, 102}));
  EXPECT_EQ(a.CountPlayers(), 2);  // the hidden query player (103) is not counted
  EXPECT_EQ(a.GetPlayerId(0), 101);
  EXPECT_EQ(a.GetPlayerId(2), 0);
  EXPECT_EQ(a.GetPlayerName(102), "b");
  EXPECT_EQ(a.GetPlayerName(999), "NO_DATA");

  NetSession& b = NewSession();
  ASSERT_TRUE(b.Join("127.0.0.1", port_));  // its query player is 104
  EXPECT_TRUE(b.IsActive());
  EXPECT_EQ(b.CreatePlayer("c"), 105);
  EXPECT_EQ(b.CountPlayers(), 3);
  EXPECT_EQ(a.CountPlayers(), 3);
  EXPECT_EQ(b.GetPlayerId(2), 105);
  EXPECT_EQ(b.GetPlayerName(101), "a");

  ASSERT_TRUE(a.SendMessage(101, 105, "to c"));
  EXPECT_EQ(NextMessage(b, 105), "to c");
  EXPECT_EQ(b.LastSender(), 101);
  ASSERT_TRUE(b.SendMessage(105, 102, "to b"));
  EXPECT_EQ(NextMessage(a, 102), "to b");
  EXPECT_EQ(a.LastSender(), 105);

  ASSERT_TRUE(a.SendMessage(101, 0, "to all"));
  EXPECT_EQ(NextMessage(a, 102), "to all");
  EXPECT_EQ(NextMessage(b, 105), "to all");
  EXPECT_EQ(a.CountPlayers(), 3);  // a round trip after the broadcast: nothing more came
  EXPECT_EQ(a.GetMessage(101), "");
  EXPECT_EQ(a.GetMessage(103), "");

  a.DeletePlayer(102);
  EXPECT_EQ(NextLeftPlayer(a), 102);
  b.End();
  EXPECT_FALSE(b.IsActive());
  EXPECT_EQ(NextLeftPlayer(a), 105);  // newest first
  EXPECT_EQ(a.GetLeftPlayer(), 104);
  EXPECT_EQ(a.GetLeftPlayer(), 0);
  EXPECT_EQ(a.CountPlayers(), 1);

  ASSERT_TRUE(b.Join("127.0.0.1", port_));
  EXPECT_EQ(b.CreatePlayer("again"), 107);  // ids are never reused
}

TEST_F(GroupTest, AHostThatStopsAcceptingTurnsNewPlayersAway) {
  NetSession& a = NewSession();
  ASSERT_TRUE(a.Host(port_));
  NetSession& b = NewSession();
  ASSERT_TRUE(b.Join("127.0.0.1", port_));
  a.SetAccepting(false);
  EXPECT_EQ(b.CreatePlayer("late"), 0);
  EXPECT_FALSE(NewSession().Join("127.0.0.1", port_));
  a.SetAccepting(true);
  EXPECT_NE(b.CreatePlayer("in time"), 0);
}

TEST_F(GroupTest, AGroupHoldsOneStartReferenceAndSparesTheProgramsSockets) {
  ASSERT_TRUE(NetStartup());  // the program's own start-up
  const int32_t base = SockStartupCount();
  const int32_t udp = NetUdpOpen(0);
  ASSERT_GE(udp, 0);
  NetSession& a = NewSession();
  ASSERT_TRUE(a.Host(port_));
  ASSERT_TRUE(a.Host(port_));  // hosting again ends the first group
  EXPECT_EQ(SockStartupCount(), base + 1);
  NetSession& b = NewSession();
  ASSERT_TRUE(b.Join("127.0.0.1", port_));
  EXPECT_EQ(SockStartupCount(), base + 2);
  EXPECT_FALSE(NewSession().Join("127.0.0.1", FreeLoopbackPort()));
  EXPECT_EQ(SockStartupCount(), base + 2);

  b.End();
  b.End();
  EXPECT_EQ(SockStartupCount(), base + 1);
  ASSERT_TRUE(b.Join("127.0.0.1", port_));
  a.End();  // b's thread sees the host go and ends by itself
  EXPECT_TRUE(Eventually([&] { return !b.IsActive(); }));
  EXPECT_EQ(SockStartupCount(), base);
  b.End();
  EXPECT_EQ(SockStartupCount(), base);
  EXPECT_EQ(SockSetBlocking(udp, false), 0);  // still open
}

TEST_F(GroupTest, TooLongTextsAreRefusedWhole) {
  NetSession& a = NewSession();
  const std::vector<uint16_t> ids = HostWithPlayers(a, {"a"});
  ASSERT_EQ(ids.size(), 1u);
  EXPECT_FALSE(a.SendMessage(ids[0], ids[0], std::string(kNetMaxPayload + 1, 'x')));
  ASSERT_TRUE(a.SendMessage(ids[0], ids[0], std::string(kNetMaxPayload, 'y')));
  EXPECT_EQ(NextMessage(a, ids[0]), std::string(kNetMaxPayload, 'y'));
}

TEST_F(GroupTest, EndReturnsPromptlyWhilePeersStallAtDefaultDeadlines) {
  NetSession& a = NewSession(NetTuning());
  ASSERT_TRUE(a.Host(port_));
  RawPeer stalled(port_);
  ASSERT_TRUE(stalled.Send(std::string("\x03\x0A\x00", 3)));  // part of a header, then silence
  RawPeer deaf(port_, 4096);
  ASSERT_TRUE(deaf.SendJoin("deaf"));
  ASSERT_NE(deaf.ReadJoinAnswer(), 0);
  const uint16_t talker = a.CreatePlayer("talker");
  ASSERT_NE(talker, 0);
  for (int i = 0; i < 300; ++i) a.SendMessage(talker, 0, std::string(1000, 'z'));
  RawPeer flood(port_);
  std::string tiny;
  for (int i = 0; i < 5000; ++i) tiny += std::string("\x96\x00\x00\x00\x00\x00\x00", 7);
  ASSERT_TRUE(flood.Send(tiny));

  const auto start = std::chrono::steady_clock::now();
  a.End();
  EXPECT_LT(MillisecondsSince(start), 1000.0);
  EXPECT_FALSE(a.IsActive());
}

TEST_F(GroupTest, CommandsWorkOnTheRecordMadeAtStartUp) {
  const int32_t base = SockStartupCount();
  const OwnedStr name("solo");
  EXPECT_EQ(NetSessionCreatePlayer(name.s), 0);  // no record yet
  EXPECT_EQ(OwnedStr(NetSessionGetPlayerName(1)).text(), "NO_DATA");

  ASSERT_TRUE(NetSessionRecordCreate(ShortTuning()));
  ASSERT_TRUE(NetSessionHost(port_));
  const int32_t id = NetSessionCreatePlayer(name.s);
  EXPECT_EQ(id, 101);
  EXPECT_TRUE(NetSessionSendMessage(id, id, OwnedStr("hello").s));
  std::string received;
  Eventually([&] { return !(received = OwnedStr(NetSessionGetMessage(id)).text()).empty(); });
  EXPECT_EQ(received, "hello");
  EXPECT_EQ(OwnedStr(NetSessionGetPlayerName(id)).text(), "solo");
  NetSessionEnd();
  EXPECT_FALSE(NetSessionIsActive());

  // The quit sequence on a client: its players say farewell, then the group ends.
  NetSession& other = NewSession();
  ASSERT_TRUE(other.Host(port_));
  ASSERT_TRUE(NetSessionJoin(OwnedStr("127.0.0.1").s, port_));
  const int32_t joined = NetSessionCreatePlayer(name.s);
  ASSERT_NE(joined, 0);
  NetSessionRecordRelease();
  EXPECT_EQ(NetSessionRecord(), nullptr);
  EXPECT_TRUE(Eventually([&] { return other.GetLeftPlayer() == joined; }));
  other.End();
  EXPECT_EQ(SockStartupCount(), base);
}
