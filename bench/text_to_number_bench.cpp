// The hand-written number parser against the C library's.
#include <benchmark/benchmark.h>

#include <cstdlib>

#include "core/text_to_number.h"

namespace {

const char* const kTexts[] = {"0.5", "  -123.456e-7", "3.141592653589793", "42", "1e300x"};

void BM_CStrToNumber(benchmark::State& state) {
  for (auto _ : state) {
    for (const char* text : kTexts) benchmark::DoNotOptimize(CStrToNumber(text));
  }
  state.SetItemsProcessed(state.iterations() * int64_t(std::size(kTexts)));
}
BENCHMARK(BM_CStrToNumber);

void BM_Strtod(benchmark::State& state) {
  for (auto _ : state) {
    for (const char* text : kTexts) benchmark::DoNotOptimize(std::strtod(text, nullptr));
  }
  state.SetItemsProcessed(state.iterations() * int64_t(std::size(kTexts)));
}
BENCHMARK(BM_Strtod);

}  // namespace
