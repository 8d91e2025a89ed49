// Group commands: the language's values in and out, the group record doing the work.
#include "net/session_commands.h"

#include <string>

namespace {

// Plain static storage without a destructor: no exit path can tear the record down under a
// running thread; only the quit sequence releases it, after joining the thread.
NetSession* record = nullptr;

Str StrFromText(const std::string& text) {
  Str s;
  StrFromCString(s, text.c_str());
  return s;
}

std::string TextOf(const Str& s) {
  return std::string(s.data, s.length);
}

}  // namespace

bool NetSessionRecordCreate(const NetTuning& tuning) {
  if (record) return true;
  record = NetSession::Create(tuning).release();
  return record != nullptr;
}

void NetSessionRecordRelease() {
  if (!record) return;
  record->SendFarewells();
  delete record;  // ends the group and joins the thread first
  record = nullptr;
}

NetSession* NetSessionRecord() {
  return record;
}

bool NetSessionHost(int32_t port) {
  return record && record->Host(port);
}

bool NetSessionJoin(const Str& hostName, int32_t port) {
  return record && record->Join(TextOf(hostName).c_str(), port);
}

void NetSessionEnd() {
  if (record) record->End();
}

void NetSessionSetAccepting(int32_t flag) {
  if (record) record->SetAccepting(flag != 0);
}

bool NetSessionIsActive() {
  return record && record->IsActive();
}

int32_t NetSessionCreatePlayer(const Str& name) {
  return record ? record->CreatePlayer(TextOf(name).c_str()) : 0;
}

void NetSessionDeletePlayer(int32_t id) {
  if (record) record->DeletePlayer(id);
}

bool NetSessionSendMessage(int32_t fromId, int32_t toId, const Str& text) {
  return record && record->SendMessage(fromId, toId, TextOf(text));
}

Str NetSessionGetMessage(int32_t id) {
  return StrFromText(record ? record->GetMessage(id) : "");
}

int32_t NetSessionGetLastSender() {
  return record ? record->LastSender() : 0;
}

int32_t NetSessionCountPlayers() {
  return record ? record->CountPlayers() : 0;
}

int32_t NetSessionGetPlayerId(int32_t index) {
  return record ? record->GetPlayerId(index) : 0;
}

Str NetSessionGetPlayerName(int32_t id) {
  return StrFromText(record ? record->GetPlayerName(id) : "NO_DATA");
}

int32_t NetSessionGetLeftPlayer() {
  return record ? record->GetLeftPlayer() : 0;
}
