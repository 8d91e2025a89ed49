// The archive objects and ResolveFileName, over the platform's file helpers and the registry
// of memory blocks.
#include "system/pack_archive.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "platform/file_system.h"
#include "platform/files.h"
#include "system/archive_format.h"
#include "system/memory_blocks.h"

PackArchive MemoryArchive;
PackArchive FileArchive;

namespace {

// The directory is read a few bytes at a time; a window of the file serves those reads, so a
// walk over many entries costs a few system calls rather than two per field.
class DiskArchiveReader final : public ArchiveReader {
 public:
  explicit DiskArchiveReader(int fd)
      : fd_(fd), size_(std::max<int64_t>(platform::DescriptorSize(fd), 0)) {}
  ~DiskArchiveReader() override { platform::CloseDescriptor(fd_); }
  DiskArchiveReader(const DiskArchiveReader&) = delete;
  DiskArchiveReader& operator=(const DiskArchiveReader&) = delete;

  int64_t Size() override { return size_; }

  bool ReadAt(int64_t offset, void* into, size_t count) override {
    if (offset < 0 || uint64_t(offset) > uint64_t(size_) || count > uint64_t(size_ - offset))
      return false;
    if (count == 0) return true;
    if (count > kWindowSize) return ReadFromFile(offset, into, count);
    if (offset < windowStart_ || offset + int64_t(count) > windowStart_ + int64_t(window_.size())) {
      window_.resize(size_t(std::min<int64_t>(kWindowSize, size_ - offset)));
      windowStart_ = offset;
      if (!ReadFromFile(offset, window_.data(), window_.size())) {
        window_.clear();
        return false;
      }
    }
    std::memcpy(into, window_.data() + (offset - windowStart_), count);
    return true;
  }

 private:
  static constexpr size_t kWindowSize = 4096;

  bool ReadFromFile(int64_t offset, void* into, size_t count) {
    return platform::SeekDescriptor(fd_, offset, platform::SeekFrom::Start) == offset &&
           platform::ReadFull(fd_, into, count) == int64_t(count);
  }

  int fd_;
  int64_t size_;
  std::vector<uint8_t> window_;
  int64_t windowStart_ = 0;
};

// An archive held in a memory block; the reference keeps it alive while it is searched.
class BlockArchiveReader final : public ArchiveReader {
 public:
  explicit BlockArchiveReader(MemoryBlock block) : block_(std::move(block)), bytes_(*block_) {}
  int64_t Size() override { return bytes_.Size(); }
  bool ReadAt(int64_t offset, void* into, size_t count) override {
    return bytes_.ReadAt(offset, into, count);
  }

 private:
  MemoryBlock block_;
  ByteArchiveReader bytes_;
};

std::unique_ptr<ArchiveReader> OpenArchive(const std::string& archiveName) {
  if (IsMemoryFileName(archiveName.c_str())) {
    MemoryBlock block = OpenMemoryFileName(archiveName.c_str());
    if (!block) return nullptr;
    return std::make_unique<BlockArchiveReader>(std::move(block));
  }
  int fd = platform::OpenForRead(archiveName);
  if (fd < 0) return nullptr;
  return std::make_unique<DiskArchiveReader>(fd);
}

// Exists and is not a folder; links are followed.
bool IsExistingFile(const char* name) {
  return platform::KindOfPath(name) == platform::PathKind::File;
}

bool HandOutMemory(PackArchive& archive, std::vector<uint8_t> bytes, std::string& out) {
  uint32_t size = uint32_t(bytes.size());
  uint32_t token = RegisterMemoryBlock(std::move(bytes));
  if (token == 0) return false;
  archive.memoryBlock = token;
  out = FormatMemoryFileName(size, token);
  return true;
}

// A copy that did not reach the disk whole is removed rather than handed out as complete.
bool HandOutTempFile(PackArchive& archive, const std::string& tempName,
                     const std::vector<uint8_t>& bytes, std::string& out) {
  if (IsMemoryFileName(tempName.c_str())) return false;
  // The temporary folder is shared: the copy is private, and a name someone else made in the
  // meantime (a link to their file, say) is never written through.
  platform::RemoveFileOrFolder(tempName);
  int fd = platform::CreatePrivateFile(tempName);
  if (fd < 0) return false;
  bool written = bytes.empty() || platform::WriteFull(fd, bytes.data(), bytes.size());
  platform::CloseDescriptor(fd);
  if (!written) {
    platform::RemoveFileOrFolder(tempName);
    return false;
  }
  archive.tempFileName = tempName;
  out = tempName;
  return true;
}

}  // namespace

void PackArchiveRelease(PackArchive& archive) {
  ReleaseMemoryBlock(archive.memoryBlock);
  archive.memoryBlock = 0;
  if (!archive.tempFileName.empty()) platform::RemoveFileOrFolder(archive.tempFileName);
  archive.tempFileName.clear();
}

void PackArchiveSetName(PackArchive& archive, std::string_view archiveName) {
  archive.valid = true;
  PackArchiveRelease(archive);
  archive.archiveName.assign(archiveName);
}

void ReleasePackArchives() {
  PackArchiveSetName(FileArchive, "");
  PackArchiveSetName(MemoryArchive, "");
}

bool ResolveFileName(PackArchive& archive, const char* name, std::string& out, bool wantMemory) {
  PackArchiveRelease(archive);
  out.clear();
  if (!name || !*name) return false;
  out = name;
  if (strnlen(name, platform::kMaxNameBytes) >= platform::kMaxNameBytes) return false;
  if (IsExistingFile(name)) return true;
  if (!archive.valid) return false;
  std::unique_ptr<ArchiveReader> reader;
  if (!archive.archiveName.empty()) reader = OpenArchive(archive.archiveName);
  if (!reader) {
    archive.valid = false;
    return false;
  }

  ArchiveEntry entry;
  ArchiveSearch search = FindArchiveEntry(*reader, ArchiveBaseName(name), entry);
  if (search == ArchiveSearch::NotAnArchive) {
    archive.valid = false;
    return false;
  }
  out.clear();
  std::vector<uint8_t> bytes;
  if (search != ArchiveSearch::Found || !UnpackArchiveEntry(*reader, entry, bytes)) return false;
  reader.reset();  // the archive is closed before anything is handed out
  if (wantMemory) return HandOutMemory(archive, std::move(bytes), out);
  return HandOutTempFile(archive, ArchiveTempFileName(platform::TempFolder(), entry), bytes, out);
}
