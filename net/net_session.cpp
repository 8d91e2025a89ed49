// The group commands: host, join and end, players, texts and the queries answered by the host.
#include "net/net_session.h"

#include <iterator>

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
  if (MutexInit(&session->mutex_) != kThreadSuccess) return nullptr;
  return session;
}

NetSession::NetSession(const NetTuning& tuning) : tuning_(tuning) {}

NetSession::~NetSession() {
  if (!mutex_) return;  // never usable, so nothing was started
  End();
  MutexDestroy(&mutex_);
}

void NetSession::StopThread() {
  if (threadHandle_ == 0) return;
  stop_ = true;
  // The thread closes its rows and releases its reference on the way out.
  ThreadJoin(threadHandle_, nullptr);
  threadHandle_ = 0;
}

void NetSession::CloseGroupSockets() {
  int32_t listenRow;
  int32_t connectionRow;
  bool holdsReference;
  {
    Lock lock(mutex_);
    listenRow = state_.listenRow;
    connectionRow = state_.connectionRow;
    holdsReference = state_.holdsStartReference;
    state_.listenRow = state_.connectionRow = -1;
    state_.holdsStartReference = false;
  }
  if (listenRow != -1) SockClose(listenRow);
  if (connectionRow != -1) SockClose(connectionRow);
  if (holdsReference) SockShutdown();
}

void NetSession::ResetFields(bool freePlayers) {
  Lock lock(mutex_);
  stop_ = true;
  state_.running = false;
  state_.accepting = true;
  state_.nextId = kNetFirstPlayerId;
  state_.ownId = 0;
  if (!freePlayers) return;
  state_.localPlayers.clear();
  state_.remotePlayers.clear();
  state_.leftPlayers.clear();
  state_.answers.clear();
}

void NetSession::Reset(bool freePlayers) {
  StopThread();
  CloseGroupSockets();
  ResetFields(freePlayers);
}

// A host or join that failed part-way: everything it opened is closed, the players stay.
void NetSession::Abandon() {
  Reset(false);
}

bool NetSession::StartThread() {
  {
    Lock lock(mutex_);
    state_.running = true;
  }
  stop_ = false;
  ownTexts_.Restart();
  threadHandle_ = ThreadCreate(NetSessionThread, this, true);
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
    Lock lock(mutex_);
    state_.holdsStartReference = true;
    state_.listenRow = listenRow;
  }
  if (listenRow < 0) {
    Abandon();
    return false;
  }
  // The host is a client of its own group. Its listener takes every interface, so the loopback
  // address always reaches it, without depending on how this machine's name resolves.
  const int32_t connectionRow =
      SockTcpConnect(SockMakeAddress(127, 0, 0, 1, groupPort), tuning_.connectTimeoutMs);
  {
    Lock lock(mutex_);
    state_.connectionRow = connectionRow;
    state_.host = true;
  }
  if (connectionRow < 0 || !StartThread()) {
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
    Lock lock(mutex_);
    state_.holdsStartReference = true;
    state_.host = false;
  }
  const SockAddress target = SockResolveHost(hostName, groupPort);
  const int32_t connectionRow =
      SockAddressIsNone(target) ? -1 : SockTcpConnect(target, tuning_.connectTimeoutMs);
  {
    Lock lock(mutex_);
    state_.connectionRow = connectionRow;
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
  Lock lock(mutex_);
  state_.accepting = accepting;
}

bool NetSession::IsActive() {
  Lock lock(mutex_);
  return state_.running;
}

bool NetSession::Hosting() {
  Lock lock(mutex_);
  return state_.host;
}

uint16_t NetSessionRegisterPlayer(NetSession& session, const char* name) {
  std::list<NetPlayer>::iterator player;
  {
    NetSession::Lock lock(session.mutex_);
    NetPlayer record;
    record.name = name ? std::string(name).substr(0, kNetNameSize - 1) : "query";
    record.hidden = name ? 0 : 1;
    session.state_.localPlayers.push_back(std::move(record));
    player = std::prev(session.state_.localPlayers.end());
  }
  for (int32_t attempt = 0; attempt < session.tuning_.registerTries; ++attempt) {
    uint16_t id;
    bool running;
    {
      NetSession::Lock lock(session.mutex_);
      id = player->id;
      running = session.state_.running;
    }
    if (NetIsPlayerId(id)) return id;
    if (!running) break;
    ThreadSleep(uint32_t(session.tuning_.registerWaitMs));
  }
  NetSession::Lock lock(session.mutex_);
  session.state_.localPlayers.erase(player);
  return 0;
}

uint16_t NetSession::CreatePlayer(const char* name) {
  return NetSessionRegisterPlayer(*this, name ? name : "");
}

bool NetSession::SendOnConnection(const std::vector<uint8_t>& frame, int32_t noProgressMs) {
  int32_t row;
  {
    Lock lock(mutex_);
    row = state_.connectionRow;
  }
  if (row < 0) return false;
  const int32_t sent = NetMessageSend(row, frame, noProgressMs, &stop_);
  if (sent == int32_t(frame.size())) return true;
  // Part of a frame went out: the stream can no longer be framed, so the group ends.
  if (sent > 0) stop_ = true;
  return false;
}

// Takes the first answer of the asked type; answers of other types are late replies to
// earlier queries and are thrown away.
bool NetSession::TakeAnswer(uint8_t type, NetMessage& answer) {
  Lock lock(mutex_);
  while (!state_.answers.empty()) {
    NetMessage front = std::move(state_.answers.front());
    state_.answers.pop_front();
    if (front.header.type != type) continue;
    answer = std::move(front);
    return true;
  }
  return false;
}

bool NetSession::Ask(uint8_t type, const std::string& payload, NetMessage& answer) {
  uint16_t asker;
  {
    Lock lock(mutex_);
    asker = state_.ownId;
  }
  if (asker == 0) {
    asker = NetSessionRegisterPlayer(*this, nullptr);
    if (asker == 0) return false;
    Lock lock(mutex_);
    state_.ownId = asker;
  }
  {
    Lock lock(mutex_);
    state_.answers.clear();
  }
  if (!SendOnConnection(EncodeNetFrame(type, kNetServerId, asker, payload),
                        tuning_.sendDeadlineMs)) {
    return false;
  }
  const int32_t looks = tuning_.answerPasses * tuning_.answerLooks;
  for (int32_t look = 0; look < looks; ++look) {
    if (TakeAnswer(type, answer)) return true;
    if (!IsActive()) return false;
    ThreadSleep(uint32_t(tuning_.answerLookMs));
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
  SendOnConnection(DeleteFrame(uint16_t(id)), tuning_.sendDeadlineMs);
}

bool NetSession::SendMessage(int32_t from, int32_t to, const std::string& text) {
  // A longer text would not fit a frame (and its length would wrap the 16-bit field).
  if (text.size() > kNetMaxPayload) return false;
  const uint16_t receiver = to == 0 ? kNetEverybody : uint16_t(to);
  const std::vector<uint8_t> frame = EncodeNetFrame(kNetText, receiver, uint16_t(from), text);
  if (Hosting() && !ownTexts_.WaitForRoom(tuning_.sendDeadlineMs, stop_)) return false;
  ownTexts_.Take(frame.size());
  if (SendOnConnection(frame, tuning_.sendDeadlineMs)) return true;
  ownTexts_.HandBack(frame.size());
  return false;
}

std::string NetSession::GetMessage(int32_t id) {
  Lock lock(mutex_);
  for (NetPlayer& player : state_.localPlayers) {
    if (player.id != uint16_t(id)) continue;
    const std::optional<NetInboxEntry> entry = player.inbox.Take();
    if (!entry) return "";
    lastSender_ = entry->sender;
    return std::string(entry->text.c_str());
  }
  return "";
}

uint64_t NetSession::DroppedTexts() {
  Lock lock(mutex_);
  return state_.droppedTexts;
}

uint16_t NetSession::LastSender() {
  return lastSender_;
}

uint16_t NetSession::GetLeftPlayer() {
  Lock lock(mutex_);
  if (!state_.host || state_.leftPlayers.empty()) return 0;
  const uint16_t id = state_.leftPlayers.back();
  state_.leftPlayers.pop_back();
  return id;
}

void NetSession::SendFarewells() {
  std::vector<uint16_t> ids;
  {
    Lock lock(mutex_);
    for (const NetPlayer& player : state_.localPlayers) {
      if (NetIsPlayerId(player.id)) ids.push_back(player.id);
    }
  }
  for (uint16_t id : ids) SendOnConnection(DeleteFrame(id), 0);
}
