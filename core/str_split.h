// Splitting a text into a string array at delimiter characters.
#pragma once

#include <cstdint>

#include "core/dim_array.h"
#include "core/str.h"

// Empties the array (its block and the strings in it are kept and reused) and appends the pieces
// between delimiters; a piece after the last delimiter is appended when it is not empty. With
// dropEmpty, empty pieces are left out. The text may be an element of the array. Returns the
// number of elements. Uses two process-wide work strings: one thread at a time.
int32_t SplitString(const Str& text, DimArray& array, const Str& delimiters, bool dropEmpty);

// Release the two work strings (the runtime keeps them for the whole process).
void SplitTextStrRelease();
void SplitPieceStrRelease();
