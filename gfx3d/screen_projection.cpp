// Projecting and unprojecting single points.
#include "gfx3d/screen_projection.h"

int ProjectPoint(Vec3 point, Vec3* window, const int32_t viewport[4], const Mat4& projection,
                 const Mat4& camera) {
  const Vec4 eye = camera * Vec4{point.x, point.y, point.z, 1.0f};
  const Vec4 clip = projection * eye;
  if (clip.w == 0.0f) return 0;
  const float nx = clip.x / clip.w, ny = clip.y / clip.w, nz = clip.z / clip.w;
  const float width = float(viewport[2]), height = float(viewport[3]);
  window->x = float(viewport[0]) + width * (1.0f + nx) * 0.5f;
  window->y = height - (float(viewport[1]) + height * (1.0f + ny) * 0.5f);
  window->z = (1.0f + nz) * 0.5f;
  return 1;
}

int UnprojectPoint(Vec3 window, Vec3* point, const int32_t viewport[4], const Mat4& projection,
                   const Mat4& camera) {
  Mat4 inverse;
  if (!CofactorInverse(projection * camera, &inverse)) return 0;
  const Vec4 device{2.0f * (window.x - float(viewport[0])) / float(viewport[2]) - 1.0f,
                    2.0f * (window.y - float(viewport[1])) / float(viewport[3]) - 1.0f,
                    2.0f * window.z - 1.0f, 1.0f};
  const Vec4 world = inverse * device;
  if (world.w == 0.0f) return 0;
  *point = {world.x / world.w, world.y / world.w, world.z / world.w};
  return 1;
}
