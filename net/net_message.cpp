// Byte-by-byte codec of the group protocol's frames.
#include "net/net_message.h"

#include <algorithm>

namespace {

void PutU16(uint8_t* out, uint16_t value) {
  out[0] = uint8_t(value & 0xFF);
  out[1] = uint8_t(value >> 8);
}

uint16_t GetU16(const uint8_t* in) {
  return uint16_t(in[0] | (in[1] << 8));
}

}  // namespace

void EncodeNetHeader(const NetHeader& header, uint8_t out[kNetHeaderSize]) {
  out[0] = header.type;
  PutU16(out + 1, header.length);
  PutU16(out + 3, header.receiver);
  PutU16(out + 5, header.sender);
}

NetHeader DecodeNetHeader(const uint8_t in[kNetHeaderSize]) {
  return NetHeader{in[0], GetU16(in + 1), GetU16(in + 3), GetU16(in + 5)};
}

std::vector<uint8_t> EncodeNetFrame(uint8_t type, uint16_t receiver, uint16_t sender,
                                    const std::string& payload) {
  const size_t length = std::min(payload.size(), kNetMaxPayload);
  std::vector<uint8_t> frame(kNetHeaderSize + length);
  EncodeNetHeader(NetHeader{type, uint16_t(length), receiver, sender}, frame.data());
  std::copy_n(payload.begin(), length, frame.begin() + kNetHeaderSize);
  return frame;
}

NetMessage DecodeNetFrame(const std::vector<uint8_t>& frame) {
  return NetMessage{DecodeNetHeader(frame.data()),
                    std::string(frame.begin() + kNetHeaderSize, frame.end())};
}

std::string EncodeJoinPayload(const NetJoinPayload& join) {
  std::string out(kNetJoinPayloadSize, '\0');
  auto* bytes = reinterpret_cast<uint8_t*>(out.data());
  const auto row = uint32_t(join.row);
  for (int i = 0; i < 4; ++i) bytes[i] = uint8_t(row >> (8 * i));
  PutU16(bytes + 4, join.id);
  bytes[6] = join.hidden;
  bytes[7] = join.spare;
  const size_t nameLength = std::min(join.name.size(), kNetNameSize - 1);
  std::copy_n(join.name.begin(), nameLength, out.begin() + 8);
  return out;
}

bool DecodeJoinPayload(const std::string& payload, NetJoinPayload& join) {
  if (payload.size() != kNetJoinPayloadSize) return false;
  const auto* bytes = reinterpret_cast<const uint8_t*>(payload.data());
  uint32_t row = 0;
  for (int i = 0; i < 4; ++i) row |= uint32_t(bytes[i]) << (8 * i);
  join.row = int32_t(row);
  join.id = GetU16(bytes + 4);
  join.hidden = bytes[6];
  join.spare = bytes[7];
  const char* name = payload.data() + 8;
  join.name.assign(name, std::find(name, name + kNetNameSize - 1, '\0'));
  return true;
}

std::string EncodeU16Payload(uint16_t value) {
  std::string out(2, '\0');
  PutU16(reinterpret_cast<uint8_t*>(out.data()), value);
  return out;
}

bool DecodeU16Payload(const std::string& payload, uint16_t& value) {
  if (payload.size() < 2) return false;
  value = GetU16(reinterpret_cast<const uint8_t*>(payload.data()));
  return true;
}
