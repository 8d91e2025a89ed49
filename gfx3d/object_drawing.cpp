// Object drawing through vertex arrays over 92-byte vertex records.
#include "gfx3d/object_drawing.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>
#include <cstddef>

#include "frame/gl_extensions.h"
#include "frame/graphics_context.h"
#include "frame/render_state.h"
#include "gfx2d/texture_binding.h"
#include "gfx3d/camera_projection.h"
#include "gfx3d/lights_fog.h"
#include "gfx3d/mesh_normals.h"
#include "gfx3d/object_drawing_maths.h"
#include "gfx3d/scene.h"
#include "gfx3d/shadow_volume_data.h"
#include "gfx3d/transforms.h"

namespace {

constexpr GLsizei kStride = sizeof(MeshVertex);

bool HasMultitexture() {
  return GlExtensionTable.glActiveTextureARB && GlExtensionTable.glClientActiveTextureARB;
}

bool HasBuffers() {
  return GlExtensionTable.glGenBuffersARB && GlExtensionTable.glBindBufferARB &&
         GlExtensionTable.glBufferDataARB;
}

void SelectUnit(GLenum unit) {
  if (!HasMultitexture()) return;
  GlExtensionTable.glActiveTextureARB(unit);
  GlExtensionTable.glClientActiveTextureARB(unit);
}

void UnbindArrayBuffer() {
  if (GlExtensionTable.glBindBufferARB) GlExtensionTable.glBindBufferARB(GL_ARRAY_BUFFER_ARB, 0);
}

// Whatever path ends a draw, the 2D layer must find plain client arrays on unit 0.
void LeaveArraysForTwoD() {
  UnbindArrayBuffer();
  SelectUnit(GL_TEXTURE0_ARB);
}

struct DrawContext {
  Rainbows3D& scene;
  OpenGLRainbows* ctx;
  MeshObjectX& part;
  FramePair pair;
  const uint32_t* table;
  int32_t tableCount;
  bool multitexture;
};

uint32_t SpriteTextureId(const DrawContext& dc, int32_t sprite) {
  if (sprite < 0) return 0;
  if (dc.table) return sprite < dc.tableCount ? dc.table[sprite] : 0;
  if (!dc.ctx || sprite >= kSpriteCount) return 0;
  const SpriteRecord& record = dc.ctx->sprites[sprite];
  return dc.ctx->secondTextureFlag ? record.mipmappedTexture : record.texture;
}

void BindOnCurrentUnit(uint32_t texture) {
  glBindTexture(GL_TEXTURE_2D, texture);
  glEnable(GL_TEXTURE_2D);
}

void TexCoordArray(const char* base, size_t offset) {
  glEnableClientState(GL_TEXTURE_COORD_ARRAY);
  glTexCoordPointer(2, GL_FLOAT, kStride, base + offset);
}

float MaxColumnLength(const Mat4& m) {
  return std::max({ColumnLength(m, 0), ColumnLength(m, 1), ColumnLength(m, 2)});
}

bool OutsideFrustum(DrawContext& dc, const Mat4& entity) {
  const MeshFrame& frame = dc.part.frames[dc.pair.y];
  const Vec3 centre = TransformPoint(entity, frame.centre);
  return !SphereInFrustum(dc.scene, centre.x, centre.y, centre.z,
                          frame.radius * MaxColumnLength(entity));
}

void PrepareForShadowLight(DrawContext& dc) {
  Rainbows3D& scene = dc.scene;
  MeshObjectX& part = dc.part;
  if (!scene.shadowLightOn) return;
  if (scene.shadowMode == kShadowCel) {
    PrepareMeshNormals(part, true, false, false);
    MakeCelRampTexture(part, dc.ctx && dc.ctx->bgraSupported);
  } else if (scene.shadowMode == kShadowDot3) {
    PrepareMeshNormals(part, true, scene.normalMode == 2, true);
  } else if (scene.shadowMode == kShadowStencil) {
    PrepareMeshNormals(part, true, false, false);
    BuildShadowEdgeList(part);
  }
}

Vec3 IntoObjectSpace(const Mat4& entity, Vec3 p) {
  Mat4 inverse;
  if (!GaussJordanInverse(entity, &inverse)) inverse = entity;
  return TransformPoint(inverse, p);
}

void DrawStencilVolumes(DrawContext& dc, Vec3 light) {
  const GrowArray<MeshVertex>& list = dc.part.frames[dc.pair.y].triangles;
  const int32_t count = std::min(WorkingRecordCount(dc.part), list.count());
  glPushMatrix();
  MultEntityMatrix(dc.scene);
  ComputeFacingFlags(dc.part, list.data(), count, light);
  if (dc.ctx) BindSpriteTextures(*dc.ctx, -1, -1, 0, nullptr);
  DrawShadowVolumes(dc.part, list.data(), count, light, false);
  glPopMatrix();
}

// Binds the chosen buffer and gives the base the array pointers are offsets from.
const char* SendList(MeshObjectX& part, bool useStatic, const MeshVertex* records, int32_t& count) {
  if (!HasBuffers()) return reinterpret_cast<const char*>(records);
  uint32_t& buffer = useStatic ? part.staticBuffer : part.streamBuffer;
  const bool fresh = buffer == 0;
  if (fresh) GlExtensionTable.glGenBuffersARB(1, &buffer);
  GlExtensionTable.glBindBufferARB(GL_ARRAY_BUFFER_ARB, buffer);
  if (!useStatic || fresh) {
    GlExtensionTable.glBufferDataARB(GL_ARRAY_BUFFER_ARB, GLsizeiptrARB(count) * kStride, records,
                                     useStatic ? GL_STATIC_DRAW_ARB : GL_STREAM_DRAW_ARB);
  }
  if (useStatic) {
    if (fresh) part.staticBufferRecords = count;
    count = part.staticBufferRecords;
  }
  return nullptr;
}

void Dot3Arrays(const char* base) {
  SelectUnit(GL_TEXTURE1_ARB);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
  TexCoordArray(base, offsetof(MeshVertex, u));
  SelectUnit(GL_TEXTURE0_ARB);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_COMBINE_ARB);
  glTexEnvi(GL_TEXTURE_ENV, GL_COMBINE_RGB_ARB, GL_DOT3_RGB_EXT);
  glTexEnvi(GL_TEXTURE_ENV, GL_SOURCE0_RGB_ARB, GL_PRIMARY_COLOR_ARB);
  glTexEnvi(GL_TEXTURE_ENV, GL_OPERAND0_RGB_ARB, GL_SRC_COLOR);
  glTexEnvi(GL_TEXTURE_ENV, GL_SOURCE1_RGB_ARB, GL_TEXTURE);
  glTexEnvi(GL_TEXTURE_ENV, GL_OPERAND1_RGB_ARB, GL_SRC_COLOR);
  TexCoordArray(base, offsetof(MeshVertex, u));
  glEnableClientState(GL_COLOR_ARRAY);
  glColorPointer(3, GL_FLOAT, kStride, base + offsetof(MeshVertex, lightVector));
}

void CelArrays(const DrawContext& dc, const char* base) {
  SelectUnit(GL_TEXTURE1_ARB);
  BindOnCurrentUnit(dc.part.rampTexture);
  TexCoordArray(base, offsetof(MeshVertex, bitangent));
  SelectUnit(GL_TEXTURE0_ARB);
  const int32_t spriteA = dc.ctx ? dc.ctx->unit0Sprite : -1;
  if (spriteA >= 0) {
    BindOnCurrentUnit(SpriteTextureId(dc, spriteA));
    TexCoordArray(base, offsetof(MeshVertex, u));
  }
}

void PlainArrays(const DrawContext& dc, const char* base) {
  const int32_t spriteA = dc.ctx ? dc.ctx->unit0Sprite : -1;
  const int32_t spriteB = dc.ctx ? dc.ctx->unit1Sprite : -1;
  if (spriteA >= 0) {
    if (spriteB >= 0 && dc.multitexture) {
      SelectUnit(GL_TEXTURE1_ARB);
      BindOnCurrentUnit(SpriteTextureId(dc, spriteB));
      TexCoordArray(base, offsetof(MeshVertex, u));
      SelectUnit(GL_TEXTURE0_ARB);
    }
    BindOnCurrentUnit(SpriteTextureId(dc, spriteA));
    TexCoordArray(base, offsetof(MeshVertex, u));
  }
  if (dc.part.hasColours == 1) {
    glEnableClientState(GL_COLOR_ARRAY);
    glColorPointer(4, GL_FLOAT, kStride, base + offsetof(MeshVertex, rgba));
  }
}

void SetUpArrays(const DrawContext& dc, const char* base) {
  const Rainbows3D& scene = dc.scene;
  glEnableClientState(GL_VERTEX_ARRAY);
  glVertexPointer(3, GL_FLOAT, kStride, base + offsetof(MeshVertex, position));
  const bool shaped = scene.shadowLightOn && dc.multitexture;
  if (shaped && scene.shadowMode == kShadowDot3) {
    Dot3Arrays(base);
  } else if (shaped && scene.shadowMode == kShadowCel) {
    CelArrays(dc, base);
  } else {
    PlainArrays(dc, base);
  }
  if (scene.lightMask != 0 || scene.sphereMapping) {
    glEnableClientState(GL_NORMAL_ARRAY);
    glNormalPointer(GL_FLOAT, kStride, base + offsetof(MeshVertex, normal));
  }
  if (scene.sphereMapping) {
    glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
    glTexGeni(GL_T, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
    CachedEnable(kCapTextureGenS);
    CachedEnable(kCapTextureGenT);
  }
}

void DisableArrays() {
  CachedDisable(kCapTextureGenS);
  CachedDisable(kCapTextureGenT);
  glDisableClientState(GL_VERTEX_ARRAY);
  glDisableClientState(GL_COLOR_ARRAY);
  glDisableClientState(GL_NORMAL_ARRAY);
  SelectUnit(GL_TEXTURE1_ARB);
  glDisableClientState(GL_TEXTURE_COORD_ARRAY);
  SelectUnit(GL_TEXTURE0_ARB);
  glDisableClientState(GL_TEXTURE_COORD_ARRAY);
  UnbindArrayBuffer();
}

void DisableTexturing(const DrawContext& dc) {
  if (dc.multitexture) {
    SelectUnit(GL_TEXTURE1_ARB);
    glDisable(GL_TEXTURE_2D);
    SelectUnit(GL_TEXTURE0_ARB);
  }
  glDisable(GL_TEXTURE_2D);
  GlStateCache.enabled[kCapTexture2D] = kGlStateUnknown;
}

// The part drawn again in black, pushed out along its normals with front and back faces swapped:
// only the rim beyond the silhouette stays visible.
void DrawCelOutline(DrawContext& dc, int32_t count) {
  Rainbows3D& scene = dc.scene;
  MeshObjectX& part = dc.part;
  const MeshFrame& frame = part.frames[dc.pair.y];
  const Mat4& entity = EntityMatrix(scene);
  float width = CelOutlineWidth(scene.viewFactor, IntoObjectSpace(entity, scene.eye), frame.centre,
                                entity, scene.transformIndex + 1);
  if (width > frame.radius * 0.5f) return;
  width = std::max(width, 1e-7f);
  const int32_t cullMode = scene.cullMode;
  ApplyCullMode(scene, -cullMode);
  for (int32_t i = 0; i < count; ++i) {
    part.triangles[i].position += part.triangles[i].normal * width;
  }
  const char* base = SendList(part, false, part.triangles.data(), count);
  glEnableClientState(GL_VERTEX_ARRAY);
  glVertexPointer(3, GL_FLOAT, kStride, base + offsetof(MeshVertex, position));
  DisableTexturing(dc);
  CachedDisable(kCapLighting);
  CachedEnable(kCapColorMaterial);
  CachedColour(0, 0, 0, 1);
  glDepthFunc(GL_LEQUAL);
  glDrawArrays(GL_TRIANGLES, 0, count);
  glDepthFunc(GL_LESS);
  glDisableClientState(GL_VERTEX_ARRAY);
  if (scene.lightMask != 0) CachedEnable(kCapLighting);
  if (dc.ctx) {
    BindSpriteTextures(*dc.ctx, dc.ctx->unit0Sprite, dc.ctx->unit1Sprite, dc.ctx->secondTextureFlag,
                       dc.table);
  }
  ApplyCullMode(scene, cullMode);
  UnbindArrayBuffer();
}

void RestoreAfterDraw(const DrawContext& dc) {
  if (dc.multitexture) {
    SelectUnit(GL_TEXTURE1_ARB);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    SelectUnit(GL_TEXTURE0_ARB);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
  }
  glPopMatrix();
  CachedDisable(kCapColorMaterial);
  CachedColour(1, 1, 1, dc.ctx ? dc.ctx->drawAlpha : 1.0f);
}

bool OffsetIsZero(const Rainbows3D& scene) {
  return scene.textureOffset[0] == 0 && scene.textureOffset[1] == 0;
}

}  // namespace

void DrawMeshFrame(Rainbows3D& scene, MeshObjectX& part, int32_t frameA, int32_t frameB, float t,
                   uint8_t animate, const uint32_t* table, int32_t tableCount) {
  if (part.frames.empty() || part.frames[0].buildStream.empty()) return;
  DrawContext dc{scene,
                 scene.context,
                 part,
                 ChooseFramePair(frameA, frameB, t, animate != 0, part.frames.count()),
                 table,
                 table ? tableCount : 0,
                 HasMultitexture()};
  const Mat4 entity = EntityMatrix(scene);
  const bool stencil = scene.shadowLightOn && scene.shadowMode == kShadowStencil;
  if (OutsideFrustum(dc, entity) && !stencil) return;
  CachedColour(1, 1, 1, dc.ctx ? dc.ctx->drawAlpha : 1.0f);
  CachedEnable(kCapColorMaterial);
  PrepareForShadowLight(dc);
  if (WorkingRecordCount(part) == 0) TriangulateBuildStream(part);
  const Vec3 light =
      scene.shadowLightOn ? IntoObjectSpace(entity, scene.shadowLightPosition) : Vec3{};
  if (stencil) {
    DrawStencilVolumes(dc, light);
    LeaveArraysForTwoD();
    return;
  }
  const bool unchanged = !scene.shadowLightOn && dc.pair.weight == 0 && OffsetIsZero(scene);
  if (!unchanged) WorkingList(part);
  int32_t count = BlendableRecords(part, dc.pair);
  const MeshVertex* records = part.triangles.data();
  if (unchanged) {
    records = part.frames[dc.pair.x].triangles.data();
  } else {
    LightShaping shaping;
    if (scene.shadowLightOn && dc.multitexture) shaping = {scene.shadowMode, light};
    RebuildWorkingList(part, dc.pair, count, shaping, scene.textureOffset);
  }
  const char* base = SendList(part, unchanged && dc.pair.x == 0, records, count);
  SetUpArrays(dc, base);
  glPushMatrix();
  MultEntityMatrix(scene);
  glDrawArrays(GL_TRIANGLES, 0, count);
  DisableArrays();
  if (scene.shadowLightOn && scene.shadowMode == kShadowCel && scene.cullMode != 0) {
    DrawCelOutline(dc, BlendableRecords(part, dc.pair));
  }
  RestoreAfterDraw(dc);
  LeaveArraysForTwoD();
}

void DrawObject(Rainbows3D& scene, int32_t object, int32_t frameA, int32_t frameB, float t,
                uint8_t animate) {
  ObjectSlot* slot = FindObjectSlot(scene, object);
  if (!slot || !slot->inUse || slot->parts.empty()) return;
  if (!slot->severalParts) {
    DrawMeshFrame(scene, slot->parts[0], frameA, frameB, t, animate, nullptr, 0);
    return;
  }
  const uint32_t* table = slot->textures.empty() ? nullptr : slot->textures.data();
  const int32_t tableCount = slot->textures.count();
  for (MeshObjectX& part : slot->parts) {
    if (scene.context) {
      auto inTable = [&](int32_t index) { return index < tableCount ? index : -1; };
      if (table) {
        BindSpriteTextures(*scene.context, inTable(part.texture0), inTable(part.texture1), 0,
                           table);
      } else {
        BindSpriteTextures(*scene.context, -1, -1, 0, nullptr);
      }
    }
    DrawMeshFrame(scene, part, frameA, frameB, t, animate, table, tableCount);
  }
}

void DrawObject3D(Rainbows3D& scene, int32_t object, int32_t frame) {
  DrawObject(scene, object, frame, frame, 0, 0);
}
