// Block reads of the screen for the one-pixel reads: one glReadPixels per 256 x 256 block instead
// of one per pixel, kept until the next invalidation.
#include "gfx2d/screen_read_cache.h"
#include "gfx2d/sprite_batch.h"

#include <GL/gl.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

constexpr int32_t kBlockSide = 256;
// A whole 4096 x 4096 screen; past that the blocks are dropped and read again.
constexpr size_t kMostBlocks = 256;

struct Block {
  int32_t left = 0;
  int32_t bottom = 0;
  int32_t width = 0;
  int32_t height = 0;
  std::vector<uint8_t> bytes;

  bool Holds(int32_t column, int32_t row) const {
    return column >= left && column < left + width && row >= bottom && row < bottom + height;
  }
};

struct BlockCache {
  ScreenReadSource source{};
  // Blocks past liveCount keep their buffers for reuse.
  std::vector<Block> blocks;
  size_t liveCount = 0;
  size_t lastHit = 0;
};

BlockCache& Cache() {
  static BlockCache cache;
  return cache;
}

bool SameSource(const ScreenReadSource& a, const ScreenReadSource& b) {
  return a.context == b.context && a.screen == b.screen && a.readBuffer == b.readBuffer &&
         a.format == b.format && a.width == b.width && a.height == b.height;
}

}  // namespace

void SetTightPackState() {
  glPixelStorei(GL_PACK_ALIGNMENT, 4);
  glPixelStorei(GL_PACK_ROW_LENGTH, 0);
  glPixelStorei(GL_PACK_SKIP_PIXELS, 0);
  glPixelStorei(GL_PACK_SKIP_ROWS, 0);
}

namespace {

Block& ReadBlock(BlockCache& cache, int32_t column, int32_t row) {
  if (cache.liveCount == kMostBlocks) cache.liveCount = 0;
  if (cache.liveCount == cache.blocks.size()) cache.blocks.emplace_back();
  // The first read after a write takes one pixel alone: a program that draws before each read
  // would otherwise pay for a whole block every time.
  const bool first = cache.liveCount == 0;
  Block& block = cache.blocks[cache.liveCount];
  cache.lastHit = cache.liveCount++;
  const int32_t side = first ? 1 : kBlockSide;
  block.left = column - column % side;
  block.bottom = row - row % side;
  block.width = std::min(side, cache.source.width - block.left);
  block.height = std::min(side, cache.source.height - block.bottom);
  block.bytes.resize(size_t(block.width) * size_t(block.height) * 4);
  SetTightPackState();
  glReadBuffer(cache.source.readBuffer);
  glReadPixels(block.left, block.bottom, block.width, block.height, cache.source.format,
               GL_UNSIGNED_BYTE, block.bytes.data());
  return block;
}

const Block& FindBlock(BlockCache& cache, int32_t column, int32_t row) {
  if (cache.lastHit < cache.liveCount && cache.blocks[cache.lastHit].Holds(column, row))
    return cache.blocks[cache.lastHit];
  for (size_t i = 0; i < cache.liveCount; ++i) {
    if (cache.blocks[i].Holds(column, row)) {
      cache.lastHit = i;
      return cache.blocks[i];
    }
  }
  return ReadBlock(cache, column, row);
}

}  // namespace

void InvalidateScreenReads() {
  Cache().liveCount = 0;
}

void ReadScreenBytes(const ScreenReadSource& source, int32_t column, int32_t row, uint8_t* out) {
  FlushSpriteBatch();
  BlockCache& cache = Cache();
  if (!SameSource(cache.source, source)) {
    cache.source = source;
    cache.liveCount = 0;
  }
  const Block& block = FindBlock(cache, column, row);
  const size_t at = (size_t(row - block.bottom) * size_t(block.width) + (column - block.left)) * 4;
  std::memcpy(out, &block.bytes[at], 4);
}
