// Temporary: empty 3D commands and face generation, until they land.
#include "tool/pending_commands_standin.h"

void Begin3DMode(double, double, double) {}
void End3DMode() {}
void SetModelTexture(int32_t, int32_t) {}
void SetCullMode(int32_t) {}
void SetCamera(double, double, double, double, double, double) {}
void SetMovement(double, double, double) {}
void AddRotation(double, double, double, double) {}
void DrawObject3D(int32_t, int32_t) {}
void SetNormalMode(int32_t) {}
double GenerateFaces(const Str&, double) {
  return 0;
}
