// Peers that break the protocol, on both sides of a group: raw clients against a host, and a
// raw host against a client. Whatever they send, the group keeps serving everybody else.
#include <gtest/gtest.h>

#include <array>

#include "net/session_commands.h"
#include "system/debug_log.h"
#include "tests/net/group_fixture.h"
#include "tests/support/owned_str.h"
#include "tests/support/temp_dir.h"

namespace {

std::string Header(uint8_t type, uint16_t length, uint16_t receiver, uint16_t sender) {
  uint8_t bytes[kNetHeaderSize];
  EncodeNetHeader(NetHeader{type, length, receiver, sender}, bytes);
  return std::string(reinterpret_cast<char*>(bytes), kNetHeaderSize);
}

std::string JoinBytes(const std::string& name) {
  NetJoinPayload join;
  join.name = name;
  const std::vector<uint8_t> frame = EncodeNetFrame(kNetJoin, 0, 0, EncodeJoinPayload(join));
  return std::string(frame.begin(), frame.end());
}

std::string Garbage(size_t size) {
  std::string bytes(size, '\0');
  uint32_t seed = 12345;
  for (char& byte : bytes) {
    seed = seed * 1103515245u + 12345u;
    byte = char(seed >> 24);
  }
  return bytes;
}

// A host with player "a" (101) and a client with player "b"; every step checks that the
// client's count still matches what the host holds.
class HostilePeers : public GroupTest {
 protected:
  void SetUp() override {
    GroupTest::SetUp();
    if (IsSkipped()) return;
    ASSERT_EQ(HostWithPlayers(host(), {"a"}), std::vector<uint16_t>{101});
    ASSERT_TRUE(client().Join("127.0.0.1", port_));
    ASSERT_NE(b_ = client().CreatePlayer("b"), 0);
    expected_ = 2;
  }

  NetSession& host() { return sessions_.size() > 0 ? *sessions_[0] : NewSession(); }
  NetSession& client() { return sessions_.size() > 1 ? *sessions_[1] : NewSession(); }

  void ExpectCountStillRight() { EXPECT_EQ(client().CountPlayers(), expected_); }

  // A text from the host's player reaches the client's, and back.
  void ExpectMessagesFlow() {
    ASSERT_TRUE(host().SendMessage(101, b_, "ping"));
    ASSERT_TRUE(client().SendMessage(b_, 101, "pong"));
    std::string atClient, atHost;
    EXPECT_TRUE(Eventually([&] {
      if (atClient.empty()) atClient = client().GetMessage(b_);
      if (atHost.empty()) atHost = host().GetMessage(101);
      return !atClient.empty() && !atHost.empty();
    }));
    EXPECT_EQ(atClient, "ping");
    EXPECT_EQ(atHost, "pong");
  }

  // Joins a player from the raw peer and counts it; its id, 0 when the host did not answer.
  uint16_t Joined(RawPeer& peer, const std::string& name) {
    const uint16_t id = peer.SendJoin(name) ? peer.ReadJoinAnswer() : 0;
    if (id != 0) ++expected_;
    return id;
  }

  // Peers from the address that each join one player and then neither send nor read; how many
  // joined. Each joins before the next connects: the host accepts one client per cycle.
  int JoinedFrom(const char* address, int peers, std::vector<RawPeer>& crowd) {
    int joined = 0;
    for (int i = 0; i < peers; ++i) {
      crowd.emplace_back(port_, 0, address);
      if (crowd.back().SendJoin("crowd") && crowd.back().ReadJoinAnswer() != 0) ++joined;
    }
    expected_ += uint16_t(joined);
    return joined;
  }

  uint16_t NextLeftPlayer() {
    uint16_t id = 0;
    Eventually([&] { return (id = host().GetLeftPlayer()) != 0; });
    return id;
  }

  uint16_t b_ = 0;
  uint16_t expected_ = 0;
};

}  // namespace

TEST_F(HostilePeers, FramesInPiecesAndOversizedFramesKeepTheStreamInStep) {
  RawPeer split(port_);
  const std::string join = JoinBytes("split");
  ASSERT_TRUE(split.Send(join.substr(0, 3)));
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  ASSERT_TRUE(split.Send(join.substr(3)));
  EXPECT_NE(split.ReadJoinAnswer(), 0);
  ++expected_;
  ExpectCountStillRight();

  // Exactly the announced 65535 bytes are skipped; the join behind them is served.
  RawPeer oversized(port_);
  ASSERT_TRUE(oversized.Send(Header(kNetText, 0xFFFF, 101, 0) + std::string(0xFFFF, 'x') +
                             JoinBytes("after")));
  EXPECT_NE(oversized.ReadJoinAnswer(), 0);
  ++expected_;
  ExpectCountStillRight();

  // 70,000 bytes behind the header leave a frame that never completes: that peer is dropped.
  RawPeer overlong(port_);
  const uint16_t overlongId = Joined(overlong, "overlong");
  ASSERT_NE(overlongId, 0);
  ASSERT_TRUE(overlong.Send(Header(kNetText, 0xFFFF, 101, 0) + std::string(70000, 'x')));
  EXPECT_TRUE(overlong.ClosedByPeerWithin(3000));
  EXPECT_EQ(NextLeftPlayer(), overlongId);
  --expected_;
  ExpectCountStillRight();

  RawPeer garbage(port_);
  ASSERT_TRUE(garbage.Send(Garbage(5000)));
  garbage.Close();
  ExpectCountStillRight();
}

TEST_F(HostilePeers, MalformedRequestsAreDroppedAndNamesAreCut) {
  RawPeer peer(port_);
  ASSERT_TRUE(peer.SendFrame(kNetJoin, 0, 0, std::string(20, 'j')));
  ASSERT_TRUE(peer.SendFrame(kNetIdByIndex, 0, 101, ""));
  ASSERT_TRUE(peer.SendFrame(150, 0, 101, "unknown"));
  NetJoinPayload visible;
  const std::string unterminated =
      EncodeJoinPayload(visible).substr(0, 8) + std::string(kNetNameSize, 'n');
  ASSERT_TRUE(peer.SendFrame(kNetJoin, 0, 0, unterminated));
  const uint16_t id = peer.ReadJoinAnswer();  // the only answer: the well-formed join's
  ASSERT_NE(id, 0);
  ++expected_;
  ExpectCountStillRight();
  EXPECT_EQ(client().GetPlayerName(id), std::string(127, 'n'));
}

TEST_F(HostilePeers, AClientCannotSpeakForTheServerSide) {
  RawPeer peer(port_);
  const uint16_t forger = Joined(peer, "forger");
  ASSERT_NE(forger, 0);
  // Join answers and query answers in the server's name, aimed at every id in use.
  for (uint16_t target : {uint16_t(101), uint16_t(102), uint16_t(103), b_, kNetEverybody}) {
    ASSERT_TRUE(peer.SendFrame(kNetJoinAccepted, target, 0, ""));
    ASSERT_TRUE(peer.SendFrame(kNetCountPlayers, target, 0, EncodeU16Payload(999)));
    ASSERT_TRUE(peer.SendFrame(kNetNameById, target, 0, "forged"));
  }
  EXPECT_EQ(host().CountPlayers(), expected_);
  ExpectCountStillRight();
  EXPECT_EQ(host().GetPlayerName(forger), "forger");
  EXPECT_EQ(host().CreatePlayer("next"), forger + 2);  // the host's query player came between
}

TEST_F(HostilePeers, AFloodOfJoinsIsServedAndLeavesWithItsPeer) {
  RawPeer flood(port_);
  std::string joins;
  for (int i = 0; i < 50; ++i) joins += JoinBytes("flood" + std::to_string(i));
  ASSERT_TRUE(flood.Send(joins));
  for (int i = 0; i < 50; ++i) ASSERT_NE(flood.ReadJoinAnswer(), 0) << i;
  expected_ += 50;
  ExpectCountStillRight();
  flood.Close();
  expected_ -= 50;
  EXPECT_TRUE(Eventually([&] { return client().CountPlayers() == expected_; }));

  // A join and a hang-up read in one cycle leave no player behind.
  for (int i = 0; i < 20; ++i) {
    RawPeer hitAndRun(port_);
    ASSERT_TRUE(hitAndRun.SendJoin("gone"));
  }
  EXPECT_TRUE(Eventually([&] { return client().CountPlayers() == expected_; }));
}

TEST_F(HostilePeers, AStalledPeerHoldsUpNobodyAndIsDropped) {
  RawPeer stalled(port_);
  const uint16_t stalledId = Joined(stalled, "stalled");
  ASSERT_NE(stalledId, 0);
  ASSERT_TRUE(stalled.Send(Header(kNetText, 10, 101, stalledId) + "abc"));
  ExpectMessagesFlow();
  EXPECT_TRUE(stalled.ClosedByPeerWithin(3000));
  EXPECT_EQ(NextLeftPlayer(), stalledId);
  --expected_;
  ExpectCountStillRight();
}

TEST_F(HostilePeers, APeerThatStopsReadingIsDroppedWhileOthersReceive) {
  RawPeer deaf(port_, 4096);
  const uint16_t deafId = Joined(deaf, "deaf");
  ASSERT_NE(deafId, 0);
  // Broadcasts pile up until the system's buffers for the deaf peer are full and its output
  // waits past the send deadline; the client keeps receiving all along.
  const std::string text(1000, 'w');
  uint16_t left = 0;
  for (int round = 0; round < 100 && left == 0; ++round) {
    for (int i = 0; i < 100; ++i) ASSERT_TRUE(host().SendMessage(101, 0, text));
    int received = 0;
    ASSERT_TRUE(Eventually([&] {
      while (client().GetMessage(b_) == text) ++received;
      return received == 100;
    }));
    left = host().GetLeftPlayer();
  }
  if (left == 0) left = NextLeftPlayer();
  EXPECT_EQ(left, deafId);
  --expected_;
  ExpectCountStillRight();
  ExpectMessagesFlow();
}

TEST_F(HostilePeers, OneAddressHoldsAQuarterOfTheTableAndTheRestIsTurnedAway) {
  // Joined peers outlive the join limit: from one address they may hold a quarter of the rows.
  std::vector<RawPeer> crowd;
  const int joined = JoinedFrom("127.0.0.2", 130, crowd);
  EXPECT_EQ(joined, 32);
  NetSession& late = NewSession();
  ASSERT_TRUE(late.Join("127.0.0.1", port_));
  EXPECT_NE(late.CreatePlayer("late"), 0);
  ++expected_;
  // The host's own program, the client and the late one hold three more of the 128 rows.
  int others = 0;
  for (const char* address : {"127.0.0.3", "127.0.0.4", "127.0.0.5", "127.0.0.6"}) {
    others += JoinedFrom(address, 32, crowd);
  }
  EXPECT_EQ(others, 128 - 3 - joined);
  ExpectCountStillRight();
  crowd.clear();
  expected_ -= uint16_t(joined + others);
  EXPECT_TRUE(Eventually([&] { return client().CountPlayers() == expected_; }));
}

TEST_F(HostilePeers, IdleConnectionsKeepNewPlayersOutOnlyUntilTheJoinLimit) {
  std::vector<RawPeer> idle;
  for (int i = 0; i < 200; ++i) {
    idle.emplace_back(port_, 0, ("127.0.0." + std::to_string(2 + i % 8)).c_str());
    // Paced so the listener's short queue never overflows into the system's 1 s connect retry.
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  NetSession& late = NewSession();
  EXPECT_TRUE(Eventually([&] { return late.Join("127.0.0.1", port_); }, 5000));
  EXPECT_NE(late.CreatePlayer("late"), 0);
  ++expected_;
  ExpectCountStillRight();
}

TEST_F(HostilePeers, AClientSpeaksOnlyForThePlayersItJoined) {
  TempDir logFolder(true);
  RawPeer forger(port_);
  const uint16_t own = Joined(forger, "forger");
  ASSERT_NE(own, 0);
  std::string forged = Header(kNetText, 6, b_, 101) + "forged";
  for (uint16_t id = 101; id <= 400; ++id) {
    if (id != own) forged += Header(kNetDeletePlayer, 0, 0, id);
  }
  // The answer to its own hello shows that the host has served everything before it.
  ASSERT_TRUE(forger.Send(forged + Header(kNetHello, 0, 0, own)));
  ASSERT_TRUE(forger.ReadFrame());
  ExpectMessagesFlow();  // the first text the client's player gets is the host's
  ExpectCountStillRight();
  EXPECT_NE(TempDir::ReadBytes(ErrorLogPath()).find("player 101, which that connection did not"),
            std::string::npos);
}

TEST_F(HostilePeers, IdsOfDepartedPlayersComeBackAfterTheWholeRange) {
  constexpr int kBatch = 250;
  constexpr int kCycles = 70000;
  RawPeer churn(port_);
  std::string joins;
  for (int i = 0; i < kBatch; ++i) joins += JoinBytes("churn");
  for (int done = 0; done < kCycles; done += kBatch) {
    ASSERT_TRUE(churn.Send(joins));
    std::string deletes;
    for (int i = 0; i < kBatch; ++i) {
      const uint16_t id = churn.ReadJoinAnswer();
      ASSERT_NE(id, 0) << done + i;
      deletes += Header(kNetDeletePlayer, 0, 0, id);
    }
    ASSERT_TRUE(churn.Send(deletes));
  }
  EXPECT_TRUE(Eventually([&] { return client().CountPlayers() == expected_; }));
  EXPECT_NE(client().CreatePlayer("after the churn"), 0);
}

// A raw host on 127.0.0.1 for the client side of the protocol.
class FakeHost : public GroupTest {
 protected:
  void SetUp() override {
    GroupTest::SetUp();
    if (IsSkipped()) return;
    listener_ = RawLoopbackListener(4, fakePort_);
    ASSERT_GE(listener_, 0);
  }
  void TearDown() override {
    done_ = true;
    if (script_.joinable()) script_.join();
    if (listener_ >= 0) close(listener_);
    GroupTest::TearDown();
  }

  std::optional<RawPeer> Accept() {
    pollfd entry{listener_, POLLIN, 0};
    if (poll(&entry, 1, 3000) <= 0) return std::nullopt;
    const int fd = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0) return std::nullopt;
    return RawPeer::Adopt(fd);
  }

  // Plays the host's part of a join: answers the query player's join (after the given extra
  // bytes) and its hello. Returns the connection for more.
  static bool AnswerJoin(RawPeer& peer, const std::string& beforeAnswer) {
    const std::optional<NetMessage> join = peer.ReadFrame();
    if (!join || join->header.type != kNetJoin) return false;
    const std::vector<uint8_t> accepted = EncodeNetFrame(kNetJoinAccepted, 101, 0, "");
    if (!peer.Send(beforeAnswer + std::string(accepted.begin(), accepted.end()))) return false;
    const std::optional<NetMessage> hello = peer.ReadFrame();
    if (!hello || hello->header.type != kNetHello || hello->header.sender != 101) return false;
    return peer.SendFrame(kNetHello, 101, 0, EncodeU16Payload(1));
  }

  // Holds the fake host's connection open until the test is over.
  void WaitForTheEnd() {
    while (!done_) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }

  int listener_ = -1;
  uint16_t fakePort_ = 0;
  std::thread script_;
  std::atomic<bool> done_{false};
};

TEST_F(FakeHost, BadIdsAndOversizedFramesFromTheHostAreSkipped) {
  std::atomic<bool> played{false};
  script_ = std::thread([&] {
    std::optional<RawPeer> peer = Accept();
    if (!peer) return;
    const std::string before = Header(kNetJoinAccepted, 0, 0xFFFF, 0) +
                               Header(kNetNameById, 0xFFFF, 101, 0) + std::string(0xFFFF, 'o');
    played = AnswerJoin(*peer, before);
    peer->ClosedByPeerWithin(3000);
  });
  NetSession& client = NewSession();
  EXPECT_TRUE(client.Join("127.0.0.1", fakePort_));
  client.End();
  script_.join();
  EXPECT_TRUE(played);
}

TEST_F(FakeHost, AQueryTakesOnlyAnAnswerOfItsOwnType) {
  script_ = std::thread([&] {
    std::optional<RawPeer> peer = Accept();
    if (!peer || !AnswerJoin(*peer, "")) return;
    const std::optional<NetMessage> request = peer->ReadFrame();
    if (!request || request->header.type != kNetNameById) return;
    // A count answer that comes too late for its own query arrives first.
    peer->SendFrame(kNetCountPlayers, 101, 0, EncodeU16Payload(3));
    peer->SendFrame(kNetNameById, 101, 0, "bob");
    WaitForTheEnd();
  });
  NetSession& client = NewSession();
  ASSERT_TRUE(client.Join("127.0.0.1", fakePort_));
  EXPECT_EQ(client.GetPlayerName(102), "bob");
}

TEST_F(FakeHost, AHostThatNeverAnswersFailsTheJoin) {
  script_ = std::thread([&] {
    std::optional<RawPeer> peer = Accept();
    if (peer) peer->ClosedByPeerWithin(3000);
  });
  NetSession& client = NewSession();
  EXPECT_FALSE(client.Join("127.0.0.1", fakePort_));
  EXPECT_FALSE(client.IsActive());
}

TEST_F(FakeHost, AHostLostInMidFrameEndsTheGroup) {
  const struct {
    const char* name;
    bool closeAfter;
  } cases[] = {{"close", true}, {"stall", false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::atomic<bool> caseDone{false};
    script_ = std::thread([&] {
      std::optional<RawPeer> peer = Accept();
      if (!peer || !AnswerJoin(*peer, "")) return;
      peer->Send(Header(kNetText, 10, 101, 0) + "abc");
      if (c.closeAfter) peer->Close();
      while (!caseDone && !done_) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    });
    NetSession& client = NewSession();
    ASSERT_TRUE(client.Join("127.0.0.1", fakePort_));
    EXPECT_TRUE(Eventually([&] { return !client.IsActive(); }));
    caseDone = true;
    script_.join();
  }
}

TEST_F(FakeHost, EndReturnsPromptlyWhileTheHostStallsAtDefaultDeadlines) {
  script_ = std::thread([&] {
    std::optional<RawPeer> peer = Accept();
    if (!peer || !AnswerJoin(*peer, "")) return;
    peer->Send(Header(kNetText, 10, 101, 0) + "abc");  // then neither reads nor sends
    WaitForTheEnd();
  });
  NetSession& client = NewSession(NetTuning());
  ASSERT_TRUE(client.Join("127.0.0.1", fakePort_));
  const std::string text(1000, 'f');
  for (int i = 0; i < 100; ++i) client.SendMessage(101, 0, text);
  const auto start = std::chrono::steady_clock::now();
  client.End();
  EXPECT_LT(MillisecondsSince(start), 1000.0);
}

// The quit sequence's release of the group: the host hears a delete-player frame for each local
// player, the query player first, before the connection closes.
TEST_F(FakeHost, TheQuitSequenceSaysFarewellForEveryLocalPlayer) {
  std::vector<std::array<int, 4>> farewells;
  script_ = std::thread([&] {
    std::optional<RawPeer> peer = Accept();
    if (!peer || !AnswerJoin(*peer, "")) return;
    const std::optional<NetMessage> join = peer->ReadFrame();
    if (!join || join->header.type != kNetJoin) return;
    peer->SendFrame(kNetJoinAccepted, 102, 0, "");
    while (const std::optional<NetMessage> frame = peer->ReadFrame(3000)) {
      const NetHeader& h = frame->header;
      farewells.push_back({h.type, h.length, h.receiver, h.sender});
    }
  });
  ASSERT_TRUE(NetSessionRecordCreate(ShortTuning()));
  EXPECT_TRUE(NetSessionJoin(OwnedStr("127.0.0.1").s, fakePort_));
  EXPECT_EQ(NetSessionCreatePlayer(OwnedStr("player").s), 102);
  NetSessionRecordRelease();
  script_.join();
  EXPECT_EQ(farewells, (std::vector<std::array<int, 4>>{{kNetDeletePlayer, 0, 0, 101},
                                                        {kNetDeletePlayer, 0, 0, 102}}));
}
