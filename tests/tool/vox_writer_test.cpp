// VOX files byte for byte: the worked examples against cell lists written out by hand, and
// boxes whose depth differs from their layer count.
#include "tool/vox_writer.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "tests/support/tool_fixture.h"

namespace {

// A VOX image: the three sizes, every cell 0xFF but the listed offsets, then the palette bytes.
std::string VoxBytes(int32_t x, int32_t y, int32_t z, const std::map<size_t, uint8_t>& cells,
                     const std::string& palette) {
  std::string bytes;
  for (int32_t size : {x, y, z}) {
    for (int shift = 0; shift < 32; shift += 8) bytes += char(uint32_t(size) >> shift);
  }
  bytes.append(size_t(x) * size_t(y) * size_t(z), '\xFF');
  for (const auto& [offset, index] : cells) bytes.at(offset) = char(index);
  return bytes + palette;
}

const std::string kBlackRedGreenBlue("\0\0\0\xFF\0\0\0\xFF\0\0\0\xFF", 12);

class VoxWriter : public ToolTest {
 protected:
  std::string WriteScanned(StripImage strip, const ScanAnswers& answers, const char* output) {
    strip.Scan(answers);
    ToolGlobals.OutputName = output;
    EXPECT_EQ(WriteVoxFile(), 0);
    return ReadOutput(std::string(output) + ".vox");
  }
};

TEST_F(VoxWriter, OneVoxelGivesTheSingleCellFile) {
  StripImage strip(8, 8);
  strip.At(0, 0) = kRed;
  const std::string vox = WriteScanned(strip, TileAnswers(8, 8, 1), "one");
  EXPECT_EQ(vox.size(), 530u);
  EXPECT_EQ(vox, VoxBytes(8, 8, 8, {{12, 1}}, std::string("\0\0\0\xFF\0\0", 6)));
}

TEST_F(VoxWriter, TwoTileStripGivesItsCellsAndThreeColours) {
  const std::string vox = WriteScanned(TwoTileStrip(), TileAnswers(8, 8, 2), "out");
  EXPECT_EQ(vox.size(), 536u);
  EXPECT_EQ(vox,
            VoxBytes(8, 8, 8, {{12, 1}, {20, 1}, {75, 2}, {76, 1}, {104, 3}}, kBlackRedGreenBlue));
}

TEST_F(VoxWriter, FewerLayersThanTheTileSizeGiveACubeWithEmptySlicesBehind) {
  StripImage strip(16 * 8, 16);
  for (int32_t x = 0; x < strip.width; ++x) {
    for (int32_t y = 0; y < 16; ++y) strip.At(x, y) = 0x010101 * uint32_t(1 + (x + y) % 7);
  }
  const std::string vox = WriteScanned(strip, TileAnswers(16, 16, 8), "cube");
  ASSERT_EQ(vox.size(), 12u + 4096u + 3u * 8u);
  EXPECT_EQ(vox.substr(0, 12), VoxBytes(16, 16, 16, {}, "").substr(0, 12));
  EXPECT_EQ(vox.find('\xFF', 12), 12u + 8u * 256u) << "slices 1-8 are solid";
  EXPECT_EQ(vox.substr(12 + 8 * 256, 8 * 256), std::string(8 * 256, '\xFF'));
}

TEST_F(VoxWriter, MoreLayersThanTheTileSizeDeepenTheFile) {
  StripImage strip(8 * 20, 8);
  const std::string vox = WriteScanned(strip, TileAnswers(8, 8, 20), "deep");
  EXPECT_EQ(vox, VoxBytes(8, 8, 20, {}, std::string(3, '\0')));
}

}  // namespace
