// The string cipher over the block cipher: zero-padded blocks in, hexadecimal text out.
#include "system/str_cipher.h"

#include <cstring>

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

// A string block as scratch space, so running out of memory ends the program as it does for
// any string instead of throwing.
struct WorkBuffer {
  Str block;
  explicit WorkBuffer(uint32_t size) {
    StrInitEmpty(block);
    StrGetBuffer(block, size);
  }
  ~WorkBuffer() { StrRelease(block); }
  WorkBuffer(const WorkBuffer&) = delete;
  WorkBuffer& operator=(const WorkBuffer&) = delete;
  uint8_t* bytes() { return reinterpret_cast<uint8_t*>(block.data); }
};

// Ciphertext digits are decoded leniently: anything above '9' counts from 'a' = 10.
uint8_t CipherDigitValue(char c) {
  return uint8_t(c <= '9' ? c - '0' : c - 87);
}

}  // namespace

Str StrEncrypt(const Str& key, const Str& text) {
  if (key.length == 0) return StrNewEmpty();
  KeyedCipher cipher(key);
  WorkBuffer work(BlowfishPaddedLength(cipher.bf, text.length + 1) + 1);
  const int32_t padded = BlowfishEncode(cipher.bf, reinterpret_cast<const uint8_t*>(text.data),
                                        work.bytes(), text.length);
  return BytesToHex(work.bytes(), padded, false);
}

Str StrDecrypt(const Str& key, Str& digits) {
  StrLowerInPlace(digits);
  if (key.length == 0) return StrNewEmpty();
  const uint32_t n = digits.length / 2;
  KeyedCipher cipher(key);
  // The last block is deciphered whole: the digits missing from it count as zero bytes.
  const uint32_t padded = BlowfishPaddedLength(cipher.bf, n);
  WorkBuffer work(padded + 1);
  uint8_t* bytes = work.bytes();
  std::memset(bytes, 0, padded + 1);
  for (uint32_t i = 0; i < n; ++i) {
    bytes[i] = uint8_t(CipherDigitValue(digits.data[2 * i]) * 16 +
                       CipherDigitValue(digits.data[2 * i + 1]));
  }
  BlowfishDecode(cipher.bf, bytes, bytes, n);
  bytes[n] = 0;
  Str result;
  StrFromCString(result, work.block.data);
  return result;
}
