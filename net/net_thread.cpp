// The network thread: each cycle sends the joins of new local players, reads the connection to
// the host and files what it brings, and on the host accepts clients, reads and serves their
// frames one by one and passes the replies and relays to the clients' output buffers.
//
// Back-pressure: a client whose waiting output passes the high water mark holds back every client
// whose frames fed it (they are not read, so their senders wait in their own sockets) until it has
// taken half of it; one that stays past the mark for the hold limit is a slow peer and is dropped,
// so nobody is held long because of somebody else. A full inbox holds back the connection that
// feeds it in the same way, for at most half the hold limit.
#include <algorithm>
#include <optional>
#include <string>

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
// Texts dropped for full inboxes are noted in the debug log at most this often.
constexpr double kDropReportIntervalMs = 1000.0;
// The system's buffers on both ends of the host's connection to itself. What waits there for a
// full inbox waits in arrival order, ahead of the inbox that lets other senders' texts through
// in turn; kept small, so the wait stays short.
constexpr int32_t kOwnConnectionBufferBytes = 32 * 1024;

size_t FrameBytes(const NetMessage& message) {
  return kNetHeaderSize + message.payload.size();
}

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
  // Since when the output has been past the high water mark without falling to half of it.
  std::optional<double> pressedSinceMs;
  bool joined = false;           // a player of it has joined
  bool reportedForgery = false;  // its first frame in another's name went to the debug log
  // Rows whose piled-up output this client's relays fed: it is not read until they catch up.
  std::vector<int32_t> heldBackBy;
  bool lost = false;  // removed at the end of the cycle, after its last frames were served
};

struct NetSession::ThreadWork {
  int32_t listenRow = -1;
  int32_t connectionRow = -1;
  SockAddress connectionAddress{0, 0};  // where the host's own connection comes from
  FrameReader connectionReader;
  // A text from the connection whose inbox was full; nothing more is read behind it. The backlog
  // clock runs from when that began, and starts again each time the reader has taken half the
  // high water mark's worth since, so only a reader slower than that ends the wait.
  std::optional<NetMessage> parked;
  std::optional<double> backlogSinceMs;
  size_t backlogBytes = 0;
  uint64_t droppedTexts = 0;  // as last seen in the shared state
  uint64_t droppedReported = 0;
  std::optional<double> dropReportMs;
  std::vector<NetClient> clients;
  size_t outputBytes = 0;   // every client's waiting output together
  size_t ownTextBytes = 0;  // the host's own texts taken up, not yet handed back
  std::vector<OutgoingFrame> replies;

  NetClient* Client(int32_t row) {
    auto found = std::find_if(clients.begin(), clients.end(),
                              [row](const NetClient& c) { return c.row == row; });
    return found == clients.end() ? nullptr : &*found;
  }
  NetClient* Self() {
    auto found = std::find_if(clients.begin(), clients.end(),
                              [](const NetClient& c) { return c.self && !c.lost; });
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
  if (work.listenRow != -1) {
    work.connectionAddress = SockGetLocalAddress(work.connectionRow);
    SockSetBufferBytes(work.connectionRow, kOwnConnectionBufferBytes);
  }
  // Frames are small and each is a message somebody waits for: none is held back to be merged.
  SockSetNoDelay(work.connectionRow, true);
  while (!stop_) {
    const int32_t joinsSent = SendPendingJoins(work);
    if (joinsSent < 0) break;
    bool busy = joinsSent > 0;
    const double nowMs = platform::MonotonicMs();
    const bool connected = ReadConnection(work, nowMs, busy);
    ReportDroppedTexts(work, nowMs);
    if (!connected) break;
    if (work.listenRow != -1) {
      busy |= AcceptClients(work);
      busy |= ReadClients(work, nowMs);
      busy |= FlushClients(work, nowMs);
      busy |= ExpireUnjoinedClients(work, nowMs);
      busy |= RemoveLostClients(work);
      HandBackOwnTexts(work);
    }
    if (!busy) Pause(work);
  }
  StopPath(work);
}

// An idle cycle ends early when the host's own connection brings something, so the host's own
// player never waits a whole pause for its texts to be taken up.
void NetSession::Pause(ThreadWork& work) {
  const NetClient* self = work.Self();
  if (self) {
    SockWaitReadable(self->row, tuning_.idleSleepMs);
  } else {
    ThreadSleep(uint32_t(tuning_.idleSleepMs));
  }
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

// Files what the connection to the host brings, frame by frame; false when it is lost.
bool NetSession::ReadConnection(ThreadWork& work, double nowMs, bool& busy) {
  for (int32_t count = 0; count < tuning_.framesPerRowPerCycle; ++count) {
    if (work.parked) {
      if (!FileFromConnection(work, *work.parked, nowMs)) return true;
      work.parked.reset();
      busy = true;
    }
    NetMessage message;
    switch (
        work.connectionReader.Next(work.connectionRow, nowMs, tuning_.frameDeadlineMs, message)) {
      case FrameReader::Result::Frame:
        busy = true;
        NoteConnectionBytes(work, message, nowMs);
        if (!FileFromConnection(work, message, nowMs)) work.parked = std::move(message);
        break;
      case FrameReader::Result::Dropped:
        busy = true;
        break;
      case FrameReader::Result::Idle:
        work.backlogSinceMs.reset();  // nothing waits any more
        return true;
      case FrameReader::Result::Lost:
        return false;
    }
  }
  return true;
}

// False while the frame's inbox is full and the backlog is young enough to wait for its reader.
bool NetSession::FileFromConnection(ThreadWork& work, const NetMessage& message, double nowMs) {
  const bool giveUp =
      work.backlogSinceMs && nowMs - *work.backlogSinceMs > tuning_.holdLimitMs / 2.0;
  bool filed;
  {
    Lock lock(mutex_);
    filed = FileConnectionFrame(state_, message, giveUp);
    work.droppedTexts = state_.droppedTexts;
  }
  if (!filed && !work.backlogSinceMs) {
    work.backlogSinceMs = nowMs;
    work.backlogBytes = 0;
  }
  return filed;
}

void NetSession::NoteConnectionBytes(ThreadWork& work, const NetMessage& message,
                                     double nowMs) const {
  if (!work.backlogSinceMs) return;
  work.backlogBytes += FrameBytes(message);
  if (work.backlogBytes < size_t(tuning_.relayHighWaterBytes) / 2) return;
  work.backlogSinceMs = nowMs;
  work.backlogBytes = 0;
}

void NetSession::ReportDroppedTexts(ThreadWork& work, double nowMs) const {
  if (work.droppedTexts == work.droppedReported) return;
  if (work.dropReportMs && nowMs - *work.dropReportMs < kDropReportIntervalMs) return;
  work.droppedReported = work.droppedTexts;
  work.dropReportMs = nowMs;
  const std::string line = "Group: " + std::to_string(work.droppedTexts) +
                           " texts dropped in all, their player's inbox being full\n";
  ErrorLogWrite(line.c_str());
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
  if (self) SockSetBufferBytes(row, kOwnConnectionBufferBytes);
  NetClient client;
  client.row = row;
  client.self = self;
  client.address = peer.address;
  client.acceptedMs = platform::MonotonicMs();
  work.clients.push_back(std::move(client));
  return true;
}

// A client stays held back while any row its relays fed is still past the high water mark; rows
// that caught up or went away release it.
bool NetSession::HeldBack(ThreadWork& work, NetClient& client) const {
  std::erase_if(client.heldBackBy, [&](int32_t row) {
    const NetClient* fed = work.Client(row);
    return !fed || fed->lost || !fed->pressedSinceMs;
  });
  return !client.heldBackBy.empty();
}

// Checked before every frame, so one cycle adds at most one frame's relays past a mark. The
// host's own connection is always read: its texts are held back at the sender instead.
bool NetSession::Readable(ThreadWork& work, NetClient& client) const {
  if (client.lost) return false;
  if (client.self) return true;
  return !HeldBack(work, client) && work.outputBytes <= size_t(tuning_.outputTotalBytes);
}

// One frame from each client in turn, so clients competing for a receiver near its mark share
// what it takes evenly instead of the first in the table taking it all.
bool NetSession::ReadClients(ThreadWork& work, double nowMs) {
  std::vector<bool> drained(work.clients.size(), false);
  bool busy = false;
  for (int32_t round = 0; round < tuning_.framesPerRowPerCycle; ++round) {
    bool readAny = false;
    for (size_t index = 0; index < work.clients.size(); ++index) {
      NetClient& client = work.clients[index];
      if (drained[index] || !Readable(work, client)) continue;
      NetMessage message;
      const FrameReader::Result result =
          client.reader.Next(client.row, nowMs, tuning_.frameDeadlineMs, message);
      drained[index] = result == FrameReader::Result::Idle;
      if (drained[index]) continue;
      readAny = true;
      if (result == FrameReader::Result::Lost) client.lost = true;
      if (result == FrameReader::Result::Frame) ServeFrame(work, client, message, nowMs);
    }
    if (!readAny) break;
    busy = true;
  }
  return busy;
}

// Serves one frame and queues what it makes at once, so no more than one frame's copies of a
// broadcast are ever built before the marks are looked at again.
void NetSession::ServeFrame(ThreadWork& work, NetClient& source, const NetMessage& message,
                            double nowMs) {
  bool served;
  {
    Lock lock(mutex_);
    served = ServeClientFrame(state_, source.row, message, work.replies);
  }
  if (!served) ReportForgery(source, message.header.sender);
  for (const OutgoingFrame& reply : work.replies) QueueForClient(work, source, reply, nowMs);
  work.replies.clear();
  if (source.self && message.header.type == kNetText) work.ownTextBytes += FrameBytes(message);
}

// The first frame a client sends in the name of a player it did not join goes to the debug log;
// the rest are dropped silently, so a flood of them cannot fill the disk.
void NetSession::ReportForgery(NetClient& client, uint16_t sender) {
  if (client.reportedForgery) return;
  client.reportedForgery = true;
  const std::string line = "Group: dropping frames from " + SockIpToString(client.address) +
                           " in the name of player " + std::to_string(sender) +
                           ", which that connection did not join\n";
  ErrorLogWrite(line.c_str());
}

// Appends a frame to its client's output. Past the high water mark the source is held back: a
// burst then waits in the sender's socket, not in the host's memory. Past the ceiling the client
// is dropped at once, the host's own connection aside (its feeders are held back like any).
void NetSession::QueueForClient(ThreadWork& work, NetClient& source, const OutgoingFrame& frame,
                                double nowMs) {
  NetClient* client = work.Client(frame.row);
  if (!client || client->lost) return;
  if (client->output.empty()) client->lastProgressMs = nowMs;
  client->output.insert(client->output.end(), frame.bytes.begin(), frame.bytes.end());
  work.outputBytes += frame.bytes.size();
  if (client->output.size() > size_t(tuning_.outputCeilingBytes) && !client->self) {
    DropClient(work, *client);
    return;
  }
  if (client->output.size() <= size_t(tuning_.relayHighWaterBytes)) return;
  if (!client->pressedSinceMs) client->pressedSinceMs = nowMs;
  std::vector<int32_t>& rows = source.heldBackBy;
  if (std::find(rows.begin(), rows.end(), client->row) == rows.end()) rows.push_back(client->row);
}

// Its waiting bytes go at once; the row is closed at the end of the cycle.
void NetSession::DropClient(ThreadWork& work, NetClient& client) const {
  work.outputBytes -= client.output.size();
  client.output = {};
  client.lost = true;
}

// Offers each client its waiting bytes without waiting. A client that takes nothing for the
// send deadline is dead or stuck, and one that stays past the high water mark for the hold limit
// holds others back too long: both are dropped, the host's own connection never.
bool NetSession::FlushClients(ThreadWork& work, double nowMs) {
  const size_t lowWater = size_t(tuning_.relayHighWaterBytes) / 2;
  bool busy = false;
  for (NetClient& client : work.clients) {
    if (client.lost) continue;
    const int32_t sent = client.output.empty()
                             ? 0
                             : SockSendFor(client.row, client.output.data(),
                                           int32_t(client.output.size()), 0, nullptr);
    if (sent > 0) {
      client.output.erase(client.output.begin(), client.output.begin() + sent);
      work.outputBytes -= size_t(sent);
      client.lastProgressMs = nowMs;
      busy = true;
    }
    if (client.output.size() <= lowWater) client.pressedSinceMs.reset();
    const bool stalled =
        !client.output.empty() && nowMs - client.lastProgressMs > tuning_.sendDeadlineMs;
    const bool slow = client.pressedSinceMs && nowMs - *client.pressedSinceMs > tuning_.holdLimitMs;
    if (sent < 0 || (!client.self && (stalled || slow))) {
      DropClient(work, client);
      busy = true;
    }
  }
  return busy;
}

// The host's own texts make room for more once whatever they fed has caught up.
void NetSession::HandBackOwnTexts(ThreadWork& work) {
  NetClient* self = work.Self();
  if (!self || HeldBack(work, *self)) return;
  ownTexts_.HandBack(work.ownTextBytes);
  work.ownTextBytes = 0;
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
    work.outputBytes -= work.clients[index].output.size();
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
