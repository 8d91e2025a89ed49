// Dynamic libraries: stands in for LoadLibraryA, GetProcAddress and FreeLibrary.
//
// A name holding '/' is opened as given. A bare name is looked for first in the executable's
// folder (where the Windows loader looks first), then through the system's own search
// (LD_LIBRARY_PATH, the cache, the system folders). Names are never rewritten: a library
// declared under a Windows name is simply not found.
//
// What Linux cannot do: names are case-sensitive, so a library named in a case its file does
// not have is not found.
//
// Test seams: none.
#pragma once

namespace platform {

// Null when the library cannot be loaded.
void* OpenLibrary(const char* name);
// Null when the library has no such entry.
void* LibraryEntry(void* library, const char* entryName);
void CloseLibrary(void* library);

}  // namespace platform
