// The group's shared state and the rules that file, serve and relay frames, kept apart from the
// sockets so they can be checked frame by frame. Every frame carries the row it came from: the
// host serves and relays only frames from its client rows and from its own program
// (kNetOwnRow), and a client files texts, takes ids and takes answers only from its connection
// to the host, so no client can speak for the host's server side.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <list>
#include <string>
#include <vector>

#include "net/net_inbox.h"
#include "net/net_message.h"

// Bounds on what a peer can make a program keep.
inline constexpr size_t kNetAnswerLimit = 16;
// Joins from one client row past this many players go unanswered, as when not accepting.
inline constexpr size_t kNetPlayersPerClient = 256;

struct NetPlayer {
  int32_t row = -1;  // -1 for a local player; on the host, the client row of a remote player
  uint16_t id = kNetJoinPending;
  uint8_t hidden = 0;
  uint8_t spare = 0;
  std::string name;
  NetInbox inbox;
};

// Everything the commands and the network thread share; guarded by the network mutex.
struct NetGroupState {
  uint16_t nextId = kNetFirstPlayerId;
  uint16_t ownId = 0;  // this program's query player
  int32_t listenRow = -1;
  int32_t connectionRow = -1;
  std::list<NetPlayer> localPlayers;
  std::list<NetPlayer> remotePlayers;  // host only: the players of every client
  bool host = false;
  bool running = false;
  bool accepting = true;
  bool holdsStartReference = false;
  std::deque<NetMessage> answers;
  std::deque<uint16_t> leftPlayers;
  uint64_t droppedTexts = 0;  // texts lost to full inboxes since the session was made
};

// A frame the host sends to one of its client rows, or to its own program at kNetOwnRow.
struct OutgoingFrame {
  int32_t row;
  std::vector<uint8_t> bytes;
};

// The row of the host's own program: its frames reach the network thread without a socket, and
// what the host sends to it is filed at once.
inline constexpr int32_t kNetOwnRow = -2;

// A frame for this program from its host: texts go to the inboxes, join answers hand out ids,
// answers wait for the query that asked. True when a text left its player's inbox pressed, so
// whatever fed it should wait; a text lost to an inbox given up on is counted as dropped.
bool FileConnectionFrame(NetGroupState& state, const NetMessage& message, double nowMs = 0.0);

// True while the local player's waiting texts hold back what feeds them.
bool LocalPlayerPressed(const NetGroupState& state, uint16_t id);

// Local players whose inbox stayed pressed past the limit are given up on; their waiting texts
// are filed as into a full inbox, and those lost are counted as dropped.
void GiveUpOnSlowReaders(NetGroupState& state, double nowMs, double limitMs);

// A frame from a client row of the host: served or relayed; what goes back lands in out. A row
// speaks only for the players it joined: any frame but a join whose sender is not one of them
// is dropped, and the answer is false.
bool ServeClientFrame(NetGroupState& state, int32_t sourceRow, const NetMessage& message,
                      std::vector<OutgoingFrame>& out);

// A client row has gone: every remote player on it is removed and queued as left.
void DropClientPlayers(NetGroupState& state, int32_t row);

// Count, id-by-index and name-by-id as the host answers them.
uint16_t CountVisiblePlayers(const NetGroupState& state);
uint16_t VisiblePlayerIdAt(const NetGroupState& state, uint16_t index);
std::string PlayerNameOf(const NetGroupState& state, uint16_t id);
