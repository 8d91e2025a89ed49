// The tool's globals: the static set-up at program start, the tear-down at exit and the two
// set-ups the main program runs.
#include "tool/tool_globals.h"

#include <new>

#include "core/number_text.h"

ToolState ToolGlobals;

namespace {

void ReleaseNumberArrays(ToolState& s) {
  for (DimArray* a : {&s.Voxels, &s.PaletteColors, &s.PaletteRed, &s.PaletteGreen, &s.PaletteBlue}) {
    ArrayRelease(*a);
  }
}

}  // namespace

ToolState::ToolState() {
  for (DimArray* a : {&PaletteColors, &PaletteRed, &PaletteGreen, &PaletteBlue}) {
    ArrayDimNumberExact(*a, kPaletteEntries, 0, 0, 0);
  }
}

ToolState::~ToolState() {
  ReleaseNumberArrays(*this);
}

void InitToolGlobals() {
  ToolState& g = ToolGlobals;
  g.QuitViewer = g.SpinAngle = g.ViewObject = 0;
  g.ObjectCount = g.ReduceFaces = g.NextObjVertex = 1;
}

void MakeToolArrays() {
  ToolState& g = ToolGlobals;
  ArrayDimNumber(g.Voxels, kVoxelAxisCells, kVoxelAxisCells, kVoxelAxisCells, 0);
  g.VoxelsMayHoldCells = false;
  g.NextObjVertex = 1;
  EmptyObjLists();
}

void EmptyObjLists() {
  ToolState& g = ToolGlobals;
  for (ObjNumberList* list : {&g.ObjPositions, &g.ObjTexCoords, &g.ObjNormals, &g.ObjMaterialLines}) {
    list->Release();
  }
  g.ObjFaceLines.Release();
}

void ReleaseVoxels() {
  ArrayRelease(ToolGlobals.Voxels);
  ToolGlobals.VoxelsMayHoldCells = false;
}

double& ToolNumberAt(DimArray& a, double i0, double i1, double i2) {
  return *ArrayNumberAt(a, TruncToI32(i0), TruncToI32(i1), TruncToI32(i2));
}

Str& ToolStringAt(DimArray& a, double i0) {
  return *ArrayStringAt(a, TruncToI32(i0));
}

double& VoxelAt(double x, double y, double z) {
  ToolGlobals.VoxelsMayHoldCells = true;
  return ToolNumberAt(ToolGlobals.Voxels, x, y, z);
}

namespace {

VoxelLine LineFrom(double* first, double* last) {
  return {first, (last - first) / (kVoxelAxisCells - 1)};
}

}  // namespace

VoxelLine VoxelRowAlongX(double y, double z) {
  return LineFrom(&VoxelAt(0, y, z), &VoxelAt(kVoxelAxisCells - 1, y, z));
}

VoxelLine VoxelColumnAlongY(double x, double z) {
  return LineFrom(&VoxelAt(x, 0, z), &VoxelAt(x, kVoxelAxisCells - 1, z));
}

VoxelLine VoxelLineAlongZ(double x, double y) {
  return LineFrom(&VoxelAt(x, y, 0), &VoxelAt(x, y, kVoxelAxisCells - 1));
}

void ResetToolStateForTests() {
  ToolState& g = ToolGlobals;
  g.~ToolState();
  new (&g) ToolState();
}
