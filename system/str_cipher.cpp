// The string cipher over the block cipher: zero-padded blocks in, hexadecimal text out.
#include "system/str_cipher.h"

#include <cstddef>
#include <vector>

#include "core/str_functions.h"
#include "system/blowfish.h"

namespace {

// Owns a keyed cipher for one call and wipes it afterwards.
struct KeyedCipher {
  Blowfish bf;
  explicit KeyedCipher(const Str& key) {
    BlowfishConstruct(bf);
    BlowfishSetKey(bf, reinterpret_cast<const uint8_t*>(key.data), int32_t(key.length));
  }
  ~KeyedCipher() { BlowfishDestruct(bf); }
  KeyedCipher(const KeyedCipher&) = delete;
  KeyedCipher& operator=(const KeyedCipher&) = delete;
};

// Ciphertext digits are decoded leniently: anything above '9' counts from 'a' = 10.
uint8_t CipherDigitValue(char c) {
  return uint8_t(c <= '9' ? c - '0' : c - 87);
}

}  // namespace

Str StrEncrypt(const Str& key, const Str& text) {
  if (key.length == 0) return StrNewEmpty();
  KeyedCipher cipher(key);
  std::vector<uint8_t> work(BlowfishPaddedLength(cipher.bf, text.length + 1) + 1);
  const int32_t padded = BlowfishEncode(cipher.bf, reinterpret_cast<const uint8_t*>(text.data),
                                        work.data(), text.length);
  return BytesToHex(work.data(), padded, false);
}

Str StrDecrypt(const Str& key, Str& digits) {
  StrLowerInPlace(digits);
  if (key.length == 0) return StrNewEmpty();
  const uint32_t n = digits.length / 2;
  std::vector<uint8_t> work(size_t(n) + 1, 0);
  for (uint32_t i = 0; i < n; ++i) {
    work[i] = uint8_t(CipherDigitValue(digits.data[2 * i]) * 16 +
                      CipherDigitValue(digits.data[2 * i + 1]));
  }
  KeyedCipher cipher(key);
  BlowfishDecode(cipher.bf, work.data(), work.data(), n);
  Str result;
  StrFromCString(result, reinterpret_cast<const char*>(work.data()));
  return result;
}
