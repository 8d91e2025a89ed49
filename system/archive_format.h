// The packed-data archive format, read over any random-access bytes. An archive ends with a
// 7-byte trailer, "qzX" and an i32 directory offset; the directory lists entries {u8 name
// length (0 ends it), the name, i32 data offset, i32 packed length}; each entry's data is a
// packed LZO1X block. A negative trailer offset means every offset counts from the end.
// Nothing read from the archive is trusted: a damaged archive answers "not found".
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The bytes of one archive: a disk file or a memory block.
class ArchiveReader {
 public:
  virtual ~ArchiveReader() = default;
  virtual int64_t Size() = 0;
  // Exactly count bytes at offset; false when they are not all there.
  virtual bool ReadAt(int64_t offset, void* into, size_t count) = 0;
};

class ByteArchiveReader final : public ArchiveReader {
 public:
  explicit ByteArchiveReader(std::span<const uint8_t> bytes) : bytes_(bytes) {}
  int64_t Size() override { return int64_t(bytes_.size()); }
  bool ReadAt(int64_t offset, void* into, size_t count) override;

 private:
  std::span<const uint8_t> bytes_;
};

struct ArchiveEntry {
  std::string name;      // as stored, up to its first NUL
  int32_t dataOffset;    // as stored
  int32_t packedLength;  // as stored
  int64_t dataStart;     // from the start of the archive
};

enum class ArchiveSearch {
  NotAnArchive,  // no "qzX" trailer: the archive is not worth opening again
  NotFound,      // no such entry, or the trailer or directory could not be read
  Found,
};

// The part of a requested name after its last '/' or '\'.
std::string_view ArchiveBaseName(std::string_view name);

// Walks the directory for the first entry equal to baseName without regard to ASCII case.
ArchiveSearch FindArchiveEntry(ArchiveReader& archive, std::string_view baseName,
                               ArchiveEntry& entry);

// Reads and unpacks the entry's data. False when the data does not lie inside the archive or
// does not unpack: a damaged entry is never handed out as an empty file.
bool UnpackArchiveEntry(ArchiveReader& archive, const ArchiveEntry& entry,
                        std::vector<uint8_t>& bytes);

// The name under which a file-mode lookup writes the entry into the temporary folder: "qzx",
// two letters from the low bytes of the stored offset and length, then the entry's name.
std::string ArchiveTempFileName(std::string_view tempFolder, const ArchiveEntry& entry);
