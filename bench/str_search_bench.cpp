// Search and replacement on long texts, against std::string doing the same work.
#include <benchmark/benchmark.h>

#include <random>
#include <string>

#include "core/str_search.h"
#include "core/str_value.h"

namespace {

// Lower-case letters with the needle only at the very end, so the whole text is scanned.
std::string Haystack(size_t length, const std::string& needle) {
  std::mt19937 rng(1);
  std::string text(length, ' ');
  for (char& c : text) c = char('a' + rng() % 26);
  return text + needle;
}

std::string Needle(int64_t length) { return std::string(size_t(length - 1), 'q') + "z"; }

void BM_StrFindCore(benchmark::State& state) {
  const std::string needle = Needle(state.range(0));
  const std::string text = Haystack(1 << 20, needle);
  for (auto _ : state) {
    benchmark::DoNotOptimize(StrFindCore(text.data(), uint32_t(text.size()), needle.data(),
                                         uint32_t(needle.size())));
  }
  state.SetBytesProcessed(state.iterations() * int64_t(text.size()));
}
BENCHMARK(BM_StrFindCore)->Arg(4)->Arg(16)->Arg(64);

void BM_StdStringFind(benchmark::State& state) {
  const std::string needle = Needle(state.range(0));
  const std::string text = Haystack(1 << 20, needle);
  for (auto _ : state) benchmark::DoNotOptimize(text.find(needle));
  state.SetBytesProcessed(state.iterations() * int64_t(text.size()));
}
BENCHMARK(BM_StdStringFind)->Arg(4)->Arg(16)->Arg(64);

// Line ends of a text of `range` lines turned from "\r\n" into "\n": one match per line.
void BM_StrReplaceShrinking(benchmark::State& state) {
  std::string lines;
  for (int64_t i = 0; i < state.range(0); ++i) lines += "some line of text\r\n";
  const StrValue text(lines.c_str()), search("\r\n"), replacement("\n");
  for (auto _ : state) {
    Str result;
    StrReplace(result, text, search, replacement);
    benchmark::DoNotOptimize(result.data);
    StrRelease(result);
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_StrReplaceShrinking)->Arg(1000)->Arg(100000);

void BM_StrReplaceSameLength(benchmark::State& state) {
  std::string path;
  for (int64_t i = 0; i < state.range(0); ++i) path += "dir/";
  const StrValue text(path.c_str()), search("/"), replacement("\\");
  for (auto _ : state) {
    Str result;
    StrReplace(result, text, search, replacement);
    benchmark::DoNotOptimize(result.data);
    StrRelease(result);
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_StrReplaceSameLength)->Arg(16)->Arg(100000);

}  // namespace
