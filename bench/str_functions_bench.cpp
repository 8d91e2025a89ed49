// Linear cost of the escaping functions on long text: each reserves its result once instead of
// growing it per appended character.
#include <benchmark/benchmark.h>

#include <string>

#include "core/str_functions.h"

static void BM_UrlEscapeUnescape(benchmark::State& state) {
  std::string text;
  for (int64_t i = 0; i < state.range(0); ++i) text += char(i * 7);
  Str s;
  StrInitEmpty(s);
  StrReserve(s, uint32_t(text.size()), false);
  text.copy(s.data, text.size());
  s.data[text.size()] = 0;
  s.length = uint32_t(text.size());
  for (auto _ : state) {
    Str escaped = UrlEscape(s);
    Str back = UrlUnescape(escaped);
    benchmark::DoNotOptimize(back.data);
    StrRelease(back);
    StrRelease(escaped);
  }
  state.SetBytesProcessed(state.iterations() * state.range(0));
  StrRelease(s);
}
BENCHMARK(BM_UrlEscapeUnescape)->Arg(64)->Arg(1 << 20);
