// The block cipher: published vectors, padding, buffers and key handling.
#include "system/blowfish.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

Bytes FromHex(const std::string& hex) {
  Bytes out;
  for (size_t i = 0; i + 1 < hex.size(); i += 2)
    out.push_back(uint8_t(std::stoi(hex.substr(i, 2), nullptr, 16)));
  return out;
}

// The published vectors write each block half as a big-endian word; this runtime stores halves
// little-endian, so each 4-byte half is reversed.
Bytes AsRuntimeBlock(const std::string& publishedHex) {
  Bytes b = FromHex(publishedHex);
  std::reverse(b.begin(), b.begin() + 4);
  std::reverse(b.begin() + 4, b.end());
  return b;
}

struct Cipher {
  Blowfish bf;
  explicit Cipher(const Bytes& key) {
    BlowfishConstruct(bf);
    EXPECT_TRUE(BlowfishSetKey(bf, key.data(), int32_t(key.size())));
  }
  ~Cipher() { BlowfishDestruct(bf); }
  Bytes Encode(const Bytes& plain) {
    Bytes out(BlowfishPaddedLength(bf, uint32_t(plain.size())), 0xEE);
    EXPECT_EQ(BlowfishEncode(bf, plain.data(), out.data(), uint32_t(plain.size())),
              int32_t(out.size()));
    return out;
  }
  Bytes Decode(const Bytes& cipher) {
    Bytes out(cipher.size(), 0xEE);
    BlowfishDecode(bf, cipher.data(), out.data(), uint32_t(cipher.size()));
    return out;
  }
};

TEST(BlowfishVectors, MatchThePublishedOnesAsLittleEndianHalves) {
  struct Case {
    const char* key;
    const char* plain;
    const char* cipher;  // published, big-endian halves
  } cases[] = {
      {"3000000000000000", "1000000000000001", "7D856F9A613063F2"},
      {"1111111111111111", "1111111111111111", "2466DD878B963C9D"},
      {"0123456789ABCDEF", "1111111111111111", "61F9C3802281B096"},
      {"F0E1D2C3B4A5968778695A4B3C2D1E0F0011223344556677", "FEDCBA9876543210", "05044B62FA52D080"},
  };
  for (const Case& c : cases) {
    Cipher cipher(FromHex(c.key));
    const Bytes plain = AsRuntimeBlock(c.plain);
    EXPECT_EQ(cipher.Encode(plain), AsRuntimeBlock(c.cipher)) << c.key;
    EXPECT_EQ(cipher.Decode(AsRuntimeBlock(c.cipher)), plain) << c.key;
  }
}

TEST(BlowfishPadding, RoundsUpToWholeBlocks) {
  Cipher cipher(Bytes{1});
  const uint32_t cases[][2] = {{0, 0}, {1, 8}, {8, 8}, {9, 16}, {0x7FFFFFF8, 0x7FFFFFF8}};
  for (const auto& c : cases) EXPECT_EQ(BlowfishPaddedLength(cipher.bf, c[0]), c[1]);
}

TEST(BlowfishBuffers, PartialBlockIsZeroPaddedAndEmptyWritesNothing) {
  Cipher cipher(FromHex("0123456789"));
  const Bytes five{1, 2, 3, 4, 5};
  const Bytes encoded = cipher.Encode(five);
  ASSERT_EQ(encoded.size(), 8u);
  EXPECT_EQ(cipher.Decode(encoded), (Bytes{1, 2, 3, 4, 5, 0, 0, 0}));

  uint8_t untouched[8] = {7, 7, 7, 7, 7, 7, 7, 7};
  EXPECT_EQ(BlowfishEncode(cipher.bf, five.data(), untouched, 0), 0);
  EXPECT_EQ(untouched[0], 7);
}

TEST(BlowfishBuffers, InPlaceEqualsSeparateOutput) {
  Cipher cipher(FromHex("A1B2C3"));
  Bytes text(29);
  for (size_t i = 0; i < text.size(); ++i) text[i] = uint8_t(i * 37 + 1);
  const Bytes separate = cipher.Encode(text);

  Bytes inPlace = text;
  inPlace.resize(32);
  EXPECT_EQ(BlowfishEncode(cipher.bf, inPlace.data(), inPlace.data(), 29), 32);
  EXPECT_EQ(inPlace, separate);

  BlowfishDecode(cipher.bf, inPlace.data(), inPlace.data(), 32);
  inPlace.resize(29);
  EXPECT_EQ(inPlace, text);
}

TEST(BlowfishBuffers, DecodeOfAPartialLengthDeciphersThePaddedLastBlock) {
  Cipher cipher(FromHex("55"));
  Bytes text(13);
  for (size_t i = 0; i < text.size(); ++i) text[i] = uint8_t(i + 100);
  for (const bool inPlace : {false, true}) {
    // Exactly the padded 16 bytes on the heap, so ASan sees any access past them.
    const Bytes encoded = cipher.Encode(text);
    std::unique_ptr<uint8_t[]> input(new uint8_t[16]), output(new uint8_t[16]);
    std::copy(encoded.begin(), encoded.end(), input.get());
    uint8_t* target = inPlace ? input.get() : output.get();
    BlowfishDecode(cipher.bf, input.get(), target, 13);
    EXPECT_EQ(Bytes(target, target + 13), text) << inPlace;
  }
}

TEST(BlowfishKey, ShortKeysRepeatThroughTheSchedule) {
  struct Case {
    Bytes shortKey, repeated;
  } cases[] = {
      {{0x5A}, Bytes(8, 0x5A)},
      {{1, 2, 3, 4}, {1, 2, 3, 4, 1, 2, 3, 4}},
  };
  for (const Case& c : cases) {
    Cipher a(c.shortKey), b(c.repeated);
    EXPECT_EQ(std::memcmp(a.bf.P, b.bf.P, sizeof a.bf.P), 0);
    EXPECT_EQ(std::memcmp(a.bf.S, b.bf.S, sizeof a.bf.S), 0);
  }
}

TEST(BlowfishKey, OnlyTheFirst72BytesCount) {
  Bytes longKey(100);
  for (size_t i = 0; i < longKey.size(); ++i) longKey[i] = uint8_t(i);
  Bytes otherTail = longKey;
  otherTail[80] ^= 0xFF;
  const Bytes block(8, 0x33);
  EXPECT_EQ(Cipher(longKey).Encode(block), Cipher(otherTail).Encode(block));
}

TEST(BlowfishKey, EmptyKeyIsRefusedAndTheObjectEncodesNothing) {
  Blowfish bf;
  BlowfishConstruct(bf);
  const uint8_t key[1] = {9};
  EXPECT_FALSE(BlowfishSetKey(bf, key, 0));
  EXPECT_FALSE(BlowfishSetKey(bf, nullptr, 4));
  EXPECT_FALSE(BlowfishSetKey(bf, key, -3));
  const Bytes plain(8, 0x41);
  Bytes out(8, 0);
  EXPECT_EQ(BlowfishEncode(bf, plain.data(), out.data(), 8), -1);
  EXPECT_EQ(out, Bytes(8, 0));
  BlowfishDestruct(bf);
}

}  // namespace
