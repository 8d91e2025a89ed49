// Groups under bursts of full-size texts: senders never wait on their own host, nobody is dropped
// while it keeps reading, and every text arrives once and in order.
#include <gtest/gtest.h>
#include <malloc.h>

#include <algorithm>
#include <thread>

#include "tests/net/group_fixture.h"

namespace {

constexpr size_t kTextSize = 1000;

std::string NumberedText(int number) {
  std::string text = std::to_string(number);
  text.resize(kTextSize, '.');
  return text;
}

// Takes one local player's texts on its own thread and checks that they come numbered 0, 1, ...
class OrderedReader {
 public:
  OrderedReader(NetSession& session, uint16_t player, int expected)
      : thread_([this, &session, player, expected] {
          const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
          while (received_ < expected && std::chrono::steady_clock::now() < deadline) {
            const std::string text = session.GetMessage(player);
            if (text.empty()) {
              std::this_thread::sleep_for(std::chrono::milliseconds(1));
            } else if (text == NumberedText(received_)) {
              ++received_;
            } else {
              break;
            }
          }
        }) {}
  // The number of texts that came in order.
  int Join() {
    thread_.join();
    return received_;
  }

 private:
  int received_ = 0;
  std::thread thread_;
};

// Bytes the process has taken from the heap now (0 where a sanitizer keeps its own heap).
size_t HeapInUse() {
  const struct mallinfo2 info = mallinfo2();
  return info.uordblks + info.hblkhd;
}

class GroupBurstTest : public GroupTest {
 protected:
  // Senders held back by the host wait in their sockets: their own send deadline must outlast
  // the host's stall limit.
  static NetTuning PatientTuning() {
    NetTuning tuning = ShortTuning();
    tuning.sendDeadlineMs = 5000;
    return tuning;
  }

  // Reads the host player's texts until the count is reached, tracking the heap's peak.
  int ReadAtHost(NetSession& host, uint16_t player, int expected, size_t& peakHeap) {
    int received = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (received < expected && std::chrono::steady_clock::now() < deadline) {
      peakHeap = std::max(peakHeap, HeapInUse());
      if (host.GetMessage(player).empty()) {
        std::this_thread::sleep_for(std::chrono::microseconds(200));
      } else {
        ++received;
      }
    }
    return received;
  }
};

}  // namespace

TEST_F(GroupTest, AHostPlayerBurstsToItselfAndAClientWithoutStalling) {
  constexpr int kTexts = 20000;
  NetSession& host = NewSession();
  const std::vector<uint16_t> ids = HostWithPlayers(host, {"self"});
  ASSERT_EQ(ids.size(), 1u);
  NetSession& client = NewSession();
  ASSERT_TRUE(client.Join("127.0.0.1", port_));
  const uint16_t remote = client.CreatePlayer("remote");
  ASSERT_NE(remote, 0);

  OrderedReader atClient(client, remote, kTexts);
  int atHost = 0;
  int failedSends = 0;
  const auto takeOwn = [&] {
    for (std::string text; !(text = host.GetMessage(ids[0])).empty();) {
      if (text == NumberedText(atHost)) ++atHost;
    }
  };
  for (int i = 0; i < kTexts; ++i) {
    failedSends += !host.SendMessage(ids[0], ids[0], NumberedText(i));
    failedSends += !host.SendMessage(ids[0], remote, NumberedText(i));
    takeOwn();
  }
  Eventually(
      [&] {
        takeOwn();
        return atHost == kTexts;
      },
      20000);
  EXPECT_EQ(failedSends, 0);
  EXPECT_EQ(atHost, kTexts);
  EXPECT_EQ(atClient.Join(), kTexts);
  EXPECT_TRUE(host.IsActive());
  EXPECT_TRUE(client.IsActive());
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
  const size_t heapAtStart = HeapInUse();
  std::atomic<int> failedSends{0};
  std::vector<std::thread> bursts;
  for (auto [session, player] : senders) {
    bursts.emplace_back([&, session, player] {
      for (int i = 0; i < kTextsEach; ++i) {
        failedSends += !session->SendMessage(player, ids[0], NumberedText(i));
      }
    });
  }
  size_t peakHeap = heapAtStart;
  EXPECT_EQ(ReadAtHost(host, ids[0], kClients * kTextsEach, peakHeap), kClients * kTextsEach);
  for (std::thread& burst : bursts) burst.join();
  EXPECT_EQ(failedSends, 0);
  EXPECT_EQ(host.GetLeftPlayer(), 0);
  EXPECT_LT(peakHeap - heapAtStart, size_t(64) << 20);
}

TEST_F(GroupBurstTest, OnlyAClientThatStopsReadingIsDroppedFromABroadcastBurst) {
  constexpr int kTextsEach = 5000;
  for (const bool withDeafPeer : {false, true}) {
    SCOPED_TRACE(withDeafPeer ? "with a peer that never reads" : "every peer reads");
    NetTuning hostTuning = PatientTuning();
    hostTuning.sendDeadlineMs = 1000;  // the stall limit for the deaf peer
    NetSession& host = NewSession(hostTuning);
    const std::vector<uint16_t> ids = HostWithPlayers(host, {"listener"});
    ASSERT_EQ(ids.size(), 1u);
    NetSession& client = NewSession(PatientTuning());
    ASSERT_TRUE(client.Join("127.0.0.1", port_));
    const uint16_t first = client.CreatePlayer("first");
    const uint16_t second = client.CreatePlayer("second");
    ASSERT_NE(second, 0);
    std::optional<RawPeer> deaf;
    uint16_t deafId = 0;
    if (withDeafPeer) {
      deaf.emplace(port_, 4096);
      ASSERT_TRUE(deaf->SendJoin("deaf"));
      ASSERT_NE(deafId = deaf->ReadJoinAnswer(), 0);
    }
    const size_t heapAtStart = HeapInUse();
    OrderedReader atHost(host, ids[0], 2 * kTextsEach);
    int crossed = 0;  // each of the two players hears the other's broadcasts
    int failedSends = 0;
    const auto takeOwn = [&] {
      while (!client.GetMessage(first).empty()) ++crossed;
      while (!client.GetMessage(second).empty()) ++crossed;
    };
    for (int i = 0; i < 2 * kTextsEach; ++i) {
      failedSends += !client.SendMessage(i % 2 ? second : first, 0, NumberedText(i));
      takeOwn();
    }
    size_t peakHeap = heapAtStart;
    Eventually(
        [&] {
          peakHeap = std::max(peakHeap, HeapInUse());
          takeOwn();
          return crossed == 2 * kTextsEach;
        },
        20000);
    EXPECT_EQ(failedSends, 0);
    EXPECT_EQ(crossed, 2 * kTextsEach);
    EXPECT_EQ(atHost.Join(), 2 * kTextsEach);
    EXPECT_EQ(host.GetLeftPlayer(), deafId);
    EXPECT_EQ(host.GetLeftPlayer(), 0);
    EXPECT_LT(peakHeap - heapAtStart, size_t(64) << 20);
    host.End();
  }
}
