// Encryption of text with a key: the ciphertext travels as lowercase hexadecimal text.
#pragma once

#include "core/str.h"

// An empty key gives an empty result: there is no cipher without a key.
Str StrEncrypt(const Str& key, const Str& text);
// Lower-cases `digits` in place first. The result ends at the first zero byte, which drops the
// padding StrEncrypt added. An odd final digit is ignored.
Str StrDecrypt(const Str& key, Str& digits);
