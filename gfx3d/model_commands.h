// The program's commands that build, save, measure, scale and read 3D objects. Object numbers
// are 0 .. 4095: BeginModel sets error 7 for any other; the rest then do nothing and answer 0.
#pragma once

#include <cstdint>

#include "core/dim_array.h"
#include "core/str.h"

// n modulo 3 with the sign of n: 0 keeps given normals, 1 makes them flat, 2 smooth; a negative
// mode computes none.
void SetNormalMode(int32_t n);
// Empties the slot and starts building the object in it: 1, or 0 when it could not start.
int32_t BeginModel(int32_t object);
void SetModelFrame(int32_t frame);
void SetModelNormal(double nx, double ny, double nz);
// Colours are 0x00BBGGRR.
void AddModelVertex(double x, double y, double z, double u, double v, int32_t colour);
void NewModelStrip();
// 1 when the object was finished and is in use; 0 otherwise, also with nothing being built.
int32_t EndModel();
// Writes the object's first part as a binary model file: 1 only when the whole file was written.
int32_t SaveModel(const Str& name, int32_t object);
// Gives back the build records of a saved object that is only drawn from now on (see
// ObjectReleaseBuildStreams).
void ReleaseModelBuildStreams(int32_t object);

// The highest free slot, -1 when every slot is in use.
int32_t FindFreeObject();
// Frame 0's triangles over all parts.
int32_t CountObjectTriangles(int32_t object);
// The array becomes 3 x 9 numbers: for each corner of the triangle (counted over the parts in
// order) x, y, z, u, v, the packed colour, nx, ny, nz. A triangle the frame does not have
// leaves it zero.
void GetObjectData(int32_t object, int32_t frame, int32_t triangle, DimArray& out);
void ScaleObjectCmd(int32_t object, double sx, double sy, double sz);
// Rebuilds every part's shadow edges: 1 for an object in use with parts.
int32_t RefreshObjectShadowData(int32_t object);
