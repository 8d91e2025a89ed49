// The network thread: each cycle sends the joins of new local players, reads the connection to
// the host, and on the host accepts and reads clients; then it files, serves and relays what came
// in, and passes the host's replies to the clients' output buffers.
#include <algorithm>

#include "net/net_session.h"
#include "net/socket_layer.h"
#include "platform/clock.h"

namespace {

// The host keeps this many clients; one more is closed as soon as it is accepted.
constexpr size_t kMaxClients = 128;

struct NetClient {
  int32_t row = -1;
  FrameReader reader;
  std::vector<uint8_t> output;  // bytes the socket has not taken yet
  double lastProgressMs = 0.0;
  bool lost = false;  // removed at the end of the cycle, after its last frames were served
};

struct TaggedFrame {
  bool fromConnection;
  int32_t sourceRow;
  NetMessage message;
};

}  // namespace

struct NetSession::ThreadWork {
  int32_t listenRow = -1;
  int32_t connectionRow = -1;
  FrameReader connectionReader;
  std::vector<NetClient> clients;
  std::vector<TaggedFrame> incoming;
  std::vector<OutgoingFrame> outgoing;
};

uint32_t NetSessionThread(void* session) {
  static_cast<NetSession*>(session)->RunThread();
  return 0;
}

void NetSession::RunThread() {
  ThreadWork work;
  {
    Lock lock(mutex_);
    work.listenRow = state_.listenRow;
    work.connectionRow = state_.connectionRow;
  }
  while (!stop_) {
    const int32_t joinsSent = SendPendingJoins(work);
    if (joinsSent < 0) break;
    bool busy = joinsSent > 0;
    const double nowMs = platform::MonotonicMs();
    const bool connected = ReadConnection(work, nowMs);
    if (connected && work.listenRow != -1) {
      busy |= AcceptClient(work);
      busy |= ReadClients(work, nowMs);
    }
    busy |= !work.incoming.empty();
    // What came before a lost connection is still delivered.
    ProcessIncoming(work);
    if (!connected) break;
    busy |= FlushClients(work, nowMs);
    busy |= RemoveLostClients(work);
    if (!busy) ThreadSleep(uint32_t(tuning_.idleSleepMs));
  }
  StopPath(work);
}

// Joins go out whole on the connection row; one that cannot (stop request, a host that stopped
// reading, a failed row) ends the group. The number sent, or -1.
int32_t NetSession::SendPendingJoins(const ThreadWork& work) {
  std::vector<std::vector<uint8_t>> frames;
  {
    Lock lock(mutex_);
    for (NetPlayer& player : state_.localPlayers) {
      if (player.id != kNetJoinPending) continue;
      NetJoinPayload join;
      join.hidden = player.hidden;
      join.name = player.name;
      frames.push_back(
          EncodeNetFrame(kNetJoin, kNetServerId, kNetServerId, EncodeJoinPayload(join)));
      player.id = kNetJoinSent;
    }
  }
  for (const std::vector<uint8_t>& frame : frames) {
    const int32_t sent = NetMessageSend(work.connectionRow, frame, tuning_.sendDeadlineMs, &stop_);
    if (sent != int32_t(frame.size())) return -1;
  }
  return int32_t(frames.size());
}

// False when the connection to the host is lost.
bool NetSession::ReadConnection(ThreadWork& work, double nowMs) {
  for (int32_t count = 0; count < tuning_.framesPerRowPerCycle; ++count) {
    NetMessage message;
    switch (
        work.connectionReader.Next(work.connectionRow, nowMs, tuning_.frameDeadlineMs, message)) {
      case FrameReader::Result::Frame:
        work.incoming.push_back(TaggedFrame{true, work.connectionRow, std::move(message)});
        break;
      case FrameReader::Result::Dropped:
        break;
      case FrameReader::Result::Idle:
        return true;
      case FrameReader::Result::Lost:
        return false;
    }
  }
  return true;
}

bool NetSession::AcceptClient(ThreadWork& work) {
  {
    Lock lock(mutex_);
    if (!state_.accepting) return false;
  }
  const int32_t row = SockTcpAccept(work.listenRow, nullptr);
  if (row < 0) return false;
  // A client past the table is turned away at once, so its join fails fast.
  if (work.clients.size() >= kMaxClients) {
    SockClose(row);
    return true;
  }
  work.clients.push_back(NetClient{row, FrameReader(), {}, 0.0, false});
  return true;
}

bool NetSession::ReadClients(ThreadWork& work, double nowMs) {
  bool busy = false;
  for (NetClient& client : work.clients) {
    for (int32_t count = 0; count < tuning_.framesPerRowPerCycle; ++count) {
      NetMessage message;
      const FrameReader::Result result =
          client.reader.Next(client.row, nowMs, tuning_.frameDeadlineMs, message);
      if (result == FrameReader::Result::Idle) break;
      busy = true;
      if (result == FrameReader::Result::Lost) {
        client.lost = true;
        break;
      }
      if (result == FrameReader::Result::Frame) {
        work.incoming.push_back(TaggedFrame{false, client.row, std::move(message)});
      }
    }
  }
  return busy;
}

void NetSession::ProcessIncoming(ThreadWork& work) {
  {
    Lock lock(mutex_);
    for (const TaggedFrame& frame : work.incoming) {
      if (frame.fromConnection) {
        FileConnectionFrame(state_, frame.message);
      } else {
        ServeClientFrame(state_, frame.sourceRow, frame.message, work.outgoing);
      }
    }
  }
  work.incoming.clear();
  const double nowMs = platform::MonotonicMs();
  for (OutgoingFrame& frame : work.outgoing) {
    auto client = std::find_if(work.clients.begin(), work.clients.end(),
                               [&](const NetClient& c) { return c.row == frame.row; });
    if (client == work.clients.end()) continue;
    if (client->output.empty()) client->lastProgressMs = nowMs;
    client->output.insert(client->output.end(), frame.bytes.begin(), frame.bytes.end());
  }
  work.outgoing.clear();
}

// Offers each client its waiting bytes without waiting. A client that takes nothing for the
// send deadline, or lets too much pile up, is dropped.
bool NetSession::FlushClients(ThreadWork& work, double nowMs) {
  bool busy = false;
  for (NetClient& client : work.clients) {
    if (client.lost || client.output.empty()) continue;
    const int32_t sent =
        SockSendFor(client.row, client.output.data(), int32_t(client.output.size()), 0, nullptr);
    if (sent > 0) {
      client.output.erase(client.output.begin(), client.output.begin() + sent);
      client.lastProgressMs = nowMs;
      busy = true;
    }
    const bool stalled =
        !client.output.empty() && nowMs - client.lastProgressMs > tuning_.sendDeadlineMs;
    if (sent < 0 || stalled || client.output.size() > size_t(tuning_.outputLimitBytes)) {
      client.lost = true;
      busy = true;
    }
  }
  return busy;
}

// A lost client's players are removed and queued as left, and its row closed; the last client
// moves into its place.
bool NetSession::RemoveLostClients(ThreadWork& work) {
  bool removed = false;
  for (size_t index = work.clients.size(); index-- > 0;) {
    if (!work.clients[index].lost) continue;
    const int32_t row = work.clients[index].row;
    {
      Lock lock(mutex_);
      DropClientPlayers(state_, row);
    }
    SockClose(row);
    if (index + 1 != work.clients.size()) work.clients[index] = std::move(work.clients.back());
    work.clients.pop_back();
    removed = true;
  }
  return removed;
}

// The thread owns the group's sockets while it runs, so it closes them and releases the start
// reference itself; clearing the running flag is its last act. The players stay.
void NetSession::StopPath(ThreadWork& work) {
  for (const NetClient& client : work.clients) SockClose(client.row);
  work.clients.clear();
  CloseGroupSockets();
  Lock lock(mutex_);
  stop_ = true;
  state_.accepting = true;
  state_.nextId = kNetFirstPlayerId;
  state_.ownId = 0;
  state_.running = false;
}
