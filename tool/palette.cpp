// Palette look-up and growth.
#include "tool/palette.h"

#include "core/number_text.h"
#include "tool/tool_globals.h"

double PaletteAddColor(double colour) {
  ToolState& g = ToolGlobals;
  const auto known = g.PaletteIndexes.find(colour);
  if (known != g.PaletteIndexes.end()) return known->second;
  if (g.PaletteCount >= kPaletteMaxColours) return 0;
  g.PaletteCount += 1;
  const double index = g.PaletteCount;
  g.PaletteIndexes.emplace(colour, index);
  ToolNumberAt(g.PaletteColors, index) = colour;
  ToolNumberAt(g.PaletteRed, index) = TruncToI32(colour) & 255;
  ToolNumberAt(g.PaletteGreen, index) = TruncToI32(colour / 256) & 255;
  ToolNumberAt(g.PaletteBlue, index) = TruncToI32(colour / 65536) & 255;
  return index;
}
