// The WAVE reader against well-formed, unusual and hostile images, from disk and from memory.
#include "frame/wave_file.h"

#include <gtest/gtest.h>

#include "tests/sound/wave_image.h"
#include "tests/support/memory_file.h"
#include "tests/support/peak_memory.h"
#include "tests/support/temp_dir.h"

using namespace wave_image;

namespace {

const std::string kFrames(64, '\x11');  // 16 frames of 16-bit stereo

struct WaveCase {
  const char* name;
  std::string image;
  bool loads;
  int bits = 16;
  int channels = 2;
  size_t dataBytes = 64;
};

// A whole image of the default 16-bit stereo format with one field changed.
std::string With(void (*change)(Format&), const std::string& extension = "") {
  Format f;
  change(f);
  return Riff(Chunk("fmt ", FormatFields(f) + extension) + Chunk("data", kFrames));
}

std::vector<WaveCase> Cases() {
  const std::string fmt = Chunk("fmt ", FormatFields({}));
  const std::string data = Chunk("data", kFrames);
  const auto extensible = [](Format& f) { f.tag = 0xFFFE; };
  return {
      {"other chunks around fmt", Riff(Chunk("JUNK", "abcd") + fmt + Chunk("fact", "1234") + data),
       true},
      {"fmt of 18 bytes", Riff(Chunk("fmt ", FormatFields({}) + Le16(0)) + data), true},
      {"extensible PCM", With(extensible, Extensible(16, 1)), true},
      {"8-bit mono", With([](Format& f) { f = {.channels = 1, .rate = 11025, .bits = 8}; }), true,
       8, 1},
      {"odd chunk with its pad byte", Riff(fmt + Chunk("LIST", "abc", true) + data), true},
      {"odd chunk without a pad byte", Riff(fmt + Chunk("LIST", "abc") + data), true},
      {"data not whole frames", Riff(fmt + Chunk("data", kFrames.substr(0, 7))), true, 16, 2, 7},
      {"not RIFF", "RIFX" + Riff(fmt + data).substr(4), false},
      {"not WAVE", Riff(fmt + data, "AVI "), false},
      {"short header", "RIFF", false},
      {"unknown format tag", With([](Format& f) { f.tag = 2; }), false},
      {"extensible non-PCM", With(extensible, Extensible(16, 3)), false},
      {"three channels", With([](Format& f) { f.channels = 3; }), false},
      {"block align off", With([](Format& f) { f.blockAlign = 2; }), false},
      {"rate too low", With([](Format& f) { f.rate = 99; }), false},
      {"fmt of 14 bytes", Riff(Chunk("fmt ", FormatFields({}).substr(0, 14)) + data), false},
      {"no data chunk", Riff(fmt + Chunk("LIST", "abcd")), false},
      {"no fmt chunk", Riff(data), false},
      {"chunk larger than the file", Riff(Chunk("JUNK", "ab", false, 0xFFFFFFF0u) + fmt + data),
       false},
  };
}

}  // namespace

TEST(WaveFile, ReadsWhatItChecksFromDiskAndMemory) {
  TempDir dir;
  for (const WaveCase& c : Cases()) {
    const std::string path = dir.Child("sound.wav");
    TempDir::WriteBytes(path, c.image);
    MemoryFile memory(c.image);
    for (const std::string& name : {path, memory.name}) {
      SCOPED_TRACE(std::string(c.name) + " from " + name);
      WaveSound sound;
      ASSERT_EQ(ReadWaveFile(name.c_str(), sound), c.loads);
      if (!c.loads) continue;
      EXPECT_EQ(sound.format.bits, c.bits);
      EXPECT_EQ(sound.format.channels, c.channels);
      EXPECT_EQ(sound.data.size(), c.dataBytes);
      EXPECT_EQ(std::string(sound.data.begin(), sound.data.end()), kFrames.substr(0, c.dataBytes));
    }
  }
}

// A declared size drives no allocation: on disk it must be there, from memory the bytes that
// are there are taken.
TEST(WaveFile, HugeDeclaredDataFailsOnDiskAndIsCutInMemory) {
  TempDir dir;
  for (const uint32_t declared : {0xFFFFFFFFu, 128u << 20}) {
    SCOPED_TRACE(declared);
    const std::string image =
        Riff(Chunk("fmt ", FormatFields({})) + "data" + Le32(declared)) + kFrames;
    const std::string path = dir.Child("huge.wav");
    TempDir::WriteBytes(path, image);
    WaveSound sound;
    bool loaded = true;
    EXPECT_LT(PeakMemoryGrowth([&] { loaded = ReadWaveFile(path.c_str(), sound); }), 16 << 20);
    EXPECT_FALSE(loaded);

    MemoryFile memory(image);
    ASSERT_TRUE(ReadWaveFile(memory.name.c_str(), sound));
    EXPECT_EQ(sound.data.size(), kFrames.size());
  }
}

TEST(WaveFile, NamesThatOpenNothingFail) {
  TempDir dir;
  WaveSound sound;
  for (const std::string& name : {std::string(), dir.Child("missing.wav"), dir.path.string(),
                                  FormatMemoryFileName(4, 0xABCDEF)}) {
    EXPECT_FALSE(ReadWaveFile(name.c_str(), sound)) << name;
  }
}
