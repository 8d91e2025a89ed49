// The group protocol's frames: a 7-byte little-endian header and a payload of at most 1024
// bytes, plus the 136-byte join payload. Both are written and read byte by byte, never by
// copying a struct, so the wire stays the same on every compiler and word size.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

inline constexpr uint16_t kNetDefaultPort = 27910;
inline constexpr size_t kNetHeaderSize = 7;
inline constexpr size_t kNetMaxPayload = 1024;
inline constexpr size_t kNetJoinPayloadSize = 136;
inline constexpr size_t kNetNameSize = 128;

// Message types.
inline constexpr uint8_t kNetJoin = 1;
inline constexpr uint8_t kNetJoinAccepted = 2;
inline constexpr uint8_t kNetText = 3;
inline constexpr uint8_t kNetDeletePlayer = 4;
inline constexpr uint8_t kNetCountPlayers = 101;
inline constexpr uint8_t kNetIdByIndex = 102;
inline constexpr uint8_t kNetNameById = 103;
inline constexpr uint8_t kNetHello = 104;

// Player ids.
inline constexpr uint16_t kNetServerId = 0;
inline constexpr uint16_t kNetFirstPlayerId = 101;
inline constexpr uint16_t kNetLastPlayerId = 0xFEFF;
inline constexpr uint16_t kNetJoinSent = 0xFFFC;
inline constexpr uint16_t kNetJoinPending = 0xFFFE;
inline constexpr uint16_t kNetEverybody = 0xFFFF;

inline bool NetIsPlayerId(uint32_t id) {
  return id >= 1 && id <= kNetLastPlayerId;
}

struct NetHeader {
  uint8_t type = 0;
  uint16_t length = 0;
  uint16_t receiver = 0;
  uint16_t sender = 0;
};

// A received or composed frame. The payload holds exactly header.length bytes (at most 1024).
struct NetMessage {
  NetHeader header;
  std::string payload;
};

void EncodeNetHeader(const NetHeader& header, uint8_t out[kNetHeaderSize]);
NetHeader DecodeNetHeader(const uint8_t in[kNetHeaderSize]);

// Header and payload as they go on the wire; the header's length is taken from the payload.
std::vector<uint8_t> EncodeNetFrame(uint8_t type, uint16_t receiver, uint16_t sender,
                                    const std::string& payload);
// A whole frame as EncodeNetFrame makes it, read back.
NetMessage DecodeNetFrame(const std::vector<uint8_t>& frame);

// The join payload, which is also the wire image of a player record.
struct NetJoinPayload {
  int32_t row = -1;
  uint16_t id = kNetJoinPending;
  uint8_t hidden = 0;
  uint8_t spare = 0;
  std::string name;  // at most 127 bytes are sent
};

std::string EncodeJoinPayload(const NetJoinPayload& join);
// False unless the payload is exactly 136 bytes; the name ends at its first NUL or byte 127.
bool DecodeJoinPayload(const std::string& payload, NetJoinPayload& join);

// A u16 payload (the answers to count and id-by-index, the argument of id and name requests).
std::string EncodeU16Payload(uint16_t value);
// False when the payload holds fewer than two bytes.
bool DecodeU16Payload(const std::string& payload, uint16_t& value);
