// The network thread: each cycle sends the joins of new local players, reads the connection to
// the host, and on the host accepts and reads clients; then it files, serves and relays what came
// in, and passes the host's replies to the clients' output buffers.
#include <algorithm>

#include "net/net_session.h"
#include "net/socket_layer.h"
#include "platform/clock.h"
#include "system/debug_log.h"

namespace {

// The host keeps this many clients; one more is closed as soon as it is accepted.
constexpr size_t kMaxClients = 128;
// Rows one remote address may hold, so that one peer cannot fill the table and keep everybody
// else out; the host's own connection does not count.
constexpr size_t kMaxClientsPerAddress = kMaxClients / 4;
// Connections taken from the listener per cycle, so a crowd connecting at once does not overflow
// its short queue.
constexpr int kAcceptsPerCycle = 32;

struct TaggedFrame {
  bool fromConnection;
  int32_t sourceRow;
  NetMessage message;
};

}  // namespace

struct NetSession::NetClient {
  int32_t row = -1;
  // The host's own connection: the same thread drains its other end, so it is never a slow peer.
  bool self = false;
  uint32_t address = 0;  // the peer's, network order
  FrameReader reader;
  std::vector<uint8_t> output;  // bytes the socket has not taken yet
  double lastProgressMs = 0.0;
  double acceptedMs = 0.0;
  bool joined = false;           // a player of it has joined
  bool reportedForgery = false;  // its first frame in another's name went to the debug log
  // Rows whose piled-up output this client's relays fed: it is not read until they catch up.
  std::vector<int32_t> heldBackBy;
  bool lost = false;  // removed at the end of the cycle, after its last frames were served
};

// A reply or relay, with the client row whose frame caused it.
struct NetSession::SourcedFrame {
  int32_t sourceRow;
  OutgoingFrame frame;
};

struct NetSession::ThreadWork {
  int32_t listenRow = -1;
  int32_t connectionRow = -1;
  SockAddress connectionAddress{0, 0};  // where the host's own connection comes from
  FrameReader connectionReader;
  std::vector<NetClient> clients;
  std::vector<TaggedFrame> incoming;
  std::vector<SourcedFrame> outgoing;

  NetClient* Client(int32_t row) {
    auto found = std::find_if(clients.begin(), clients.end(),
                              [row](const NetClient& c) { return c.row == row; });
    return found == clients.end() ? nullptr : &*found;
  }

  bool HasRoomFor(uint32_t address) const {
    const auto rowsOfAddress =
        std::count_if(clients.begin(), clients.end(),
                      [&](const NetClient& c) { return !c.self && c.address == address; });
    return clients.size() < kMaxClients && size_t(rowsOfAddress) < kMaxClientsPerAddress;
  }
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
  if (work.listenRow != -1) work.connectionAddress = SockGetLocalAddress(work.connectionRow);
  // Frames are small and each is a message somebody waits for: none is held back to be merged.
  SockSetNoDelay(work.connectionRow, true);
  while (!stop_) {
    const int32_t joinsSent = SendPendingJoins(work);
    if (joinsSent < 0) break;
    bool busy = joinsSent > 0;
    const double nowMs = platform::MonotonicMs();
    const bool connected = ReadConnection(work, nowMs);
    if (connected && work.listenRow != -1) {
      busy |= AcceptClients(work);
      busy |= ReadClients(work, nowMs);
    }
    busy |= !work.incoming.empty();
    // What came before a lost connection is still delivered.
    ProcessIncoming(work);
    if (!connected) break;
    busy |= FlushClients(work, nowMs);
    busy |= ExpireUnjoinedClients(work, nowMs);
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

bool NetSession::AcceptClients(ThreadWork& work) {
  {
    Lock lock(mutex_);
    if (!state_.accepting) return false;
  }
  int accepted = 0;
  while (accepted < kAcceptsPerCycle && AcceptClient(work)) ++accepted;
  return accepted > 0;
}

bool NetSession::AcceptClient(ThreadWork& work) {
  SockAddress peer{0, 0};
  const int32_t row = SockTcpAccept(work.listenRow, &peer);
  if (row < 0) return false;
  const bool self =
      peer.address == work.connectionAddress.address && peer.port == work.connectionAddress.port;
  // A client past the table, or past its address's share of it, is turned away at once, so its
  // join fails fast.
  if (!self && !work.HasRoomFor(peer.address)) {
    SockClose(row);
    return true;
  }
  SockSetNoDelay(row, true);
  NetClient client;
  client.row = row;
  client.self = self;
  client.address = peer.address;
  client.acceptedMs = platform::MonotonicMs();
  work.clients.push_back(std::move(client));
  return true;
}

// A client stays held back while any row its relays fed still holds more than half the high
// water mark; rows that caught up or went away release it.
bool NetSession::HeldBack(ThreadWork& work, NetClient& client) const {
  const size_t lowWater = size_t(tuning_.relayHighWaterBytes) / 2;
  std::erase_if(client.heldBackBy, [&](int32_t row) {
    const NetClient* fed = work.Client(row);
    return !fed || fed->lost || fed->output.size() <= lowWater;
  });
  return !client.heldBackBy.empty();
}

bool NetSession::ReadClients(ThreadWork& work, double nowMs) {
  bool busy = false;
  for (NetClient& client : work.clients) {
    if (HeldBack(work, client)) continue;
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
    std::vector<OutgoingFrame> replies;
    for (const TaggedFrame& frame : work.incoming) {
      if (frame.fromConnection) {
        FileConnectionFrame(state_, frame.message);
        continue;
      }
      if (!ServeClientFrame(state_, frame.sourceRow, frame.message, replies)) {
        ReportForgery(work, frame.sourceRow, frame.message.header.sender);
      }
      for (OutgoingFrame& reply : replies) {
        work.outgoing.push_back(SourcedFrame{frame.sourceRow, std::move(reply)});
      }
      replies.clear();
    }
  }
  work.incoming.clear();
  const double nowMs = platform::MonotonicMs();
  for (SourcedFrame& sourced : work.outgoing) QueueForClient(work, sourced, nowMs);
  work.outgoing.clear();
}

// The first frame a client sends in the name of a player it did not join goes to the debug log;
// the rest are dropped silently, so a flood of them cannot fill the disk.
void NetSession::ReportForgery(ThreadWork& work, int32_t row, uint16_t sender) {
  NetClient* client = work.Client(row);
  if (!client || client->reportedForgery) return;
  client->reportedForgery = true;
  const std::string line = "Group: dropping frames from " + SockIpToString(client->address) +
                           " in the name of player " + std::to_string(sender) +
                           ", which that connection did not join\n";
  ErrorLogWrite(line.c_str());
}

// Appends a frame to its client's output. Past the high water mark the client whose frame it
// answers is held back: a burst then waits in the sender's socket, not in the host's memory.
void NetSession::QueueForClient(ThreadWork& work, const SourcedFrame& sourced, double nowMs) {
  NetClient* client = work.Client(sourced.frame.row);
  if (!client) return;
  if (client->output.empty()) client->lastProgressMs = nowMs;
  const std::vector<uint8_t>& bytes = sourced.frame.bytes;
  client->output.insert(client->output.end(), bytes.begin(), bytes.end());
  if (client->output.size() <= size_t(tuning_.relayHighWaterBytes)) return;
  NetClient* source = work.Client(sourced.sourceRow);
  if (!source) return;
  std::vector<int32_t>& rows = source->heldBackBy;
  if (std::find(rows.begin(), rows.end(), client->row) == rows.end()) rows.push_back(client->row);
}

// Offers each client its waiting bytes without waiting. A client that takes nothing for the
// send deadline is dead or stuck and is dropped, as is one whose bytes pass the ceiling; the
// host's own connection is neither.
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
    const bool overflowing = client.output.size() > size_t(tuning_.outputCeilingBytes);
    if (sent < 0 || (!client.self && (stalled || overflowing))) {
      client.lost = true;
      busy = true;
    }
  }
  return busy;
}

// A connection that has had no player join within the join limit is closed, so idle connections
// cannot hold the client table and keep players out.
bool NetSession::ExpireUnjoinedClients(ThreadWork& work, double nowMs) {
  bool expired = false;
  Lock lock(mutex_);
  for (NetClient& client : work.clients) {
    if (client.joined || client.self || client.lost) continue;
    client.joined = std::any_of(state_.remotePlayers.begin(), state_.remotePlayers.end(),
                                [&](const NetPlayer& player) { return player.row == client.row; });
    if (client.joined || nowMs - client.acceptedMs <= tuning_.joinLimitMs) continue;
    client.lost = true;
    expired = true;
  }
  return expired;
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
