// Text functions: trims, case, URL escapes and UTF-8, hexadecimal, number bases and wide text.
#include "core/str_functions.h"

#include <gtest/gtest.h>

#include <climits>
#include <random>
#include <string>

#include "tests/support/owned_str.h"

namespace {

std::string Convert(Str (*f)(const Str&), const std::string& in) {
  return OwnedStr(f(OwnedStr(in).s)).text();
}

TEST(StrTrim, DropsOnlyCharactersOfTheSet) {
  const struct {
    const char* text;
    std::string set;
    const char* left;
    const char* right;
  } cases[] = {
      {"xx--", "-", "xx--", "xx"},
      {"----", "-", "", ""},
      {"  a ", " ", "a ", "  a"},
      {"-x-", "", "-x-", "-x-"},
      {"", "-", "", ""},
      {"ab-ba", "ab", "-ba", "ab-"},
      {"\t\n text", " \t\n", "text", "\t\n text"},
      {"x\0y", std::string("\0", 1), "x", "x"},  // the set's stored length counts
  };
  for (const auto& c : cases) {
    OwnedStr text(c.text), set(c.set);
    EXPECT_EQ(OwnedStr(StrTrimLeft(text.s, set.s)).text(), c.left) << c.text;
    EXPECT_EQ(OwnedStr(StrTrimRight(text.s, set.s)).text(), c.right) << c.text;
  }
}

TEST(StrCase, ChangesAsciiLettersOnly) {
  const std::string mixed = "Hello, World! 09 \xe9\xc9\xff[`{@";
  EXPECT_EQ(Convert(StrUpperCopy, mixed), "HELLO, WORLD! 09 \xe9\xc9\xff[`{@");
  EXPECT_EQ(Convert(StrLowerCopy, mixed), "hello, world! 09 \xe9\xc9\xff[`{@");
  OwnedStr inPlace(std::string("aB\0cD", 5));
  StrUpperInPlace(inPlace.s);
  EXPECT_EQ(inPlace.text(), std::string("AB\0CD", 5));
  StrLowerInPlace(inPlace.s);
  EXPECT_EQ(inPlace.text(), std::string("ab\0cd", 5));
}

TEST(UrlEscape, EscapesEverythingButLettersAndDigits) {
  const struct {
    std::string in, out;
  } cases[] = {
      {"a b/\xe9", "a%20b%2f%c3%a9"},
      {"AZaz09", "AZaz09"},
      {"-_.~+%", "%2d%5f%2e%7e%2b%25"},
      {std::string("\0\x7f", 2), "%00%7f"},
      {"\x80\xbf\xc0\xff", "%c2%80%c2%bf%c3%80%c3%bf"},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(Convert(UrlEscape, c.in), c.out) << c.out;
}

TEST(UrlUnescape, DecodesAndDropsMalformedEscapes) {
  const struct {
    std::string in, out;
  } cases[] = {
      {"a%20b+c", "a b c"}, {"%zz", "z"},       {"100%", "100"},    {"%c3%a9", "\xe9"},
      {"%4", ""},           {"%4g", "g"},       {"%%41", "41"},     {"%41%42", "AB"},
      {"%e2%82%ac", " "},   {"%C3%A9", "\xe9"}, {"plain", "plain"}, {"%2B+", "+ "},
  };
  for (const auto& c : cases) EXPECT_EQ(Convert(UrlUnescape, c.in), c.out) << c.in;
}

TEST(UrlUnescape, RandomBytesSurviveTheRoundTripAndDecodingNeverGrows) {
  std::mt19937 random(2026);
  for (int round = 0; round < 200; ++round) {
    std::string bytes(random() % 300, '\0');
    for (char& c : bytes) c = char(random());
    OwnedStr text(bytes);
    EXPECT_EQ(OwnedStr(UrlUnescape(OwnedStr(UrlEscape(text.s)).s)).text(), bytes);
    EXPECT_LE(OwnedStr(UrlUnescape(text.s)).text().size(), bytes.size());
  }
}

TEST(Utf8ToLatin1, DecodesShortSequencesAndDropsTheRest) {
  const struct {
    std::string in, out;
  } cases[] = {
      {"\xe2\x82\xac", " "},             // above 255
      {"ab\xc3", "ab"},                  // lone lead byte at the end
      {"\xc3\xa9\xc2\xa0", "\xe9\xa0"},  // two-byte sequences
      {"\xe0\x82\xa9", "\xa9"},          // overlong three-byte form, not checked
      {"\x80x\xbf", "x"},                // stray continuation bytes
      {"\xf0\x9f\x98\x80!", "!"},        // four-byte lead and its tail are dropped
      {"\xe2\x82", ""},                  // three-byte lead without its bytes
      {"\xc3\x41", "\xc1"},              // continuation not checked
  };
  for (const auto& c : cases) {
    OwnedStr s(c.in);
    Utf8ToLatin1(s.s);
    EXPECT_EQ(s.text(), c.out);
  }
}

TEST(Hex, PairsAndBytes) {
  EXPECT_EQ(HexPairToByte('0', '0'), 0);
  EXPECT_EQ(HexPairToByte('f', 'F'), 255);
  EXPECT_EQ(HexPairToByte('A', '7'), 0xA7);
  EXPECT_EQ(HexPairToByte('g', '1'), uint8_t('g' * 16 + 1));  // a non-digit counts its code

  const uint8_t bytes[] = {0x00, 0xAB, 0x5F, 0xFF};
  EXPECT_EQ(OwnedStr(BytesToHex(bytes, 2, false)).text(), "00ab");
  EXPECT_EQ(OwnedStr(BytesToHex(bytes, 4, true)).text(), "00AB5FFF");
  for (int32_t count : {0, -1, INT32_MIN}) {
    OwnedStr none(BytesToHex(bytes, count, true));
    EXPECT_EQ(none.s.data, StrEmptyBuffer);
  }
}

TEST(Int64ToText, WritesEveryBase) {
  const struct {
    int64_t value;
    int32_t base;
    std::string text;
  } cases[] = {
      {255, 16, "ff"},
      {-1, 16, std::string(16, 'f')},
      {-1, 2, std::string(64, '1')},
      {-10, 10, "-10"},
      {0, 2, "0"},
      {35, 36, "z"},
      {INT64_MIN, 10, "-9223372036854775808"},
      {INT64_MAX, 36, "1y2p0ij32e8e7"},
      {INT64_MIN, 8, "1000000000000000000000"},
      {-255, 37, "-255"},  // an unknown base writes base 10
      {99, 1, "99"},
      {99, -16, "99"},
  };
  for (const auto& c : cases) {
    char buffer[kInt64TextSize];
    EXPECT_EQ(Int64ToText(c.value, buffer, c.base), buffer);
    EXPECT_EQ(std::string(buffer), c.text) << c.value << " base " << c.base;
  }
}

std::u16string Units(const char16_t* w) {
  return std::u16string(w);
}

TEST(WideText, Latin1BothWays) {
  std::string bytes;
  std::u16string units;
  for (int b = 1; b < 256; ++b) {
    bytes += char(b);
    units += char16_t(b);
  }
  EXPECT_EQ(Units(StrToWide(OwnedStr(bytes).s)), units);
  OwnedStr back;
  EXPECT_EQ(StrFromWide(back.s, units.c_str()), 255);
  EXPECT_EQ(back.text(), bytes);
}

TEST(WideText, StaticBufferHoldsAtMost511Characters) {
  const std::string longText(600, 'w');
  const char16_t* wide = StrToWide(OwnedStr(longText).s);
  EXPECT_EQ(Units(wide), std::u16string(511, u'w'));
  EXPECT_EQ(Units(StrToWide(OwnedStr(std::string("ab\0cd", 5)).s)), u"ab");
  EXPECT_EQ(Units(StrToWide(OwnedStr("").s)), u"");
}

TEST(WideText, UnitsWithoutAByteFormFail) {
  OwnedStr s("previous");
  EXPECT_EQ(StrAssignWide(s.s, u"ok\u20acno"), -1);
  EXPECT_EQ(s.text(), "");
  EXPECT_EQ(StrAssignWide(s.s, u"fine"), 4);
  EXPECT_EQ(s.text(), "fine");
  EXPECT_EQ(StrAssignWide(s.s, nullptr), 0);
  EXPECT_EQ(s.text(), "");
  OwnedStr fresh;
  EXPECT_EQ(StrFromWide(fresh.s, u"\u0100"), -1);
  EXPECT_EQ(fresh.text(), "");
}

TEST(WideText, LongTextConvertsWhole) {
  const std::u16string units(100000, u'\u00e9');
  OwnedStr s;
  EXPECT_EQ(StrFromWide(s.s, units.c_str()), 100000);
  EXPECT_EQ(s.text(), std::string(100000, '\xe9'));
}

}  // namespace
