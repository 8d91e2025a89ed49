// Packed-data archives: any bytes are searched and unpacked or refused without reading or
// writing out of bounds, and without allocating more than the archive could hold.
#include "system/archive_format.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ByteArchiveReader reader({data, size});
  for (const char* name : {"data/hero.png", "A.TXT", "ero.png"}) {
    ArchiveEntry entry;
    if (FindArchiveEntry(reader, ArchiveBaseName(name), entry) != ArchiveSearch::Found) continue;
    std::vector<uint8_t> bytes;
    UnpackArchiveEntry(reader, entry, bytes);
    ArchiveTempFileName("/tmp/", entry);
  }
  return 0;
}
