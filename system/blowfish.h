// The symmetric block cipher the runtime offers for strings: 64-bit blocks, 16 rounds, keys of
// one byte or more. A block's halves are the little-endian words at bytes 0-3 and 4-7, so
// ciphertext matches the published big-endian vectors only with each half's bytes reversed.
#pragma once

#include <cstdint>

struct Blowfish {
  uint32_t P[18];
  uint32_t S[4][256];
  bool keyed;  // false until a key schedule has run; an unkeyed object encodes nothing
};

void BlowfishConstruct(Blowfish& bf);
// Wipes the key material.
void BlowfishDestruct(Blowfish& bf);

// Keys longer than 72 bytes are accepted; only the first 72 are read. An empty key (or a null
// one) would make the key index a division by zero: it is refused and leaves the object unkeyed.
bool BlowfishSetKey(Blowfish& bf, const uint8_t* key, int32_t length);

void BlowfishEncipherBlock(const Blowfish& bf, uint32_t& left, uint32_t& right);
void BlowfishDecipherBlock(const Blowfish& bf, uint32_t& left, uint32_t& right);

inline constexpr uint32_t kBlowfishMaxEncodeLength = 0x7FFFFFF8;

// The length rounded up to whole blocks.
uint32_t BlowfishPaddedLength(const Blowfish& bf, uint32_t length);

// Electronic-codebook encryption; input and output may be the same buffer. The output (and the
// input, when in place) must hold the padded length: the last block is zero-filled there.
// Returns the padded length, or -1 (nothing written) when the object is unkeyed or the length
// exceeds kBlowfishMaxEncodeLength.
int32_t BlowfishEncode(const Blowfish& bf, const uint8_t* input, uint8_t* output, uint32_t length);

// Electronic-codebook decryption; input and output may be the same buffer. A length that is not
// a multiple of 8 still deciphers the whole last block: both buffers must hold the padded length.
void BlowfishDecode(const Blowfish& bf, const uint8_t* input, uint8_t* output, uint32_t length);
