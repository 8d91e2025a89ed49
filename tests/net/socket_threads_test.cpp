// Rows shared between threads: a send racing a close must never write into whatever the system
// hands the old descriptor to next, and no row may be handed to two openers. Meant for the
// ThreadSanitizer build as much as for the normal one.
#include <fcntl.h>
#include <sys/stat.h>

#include <array>
#include <atomic>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include "tests/net/net_fixture.h"
#include "tests/support/temp_dir.h"

namespace {

using SocketThreads = NetTest;

TEST_F(SocketThreads, SendRacingCloseNeverReachesAReusedDescriptor) {
  TempDir dir;
  for (int round = 0; round < 20; ++round) {
    SCOPED_TRACE(round);
    int32_t client = -1, server = -1;
    ConnectedPair(client, server);
    std::atomic<bool> started{false};
    std::thread sender([client, &started] {
      const std::string frame(1000, 'p');
      for (int i = 0; i < 200000; ++i) {
        if (SockSend(client, frame.data(), int32_t(frame.size()), nullptr) < 0) return;
        started = true;
      }
    });
    while (!started) std::this_thread::yield();
    SockClose(client);
    // The lowest free descriptor: very likely the one the socket just gave up.
    const std::string name = dir.Child("victim" + std::to_string(round));
    const int file = open(name.c_str(), O_CREAT | O_WRONLY | O_CLOEXEC, 0600);
    ASSERT_GE(file, 0);
    sender.join();
    struct stat info {};
    fstat(file, &info);
    EXPECT_EQ(info.st_size, 0);
    close(file);
    SockClose(server);
  }
}

TEST_F(SocketThreads, ASendWaitingOnAFullSocketKeepsNoReaderOutAndACloseCutsItShort) {
  int32_t client = -1, server = -1;
  ConnectedPair(client, server);
  int32_t result = 0, error = 0;
  const std::vector<char> lots(32 << 20, 'w');
  std::thread sender([&] {
    result = SockSend(client, lots.data(), int32_t(lots.size()), nullptr);
    error = SockGetLastError();
  });
  // Once bytes arrive the sender holds the row's sending side until the send ends, which only
  // the close can do; the thread that reads the row must still get in meanwhile.
  ASSERT_TRUE(ReadableWithin(server));
  char byte;
  auto receive = std::async(std::launch::async, [&] { return SockRecv(client, &byte, 1, false); });
  EXPECT_EQ(receive.wait_for(std::chrono::seconds(2)), std::future_status::ready);
  EXPECT_EQ(SockClose(client), 0);
  sender.join();
  EXPECT_EQ(result, -1);
  EXPECT_EQ(error, kSockErrInterrupted);
}

TEST_F(SocketThreads, ConcurrentOpenersNeverShareARow) {
  std::array<std::atomic<bool>, kSocketRows> held{};
  std::atomic<int> shared{0};
  auto churn = [&] {
    for (int i = 0; i < 2000; ++i) {
      const int32_t row = SockUdpOpen(0);
      if (row < 0) continue;
      if (held[size_t(row)].exchange(true)) ++shared;
      held[size_t(row)] = false;
      SockClose(row);
    }
  };
  std::thread a(churn), b(churn);
  a.join();
  b.join();
  EXPECT_EQ(shared, 0);
  EXPECT_EQ(SockFindFreeSlot(), 0);
}

TEST_F(SocketThreads, NoRowOutlivesTheLastRelease) {
  SockShutdown();  // the fixture's reference: only the churning thread holds any
  std::atomic<bool> done{false};
  std::thread opener([&done] {
    while (!done) SockUdpOpen(0);
  });
  for (int i = 0; i < 500; ++i) {
    SockStartup();
    SockShutdown();
  }
  done = true;
  opener.join();
  for (int32_t row = 0; row < kSocketRows; ++row) {
    ASSERT_EQ(SockIsReadable(row), -1) << "row " << row << " is still open";
  }
}

TEST_F(SocketThreads, EachThreadKeepsItsOwnLastError) {
  SockSetLastError(kSockErrRefused);
  int32_t seenThere = -1;
  std::thread other([&seenThere] {
    seenThere = SockGetLastError();
    SockRecv(-1, nullptr, 0, false);  // sets 10038 on this thread only
  });
  other.join();
  EXPECT_EQ(seenThere, 0);
  EXPECT_EQ(SockGetLastError(), kSockErrRefused);
}

}  // namespace
