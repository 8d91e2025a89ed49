// The string cipher: lengths of the hexadecimal text, round trips and keys.
#include "system/str_cipher.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/owned_str.h"

namespace {

std::string Encrypt(const std::string& key, const std::string& text) {
  return OwnedStr(StrEncrypt(OwnedStr(key).s, OwnedStr(text).s)).text();
}

std::string Decrypt(const std::string& key, const std::string& digits) {
  OwnedStr d(digits);
  return OwnedStr(StrDecrypt(OwnedStr(key).s, d.s)).text();
}

TEST(StrCipher, HexLengthIsTwiceThePaddedLength) {
  const struct {
    size_t textLength, digits;
  } cases[] = {{0, 0}, {1, 16}, {7, 16}, {8, 16}, {9, 32}, {16, 32}, {17, 48}};
  for (const auto& c : cases) {
    const std::string hex = Encrypt("key", std::string(c.textLength, 'q'));
    EXPECT_EQ(hex.size(), c.digits) << c.textLength;
    EXPECT_EQ(hex.find_first_not_of("0123456789abcdef"), std::string::npos);
  }
}

TEST(StrCipher, RoundTripsTextWithoutZeroBytes) {
  std::string everyByte;
  for (int b = 1; b < 256; ++b) everyByte += char(b);
  const std::string keys[] = {"k", "secret", std::string(100, 'z'), "\xff\x80"};
  const std::string texts[] = {"",          "a",       "exactly8",
                               "nine char", everyByte, std::string(100000, 'x')};
  for (const std::string& key : keys)
    for (const std::string& text : texts) EXPECT_EQ(Decrypt(key, Encrypt(key, text)), text);
}

TEST(StrCipher, KnownCiphertextAndBlockOrder) {
  // Key and text of zero-byte-free blocks, checked against the block cipher's own vector:
  // key 8 x FF, block 8 x FF.
  const std::string ff(8, '\xff');
  EXPECT_EQ(Encrypt(ff, ff), "d56f86518acb5eb8");
  EXPECT_EQ(Decrypt(ff, "D56F86518ACB5EB8"), ff);
}

TEST(StrCipher, DecryptLowerCasesTheCallersDigits) {
  OwnedStr key("k"), digits("ABCDEF0123");
  OwnedStr(StrDecrypt(key.s, digits.s));
  EXPECT_EQ(digits.text(), "abcdef0123");
}

TEST(StrCipher, EmptyKeyGivesEmptyResults) {
  EXPECT_EQ(Encrypt("", "text"), "");
  EXPECT_EQ(Decrypt("", "d56f86518acb5eb8"), "");
}

TEST(StrCipher, ShortOrOddCiphertextStaysInsideItsBuffers) {
  // Not produced by encryption, but must decode without touching bytes past its length.
  const std::string hex = Encrypt("key", "some longer text");
  for (size_t cut = 0; cut <= hex.size(); ++cut) Decrypt("key", hex.substr(0, cut));
  EXPECT_EQ(Decrypt("key", hex + "f"), "some longer text");
  EXPECT_EQ(Decrypt("key", hex.substr(0, 16)), "some lon");
}

}  // namespace
