// Camera and entity-transform commands over the scene's transform stack.
#include "gfx3d/transform_commands.h"

#include "gfx3d/camera_projection.h"
#include "gfx3d/scene_command_checks.h"
#include "gfx3d/transforms.h"

void SetCameraUpVector(double x, double y, double z) {
  if (Rainbows3D* scene = CommandScene()) SetCameraUp(*scene, Narrow(x), Narrow(y), Narrow(z));
}

void SetCamera(double eyeX, double eyeY, double eyeZ, double targetX, double targetY,
               double targetZ) {
  if (Rainbows3D* scene = CommandScene()) {
    SetCameraLookAt(*scene, PointFromNumbers(eyeX, eyeY, eyeZ),
                    PointFromNumbers(targetX, targetY, targetZ));
  }
}

void SetMovement(double x, double y, double z) {
  if (Rainbows3D* scene = CommandScene()) SetMovement(*scene, Narrow(x), Narrow(y), Narrow(z));
}

void SetScaling(double x, double y, double z) {
  if (Rainbows3D* scene = CommandScene()) SetScaling(*scene, Narrow(x), Narrow(y), Narrow(z));
}

void AddRotation(double angle, double x, double y, double z) {
  if (Rainbows3D* scene = CommandScene())
    AddRotation(*scene, Narrow(angle), Narrow(x), Narrow(y), Narrow(z));
}

void PushTransform() {
  if (Rainbows3D* scene = CommandScene()) PushTransform(*scene);
}

void PopTransform() {
  if (Rainbows3D* scene = CommandScene()) PopTransform(*scene);
}

void AddTransformMatrix(DimArray& values) {
  if (Rainbows3D* scene = CommandScene()) AddTransformMatrix(*scene, values);
}

void GetEntityMatrix(DimArray& out) {
  if (Rainbows3D* scene = CommandScene()) GetEntityMatrix(*scene, out);
}

void GetCameraMatrix(DimArray& out) {
  if (Rainbows3D* scene = CommandScene()) GetCameraMatrix(*scene, out);
}
