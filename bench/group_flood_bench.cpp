// How long a ping from one client to a host player takes while another client floods texts of
// 1 KiB as fast as it can for 3 s, beside the same pings through a quiet group in the same run.
// Every player reads its texts as they come, or the reading player spends 100 us on each text and
// so falls behind the flood. Read ping_max_ms (goal: 100 ms at most) against quiet_max_ms;
// pings_lost counts pings that never arrived.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "bench/loopback_group.h"
#include "net/net_session.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr auto kFloodTime = std::chrono::seconds(3);
constexpr auto kPingEvery = std::chrono::milliseconds(100);
constexpr auto kStragglerWait = std::chrono::milliseconds(500);
constexpr int kPings = int(kFloodTime / kPingEvery);
constexpr auto kSlowReading = std::chrono::microseconds(100);

enum class Flood { None, Broadcast, AtTheReader };

struct PingFigures {
  double meanMs = 0;
  double maxMs = 0;
  int lost = kPings;
};

double MsBetween(Clock::time_point from, Clock::time_point to) {
  return std::chrono::duration<double, std::milli>(to - from).count();
}

// Sends a numbered ping every kPingEvery while the flood runs; the reader notes when each comes.
// The host's player reads, the first client floods and the second pings.
PingFigures MeasurePings(LoopbackGroup& group, Flood flood, std::chrono::microseconds perText) {
  const Endpoint reading = group.hostPlayer, flooding = group.firstPlayer;
  const Endpoint pinging = group.secondPlayer;
  std::atomic<bool> running{true};
  std::vector<std::atomic<int64_t>> sentAt(kPings);
  std::vector<double> delays;
  std::thread reader([&] {
    while (running) {
      const std::string text = reading.session->GetMessage(reading.player);
      if (text.empty()) std::this_thread::yield();
      if (!text.empty() && perText.count() > 0) std::this_thread::sleep_for(perText);
      if (text.rfind("ping ", 0) != 0) continue;
      const int ping = std::stoi(text.substr(5));
      const Clock::time_point sent{Clock::duration(sentAt[size_t(ping)].load())};
      delays.push_back(MsBetween(sent, Clock::now()));
    }
  });
  // The pinger hears the broadcasts too, and reads them as every player does.
  std::thread pingerInbox([&] {
    while (running) {
      if (pinging.session->GetMessage(pinging.player).empty()) std::this_thread::yield();
    }
  });
  std::thread flooder([&] {
    const std::string text(kNetMaxPayload, 'f');
    const int32_t to = flood == Flood::Broadcast ? 0 : reading.player;
    while (running && flood != Flood::None) flooding.session->SendMessage(flooding.player, to, text);
  });
  std::this_thread::sleep_for(kPingEvery);
  for (int ping = 0; ping < kPings; ++ping) {
    sentAt[size_t(ping)] = Clock::now().time_since_epoch().count();
    pinging.session->SendMessage(pinging.player, reading.player, "ping " + std::to_string(ping));
    std::this_thread::sleep_for(kPingEvery);
  }
  std::this_thread::sleep_for(kStragglerWait);
  running = false;
  for (std::thread* thread : {&reader, &pingerInbox, &flooder}) thread->join();
  PingFigures figures;
  figures.lost = kPings - int(delays.size());
  if (delays.empty()) return figures;
  figures.maxMs = *std::max_element(delays.begin(), delays.end());
  for (double delay : delays) figures.meanMs += delay / double(delays.size());
  return figures;
}

void PingsDuring(benchmark::State& state, Flood flood,
                 std::chrono::microseconds perText = std::chrono::microseconds(0)) {
  PingFigures flooded, quiet;
  for (auto _ : state) {
    LoopbackGroup floodedGroup, quietGroup;
    if (!floodedGroup.Ready() || !quietGroup.Ready()) return state.SkipWithError("no loopback");
    flooded = MeasurePings(floodedGroup, flood, perText);
    quiet = MeasurePings(quietGroup, Flood::None, perText);
  }
  state.counters["ping_max_ms"] = flooded.maxMs;
  state.counters["ping_mean_ms"] = flooded.meanMs;
  state.counters["pings_lost"] = flooded.lost;
  state.counters["quiet_max_ms"] = quiet.maxMs;
  state.counters["quiet_mean_ms"] = quiet.meanMs;
  state.counters["ratio"] = quiet.maxMs > 0 ? flooded.maxMs / quiet.maxMs : 0;
}

void BM_PingDuringABroadcastFlood(benchmark::State& state) {
  PingsDuring(state, Flood::Broadcast);
}
BENCHMARK(BM_PingDuringABroadcastFlood)->Iterations(1)->UseRealTime()->Unit(benchmark::kSecond);

void BM_PingDuringAFloodAtTheReader(benchmark::State& state) {
  PingsDuring(state, Flood::AtTheReader);
}
BENCHMARK(BM_PingDuringAFloodAtTheReader)->Iterations(1)->UseRealTime()->Unit(benchmark::kSecond);

void BM_PingDuringAFloodAtASlowReader(benchmark::State& state) {
  PingsDuring(state, Flood::AtTheReader, kSlowReading);
}
BENCHMARK(BM_PingDuringAFloodAtASlowReader)->Iterations(1)->UseRealTime()->Unit(benchmark::kSecond);


// While the second client floods 20,000 texts of 1,000 bytes at the first client's player
// "slow", which takes one text and then sleeps 1 ms (so it loses nothing), the host's player
// pings the first client's other player and the first client asks for the count and creates a
// player, 500 ms into the flood. Read ping_ms, count_ms and create_ms (goal: well under 1 s
// each); count and created are the answers (0 = none came), slow_lost the texts slow lost.
void BM_AnswersBesideAFloodAtAnotherPlayer(benchmark::State& state) {
  constexpr int kFloodTexts = 20000;
  double pingMs = 0, countMs = 0, createMs = 0;
  int count = 0, created = 0;
  uint64_t slowLost = 0;
  for (auto _ : state) {
    LoopbackGroup group;
    if (!group.Ready()) return state.SkipWithError("no loopback");
    NetSession& client = *group.first;
    const uint16_t slow = group.firstPlayer.player, other = client.CreatePlayer("other");
    std::atomic<bool> flooding{true};
    std::thread flooder([&] {
      const std::string text(1000, 'f');
      for (int i = 0; i < kFloodTexts && flooding; ++i) {
        if (!group.second->SendMessage(group.secondPlayer.player, slow, text)) break;
      }
    });
    std::thread slowReader([&] {
      while (flooding) {
        if (client.GetMessage(slow).empty()) {
          std::this_thread::sleep_for(std::chrono::microseconds(100));
        } else {
          std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
      }
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    const Clock::time_point start = Clock::now();
    std::thread pinger([&] {
      group.host->SendMessage(group.hostPlayer.player, other, "ping");
      while (client.GetMessage(other) != "ping" && MsBetween(start, Clock::now()) < 20000) {
        std::this_thread::yield();
      }
      pingMs = MsBetween(start, Clock::now());
    });
    std::thread counter([&] {
      count = client.CountPlayers();
      countMs = MsBetween(start, Clock::now());
    });
    created = client.CreatePlayer("late");
    createMs = MsBetween(start, Clock::now());
    for (std::thread* thread : {&pinger, &counter, &flooder}) thread->join();
    flooding = false;
    slowReader.join();
    slowLost = client.DroppedTexts();
  }
  state.counters["ping_ms"] = pingMs;
  state.counters["count_ms"] = countMs;
  state.counters["create_ms"] = createMs;
  state.counters["count"] = count;
  state.counters["created"] = created;
  state.counters["slow_lost"] = double(slowLost);
}
BENCHMARK(BM_AnswersBesideAFloodAtAnotherPlayer)
    ->Iterations(1)
    ->UseRealTime()
    ->Unit(benchmark::kSecond);

}  // namespace
