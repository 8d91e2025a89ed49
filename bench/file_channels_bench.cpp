// A writer of millions of one-byte values (the tool's VOX and OBJ files) through a file channel,
// against a plain buffered fwrite loop in the same run; the target is within 2x of the loop.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "core/str_value.h"
#include "platform/files.h"
#include "system/file_commands.h"

namespace {

constexpr int64_t kValues = 10'000'000;

std::string BenchFile() {
  return platform::TempFolder() + "qrn-channel-bench.bin";
}

void BM_FwriteOneByteValues(benchmark::State& state) {
  const std::string name = BenchFile();
  for (auto _ : state) {
    std::FILE* file = std::fopen(name.c_str(), "wb");
    for (int64_t i = 0; i < kValues; ++i) {
      const unsigned char byte = static_cast<unsigned char>(i);
      std::fwrite(&byte, 1, 1, file);
    }
    std::fclose(file);
  }
  std::filesystem::remove(name);
  state.SetItemsProcessed(state.iterations() * kValues);
}
BENCHMARK(BM_FwriteOneByteValues)->Unit(benchmark::kMillisecond);

// As the VOX writer does it: a one-byte string per value.
void BM_ChannelWriteStringOneByte(benchmark::State& state) {
  const StrValue name(BenchFile().c_str());
  StrValue one("x");
  for (auto _ : state) {
    OpenFile(1, name, 0);
    for (int64_t i = 0; i < kValues; ++i) {
      one.str().data[0] = char(i);
      WriteString(1, one);
    }
    CloseFile(1);
  }
  std::filesystem::remove(name.c_str());
  state.SetItemsProcessed(state.iterations() * kValues);
}
BENCHMARK(BM_ChannelWriteStringOneByte)->Unit(benchmark::kMillisecond);

void BM_ChannelWriteUInt8(benchmark::State& state) {
  const StrValue name(BenchFile().c_str());
  for (auto _ : state) {
    OpenFile(1, name, 0);
    for (int64_t i = 0; i < kValues; ++i) WriteUInt8(1, int32_t(i));
    CloseFile(1);
  }
  std::filesystem::remove(name.c_str());
  state.SetItemsProcessed(state.iterations() * kValues);
}
BENCHMARK(BM_ChannelWriteUInt8)->Unit(benchmark::kMillisecond);

}  // namespace
