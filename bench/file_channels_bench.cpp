// A writer of millions of one-byte values (the tool's VOX and OBJ files) through a file channel,
// against a plain buffered fwrite loop in the same run; the target is within 2x of the loop.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "bench/side_by_side.h"
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

// A file of 40-byte lines, written once per benchmark.
std::string LinesFile(int64_t bytes) {
  const std::string name = platform::TempFolder() + "qrn-channel-lines.txt";
  const std::string line = std::string(39, 't') + "\n";
  std::FILE* file = std::fopen(name.c_str(), "wb");
  for (int64_t written = 0; written < bytes; written += 40) std::fputs(line.c_str(), file);
  std::fclose(file);
  return name;
}

void BM_ReadLinesAgainstGetline(benchmark::State& state) {
  const std::string name = LinesFile(state.range(0));
  const StrValue channelName(name.c_str());
  bench::SideBySide(
      state,
      [&] {
        OpenFile(1, channelName, 1);
        StrValue line;
        while (!ChannelAtEnd(1)) ReadLine(1, line.str());
        CloseFile(1);
      },
      [&] {
        std::FILE* file = std::fopen(name.c_str(), "rb");
        char* line = nullptr;
        size_t room = 0;
        while (getline(&line, &room, file) > 0) benchmark::DoNotOptimize(line);
        std::free(line);
        std::fclose(file);
      });
  std::filesystem::remove(name);
}
BENCHMARK(BM_ReadLinesAgainstGetline)->Arg(100 << 20)->Unit(benchmark::kMillisecond);

// Reads of `range` bytes each through ReadString (16) or ReadUInt8 (1), against fread.
void BM_ReadValuesAgainstFread(benchmark::State& state) {
  const int32_t width = int32_t(state.range(0));
  const int64_t reads = state.range(1);
  const std::string name = LinesFile(width * reads);
  const StrValue channelName(name.c_str());
  bench::SideBySide(
      state,
      [&] {
        OpenFile(1, channelName, 1);
        StrValue text;
        int32_t byte = 0;
        for (int64_t i = 0; i < reads; ++i) {
          if (width == 1) ReadUInt8(1, byte);
          else ReadString(1, text.str(), width);
        }
        benchmark::DoNotOptimize(byte);
        CloseFile(1);
      },
      [&] {
        std::FILE* file = std::fopen(name.c_str(), "rb");
        char bytes[16];
        for (int64_t i = 0; i < reads; ++i) benchmark::DoNotOptimize(std::fread(bytes, 1, width, file));
        std::fclose(file);
      });
  std::filesystem::remove(name);
}
BENCHMARK(BM_ReadValuesAgainstFread)
    ->Args({1, 4'000'000})
    ->Args({16, 1'000'000})
    ->Unit(benchmark::kMillisecond);

}  // namespace
