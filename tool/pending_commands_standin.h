// Temporary: the 3D commands and face generation the tool calls, until they land.
#pragma once

#include <cstdint>

#include "core/str.h"

void Begin3DMode(double nearClip, double farClip, double fov);
void End3DMode();
void SetModelTexture(int32_t spriteA, int32_t spriteB);
void SetCullMode(int32_t n);
void SetCamera(double eyeX, double eyeY, double eyeZ, double targetX, double targetY,
               double targetZ);
void SetMovement(double x, double y, double z);
void AddRotation(double angle, double x, double y, double z);
void DrawObject3D(int32_t object, int32_t frame);
void SetNormalMode(int32_t n);
double GenerateFaces(const Str& name, double object);
