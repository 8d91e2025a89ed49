// GlStateCache and the default 2D render state.
#include "frame/render_state.h"

#include <GL/gl.h>

#include "frame/gfx2d_services.h"
#include "frame/graphics_context.h"
#include "frame/screen_orientation.h"

GlStateCacheRecord GlStateCache = {
    {kGlStateUnknown, kGlStateUnknown, kGlStateUnknown, kGlStateUnknown, kGlStateUnknown,
     kGlStateUnknown, kGlStateUnknown, kGlStateUnknown, kGlStateUnknown, kGlStateUnknown,
     kGlStateUnknown, kGlStateUnknown, kGlStateUnknown, kGlStateUnknown, kGlStateUnknown,
     kGlStateUnknown, kGlStateUnknown, kGlStateUnknown, kGlStateUnknown, kGlStateUnknown,
     kGlStateUnknown, kGlStateUnknown},
    {0.0f, 0.0f, 0.0f, 0.0f},
    false,
    -1};

namespace {

constexpr GLenum kCapabilityEnums[kGlCapabilityCount] = {
    GL_BLEND,          GL_ALPHA_TEST,          GL_COLOR_MATERIAL,      GL_CULL_FACE,
    GL_LIGHTING,       GL_STENCIL_TEST,        GL_DEPTH_TEST,          GL_FOG,
    GL_DITHER,         GL_LINE_SMOOTH,         GL_POINT_SMOOTH,        GL_NORMALIZE,
    GL_POLYGON_SMOOTH, GL_POLYGON_OFFSET_POINT, GL_AUTO_NORMAL,        GL_TEXTURE_2D,
    GL_TEXTURE_GEN_S,  GL_TEXTURE_GEN_T,       GL_POLYGON_OFFSET_FILL, GL_POLYGON_OFFSET_LINE,
    GL_SCISSOR_TEST,   GL_LINE_STIPPLE};

constexpr float kDefaultAlphaReference = 0.05f;

}  // namespace

uint32_t GlCapabilityEnum(GlCapability capability) { return kCapabilityEnums[capability]; }

void CachedEnable(GlCapability capability) {
  if (GlStateCache.enabled[capability] == 1) return;
  FlushHeldSpriteDraws();
  glEnable(kCapabilityEnums[capability]);
  GlStateCache.enabled[capability] = 1;
}

void CachedDisable(GlCapability capability) {
  if (GlStateCache.enabled[capability] == 0) return;
  FlushHeldSpriteDraws();
  glDisable(kCapabilityEnums[capability]);
  GlStateCache.enabled[capability] = 0;
}

void CachedSetEnabled(GlCapability capability, bool on) {
  on ? CachedEnable(capability) : CachedDisable(capability);
}

void CachedColour(float r, float g, float b, float a) {
  float* c = GlStateCache.colour;
  if (GlStateCache.colourKnown && c[0] == r && c[1] == g && c[2] == b && c[3] == a) return;
  FlushHeldSpriteDraws();
  glColor4f(r, g, b, a);
  c[0] = r;
  c[1] = g;
  c[2] = b;
  c[3] = a;
  GlStateCache.colourKnown = true;
}

void MarkGlStateUnknown() {
  for (int32_t& word : GlStateCache.enabled) word = kGlStateUnknown;
  // Drawing with a colour array leaves GL's current colour undefined behind the cache's back.
  GlStateCache.colourKnown = false;
}

void ResetRenderState(OpenGLRainbows& ctx) {
  SetViewport(ctx, 0, 0, 0, 0);
  MarkGlStateUnknown();
  CachedDisable(kCapDepthTest);
  CachedDisable(kCapCullFace);
  glFrontFace(GL_CCW);
  CachedEnable(kCapAlphaTest);
  glAlphaFunc(GL_GREATER, kDefaultAlphaReference);
  ctx.alphaTestReference = kDefaultAlphaReference;
  CachedColour(1.0f, 1.0f, 1.0f, 1.0f);
  for (GlCapability off : {kCapFog, kCapLineSmooth, kCapPointSmooth, kCapStencilTest,
                           kCapNormalize, kCapLighting}) {
    CachedDisable(off);
  }
  glShadeModel(GL_FLAT);
  for (GlCapability off : {kCapColorMaterial, kCapDither, kCapPolygonSmooth,
                           kCapPolygonOffsetPoint, kCapAutoNormal}) {
    CachedDisable(off);
  }
  glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_FASTEST);
  glHint(GL_POLYGON_SMOOTH_HINT, GL_FASTEST);
  Gfx2d().bindSpriteTextures(ctx, -1, -1, 0, nullptr);
  // With the alpha test on, the blend rule for mode 0 means: blending off, full draw alpha.
  ctx.drawAlpha = 1.0f;
  CachedDisable(kCapBlend);
  CachedColour(1.0f, 1.0f, 1.0f, 1.0f);
}
