// WAVE file images built in memory for the sound tests.
#pragma once

#include <cstdint>
#include <string>

namespace wave_image {

inline std::string Le16(uint32_t v) {
  return {char(v & 0xFF), char((v >> 8) & 0xFF)};
}
inline std::string Le32(uint32_t v) {
  return Le16(v & 0xFFFF) + Le16(v >> 16);
}

// A chunk with its header; declared overrides the size field, pad adds the 0 byte after odd data.
inline std::string Chunk(const std::string& id, const std::string& data, bool pad = false,
                         int64_t declared = -1) {
  return id + Le32(declared < 0 ? uint32_t(data.size()) : uint32_t(declared)) + data +
         (pad ? std::string(1, '\0') : std::string());
}

struct Format {
  uint32_t tag = 1;
  uint32_t channels = 2;
  uint32_t rate = 22050;
  uint32_t bits = 16;
  int64_t blockAlign = -1;  // -1: channels x bits / 8
};

// The 16 bytes every "fmt " chunk begins with.
inline std::string FormatFields(const Format& f) {
  const uint32_t align = f.blockAlign < 0 ? f.channels * f.bits / 8 : uint32_t(f.blockAlign);
  return Le16(f.tag) + Le16(f.channels) + Le32(f.rate) + Le32(f.rate * align) + Le16(align) +
         Le16(f.bits);
}

// The extension of a 40-byte extensible "fmt ": 22 bytes follow, ending in the sub-format.
inline std::string Extensible(uint32_t bits, uint32_t subFormatTag) {
  const std::string tail("\x00\x00\x00\x00\x10\x00\x80\x00\x00\xAA\x00\x38\x9B\x71", 14);
  return Le16(22) + Le16(bits) + Le32(3) + Le16(subFormatTag) + tail;
}

inline std::string Riff(const std::string& chunks, const std::string& form = "WAVE") {
  return "RIFF" + Le32(uint32_t(4 + chunks.size())) + form + chunks;
}

// A whole playable file of frames frames of one constant sample value per channel byte.
inline std::string ConstantWave(const Format& f, uint32_t frames, uint8_t value) {
  const uint32_t frameBytes = f.channels * f.bits / 8;
  return Riff(Chunk("fmt ", FormatFields(f)) +
              Chunk("data", std::string(size_t(frames) * frameBytes, char(value))));
}

}  // namespace wave_image
