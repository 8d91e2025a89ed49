// The voxel box and palette as a VOX file named after the output name, written through file
// channel 1: three int32 sizes, one palette-index byte per cell (255 for an empty cell; z
// outermost, then x, then y), then red, green, blue of palette entries 0 to PaletteCount.
#pragma once

// Returns 0. A file that cannot be created ends the program at the first write.
double WriteVoxFile();
