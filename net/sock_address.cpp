// Byte-order helpers of the socket layer.
#include "net/sock_address.h"

#include <arpa/inet.h>

#include <cstdio>

uint32_t SockAddressToHost(const SockAddress& a) {
  return ntohl(a.address);
}

uint16_t SockPortToHost(const SockAddress& a) {
  return ntohs(a.port);
}

SockAddress SockMakeAddress(uint8_t a, uint8_t b, uint8_t c, uint8_t d, uint16_t port) {
  const uint32_t hostOrder = (uint32_t{a} << 24) | (uint32_t{b} << 16) | (uint32_t{c} << 8) | d;
  return SockAddress{htonl(hostOrder), htons(port)};
}

std::string SockIpToString(uint32_t addressNetOrder) {
  const uint32_t h = ntohl(addressNetOrder);
  char text[16];
  std::snprintf(text, sizeof text, "%d.%d.%d.%d", int(h >> 24), int((h >> 16) & 0xFF),
                int((h >> 8) & 0xFF), int(h & 0xFF));
  return text;
}
