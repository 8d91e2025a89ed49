// Throughput of the compression buffer's packers and unpackers on 1 MiB of text-like data, and
// the cost of one archive lookup (trailer, a walk over 1000 directory entries, one entry
// unpacked) with the archive in memory and on disk.
#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <vector>

#include "platform/files.h"
#include "system/compression_buffer.h"
#include "system/memory_blocks.h"
#include "system/pack_archive.h"
#include "tests/support/pack_archive_builder.h"

namespace {

std::vector<uint8_t> TextLike(size_t n) {
  static const char* const kWords[] = {"tile ", "cube ", "voxel ", "layer\r\n", "0123 ", "model "};
  std::mt19937 rng(42);
  std::vector<uint8_t> b;
  while (b.size() < n) {
    const char* w = kWords[rng() % 6];
    b.insert(b.end(), w, w + std::char_traits<char>::length(w));
  }
  b.resize(n);
  return b;
}

const std::vector<uint8_t>& Input() {
  static const std::vector<uint8_t> input = TextLike(1 << 20);
  return input;
}

void Pack(benchmark::State& state, uint32_t mode) {
  auto buffer = MakeCompressBuffer();
  buffer->mode = mode;
  for (auto _ : state)
    benchmark::DoNotOptimize(CompressBufferPack(*buffer, Input().data(), Input().size()));
  state.SetBytesProcessed(state.iterations() * int64_t(Input().size()));
  state.counters["ratio"] = double(buffer->output.size()) / double(Input().size());
}

void Unpack(benchmark::State& state, uint32_t mode) {
  auto buffer = MakeCompressBuffer();
  buffer->mode = mode;
  CompressBufferPack(*buffer, Input().data(), Input().size());
  std::vector<uint8_t> packed = buffer->output;
  for (auto _ : state)
    benchmark::DoNotOptimize(CompressBufferUnpack(*buffer, packed.data(), packed.size()));
  state.SetBytesProcessed(state.iterations() * int64_t(Input().size()));
}

void BM_LzssPack(benchmark::State& state) {
  Pack(state, kCompressModeLzss);
}
void BM_LzssUnpack(benchmark::State& state) {
  Unpack(state, kCompressModeLzss);
}
void BM_LzoPack(benchmark::State& state) {
  Pack(state, kCompressModeLzo1x);
}
void BM_LzoUnpack(benchmark::State& state) {
  Unpack(state, kCompressModeLzo1x);
}
BENCHMARK(BM_LzssPack)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LzssUnpack)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LzoPack)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LzoUnpack)->Unit(benchmark::kMillisecond);

// 1000 entries of 4 KiB; the last entry is looked up each time.
std::vector<uint8_t> BenchArchive() {
  std::vector<archive_builder::Entry> entries;
  for (int i = 0; i < 1000; ++i)
    entries.push_back({"entry" + std::to_string(i) + ".png", TextLike(4096)});
  return archive_builder::BuildArchive(entries, true);
}

void BM_ResolveFromMemoryArchive(benchmark::State& state) {
  std::vector<uint8_t> image = BenchArchive();
  uint32_t size = uint32_t(image.size());
  uint32_t token = RegisterMemoryBlock(std::move(image));
  PackArchiveSetName(MemoryArchive, FormatMemoryFileName(size, token));
  std::string out;
  for (auto _ : state)
    benchmark::DoNotOptimize(ResolveFileName(MemoryArchive, "ENTRY999.PNG", out, true));
  PackArchiveSetName(MemoryArchive, "");
  ReleaseMemoryBlock(token);
}
BENCHMARK(BM_ResolveFromMemoryArchive)->Unit(benchmark::kMicrosecond);

void BM_ResolveFromDiskArchive(benchmark::State& state) {
  std::string path = platform::TempFolder() + "qrn-bench-archive.qzx";
  std::vector<uint8_t> image = BenchArchive();
  int fd = platform::ReplaceForWrite(path);
  platform::WriteFull(fd, image.data(), image.size());
  platform::CloseDescriptor(fd);
  PackArchiveSetName(MemoryArchive, path);
  std::string out;
  for (auto _ : state)
    benchmark::DoNotOptimize(ResolveFileName(MemoryArchive, "ENTRY999.PNG", out, true));
  PackArchiveSetName(MemoryArchive, "");
  platform::RemoveFileOrFolder(path);
}
BENCHMARK(BM_ResolveFromDiskArchive)->Unit(benchmark::kMicrosecond);

}  // namespace
