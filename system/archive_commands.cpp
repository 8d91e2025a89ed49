// SetArchiveFiles over the two archive objects.
#include "system/archive_commands.h"

#include <string_view>

#include "system/pack_archive.h"

void SetArchiveFiles(const Str& memoryArchiveName, const Str& fileArchiveName) {
  PackArchiveSetName(MemoryArchive,
                     std::string_view(memoryArchiveName.data, memoryArchiveName.length));
  PackArchiveSetName(FileArchive, std::string_view(fileArchiveName.data, fileArchiveName.length));
}
