// Group protocol costs on 127.0.0.1 only: a burst of texts relayed by a host back to its own
// player (the whole path: send, the thread's read, relay, filing, the inbox), one query round
// trip, and the serving rules alone on in-memory frames.
#include <benchmark/benchmark.h>

#include "net/group_rules.h"
#include "net/net_session.h"
#include "net/socket_layer.h"
#include "system/threads.h"
#include "tests/support/net_test_util.h"

namespace {

struct LoopbackGroup {
  LoopbackOnly seams;
  std::unique_ptr<NetSession> host = NetSession::Create();
  uint16_t player = 0;

  LoopbackGroup() {
    if (host && host->Host(FreeLoopbackPort())) player = host->CreatePlayer("bench");
  }
  ~LoopbackGroup() { host.reset(); }
  bool Ready() const { return player != 0; }
};

void BM_RelayedTextBurst(benchmark::State& state) {
  LoopbackGroup group;
  if (!group.Ready()) return state.SkipWithError("loopback unusable");
  const int burst = int(state.range(0));
  const std::string text(100, 't');
  for (auto _ : state) {
    for (int i = 0; i < burst; ++i) group.host->SendMessage(group.player, group.player, text);
    for (int received = 0; received < burst;) {
      if (group.host->GetMessage(group.player).empty()) {
        ThreadYield();
      } else {
        ++received;
      }
    }
  }
  state.SetItemsProcessed(state.iterations() * burst);
}
BENCHMARK(BM_RelayedTextBurst)->Arg(100)->Arg(1000)->UseRealTime()->Unit(benchmark::kMillisecond);

void BM_CountQuery(benchmark::State& state) {
  LoopbackGroup group;
  if (!group.Ready()) return state.SkipWithError("loopback unusable");
  for (auto _ : state) benchmark::DoNotOptimize(group.host->CountPlayers());
}
BENCHMARK(BM_CountQuery)->UseRealTime()->Unit(benchmark::kMillisecond);

void BM_ServeBroadcast(benchmark::State& state) {
  NetGroupState group;
  group.host = true;
  const int players = int(state.range(0));
  std::vector<OutgoingFrame> out;
  NetJoinPayload join;
  join.name = "p";
  const NetMessage joinFrame{NetHeader{kNetJoin, uint16_t(kNetJoinPayloadSize), 0, 0},
                             EncodeJoinPayload(join)};
  for (int i = 0; i < players; ++i) ServeClientFrame(group, i, joinFrame, out);
  const NetMessage text{NetHeader{kNetText, 100, kNetEverybody, 101}, std::string(100, 't')};
  for (auto _ : state) {
    out.clear();
    ServeClientFrame(group, 0, text, out);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetItemsProcessed(state.iterations() * (players - 1));
}
BENCHMARK(BM_ServeBroadcast)->Arg(8)->Arg(128);

}  // namespace
