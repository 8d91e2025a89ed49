// The whole tile2cubes program, run headless as a subprocess on a seeded strip of 64 tiles of
// 64 x 64 pixels in about 200 colours, with and without merged faces; the viewer is left after
// its first frame. Reports the faces written, and the program's peak resident set.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "tests/support/tool_program.h"

namespace {

constexpr int kTile = 64;
constexpr int kLayers = 64;
constexpr int kColours = 200;

// A rough ball with scattered holes, coloured in 4-voxel patches from a seeded palette, so
// merging finds runs to join as a drawn model would give it.
std::vector<Rgb> GeneratedStrip() {
  std::mt19937 random(64);
  std::vector<Rgb> palette(kColours);
  for (Rgb& c : palette) c = {uint8_t(32 + random() % 224), uint8_t(random()), uint8_t(random())};
  std::vector<Rgb> pixels(size_t(kTile) * kLayers * kTile, Rgb{0, 0, 0});
  std::uniform_real_distribution<double> jitter(-3.0, 3.0);
  std::bernoulli_distribution hole(0.08);
  for (int z = 0; z < kLayers; ++z) {
    for (int y = 0; y < kTile; ++y) {
      for (int x = 0; x < kTile; ++x) {
        const double dx = x - 31.5, dy = y - 31.5, dz = z - 31.5;
        if (dx * dx + dy * dy + dz * dz > (29 + jitter(random)) * (29 + jitter(random))) continue;
        if (hole(random)) continue;
        const int patch = (x / 4 + 16 * (y / 4) + 256 * (z / 4)) % kColours;
        pixels[size_t(y) * kTile * kLayers + size_t(z) * kTile + size_t(x)] = palette[patch];
      }
    }
  }
  return pixels;
}

size_t CountFaces(const std::string& obj) {
  size_t faces = 0;
  for (size_t at = obj.find("\nf "); at != std::string::npos; at = obj.find("\nf ", at + 1)) {
    ++faces;
  }
  return faces;
}

void WholeToolOnGeneratedStrip(benchmark::State& state) {
  const std::string reduce = std::to_string(state.range(0));
  const std::vector<Rgb> strip = GeneratedStrip();
  const std::vector<std::string> script{
      "text",   "text strip.png", "text bench", "text 0", "text 0", "text 64", "text 64",
      "text 64", "text 0",        "text",       "text",   "text " + reduce,
      "wait-file bench.mtl", "key 1 down"};
  for (auto _ : state) {
    state.PauseTiming();
    ToolFolder tool;
    if (!WriteRgbPng(tool.folder.Child("strip.png"), kTile * kLayers, kTile, strip)) {
      state.SkipWithError("strip not written");
      return;
    }
    state.ResumeTiming();
    const ProgramRun run = tool.Run(script, 3600);
    state.PauseTiming();
    if (run.status != 0) {
      state.SkipWithError(("tile2cubes failed: " + run.err).c_str());
      return;
    }
    state.counters["faces"] = double(CountFaces(tool.Output("bench.obj")));
    state.counters["peak_rss_MB"] = double(run.peakRssKb) / 1024.0;
    state.ResumeTiming();
  }
}
BENCHMARK(WholeToolOnGeneratedStrip)
    ->ArgName("reduce")
    ->Arg(0)
    ->Arg(1)
    ->Iterations(1)
    ->UseRealTime()
    ->Unit(benchmark::kSecond);

}  // namespace
