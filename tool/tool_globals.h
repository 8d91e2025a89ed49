// The tool's global state, one record with the names the rest of the tool uses. Numbers are
// doubles, as everywhere in the tool; arrays are the runtime's checked arrays.
#pragma once

#include <cstddef>
#include <unordered_map>

#include "core/dim_array.h"
#include "core/str_value.h"
#include "tool/obj_lists.h"

// Voxel cells per axis: indices 0 to 256, so solid cells (1 and up) have an empty border.
inline constexpr int32_t kVoxelAxisCells = 257;
// Palette entries: index 0 (the empty voxel, black) and the colours 1 to 254.
inline constexpr int32_t kPaletteEntries = 255;

struct ToolState {
  ToolState();
  ~ToolState();
  ToolState(const ToolState&) = delete;
  ToolState& operator=(const ToolState&) = delete;

  DimArray Voxels{};  // cell (x, y, z): 0 empty, else a palette index
  // False while cells 0-255 are known to be 0 (fresh or just cleared): clearing then skips its
  // walk, which would otherwise read, and so map, the whole box. Every accessor below sets it.
  bool VoxelsMayHoldCells = false;
  double GridSizeX = 0, GridSizeY = 0, GridSizeZ = 0;
  double TransparentColor = 0;  // 0x00BBGGRR that the scan skips
  double PaletteCount = 0;
  DimArray PaletteColors{}, PaletteRed{}, PaletteGreen{}, PaletteBlue{};
  // Beside the palette: the index of each colour it holds, black (0) at index 0.
  std::unordered_map<double, double> PaletteIndexes{{0.0, 0.0}};
  StrValue ImageFileName, OutputName;
  double ReduceFaces = 0;
  double NextObjVertex = 0;
  ObjNumberList ObjPositions, ObjTexCoords, ObjNormals;
  ObjFaceList ObjFaceLines;
  ObjNumberList ObjMaterialLines;  // each face's palette index: "usemtl " + its material name
  double SkipCountX = 0, SkipCountZ = 0;
  double ObjectCount = 0, ViewObject = 0, SpinAngle = 0, QuitViewer = 0;
  double ShownFps = 0, FpsAverage = 0, FpsTimeSum = 0, FrameTime = 0;
  double VoxSizeX = 0, VoxSizeY = 0, VoxSizeZ = 0;  // held while the VOX file is written
};

extern ToolState ToolGlobals;

void InitToolGlobals();
// The main program's own set-up: the zeroed voxel box and the five empty OBJ lists.
void MakeToolArrays();
// The five OBJ lists empty, their storage given back.
void EmptyObjLists();
// The voxel box given back once the faces are made; MakeToolArrays makes it anew.
void ReleaseVoxels();

// Checked element access with the tool's number indices, truncated toward zero.
double& ToolNumberAt(DimArray& a, double i0, double i1 = 0, double i2 = 0);
Str& ToolStringAt(DimArray& a, double i0);
double& VoxelAt(double x, double y, double z);

// One line of the voxel box along an axis, for the long loops: both of its ends are checked
// once, the cells between are read directly. Indexed by the cell number on that axis (0-256).
struct VoxelLine {
  double* first;
  ptrdiff_t stride;
  double& operator[](int32_t i) const { return first[i * stride]; }
};
VoxelLine VoxelRowAlongX(double y, double z);
VoxelLine VoxelColumnAlongY(double x, double z);
VoxelLine VoxelLineAlongZ(double x, double y);

// Back to the state of program start (tests only).
void ResetToolStateForTests();
