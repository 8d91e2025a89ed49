// Groups under bursts of full-size texts: senders never wait on their own host, nobody is dropped
// while it keeps reading, the heap stays bounded, and every text arrives once and in order.
#include <gtest/gtest.h>
#include <malloc.h>

#include <algorithm>
#include <thread>

#include "tests/net/group_fixture.h"

namespace {

std::string NumberedText(int number) {
  std::string text = std::to_string(number);
  text.resize(1000, '.');
  return text;
}

// Bytes the process has taken from the heap now (0 where a sanitizer keeps its own heap).
size_t HeapInUse() {
  const struct mallinfo2 info = mallinfo2();
  return info.uordblks + info.hblkhd;
}

// Takes local players' texts on its own thread until the count is reached, counting those
// numbered 0, 1, ... in order when asked to, and the heap's growth meanwhile.
class Reader {
 public:
  Reader(NetSession& session, std::vector<uint16_t> players, int expected, bool ordered)
      : heapAtStart_(HeapInUse()), thread_([=, this, &session] {
          const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
          for (size_t turn = 0; received_ < expected; ++turn) {
            if (std::chrono::steady_clock::now() > deadline) break;
            heapPeak_ = std::max(heapPeak_, HeapInUse());
            const std::string text = session.GetMessage(players[turn % players.size()]);
            if (text.empty()) std::this_thread::sleep_for(std::chrono::microseconds(100));
            if (text.empty() || (ordered && text != NumberedText(received_))) continue;
            ++received_;
          }
        }) {}
  int Join() {
    thread_.join();
    return received_;
  }
  size_t HeapGrowth() const { return heapPeak_ > heapAtStart_ ? heapPeak_ - heapAtStart_ : 0; }

 private:
  int received_ = 0;
  size_t heapAtStart_;
  size_t heapPeak_ = 0;
  std::thread thread_;
};

constexpr size_t kHeapBound = size_t(64) << 20;

class GroupBurstTest : public GroupTest {
 protected:
  // Senders held back by the host wait in their sockets: their own send deadline must outlast
  // the host's stall limit.
  static NetTuning PatientTuning() {
    NetTuning tuning = ShortTuning();
    tuning.sendDeadlineMs = 5000;
    return tuning;
  }
};

}  // namespace

TEST_F(GroupBurstTest, AHostPlayerBurstsToItselfAndAClientWithoutStalling) {
  constexpr int kTexts = 20000;
  NetSession& host = NewSession();
  const std::vector<uint16_t> ids = HostWithPlayers(host, {"self"});
  ASSERT_EQ(ids.size(), 1u);
  NetSession& client = NewSession();
  ASSERT_TRUE(client.Join("127.0.0.1", port_));
  const uint16_t remote = client.CreatePlayer("remote");
  ASSERT_NE(remote, 0);
  Reader atClient(client, {remote}, kTexts, true);
  Reader atHost(host, ids, kTexts, true);
  int failedSends = 0;
  for (int i = 0; i < kTexts; ++i) {
    failedSends += !host.SendMessage(ids[0], ids[0], NumberedText(i));
    failedSends += !host.SendMessage(ids[0], remote, NumberedText(i));
  }
  EXPECT_EQ(failedSends, 0);
  EXPECT_EQ(atHost.Join(), kTexts);
  EXPECT_EQ(atClient.Join(), kTexts);
  EXPECT_TRUE(host.IsActive() && client.IsActive());
}

TEST_F(GroupBurstTest, ClientsBurstingAtAHostPlayerWhoReadsAreNeverDropped) {
  constexpr int kClients = 4;
  constexpr int kTextsEach = 5000;
  NetSession& host = NewSession(PatientTuning());
  const std::vector<uint16_t> ids = HostWithPlayers(host, {"target"});
  ASSERT_EQ(ids.size(), 1u);
  std::vector<std::pair<NetSession*, uint16_t>> senders;
  for (int i = 0; i < kClients; ++i) {
    NetSession& client = NewSession(PatientTuning());
    ASSERT_TRUE(client.Join("127.0.0.1", port_));
    senders.emplace_back(&client, client.CreatePlayer("sender"));
    ASSERT_NE(senders.back().second, 0);
  }
  Reader atHost(host, ids, kClients * kTextsEach, false);
  std::atomic<int> failedSends{0};
  std::vector<std::thread> bursts;
  for (auto [session, player] : senders) {
    bursts.emplace_back([&, session, player] {
      for (int i = 0; i < kTextsEach; ++i) {
        failedSends += !session->SendMessage(player, ids[0], NumberedText(i));
      }
    });
  }
  for (std::thread& burst : bursts) burst.join();
  EXPECT_EQ(atHost.Join(), kClients * kTextsEach);
  EXPECT_EQ(failedSends, 0);
  EXPECT_EQ(host.GetLeftPlayer(), 0);
  EXPECT_LT(atHost.HeapGrowth(), kHeapBound);
}

TEST_F(GroupBurstTest, OnlyAClientThatStopsReadingIsDroppedFromABroadcastBurst) {
  constexpr int kTexts = 10000;
  for (const bool withDeafPeer : {false, true}) {
    SCOPED_TRACE(withDeafPeer ? "with a peer that never reads" : "every peer reads");
    NetTuning hostTuning = PatientTuning();
    hostTuning.sendDeadlineMs = 1000;  // the stall limit for the deaf peer
    NetSession& host = NewSession(hostTuning);
    const std::vector<uint16_t> ids = HostWithPlayers(host, {"listener"});
    ASSERT_EQ(ids.size(), 1u);
    NetSession& client = NewSession(PatientTuning());
    ASSERT_TRUE(client.Join("127.0.0.1", port_));
    // Two players of one client, each hearing the other's broadcasts.
    const std::vector<uint16_t> players = {client.CreatePlayer("first"),
                                           client.CreatePlayer("second")};
    ASSERT_NE(players[1], 0);
    std::optional<RawPeer> deaf;
    uint16_t deafId = 0;
    if (withDeafPeer) {
      deaf.emplace(port_, 4096);
      ASSERT_TRUE(deaf->SendJoin("deaf"));
      ASSERT_NE(deafId = deaf->ReadJoinAnswer(), 0);
    }
    Reader atHost(host, ids, kTexts, true);
    Reader atClient(client, players, kTexts, false);
    int failedSends = 0;
    for (int i = 0; i < kTexts; ++i) {
      failedSends += !client.SendMessage(players[i % 2], 0, NumberedText(i));
    }
    EXPECT_EQ(failedSends, 0);
    EXPECT_EQ(atHost.Join(), kTexts);
    EXPECT_EQ(atClient.Join(), kTexts);
    EXPECT_LT(atHost.HeapGrowth(), kHeapBound);
    EXPECT_EQ(host.GetLeftPlayer(), deafId);
    EXPECT_EQ(host.GetLeftPlayer(), 0);
    host.End();
  }
}

TEST_F(GroupBurstTest, AFloodHoldsAnotherPeersTextBackByAtMostAFewShares) {
  constexpr int kBound = 4 * int(kNetInboxShare);
  NetSession& host = NewSession();
  const std::vector<uint16_t> ids = HostWithPlayers(host, {"reader"});
  ASSERT_EQ(ids.size(), 1u);
  NetSession& flooder = NewSession(PatientTuning());
  NetSession& pinger = NewSession();
  ASSERT_TRUE(flooder.Join("127.0.0.1", port_) && pinger.Join("127.0.0.1", port_));
  const uint16_t flooding = flooder.CreatePlayer("flood");
  const uint16_t pinging = pinger.CreatePlayer("ping");
  ASSERT_TRUE(flooding && pinging);
  std::atomic<bool> flood{true};
  std::atomic<int> floodSent{0};
  std::atomic<bool> floodOver{false};
  std::thread floodThread([&] {
    while (flood && flooder.SendMessage(flooding, ids[0], NumberedText(floodSent))) ++floodSent;
    floodOver = true;
  });
  // The reader waits until the flood has filled its inbox, and then until far more of the flood
  // than the sockets hold has gone out after the ping.
  EXPECT_TRUE(Eventually([&] { return floodSent > 20000; }, 20000));
  EXPECT_TRUE(pinger.SendMessage(pinging, ids[0], "ping"));
  const int sentAtPing = floodSent;
  EXPECT_TRUE(Eventually([&] { return floodSent > sentAtPing + 20000; }, 20000));
  int floodTextsFirst = 0;
  bool pinged = false;
  while (!pinged && floodTextsFirst <= kBound) {
    const std::string text = host.GetMessage(ids[0]);
    if (text.empty() && floodOver) break;
    pinged = text == "ping";
    floodTextsFirst += !text.empty() && !pinged;
  }
  flood = false;
  floodThread.join();
  EXPECT_TRUE(pinged);
  EXPECT_LE(floodTextsFirst, kBound);
}
