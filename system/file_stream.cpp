// Read streams over the platform's file helpers and the registry of memory blocks.
#include "system/file_stream.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <new>

#include "platform/files.h"

namespace {

// Disk lines are read in pieces this long, so no more than one piece is read past a line.
constexpr int32_t kLinePiece = 64;
// Whole files are read in pieces this long.
constexpr int32_t kWholeReadPiece = 1 << 20;

bool ReadDisk(FileStream& stream, void* buffer, int32_t n) {
  stream.position += n;
  return platform::ReadFull(stream.descriptor, buffer, size_t(n)) == n;
}

// The bytes a memory read may take at the position, or -1 when the position lies outside.
int64_t MemoryRemaining(const FileStream& stream) {
  if (stream.position < 0 || stream.position > stream.size) return -1;
  return stream.size - stream.position;
}

const uint8_t* MemoryAtPosition(const FileStream& stream) {
  return stream.memory->data() + stream.position;
}

// Puts the line's end where a '\n' (or a '\r' just before it) stood in the buffer.
void EndLineAt(char* buffer, int64_t end) {
  buffer[end] = 0;
  if (end > 0 && buffer[end - 1] == '\r') buffer[end - 1] = 0;
}

bool ReadDiskLine(FileStream& stream, char* buffer, int32_t n) {
  int32_t taken = 0;
  while (taken < n) {
    const int32_t asked = std::min(kLinePiece, n - taken);
    const int64_t got = platform::ReadFull(stream.descriptor, buffer + taken, size_t(asked));
    if (got < 0) return false;
    stream.position += got;
    // The end of the file ends a line that has begun as a '\n' would, whatever piece it falls in.
    if (got == 0 && taken == 0) return false;
    if (got < asked) buffer[taken + got] = '\n';
    const void* mark = std::memchr(buffer + taken, '\n', size_t(got < asked ? got + 1 : got));
    if (mark) {
      const int64_t offset = static_cast<const char*>(mark) - (buffer + taken);
      stream.position += offset - got + 1;
      platform::SeekDescriptor(stream.descriptor, stream.position, platform::SeekFrom::Start);
      EndLineAt(buffer, taken + offset);
      return true;
    }
    taken += int32_t(got);
  }
  buffer[n] = 0;
  return true;
}

bool ReadMemoryLine(FileStream& stream, char* buffer, int32_t n, LastLineEnd memoryEnd) {
  const int64_t remaining = MemoryRemaining(stream);
  if (remaining <= 0) return false;
  const int64_t limit = std::min<int64_t>(remaining, n);
  const uint8_t* from = MemoryAtPosition(stream);
  const void* mark = std::memchr(from, '\n', size_t(limit));
  const int64_t length = mark ? static_cast<const uint8_t*>(mark) - from : limit;
  std::memcpy(buffer, from, size_t(length));
  if (mark) {
    EndLineAt(buffer, length);
  } else {
    buffer[length] = 0;  // a '\r' is dropped only before a '\n'
  }
  stream.position += length;
  const bool reachedEnd = length == remaining;
  if (mark || (reachedEnd && memoryEnd == LastLineEnd::PastEnd)) stream.position += 1;
  return true;
}

}  // namespace

FileStream::~FileStream() {
  FileStreamClose(*this);
}

bool FileStreamOpen(FileStream& stream, const char* name) {
  FileStreamClose(stream);
  if (!name || !*name) return false;
  if (IsMemoryFileName(name)) {
    stream.memory = OpenMemoryFileName(name);
    if (!stream.memory) return false;
    stream.size = int64_t(stream.memory->size());
    return true;
  }
  stream.descriptor = platform::OpenForRead(name);
  if (stream.descriptor < 0) return false;
  stream.size = std::max<int64_t>(platform::DescriptorSize(stream.descriptor), 0);
  return true;
}

bool FileStreamRead(FileStream& stream, void* buffer, int32_t n) {
  if (n < 0 || stream.position < 0) return false;
  if (stream.descriptor >= 0) return ReadDisk(stream, buffer, n);
  if (!stream.memory) return false;
  const int64_t remaining = MemoryRemaining(stream);
  if (remaining < 0) return false;
  const int64_t count = std::min<int64_t>(remaining, n);
  if (count > 0) std::memcpy(buffer, MemoryAtPosition(stream), size_t(count));
  stream.position += count;
  return true;
}

bool FileStreamReadExact(FileStream& stream, void* buffer, int32_t n) {
  if (stream.memory && MemoryRemaining(stream) < n) return false;
  return FileStreamRead(stream, buffer, n);
}

bool FileStreamRead32(FileStream& stream, void* buffer) {
  const bool complete = FileStreamRead(stream, buffer, 4);
  if constexpr (std::endian::native == std::endian::big) {
    std::reverse(static_cast<uint8_t*>(buffer), static_cast<uint8_t*>(buffer) + 4);
  }
  return complete;
}

bool FileStreamReadLine(FileStream& stream, char* buffer, int32_t n, LastLineEnd memoryEnd) {
  if (n < 1) {
    if (n == 0) buffer[0] = 0;
    return true;
  }
  if (stream.position < 0) return false;
  if (stream.descriptor >= 0) return ReadDiskLine(stream, buffer, n);
  if (stream.memory) return ReadMemoryLine(stream, buffer, n, memoryEnd);
  return false;
}

bool FileStreamSeek(FileStream& stream, int64_t position) {
  if (position < 0 || position > stream.size || (stream.descriptor < 0 && !stream.memory)) {
    return false;
  }
  if (stream.descriptor >= 0 && platform::SeekDescriptor(stream.descriptor, position,
                                                         platform::SeekFrom::Start) != position) {
    return false;
  }
  stream.position = position;
  return true;
}

void FileStreamClose(FileStream& stream) {
  platform::CloseDescriptor(stream.descriptor);
  stream.descriptor = -1;
  stream.memory.reset();
  stream.size = 0;
  stream.position = 0;
}

bool FileStreamReadWhole(FileStream& stream, std::string& bytes) {
  try {
    bytes.resize(size_t(stream.size));
  } catch (const std::bad_alloc&) {
    return false;
  }
  for (int64_t done = 0; done < stream.size;) {
    const int32_t piece = int32_t(std::min<int64_t>(stream.size - done, kWholeReadPiece));
    if (!FileStreamReadExact(stream, bytes.data() + done, piece)) return false;
    done += piece;
  }
  return true;
}

std::string_view NextLine(std::string_view bytes, size_t& position) {
  const size_t start = position;
  size_t end = bytes.find('\n', start);
  position = end == std::string_view::npos ? bytes.size() : end + 1;
  if (end == std::string_view::npos) end = bytes.size();
  if (end > start && bytes[end - 1] == '\r') --end;
  return bytes.substr(start, end - start);
}
