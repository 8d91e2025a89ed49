// The 128-byte binary model file of one red-red-green triangle built in code with given normals
// (normal mode 0), as hex text, and bytes shown the same way for comparison.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

inline std::string Hex(const std::vector<uint8_t>& bytes) {
  static const char digits[] = "0123456789ABCDEF";
  std::string text;
  for (uint8_t b : bytes) {
    if (!text.empty()) text += ' ';
    text += digits[b >> 4];
    text += digits[b & 15];
  }
  return text;
}

inline constexpr char kGoldenHex[] =
    "17 B3 C6 00 00 00 00 00 00 00 00 40 01 00 00 00 03 00 00 00 04 00 00 00 "
    "FE FF FF FF FF 00 00 00 00 FF 00 00 "
    "00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 80 00 00 80 3F 00 00 00 80 "
    "00 00 00 00 00 00 80 BF "
    "04 00 00 00 "
    "00 00 00 00 00 00 00 00 00 00 00 00 00 00 "
    "00 00 00 00 00 00 00 00 00 00 00 00 00 01 "
    "00 00 80 3F 00 00 00 00 00 00 00 00 00 01 "
    "00 00 00 00 00 00 80 3F 00 00 00 00 00 02";
