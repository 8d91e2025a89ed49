// The VOX writer: sizes, cells slice by slice with a progress step each, palette.
#include "tool/vox_writer.h"

#include "core/number_text.h"
#include "core/str_value.h"
#include "tool/output_file.h"
#include "tool/tool_globals.h"
#include "tool/tool_screen.h"

namespace {

constexpr int32_t kEmptyCellByte = 255;

void PutByte(OutputFile& file, int32_t value) {
  file.Bytes() += char(value & 255);
}

void PutLong(OutputFile& file, int32_t value) {
  for (int shift = 0; shift < 32; shift += 8) PutByte(file, int32_t(uint32_t(value) >> shift));
}

void WriteSlice(OutputFile& file, double z) {
  const ToolState& g = ToolGlobals;
  for (double x = 1; x <= g.VoxSizeX; ++x) {
    const VoxelLine column = VoxelColumnAlongY(x, z);
    for (double y = 1; y <= g.VoxSizeY; ++y) {
      const double cell = column[TruncToI32(y)];
      PutByte(file, cell != 0 ? TruncToI32(cell) : kEmptyCellByte);
    }
  }
  file.Spill();
}

void WritePalette(OutputFile& file) {
  ToolState& g = ToolGlobals;
  for (double i = 0; i <= g.PaletteCount; ++i) {
    for (DimArray* channel : {&g.PaletteRed, &g.PaletteGreen, &g.PaletteBlue}) {
      PutByte(file, TruncToI32(ToolNumberAt(*channel, i)));
    }
  }
}

}  // namespace

double WriteVoxFile() {
  ToolState& g = ToolGlobals;
  g.VoxSizeX = g.GridSizeX < g.GridSizeY ? g.GridSizeY : g.GridSizeX;
  g.VoxSizeY = g.GridSizeY;
  g.VoxSizeZ = g.GridSizeZ < g.GridSizeY ? g.GridSizeY : g.GridSizeZ;
  OutputFile file(g.OutputName + ".vox");
  for (double size : {g.VoxSizeX, g.VoxSizeY, g.VoxSizeZ}) PutLong(file, TruncToI32(size));
  for (double z = 1; z <= g.VoxSizeZ; ++z) {
    WriteSlice(file, z);
    const ProgressBar bar{320, 80, ProgressBarWidth(z, g.VoxSizeZ), kVoxProgressBarColour};
    ProgressStep("Writing VOX file...", &bar, z + 1 > g.VoxSizeZ);
  }
  WritePalette(file);
  file.Close();
  return 0;
}
