// The model's palette: index 0 is the empty voxel and black; indices 1 to 254 hold the colours
// in the order the scan first meets them.
#pragma once

inline constexpr double kPaletteMaxColours = 254;

// The index of a packed 0x00BBGGRR colour, adding it when new; 0 when the palette is full, so
// the pixel's cell stays empty.
double PaletteAddColor(double colour);
