// The program's group commands over the one group record, and the hooks with which the runtime's
// start-up makes that record and its quit sequence releases it. Before the record exists (or
// after it is released) every command gives its failure value. Returned texts belong to the
// caller, who releases them. No command sets the runtime's error code.
#pragma once

#include <cstdint>

#include "core/str.h"
#include "net/net_session.h"

// Start-up: makes the group record and its network mutex. False when the mutex cannot be made.
bool NetSessionRecordCreate(const NetTuning& tuning = NetTuning());
// Quit sequence: a delete-player frame for every local player with an id, the end of the group
// (the network thread joined), then the record and its mutex released.
void NetSessionRecordRelease();
// The record, or null outside start-up and quit.
NetSession* NetSessionRecord();

bool NetSessionHost(int32_t port);
bool NetSessionJoin(const Str& hostName, int32_t port);
void NetSessionEnd();
void NetSessionSetAccepting(int32_t flag);
bool NetSessionIsActive();
int32_t NetSessionCreatePlayer(const Str& name);
void NetSessionDeletePlayer(int32_t id);
bool NetSessionSendMessage(int32_t fromId, int32_t toId, const Str& text);
Str NetSessionGetMessage(int32_t id);
int32_t NetSessionGetLastSender();
int32_t NetSessionCountPlayers();
int32_t NetSessionGetPlayerId(int32_t index);
Str NetSessionGetPlayerName(int32_t id);
int32_t NetSessionGetLeftPlayer();
