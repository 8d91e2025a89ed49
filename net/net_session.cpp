// The group commands: host, join and end, players, texts and the queries answered by the host.
#include "net/net_session.h"

#include <iterator>

#include "net/net_session_core.h"
#include "net/socket_layer.h"

namespace {

uint16_t GroupPort(int32_t port) {
  return port < 1 ? kNetDefaultPort : uint16_t(port);
}

std::vector<uint8_t> DeleteFrame(uint16_t id) {
  return EncodeNetFrame(kNetDeletePlayer, kNetServerId, id, "");
}

}  // namespace

int32_t NetMessageSend(int32_t row, const std::vector<uint8_t>& frame, int32_t noProgressMs,
                       const std::atomic<bool>* stop) {
  return SockSendFor(row, frame.data(), int32_t(frame.size()), noProgressMs, stop);
}

std::unique_ptr<NetSession> NetSession::Create(const NetTuning& tuning) {
  std::unique_ptr<NetSession> session(new NetSession(tuning));
  if (MutexInit(&session->core_->mutex) != kThreadSuccess) return nullptr;
  return session;
}

NetSession::NetSession(const NetTuning& tuning) : core_(std::make_unique<NetSessionCore>(tuning)) {}

NetSession::~NetSession() {
  if (!core_->mutex) return;  // never usable, so nothing was started
  End();
  MutexDestroy(&core_->mutex);
}

void NetSession::StopThread() {
  if (threadHandle_ == 0) return;
  core_->stop = true;
  // The thread closes its rows and releases its reference on the way out.
  ThreadJoin(threadHandle_, nullptr);
  threadHandle_ = 0;
}

void CloseGroupSockets(NetSessionCore& core) {
  int32_t listenRow;
  int32_t connectionRow;
  bool holdsReference;
  {
    NetLock lock(core);
    listenRow = core.state.listenRow;
    connectionRow = core.state.connectionRow;
    holdsReference = core.state.holdsStartReference;
    core.state.listenRow = core.state.connectionRow = -1;
    core.state.holdsStartReference = false;
  }
  if (listenRow != -1) SockClose(listenRow);
  if (connectionRow != -1) SockClose(connectionRow);
  if (holdsReference) SockShutdown();
}

void NetSession::ResetFields(bool freePlayers) {
  NetLock lock(*core_);
  core_->stop = true;
  core_->state.running = false;
  core_->state.accepting = true;
  core_->state.nextId = kNetFirstPlayerId;
  core_->state.ownId = 0;
  if (!freePlayers) return;
  core_->state.localPlayers.clear();
  core_->state.remotePlayers.clear();
  core_->state.leftPlayers.clear();
  core_->state.answers.clear();
}

void NetSession::Reset(bool freePlayers) {
  StopThread();
  CloseGroupSockets(*core_);
  ResetFields(freePlayers);
}

// A host or join that failed part-way: everything it opened is closed, the players stay.
void NetSession::Abandon() {
  Reset(false);
}

bool NetSession::StartThread() {
  {
    NetLock lock(*core_);
    core_->state.running = true;
  }
  core_->stop = false;
  core_->ownFrames.Clear();
  threadHandle_ = ThreadCreate(NetSessionThread, core_.get(), true);
  if (threadHandle_ > 0) return true;
  threadHandle_ = 0;
  return false;
}

bool NetSession::Host(int32_t port) {
  const uint16_t groupPort = GroupPort(port);
  Reset(true);
  if (!SockStartup()) return false;
  const int32_t listenRow = SockTcpListen(groupPort);
  {
    NetLock lock(*core_);
    core_->state.holdsStartReference = true;
    core_->state.listenRow = listenRow;
    // The host is a client of its own group, reaching its thread without a socket.
    core_->state.host = listenRow >= 0;
  }
  if (listenRow < 0 || !StartThread()) {
    Abandon();
    return false;
  }
  return true;
}

bool NetSession::Join(const char* hostName, int32_t port) {
  const uint16_t groupPort = GroupPort(port);
  Reset(true);
  if (!SockStartup()) return false;
  {
    NetLock lock(*core_);
    core_->state.holdsStartReference = true;
    core_->state.host = false;
  }
  const SockAddress target = SockResolveHost(hostName, groupPort);
  const int32_t connectionRow =
      SockAddressIsNone(target)
          ? -1
          : SockTcpConnect(target, core_->tuning.connectTimeoutMs, kNetConnectionBufferBytes);
  {
    NetLock lock(*core_);
    core_->state.connectionRow = connectionRow;
  }
  if (connectionRow < 0 || !StartThread()) {
    Abandon();
    return false;
  }
  NetMessage answer;
  if (!Ask(kNetHello, "", answer)) {
    Abandon();
    return false;
  }
  return true;
}

void NetSession::End() {
  Reset(false);
}

void NetSession::SetAccepting(bool accepting) {
  NetLock lock(*core_);
  core_->state.accepting = accepting;
}

bool NetSession::IsActive() {
  NetLock lock(*core_);
  return core_->state.running;
}

uint16_t NetSessionRegisterPlayer(NetSession& session, const char* name) {
  std::list<NetPlayer>::iterator player;
  {
    NetLock lock(*session.core_);
    NetPlayer record;
    record.name = name ? std::string(name).substr(0, kNetNameSize - 1) : "query";
    record.hidden = name ? 0 : 1;
    record.inbox = NetInbox(kNetInboxLimit, kNetInboxShare,
                            size_t(session.core_->tuning.relayHighWaterBytes));
    session.core_->state.localPlayers.push_back(std::move(record));
    player = std::prev(session.core_->state.localPlayers.end());
  }
  for (int32_t attempt = 0; attempt < session.core_->tuning.registerTries; ++attempt) {
    uint16_t id;
    bool running;
    {
      NetLock lock(*session.core_);
      id = player->id;
      running = session.core_->state.running;
    }
    if (NetIsPlayerId(id)) return id;
    if (!running) break;
    ThreadSleep(uint32_t(session.core_->tuning.registerWaitMs));
  }
  NetLock lock(*session.core_);
  session.core_->state.localPlayers.erase(player);
  return 0;
}

uint16_t NetSession::CreatePlayer(const char* name) {
  return NetSessionRegisterPlayer(*this, name ? name : "");
}

bool NetSession::SendOnConnection(std::vector<uint8_t> frame, int32_t noProgressMs) {
  int32_t row;
  bool host;
  {
    NetLock lock(*core_);
    row = core_->state.connectionRow;
    host = core_->state.host;
  }
  if (host) return core_->ownFrames.Push(std::move(frame), noProgressMs, core_->stop);
  if (row < 0) return false;
  const int32_t sent = NetMessageSend(row, frame, noProgressMs, &core_->stop);
  if (sent == int32_t(frame.size())) return true;
  // Part of a frame went out: the stream can no longer be framed, so the group ends.
  if (sent > 0) core_->stop = true;
  return false;
}

// Takes the first answer of the asked type; answers of other types are late replies to
// earlier queries and are thrown away.
bool NetSession::TakeAnswer(uint8_t type, NetMessage& answer) {
  NetLock lock(*core_);
  while (!core_->state.answers.empty()) {
    NetMessage front = std::move(core_->state.answers.front());
    core_->state.answers.pop_front();
    if (front.header.type != type) continue;
    answer = std::move(front);
    return true;
  }
  return false;
}

bool NetSession::Ask(uint8_t type, const std::string& payload, NetMessage& answer) {
  uint16_t asker;
  {
    NetLock lock(*core_);
    asker = core_->state.ownId;
  }
  if (asker == 0) {
    asker = NetSessionRegisterPlayer(*this, nullptr);
    if (asker == 0) return false;
    NetLock lock(*core_);
    core_->state.ownId = asker;
  }
  {
    NetLock lock(*core_);
    core_->state.answers.clear();
  }
  if (!SendOnConnection(EncodeNetFrame(type, kNetServerId, asker, payload),
                        core_->tuning.sendDeadlineMs)) {
    return false;
  }
  const int32_t looks = core_->tuning.answerPasses * core_->tuning.answerLooks;
  for (int32_t look = 0; look < looks; ++look) {
    if (TakeAnswer(type, answer)) return true;
    if (!IsActive()) return false;
    ThreadSleep(uint32_t(core_->tuning.answerLookMs));
  }
  return false;
}

uint16_t NetSession::CountPlayers() {
  if (!IsActive()) return 0;
  NetMessage answer;
  uint16_t count = 0;
  if (Ask(kNetCountPlayers, "", answer)) DecodeU16Payload(answer.payload, count);
  return count;
}

uint16_t NetSession::GetPlayerId(int32_t index) {
  NetMessage answer;
  uint16_t id = 0;
  if (Ask(kNetIdByIndex, EncodeU16Payload(uint16_t(index)), answer)) {
    DecodeU16Payload(answer.payload, id);
  }
  return id;
}

std::string NetSession::GetPlayerName(int32_t id) {
  NetMessage answer;
  if (!Ask(kNetNameById, EncodeU16Payload(uint16_t(id)), answer)) return "NO_DATA";
  return std::string(answer.payload.c_str());
}

void NetSession::DeletePlayer(int32_t id) {
  if (!NetIsPlayerId(uint32_t(id))) return;
  SendOnConnection(DeleteFrame(uint16_t(id)), core_->tuning.sendDeadlineMs);
}

bool NetSession::SendMessage(int32_t from, int32_t to, const std::string& text) {
  // A longer text would not fit a frame (and its length would wrap the 16-bit field).
  if (text.size() > kNetMaxPayload) return false;
  const uint16_t receiver = to == 0 ? kNetEverybody : uint16_t(to);
  return SendOnConnection(EncodeNetFrame(kNetText, receiver, uint16_t(from), text),
                          core_->tuning.sendDeadlineMs);
}

std::string NetSession::GetMessage(int32_t id) {
  NetLock lock(*core_);
  for (NetPlayer& player : core_->state.localPlayers) {
    if (player.id != uint16_t(id)) continue;
    const std::optional<NetInboxEntry> entry = player.inbox.Take();
    if (!entry) return "";
    lastSender_ = entry->sender;
    return std::string(entry->text.c_str());
  }
  return "";
}

uint64_t NetSession::DroppedTexts() {
  NetLock lock(*core_);
  return core_->state.droppedTexts;
}

uint16_t NetSession::LastSender() {
  return lastSender_;
}

uint16_t NetSession::GetLeftPlayer() {
  NetLock lock(*core_);
  if (!core_->state.host || core_->state.leftPlayers.empty()) return 0;
  const uint16_t id = core_->state.leftPlayers.back();
  core_->state.leftPlayers.pop_back();
  return id;
}

void NetSession::SendFarewells() {
  std::vector<uint16_t> ids;
  {
    NetLock lock(*core_);
    for (const NetPlayer& player : core_->state.localPlayers) {
      if (NetIsPlayerId(player.id)) ids.push_back(player.id);
    }
  }
  for (uint16_t id : ids) SendOnConnection(DeleteFrame(id), 0);
}
