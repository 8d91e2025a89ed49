// Debug shapes of the 3D scene.
#include "gfx3d/debug_drawing.h"

#include <GL/gl.h>

#include "frame/graphics_context.h"
#include "frame/render_state.h"
#include "gfx2d/texture_binding.h"
#include "gfx3d/scene.h"

namespace {

constexpr float kIcoX = 0.525731086730957f;
constexpr float kIcoZ = 0.8506507873535156f;
constexpr Vec3 kIcosahedron[12] = {{-kIcoX, 0, kIcoZ}, {kIcoX, 0, kIcoZ},   {-kIcoX, 0, -kIcoZ},
                                   {kIcoX, 0, -kIcoZ}, {0, kIcoZ, kIcoX},   {0, kIcoZ, -kIcoX},
                                   {0, -kIcoZ, kIcoX}, {0, -kIcoZ, -kIcoX}, {kIcoZ, kIcoX, 0},
                                   {-kIcoZ, kIcoX, 0}, {kIcoZ, -kIcoX, 0},  {-kIcoZ, -kIcoX, 0}};
constexpr int kIcosahedronFaces[20][3] = {
    {0, 4, 1}, {0, 9, 4},  {9, 5, 4},  {4, 5, 8},  {4, 8, 1},  {8, 10, 1}, {8, 3, 10},
    {5, 3, 8}, {5, 2, 3},  {2, 7, 3},  {7, 10, 3}, {7, 6, 10}, {7, 11, 6}, {11, 0, 6},
    {0, 1, 6}, {6, 1, 10}, {9, 0, 11}, {9, 11, 2}, {9, 2, 5},  {7, 2, 11}};

void Subdivide(Vec3 centre, float radius, Vec3 a, Vec3 b, Vec3 c, int32_t depth,
               std::vector<WireLoop>& out) {
  if (depth <= 0) {
    out.push_back({centre + a * radius, centre + b * radius, centre + c * radius});
    return;
  }
  const Vec3 ab = NormaliseOrZero(a + b), bc = NormaliseOrZero(b + c), ca = NormaliseOrZero(c + a);
  Subdivide(centre, radius, a, ab, ca, depth - 1, out);
  Subdivide(centre, radius, b, bc, ab, depth - 1, out);
  Subdivide(centre, radius, c, ca, bc, depth - 1, out);
  Subdivide(centre, radius, ab, bc, ca, depth - 1, out);
}

float DrawAlpha(const Rainbows3D& scene) {
  return scene.context ? scene.context->drawAlpha : 1.0f;
}

// The frame every shape but the axes marker is drawn in: untextured and unlit in the colour,
// then lighting, smoothing, colour and the matrix as they were.
template <class Draw>
void InShapeFrame(Rainbows3D& scene, uint32_t colour, GlCapability smoothing, bool noBlend,
                  Draw draw) {
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  CachedEnable(kCapColorMaterial);
  CachedColour(float(colour & 0xFF) / 255.0f, float((colour >> 8) & 0xFF) / 255.0f,
               float((colour >> 16) & 0xFF) / 255.0f, 1.0f);
  if (scene.lightMask != 0) CachedDisable(kCapLighting);
  if (scene.context) BindSpriteTextures(*scene.context, -1, -1, 0, nullptr);
  if (noBlend) CachedDisable(kCapBlend);
  CachedEnable(smoothing);
  draw();
  glLineWidth(1);
  glPointSize(1);
  CachedDisable(smoothing);
  CachedDisable(kCapColorMaterial);
  if (scene.lightMask != 0) CachedEnable(kCapLighting);
  CachedColour(1, 1, 1, DrawAlpha(scene));
  glPopMatrix();
}

void Vertex(Vec3 p) {
  glVertex3f(p.x, p.y, p.z);
}

void ArrowStrip(const float (&points)[8][3]) {
  glBegin(GL_LINE_STRIP);
  for (const auto& p : points) glVertex3f(p[0], p[1], p[2]);
  glEnd();
}

constexpr float kRedArrow[8][3] = {{0, 0, 0},          {1, 0, 0}, {0.75f, 0.25f, 0},
                                   {0.75f, -0.25f, 0}, {1, 0, 0}, {0.75f, 0, 0.25f},
                                   {0.75f, 0, -0.25f}, {1, 0, 0}};
constexpr float kGreenArrow[8][3] = {{0, 0, 0},          {0, 1, 0}, {0, 0.75f, 0.25f},
                                     {0, 0.75f, -0.25f}, {0, 1, 0}, {0.25f, 0.75f, 0},
                                     {-0.25f, 0.75f, 0}, {0, 1, 0}};
constexpr float kBlueArrow[8][3] = {{0, 0, 0},          {0, 0, 1}, {0.25f, 0, 0.75f},
                                    {-0.25f, 0, 0.75f}, {0, 0, 1}, {0, 0.25f, 0.75f},
                                    {0, -0.25f, 0.75f}, {0, 0, 1}};

}  // namespace

std::vector<WireLoop> WireSphereLoops(Vec3 centre, float radius, int32_t depth) {
  std::vector<WireLoop> loops;
  for (const auto& face : kIcosahedronFaces) {
    Subdivide(centre, radius, kIcosahedron[face[0]], kIcosahedron[face[1]], kIcosahedron[face[2]],
              depth, loops);
  }
  return loops;
}

void DrawDot3D(Rainbows3D& scene, Vec3 point, uint32_t colour, float size) {
  InShapeFrame(scene, colour, kCapPointSmooth, false, [&] {
    glPointSize(size);
    glBegin(GL_POINTS);
    Vertex(point);
    glEnd();
  });
}

void DrawLine3D(Rainbows3D& scene, Vec3 a, Vec3 b, uint32_t colour, float width) {
  InShapeFrame(scene, colour, kCapLineSmooth, false, [&] {
    glLineWidth(width);
    glBegin(GL_LINES);
    Vertex(a);
    Vertex(b);
    glEnd();
  });
}

void DrawWireSphere(Rainbows3D& scene, Vec3 centre, float radius, uint32_t colour,
                    int16_t lineWidth) {
  InShapeFrame(scene, colour, kCapLineSmooth, true, [&] {
    glLineWidth(lineWidth);
    for (const WireLoop& loop : WireSphereLoops(centre, radius, 1)) {
      glBegin(GL_LINE_LOOP);
      for (Vec3 p : loop) Vertex(p);
      glEnd();
    }
  });
}

void DrawWireBox(Rainbows3D& scene, Vec3 centre, Vec3 a, Vec3 b, Vec3 c, uint32_t colour,
                 int16_t lineWidth) {
  auto corner = [&](int i) {
    return centre + a * ((i & 1) ? 1.0f : -1.0f) + b * ((i & 2) ? 1.0f : -1.0f) +
           c * ((i & 4) ? 1.0f : -1.0f);
  };
  InShapeFrame(scene, colour, kCapLineSmooth, true, [&] {
    glLineWidth(lineWidth);
    glBegin(GL_LINES);
    // Corners differing in one sign bit are joined: 4 edges along each of a, b and c.
    for (int bit = 1; bit <= 4; bit <<= 1) {
      for (int i = 0; i < 8; ++i) {
        if (i & bit) continue;
        Vertex(corner(i));
        Vertex(corner(i | bit));
      }
    }
    glEnd();
  });
}

void DrawAxesMarker(Rainbows3D& scene, float x, float y, float z) {
  const bool textured = scene.context && scene.context->unit0Sprite >= 0;
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadMatrixf(scene.camera.m);
  CachedEnable(kCapLineSmooth);
  if (textured) CachedDisable(kCapTexture2D);
  if (scene.lightMask != 0) CachedDisable(kCapLighting);
  glTranslatef(x, y, z);
  glScalef(20, 20, 20);
  glColor4f(1, 0, 0, 1);
  ArrowStrip(kRedArrow);
  glColor4f(0, 1, 0, 1);
  ArrowStrip(kGreenArrow);
  glColor4f(0, 0, 1, 1);
  ArrowStrip(kBlueArrow);
  if (scene.lightMask != 0) CachedEnable(kCapLighting);
  CachedDisable(kCapLineSmooth);
  CachedDisable(kCapColorMaterial);
  if (textured) CachedEnable(kCapTexture2D);
  GlStateCache.colourKnown = false;
  CachedColour(1, 1, 1, DrawAlpha(scene));
  glPopMatrix();
}
