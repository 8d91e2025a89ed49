// The block cipher: key schedule, one-block rounds and the electronic-codebook buffer passes.
#include "system/blowfish.h"

#include <cstring>

#include "system/blowfish_tables.h"

namespace {

constexpr uint32_t kBlock = 8;

uint32_t F(const Blowfish& bf, uint32_t x) {
  return ((bf.S[0][x >> 24] + bf.S[1][(x >> 16) & 0xFF]) ^ bf.S[2][(x >> 8) & 0xFF]) +
         bf.S[3][x & 0xFF];
}

// The block layout is part of stored ciphertext, so it is fixed as little-endian whatever the
// host is.
uint32_t LoadLittleEndian(const uint8_t* p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

void StoreLittleEndian(uint8_t* p, uint32_t v) {
  p[0] = uint8_t(v);
  p[1] = uint8_t(v >> 8);
  p[2] = uint8_t(v >> 16);
  p[3] = uint8_t(v >> 24);
}

using BlockCipher = void (*)(const Blowfish&, uint32_t&, uint32_t&);

void CipherBlockInPlace(const Blowfish& bf, uint8_t* block, BlockCipher cipher) {
  uint32_t left = LoadLittleEndian(block);
  uint32_t right = LoadLittleEndian(block + 4);
  cipher(bf, left, right);
  StoreLittleEndian(block, left);
  StoreLittleEndian(block + 4, right);
}

// Whole blocks are copied (unless in place) and ciphered where they land.
void CipherWholeBlocks(const Blowfish& bf, const uint8_t* input, uint8_t* output, uint32_t count,
                       BlockCipher cipher) {
  for (uint32_t done = 0; done < count; done += kBlock) {
    if (input != output) std::memcpy(output + done, input + done, kBlock);
    CipherBlockInPlace(bf, output + done, cipher);
  }
}

// A partial last block of `tail` bytes is enciphered as if zero-filled; the whole block is stored.
void EncipherTail(const Blowfish& bf, const uint8_t* input, uint8_t* output, uint32_t tail) {
  uint8_t last[kBlock] = {};
  std::memcpy(last, input, tail);
  CipherBlockInPlace(bf, last, BlowfishEncipherBlock);
  std::memcpy(output, last, kBlock);
}

}  // namespace

void BlowfishConstruct(Blowfish& bf) {
  std::memset(&bf, 0, sizeof bf);
}

void BlowfishDestruct(Blowfish& bf) {
  // A volatile pass, so the wipe of a dying object is not optimised away.
  volatile uint8_t* bytes = reinterpret_cast<volatile uint8_t*>(&bf);
  for (size_t i = 0; i < sizeof bf; ++i) bytes[i] = 0;
}

bool BlowfishSetKey(Blowfish& bf, const uint8_t* key, int32_t length) {
  if (key == nullptr || length <= 0) {
    bf.keyed = false;
    return false;
  }
  std::memcpy(bf.P, kBlowfishInitialP, sizeof bf.P);
  std::memcpy(bf.S, kBlowfishInitialS, sizeof bf.S);
  int32_t k = 0;
  for (uint32_t& p : bf.P) {
    uint32_t word = 0;
    for (int i = 0; i < 4; ++i) {
      word = word << 8 | key[k];
      k = (k + 1) % length;
    }
    p ^= word;
  }
  uint32_t left = 0;
  uint32_t right = 0;
  auto refill = [&](uint32_t* words, size_t count) {
    for (size_t i = 0; i < count; i += 2) {
      BlowfishEncipherBlock(bf, left, right);
      words[i] = left;
      words[i + 1] = right;
    }
  };
  refill(bf.P, 18);
  for (auto& box : bf.S) refill(box, 256);
  bf.keyed = true;
  return true;
}

void BlowfishEncipherBlock(const Blowfish& bf, uint32_t& left, uint32_t& right) {
  uint32_t l = left;
  uint32_t r = right;
  for (int round = 0; round < 16; round += 2) {
    l ^= bf.P[round];
    r ^= F(bf, l);
    r ^= bf.P[round + 1];
    l ^= F(bf, r);
  }
  left = r ^ bf.P[17];
  right = l ^ bf.P[16];
}

void BlowfishDecipherBlock(const Blowfish& bf, uint32_t& left, uint32_t& right) {
  uint32_t l = left;
  uint32_t r = right;
  for (int round = 17; round > 1; round -= 2) {
    l ^= bf.P[round];
    r ^= F(bf, l);
    r ^= bf.P[round - 1];
    l ^= F(bf, r);
  }
  left = r ^ bf.P[0];
  right = l ^ bf.P[1];
}

uint32_t BlowfishPaddedLength(const Blowfish&, uint32_t length) {
  return uint32_t((uint64_t(length) + kBlock - 1) / kBlock * kBlock);
}

int32_t BlowfishEncode(const Blowfish& bf, const uint8_t* input, uint8_t* output, uint32_t length) {
  if (!bf.keyed || length > kBlowfishMaxEncodeLength) return -1;
  const uint32_t whole = length / kBlock * kBlock;
  CipherWholeBlocks(bf, input, output, whole, BlowfishEncipherBlock);
  if (whole != length) {
    EncipherTail(bf, input + whole, output + whole, length - whole);
  }
  return int32_t(BlowfishPaddedLength(bf, length));
}

// A partial last block is still a whole block of ciphertext: it is deciphered as it stands.
void BlowfishDecode(const Blowfish& bf, const uint8_t* input, uint8_t* output, uint32_t length) {
  if (!bf.keyed) return;
  CipherWholeBlocks(bf, input, output, BlowfishPaddedLength(bf, length), BlowfishDecipherBlock);
}
