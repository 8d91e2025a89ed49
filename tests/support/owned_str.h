// A test-side owner for Str values: built from any bytes (zero bytes included) or taken over
// from a function's result, released once, read back as std::string with its terminator checked.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "core/str.h"

struct OwnedStr {
  Str s;
  explicit OwnedStr(const std::string& text = {}) {
    StrInitEmpty(s);
    if (text.empty()) return;
    StrReserve(s, uint32_t(text.size()), false);
    text.copy(s.data, text.size());
    s.data[text.size()] = 0;
    s.length = uint32_t(text.size());
  }
  explicit OwnedStr(Str taken) : s(taken) {}
  ~OwnedStr() { StrRelease(s); }
  OwnedStr(const OwnedStr&) = delete;
  OwnedStr& operator=(const OwnedStr&) = delete;
  std::string text() const {
    EXPECT_EQ(s.data[s.length], 0) << "the stored length must end at the terminator";
    return std::string(s.data, s.length);
  }
};
