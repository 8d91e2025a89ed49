// The program's command that chooses the packed-media archives.
#pragma once

#include "core/str.h"

// Points MemoryArchive at the first archive and FileArchive at the second (a disk path or a
// memory name each), after releasing what their last lookups handed out. The names are not
// checked: a missing archive shows only when a lookup in it fails.
void SetArchiveFiles(const Str& memoryArchiveName, const Str& fileArchiveName);
