// The address pair the socket layer hands around, and the byte-order conversions at its edge.
// Both halves are kept in network order; {0, 0} means "none" (what a failed lookup answers).
#pragma once

#include <cstdint>
#include <string>

struct SockAddress {
  uint32_t address;  // IPv4, network order
  uint16_t port;     // network order
};

inline bool SockAddressIsNone(const SockAddress& a) {
  return a.address == 0 && a.port == 0;
}

uint32_t SockAddressToHost(const SockAddress& a);
uint16_t SockPortToHost(const SockAddress& a);

// The address a.b.c.d (a the first byte on the wire) with the port given in host order.
SockAddress SockMakeAddress(uint8_t a, uint8_t b, uint8_t c, uint8_t d, uint16_t port);

// Dotted text "a.b.c.d" of a network-order address.
std::string SockIpToString(uint32_t addressNetOrder);

// Host-order value of 127.0.0.1.
inline constexpr uint32_t kLoopbackHostOrder = 0x7F000001;
