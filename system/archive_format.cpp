// Trailer, directory and entry reading for packed-data archives.
#include "system/archive_format.h"

#include <cstring>
#include <new>

#include "system/compression_buffer.h"
#include "system/little_endian.h"

namespace {

constexpr char kTrailerMagic[3] = {'q', 'z', 'X'};
constexpr int64_t kTrailerSize = 7;
constexpr int32_t kPackedHeaderSize = 4;  // the unpacked length before the LZO1X stream

char AsciiLower(char c) {
  return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

bool EqualNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  return true;
}

// Reads the directory front to back.
class DirectoryCursor {
 public:
  DirectoryCursor(ArchiveReader& archive, int64_t at) : archive_(archive), at_(at) {}

  bool Read(void* into, size_t count) {
    if (!archive_.ReadAt(at_, into, count)) return false;
    at_ += int64_t(count);
    return true;
  }

  bool ReadI32(int32_t& value) {
    uint8_t word[4];
    if (!Read(word, sizeof word)) return false;
    value = int32_t(LoadLe32(word));
    return true;
  }

 private:
  ArchiveReader& archive_;
  int64_t at_;
};

// No LZO1X stream unpacks to more than 255 bytes per packed byte and a few more per token; an
// entry announcing more is damaged.
uint64_t LargestUnpackedLength(int32_t packedLength) {
  return 256 * uint64_t(packedLength) + 64;
}

// Offsets count from the end when the trailer's offset is negative, whatever their own sign.
int64_t ResolveOffset(int64_t archiveSize, bool fromEnd, int32_t offset) {
  return fromEnd ? archiveSize + offset : offset;
}

}  // namespace

bool ByteArchiveReader::ReadAt(int64_t offset, void* into, size_t count) {
  if (offset < 0 || uint64_t(offset) > bytes_.size() || count > bytes_.size() - size_t(offset))
    return false;
  if (count) std::memcpy(into, bytes_.data() + offset, count);
  return true;
}

std::string_view ArchiveBaseName(std::string_view name) {
  size_t slash = name.find_last_of("/\\");
  return slash == std::string_view::npos ? name : name.substr(slash + 1);
}

ArchiveSearch FindArchiveEntry(ArchiveReader& archive, std::string_view baseName,
                               ArchiveEntry& entry) {
  int64_t size = archive.Size();
  char magic[3];
  DirectoryCursor trailer(archive, size - kTrailerSize);
  if (size < kTrailerSize || !trailer.Read(magic, sizeof magic)) return ArchiveSearch::NotFound;
  if (std::memcmp(magic, kTrailerMagic, sizeof magic) != 0) return ArchiveSearch::NotAnArchive;
  int32_t directoryOffset;
  if (!trailer.ReadI32(directoryOffset)) return ArchiveSearch::NotFound;
  bool fromEnd = directoryOffset < 0;

  DirectoryCursor directory(archive, ResolveOffset(size, fromEnd, directoryOffset));
  for (;;) {
    uint8_t nameLength;
    if (!directory.Read(&nameLength, 1) || nameLength == 0) return ArchiveSearch::NotFound;
    char name[256];
    if (!directory.Read(name, nameLength)) return ArchiveSearch::NotFound;
    int32_t dataOffset, packedLength;
    if (!directory.ReadI32(dataOffset) || !directory.ReadI32(packedLength))
      return ArchiveSearch::NotFound;
    std::string_view stored(name, strnlen(name, nameLength));
    if (!EqualNoCase(stored, baseName)) continue;
    entry = {std::string(stored), dataOffset, packedLength,
             ResolveOffset(size, fromEnd, dataOffset)};
    return ArchiveSearch::Found;
  }
}

bool UnpackArchiveEntry(ArchiveReader& archive, const ArchiveEntry& entry,
                        std::vector<uint8_t>& bytes) {
  int64_t size = archive.Size();
  if (entry.packedLength < kPackedHeaderSize || entry.dataStart < 0 ||
      entry.dataStart > size - entry.packedLength)
    return false;
  try {
    std::vector<uint8_t> packed(size_t(entry.packedLength));
    if (!archive.ReadAt(entry.dataStart, packed.data(), packed.size())) return false;
    if (LoadLe32(packed.data()) > LargestUnpackedLength(entry.packedLength)) return false;
    auto unpacker = MakeCompressBuffer();
    unpacker->mode = kCompressModeLzo1x;
    if (!CompressBufferDecode(*unpacker, packed.data(), packed.size())) return false;
    bytes = std::move(unpacker->output);
    return true;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

std::string ArchiveTempFileName(std::string_view tempFolder, const ArchiveEntry& entry) {
  std::string name(tempFolder);
  name += "qzx";
  name += char('A' + uint8_t(entry.dataOffset) % 26);
  name += char('A' + uint8_t(entry.packedLength) % 26);
  name += entry.name;
  return name;
}
