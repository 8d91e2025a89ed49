// Objects drawn through the scene operations the viewer uses, read back from the window.
#include <cstdlib>

#include "frame/render_state.h"
#include "gfx2d/texture_binding.h"
#include "gfx3d/lights_fog.h"
#include "gfx3d/object_drawing.h"
#include "tests/support/object_drawing_fixture.h"

namespace {

using namespace drawtest;

TEST_F(ObjectDrawingGl, ViewerCubeShowsItsColourAndWhiteStaysWhite) {
  BuildBox(*scene, 1, {-2, -2, -2}, {2, 2, 2}, 0x0000C0FF);
  BeginViewerFrame();
  DrawObject3D(*scene, 1, 0);
  ExpectColour(Centre(), 0xFF, 0xC0, 0x00);
  ExpectColour(ReadBackPixel(Context(), 20, 20), 0x20, 0x40, 0x60);
  EXPECT_TRUE(glIsBuffer(scene->objects[1].parts[0].staticBuffer));
  ExpectArraysLeftForTwoD();

  BuildBox(*scene, 2, {-2, -2, -2}, {2, 2, 2}, 0x00FFFFFF);
  BeginViewerFrame();
  DrawObject3D(*scene, 2, 0);
  ExpectColour(Centre(), 255, 255, 255);
}

TEST_F(ObjectDrawingGl, ObjectBehindTheCameraDrawsNothing) {
  BuildBox(*scene, 1, {-2, -2, -2}, {2, 2, 2}, 0x0000C0FF);
  BeginViewerFrame();
  SetMovement(*scene, 0, 8, 40);
  DrawObject3D(*scene, 1, 0);
  ExpectColour(Centre(), 0x20, 0x40, 0x60);
  EXPECT_EQ(scene->objects[1].parts[0].staticBuffer, 0u);
}

TEST_F(ObjectDrawingGl, FallbacksWithoutBuffersOrMultitexture) {
  BuildBox(*scene, 1, {-2, -2, -2}, {2, 2, 2}, 0x0000C0FF);
  GlExtensionTable.glGenBuffersARB = nullptr;
  GlExtensionTable.glBindBufferARB = nullptr;
  GlExtensionTable.glBufferDataARB = nullptr;
  BeginViewerFrame();
  DrawObject(*scene, 1, 0, 0, 0.5f, 1);
  ExpectColour(Centre(), 0xFF, 0xC0, 0x00);
  EXPECT_EQ(scene->objects[1].parts[0].staticBuffer, 0u);

  GlExtensionTable = saved;
  GlExtensionTable.glActiveTextureARB = nullptr;
  GlExtensionTable.glClientActiveTextureARB = nullptr;
  BeginViewerFrame();
  SetLight(*scene, -1, 0xFFFFFF, {0, 0, 1000}, {}, 1, false);  // dot3 falls back to plain
  DrawObject3D(*scene, 1, 0);
  ExpectColour(Centre(), 0xFF, 0xC0, 0x00);
  GlExtensionTable = saved;
  ExpectArraysLeftForTwoD();
}

TEST_F(ObjectDrawingGl, FramesOfDifferentLengthsDrawTweened) {
  ObjectStart(*scene, 1, 0);
  AddBoxVertices(*scene, {-2, -2, -2}, {2, 2, 2}, 0x0000C0FF);
  ObjectSelectFrame(*scene, 1);
  AddBoxVertices(*scene, {-3, -3, -3}, {3, 3, 3}, 0x0000C0FF);
  ASSERT_TRUE(ObjectEnd(*scene));
  // Frame 1 loses its last face, as a damaged file could leave it.
  MeshFrame& shorter = scene->objects[1].parts[0].frames[1];
  shorter.triangles.Truncate(shorter.triangles.count() - 6);
  BeginViewerFrame();
  DrawObject(*scene, 1, 0, 1, 0.5f, 0);
  ExpectColour(Centre(), 0xFF, 0xC0, 0x00);
}

TEST_F(ObjectDrawingGl, StencilShadowDarkensTheFloorBehindTheOccluder) {
  BuildBox(*scene, 1, {-2, 0, -2}, {2, 4, 2}, 0x00FFFFFF);
  BuildBox(*scene, 2, {-30, -1, -30}, {30, 0, 30}, 0x00C8C8C8);
  ClearWindow();
  EndShadowsClearDepth(*scene);
  Begin3DScene(*scene, 1, 1024, 45);
  SetCameraLookAt(*scene, {0, 30, 30}, {3, 0, 0});
  ApplyCullMode(*scene, 1);
  DrawObject3D(*scene, 2, 0);
  DrawObject3D(*scene, 1, 0);
  SetLight(*scene, -3, 0x000000FF, {-30, 30, 0}, {}, 1, false);
  EXPECT_EQ(scene->shadowPass, 1);
  DrawObject3D(*scene, 1, 0);
  ExpectArraysLeftForTwoD();
  EndShadowsClearDepth(*scene);
  // Shadow colour red at half strength over the grey floor.
  ExpectColour(At({5, 0, 0}), 228, 100, 100);
  ExpectColour(At({-8, 0, 10}), 200, 200, 200);
}

TEST_F(ObjectDrawingGl, Dot3LightsAFlatNormalMapFacingTheLight) {
  ObjectStart(*scene, 1, 1);
  for (Vec3 p : {Vec3{-8, 0, 0}, Vec3{-8, 16, 0}, Vec3{8, 0, 0}, Vec3{8, 16, 0}}) {
    ObjectAddVertex(*scene, p.x, p.y, p.z, p.x > 0 ? 1.0f : 0.0f, p.y > 8 ? 1.0f : 0.0f,
                    0x00FFFFFF);
  }
  ASSERT_TRUE(ObjectEnd(*scene));
  ObjectSlot& slot = scene->objects[1];
  GLuint normalMap = 0;
  glGenTextures(1, &normalMap);
  glBindTexture(GL_TEXTURE_2D, normalMap);
  const uint8_t texel[4 * 4] = {128, 128, 255, 255, 128, 128, 255, 255,
                                128, 128, 255, 255, 128, 128, 255, 255};
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 2, 2, 0, GL_RGBA, GL_UNSIGNED_BYTE, texel);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  slot.severalParts = 1;
  slot.textures.Append(normalMap);
  slot.parts[0].texture0 = 0;
  slot.parts[0].texture1 = -1;
  struct Case {
    Vec3 light;
    int low, high;
  };
  for (const Case& c : {Case{{0, 8, 1000}, 253, 255}, Case{{1000, 8, 0}, 0, 3}}) {
    BeginViewerFrame(0);
    SetMovement(*scene, 0, 0, 0);
    SetLight(*scene, -1, 0xFFFFFF, c.light, {}, 1, false);
    DrawObject3D(*scene, 1, 0);
    const Rgba pixel = Centre();
    for (int channel = 0; channel < 3; ++channel) {
      EXPECT_GE(pixel[channel], c.low);
      EXPECT_LE(pixel[channel], c.high);
    }
  }
  ExpectArraysLeftForTwoD();
}

TEST_F(ObjectDrawingGl, CelCubeHasABlackOutline) {
  BuildBox(*scene, 1, {-2, -2, -2}, {2, 2, 2}, 0x0000C0FF);
  BeginViewerFrame(1);
  SetLight(*scene, -2, 0xFFFFFF, {0, 8, 1000}, {}, 1, false);
  DrawObject3D(*scene, 1, 0);
  int black = 0;
  for (int x = 366; x < 384; ++x) {
    const Rgba p = ReadBackPixel(Context(), x, 240);
    if (p[0] <= 2 && p[1] <= 2 && p[2] <= 2) ++black;
  }
  EXPECT_GE(black, 1);
  const Rgba inside = Centre();
  EXPECT_GT(inside[0] + inside[1], 60);
  ExpectColour(ReadBackPixel(Context(), 420, 240), 0x20, 0x40, 0x60);
  EXPECT_EQ(scene->cullMode, 1);
  ExpectArraysLeftForTwoD();
}

TEST_F(ObjectDrawingGl, SeveralPartsWithoutTexturesDrawUntextured) {
  BuildBox(*scene, 1, {-2, -2, -2}, {2, 2, 2}, 0x0000C0FF);
  scene->objects[1].severalParts = 1;
  BindSpriteTextures(Context(), 0, -1, 0, nullptr);
  BeginViewerFrame();
  DrawObject3D(*scene, 1, 0);
  ExpectColour(Centre(), 0xFF, 0xC0, 0x00);
  EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
}

}  // namespace
