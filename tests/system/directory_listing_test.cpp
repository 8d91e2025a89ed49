// The folder listing and the string-array sort it uses: the order of ties must be the one the
// runtime's partition steps give, on any input, without deep recursion.
#include "system/directory_listing.h"

#include <gtest/gtest.h>
#include <pthread.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "core/str_value.h"
#include "system/name_match.h"
#include "system/string_array_sort.h"
#include "tests/support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

std::vector<std::string> Listed(DimArray& out, int32_t count) {
  std::vector<std::string> names;
  for (int32_t i = 0; i < count; ++i) names.push_back(ArrayStringAt(out, i)->data);
  return names;
}

std::vector<std::string> Sorted(std::vector<std::string> names, StrCompareFunction compare) {
  std::vector<StrValue> values;
  for (const std::string& name : names) values.emplace_back(name.c_str());
  std::vector<Str> records;
  for (StrValue& v : values) records.push_back(v.str());
  StringArraySort(records.data(), records.data() + records.size() - 1, compare);
  std::vector<std::string> result;
  for (const Str& r : records) result.push_back(r.data);
  return result;  // the records share the StrValues' texts, which release them
}

// The partition exactly as written: recursion on both parts, no shortcuts.
int32_t ReferenceCompare(const std::string& a, const std::string& b, StrCompareFunction compare) {
  if (!compare) return std::strcmp(a.c_str(), b.c_str());
  const StrValue left(a.c_str()), right(b.c_str());
  return CompareCallTrunc(&left.str(), &right.str(), compare);
}

void ReferenceSort(std::vector<std::string>& v, int first, int last, StrCompareFunction compare) {
  const std::string pivot = v[size_t(last)];
  int i = first, j = last;
  while (i <= j) {
    while (ReferenceCompare(v[size_t(i)], pivot, compare) < 0) ++i;
    while (ReferenceCompare(v[size_t(j)], pivot, compare) > 0) --j;
    if (i <= j) std::swap(v[size_t(i++)], v[size_t(j--)]);
  }
  if (first < j) ReferenceSort(v, first, j, compare);
  if (i < last) ReferenceSort(v, i, last, compare);
}

double ByLength(const Str* a, const Str* b) {
  return (double(a->length) - double(b->length)) * 0.75;  // a difference of 1 counts as equal
}

std::vector<std::string> RandomNames(std::mt19937& random, int count) {
  const char* stems[] = {"a", "A", "b", "B", "ab", "aB", "Ab", "_a", "a.txt", "A.txt", "z"};
  std::vector<std::string> names;
  for (int k = 0; k < count; ++k) {
    names.push_back(std::string(stems[random() % std::size(stems)]) +
                    (random() % 3 == 0 ? "" : std::string(1, char('a' + random() % 3))));
  }
  return names;
}

}  // namespace

TEST(DirectoryListing, FoldersFirstThenMatchingFilesEachWithoutRegardToCase) {
  TempDir tmp;
  for (const char* file : {"a.txt", "B.txt", "c.PNG"}) TempDir::WriteBytes(tmp.Child(file), "");
  fs::create_directory(tmp.Child("Data"));
  fs::create_directory_symlink(tmp.Child("Data"), tmp.Child("link"));
  const fs::path previous = fs::current_path();
  fs::current_path(tmp.path);
  DimArray out{};
  EXPECT_EQ(Listed(out, ListDirectory(StrValue("*.txt"), out)),
            (std::vector<std::string>{".", "..", "Data", "link", "a.txt", "B.txt"}));
  const int32_t pngs = ListDirectory(StrValue("*.png"), out);  // the same array, now shorter
  fs::current_path(previous);
  EXPECT_EQ(ArrayDimSize(out, 0), pngs);
  EXPECT_EQ(Listed(out, pngs).back(), "c.PNG");
  ArrayReleaseString(out);
}

TEST(DirectoryListing, AFolderThatCannotBeReadListsNothing) {
  const fs::path previous = fs::current_path();
  {
    TempDir tmp;
    fs::current_path(tmp.path);
  }
  DimArray out{};
  EXPECT_EQ(ListDirectory(StrValue("*.*"), out), 0);
  fs::current_path(previous);
  EXPECT_EQ(ArrayDimSize(out, 0), 0);
  ArrayReleaseString(out);
}

TEST(StringArraySort, TiesLandWhereThePartitionStepsPutThem) {
  std::mt19937 random(7);
  const StrCompareFunction orders[] = {nullptr, CompareNoCase, ByLength};
  for (int round = 0; round < 200; ++round) {
    const std::vector<std::string> names = RandomNames(random, 1 + round % 60);
    for (StrCompareFunction order : orders) {
      std::vector<std::string> expected = names;
      ReferenceSort(expected, 0, int(expected.size()) - 1, order);
      ASSERT_EQ(Sorted(names, order), expected) << "round " << round;
    }
  }
}

TEST(StringArraySort, AComparisonThatContradictsItselfStaysInsideTheRange) {
  std::vector<std::string> names(50, "x");
  const auto always = [](const Str*, const Str*) { return -1.0; };
  EXPECT_EQ(Sorted(names, always).size(), 50u);
  const auto never = [](const Str*, const Str*) { return 1.0; };
  EXPECT_EQ(Sorted(names, never).size(), 50u);
}

namespace {

struct LongSort {
  std::vector<std::string> names;
  StrCompareFunction order;
  std::vector<std::string> result;
};

void* RunLongSort(void* argument) {
  auto* job = static_cast<LongSort*>(argument);
  job->result = Sorted(job->names, job->order);
  return nullptr;
}

// Runs the sort on a thread whose stack holds far fewer frames than there are names.
std::vector<std::string> SortOnSmallStack(const std::vector<std::string>& names,
                                          StrCompareFunction order) {
  LongSort job{names, order, {}};
  pthread_attr_t attributes;
  pthread_attr_init(&attributes);
  pthread_attr_setstacksize(&attributes, 256 * 1024);
  pthread_t thread;
  EXPECT_EQ(pthread_create(&thread, &attributes, RunLongSort, &job), 0);
  pthread_join(thread, nullptr);
  pthread_attr_destroy(&attributes);
  return job.result;
}

double NoCaseThroughTheProgram(const Str* a, const Str* b) {
  return CompareNoCase(a, b);
}

}  // namespace

TEST(StringArraySort, LongSortedAndReversedRangesNeedLittleStack) {
  std::vector<std::string> names;
  for (int k = 0; k < 10000; ++k) {
    char name[16];
    std::snprintf(name, sizeof name, "name%05d", k);
    names.push_back(name);
  }
  std::vector<std::string> reversed(names.rbegin(), names.rend());
  for (StrCompareFunction order : {StrCompareFunction(nullptr), NoCaseThroughTheProgram}) {
    EXPECT_EQ(SortOnSmallStack(names, order), names);
    EXPECT_EQ(SortOnSmallStack(reversed, order), names);
  }
}
