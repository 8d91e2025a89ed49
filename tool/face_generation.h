// The voxel box into the model: six passes over the box, one per face direction, hand every
// solid voxel to the face emitter; the faces fill 3D object `object` and the OBJ lists, and the
// object is saved as `name` + ".kmo".
#pragma once

#include "core/str.h"

// Returns 0. An empty box builds no object and writes no model file.
double GenerateFaces(const Str& name, double object);

// GenerateFaces in its two halves, for the program, which gives the voxel box back between
// them: the object begun and filled by the six passes (true when a face was emitted), then the
// object ended and saved.
bool BuildFaces(double object);
void FinishFaces(const Str& name, double object, bool hasFaces);
