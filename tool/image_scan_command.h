// The scan as the tool's main program runs it: the layout questions on the screen, the strip
// loaded as sprite 0, every tile drawn and read back into the voxel box and the palette.
#pragma once

#include "core/str.h"
#include "tool/image_scan.h"

// The questions in their order, each on a fresh frame: a custom transparent colour (its three
// components only when one is wanted), the read type, the tile width and height, the layers and
// mirroring.
ScanAnswers AskScanQuestions();

// Asks, loads the image, ends the program when the box cannot hold the answer, scans, and
// leaves the whole strip drawn at (0, 0) on the frame. Answers 0, which the caller ignores.
double ScanImageToVoxels(const Str& fileName);
