// Splitting into a string array, including an element of the array being filled.
#include "core/str_split.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/process_globals.h"

namespace {

class Split : public testing::Test {
 protected:
  void SetUp() override { ResetCoreStateForTests(); }
  void TearDown() override {
    ArrayReleaseString(array);
    ResetCoreStateForTests();
  }
  std::vector<std::string> Elements() {
    std::vector<std::string> out;
    for (int32_t i = 0; i < array.size0; ++i) {
      const Str* s = ArrayStringAt(array, i);
      out.emplace_back(s->data, s->length);
    }
    return out;
  }
  int32_t Run(const char* text, const char* delimiters, bool dropEmpty) {
    Str t, d;
    StrFromCString(t, text);
    StrFromCString(d, delimiters);
    const int32_t n = SplitString(t, array, d, dropEmpty);
    StrRelease(t);
    StrRelease(d);
    return n;
  }
  DimArray array{};
};

TEST_F(Split, PiecesBetweenDelimiters) {
  struct Case {
    const char* text;
    const char* delimiters;
    bool dropEmpty;
    std::vector<std::string> pieces;
  };
  const Case cases[] = {
      {"a,b,,c,", ",", false, {"a", "b", "", "c"}},
      {"a,b,,c,", ",", true, {"a", "b", "c"}},
      {",a", ",", false, {"", "a"}},
      {",,a", ",", true, {"a"}},
      {"", ",", false, {}},
      {"a b", "", false, {"a b"}},
      {"x; y;z", "; ", true, {"x", "y", "z"}},
      {"x; y", "; ", false, {"x", "", "y"}},
      {",,,", ",", true, {}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Run(c.text, c.delimiters, c.dropEmpty), int32_t(c.pieces.size())) << c.text;
    EXPECT_EQ(Elements(), c.pieces) << c.text;
  }
}

TEST_F(Split, RefillingKeepsTheBlockAndItsBuffers) {
  Run("first piece,second piece,third piece", ",", false);
  const void* block = array.data;
  EXPECT_EQ(Run("b", ",", false), 1);
  EXPECT_EQ(array.data, block);
  EXPECT_EQ(Elements(), std::vector<std::string>{"b"});
  EXPECT_EQ(Run("", ",", false), 0);
  EXPECT_EQ(array.count, 0);
}

TEST_F(Split, TextAndDelimitersMayBeElementsOfTheArray) {
  Run("a-b-c|-", "|", false);
  EXPECT_EQ(SplitString(*ArrayStringAt(array, 0), array, *ArrayStringAt(array, 1), false), 3);
  EXPECT_EQ(Elements(), (std::vector<std::string>{"a", "b", "c"}));

  std::string many;
  for (int i = 0; i < 100; ++i) many += "piece" + std::to_string(i) + ",";
  Run(("," + many).c_str(), "|", false);
  EXPECT_EQ(SplitString(*ArrayStringAt(array, 0), array, *ArrayStringAt(array, 0), true), 0);
  Run((many + "|,").c_str(), "|", false);
  EXPECT_EQ(SplitString(*ArrayStringAt(array, 0), array, *ArrayStringAt(array, 1), false), 100);
  EXPECT_EQ(Elements().back(), "piece99");
}

}  // namespace
