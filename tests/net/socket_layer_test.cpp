// The socket table over loopback: round trips, failures, the table's limits and the pure helpers.
#include "net/socket_layer.h"

#include <netdb.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <chrono>
#include <cstring>
#include <string>
#include <vector>

#include "tests/net/net_fixture.h"

namespace {

using SocketLayer = NetTest;

TEST_F(SocketLayer, TcpRoundTripAndPeerClose) {
  const uint16_t port = FreeLoopbackPort();
  const int32_t listener = SockTcpListen(port);
  ASSERT_GE(listener, 0) << SockGetErrorText();
  EXPECT_EQ(SockPortToHost(SockGetRemoteAddress(listener)), port);

  const int32_t client = SockTcpConnect(SockMakeAddress(127, 0, 0, 1, port), 2000);
  ASSERT_GE(client, 0) << SockGetErrorText();
  SockAddress peer{0, 0};
  const int32_t server = AcceptWithin(listener, &peer);
  ASSERT_GE(server, 0);
  EXPECT_EQ(SockAddressToHost(peer), kLoopbackHostOrder);
  EXPECT_EQ(SockAddressToHost(SockGetRemoteAddress(client)), kLoopbackHostOrder);

  char buffer[16] = {};
  EXPECT_EQ(SockRecv(server, buffer, sizeof buffer, false), -2);
  EXPECT_EQ(SockGetLastError(), kSockErrWouldBlock);

  ASSERT_EQ(SockSend(client, "hello", 5, nullptr), 5);
  ASSERT_TRUE(ReadableWithin(server));
  EXPECT_EQ(SockRecv(server, buffer, sizeof buffer, false), 5);
  EXPECT_EQ(std::string(buffer, 5), "hello");

  // Wait-all gathers bytes that arrive in two sends.
  ASSERT_EQ(SockSend(server, "abc", 3, nullptr), 3);
  ASSERT_EQ(SockSend(server, "def", 3, nullptr), 3);
  ASSERT_TRUE(ReadableWithin(client));
  EXPECT_EQ(SockRecv(client, buffer, 6, true), 6);
  EXPECT_EQ(std::string(buffer, 6), "abcdef");
  EXPECT_EQ(SockGetLastError(), 0);

  EXPECT_EQ(SockClose(client), 0);
  ASSERT_TRUE(ReadableWithin(server));
  EXPECT_EQ(SockRecv(server, buffer, sizeof buffer, false), 0);
  EXPECT_EQ(SockRecv(server, buffer, sizeof buffer, true), 0);
}

TEST_F(SocketLayer, ResetPeerReadsAsClosedAndSendFailsWithoutSignal) {
  uint16_t port = 0;
  const int32_t listener = SockTcpListen(port = FreeLoopbackPort());
  ASSERT_GE(listener, 0);
  const int raw = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  const sockaddr_in to = LoopbackAddress(port);
  ASSERT_EQ(connect(raw, reinterpret_cast<const sockaddr*>(&to), sizeof to), 0);
  const int32_t server = AcceptWithin(listener, nullptr);
  ASSERT_GE(server, 0);
  const linger abortive{1, 0};
  setsockopt(raw, SOL_SOCKET, SO_LINGER, &abortive, sizeof abortive);
  close(raw);

  ASSERT_TRUE(ReadableWithin(server));
  char buffer[8];
  EXPECT_EQ(SockRecv(server, buffer, sizeof buffer, false), 0);
  EXPECT_EQ(SockGetLastError(), kSockErrConnReset);
  // Without MSG_NOSIGNAL this send would end the test program with SIGPIPE.
  EXPECT_EQ(SockSend(server, "x", 1, nullptr), -1);
  EXPECT_EQ(SockGetLastError(), kSockErrConnReset);
}

TEST_F(SocketLayer, RefusedConnectIsReportedAsRefused) {
  const uint16_t port = FreeLoopbackPort();
  EXPECT_EQ(SockTcpConnect(SockMakeAddress(127, 0, 0, 1, port), 2000), -1);
  EXPECT_EQ(SockGetLastError(), kSockErrRefused);
  EXPECT_EQ(SockFindFreeSlot(), 0);
}

TEST_F(SocketLayer, ConnectTimesOutAgainstAFullBacklogAndFreesItsRow) {
  uint16_t port = 0;
  const int raw = RawLoopbackListener(0, port);
  ASSERT_GE(raw, 0);
  const SockAddress target = SockMakeAddress(127, 0, 0, 1, port);
  // The one connection a backlog of 0 admits; the next stays pending.
  const int32_t first = SockTcpConnect(target, 1000);
  ASSERT_GE(first, 0) << SockGetErrorText();

  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(SockTcpConnect(target, 300), -1);
  const auto waited = std::chrono::steady_clock::now() - start;
  EXPECT_EQ(SockGetLastError(), kSockErrTimedOutConnect);
  EXPECT_GE(waited, std::chrono::milliseconds(250));
  EXPECT_EQ(SockFindFreeSlot(), first + 1);
  close(raw);
}

TEST_F(SocketLayer, UdpRoundTripRecordsSenderAndRefusesOversizedDatagrams) {
  const uint16_t port = FreeLoopbackPort();
  const int32_t receiver = SockUdpOpen(port);
  const int32_t sender = SockUdpOpen(0);
  ASSERT_GE(receiver, 0);
  ASSERT_GE(sender, 0);
  const SockAddress to = SockMakeAddress(127, 0, 0, 1, port);

  EXPECT_EQ(SockSend(sender, "ping", 4, nullptr), -1);  // a datagram needs a target
  ASSERT_EQ(SockSend(sender, "ping", 4, &to), 4);       // binds the sender implicitly
  ASSERT_TRUE(ReadableWithin(receiver));
  char buffer[128] = {};
  EXPECT_EQ(SockRecv(receiver, buffer, sizeof buffer, false), 4);
  const SockAddress from = SockGetRemoteAddress(receiver);
  EXPECT_EQ(SockAddressToHost(from), kLoopbackHostOrder);
  EXPECT_NE(from.port, 0);

  // The recorded sender is a working reply address.
  ASSERT_EQ(SockSend(receiver, "pong", 4, &from), 4);
  ASSERT_TRUE(ReadableWithin(sender));
  EXPECT_EQ(SockRecv(sender, buffer, sizeof buffer, false), 4);
  EXPECT_EQ(std::string(buffer, 4), "pong");

  EXPECT_EQ(SockRecv(receiver, buffer, sizeof buffer, false), -2);
  EXPECT_TRUE(SockAddressIsNone(SockGetRemoteAddress(receiver)));

  const std::string big(100, 'd');
  ASSERT_EQ(SockSend(sender, big.data(), 100, &to), 100);
  ASSERT_TRUE(ReadableWithin(receiver));
  EXPECT_EQ(SockRecv(receiver, buffer, 10, false), -1);
  EXPECT_EQ(SockGetLastError(), kSockErrMessageSize);
}

TEST_F(SocketLayer, LoopbackGuardKeepsTrafficOffOtherAddresses) {
  EXPECT_EQ(SockTcpConnect(SockMakeAddress(10, 0, 0, 1, 80), 100), -1);
  EXPECT_EQ(SockGetLastError(), kSockErrNetUnreachable);
  const int32_t udp = SockUdpOpen(0);
  ASSERT_GE(udp, 0);
  const SockAddress elsewhere = SockMakeAddress(192, 168, 0, 1, 9);
  EXPECT_EQ(SockSend(udp, "x", 1, &elsewhere), -1);
  EXPECT_EQ(SockGetLastError(), kSockErrNetUnreachable);
}

TEST_F(SocketLayer, TableHandsOutRowsInOrderAndRefusesThe1025th) {
  rlimit limit{};
  getrlimit(RLIMIT_NOFILE, &limit);
  if (limit.rlim_max != RLIM_INFINITY && limit.rlim_max < 1088) {
    GTEST_SKIP() << "the hard open-file limit " << limit.rlim_max << " is below 1088";
  }
  for (int32_t row = 0; row < kSocketRows; ++row) {
    ASSERT_EQ(SockUdpOpen(0), row) << SockGetErrorText();
  }
  EXPECT_EQ(SockUdpOpen(0), -1);
  EXPECT_EQ(SockGetLastError(), kSockErrTableFull);
  EXPECT_EQ(SockTcpListen(FreeLoopbackPort()), -1);
  EXPECT_EQ(SockGetLastError(), kSockErrTableFull);

  ASSERT_EQ(SockClose(500), 0);
  EXPECT_EQ(SockFindFreeSlot(), 500);
  EXPECT_EQ(SockUdpOpen(0), 500);
}

TEST_F(SocketLayer, LastReleaseClosesEveryRowAndOpeningNeedsAReference) {
  const int32_t listener = SockTcpListen(FreeLoopbackPort());
  ASSERT_GE(listener, 0);
  ASSERT_TRUE(SockStartup());  // a second user
  SockShutdown();
  EXPECT_GE(SockIsReadable(listener), -2) << "one release of two keeps the rows";
  EXPECT_EQ(SockGetLastError(), 0);

  SockShutdown();
  EXPECT_EQ(SockStartupCount(), 0);
  EXPECT_EQ(SockIsReadable(listener), -1);
  EXPECT_EQ(SockGetLastError(), kSockErrNotSocket);
  SockShutdown();  // an unmatched release stays harmless
  EXPECT_EQ(SockStartupCount(), 0);
  EXPECT_EQ(SockUdpOpen(0), -1);
  EXPECT_EQ(SockGetLastError(), kSockErrNotStarted);
}

TEST_F(SocketLayer, BadRowsGiveTheFailureValueAndNotASocket) {
  const int32_t open = SockUdpOpen(0);
  ASSERT_GE(open, 0);
  char buffer[4];
  for (const int32_t row : {-1, kSocketRows, kSocketRows + 7, open + 1}) {
    SCOPED_TRACE(row);
    SockSetLastError(0);
    EXPECT_EQ(SockSend(row, "x", 1, nullptr), -1);
    EXPECT_EQ(SockGetLastError(), kSockErrNotSocket);
    EXPECT_EQ(SockRecv(row, buffer, 4, false), -1);
    EXPECT_EQ(SockIsReadable(row), -1);
    EXPECT_EQ(SockTcpAccept(row, nullptr), -1);
    EXPECT_EQ(SockClose(row), -1);
    EXPECT_EQ(SockSetBlocking(row, true), kSockErrNotSocket);
    SockSetLastError(1234);
    EXPECT_TRUE(SockAddressIsNone(SockGetRemoteAddress(row)));
    EXPECT_EQ(SockGetLastError(), 1234);
  }
  EXPECT_EQ(SockTcpAccept(open, nullptr), -1);  // a datagram row never accepts
  EXPECT_EQ(SockGetLastError(), 0);
}

TEST_F(SocketLayer, SendForReportsBytesTakenWhenThePeerStopsReading) {
  int32_t client = -1, server = -1;
  ConnectedPair(client, server);
  const std::vector<char> lots(16 << 20, 'z');
  const int32_t taken = SockSendFor(client, lots.data(), int32_t(lots.size()), 0, nullptr);
  EXPECT_GT(taken, 0);
  EXPECT_LT(taken, int32_t(lots.size()));
  // The kernel may still grow the buffer a little; what matters is that both calls come back.
  EXPECT_LT(SockSendFor(client, lots.data(), int32_t(lots.size()), 60, nullptr),
            int32_t(lots.size()));
  const std::atomic<bool> stop{true};
  EXPECT_LT(SockSendFor(client, lots.data(), int32_t(lots.size()), 600000, &stop),
            int32_t(lots.size()));
  EXPECT_EQ(SockGetLastError(), kSockErrWouldBlock);
}

TEST_F(SocketLayer, BlockingRowWaitsForData) {
  int32_t client = -1, server = -1;
  ConnectedPair(client, server);
  EXPECT_EQ(SockSetBlocking(server, true), 0);
  std::thread late([client] {
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    SockSend(client, "late", 4, nullptr);
  });
  char buffer[4];
  EXPECT_EQ(SockRecv(server, buffer, 4, true), 4);
  late.join();
  EXPECT_EQ(std::string(buffer, 4), "late");
}

TEST(SocketLayerStartup, RaisesTheOpenFileLimitSoEveryRowFits) {
  rlimit limit{};
  getrlimit(RLIMIT_NOFILE, &limit);
  if (limit.rlim_max != RLIM_INFINITY && limit.rlim_max < 1088) {
    GTEST_SKIP() << "the hard open-file limit " << limit.rlim_max << " is below 1088";
  }
  ASSERT_EQ(SockStartupCount(), 0);
  // In a child, so the lowered limit never reaches the other tests.
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    rlimit low{256, limit.rlim_max};
    setrlimit(RLIMIT_NOFILE, &low);
    SockStartup();
    getrlimit(RLIMIT_NOFILE, &low);
    _exit(low.rlim_cur == 1088 ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

TEST(SocketLayerPure, ConnectTimeoutClamp) {
  const std::pair<int32_t, int32_t> cases[] = {{0, 30000}, {-1, 30000},    {30001, 30000},
                                               {1, 1},     {30000, 30000}, {300, 300}};
  for (const auto& [given, used] : cases) EXPECT_EQ(ClampConnectTimeout(given), used) << given;
}

TEST(SocketLayerPure, ErrnoMapsToTheProgramErrorNumbers) {
  const std::pair<int, int32_t> cases[] = {
      {0, 0},         {EAGAIN, 10035},     {EINPROGRESS, 10036}, {ECONNREFUSED, 10061},
      {EPIPE, 10054}, {ECONNRESET, 10054}, {EADDRINUSE, 10048},  {EMFILE, 10024},
      {EBADF, 10038}, {EDEADLK, 10022},    {ETIMEDOUT, 10060},   {EMSGSIZE, 10040}};
  for (const auto& [err, code] : cases) EXPECT_EQ(SockErrorFromErrno(err), code) << err;
  EXPECT_EQ(SockErrorFromResolver(EAI_NONAME, 0), 11001);
  EXPECT_EQ(SockErrorFromResolver(EAI_SYSTEM, ECONNREFUSED), 10061);

  SockSetLastErrorFromErrno(ECONNREFUSED);
  EXPECT_EQ(SockGetErrorText(), "10061 The connection was refused.");
  SockSetLastErrorFromErrno(EDEADLK);  // no text of its own: the system's
  EXPECT_EQ(SockGetErrorText().rfind("10022 ", 0), 0u);
  SockSetLastError(424242);
  EXPECT_EQ(SockGetErrorText(), "");
}

TEST(SocketLayerPure, LocalListPutsLoopbackLastAndResolvesThisHost) {
  LoopbackOnly seams;
  struct Case {
    std::vector<uint32_t> addresses;
    const char* separator;
    std::string list;
    int32_t count;
  };
  const Case cases[] = {
      {{htonl(0x7F000001)}, "\n", "127.0.0.1\n", 1},
      {{htonl(0x0A000005), htonl(0x7F000001), htonl(0xC0A80102)},
       "|",
       "10.0.0.5|192.168.1.2|127.0.0.1|",
       3},
      {{}, "|", "", 0},
  };
  for (const Case& c : cases) {
    platform::SetLocalAddressProvider([&c] { return c.addresses; });
    int32_t count = -1;
    EXPECT_EQ(SockGetLocalIpList(count, c.separator), c.list);
    EXPECT_EQ(count, c.count);
  }
  // 200 addresses of 15 characters pass the 2047-character limit: the walk stops before it, and
  // the loopback address still finds room behind.
  std::vector<uint32_t> many(200, htonl(0xC0A8C8C8));
  many.push_back(htonl(0x7F000001));
  many.insert(many.begin(), htonl(0x7F000001));
  platform::SetLocalAddressProvider([&many] { return many; });
  int32_t count = 0;
  const std::string list = SockGetLocalIpList(count, "|");
  EXPECT_EQ(count, 127 + 1);
  EXPECT_EQ(list.size(), 127 * 16 + 10u);
  EXPECT_EQ(list.substr(list.size() - 10), "127.0.0.1|");

  platform::SetLocalAddressProvider([] { return std::vector<uint32_t>{htonl(0x7F000001)}; });
  const SockAddress self = SockResolveHost("", 4000);
  EXPECT_EQ(SockAddressToHost(self), kLoopbackHostOrder);
  EXPECT_EQ(SockPortToHost(self), 4000);
  EXPECT_TRUE(SockAddressIsNone(SockResolveHost("no.such.host.invalid", 80)));
  EXPECT_EQ(SockGetLastError(), kSockErrHostNotFound);
}

}  // namespace
