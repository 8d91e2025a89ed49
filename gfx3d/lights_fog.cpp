// Fixed-function lights, fog and stencil shadow volumes.
#include "gfx3d/lights_fog.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

#include "frame/render_state.h"
#include "gfx3d/debug_drawing.h"
#include "gfx3d/scene.h"
#include "gfx3d/shadow_pass.h"

namespace {

struct Rgb {
  float r, g, b;
};

Rgb Unpack(uint32_t colour) {
  return {float(colour & 0xFF) / 255.0f, float((colour >> 8) & 0xFF) / 255.0f,
          float((colour >> 16) & 0xFF) / 255.0f};
}

bool IsZero(Vec3 v) {
  return v.x == 0 && v.y == 0 && v.z == 0;
}

void SetShadowLight(Rainbows3D& scene, int32_t n, uint32_t colour, Vec3 position, float cutoff) {
  const bool on = std::fabs(cutoff) >= 0.00001f;
  scene.shadowLightOn = on ? 1 : 0;
  if (on) {
    scene.shadowColour = colour;
    scene.shadowLightPosition = position;
  }
  if (n == -1) {
    scene.shadowMode = kShadowDot3;
  } else if (n == -3) {
    scene.shadowMode = kShadowStencil;
    SetShadowPass(scene, on ? 1 : 0);
  } else {
    scene.shadowMode = kShadowCel;
  }
}

void SwitchLightOff(Rainbows3D& scene, int32_t i) {
  glDisable(GLenum(GL_LIGHT0 + i));
  scene.lightMask = uint8_t(scene.lightMask & ~(1u << i));
  if (scene.lightMask == 0) CachedDisable(kCapLighting);
}

void Light4(GLenum light, GLenum name, float a, float b, float c, float d) {
  const GLfloat values[4] = {a, b, c, d};
  glLightfv(light, name, values);
}

void PlaceLight(GLenum light, Rgb c, Vec3 position, Vec3 direction, float cutoff) {
  const bool specular = !(IsZero(position) && IsZero(direction)) && cutoff != 180.0f;
  Light4(light, GL_DIFFUSE, c.r, c.g, c.b, 1);
  if (specular) {
    Light4(light, GL_SPECULAR, c.r, c.g, c.b, 1);
  } else {
    Light4(light, GL_SPECULAR, 0, 0, 0, 1);
  }
  if (IsZero(position) && IsZero(direction)) {
    Light4(light, GL_POSITION, 0, 0, 1, 0);
    glLightf(light, GL_SPOT_CUTOFF, 180);
  } else if (cutoff == 180.0f) {
    const Vec3 d = NormaliseOrZero(-direction);
    Light4(light, GL_POSITION, d.x, d.y, d.z, 0);
    glLightf(light, GL_SPOT_CUTOFF, 180);
  } else if (cutoff > 90.0f) {
    Light4(light, GL_POSITION, position.x, position.y, position.z, 1);
    glLightf(light, GL_SPOT_CUTOFF, 180);
  } else {
    Light4(light, GL_POSITION, position.x, position.y, position.z, 1);
    const Vec3 d = NormaliseOrZero(direction);
    const GLfloat spot[3] = {d.x, d.y, d.z};
    glLightfv(light, GL_SPOT_DIRECTION, spot);
    glLightf(light, GL_SPOT_CUTOFF, cutoff);
  }
}

void DrawLightMarker(Rainbows3D& scene, Vec3 position, Vec3 direction, float cutoff) {
  if (IsZero(position) && IsZero(direction)) return;
  DrawDot3D(scene, position, 0x80C8FF, 40);
  if (cutoff <= 90.0f) {
    DrawLine3D(scene, position, position + NormaliseOrZero(direction) * 500.0f, 0x6CAAE1, 3);
  }
}

void Vertex(Vec3 p, float w) {
  glVertex4f(p.x, p.y, p.z, w);
}

void SilhouetteQuads(const MeshObjectX& part, const MeshVertex* corners, int32_t triangles,
                     Vec3 light) {
  glBegin(GL_QUADS);
  for (int32_t t = 0; t < triangles; ++t) {
    if (!part.facing[t]) continue;
    for (int32_t e = 0; e < 3; ++e) {
      if (!part.edges[3 * t + e].silhouette) continue;
      const Vec3 a = corners[3 * t + e].position;
      const Vec3 b = corners[3 * t + (e + 1) % 3].position;
      Vertex(b, 1);
      Vertex(a, 1);
      Vertex(a - light, 0);
      Vertex(b - light, 0);
    }
  }
  glEnd();
}

void Caps(const MeshObjectX& part, const MeshVertex* corners, int32_t triangles, Vec3 light) {
  glBegin(GL_TRIANGLES);
  for (int32_t t = 0; t < triangles; ++t) {
    for (int32_t k = 0; k < 3; ++k) {
      const Vec3 p = corners[3 * t + k].position;
      if (part.facing[t]) {
        Vertex(p, 1);
      } else {
        Vertex(p - light, 0);
      }
    }
  }
  glEnd();
}

}  // namespace

void SetLight(Rainbows3D& scene, int32_t n, uint32_t colour, Vec3 position, Vec3 direction,
              float cutoff, bool debugDrawing) {
  if (n < 0) {
    SetShadowLight(scene, n, colour, position, cutoff);
    return;
  }
  const int32_t i = n & 7;
  if (cutoff == 0) {
    SwitchLightOff(scene, i);
    return;
  }
  const GLenum light = GLenum(GL_LIGHT0 + i);
  CachedEnable(kCapLighting);
  glEnable(light);
  scene.lightMask = uint8_t(scene.lightMask | (1u << i));
  glColorMaterial(GL_FRONT_AND_BACK, GL_DIFFUSE);
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  PlaceLight(light, Unpack(colour), position, direction, cutoff);
  glPopMatrix();
  if (debugDrawing) DrawLightMarker(scene, position, direction, cutoff);
}

void SetLightAtCamera(Rainbows3D& scene, int32_t n, uint32_t colour) {
  SetLight(scene, n, colour, scene.eye, -scene.eye, 180, false);
}

void SetFog(Rainbows3D& scene, uint32_t colour, int32_t mode, float nearDistance,
            float farDistance) {
  if (colour == 0xFFFFFFFFu) {
    CachedDisable(kCapFog);
    return;
  }
  CachedEnable(kCapFog);
  if (mode != 0) {
    glFogi(GL_FOG_MODE, GL_EXP);
    glFogf(GL_FOG_DENSITY, nearDistance);
  } else {
    if (nearDistance == 0 && farDistance == 0) {
      nearDistance = scene.nearClip;
      farDistance = scene.farClip;
    }
    glFogi(GL_FOG_MODE, GL_LINEAR);
    glFogf(GL_FOG_START, nearDistance);
    glFogf(GL_FOG_END, farDistance);
  }
  const Rgb c = Unpack(colour);
  const GLfloat fog[4] = {c.r, c.g, c.b, 0};
  glFogfv(GL_FOG_COLOR, fog);
}

void DrawShadowVolumes(const MeshObjectX& part, const MeshVertex* corners, int32_t cornerCount,
                       Vec3 light, bool caps) {
  if (part.frames.empty()) return;
  const int32_t triangles = std::min({part.frames[0].triangles.count() / 3, cornerCount / 3,
                                      part.facing.count(), part.edges.count() / 3});
  CachedDisable(kCapCullFace);
  glDisable(GL_TEXTURE_2D);
  GlStateCache.enabled[kCapTexture2D] = kGlStateUnknown;
  CachedDisable(kCapLighting);
  glDepthFunc(GL_LESS);
  CachedEnable(kCapCullFace);
  glStencilFunc(GL_ALWAYS, 0, ~0u);
  for (int pass = 0; pass < 2; ++pass) {
    glStencilOp(GL_KEEP, GL_KEEP, pass == 0 ? GL_INCR : GL_DECR);
    glCullFace(pass == 0 ? GL_BACK : GL_FRONT);
    SilhouetteQuads(part, corners, triangles, light);
    if (caps) Caps(part, corners, triangles, light);
  }
}
