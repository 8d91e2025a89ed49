// Filing, serving and relaying of group frames.
#include "net/group_rules.h"

#include <algorithm>

namespace {

NetPlayer* FindPlayer(std::list<NetPlayer>& players, uint16_t id) {
  for (NetPlayer& player : players) {
    if (player.id == id) return &player;
  }
  return nullptr;
}

bool FileText(NetGroupState& state, const NetMessage& message, double nowMs) {
  NetPlayer* player = FindPlayer(state.localPlayers, message.header.receiver);
  if (!player) return false;
  if (!player->inbox.Add(message.header.sender, message.payload, nowMs)) ++state.droppedTexts;
  return player->inbox.Pressed();
}

void AssignJoinedId(NetGroupState& state, uint16_t id) {
  if (!NetIsPlayerId(id)) return;
  NetPlayer* waiting = FindPlayer(state.localPlayers, kNetJoinSent);
  if (waiting) waiting->id = id;
}

bool AnswerIsWellFormed(const NetMessage& message) {
  switch (message.header.type) {
    case kNetCountPlayers:
    case kNetIdByIndex:
      return message.payload.size() >= 2;
    case kNetNameById:
    case kNetHello:
      return true;
    default:
      return false;
  }
}

void KeepAnswer(NetGroupState& state, const NetMessage& message) {
  if (!AnswerIsWellFormed(message)) return;
  if (state.answers.size() >= kNetAnswerLimit) state.answers.pop_front();
  state.answers.push_back(message);
}

void Send(std::vector<OutgoingFrame>& out, int32_t row, uint8_t type, uint16_t receiver,
          uint16_t sender, const std::string& payload) {
  out.push_back(OutgoingFrame{row, EncodeNetFrame(type, receiver, sender, payload)});
}

void Relay(NetGroupState& state, const NetMessage& message, std::vector<OutgoingFrame>& out) {
  const NetHeader& header = message.header;
  if (header.receiver != kNetEverybody) {
    NetPlayer* target = FindPlayer(state.remotePlayers, header.receiver);
    if (target) Send(out, target->row, kNetText, header.receiver, header.sender, message.payload);
    return;
  }
  for (const NetPlayer& player : state.remotePlayers) {
    if (player.hidden != 0 || player.spare != 0 || player.id == header.sender) continue;
    Send(out, player.row, kNetText, player.id, header.sender, message.payload);
  }
}

// Answers travel on the row of the remote player that asked; no such player, no answer.
void Answer(NetGroupState& state, uint16_t asker, uint8_t type, const std::string& payload,
            std::vector<OutgoingFrame>& out) {
  NetPlayer* player = FindPlayer(state.remotePlayers, asker);
  if (player) Send(out, player->row, type, asker, kNetServerId, payload);
}

size_t PlayersOnRow(const NetGroupState& state, int32_t row) {
  return size_t(std::count_if(state.remotePlayers.begin(), state.remotePlayers.end(),
                              [row](const NetPlayer& player) { return player.row == row; }));
}

// Ids go out in rising order; past 0xFEFF (beyond are the markers and "everybody") they start
// again from the first, skipping those still held, so a departed player's id comes back only
// after every other one. 0 when every id is held.
uint16_t TakeFreeId(NetGroupState& state) {
  constexpr uint32_t kIds = kNetLastPlayerId - kNetFirstPlayerId + 1;
  for (uint32_t tried = 0; tried < kIds; ++tried) {
    if (state.nextId > kNetLastPlayerId) state.nextId = kNetFirstPlayerId;
    const uint16_t id = state.nextId++;
    if (!FindPlayer(state.remotePlayers, id)) return id;
  }
  return 0;
}

void AcceptJoin(NetGroupState& state, int32_t sourceRow, const NetMessage& message,
                std::vector<OutgoingFrame>& out) {
  if (!state.accepting || PlayersOnRow(state, sourceRow) >= kNetPlayersPerClient) return;
  NetJoinPayload join;
  if (!DecodeJoinPayload(message.payload, join)) return;
  const uint16_t id = TakeFreeId(state);
  if (id == 0) return;
  NetPlayer player;
  player.row = sourceRow;
  player.id = id;
  player.hidden = join.hidden;
  player.name = join.name;
  state.remotePlayers.push_back(std::move(player));
  Send(out, sourceRow, kNetJoinAccepted, state.remotePlayers.back().id, kNetServerId, "");
}

void DeleteRemotePlayer(NetGroupState& state, uint16_t id) {
  if (!NetIsPlayerId(id)) return;
  const size_t removed =
      state.remotePlayers.remove_if([id](const NetPlayer& player) { return player.id == id; });
  if (removed > 0 && state.host) state.leftPlayers.push_back(id);
}

void Serve(NetGroupState& state, int32_t sourceRow, const NetMessage& message,
           std::vector<OutgoingFrame>& out) {
  const uint16_t asker = message.header.sender;
  uint16_t argument = 0;
  switch (message.header.type) {
    case kNetJoin:
      AcceptJoin(state, sourceRow, message, out);
      return;
    case kNetDeletePlayer:
      DeleteRemotePlayer(state, asker);
      return;
    case kNetCountPlayers:
      Answer(state, asker, kNetCountPlayers, EncodeU16Payload(CountVisiblePlayers(state)), out);
      return;
    case kNetIdByIndex:
      if (!DecodeU16Payload(message.payload, argument)) return;
      Answer(state, asker, kNetIdByIndex, EncodeU16Payload(VisiblePlayerIdAt(state, argument)),
             out);
      return;
    case kNetNameById:
      if (!DecodeU16Payload(message.payload, argument)) return;
      Answer(state, asker, kNetNameById, PlayerNameOf(state, argument), out);
      return;
    case kNetHello:
      Answer(state, asker, kNetHello, EncodeU16Payload(1), out);
      return;
    default:
      return;
  }
}

}  // namespace

bool FileConnectionFrame(NetGroupState& state, const NetMessage& message, double nowMs) {
  const NetHeader& header = message.header;
  if (header.type == kNetText) return FileText(state, message, nowMs);
  if (header.sender != kNetServerId) return false;
  if (header.type == kNetJoinAccepted) {
    AssignJoinedId(state, header.receiver);
  } else {
    KeepAnswer(state, message);
  }
  return false;
}

bool LocalPlayerPressed(const NetGroupState& state, uint16_t id) {
  return std::any_of(
      state.localPlayers.begin(), state.localPlayers.end(),
      [id](const NetPlayer& player) { return player.id == id && player.inbox.Pressed(); });
}

void GiveUpOnSlowReaders(NetGroupState& state, double nowMs, double limitMs) {
  for (NetPlayer& player : state.localPlayers) {
    if (player.inbox.Overdue(nowMs, limitMs)) state.droppedTexts += player.inbox.GiveUp();
  }
}

bool ServeClientFrame(NetGroupState& state, int32_t sourceRow, const NetMessage& message,
                      std::vector<OutgoingFrame>& out) {
  if (message.header.type != kNetJoin) {
    const NetPlayer* sender = FindPlayer(state.remotePlayers, message.header.sender);
    if (!sender || sender->row != sourceRow) return false;
  }
  if (message.header.type == kNetText) {
    Relay(state, message, out);
  } else if (message.header.receiver == kNetServerId) {
    Serve(state, sourceRow, message, out);
  }
  return true;
}

void DropClientPlayers(NetGroupState& state, int32_t row) {
  for (auto it = state.remotePlayers.begin(); it != state.remotePlayers.end();) {
    if (it->row != row) {
      ++it;
      continue;
    }
    if (state.host) state.leftPlayers.push_back(it->id);
    it = state.remotePlayers.erase(it);
  }
}

uint16_t CountVisiblePlayers(const NetGroupState& state) {
  return uint16_t(std::count_if(
      state.remotePlayers.begin(), state.remotePlayers.end(),
      [](const NetPlayer& player) { return player.hidden == 0 && NetIsPlayerId(player.id); }));
}

uint16_t VisiblePlayerIdAt(const NetGroupState& state, uint16_t index) {
  uint16_t seen = 0;
  for (const NetPlayer& player : state.remotePlayers) {
    if (player.hidden != 0) continue;
    if (seen++ == index) return player.id;
  }
  return 0;
}

std::string PlayerNameOf(const NetGroupState& state, uint16_t id) {
  for (const NetPlayer& player : state.remotePlayers) {
    if (player.id == id) return player.name.empty() ? "NO_DATA" : player.name;
  }
  return "NO_DATA";
}
