// The VOX writer: sizes, cells slice by slice with a progress step each, palette.
#include "tool/vox_writer.h"

#include "core/number_text.h"
#include "core/str_value.h"
#include "system/file_commands.h"
#include "tool/tool_globals.h"
#include "tool/tool_screen.h"

namespace {

constexpr int32_t kVoxChannel = 1;
constexpr int32_t kEmptyCellByte = 255;

void WriteSlice(double z) {
  const ToolState& g = ToolGlobals;
  for (double x = 1; x <= g.VoxSizeX; ++x) {
    for (double y = 1; y <= g.VoxSizeY; ++y) {
      const double cell = VoxelAt(x, y, z);
      WriteUInt8(kVoxChannel, cell != 0 ? TruncToI32(cell) : kEmptyCellByte);
    }
  }
}

void WritePalette() {
  ToolState& g = ToolGlobals;
  for (double i = 0; i <= g.PaletteCount; ++i) {
    for (DimArray* channel : {&g.PaletteRed, &g.PaletteGreen, &g.PaletteBlue}) {
      WriteUInt8(kVoxChannel, TruncToI32(ToolNumberAt(*channel, i)));
    }
  }
}

}  // namespace

double WriteVoxFile() {
  ToolState& g = ToolGlobals;
  g.VoxSizeX = g.GridSizeX < g.GridSizeY ? g.GridSizeY : g.GridSizeX;
  g.VoxSizeY = g.GridSizeY;
  g.VoxSizeZ = g.GridSizeZ < g.GridSizeY ? g.GridSizeY : g.GridSizeZ;
  OpenFile(kVoxChannel, g.OutputName + ".vox", 0);
  for (double size : {g.VoxSizeX, g.VoxSizeY, g.VoxSizeZ}) WriteLong(kVoxChannel, TruncToI32(size));
  for (double z = 1; z <= g.VoxSizeZ; ++z) {
    WriteSlice(z);
    const ProgressBar bar{320, 80, ProgressBarWidth(z, g.VoxSizeZ), kVoxProgressBarColour};
    ProgressStep("Writing VOX file...", &bar, z + 1 > g.VoxSizeZ);
  }
  WritePalette();
  CloseFile(kVoxChannel);
  return 0;
}
