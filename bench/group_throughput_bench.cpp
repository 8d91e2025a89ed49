// Texts of 1000 bytes per second through a group on 127.0.0.1, host player to a client's player
// and client to client (relayed by the host), beside a plain blocking TCP loop over loopback
// that moves the same frames between two threads. Compare items_per_second of the three.
#include <benchmark/benchmark.h>
#include <netinet/tcp.h>

#include <thread>

#include "bench/loopback_group.h"
#include "net/net_session.h"

namespace {

constexpr int kTexts = 20000;
constexpr size_t kTextSize = 1000;

// Sends kTexts from one player to another while the receiver takes them on its own thread.
void SendTexts(benchmark::State& state, Endpoint from, Endpoint to) {
  const std::string text(kTextSize, 't');
  for (auto _ : state) {
    std::thread reader([&] {
      for (int received = 0; received < kTexts;) {
        if (to.session->GetMessage(to.player).empty()) {
          std::this_thread::yield();
        } else {
          ++received;
        }
      }
    });
    for (int i = 0; i < kTexts; ++i) from.session->SendMessage(from.player, to.player, text);
    reader.join();
  }
  state.SetItemsProcessed(state.iterations() * kTexts);
}

void BM_GroupTextsHostToClient(benchmark::State& state) {
  LoopbackGroup group;
  if (!group.Ready()) return state.SkipWithError("loopback unusable");
  SendTexts(state, group.hostPlayer, group.firstPlayer);
}
BENCHMARK(BM_GroupTextsHostToClient)->UseRealTime()->Unit(benchmark::kMillisecond);

void BM_GroupTextsClientToClient(benchmark::State& state) {
  LoopbackGroup group;
  if (!group.Ready()) return state.SkipWithError("loopback unusable");
  SendTexts(state, group.firstPlayer, group.secondPlayer);
}
BENCHMARK(BM_GroupTextsClientToClient)->UseRealTime()->Unit(benchmark::kMillisecond);

// The reference: the same 1007-byte frames through one blocking TCP connection.
void BM_PlainTcpTexts(benchmark::State& state) {
  uint16_t port = 0;
  const int listener = RawLoopbackListener(1, port);
  const int sender = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  const sockaddr_in to = LoopbackAddress(port);
  if (listener < 0 || connect(sender, reinterpret_cast<const sockaddr*>(&to), sizeof to) != 0) {
    return state.SkipWithError("loopback unusable");
  }
  const int receiver = accept(listener, nullptr, nullptr);
  const int one = 1;
  setsockopt(sender, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
  const std::string frame(kTextSize + 7, 'p');
  for (auto _ : state) {
    std::thread reader([&] {
      std::string in(frame.size(), '\0');
      for (int i = 0; i < kTexts; ++i) recv(receiver, in.data(), in.size(), MSG_WAITALL);
    });
    for (int i = 0; i < kTexts; ++i) send(sender, frame.data(), frame.size(), MSG_NOSIGNAL);
    reader.join();
  }
  close(receiver);
  close(sender);
  close(listener);
  state.SetItemsProcessed(state.iterations() * kTexts);
}
BENCHMARK(BM_PlainTcpTexts)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace
