// Search and replacement on long texts, against std::string doing the same work.
#include <benchmark/benchmark.h>

#include <random>
#include <string>

#include "bench/side_by_side.h"
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

// A megabyte of 40-byte lines.
std::string Lines() {
  std::string text;
  while (text.size() < (1u << 20)) text += "a line of text, with some words on it.\n";
  return text;
}

void BM_FindAllOneChar(benchmark::State& state) {
  const std::string reference = Lines();
  const StrValue text(reference.c_str());
  bench::SideBySide(
      state,
      [&] {
        int32_t hits = 0;
        for (int32_t p = StrFind(text, "\n"); p >= 0; p = StrFind(text, "\n", p + 1)) ++hits;
        benchmark::DoNotOptimize(hits);
      },
      [&] {
        int32_t hits = 0;
        for (size_t p = reference.find('\n'); p != std::string::npos;
             p = reference.find('\n', p + 1))
          ++hits;
        benchmark::DoNotOptimize(hits);
      });
}
BENCHMARK(BM_FindAllOneChar)->Unit(benchmark::kMillisecond);

void BM_ReplaceLineEnds(benchmark::State& state) {
  const std::string reference = Lines();
  const StrValue text(reference.c_str()), search("\n"), replacement("\r\n");
  bench::SideBySide(
      state,
      [&] {
        Str result;
        StrReplace(result, text, search, replacement);
        benchmark::DoNotOptimize(result.data);
        StrRelease(result);
      },
      [&] {
        std::string out;
        out.reserve(reference.size());
        size_t from = 0;
        for (size_t p = reference.find('\n'); p != std::string::npos;
             p = reference.find('\n', from)) {
          out.append(reference, from, p - from).append("\r\n");
          from = p + 1;
        }
        out.append(reference, from);
        benchmark::DoNotOptimize(out.data());
      });
}
BENCHMARK(BM_ReplaceLineEnds)->Unit(benchmark::kMillisecond);

void BM_FindReverseLastMatch(benchmark::State& state) {
  const std::string reference = Lines();
  const StrValue text(reference.c_str());
  bench::SideBySide(
      state, [&] { benchmark::DoNotOptimize(StrFindReverse(text, "some")); },
      [&] { benchmark::DoNotOptimize(reference.rfind("some")); });
}
BENCHMARK(BM_FindReverseLastMatch)->Unit(benchmark::kMicrosecond);

// Every line start from the end back to the front, one reverse search per line.
void BM_RightToLeftWalk(benchmark::State& state) {
  const std::string reference = Lines().substr(0, size_t(state.range(0)));
  const StrValue text(reference.c_str());
  bench::SideBySide(
      state,
      [&] {
        int32_t hits = 0;
        for (int32_t p = StrFindReverse(text, "\n"); p > 0; p = StrFindReverse(text, "\n", p - 1))
          ++hits;
        benchmark::DoNotOptimize(hits);
      },
      [&] {
        int32_t hits = 0;
        for (size_t p = reference.rfind('\n'); p != std::string::npos && p > 0;
             p = reference.rfind('\n', p - 1))
          ++hits;
        benchmark::DoNotOptimize(hits);
      });
}
BENCHMARK(BM_RightToLeftWalk)->Arg(64 << 10)->Unit(benchmark::kMillisecond);

}  // namespace
