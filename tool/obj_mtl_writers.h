// The model as Wavefront OBJ text and its palette as the matching MTL materials, both named
// after the output name, written through file channel 0 with "\r\n" line ends. The OBJ writer
// prints the OBJ lists the face emitter filled; the MTL writer prints one material per palette
// entry, "material" + the index with at least two digits.
#pragma once

#include "core/str_value.h"

// Each returns 0. A file that cannot be created ends the program at the first write.
double WriteObjFile();
double WriteMtlFile();

// "material" + the palette index, with a "0" in front below 10: the name both files use.
StrValue MaterialName(double index);
