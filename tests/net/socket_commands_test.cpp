// The program-facing socket and HTTP commands: host byte order at the boundary, texts as Str,
// and the runtime's error code left alone.
#include "net/socket_commands.h"

#include <cstring>
#include <string>

#include "core/last_error.h"
#include "tests/net/net_fixture.h"
#include "tests/support/owned_str.h"

namespace {

class NetCommands : public NetTest {
 protected:
  void SetUp() override {
    NetTest::SetUp();
    LastErrorCode = 77;
  }
  void TearDown() override {
    EXPECT_EQ(LastErrorCode, 77) << "a network command touched the runtime's error code";
    LastErrorCode = 0;
    NetTest::TearDown();
  }
};

TEST_F(NetCommands, AddressesCrossInHostOrder) {
  EXPECT_EQ(NetGetHostIp(OwnedStr("127.0.0.1").s), 2130706433);
  EXPECT_EQ(NetGetHostIp(OwnedStr("localhost").s), 2130706433);
  EXPECT_EQ(NetGetHostIp(OwnedStr("255.255.255.255").s), -1);
  EXPECT_EQ(NetGetHostIp(OwnedStr("nowhere.invalid").s), -1);
  EXPECT_EQ(OwnedStr(NetIpToString(2130706433)).text(), "127.0.0.1");
  EXPECT_EQ(OwnedStr(NetIpToString(-1062731775)).text(), "192.168.0.1");
  EXPECT_EQ(OwnedStr(NetGetLocalIpList()).text(), "127.0.0.1");
  EXPECT_EQ(SockStartupCount(), 1) << "the list takes and gives back its own reference";
  EXPECT_EQ(NetGetRemoteIp(5), 0);
  EXPECT_EQ(NetGetRemotePort(5), 0);
}

TEST_F(NetCommands, TcpAcceptReportsThePeerAndStringsKeepTheirBytes) {
  const uint16_t port = FreeLoopbackPort();
  const int32_t listener = NetTcpListen(port);
  ASSERT_GE(listener, 0);
  const int raw = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  const sockaddr_in to = LoopbackAddress(port);
  ASSERT_EQ(connect(raw, reinterpret_cast<const sockaddr*>(&to), sizeof to), 0);
  ASSERT_TRUE(ReadableWithin(listener));
  int32_t peer = 0;
  const int32_t server = NetTcpAccept(listener, peer);
  ASSERT_GE(server, 0);
  EXPECT_EQ(peer, 2130706433);
  EXPECT_EQ(NetGetRemoteIp(server), 2130706433);
  EXPECT_EQ(NetGetRemotePort(server), BoundPort(raw));

  OwnedStr received("stale");
  EXPECT_EQ(NetSockRecvString(server, received.s, 16), -2);
  EXPECT_EQ(received.text(), "");
  EXPECT_EQ(NetSockRecvString(server, received.s, 0), 0);
  EXPECT_EQ(NetSockRecvString(server, received.s, -5), 0);

  ASSERT_EQ(send(raw, "a\0bcdef", 7, MSG_NOSIGNAL), 7);
  ASSERT_TRUE(ReadableWithin(server));
  EXPECT_EQ(NetSockRecvString(server, received.s, 3), 3);
  EXPECT_EQ(received.text(), std::string("a\0b", 3));
  EXPECT_EQ(received.s.data[3], '\0');

  OwnedStr reply(std::string("x\0y", 3));
  EXPECT_EQ(NetSockSendString(server, reply.s), 3);
  char bytes[8];
  EXPECT_EQ(recv(raw, bytes, sizeof bytes, 0), 3);
  EXPECT_EQ(std::string(bytes, 3), std::string("x\0y", 3));

  EXPECT_EQ(NetSetBlocking(server, 1), 0);
  EXPECT_TRUE(NetSockClose(server));
  EXPECT_FALSE(NetSockClose(server));
  EXPECT_EQ(NetSetBlocking(server, 0), kSockErrNotSocket);
  close(raw);
}

TEST_F(NetCommands, ConnectByNameAndUdpToAHostOrderTarget) {
  const uint16_t port = FreeLoopbackPort();
  const int32_t listener = NetTcpListen(port);
  ASSERT_GE(listener, 0);
  // An empty name is this machine, whose only address here is 127.0.0.1.
  EXPECT_GE(NetTcpConnect(OwnedStr().s, port, 2000), 0) << OwnedStr(NetGetLastErrorText()).text();
  EXPECT_EQ(NetTcpConnect(OwnedStr("nowhere.invalid").s, port, 2000), -1);
  EXPECT_EQ(NetTcpConnect(OwnedStr("127.0.0.1").s, FreeLoopbackPort(), 2000), -1);
  EXPECT_EQ(OwnedStr(NetGetLastErrorText()).text(), "10061 The connection was refused.");

  const uint16_t udpPort = FreeLoopbackPort();
  const int32_t receiver = NetUdpOpen(udpPort);
  const int32_t sender = NetUdpOpen(0);
  ASSERT_GE(receiver, 0);
  ASSERT_GE(sender, 0);
  EXPECT_EQ(NetUdpSendString(sender, OwnedStr("datagram").s, 2130706433, udpPort), 8);
  ASSERT_TRUE(ReadableWithin(receiver));
  OwnedStr received;
  EXPECT_EQ(NetSockRecvString(receiver, received.s, 64), 8);
  EXPECT_EQ(received.text(), "datagram");
  EXPECT_EQ(NetGetRemoteIp(receiver), 2130706433);
}

TEST_F(NetCommands, HttpGetStringCutsAtTheLimitAndTheFirstNul) {
  LoopbackHttpServer server;
  ASSERT_TRUE(server.Usable());
  const OwnedStr host("127.0.0.1"), path("/");
  struct Case {
    std::string body;
    int32_t maxLength;
    std::string text;
  };
  const Case cases[] = {
      {"hello", 4, "hell"},
      {"hello", 5, "hello"},
      {"hello", 0, ""},
      {"hello", -3, ""},
      {std::string("ab\0cd", 5), 10, "ab"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.maxLength);
    server.SetScript({{"HTTP/1.0 200 OK\r\n\r\n" + c.body, 0}});
    EXPECT_EQ(OwnedStr(NetHttpGetString(host.s, path.s, server.Port(), c.maxLength, 2000)).text(),
              c.text);
  }
  EXPECT_EQ(OwnedStr(NetHttpGetString(host.s, path.s, FreeLoopbackPort(), 10, 2000)).text(), "");
  EXPECT_EQ(
      NetHttpGetFile(host.s, path.s, server.Port(), OwnedStr("mem://00000001.00000001").s, 2000),
      0);
}

}  // namespace
