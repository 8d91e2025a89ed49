// Throughput of the block cipher and the string cipher, and the cost of a key schedule, which
// every StrEncrypt and StrDecrypt call pays once.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "core/str.h"
#include "system/blowfish.h"
#include "system/str_cipher.h"

namespace {

Str MakeStr(const std::string& text) {
  Str s;
  StrFromCString(s, text.c_str());
  return s;
}

}  // namespace

static void BM_BlowfishSetKey(benchmark::State& state) {
  const uint8_t key[16] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
  Blowfish bf;
  BlowfishConstruct(bf);
  for (auto _ : state) {
    BlowfishSetKey(bf, key, sizeof key);
    benchmark::DoNotOptimize(bf.S[3][255]);
  }
  BlowfishDestruct(bf);
}
BENCHMARK(BM_BlowfishSetKey);

static void BM_BlowfishEncodeInPlace(benchmark::State& state) {
  const uint8_t key[8] = {0xFE, 0xDC, 0xBA, 0x98, 0x76, 0x54, 0x32, 0x10};
  Blowfish bf;
  BlowfishConstruct(bf);
  BlowfishSetKey(bf, key, sizeof key);
  std::vector<uint8_t> buffer(size_t(state.range(0)), 0x5A);
  for (auto _ : state) {
    BlowfishEncode(bf, buffer.data(), buffer.data(), uint32_t(buffer.size()));
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * state.range(0));
  BlowfishDestruct(bf);
}
BENCHMARK(BM_BlowfishEncodeInPlace)->Arg(64)->Arg(65536);

static void BM_StrEncryptDecrypt(benchmark::State& state) {
  Str key = MakeStr("benchmark key");
  Str text = MakeStr(std::string(size_t(state.range(0)), 'q'));
  for (auto _ : state) {
    Str digits = StrEncrypt(key, text);
    Str plain = StrDecrypt(key, digits);
    benchmark::DoNotOptimize(plain.data);
    StrRelease(plain);
    StrRelease(digits);
  }
  state.SetBytesProcessed(state.iterations() * state.range(0));
  StrRelease(text);
  StrRelease(key);
}
BENCHMARK(BM_StrEncryptDecrypt)->Arg(32)->Arg(65536);
