// Frame choice, working-list rebuild and outline width of object drawing.
#include "gfx3d/object_drawing_maths.h"

#include <algorithm>
#include <cmath>

namespace {

int32_t ClampFrame(int64_t frame, int32_t frameCount) {
  return int32_t(std::max<int64_t>(0, std::min<int64_t>(frame, frameCount - 1)));
}

// Short vectors are left as they are here, unlike the light and debug-drawing rule.
Vec3 Direction(Vec3 v) {
  return NormaliseOrKeep(v);
}

Vec3 Blend(Vec3 x, Vec3 y, float w) {
  return x + (y - x) * w;
}

bool IsIdentity3x3(const Mat4& m) {
  for (int r = 0; r < 3; ++r) {
    for (int c = 0; c < 3; ++c) {
      if (m.at(r, c) != (r == c ? 1.0f : 0.0f)) return false;
    }
  }
  return true;
}

void ShapeRecord(MeshVertex& record, const MeshVertex& fromX, const LightShaping& shaping,
                 float rampRowStep) {
  const Vec3 l = Direction(shaping.light - record.position);
  if (shaping.mode == 1) {
    const Vec3 dots{Dot(fromX.tangent, l), Dot(fromX.bitangent, l), Dot(record.normal, l)};
    record.lightVector = dots * 0.5f + Vec3{0.5f, 0.5f, 0.5f};
  } else if (shaping.mode == 2) {
    record.bitangent.y = (float(record.colourIndex) + 0.5f) * rampRowStep;
    const Vec3 d = Direction(record.position - record.normal);
    record.bitangent.x = std::clamp(Dot(l, d), 0.05f, 0.95f);
  }
}

}  // namespace

// Frames are worked out in 64 bits, as the two frames may lie at the ends of the int range.
FramePair ChooseFramePair(int32_t a, int32_t b, float t, bool animate, int32_t frameCount) {
  int64_t x = a, y = b;
  float weight = t;
  if (animate) {
    if (t < 0 || t > 1) t = std::fabs(std::fmod(t, 1.0f));
    const float p = float(int64_t(b) - a) * t + float(a);
    const int64_t i = int64_t(p);
    if (a < b) {
      x = i + 1, y = i, weight = 1 - (p - float(i));
    } else if (b < a) {
      x = i, y = i + 1, weight = p - float(i);
    } else {
      weight = 0;
    }
  }
  return {ClampFrame(x, frameCount), ClampFrame(y, frameCount), weight};
}

int32_t BlendableRecords(const MeshObjectX& part, const FramePair& pair) {
  return std::min({WorkingRecordCount(part), part.frames[pair.x].triangles.count(),
                   part.frames[pair.y].triangles.count()});
}

void RebuildWorkingList(MeshObjectX& part, const FramePair& pair, int32_t count,
                        const LightShaping& shaping, const float textureOffset[2]) {
  const MeshVertex* x = part.frames[pair.x].triangles.data();
  const MeshVertex* y = part.frames[pair.y].triangles.data();
  for (int32_t i = 0; i < count; ++i) {
    MeshVertex& record = part.triangles[i];
    if (pair.weight != 0) {
      record.position = Blend(x[i].position, y[i].position, pair.weight);
      record.normal = Blend(x[i].normal, y[i].normal, pair.weight);
    } else {
      record = x[i];
    }
    if (shaping.mode != 0) ShapeRecord(record, x[i], shaping, part.rampRowStep);
    // Fresh from frame x each time, so a blended draw adds the offset once, not once per draw.
    record.u = x[i].u + textureOffset[0];
    record.v = x[i].v + textureOffset[1];
  }
}

float CelOutlineWidth(float viewFactor, Vec3 eyeInObject, Vec3 centre, const Mat4& entity,
                      int32_t stackDepth) {
  const Vec3 e = eyeInObject - centre;
  const float squared = Dot(e, e);
  float width = viewFactor * (squared <= 1e-7f ? 0.0f : std::sqrt(squared)) * 0.003f;
  if (IsIdentity3x3(entity)) return width;
  const float s = (ColumnLength(entity, 0) + ColumnLength(entity, 1) + ColumnLength(entity, 2)) / 3;
  for (int32_t i = 0; i < stackDepth; ++i) width /= s * s;
  return width;
}
