// Search, reverse search, replacement and the character-set scanners.
#include "core/str_search.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "core/str_value.h"

namespace {

StrValue FromBytes(const std::string& bytes) {
  StrValue v;
  char* p = StrGetBuffer(v.str(), uint32_t(bytes.size()));
  bytes.copy(p, bytes.size());
  p[bytes.size()] = 0;
  v.str().length = uint32_t(bytes.size());
  return v;
}

int32_t Expected(size_t pos) { return pos == std::string::npos ? -1 : int32_t(pos); }

std::string RandomText(std::mt19937& rng, size_t maxLength, std::string_view alphabet) {
  std::uniform_int_distribution<size_t> length(0, maxLength);
  std::uniform_int_distribution<size_t> pick(0, alphabet.size() - 1);
  std::string text(length(rng), ' ');
  for (char& c : text) c = alphabet[pick(rng)];
  return text;
}

TEST(StrSearch, FindsForwardFromAStart) {
  struct Case {
    const char* haystack;
    const char* needle;
    int32_t start;
    int32_t found;
  } cases[] = {
      {"hello", "lo", 4, -1}, {"hello", "lo", -7, 3}, {"hello", "", 0, -1},
      {"", "a", 0, -1},       {"aaab", "aab", 0, 1},
  };
  for (const Case& c : cases) {
    const StrValue hay(c.haystack), needle(c.needle);
    SCOPED_TRACE(std::string(c.haystack) + " / " + c.needle);
    EXPECT_EQ(StrFind(c.haystack, c.needle, c.start), c.found);
    EXPECT_EQ(StrFind(hay, c.needle, c.start), c.found);
    EXPECT_EQ(StrFind(c.haystack, needle, c.start), c.found);
    EXPECT_EQ(StrFind(hay, needle, c.start), c.found);
  }
  EXPECT_EQ(StrFind(nullptr, "a", 0), -1);
  EXPECT_EQ(StrFind("a", static_cast<const char*>(nullptr), 0), -1);
  EXPECT_EQ(StrFindCore(nullptr, 3, "a", 1), -1);
}

TEST(StrSearch, FindsBackwardUpToALimitWithOverlaps) {
  struct Case {
    const char* haystack;
    const char* needle;
    int32_t limit;
    int32_t found;
  } cases[] = {
      {"banana", "ana", -1, 3}, {"banana", "ana", 2, 1}, {"banana", "ana", 0, -1},
      {"ab", "abc", -1, -1},    {"banana", "", -1, -1},  {"banana", "a", 100, 5},
  };
  for (const Case& c : cases) {
    const StrValue hay(c.haystack), needle(c.needle);
    SCOPED_TRACE(std::string(c.haystack) + " / " + c.needle);
    EXPECT_EQ(StrFindReverse(c.haystack, c.needle, c.limit), c.found);
    EXPECT_EQ(StrFindReverse(hay, c.needle, c.limit), c.found);
    EXPECT_EQ(StrFindReverse(c.haystack, needle, c.limit), c.found);
    EXPECT_EQ(StrFindReverse(hay, needle, c.limit), c.found);
  }
}

// The skip table and the window arithmetic are where a search goes wrong; std::string is the
// reference. Str operands carry embedded NULs, raw text stops at its first one.
TEST(StrSearch, AgreesWithStdStringOnRandomTexts) {
  std::mt19937 rng(20261209);
  const std::string_view alphabet("ab\0c", 4);
  for (int i = 0; i < 20000; ++i) {
    const std::string hay = RandomText(rng, 40, alphabet);
    std::string needle = RandomText(rng, 5, alphabet);
    if (needle.empty()) needle.push_back('a');
    const int32_t start = std::uniform_int_distribution<int32_t>(-3, 45)(rng);
    const StrValue h = FromBytes(hay), n = FromBytes(needle);
    SCOPED_TRACE(testing::Message() << "case " << i << " start " << start);

    EXPECT_EQ(StrFindCore(hay.data(), uint32_t(hay.size()), needle.data(), uint32_t(needle.size())),
              Expected(hay.find(needle)));
    EXPECT_EQ(StrFind(h, n, start), Expected(hay.find(needle, size_t(std::max(start, 0)))));
    EXPECT_EQ(StrFindReverse(h, n, start),
              Expected(hay.rfind(needle, start < 0 ? std::string::npos : size_t(start))));

    const std::string rawHay(hay.c_str()), rawNeedle(needle.c_str());
    if (rawNeedle.empty()) continue;
    EXPECT_EQ(StrFind(hay.c_str(), needle.c_str(), start),
              Expected(rawHay.find(rawNeedle, size_t(std::max(start, 0)))));
    EXPECT_EQ(StrFindReverse(hay.c_str(), n.c_str(), start),
              Expected(rawHay.rfind(rawNeedle, start < 0 ? std::string::npos : size_t(start))));
  }
}

// Replacement by the resume rule: after a rebuild the scan restarts at at + rlen - slen + 1.
std::string ReferenceReplace(std::string text, const std::string& search, const std::string& rep) {
  if (search.empty()) return text;
  size_t pos = 0;
  while (pos < text.size()) {
    const size_t at = text.find(search, pos);
    if (at == std::string::npos) break;
    text.replace(at, search.size(), rep);
    const int64_t resume = search.size() == rep.size()
                               ? int64_t(at + rep.size())
                               : int64_t(at) + int64_t(rep.size()) - int64_t(search.size()) + 1;
    pos = size_t(std::max<int64_t>(resume, 0));
  }
  return text;
}

TEST(StrReplace, ReplacesEveryOccurrence) {
  struct Case {
    const char* text;
    const char* search;
    const char* replacement;
    const char* result;
  } cases[] = {
      {"a\\b\\c", "\\", "/", "a/b/c"}, {"abab", "ab", "xy", "xyxy"},
      {"aba", "a", "aa", "aabaa"},     {"aabb", "ab", "", ""},
      {"hello", "", "x", "hello"},     {"", "a", "b", ""},
      {"aaaa", "aa", "a", "a"},        {"aab", "ab", "a", "aa"},
      {"abcabc", "bc", "xbcx", "axbcxaxbcx"},
  };
  for (const Case& c : cases) {
    const StrValue text(c.text), search(c.search), rep(c.replacement);
    Str result;
    const StrValue owned = StrValue::Adopt(StrReplace(result, text, search, rep));
    EXPECT_EQ(owned.view(), c.result) << c.text << " / " << c.search << " / " << c.replacement;
    EXPECT_EQ(owned.view(), ReferenceReplace(c.text, c.search, c.replacement));
  }
}

TEST(StrReplace, AgreesWithTheResumeRuleOnRandomTexts) {
  std::mt19937 rng(7);
  for (int i = 0; i < 20000; ++i) {
    const std::string text = RandomText(rng, 40, "ab");
    const std::string search = RandomText(rng, 3, "ab");
    const std::string rep = RandomText(rng, 4, "ab");
    Str result;
    const StrValue owned =
        StrValue::Adopt(StrReplace(result, FromBytes(text), FromBytes(search), FromBytes(rep)));
    ASSERT_EQ(owned.view(), ReferenceReplace(text, search, rep))
        << text << " / " << search << " / " << rep;
  }
}

TEST(StrSetScan, FindsFirstInAndNotInSet) {
  const char* text = "  ab,c";
  EXPECT_EQ(CStrFindFirstOf(text, ",b"), text + 3);
  EXPECT_EQ(CStrFindFirstOf(text, "xyz"), nullptr);
  EXPECT_EQ(CStrFindFirstOf(text, ""), nullptr);
  EXPECT_EQ(CStrFindFirstOf("", "a"), nullptr);
  EXPECT_EQ(CStrFindFirstOf(nullptr, "a"), nullptr);
  EXPECT_EQ(CStrFindFirstNotOf(text, " "), text + 2);
  EXPECT_EQ(CStrFindFirstNotOf(text, ""), text);
  EXPECT_EQ(CStrFindFirstNotOf("aaa", "a"), nullptr);
  EXPECT_EQ(CStrFindFirstNotOf("", ""), nullptr);
}

}  // namespace
