// Collision and picking commands over the scene's queries, with their debug shapes.
#include "gfx3d/hit_commands.h"

#include "frame/frame_services.h"
#include "frame/graphics_context.h"
#include "frame/runtime_objects.h"
#include "gfx2d/screen_read_cache.h"
#include "gfx3d/collision_queries.h"
#include "gfx3d/debug_drawing.h"
#include "gfx3d/scene.h"
#include "gfx3d/scene_command_checks.h"
#include "gfx3d/screen_projection.h"

namespace {

constexpr uint32_t kHitColour = 255;
constexpr uint32_t kMissColour = 65280;
constexpr uint32_t kBehindColour = 65535;
constexpr int16_t kHitWidth = 5;
constexpr int16_t kMissWidth = 1;
constexpr float kMissedRayLength = 1000;

uint32_t ShapeColour(bool hit) {
  return hit ? kHitColour : kMissColour;
}

int16_t ShapeWidth(bool hit) {
  return hit ? kHitWidth : kMissWidth;
}

void DrawRayDebugLine(Rainbows3D& scene, Vec3 start, Vec3 direction, float distance) {
  const Vec3 unit = NormaliseOrKeep(direction);
  if (distance == 0.0f) {
    DrawLine3D(scene, start, start + unit * kMissedRayLength, kHitColour, kMissWidth);
  } else {
    DrawLine3D(scene, start, start + unit * distance, distance > 0.0f ? kMissColour : kBehindColour,
               kHitWidth);
  }
  InvalidateScreenReads();
}

void ViewportOf(const OpenGLRainbows& ctx, int32_t viewport[4]) {
  viewport[0] = ctx.viewportX;
  viewport[1] = ctx.viewportY;
  viewport[2] = ctx.viewportWidth;
  viewport[3] = ctx.viewportHeight;
}

void StoreVector(Vec3 v, double* x, double* y, double* z) {
  *x = v.x;
  *y = v.y;
  *z = v.z;
}

}  // namespace

int32_t ObjectSphereHit(int32_t object, int32_t frame, double x, double y, double z,
                        double radius) {
  Rainbows3D* scene = SceneForObject(object);
  if (!scene) return 0;
  const Vec3 centre = PointFromNumbers(x, y, z);
  const bool hit = ObjectSphereCollide(*scene, object, frame, centre, Narrow(radius));
  if (DebugFlag) {
    DrawWireSphere(*scene, centre, Narrow(radius), ShapeColour(hit), ShapeWidth(hit));
    InvalidateScreenReads();
  }
  return hit ? 1 : 0;
}

int32_t ObjectBoxHit(int32_t object, int32_t frame, double x, double y, double z, double sx,
                     double sy, double sz) {
  Rainbows3D* scene = SceneForObject(object);
  if (!scene) return 0;
  const Vec3 centre = PointFromNumbers(x, y, z);
  const Vec3 a{Narrow(sx / 2), 0, 0}, b{0, 0, Narrow(sz / 2)}, c{0, Narrow(sy / 2), 0};
  const bool hit = ObjectBoxCollide(*scene, object, frame, centre, a, b, c);
  if (DebugFlag) {
    DrawWireBox(*scene, centre, a, b, c, ShapeColour(hit), ShapeWidth(hit));
    InvalidateScreenReads();
  }
  return hit ? 1 : 0;
}

int32_t SphereBoxHit(double x, double y, double z, double radius, double sx, double sy, double sz) {
  Rainbows3D* scene = CommandScene();
  if (!scene) return 0;
  return EntitySphereBoxTest(*scene, PointFromNumbers(x, y, z), Narrow(radius),
                             PointFromNumbers(sx / 2, sy / 2, sz / 2))
             ? 1
             : 0;
}

double ObjectRayHit(int32_t object, int32_t frame, double x, double y, double z, double dx,
                    double dy, double dz) {
  Rainbows3D* scene = SceneForObject(object);
  if (!scene) return 0;
  const Vec3 start = PointFromNumbers(x, y, z), direction = PointFromNumbers(dx, dy, dz);
  const float distance = ObjectRayCollide(*scene, object, frame, start, direction);
  if (DebugFlag) DrawRayDebugLine(*scene, start, direction, distance);
  return distance;
}

int32_t LastHitTriangleCmd() {
  return LastHitTriangle();
}

int32_t ProjectToScreen(double x, double y, double z, double* sx, double* sy, double* depth) {
  Rainbows3D* scene = CommandScene();
  if (!scene || !GraphicsContext) return 0;
  int32_t viewport[4];
  ViewportOf(*GraphicsContext, viewport);
  Vec3 window;
  if (!ProjectPoint(PointFromNumbers(x, y, z), &window, viewport, scene->projection,
                    scene->camera)) {
    return 0;
  }
  StoreVector(window, sx, sy, depth);
  return 1;
}

int32_t ScreenToWorld(double sx, double sy, double depth, double* x, double* y, double* z) {
  Rainbows3D* scene = CommandScene();
  if (!scene || !GraphicsContext) return 0;
  int32_t viewport[4];
  ViewportOf(*GraphicsContext, viewport);
  const double row = double(GraphicsContext->windowHeight) - 1.0 - sy;
  Vec3 point;
  if (!UnprojectPoint(PointFromNumbers(sx, row, depth), &point, viewport, scene->projection,
                      scene->camera)) {
    return 0;
  }
  StoreVector(point, x, y, z);
  return 1;
}
