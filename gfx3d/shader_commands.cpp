// Shader slots for the program, with messages to the debugger in debug runs.
#include "gfx3d/shader_commands.h"

#include <string>

#include "core/last_error.h"
#include "frame/frame_services.h"
#include "gfx3d/scene_command_checks.h"
#include "gfx3d/shader_slots.h"

void UseShaderCmd(int32_t slot) {
  if (Rainbows3D* scene = CommandScene()) UseShaderSlot(*scene, slot);
}

int32_t LoadShaderCmd(int32_t slot, const Str& vertexFile, const Str& fragmentFile) {
  Rainbows3D* scene = CommandScene();
  if (!scene) return 0;
  return LoadShaderSlot(*scene, slot, vertexFile.data, fragmentFile.data, ShaderLogCallback) ? 1
                                                                                             : 0;
}

void ShaderLogCallback(const char* text) {
  if (DebugFlag) DebugOut((std::string(text) + "\n").c_str());
}
