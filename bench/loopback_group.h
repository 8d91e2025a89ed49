// A group on 127.0.0.1 for the network benchmarks: a host with one player and two joined
// clients with one player each.
#pragma once

#include <cstdint>
#include <memory>

#include "net/net_session.h"
#include "tests/support/net_test_util.h"

struct Endpoint {
  NetSession* session;
  uint16_t player;
};

struct LoopbackGroup {
  LoopbackOnly seams;
  std::unique_ptr<NetSession> host = NetSession::Create();
  std::unique_ptr<NetSession> first = NetSession::Create();
  std::unique_ptr<NetSession> second = NetSession::Create();
  Endpoint hostPlayer{host.get(), 0}, firstPlayer{first.get(), 0}, secondPlayer{second.get(), 0};

  LoopbackGroup() {
    const uint16_t port = FreeLoopbackPort();
    if (!host->Host(port) || !first->Join("127.0.0.1", port) ||
        !second->Join("127.0.0.1", port)) {
      return;
    }
    hostPlayer.player = host->CreatePlayer("host");
    firstPlayer.player = first->CreatePlayer("first");
    secondPlayer.player = second->CreatePlayer("second");
  }
  bool Ready() const { return hostPlayer.player && firstPlayer.player && secondPlayer.player; }
};
