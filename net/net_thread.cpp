// The network thread: each cycle sends the joins of new local players; on a client it reads the
// connection to the host and files what it brings; on the host it accepts clients, reads and
// serves their frames and its own program's one by one, files what is for its own players and
// passes the rest to the clients' output buffers.
//
// Flow control is one rule (see BacklogClock) for every receiver: a client whose waiting output
// passes the high water mark, or a local player with that much waiting behind its full inbox,
// holds back whatever fed it (client rows are not read, the host's own texts wait where they are
// sent, a client's connection is not read, so senders wait in their own sockets) until it has
// taken half of it.
// A client that stays past the mark for the hold limit is dropped as a slow peer; a local player
// that stays past it for half the hold limit loses texts instead, so nobody is held long because
// of somebody else.
#include <algorithm>
#include <optional>
#include <string>

#include "net/frame_reader.h"
#include "net/net_session_core.h"
#include "net/socket_layer.h"
#include "platform/clock.h"
#include "system/debug_log.h"

namespace {

// The host keeps this many clients, its own program among them; one more is closed as soon as
// it is accepted.
constexpr size_t kMaxClients = 128;
constexpr size_t kMaxRemoteClients = kMaxClients - 1;
// Rows one remote address may hold, so that one peer cannot fill the table and keep everybody
// else out.
constexpr size_t kMaxClientsPerAddress = kMaxClients / 4;
// Connections taken from the listener per cycle, so a crowd connecting at once does not overflow
// its short queue.
constexpr int kAcceptsPerCycle = 32;
// A held client connection is looked at again this soon: its reader may have made room.
constexpr int32_t kRetryMs = 1;
// Texts dropped for full inboxes are noted in the debug log at most this often.
constexpr double kDropReportIntervalMs = 1000.0;

// A receiver whose backlog a source fed: a client row, or a player of the host's own program.
struct Fed {
  int32_t row;
  uint16_t player;
};

struct NetClient {
  int32_t row = kNetOwnRow;
  uint32_t address = 0;  // the peer's, network order
  FrameReader reader;
  std::vector<uint8_t> output;  // bytes the socket has not taken yet
  double lastProgressMs = 0.0;
  double acceptedMs = 0.0;
  BacklogClock pressure;         // of the output
  bool joined = false;           // a player of it has joined
  bool reportedForgery = false;  // its first frame in another's name went to the debug log
  // Receivers whose piled-up backlog this client's frames fed: it is not read until they catch up.
  std::vector<Fed> heldBackBy;
  bool lost = false;  // removed at the end of the cycle, after its last frames were served
};

class NetThread {
 public:
  explicit NetThread(NetSessionCore& core) : core_(core), tuning_(core.tuning) {}
  void Run();

 private:
  bool Hosting() const { return listenRow_ != -1; }
  void Pause();
  int32_t SendPendingJoins(double nowMs);
  bool ReadConnection(double nowMs, bool& busy);
  bool ConnectionHeld();
  bool FileLocally(const NetMessage& message, double nowMs);
  void GiveUpOnSlowReaders(double nowMs);
  void ReportDroppedTexts(double nowMs);
  void WriteDroppedTotal();
  bool AcceptClients();
  bool AcceptClient();
  bool HasRoomFor(uint32_t address) const;
  NetClient* Client(int32_t row);
  bool HeldBack(NetClient& client);
  bool Readable(NetClient& client);
  void HoldOwnTexts(bool held);
  FrameReader::Result NextFrame(NetClient& client, double nowMs, NetMessage& message);
  bool ReadClients(double nowMs);
  void ServeFrame(NetClient& source, const NetMessage& message, double nowMs);
  void QueueForClient(NetClient& source, const OutgoingFrame& frame, double nowMs);
  static void ReportForgery(NetClient& client, uint16_t sender);
  void DropClient(NetClient& client);
  bool FlushClients(double nowMs);
  bool ExpireUnjoinedClients(double nowMs);
  bool RemoveLostClients();
  void StopPath();

  NetSessionCore& core_;
  const NetTuning& tuning_;
  int32_t listenRow_ = -1;
  int32_t connectionRow_ = -1;
  FrameReader connectionReader_;
  // The local player whose waiting texts hold the connection back: nothing more is read from it
  // until that player has taken half of them.
  std::optional<uint16_t> heldBy_;
  uint64_t droppedTexts_ = 0;  // as last seen in the shared state
  uint64_t droppedReported_ = 0;
  std::optional<double> dropReportMs_;
  NetClient own_;  // the host's own program, as a source of frames
  bool ownTextsHeld_ = false;
  std::vector<NetClient> clients_;
  size_t outputBytes_ = 0;  // every client's waiting output together
  std::vector<OutgoingFrame> replies_;
  std::vector<SockRowWait> rowWaits_;
};

void NetThread::Run() {
  {
    NetLock lock(core_);
    listenRow_ = core_.state.listenRow;
    connectionRow_ = core_.state.connectionRow;
  }
  own_.address = SockMakeAddress(127, 0, 0, 1, 0).address;
  // Frames are small and each is a message somebody waits for: none is held back to be merged.
  if (!Hosting()) SockSetNoDelay(connectionRow_, true);
  while (!core_.stop) {
    const double nowMs = platform::MonotonicMs();
    const int32_t joinsSent = SendPendingJoins(nowMs);
    if (joinsSent < 0) break;
    bool busy = joinsSent > 0;
    if (Hosting()) {
      busy |= AcceptClients();
      busy |= ReadClients(nowMs);
      busy |= FlushClients(nowMs);
      busy |= ExpireUnjoinedClients(nowMs);
      busy |= RemoveLostClients();
    } else if (!ReadConnection(nowMs, busy)) {
      break;
    }
    GiveUpOnSlowReaders(nowMs);
    ReportDroppedTexts(nowMs);
    if (!busy) Pause();
  }
  StopPath();
}

// An idle cycle ends as soon as there is something to do: on a client, bytes on its connection;
// on the host, a frame of its own program, bytes from a client that is read, or room in a socket
// that output waits for. The system's buffers are small, so the line must never wait for the
// end of a pause. Only a reader making room in a local player's inbox wakes nobody: a client
// held back by one looks again soon, a host at its next pause.
void NetThread::Pause() {
  if (!Hosting() && heldBy_) {
    ThreadSleep(kRetryMs);
  } else if (!Hosting()) {
    SockWaitReadable(connectionRow_, tuning_.idleSleepMs);
  } else {
    rowWaits_.clear();
    for (NetClient& client : clients_) {
      const bool readable = Readable(client), writable = !client.output.empty();
      if (readable || writable) rowWaits_.push_back(SockRowWait{client.row, readable, writable});
    }
    SockWaitRows(rowWaits_, core_.ownFrames.WakeFd(), tuning_.idleSleepMs);
  }
}

// A client's joins go out whole on its connection; one that cannot (stop request, a host that
// stopped reading, a failed row) ends the group. The host serves its own at once. The number
// sent, or -1.
int32_t NetThread::SendPendingJoins(double nowMs) {
  std::vector<std::vector<uint8_t>> frames;
  {
    NetLock lock(core_);
    for (NetPlayer& player : core_.state.localPlayers) {
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
    if (Hosting()) {
      ServeFrame(own_, DecodeNetFrame(frame), nowMs);
      continue;
    }
    const int32_t sent = NetMessageSend(connectionRow_, frame, tuning_.sendDeadlineMs, &core_.stop);
    if (sent != int32_t(frame.size())) return -1;
  }
  return int32_t(frames.size());
}

// Files what the connection to the host brings, frame by frame; false when it is lost.
bool NetThread::ReadConnection(double nowMs, bool& busy) {
  for (int32_t count = 0; count < tuning_.framesPerRowPerCycle && !ConnectionHeld(); ++count) {
    NetMessage message;
    switch (connectionReader_.Next(connectionRow_, nowMs, tuning_.frameDeadlineMs, message)) {
      case FrameReader::Result::Frame:
        busy = true;
        if (FileLocally(message, nowMs)) heldBy_ = message.header.receiver;
        break;
      case FrameReader::Result::Dropped:
        busy = true;
        break;
      case FrameReader::Result::Idle:
        return true;
      case FrameReader::Result::Lost:
        return false;
    }
  }
  return true;
}

bool NetThread::ConnectionHeld() {
  if (!heldBy_) return false;
  {
    NetLock lock(core_);
    if (LocalPlayerPressed(core_.state, *heldBy_)) return true;
  }
  heldBy_.reset();
  return false;
}

// True when the frame left its player pressed.
bool NetThread::FileLocally(const NetMessage& message, double nowMs) {
  NetLock lock(core_);
  const bool pressed = FileConnectionFrame(core_.state, message, nowMs);
  droppedTexts_ = core_.state.droppedTexts;
  return pressed;
}

void NetThread::GiveUpOnSlowReaders(double nowMs) {
  NetLock lock(core_);
  ::GiveUpOnSlowReaders(core_.state, nowMs, tuning_.holdLimitMs / 2.0);
  droppedTexts_ = core_.state.droppedTexts;
}

void NetThread::ReportDroppedTexts(double nowMs) {
  if (droppedTexts_ == droppedReported_) return;
  if (dropReportMs_ && nowMs - *dropReportMs_ < kDropReportIntervalMs) return;
  dropReportMs_ = nowMs;
  WriteDroppedTotal();
}

void NetThread::WriteDroppedTotal() {
  droppedReported_ = droppedTexts_;
  const std::string line = "Group: " + std::to_string(droppedTexts_) +
                           " texts dropped in all, their player's inbox being full\n";
  ErrorLogWrite(line.c_str());
}

bool NetThread::AcceptClients() {
  {
    NetLock lock(core_);
    if (!core_.state.accepting) return false;
  }
  int accepted = 0;
  while (accepted < kAcceptsPerCycle && AcceptClient()) ++accepted;
  return accepted > 0;
}

bool NetThread::AcceptClient() {
  SockAddress peer{0, 0};
  const int32_t row = SockTcpAccept(listenRow_, &peer);
  if (row < 0) return false;
  // A client past the table, or past its address's share of it, is turned away at once, so its
  // join fails fast.
  if (!HasRoomFor(peer.address)) {
    SockClose(row);
    return true;
  }
  SockSetNoDelay(row, true);
  SockSetSendBufferBytes(row, kNetConnectionBufferBytes);
  NetClient client;
  client.row = row;
  client.address = peer.address;
  client.acceptedMs = platform::MonotonicMs();
  clients_.push_back(std::move(client));
  return true;
}

bool NetThread::HasRoomFor(uint32_t address) const {
  const auto rowsOfAddress = std::count_if(
      clients_.begin(), clients_.end(), [&](const NetClient& c) { return c.address == address; });
  return clients_.size() < kMaxRemoteClients && size_t(rowsOfAddress) < kMaxClientsPerAddress;
}

NetClient* NetThread::Client(int32_t row) {
  auto found = std::find_if(clients_.begin(), clients_.end(),
                            [row](const NetClient& c) { return c.row == row; });
  return found == clients_.end() ? nullptr : &*found;
}

// A source stays held back while any receiver it fed is still pressed; receivers that caught up
// or went away release it.
bool NetThread::HeldBack(NetClient& client) {
  std::erase_if(client.heldBackBy, [&](const Fed& fed) {
    if (fed.row == kNetOwnRow) {
      NetLock lock(core_);
      return !LocalPlayerPressed(core_.state, fed.player);
    }
    const NetClient* receiver = Client(fed.row);
    return !receiver || receiver->lost || !receiver->pressure.Pressed();
  });
  return !client.heldBackBy.empty();
}

// Checked before every frame, so one cycle adds at most one frame's relays past a mark. The host's
// own frames are always taken, so its queries and deletes never wait behind its texts; its new
// texts wait to be sent instead, and those already on the way are at most the queue's bound.
bool NetThread::Readable(NetClient& client) {
  const bool held = HeldBack(client) || outputBytes_ > size_t(tuning_.outputTotalBytes);
  if (&client != &own_) return !client.lost && !held;
  HoldOwnTexts(held);
  return true;
}

void NetThread::HoldOwnTexts(bool held) {
  if (held == ownTextsHeld_) return;
  ownTextsHeld_ = held;
  core_.ownFrames.HoldTexts(held);
}

FrameReader::Result NetThread::NextFrame(NetClient& client, double nowMs, NetMessage& message) {
  if (&client != &own_)
    return client.reader.Next(client.row, nowMs, tuning_.frameDeadlineMs, message);
  std::optional<std::vector<uint8_t>> frame = core_.ownFrames.Take();
  if (!frame) return FrameReader::Result::Idle;
  message = DecodeNetFrame(*frame);
  return FrameReader::Result::Frame;
}

// One frame from each client, and from the host's own program, in turn, so senders competing
// for a receiver near its mark share what it takes evenly instead of the first in the table
// taking it all.
bool NetThread::ReadClients(double nowMs) {
  std::vector<bool> drained(clients_.size() + 1, false);
  bool busy = false;
  for (int32_t round = 0; round < tuning_.framesPerRowPerCycle; ++round) {
    bool readAny = false;
    for (size_t index = 0; index < drained.size(); ++index) {
      NetClient& client = index < clients_.size() ? clients_[index] : own_;
      if (drained[index] || !Readable(client)) continue;
      NetMessage message;
      const FrameReader::Result result = NextFrame(client, nowMs, message);
      drained[index] = result == FrameReader::Result::Idle;
      if (drained[index]) continue;
      readAny = true;
      if (result == FrameReader::Result::Lost) client.lost = true;
      if (result == FrameReader::Result::Frame) ServeFrame(client, message, nowMs);
    }
    if (!readAny) break;
    busy = true;
  }
  return busy;
}

// Serves one frame and queues what it makes at once, so no more than one frame's copies of a
// broadcast are ever built before the marks are looked at again.
void NetThread::ServeFrame(NetClient& source, const NetMessage& message, double nowMs) {
  bool served;
  {
    NetLock lock(core_);
    served = ServeClientFrame(core_.state, source.row, message, replies_);
  }
  if (!served) ReportForgery(source, message.header.sender);
  for (const OutgoingFrame& reply : replies_) QueueForClient(source, reply, nowMs);
  replies_.clear();
}

// The first frame a client sends in the name of a player it did not join goes to the debug log;
// the rest are dropped silently, so a flood of them cannot fill the disk.
void NetThread::ReportForgery(NetClient& client, uint16_t sender) {
  if (client.reportedForgery) return;
  client.reportedForgery = true;
  const std::string line = "Group: dropping frames from " + SockIpToString(client.address) +
                           " in the name of player " + std::to_string(sender) +
                           ", which that connection did not join\n";
  ErrorLogWrite(line.c_str());
}

// Files a frame for the host's own players, or appends it to its client's output. A receiver
// left pressed holds the source back: a burst then waits in the sender's socket, not in the
// host's memory. Past the ceiling a client is dropped at once.
void NetThread::QueueForClient(NetClient& source, const OutgoingFrame& frame, double nowMs) {
  Fed fed{frame.row, 0};
  if (frame.row == kNetOwnRow) {
    const NetMessage message = DecodeNetFrame(frame.bytes);
    if (!FileLocally(message, nowMs)) return;
    fed.player = message.header.receiver;
  } else {
    NetClient* client = Client(frame.row);
    if (!client || client->lost) return;
    if (client->output.empty()) client->lastProgressMs = nowMs;
    client->output.insert(client->output.end(), frame.bytes.begin(), frame.bytes.end());
    outputBytes_ += frame.bytes.size();
    if (client->output.size() > size_t(tuning_.outputCeilingBytes)) {
      DropClient(*client);
      return;
    }
    client->pressure.Grew(client->output.size(), size_t(tuning_.relayHighWaterBytes), nowMs);
    if (!client->pressure.Pressed()) return;
  }
  std::vector<Fed>& held = source.heldBackBy;
  const bool known = std::any_of(held.begin(), held.end(), [&](const Fed& f) {
    return f.row == fed.row && f.player == fed.player;
  });
  if (!known) held.push_back(fed);
}

// Its waiting bytes go at once; the row is closed at the end of the cycle.
void NetThread::DropClient(NetClient& client) {
  outputBytes_ -= client.output.size();
  client.output = {};
  client.lost = true;
}

// Offers each client its waiting bytes without waiting. A client that takes nothing for the
// send deadline is dead or stuck, and one that stays past the high water mark for the hold limit
// holds others back too long: both are dropped.
bool NetThread::FlushClients(double nowMs) {
  bool busy = false;
  for (NetClient& client : clients_) {
    if (client.lost) continue;
    const int32_t sent = client.output.empty()
                             ? 0
                             : SockSendFor(client.row, client.output.data(),
                                           int32_t(client.output.size()), 0, nullptr);
    if (sent > 0) {
      client.output.erase(client.output.begin(), client.output.begin() + sent);
      outputBytes_ -= size_t(sent);
      client.lastProgressMs = nowMs;
      busy = true;
    }
    client.pressure.Shrank(client.output.size(), size_t(tuning_.relayHighWaterBytes));
    const bool stalled =
        !client.output.empty() && nowMs - client.lastProgressMs > tuning_.sendDeadlineMs;
    if (sent < 0 || stalled || client.pressure.Overdue(nowMs, tuning_.holdLimitMs)) {
      DropClient(client);
      busy = true;
    }
  }
  return busy;
}

// A connection that has had no player join within the join limit is closed, so idle connections
// cannot hold the client table and keep players out.
bool NetThread::ExpireUnjoinedClients(double nowMs) {
  bool expired = false;
  NetLock lock(core_);
  for (NetClient& client : clients_) {
    if (client.joined || client.lost) continue;
    const std::list<NetPlayer>& players = core_.state.remotePlayers;
    client.joined = std::any_of(players.begin(), players.end(),
                                [&](const NetPlayer& player) { return player.row == client.row; });
    if (client.joined || nowMs - client.acceptedMs <= tuning_.joinLimitMs) continue;
    client.lost = true;
    expired = true;
  }
  return expired;
}

// A lost client's players are removed and queued as left, and its row closed; the last client
// moves into its place.
bool NetThread::RemoveLostClients() {
  bool removed = false;
  for (size_t index = clients_.size(); index-- > 0;) {
    if (!clients_[index].lost) continue;
    const int32_t row = clients_[index].row;
    outputBytes_ -= clients_[index].output.size();
    {
      NetLock lock(core_);
      DropClientPlayers(core_.state, row);
    }
    SockClose(row);
    if (index + 1 != clients_.size()) clients_[index] = std::move(clients_.back());
    clients_.pop_back();
    removed = true;
  }
  return removed;
}

// The thread owns the group's sockets while it runs, so it closes them and releases the start
// reference itself; clearing the running flag is its last act. The players stay. A drop total
// not yet in the debug log is written on the way out.
void NetThread::StopPath() {
  if (droppedTexts_ != droppedReported_) WriteDroppedTotal();
  for (const NetClient& client : clients_) SockClose(client.row);
  clients_.clear();
  CloseGroupSockets(core_);
  NetLock lock(core_);
  core_.stop = true;
  core_.state.accepting = true;
  core_.state.nextId = kNetFirstPlayerId;
  core_.state.ownId = 0;
  core_.state.running = false;
}

}  // namespace

uint32_t NetSessionThread(void* core) {
  NetThread(*static_cast<NetSessionCore*>(core)).Run();
  return 0;
}
