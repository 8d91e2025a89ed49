// Sound slots over the real mixer (SDL's dummy driver, paced in real time).
#include <gtest/gtest.h>

#include <array>

#include "frame/sound_device.h"
#include "tests/sound/sound_fixture.h"
#include "system/file_stream.h"
#include "tests/support/memory_file.h"
#include "tests/support/temp_dir.h"

using namespace wave_image;

class SoundSlotTest : public SoundFixture {
 protected:
  bool Load(SoundSlot& into, int32_t buffers) {
    return SoundLoad(into, SoundHolder, wave.name.c_str(), buffers);
  }
  MemoryFile wave{LongSound()};
  SoundSlot slot;
};

TEST_F(SoundSlotTest, BufferCountsAreClampedToOneToFour) {
  const std::pair<int32_t, int32_t> cases[] = {{0, 1}, {-5, 1}, {3, 3}, {9, 4}};
  for (auto [asked, made] : cases) {
    ASSERT_TRUE(Load(slot, asked));
    EXPECT_EQ(slot.bufferCount, made) << asked;
    EXPECT_EQ(slot.fileName, wave.name);
  }
}

TEST_F(SoundSlotTest, FourBuffersPlayRoundRobinAndTheFifthPlayRestartsTheFirst) {
  ASSERT_TRUE(Load(slot, 4));
  for (int32_t expected : {0, 1, 2, 3, 0}) EXPECT_EQ(SoundPlay(slot, 0, 100, 0), expected);
  for (int32_t buffer = 0; buffer < 4; ++buffer) EXPECT_TRUE(SoundIsPlaying(slot, buffer));
}

TEST_F(SoundSlotTest, AOneBufferSlotDoesNotPlayOverItself) {
  ASSERT_TRUE(Load(slot, 1));
  EXPECT_EQ(SoundPlay(slot, 0, 100, 0), 0);
  EXPECT_EQ(SoundPlay(slot, 0, 100, 0), -1);
  SoundStop(slot, 0);
  EXPECT_EQ(SoundPlay(slot, 0, 100, 0), 0);
}

TEST_F(SoundSlotTest, AFailedLoadLeavesTheSlotEmptyAndSilent) {
  MemoryFile bad("RIFF not a wave at all");
  ASSERT_TRUE(Load(slot, 2));
  ASSERT_EQ(SoundPlay(slot, 0, 100, 0), 0);
  EXPECT_FALSE(SoundLoad(slot, SoundHolder, bad.name.c_str(), 2));
  EXPECT_EQ(slot.bufferCount, 0);
  EXPECT_TRUE(slot.fileName.empty());
  EXPECT_EQ(SoundPlay(slot, 0, 100, 0), -1);
  EXPECT_FALSE(SoundStop(slot, -1));
  EXPECT_FALSE(SoundIsPlaying(slot, 0));
}

TEST_F(SoundSlotTest, WithoutADeviceNothingLoads) {
  SoundDevice closed;
  EXPECT_FALSE(SoundLoad(slot, &closed, wave.name.c_str(), 1));
  EXPECT_FALSE(SoundLoad(slot, nullptr, wave.name.c_str(), 1));
  EXPECT_EQ(slot.bufferCount, 0);
}

TEST_F(SoundSlotTest, VoicesBeyondTheFirstChannelPoolStillPlay) {
  std::vector<SoundSlot>& slots = *SoundSlots;
  for (size_t i = 0; i < 40; ++i) {
    ASSERT_TRUE(Load(slots[i], 4));
    for (int32_t play = 0; play < 4; ++play) ASSERT_EQ(SoundPlay(slots[i], 0, 100, 0), play);
  }
  for (size_t i = 0; i < 40; ++i) {
    for (int32_t buffer = 0; buffer < 4; ++buffer) EXPECT_TRUE(SoundIsPlaying(slots[i], buffer));
  }
}

TEST_F(SoundSlotTest, ABufferMadeFromFormatValuesIsFilledFromAStreamAndResetForgetsIt) {
  // Size, bits, block align, stereo; only the last fits a buffer.
  const std::array<uint32_t, 4> cases[] = {
      {3, 16, 4, 1}, {0x10000000, 8, 1, 0}, {1000, 12, 3, 1}, {1000, 16, 2, 1}, {88200, 16, 2, 0}};
  for (const auto& [bytes, bits, align, stereo] : cases) {
    slot.device = SoundHolder;
    const bool made = SoundCreateBuffer(slot, bytes, 44100, int32_t(bits), int32_t(align), stereo);
    EXPECT_EQ(made && slot.device, bytes == 88200) << bytes;
  }
  slot.bufferCount = 1;
  FileStream stream;
  ASSERT_TRUE(FileStreamOpen(stream, wave.name.c_str()));
  EXPECT_FALSE(SoundFillBuffer(slot, stream, 88201, 0)) << "more than the buffer holds";
  EXPECT_TRUE(SoundFillBuffer(slot, stream, 1000, 44));
  EXPECT_EQ(stream.position, 1044);
  EXPECT_EQ(SoundPlay(slot, 0, 100, 0), 0);
  EXPECT_TRUE(SoundIsPlaying(slot, 0));

  TempDir dir;
  const std::string shortFile = dir.Child("short.raw");
  TempDir::WriteBytes(shortFile, std::string(100, '\x10'));
  ASSERT_TRUE(FileStreamOpen(stream, shortFile.c_str()));
  EXPECT_FALSE(SoundFillBuffer(slot, stream, 200, -1)) << "a disk file gives all or nothing";

  slot.fileName = "kept.wav";
  SoundSlotReset(slot);
  EXPECT_TRUE(SoundPlay(slot, 0, 100, 0) == -1 && slot.fileName.empty() && !slot.device);
}
