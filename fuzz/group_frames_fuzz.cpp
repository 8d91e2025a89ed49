// The group protocol from a hostile peer: the input goes over a loopback connection in pieces
// of 1 to 32 bytes (the first byte seeds their sizes), the frame reader reassembles what it can
// after each piece, and every frame is filed as from the host and served as from a client.
// Frames keep to their announced length, and what a peer can make a program keep stays bounded.
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "net/frame_reader.h"
#include "net/group_rules.h"
#include "net/sock_address.h"
#include "net/socket_layer.h"
#include "platform/net_seams.h"

namespace {

constexpr double kNoDeadline = 1e18;

struct LoopbackPair {
  int32_t client = -1;
  int32_t server = -1;
};

int32_t AcceptOne(int32_t listener) {
  for (int tries = 0; tries < 200; ++tries) {
    if (SockWaitReadable(listener, 10) != 1) continue;
    const int32_t row = SockTcpAccept(listener, nullptr);
    if (row >= 0) return row;
  }
  return -1;
}

LoopbackPair Connect() {
  platform::SetLoopbackGuard(true);
  platform::SetTestBindAddress(true);
  if (!SockStartup()) std::abort();
  for (uint16_t port = uint16_t(20000 + getpid() % 20000); port < 65000; port += 7) {
    const int32_t listener = SockTcpListen(port);
    if (listener < 0) continue;
    LoopbackPair pair;
    pair.client = SockTcpConnect(SockMakeAddress(127, 0, 0, 1, port), 2000);
    pair.server = pair.client >= 0 ? AcceptOne(listener) : -1;
    SockClose(listener);
    if (pair.server < 0) std::abort();
    SockSetBlocking(pair.server, false);
    return pair;
  }
  std::abort();
}

void CheckBounds(const NetGroupState& state) {
  if (state.answers.size() > kNetAnswerLimit) std::abort();
  for (const auto* players : {&state.localPlayers, &state.remotePlayers}) {
    for (const NetPlayer& player : *players) {
      if (player.inbox.size() > kNetInboxLimit) std::abort();
    }
  }
}

void Take(const NetMessage& message, NetGroupState& client, NetGroupState& host,
          int32_t clientRow) {
  if (message.payload.size() != message.header.length ||
      message.header.length > kNetMaxPayload) {
    std::abort();
  }
  FileConnectionFrame(client, message);
  std::vector<OutgoingFrame> out;
  ServeClientFrame(host, clientRow, message, out);
  CheckBounds(client);
  CheckBounds(host);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const LoopbackPair pair = Connect();
  if (size == 0) return 0;
  NetGroupState client, host;
  client.connectionRow = pair.client;
  client.localPlayers.push_back(NetPlayer{-1, 101, 0, 0, "local", {}});
  host.host = true;
  host.localPlayers.push_back(NetPlayer{-1, 101, 0, 0, "host", {}});
  FrameReader reader;
  NetMessage message;
  uint32_t pieceSeed = data[0];
  for (size_t at = 1; at < size;) {
    pieceSeed = pieceSeed * 1103515245u + 12345u;
    const size_t piece = std::min<size_t>(1 + (pieceSeed >> 16) % 32, size - at);
    if (SockSend(pair.client, data + at, int32_t(piece), nullptr) != int32_t(piece)) std::abort();
    at += piece;
    for (;;) {
      const FrameReader::Result result = reader.Next(pair.server, 0, kNoDeadline, message);
      if (result == FrameReader::Result::Lost) std::abort();
      if (result == FrameReader::Result::Idle) break;
      if (result == FrameReader::Result::Frame) Take(message, client, host, pair.client);
    }
  }
  return 0;
}
