// The whole tile2cubes program, run headless as a subprocess on seeded strips: rough balls with
// scattered holes and solid boxes, in up to 250 colours; the viewer is left after its first
// frame. Reports the wall time and the program's processor time (the fairer figure on a shared
// machine), the faces written and the program's peak resident set, and the
// same for a reference build of the program when QRN_REFERENCE_TOOL names one (for instance the
// main branch built beside this one), with the ratio of the two times.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "tests/support/tool_program.h"

namespace {

constexpr int kColours = 200;
constexpr int kSolidColours = 250;

struct Strip {
  int tile, layers;
  bool solid;
};

// Tiles side by side; pixel (x, y) of layer z.
std::vector<Rgb> Pixels(const Strip& s) {
  return std::vector<Rgb>(size_t(s.tile) * size_t(s.layers) * size_t(s.tile), Rgb{0, 0, 0});
}
Rgb& At(std::vector<Rgb>& pixels, const Strip& s, int x, int y, int z) {
  return pixels[size_t(y) * size_t(s.tile) * size_t(s.layers) + size_t(z) * size_t(s.tile) +
                size_t(x)];
}

// A rough ball with scattered holes, coloured in 4-voxel patches from a seeded palette, so
// merging finds runs to join as a drawn model would give it.
std::vector<Rgb> Ball(const Strip& s) {
  std::mt19937 random(64);
  std::vector<Rgb> palette(kColours);
  for (Rgb& c : palette) c = {uint8_t(32 + random() % 224), uint8_t(random()), uint8_t(random())};
  std::vector<Rgb> pixels = Pixels(s);
  const double scale = s.tile / 64.0, centre = (s.tile - 1) / 2.0, zCentre = (s.layers - 1) / 2.0;
  std::uniform_real_distribution<double> jitter(-3.0 * scale, 3.0 * scale);
  std::bernoulli_distribution hole(0.08);
  const int patches = s.tile / 4;
  for (int z = 0; z < s.layers; ++z) {
    for (int y = 0; y < s.tile; ++y) {
      for (int x = 0; x < s.tile; ++x) {
        const double dx = x - centre, dy = y - centre, dz = (z - zCentre) * s.tile / s.layers;
        const double r1 = 29 * scale + jitter(random), r2 = 29 * scale + jitter(random);
        if (dx * dx + dy * dy + dz * dz > r1 * r2) continue;
        if (hole(random)) continue;
        const int patch = (x / 4 + patches * (y / 4) + patches * patches * (z / 4)) % kColours;
        At(pixels, s, x, y, z) = palette[size_t(patch)];
      }
    }
  }
  return pixels;
}

// Every pixel coloured, in 4 x 4 patches of 250 colours.
std::vector<Rgb> Solid(const Strip& s) {
  std::vector<Rgb> pixels = Pixels(s);
  for (int z = 0; z < s.layers; ++z) {
    for (int y = 0; y < s.tile; ++y) {
      for (int x = 0; x < s.tile; ++x) {
        const int c = (x / 4 + 7 * (y / 4) + 13 * z) % kSolidColours;
        At(pixels, s, x, y, z) = {uint8_t(40 + c), uint8_t(255 - c), uint8_t(c * 7)};
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

struct Timed {
  bool ok = false;
  double seconds = 0, cpuSeconds = 0, peakRssMb = 0;
  size_t faces = 0, voxBytes = 0;
  std::string error;
};

Timed RunTool(const std::string& program, const Strip& s, const std::vector<Rgb>& pixels,
              int reduce) {
  const std::string side = std::to_string(s.tile);
  const std::vector<std::string> script{
      "text",        "text strip.png", "text bench",  "text 0", "text 0", "text " + side,
      "text " + side, "text " + std::to_string(s.layers), "text 0", "text", "text",
      "text " + std::to_string(reduce), "wait-file bench.mtl", "key 1 down"};
  ToolFolder tool(program);
  Timed timed;
  if (!WriteRgbPng(tool.folder.Child("strip.png"), s.tile * s.layers, s.tile, pixels)) {
    timed.error = "strip not written";
    return timed;
  }
  const auto start = std::chrono::steady_clock::now();
  const ProgramRun run = tool.Run(script, 3600);
  timed.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  timed.peakRssMb = double(run.peakRssKb) / 1024.0;
  timed.cpuSeconds = run.cpuSeconds;
  const std::string obj = tool.Output("bench.obj");
  timed.ok = run.status == 0 && !obj.empty();
  timed.faces = CountFaces(obj);
  timed.voxBytes = tool.Output("bench.vox").size();
  if (!timed.ok) timed.error = "status " + std::to_string(run.status) + ": " + run.err;
  return timed;
}

void WholeTool(benchmark::State& state, Strip strip) {
  const int reduce = int(state.range(0));
  const std::vector<Rgb> pixels = strip.solid ? Solid(strip) : Ball(strip);
  const char* reference = std::getenv("QRN_REFERENCE_TOOL");
  for (auto _ : state) {
    const Timed project = RunTool(QRN_TOOL_PROGRAM, strip, pixels, reduce);
    if (!project.ok) {
      state.SkipWithError(("tile2cubes failed: " + project.error).c_str());
      return;
    }
    state.SetIterationTime(project.seconds);
    state.counters["faces"] = double(project.faces);
    state.counters["vox_bytes"] = double(project.voxBytes);
    state.counters["seconds"] = project.seconds;
    state.counters["cpu_seconds"] = project.cpuSeconds;
    state.counters["peak_rss_MB"] = project.peakRssMb;
    if (!reference || !*reference) continue;
    const Timed ref = RunTool(reference, strip, pixels, reduce);
    state.counters["ref_ok"] = ref.ok ? 1 : 0;
    if (!ref.ok) continue;
    state.counters["ref_seconds"] = ref.seconds;
    state.counters["ref_cpu_seconds"] = ref.cpuSeconds;
    state.counters["ref_peak_rss_MB"] = ref.peakRssMb;
    state.counters["time_ratio"] = project.seconds / ref.seconds;
  }
}

void Register(const char* name, Strip strip, std::vector<int64_t> reduces) {
  auto* b = benchmark::RegisterBenchmark(name, WholeTool, strip);
  for (int64_t reduce : reduces) b->Arg(reduce);
  b->ArgName("reduce")->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);
}

const bool kRegistered = [] {
  Register("Ball64", {64, 64, false}, {0, 1});
  Register("Ball128", {128, 128, false}, {1});
  Register("Solid254x254x64", {254, 64, true}, {1});
  Register("Ball254x254x64", {254, 64, false}, {1});
  Register("Solid254x254x254", {254, 254, true}, {1});
  return true;
}();

}  // namespace
