// 10,000 sprites of 32 x 32 a frame through DrawSpriteCmd against the same quads sent as one
// vertex array in the same context, each side waiting for the drawing to finish; once with the
// held draws (the runtime's way) and once with every sprite drawn alone (as before them). Runs
// headless on Mesa's software driver.
#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "bench/gl_context.h"
#include "bench/side_by_side.h"
#include "frame/graphics_context.h"
#include "frame/runtime_objects.h"
#include "gfx2d/rgba_image.h"
#include "gfx2d/sprite_batch.h"
#include "gfx2d/sprite_draw_commands.h"
#include "gfx2d/sprite_store.h"
#include "gfx2d/texture_binding.h"

namespace {

constexpr int32_t kSprite = 1;
constexpr int32_t kSide = 32;
constexpr int32_t kSprites = 10000;

void MakeSprite(OpenGLRainbows& ctx) {
  RgbaImage image;
  ResizeImage(image, kSide, kSide);
  for (int32_t i = 0; i < kSide * kSide * 4; ++i) image.pixels[i] = uint8_t(i * 7);
  CreateSpriteFromImage(ctx, kSprite, image, -1, false);
  ReleaseImage(image);
}

int32_t SpriteX(int32_t i) { return (i * 37) % (640 - kSide); }
int32_t SpriteY(int32_t i) { return (i * 53) % (480 - kSide); }

void DrawThroughCommands() {
  for (int32_t i = 0; i < kSprites; ++i) DrawSpriteCmd(kSprite, SpriteX(i), SpriteY(i));
  FlushSpriteBatch();
  glFinish();
}

// The plain way: the same corners and texture coordinates in one client array, one draw.
void DrawOneVertexArray(OpenGLRainbows& ctx, std::vector<float>& vertices) {
  const SpriteRecord& r = ctx.sprites[kSprite];
  BindSpriteTextures(ctx, kSprite, -1, 0, nullptr);
  ApplySpriteFilter(ctx);
  vertices.clear();
  for (int32_t i = 0; i < kSprites; ++i) {
    const float left = float(SpriteX(i)), top = float(SpriteY(i));
    const float right = left + kSide, bottom = top + kSide;
    vertices.insert(vertices.end(), {right, top, r.maxU, r.maxV, left, top, 0.0f, r.maxV, left,
                                     bottom, 0.0f, 0.0f, right, bottom, r.maxU, 0.0f});
  }
  glEnableClientState(GL_VERTEX_ARRAY);
  glEnableClientState(GL_TEXTURE_COORD_ARRAY);
  glVertexPointer(2, GL_FLOAT, 4 * sizeof(float), vertices.data());
  glTexCoordPointer(2, GL_FLOAT, 4 * sizeof(float), vertices.data() + 2);
  glDrawArrays(GL_QUADS, 0, kSprites * 4);
  glDisableClientState(GL_TEXTURE_COORD_ARRAY);
  glDisableClientState(GL_VERTEX_ARRAY);
  glFinish();
}

void TenThousandSprites(benchmark::State& state, bool held) {
  OpenGLRainbows& ctx = BenchContext();
  GraphicsContext = &ctx;
  MakeSprite(ctx);
  SetSpriteBatching(held);
  std::vector<float> vertices;
  DrawOneVertexArray(ctx, vertices);  // the driver's first-draw set-up counts for neither side
  bench::SideBySide(state, DrawThroughCommands, [&] { DrawOneVertexArray(ctx, vertices); });
  SetSpriteBatching(true);
  state.SetItemsProcessed(state.iterations() * kSprites);
}

void BM_TenThousandSpritesHeld(benchmark::State& state) {
  TenThousandSprites(state, true);
}
BENCHMARK(BM_TenThousandSpritesHeld)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_TenThousandSpritesAlone(benchmark::State& state) {
  TenThousandSprites(state, false);
}
BENCHMARK(BM_TenThousandSpritesAlone)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace
