// Socket layer costs over 127.0.0.1 only: a small request-answer round trip, bulk transfer
// through one connection, and opening and closing a row (the table scan and both locks).
#include <benchmark/benchmark.h>

#include <vector>

#include "net/socket_layer.h"
#include "tests/support/net_test_util.h"

namespace {

// A connected pair of rows on 127.0.0.1; both -1 when loopback is unusable.
struct LoopbackPair {
  LoopbackOnly seams;
  int32_t client = -1;
  int32_t server = -1;

  LoopbackPair() {
    SockStartup();
    const uint16_t port = FreeLoopbackPort();
    const int32_t listener = SockTcpListen(port);
    client = SockTcpConnect(SockMakeAddress(127, 0, 0, 1, port), 2000);
    for (int i = 0; i < 200 && server < 0 && client >= 0; ++i) {
      if (SockWaitReadable(listener, 10) == 1) server = SockTcpAccept(listener, nullptr);
    }
    SockClose(listener);
    // The bench reads and writes in blocking style.
    SockSetBlocking(client, true);
    SockSetBlocking(server, true);
  }
  ~LoopbackPair() { SockShutdown(); }
  bool Ready() const { return client >= 0 && server >= 0; }
};

void BM_TcpRoundTrip(benchmark::State& state) {
  LoopbackPair pair;
  if (!pair.Ready()) return state.SkipWithError("loopback unusable");
  const int32_t size = int32_t(state.range(0));
  std::vector<char> bytes(size_t(size), 'r');
  for (auto _ : state) {
    SockSend(pair.client, bytes.data(), size, nullptr);
    SockRecv(pair.server, bytes.data(), size, true);
    SockSend(pair.server, bytes.data(), size, nullptr);
    SockRecv(pair.client, bytes.data(), size, true);
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_TcpRoundTrip)->Arg(16)->Arg(1024)->UseRealTime();

void BM_TcpBulk(benchmark::State& state) {
  LoopbackPair pair;
  if (!pair.Ready()) return state.SkipWithError("loopback unusable");
  const int32_t block = 64 * 1024;
  const int32_t total = int32_t(state.range(0));
  std::vector<char> out(static_cast<size_t>(block), 'b');
  std::vector<char> in(static_cast<size_t>(block));
  for (auto _ : state) {
    // One block fits the socket buffers, so a single thread can send it before reading it.
    for (int32_t sent = 0; sent < total; sent += block) {
      SockSend(pair.client, out.data(), block, nullptr);
      SockRecv(pair.server, in.data(), block, true);
    }
  }
  state.SetBytesProcessed(state.iterations() * total);
}
BENCHMARK(BM_TcpBulk)->Arg(4 << 20)->UseRealTime();

void BM_RowOpenClose(benchmark::State& state) {
  SockStartup();
  std::vector<int32_t> held;
  // Rows already taken make the scan for a free one longer.
  for (int64_t i = 0; i < state.range(0); ++i) held.push_back(SockUdpOpen(0));
  for (auto _ : state) SockClose(SockUdpOpen(0));
  SockShutdown();
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_RowOpenClose)->Arg(0)->Arg(1000);

}  // namespace
