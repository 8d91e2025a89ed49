// The program's commands that enter and leave 3D drawing and set how the scene draws: the
// textures of drawn objects, face culling, depth testing, the shadow pass and sphere mapping.
#pragma once

#include <cstdint>

// Clears the depth buffer, sets up the projection and a fresh camera and transform stack, and
// starts the frame with culling off, no lights, no shadow light and no 3D textures.
void Begin3DMode(double nearClip, double farClip, double fov);
// Leaves the shadow pass and returns to the 2D render state.
void End3DMode();

void SetSecondTextureFlag(int32_t flag);
// The sprites drawn objects take on texture units 0 and 1 (-1 = none), bound at once.
void SetModelTexture(int32_t spriteA, int32_t spriteB);
void SetUvOffset3D(double u, double v);
// 0 switches culling off; a negative n applies cull mode -1, a positive one mode 1. The mode is
// kept for the billboards.
void SetCullMode(int32_t n);
void SetDepthTestCmd(int32_t on);
void EndShadowsCmd();
void SetSphereMapping(int32_t on);

// The mode SetCullMode last set, which a billboard restores after it drew unculled.
int32_t KeptCullMode();
// Binds the 3D textures the program chose, with the second-texture flag.
void BindSceneTextures();
void ResetModeCommandsForTests();
