// Building a 3D object vertex by vertex: start it in a slot, select animation frames, set the
// normal, add vertices and break markers, end it. One object is built at a time; it has one part
// and every frame of a finished object holds as many build records as frame 0.
#pragma once

#include <cstdint>

class Rainbows3D;

// The slot being built; -1 while no object is being built.
extern int32_t BuildObjectIndex;

// Empties slot n (deleting its GL names) and makes it the object being built, with one part,
// frame 0 and a first break marker of the given mode. An object number outside 0 .. 4095 changes
// nothing.
void ObjectStart(Rainbows3D& scene, int32_t object, int32_t breakMode);
// Frame f becomes the frame being built; frames up to it are made, each new one starting with
// frame 0's first record. Negative frames, and frames that cannot be had, change nothing.
void ObjectSelectFrame(Rainbows3D& scene, int32_t frame);
void SetBuildVertexNormal(Rainbows3D& scene, float x, float y, float z);
// Appends a vertex (v stored negated) and prints "<frame> <records>" to standard output.
void ObjectAddVertex(Rainbows3D& scene, float x, float y, float z, float u, float v,
                     uint32_t colour);
// Mode 0 opens a triangle list, 2 a fan, any other a strip.
void ObjectAddBreak(Rainbows3D& scene, int32_t mode);
// Checks and finishes the object: colour table, normals by the scene's normal mode,
// triangulation and bounds. True when the object is finished and in use; building ends either
// way.
bool ObjectEnd(Rainbows3D& scene);
