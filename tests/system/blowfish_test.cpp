// The block cipher: published vectors, the initial tables, padding, buffers and key handling.
#include "system/blowfish.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "system/blowfish_tables.h"

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

// The same vectors written out as the bytes this runtime stores.
TEST(BlowfishVectors, BlocksAreLittleEndianWordPairs) {
  struct Case {
    Bytes key, plain, cipher;
  } cases[] = {
      {Bytes(8, 0x00), Bytes(8, 0x00), {0x45, 0x97, 0xF9, 0x4E, 0x78, 0xDD, 0x98, 0x61}},
      {Bytes(8, 0xFF), Bytes(8, 0xFF), {0xD5, 0x6F, 0x86, 0x51, 0x8A, 0xCB, 0x5E, 0xB8}},
      {{0xFE, 0xDC, 0xBA, 0x98, 0x76, 0x54, 0x32, 0x10},
       {0x67, 0x45, 0x23, 0x01, 0xEF, 0xCD, 0xAB, 0x89},
       {0x0F, 0xAB, 0xCE, 0x0A, 0x8D, 0xA2, 0xA0, 0xC6}},
  };
  for (const Case& c : cases) EXPECT_EQ(Cipher(c.key).Encode(c.plain), c.cipher);
}

// Hexadecimal digits of pi's fraction from position d (0 = the first after the point), by
// digit extraction: independent of the generator that wrote the table.
double PiSeriesTerm(int j, int d) {
  double sum = 0;
  for (int k = 0; k <= d; ++k) {
    const uint64_t r = 8 * uint64_t(k) + j;
    uint64_t power = 1, base = 16 % r;
    for (int e = d - k; e > 0; e >>= 1, base = base * base % r)
      if (e & 1) power = power * base % r;
    sum += double(power) / double(r);
    sum -= std::floor(sum);
  }
  for (int k = d + 1; k <= d + 20; ++k) sum += std::pow(16.0, d - k) / (8.0 * k + j);
  return sum - std::floor(sum);
}

uint32_t PiHexDigits4(int d) {
  double x =
      4 * PiSeriesTerm(1, d) - 2 * PiSeriesTerm(4, d) - PiSeriesTerm(5, d) - PiSeriesTerm(6, d);
  x -= std::floor(x);
  return uint32_t(x * 65536.0);
}

TEST(BlowfishTables, AreTheHexDigitsOfPi) {
  auto word = [](int i) { return i < 18 ? kBlowfishInitialP[i] : kBlowfishInitialS[i - 18]; };
  EXPECT_EQ(word(0), 0x243F6A88u);
  EXPECT_EQ(word(18), 0xD1310BA6u);
  EXPECT_EQ(word(1041), 0x3AC372E6u);
  for (int i = 0; i < 1042; i += (i < 1030 ? 13 : 1)) {
    EXPECT_EQ(word(i) >> 16, PiHexDigits4(8 * i)) << "word " << i;
    EXPECT_EQ(word(i) & 0xFFFF, PiHexDigits4(8 * i + 4)) << "word " << i;
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

TEST(BlowfishBuffers, DecodeOfAPartialBlockStaysInsideTheBuffer) {
  Cipher cipher(FromHex("55"));
  // Exactly 13 bytes on the heap, so ASan sees any write past them.
  std::unique_ptr<uint8_t[]> cipherText(new uint8_t[13]);
  for (int i = 0; i < 13; ++i) cipherText[i] = uint8_t(i + 100);
  BlowfishDecode(cipher.bf, cipherText.get(), cipherText.get(), 13);

  Bytes padded(16, 0);
  for (int i = 0; i < 13; ++i) padded[i] = uint8_t(i + 100);
  const Bytes whole = cipher.Decode(padded);
  EXPECT_EQ(Bytes(cipherText.get(), cipherText.get() + 13),
            Bytes(whole.begin(), whole.begin() + 13));
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
