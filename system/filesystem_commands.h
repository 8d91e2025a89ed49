// The program's commands on the file system and the process environment that need no file
// channel. Paths may use '/' or '\'; texts handed back use '/'. The archive choice,
// SetArchiveFiles, lives with the archives (system/archive_commands.h).
#pragma once

#include <cstdint>

#include "core/str.h"

// Exists and is not a folder (links followed; letter case counts).
bool FileExists(const Str& path);
bool DirectoryExists(const Str& path);

// The size of a disk file or memory block; 0 and code 3 when it cannot be opened.
int64_t FileSizeOf(const Str& name);

// Removes an empty folder, or deletes anything else (a link, never its target); 1 when done,
// 0 when it could not, also for a file an open channel is writing to.
int32_t DeletePath(const Str& path);
bool CreateDir(const Str& path);

// The current folder ending in '/'; the caller releases it.
Str GetCurrentDir();

// The variable's value ("" when unset); with an empty name every "name=value" entry of the
// environment, each followed by "\n". The caller releases it.
Str GetEnvironment(const Str& name);
// Sets the variable, or removes it for an empty value. The name string becomes "name=value".
void PutEnvironment(Str& name, const Str& value);

// Turns every '\' of the text into '/' in place; answers the length.
int32_t BackslashToSlash(Str& text);

// value 0 reports "Assertion: Value = 0" to the debugger and ends the program with code 21.
void AssertReport(int32_t value);
