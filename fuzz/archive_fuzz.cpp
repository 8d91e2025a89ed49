// Packed-data archives: any bytes are searched and unpacked or refused without reading or
// writing out of bounds, without allocating more than the archive could hold, and without
// leaving a memory block behind.
#include <cstdlib>
#include <string>

#include "system/archive_format.h"
#include "system/memory_blocks.h"
#include "system/pack_archive.h"

namespace {

const char* const kNames[] = {"data/hero.png", "A.TXT", "ero.png"};

void SearchDirectly(const uint8_t* data, size_t size) {
  ByteArchiveReader reader({data, size});
  for (const char* name : kNames) {
    ArchiveEntry entry;
    if (FindArchiveEntry(reader, ArchiveBaseName(name), entry) != ArchiveSearch::Found) continue;
    std::vector<uint8_t> bytes;
    UnpackArchiveEntry(reader, entry, bytes);
  }
}

// The whole resolution, with the archive in a memory block.
void Resolve(const uint8_t* data, size_t size) {
  size_t live = LiveMemoryBlockCount();
  uint32_t token = RegisterMemoryBlock(std::vector<uint8_t>(data, data + size));
  PackArchiveSetName(MemoryArchive, FormatMemoryFileName(uint32_t(size), token));
  for (const char* name : kNames) {
    std::string out;
    if (ResolveFileName(MemoryArchive, name, out, true) && !OpenMemoryFileName(out.c_str()))
      std::abort();
  }
  ReleasePackArchives();
  ReleaseMemoryBlock(token);
  if (LiveMemoryBlockCount() != live) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  SearchDirectly(data, size);
  Resolve(data, size);
  return 0;
}
