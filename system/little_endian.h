// Little-endian words of stored formats (archives, packed blocks, file channel values), read and
// written byte by byte so the host's own order never matters.
#pragma once

#include <cstdint>

inline uint32_t LoadLe32(const uint8_t* p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

inline void StoreLe32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = uint8_t(v >> (8 * i));
}

inline uint16_t LoadLe16(const uint8_t* p) {
  return uint16_t(p[0] | p[1] << 8);
}

inline void StoreLe16(uint8_t* p, uint16_t v) {
  p[0] = uint8_t(v);
  p[1] = uint8_t(v >> 8);
}

inline uint64_t LoadLe64(const uint8_t* p) {
  return LoadLe32(p) | uint64_t(LoadLe32(p + 4)) << 32;
}

inline void StoreLe64(uint8_t* p, uint64_t v) {
  StoreLe32(p, uint32_t(v));
  StoreLe32(p + 4, uint32_t(v >> 32));
}
