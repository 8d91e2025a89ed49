// Strings built by appends and by chains of +, against std::string doing the same work.
#include <benchmark/benchmark.h>

#include <string>

#include "bench/side_by_side.h"
#include "core/str.h"
#include "core/str_value.h"

namespace {

void BM_AppendChar(benchmark::State& state) {
  const int64_t count = state.range(0);
  bench::SideBySide(
      state,
      [&] {
        Str s;
        StrInitEmpty(s);
        for (int64_t i = 0; i < count; ++i) StrAppendChar(s, 'x');
        benchmark::DoNotOptimize(s.data);
        StrRelease(s);
      },
      [&] {
        std::string s;
        for (int64_t i = 0; i < count; ++i) s.push_back('x');
        benchmark::DoNotOptimize(s.data());
      });
}
BENCHMARK(BM_AppendChar)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

void BM_StrValueAppendOperator(benchmark::State& state) {
  const int64_t count = state.range(0);
  bench::SideBySide(
      state,
      [&] {
        StrValue s;
        for (int64_t i = 0; i < count; ++i) s += "x";
        benchmark::DoNotOptimize(s.c_str());
      },
      [&] {
        std::string s;
        for (int64_t i = 0; i < count; ++i) s += "x";
        benchmark::DoNotOptimize(s.data());
      });
}
BENCHMARK(BM_StrValueAppendOperator)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

void BM_AppendSixteenBytes(benchmark::State& state) {
  const int64_t count = state.range(0);
  const StrValue piece("0123456789abcdef");
  const std::string reference(piece.c_str());
  bench::SideBySide(
      state,
      [&] {
        Str s;
        StrInitEmpty(s);
        for (int64_t i = 0; i < count; ++i) StrAppend(s, piece);
        benchmark::DoNotOptimize(s.data);
        StrRelease(s);
      },
      [&] {
        std::string s;
        for (int64_t i = 0; i < count; ++i) s.append(reference);
        benchmark::DoNotOptimize(s.data());
      });
}
BENCHMARK(BM_AppendSixteenBytes)->Arg(100'000)->Unit(benchmark::kMillisecond);

// OBJ-like lines of eleven pieces, each line one chain of +.
void BM_LinesByPlusChains(benchmark::State& state) {
  const int64_t count = state.range(0);
  const StrValue x("1.5"), y("-2"), z("0.25");
  const std::string rx(x.c_str()), ry(y.c_str()), rz(z.c_str());
  bench::SideBySide(
      state,
      [&] {
        for (int64_t i = 0; i < count; ++i) {
          StrValue line = StrValue("v ") + x + " " + y + " " + z + " " + x + " " + y + "\r\n";
          benchmark::DoNotOptimize(line.c_str());
        }
      },
      [&] {
        for (int64_t i = 0; i < count; ++i) {
          std::string line = std::string("v ") + rx + " " + ry + " " + rz + " " + rx + " " + ry +
                             "\r\n";
          benchmark::DoNotOptimize(line.data());
        }
      });
}
BENCHMARK(BM_LinesByPlusChains)->Arg(300'000)->Unit(benchmark::kMillisecond);

}  // namespace
