// File-name resolution for every loader: a name that exists on disk is used as given; otherwise
// it is looked up in a packed-data archive and its entry handed out either as a memory name
// ("mem://", readable until the next lookup through the same object) or as a temporary file for
// consumers that need a real file. The runtime keeps two such objects.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

struct PackArchive {
  bool valid = true;         // false: lookups skip the archive until it is set again
  std::string archiveName;   // disk path or memory name of the archive; empty = none
  std::string tempFileName;  // the file written by the last file-mode lookup; empty = none
  uint32_t memoryBlock = 0;  // registry token of the last memory-mode result; 0 = none
};

// Serves every loader that reads from memory (file channels, the text-line cache, INI files,
// images, fonts, sounds, models, scenes).
extern PackArchive MemoryArchive;
// Serves music and video, which the media layer plays from real files.
extern PackArchive FileArchive;

// Frees the last memory result (readers that opened it keep their reference) and deletes the
// last temporary file (a folder of that name is removed instead).
void PackArchiveRelease(PackArchive& archive);

// Releases the last result, stores the new archive name and makes the archive worth consulting.
void PackArchiveSetName(PackArchive& archive, std::string_view archiveName);

// Empties both objects, the file search first: each forgets its archive, is worth consulting
// again and drops its last result. Start-up and shutdown call it.
void ReleasePackArchives();

// out receives the name to open: the name as given when it exists on disk as a file, a memory
// name or temporary file of the archive's entry, or "" after a full search that found nothing.
// True when out names something readable. Each call releases the previous result of the object,
// so a caller opens what it got before resolving the next name through the same object.
bool ResolveFileName(PackArchive& archive, const char* name, std::string& out, bool wantMemory);
