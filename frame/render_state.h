// The runtime's record of the OpenGL state it last set (GlStateCache), so that a change to the
// value already in force costs no GL call, and the default 2D render state (ResetRenderState).
#pragma once

#include <cstdint>

class OpenGLRainbows;

// The capabilities the runtime switches, one cache word each.
enum GlCapability : int32_t {
  kCapBlend,
  kCapAlphaTest,
  kCapColorMaterial,
  kCapCullFace,
  kCapLighting,
  kCapStencilTest,
  kCapDepthTest,
  kCapFog,
  kCapDither,
  kCapLineSmooth,
  kCapPointSmooth,
  kCapNormalize,
  kCapPolygonSmooth,
  kCapPolygonOffsetPoint,
  kCapAutoNormal,
  kCapTexture2D,
  kCapTextureGenS,
  kCapTextureGenT,
  kCapPolygonOffsetFill,
  kCapPolygonOffsetLine,
  kCapScissorTest,
  kCapLineStipple,
  kGlCapabilityCount
};
static_assert(kGlCapabilityCount == 22);

constexpr int32_t kGlStateUnknown = 0x7F7F7F7F;

struct GlStateCacheRecord {
  int32_t enabled[kGlCapabilityCount];  // 1, 0 or kGlStateUnknown
  float colour[4];
  bool colourKnown;
  int32_t boundSprite;  // -1 = none
};
extern GlStateCacheRecord GlStateCache;

// The GL enum behind a cache word.
uint32_t GlCapabilityEnum(GlCapability capability);

void CachedEnable(GlCapability capability);
void CachedDisable(GlCapability capability);
void CachedSetEnabled(GlCapability capability, bool on);
void CachedColour(float r, float g, float b, float a);
// Every word and the colour unknown, so the next change of each reaches GL.
void MarkGlStateUnknown();

// Whole-target viewport, 2D defaults: no depth test, culling, fog, lighting or stencil, alpha
// test greater than 0.05, flat shading, no texture, blending off, draw alpha 1.0, white.
// The program's sprite smoothing setting is left as it is.
void ResetRenderState(OpenGLRainbows& ctx);
