// A program's place in a group: hosting or joining one over TCP, its local players, their
// inboxes, and the network thread that does all receiving, serving and relaying. The commands
// only queue requests, send them and poll for answers; the thread owns the sockets of the group
// from its start to its end, and whoever stops the group closes them exactly once.
//
// The network thread never waits on one peer: frames are reassembled across cycles, a client's
// unsent bytes wait in its own output buffer, and a stop request is seen within one cycle, so
// ending the group returns promptly whatever the peers do.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "net/backlog_clock.h"
#include "net/net_message.h"

// Every wait of the group, in milliseconds; tests shorten them.
struct NetTuning {
  int32_t answerPasses = 50;  // a query polls passes x looks times, lookMs apart
  int32_t answerLooks = 5;
  int32_t answerLookMs = 20;
  int32_t registerTries = 250;  // a new player waits tries x waitMs for its id
  int32_t registerWaitMs = 20;
  int32_t idleSleepMs = 10;  // the thread's pause after a cycle with nothing to do
  int32_t connectTimeoutMs = 5000;
  int32_t frameDeadlineMs = 2000;  // from a frame's first byte to its last
  int32_t sendDeadlineMs = 5000;   // longest a send, or a client's reading, may make no progress
  // Bytes waiting for one receiver (a client's unsent output, the texts behind a local player's
  // full inbox) past which whatever feeds it waits until it has taken half of them, and the
  // ceiling past which a client is dropped however it reads.
  int32_t relayHighWaterBytes = kNetHighWaterBytes;
  int32_t outputCeilingBytes = 8 * 1024 * 1024;
  // Longest a client may stay past the high water mark, holding back those who feed it, before
  // it is dropped as a slow peer; well under the send deadline, so a sender never fails because
  // somebody else reads slowly. A local player's reader has half of it before its texts are
  // dropped, so a client gives up on its own slow reader before its host would drop it.
  int32_t holdLimitMs = 1000;
  // All clients' unsent bytes together past which no client's frames are read.
  int32_t outputTotalBytes = 64 * 1024 * 1024;
  int32_t framesPerRowPerCycle = 256;
  int32_t joinLimitMs = 3000;  // a connection without a joined player is closed after this
};
static_assert(NetTuning{}.holdLimitMs < NetTuning{}.sendDeadlineMs);
static_assert(NetTuning{}.relayHighWaterBytes < NetTuning{}.outputCeilingBytes &&
              NetTuning{}.outputCeilingBytes < NetTuning{}.outputTotalBytes);

// Sends one whole frame on a row, giving up when no byte goes out for noProgressMs or the stop
// flag is set; the bytes that went out (the frame's size on success), or -1. One call holds the
// row's send lock throughout, so frames sent from two threads never interleave.
int32_t NetMessageSend(int32_t row, const std::vector<uint8_t>& frame, int32_t noProgressMs,
                       const std::atomic<bool>* stop);

class NetSession;
struct NetSessionCore;

// Adds a local player (none for the name: the hidden query player "query") and waits for the id
// the host hands out; 0 when none comes in time or the network thread stops, and the player is
// removed again.
uint16_t NetSessionRegisterPlayer(NetSession& session, const char* name);

class NetSession {
 public:
  // Null when the network mutex cannot be made.
  static std::unique_ptr<NetSession> Create(const NetTuning& tuning = NetTuning());
  // Ends the group first, so the thread never outlives the record.
  ~NetSession();
  NetSession(const NetSession&) = delete;
  NetSession& operator=(const NetSession&) = delete;

  // Port values below 1 mean the default port.
  bool Host(int32_t port);
  bool Join(const char* hostName, int32_t port);
  void End();
  void SetAccepting(bool accepting);
  bool IsActive();

  // The new local player's id, 0 when none came.
  uint16_t CreatePlayer(const char* name);
  // Asks the host to forget the player; the local record stays.
  void DeletePlayer(int32_t id);
  // to 0 means everybody. False for texts over 1024 bytes or when the frame did not go out.
  bool SendMessage(int32_t from, int32_t to, const std::string& text);
  // The local player's oldest text up to its first NUL; "" when none.
  std::string GetMessage(int32_t id);
  uint16_t LastSender();

  uint16_t CountPlayers();
  uint16_t GetPlayerId(int32_t index);
  std::string GetPlayerName(int32_t id);
  // The id of the player that left last (host only), 0 when none.
  uint16_t GetLeftPlayer();
  // Texts this program's players lost because a reader stayed behind its full inbox; the debug
  // log notes the running total.
  uint64_t DroppedTexts();

  friend uint16_t NetSessionRegisterPlayer(NetSession& session, const char* name);

  // The quit sequence's farewell: a delete-player frame for every local player with an id,
  // each sent only as far as the socket (on a host, its own frames' queue) takes it at once,
  // since the group ends right after.
  void SendFarewells();

 private:
  explicit NetSession(const NetTuning& tuning);

  bool Ask(uint8_t type, const std::string& payload, NetMessage& answer);
  bool TakeAnswer(uint8_t type, NetMessage& answer);
  // On a host the frame goes to its own thread without a socket.
  bool SendOnConnection(std::vector<uint8_t> frame, int32_t noProgressMs);

  bool StartThread();
  void StopThread();
  void ResetFields(bool freePlayers);
  void Reset(bool freePlayers);
  void Abandon();

  std::unique_ptr<NetSessionCore> core_;  // shared with the network thread
  int32_t threadHandle_ = 0;              // main thread only
  uint16_t lastSender_ = 0;               // main thread only
};
