// The tool's program hooks.
#include "tool/tool_program.h"

#include "gfx2d/gfx2d_layer.h"
#include "gfx3d/scene_runtime_hooks.h"
#include "net/network_runtime_hooks.h"
#include "tool/project_settings.h"
#include "tool/tool_hooks.h"
#include "tool/tool_main.h"

namespace {

constexpr LayerInstaller kToolLayers[] = {InstallGfx2dLayer, InstallGfx3dLayer,
                                          InstallNetworkLayer, nullptr};

}  // namespace

ProgramHooks ToolProgramHooks() {
  return {ProjectSettings, ToolMain, ToolUserFunctions, kToolLayers,
          {ProjectBuildStamp, ProjectHostId, ProjectVersion}};
}
