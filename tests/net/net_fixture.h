// The fixture every network test shares: the seams on, one start-up reference, and every row
// closed at the end so the next test starts from an empty table.
#pragma once

#include <gtest/gtest.h>

#include "net/socket_layer.h"
#include "tests/support/net_test_util.h"

class NetTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(SockStartup());
    if (!LoopbackUsable()) GTEST_SKIP() << "binding or connecting on 127.0.0.1 fails here";
  }
  void TearDown() override {
    while (SockStartupCount() > 0) SockShutdown();
    SockShutdown();  // closes rows opened while the count was already 0, should any exist
  }

  static bool LoopbackUsable() {
    uint16_t port = 0;
    const int fd = RawLoopbackListener(1, port);
    if (fd < 0) return false;
    close(fd);
    return true;
  }

  // Waits (bounded) for a client on the listening row and accepts it.
  static int32_t AcceptWithin(int32_t listener, SockAddress* peer, int tries = 200) {
    for (int i = 0; i < tries; ++i) {
      if (SockWaitReadable(listener, 10) != 1) continue;
      const int32_t row = SockTcpAccept(listener, peer);
      if (row >= 0) return row;
    }
    return -1;
  }

  // Waits (bounded) until the row has something to read.
  static bool ReadableWithin(int32_t row, int tries = 200) {
    for (int i = 0; i < tries; ++i) {
      if (SockWaitReadable(row, 10) == 1) return true;
    }
    return false;
  }

  // A connected pair of rows on 127.0.0.1: client and accepted server side.
  void ConnectedPair(int32_t& client, int32_t& server) {
    const uint16_t port = FreeLoopbackPort();
    const int32_t listener = SockTcpListen(port);
    ASSERT_GE(listener, 0);
    client = SockTcpConnect(SockMakeAddress(127, 0, 0, 1, port), 2000);
    ASSERT_GE(client, 0) << SockGetErrorText();
    server = AcceptWithin(listener, nullptr);
    ASSERT_GE(server, 0);
    SockClose(listener);
  }

  LoopbackOnly seams_;
};
