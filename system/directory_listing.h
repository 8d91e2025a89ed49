// The program's listing of the current folder into a string array: the folders first, then
// the files whose names match a wildcard pattern, each group in case-insensitive order.
#pragma once

#include <cstdint>

#include "core/dim_array.h"
#include "core/str.h"

// The array becomes exactly the names listed (folders unfiltered, "." and ".." among them; a
// link to a folder counts as a folder). Answers their count; 0 and an empty array when the
// folder cannot be read. The error code is left alone.
int32_t ListDirectory(const Str& pattern, DimArray& out);
