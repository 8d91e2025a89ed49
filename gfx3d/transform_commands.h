// The program's camera and entity-transform commands: where the camera looks from, and how the
// next objects drawn or tested are moved, rotated and scaled.
#pragma once

#include "core/dim_array.h"

void SetCameraUpVector(double x, double y, double z);
void SetCamera(double eyeX, double eyeY, double eyeZ, double targetX, double targetY,
               double targetZ);
void SetMovement(double x, double y, double z);
void SetScaling(double x, double y, double z);
// The angle in degrees about the axis (x, y, z).
void AddRotation(double angle, double x, double y, double z);
void PushTransform();
void PopTransform();
// 16 numbers, column-major, in a one-dimensional array; any other array is ignored.
void AddTransformMatrix(DimArray& values);
void GetEntityMatrix(DimArray& out);
void GetCameraMatrix(DimArray& out);
