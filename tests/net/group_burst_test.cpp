// Groups under bursts of full-size texts: senders never wait on their own host, nor long on a
// slow receiver; nobody is dropped while it keeps reading, the heap stays bounded, and every
// text arrives once and in order, or is counted and logged as dropped.
#include <gtest/gtest.h>
#include <malloc.h>

#include <algorithm>
#include <map>
#include <thread>

#include "tests/net/group_fixture.h"
#include "tests/support/peak_memory.h"
#include "tests/support/temp_dir.h"

namespace {

using Clock = std::chrono::steady_clock;

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

// Takes local players' texts on its own thread, paceUs apart, until the count is reached or, once
// Join was called, no text came for the grace it grants; counts those numbered 0, 1, ... in order
// when asked to, and the heap's growth meanwhile.
class Reader {
 public:
  Reader(NetSession& session, std::vector<uint16_t> players, int expected, bool ordered,
         int paceUs = 0)
      : heapAtStart_(HeapInUse()), thread_([=, this, &session] {
          for (size_t turn = 0; received_ < expected && !GraceOver(); ++turn) {
            heapPeak_ = std::max(heapPeak_, HeapInUse());
            const std::string text = session.GetMessage(players[turn % players.size()]);
            const int pauseUs = text.empty() ? 100 : paceUs;
            if (pauseUs > 0) std::this_thread::sleep_for(std::chrono::microseconds(pauseUs));
            if (text.empty() || (ordered && text != NumberedText(received_))) continue;
            ++received_;
            lastText_ = Clock::now().time_since_epoch().count();
          }
        }) {}
  int Join(int graceMs = 3000) {
    graceMs_ = graceMs;
    thread_.join();
    return received_;
  }
  size_t HeapGrowth() const { return heapPeak_ > heapAtStart_ ? heapPeak_ - heapAtStart_ : 0; }

 private:
  bool GraceOver() const {
    const int grace = graceMs_;
    const Clock::time_point last{Clock::duration(lastText_)};
    return grace >= 0 && Clock::now() - last > std::chrono::milliseconds(grace);
  }

  std::atomic<int> received_{0};
  size_t heapAtStart_;
  size_t heapPeak_ = 0;
  std::atomic<int> graceMs_{-1};
  std::atomic<Clock::rep> lastText_{Clock::now().time_since_epoch().count()};
  std::thread thread_;
};

// Sends texts 0, 1, ... from the players in turn, each to every receiver, until count went, a
// send fails or one takes longer than the limit; how many went, and the longest send.
struct Burst {
  int sent = 0;
  double longestMs = 0.0;
};
Burst SendTexts(NetSession& session, std::vector<uint16_t> from, std::vector<uint16_t> to,
                int count, double limitMs = 3000.0) {
  Burst burst;
  for (; burst.sent < count && burst.longestMs <= limitMs; ++burst.sent) {
    for (uint16_t receiver : to) {
      const auto start = Clock::now();
      if (!session.SendMessage(from[burst.sent % from.size()], receiver,
                               NumberedText(burst.sent))) {
        return burst;
      }
      burst.longestMs = std::max(burst.longestMs, MillisecondsSince(start));
    }
  }
  return burst;
}

constexpr size_t kHeapBound = size_t(64) << 20;

class GroupBurstTest : public GroupTest {
 protected:
  // Senders held back by the host wait in their sockets: their own send deadline must outlast
  // the host's hold limit.
  static NetTuning PatientTuning() {
    NetTuning tuning = ShortTuning();
    tuning.sendDeadlineMs = 5000;
    tuning.holdLimitMs = 2000;
    return tuning;
  }

  // Joins a client with one player.
  std::pair<NetSession*, uint16_t> JoinedPlayer(const char* name,
                                                const NetTuning& tuning = PatientTuning()) {
    NetSession& session = NewSession(tuning);
    const uint16_t id = session.Join("127.0.0.1", port_) ? session.CreatePlayer(name) : 0;
    return {&session, id};
  }

  // Fresh clients send textsEach texts each to the player at once; the number that went.
  int BurstFromClients(uint16_t target, int clients, int textsEach) {
    std::vector<std::pair<NetSession*, uint16_t>> senders;
    for (int i = 0; i < clients; ++i) senders.push_back(JoinedPlayer("sender"));
    std::atomic<int> sent{0};
    std::vector<std::thread> bursts;
    for (auto [session, player] : senders) {
      bursts.emplace_back([&, session, player] {
        sent += SendTexts(*session, {player}, {target}, textsEach).sent;
      });
    }
    for (std::thread& burst : bursts) burst.join();
    return sent;
  }
};

}  // namespace

TEST_F(GroupBurstTest, AHostPlayerBurstsToItselfAndAClientWithoutStalling) {
  constexpr int kTexts = 20000;
  NetSession& host = NewSession(PatientTuning());
  const std::vector<uint16_t> ids = HostWithPlayers(host, {"self"});
  ASSERT_EQ(ids.size(), 1u);
  auto [client, remote] = JoinedPlayer("remote");
  ASSERT_NE(remote, 0);
  Reader atClient(*client, {remote}, kTexts, true);
  Reader atHost(host, ids, kTexts, true);
  EXPECT_EQ(SendTexts(host, ids, {ids[0], remote}, kTexts).sent, kTexts);
  EXPECT_EQ(atHost.Join(), kTexts);
  EXPECT_EQ(atClient.Join(), kTexts);
  EXPECT_TRUE(host.IsActive() && client->IsActive());
}

TEST_F(GroupBurstTest, ClientsBurstingAtAHostPlayerWhoReadsAreNeverDropped) {
  constexpr int kClients = 4;
  constexpr int kTextsEach = 5000;
  NetSession& host = NewSession(PatientTuning());
  const std::vector<uint16_t> ids = HostWithPlayers(host, {"target"});
  ASSERT_EQ(ids.size(), 1u);
  Reader atHost(host, ids, kClients * kTextsEach, false);
  EXPECT_EQ(BurstFromClients(ids[0], kClients, kTextsEach), kClients * kTextsEach);
  EXPECT_EQ(atHost.Join(), kClients * kTextsEach);
  EXPECT_EQ(host.GetLeftPlayer(), 0);
  EXPECT_LT(atHost.HeapGrowth(), kHeapBound);
}

// A reader that keeps a steady pace, however slow against its senders, holds them back instead
// of losing texts: on the host, and on a client whose own other player is the sender.
TEST_F(GroupBurstTest, ReadersSlowerThanTheirSendersHoldThemBackAndLoseNothing) {
  constexpr int kTexts = 8000;  // far more than an inbox and a client's output ceiling hold
  NetSession& host = NewSession(PatientTuning());
  const std::vector<uint16_t> ids = HostWithPlayers(host, {"host reader"});
  ASSERT_EQ(ids.size(), 1u);
  auto [client, clientReader] = JoinedPlayer("client reader");
  const uint16_t clientSender = client->CreatePlayer("client sender");
  ASSERT_TRUE(clientReader && clientSender);
  for (const bool atHost : {true, false}) {
    SCOPED_TRACE(atHost ? "the host's player reads" : "a client's player reads");
    NetSession& session = atHost ? host : *client;
    const uint16_t reader = atHost ? ids[0] : clientReader;
    Reader slow(session, {reader}, kTexts, false, 200);
    EXPECT_EQ(atHost ? BurstFromClients(reader, 2, kTexts / 2)
                     : SendTexts(*client, {clientSender}, {reader}, kTexts).sent,
              kTexts);
    EXPECT_EQ(slow.Join(), kTexts);
    EXPECT_EQ(session.DroppedTexts(), 0u);
  }
  EXPECT_EQ(host.GetLeftPlayer(), 0);
}

// The debug log's last word on the lost texts, written on the way out, is their whole number.
TEST_F(GroupBurstTest, AReaderThatFallsFarBehindLosesTextsCountedAndLogged) {
  constexpr int kTexts = 2 * 4000;
  constexpr uint64_t kLost = kTexts - kNetInboxLimit;
  TempDir logFolder(true);
  NetSession& host = NewSession(PatientTuning());
  const std::vector<uint16_t> ids = HostWithPlayers(host, {"absent"});
  ASSERT_EQ(ids.size(), 1u);
  EXPECT_EQ(BurstFromClients(ids[0], 2, kTexts / 2), kTexts);
  // Once the reader has kept its senders waiting for half the hold limit, every text that does
  // not fit its inbox is dropped.
  EXPECT_TRUE(Eventually([&] { return host.DroppedTexts() == kLost; }, 5000));
  host.End();
  const std::string log = TempDir::ReadBytes(logFolder.Child("ErrorLog.txt"));
  const size_t total = log.rfind(" texts dropped in all");
  ASSERT_NE(total, std::string::npos);
  const size_t number = log.rfind(' ', total - 1) + 1;
  EXPECT_EQ(log.substr(number, total - number), std::to_string(kLost));
  Reader late(host, ids, kTexts, false);
  EXPECT_EQ(late.Join(1000), int(kNetInboxLimit));
  EXPECT_EQ(host.GetLeftPlayer(), 0);
}

TEST_F(GroupBurstTest, ASlowReaderIsDroppedAndHoldsNoSenderPastTheHoldLimit) {
  constexpr int kTexts = 40000;
  for (const bool hostSends : {true, false}) {
    SCOPED_TRACE(hostSends ? "the host's player broadcasts" : "a client's player broadcasts");
    // A receiver past the mark has to take half of it within the hold limit: here 128 KB a
    // second, far more than the slow reader's 50.
    NetTuning tuning = PatientTuning();
    tuning.relayHighWaterBytes = 256 * 1024;
    tuning.holdLimitMs = 1000;
    NetSession& host = NewSession(tuning);
    const std::vector<uint16_t> ids = HostWithPlayers(host, {"host"});
    ASSERT_EQ(ids.size(), 1u);
    auto [fast, fastId] = JoinedPlayer("fast");
    auto [other, otherId] = JoinedPlayer("other");
    ASSERT_TRUE(fastId && otherId);
    RawPeer slow(port_, 4096);
    ASSERT_TRUE(slow.SendJoin("slow"));
    const uint16_t slowId = slow.ReadJoinAnswer();
    ASSERT_NE(slowId, 0);
    // About 50 KB a second: never long without progress, far slower than the broadcast.
    std::atomic<bool> done{false};
    std::thread slowReading([&] {
      while (!done && slow.ReadFrame(3000)) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
      }
    });
    NetSession& sender = hostSends ? host : *other;
    const uint16_t senderId = hostSends ? ids[0] : otherId;
    NetSession& third = hostSends ? *other : host;
    Reader atFast(*fast, {fastId}, kTexts, false);
    Reader atThird(third, {hostSends ? otherId : ids[0]}, kTexts, false);
    const double holdBound = tuning.holdLimitMs + 1000.0;
    const Burst burst = SendTexts(sender, {senderId}, {0}, kTexts, holdBound);
    EXPECT_EQ(burst.sent, kTexts);
    EXPECT_LT(burst.longestMs, holdBound);
    // A burst cut short ends the group at once, rather than after its backlog has trickled out.
    if (burst.sent < kTexts) host.End();
    EXPECT_EQ(atFast.Join() + int(fast->DroppedTexts()), kTexts);
    EXPECT_EQ(atThird.Join() + int(third.DroppedTexts()), kTexts);
    EXPECT_TRUE(host.IsActive() && fast->IsActive() && other->IsActive());
    EXPECT_EQ(host.GetLeftPlayer(), slowId);
    EXPECT_EQ(host.GetLeftPlayer(), 0);
    done = true;
    slowReading.join();
    host.End();
  }
}

TEST_F(GroupBurstTest, OnlyAClientThatStopsReadingIsDroppedFromABroadcastBurst) {
  constexpr int kTexts = 10000;
  for (const bool withDeafPeer : {false, true}) {
    SCOPED_TRACE(withDeafPeer ? "with a peer that never reads" : "every peer reads");
    NetSession& host = NewSession(PatientTuning());
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
    EXPECT_EQ(SendTexts(client, players, {0}, kTexts).sent, kTexts);
    EXPECT_EQ(atHost.Join(), kTexts);
    EXPECT_EQ(atClient.Join(), kTexts);
    EXPECT_LT(atHost.HeapGrowth(), kHeapBound);
    EXPECT_EQ(host.GetLeftPlayer(), deafId);
    EXPECT_EQ(host.GetLeftPlayer(), 0);
    host.End();
  }
}

// One broadcast is copied to every visible player. A peer holding many players makes each of
// its broadcasts that many copies; the host builds no more than one frame's copies at a time,
// and a client whose copies pass the ceiling is dropped at once.
TEST_F(GroupBurstTest, BroadcastsToPeersWithManyPlayersNeverPileUpPastTheCeiling) {
  NetTuning tuning = ShortTuning();
  tuning.outputCeilingBytes = 256 * 1024;  // below one broadcast's copies for 256 players
  tuning.holdLimitMs = tuning.sendDeadlineMs = 30000;  // only the ceiling drops them in time
  NetSession& host = NewSession(tuning);
  const std::vector<uint16_t> ids = HostWithPlayers(host, {"host"});
  ASSERT_EQ(ids.size(), 1u);
  auto [client, clientId] = JoinedPlayer("client");
  ASSERT_NE(clientId, 0);
  std::vector<RawPeer> crowds;
  std::vector<std::string> broadcasts;
  for (int peer = 0; peer < 2; ++peer) {
    RawPeer& crowd = crowds.emplace_back(port_);
    for (size_t i = 0; i < kNetPlayersPerClient; ++i) ASSERT_TRUE(crowd.SendJoin("crowd"));
    uint16_t id = 0;
    for (size_t i = 0; i < kNetPlayersPerClient; ++i) ASSERT_NE(id = crowd.ReadJoinAnswer(), 0);
    const std::vector<uint8_t> frame = EncodeNetFrame(kNetText, kNetEverybody, id, NumberedText(0));
    std::string& bytes = broadcasts.emplace_back();
    for (size_t i = 0; i < kNetPlayersPerClient; ++i) bytes.append(frame.begin(), frame.end());
  }
  const int64_t growth = PeakMemoryGrowth([&] {
    for (size_t peer = 0; peer < crowds.size(); ++peer) {
      ASSERT_TRUE(crowds[peer].Send(broadcasts[peer]));
    }
    for (RawPeer& crowd : crowds) EXPECT_TRUE(crowd.ClosedByPeerWithin(2000));
  });
  EXPECT_LT(growth, int64_t(32) << 20);
  ASSERT_TRUE(host.SendMessage(ids[0], clientId, "ping"));
  EXPECT_TRUE(Eventually([&] { return client->GetMessage(clientId) == "ping"; }));
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

// A burst at one player never holds the program's other players, nor its join and query answers,
// long behind that player's reader: on a client, whose connection brings them all, and on the
// host. Texts that fit behind a full inbox hold nothing back; a flood past them holds a client's
// connection back only while the reader takes half the high water mark, with little ahead. The
// host's own flood, held back while its reader takes that much, holds back none of its queries.
TEST_F(GroupBurstTest, AnswersAndOtherPlayersTextsComeWithinASecondBesideAFullInbox) {
  struct Case {
    const char* name;
    bool onHost;
    int texts;   // at the slow player, as fast as they go
    int paceMs;  // the slow player's reader takes a text, then pauses this long
    bool hostFloods = false;  // the host's own player floods, not another client's
  };
  const Case cases[] = {
      {"a client, a burst that fits behind the inbox", false, int(kNetInboxLimit) + 150, 20},
      {"a client, a flood", false, int(kNetInboxLimit) + 2000, 1},
      {"the host, a flood", true, int(kNetInboxLimit) + 2000, 1},
      {"the host, its own flood held back", true, 1 << 30, 12, true},
  };
  NetTuning tuning = PatientTuning();
  tuning.relayHighWaterBytes = kNetHighWaterBytes;
  tuning.holdLimitMs = 6000;  // a connection held until the reader is given up on would show
  tuning.sendDeadlineMs = 8000;
  tuning.answerPasses = NetTuning().answerPasses;  // the flood's own count waits behind it
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    NetSession& host = NewSession(tuning);
    const std::vector<uint16_t> hostIds = HostWithPlayers(host, {"host"});
    auto [client, clientId] = JoinedPlayer("client", tuning);
    auto [flooder, flooderId] = JoinedPlayer("flood", tuning);
    ASSERT_TRUE(hostIds.size() == 1 && clientId && flooderId);
    NetSession& program = c.onHost ? host : *client;
    const uint16_t slow = program.CreatePlayer("slow"), other = program.CreatePlayer("other");
    ASSERT_TRUE(slow && other);
    std::atomic<bool> reading{true}, flooding{true};
    std::thread slowReader([&] {
      while (reading) {
        const bool took = !program.GetMessage(slow).empty();
        std::this_thread::sleep_for(std::chrono::microseconds(took ? c.paceMs * 1000 : 100));
      }
    });
    // The count is answered once the host has relayed every text before it: then the inbox is
    // full and the rest is ahead of whatever comes next. The host's own flood is held back once
    // one of its sends waits.
    std::atomic<bool> relayed{false};
    std::atomic<Clock::rep> sendingSince{0};
    std::thread flood([&, &sender = c.hostFloods ? host : *flooder] {
      for (int i = 0; flooding && i < c.texts; ++i) {
        sendingSince = Clock::now().time_since_epoch().count();
        const uint16_t from = c.hostFloods ? hostIds[0] : flooderId;
        if (!sender.SendMessage(from, slow, NumberedText(i))) break;
        sendingSince = 0;
      }
      relayed = flooding && flooder->CountPlayers() != 0;
    });
    const auto heldBack = [&] {
      const Clock::rep since = sendingSince;
      return since != 0 && Clock::now().time_since_epoch().count() - since >
                               Clock::duration(std::chrono::milliseconds(100)).count();
    };
    EXPECT_TRUE(Eventually([&] { return c.hostFloods ? heldBack() : bool(relayed); }, 20000));
    const auto start = Clock::now();
    std::thread ping([&, &pinger = c.onHost ? *client : host] {
      EXPECT_TRUE(pinger.SendMessage(c.onHost ? clientId : hostIds[0], other, "ping"));
      EXPECT_TRUE(Eventually([&] { return program.GetMessage(other) == "ping"; }));
      EXPECT_LT(MillisecondsSince(start), 1000.0) << "the ping";
    });
    EXPECT_NE(program.CountPlayers(), 0);
    EXPECT_LT(MillisecondsSince(start), 1000.0) << "the count";
    const auto created = Clock::now();
    EXPECT_NE(program.CreatePlayer("late"), 0);
    EXPECT_LT(MillisecondsSince(created), 1000.0) << "the new player";
    ping.join();
    flooding = false;
    flood.join();
    EXPECT_EQ(program.DroppedTexts(), 0u);
    reading = false;
    slowReader.join();
    host.End();
  }
}

// A sender whose texts feed a receiver past its mark, or all output together past its total, is
// not read until they catch up: whatever the sender does, the host builds up no more than those
// bounds for the receivers (so none passes the ceiling), and the host's own player finds its
// queue full and waits.
TEST_F(GroupBurstTest, SendersWaitWhileWhatTheyFedIsPastItsMark) {
  struct Case {
    const char* name;
    bool hostSends;
    int receivers;
    int32_t highWaterBytes;
    int32_t totalBytes;
  };
  const Case cases[] = {
      {"a client's player, a receiver past its mark", false, 1, 64 * 1024, 64 << 20},
      {"the host's player, a receiver past its mark", true, 1, 64 * 1024, 64 << 20},
      {"a client's player, all output past the total", false, 2, 4 << 20, 128 * 1024},
  };
  constexpr int kTexts = 3000;  // three times the ceiling
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    NetTuning tuning = ShortTuning();
    tuning.relayHighWaterBytes = c.highWaterBytes;
    tuning.outputTotalBytes = c.totalBytes;
    tuning.outputCeilingBytes = 1024 * 1024;
    tuning.holdLimitMs = 30000;  // only the ceiling could drop a receiver
    NetSession& host = NewSession(tuning);
    const std::vector<uint16_t> ids = HostWithPlayers(host, {"host"});
    auto [client, clientId] = JoinedPlayer("client", ShortTuning());
    ASSERT_TRUE(ids.size() == 1 && clientId);
    // Receivers that take a text every 20 ms: never stalled, far slower than the burst.
    std::atomic<bool> reading{true};
    std::vector<RawPeer> receivers;
    std::vector<uint16_t> receiverIds;
    std::vector<std::thread> readers;
    for (int i = 0; i < c.receivers; ++i) {
      RawPeer& peer = receivers.emplace_back(port_, 4096);
      ASSERT_TRUE(peer.SendJoin("slow"));
      receiverIds.push_back(peer.ReadJoinAnswer());
      ASSERT_NE(receiverIds.back(), 0);
    }
    for (RawPeer& peer : receivers) {
      readers.emplace_back([&] {
        while (reading) {
          if (peer.ReadFrame(100)) std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
      });
    }
    // The burst ends at the first send that has to wait.
    const Burst burst = SendTexts(c.hostSends ? host : *client, {c.hostSends ? ids[0] : clientId},
                                  receiverIds, kTexts, 100.0);
    EXPECT_TRUE(!c.hostSends || burst.sent < kTexts);
    EXPECT_FALSE(Eventually([&] { return host.GetLeftPlayer() != 0; }, 1000));
    reading = false;
    for (std::thread& reader : readers) reader.join();
    host.End();
  }
}

// Clients competing for one receiver past its mark are read one frame each in turn, so each gets
// its part of what the receiver takes, not only the one that comes first in the host's table.
TEST_F(GroupBurstTest, SendersCompetingForOneReceiverShareWhatItTakes) {
  NetTuning tuning = ShortTuning();
  tuning.holdLimitMs = 30000;
  NetSession& host = NewSession(tuning);
  ASSERT_TRUE(host.Host(port_));
  RawPeer receiver(port_, 4096);
  ASSERT_TRUE(receiver.SendJoin("receiver"));
  const uint16_t receiverId = receiver.ReadJoinAnswer();
  const std::vector<std::pair<NetSession*, uint16_t>> senders = {
      JoinedPlayer("first", ShortTuning()), JoinedPlayer("second", ShortTuning())};
  ASSERT_TRUE(receiverId && senders[0].second && senders[1].second);
  std::vector<std::thread> floods;
  for (auto [session, id] : senders) {
    floods.emplace_back([=] { SendTexts(*session, {id}, {receiverId}, 5000); });
  }
  // The first texts come before both floods are under way; after them the receiver counts.
  std::map<uint16_t, int> counted;
  for (int frame = 0; frame < 600; ++frame) {
    const std::optional<NetMessage> message = receiver.ReadFrame();
    if (!message) break;
    if (frame >= 200) ++counted[message->header.sender];
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  host.End();
  for (std::thread& flood : floods) flood.join();
  for (auto [session, id] : senders) EXPECT_GE(counted[id], 100) << "sender " << id;
}

// A client that takes nothing at all is dropped after the send deadline, even with its output
// under the mark.
TEST_F(GroupBurstTest, AClientThatTakesNothingIsDroppedAfterTheSendDeadline) {
  NetTuning tuning = ShortTuning();
  tuning.relayHighWaterBytes = 1024 * 1024;
  tuning.holdLimitMs = 30000;
  NetSession& host = NewSession(tuning);
  const std::vector<uint16_t> ids = HostWithPlayers(host, {"host"});
  RawPeer deaf(port_, 4096);
  ASSERT_TRUE(deaf.SendJoin("deaf"));
  const uint16_t deafId = deaf.ReadJoinAnswer();
  ASSERT_TRUE(ids.size() == 1 && deafId);
  EXPECT_EQ(SendTexts(host, ids, {deafId}, 300).sent, 300);  // more than the system's buffers
  uint16_t left = 0;
  EXPECT_TRUE(Eventually([&] { return (left = host.GetLeftPlayer()) != 0; }));
  EXPECT_EQ(left, deafId);
}
