// The program's open and save dialog.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "core/str.h"
#include "platform/file_dialog.h"

// open non-zero asks for a file to open, 0 for a name to save under. The filter is
// "description|patterns|description|patterns..." with patterns separated by ';'. The answer is
// the chosen path with '/' separators, or "NO_FILE" when nothing was chosen or no dialog could be
// shown. A fullscreen program steps aside while the dialog is up and comes back in its mode;
// the current folder is the same afterwards.
Str FileDialog(int32_t open, const Str& filter);

// The filter text as description and pattern pairs, read up to the first empty part (the
// dialog's list ends there) and from the first 1022 characters only.
std::vector<platform::FileFilter> ParseFileFilter(std::string_view filter);
