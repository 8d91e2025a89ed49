// The string-array sort on folder-sized lists: random names, names already in order (the
// listing's common case) and names in reverse order (the sort's slow case).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "core/str.h"
#include "system/name_match.h"
#include "system/string_array_sort.h"

namespace {

enum class Input { Random, Sorted, Reversed };

std::vector<std::string> Names(int count, Input input) {
  std::vector<std::string> names;
  std::mt19937 random(1);
  for (int k = 0; k < count; ++k) {
    char name[24];
    std::snprintf(name, sizeof name, "File%07d.txt", input == Input::Random ? int(random()) : k);
    names.push_back(name);
  }
  if (input == Input::Reversed) std::reverse(names.begin(), names.end());
  return names;
}

void SortNames(benchmark::State& state, Input input) {
  const std::vector<std::string> names = Names(int(state.range(0)), input);
  std::vector<Str> records(names.size());
  for (auto _ : state) {
    state.PauseTiming();
    for (size_t k = 0; k < names.size(); ++k) StrFromCString(records[k], names[k].c_str());
    state.ResumeTiming();
    StringArraySort(&records.front(), &records.back(), CompareNoCase);
    state.PauseTiming();
    for (Str& r : records) StrRelease(r);
    state.ResumeTiming();
  }
}

void SortRandom(benchmark::State& state) {
  SortNames(state, Input::Random);
}
void SortSorted(benchmark::State& state) {
  SortNames(state, Input::Sorted);
}
void SortReversed(benchmark::State& state) {
  SortNames(state, Input::Reversed);
}

BENCHMARK(SortRandom)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);
BENCHMARK(SortSorted)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);
BENCHMARK(SortReversed)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);

}  // namespace
