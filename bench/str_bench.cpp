// Cost of the string's 16-byte growth rule against std::string doing the same appends.
#include <benchmark/benchmark.h>

#include <string>

#include "core/str.h"

static void BM_StrAppendChar(benchmark::State& state) {
  for (auto _ : state) {
    Str s;
    StrInitEmpty(s);
    for (int64_t i = 0; i < state.range(0); ++i) StrAppendChar(s, 'x');
    benchmark::DoNotOptimize(s.data);
    StrRelease(s);
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_StrAppendChar)->Arg(64)->Arg(4096)->Arg(65536);

static void BM_StdStringAppendChar(benchmark::State& state) {
  for (auto _ : state) {
    std::string s;
    for (int64_t i = 0; i < state.range(0); ++i) s.push_back('x');
    benchmark::DoNotOptimize(s.data());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_StdStringAppendChar)->Arg(64)->Arg(4096)->Arg(65536);

static void BM_StrAppendCString(benchmark::State& state) {
  for (auto _ : state) {
    Str s;
    StrInitEmpty(s);
    for (int64_t i = 0; i < state.range(0); ++i) StrAppendCString(s, "v 1 2 3\r\n");
    benchmark::DoNotOptimize(s.data);
    StrRelease(s);
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_StrAppendCString)->Arg(64)->Arg(4096);

static void BM_StdStringAppendCString(benchmark::State& state) {
  for (auto _ : state) {
    std::string s;
    for (int64_t i = 0; i < state.range(0); ++i) s.append("v 1 2 3\r\n");
    benchmark::DoNotOptimize(s.data());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_StdStringAppendCString)->Arg(64)->Arg(4096);
