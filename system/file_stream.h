// Read streams: how the runtime's own loaders (INI files, the text-line cache, models, sounds,
// images) read a disk file or a memory block named "mem://" without caring which. A stream is
// the caller's own record; nothing here sets the error code or ends the program, every call
// answers success or failure.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "system/memory_blocks.h"

struct FileStream {
  int descriptor = -1;  // -1 = no disk file
  MemoryBlock memory;   // the block being read; null = none
  int64_t size = 0;
  int64_t position = 0;

  FileStream() = default;
  ~FileStream();
  FileStream(const FileStream&) = delete;
  FileStream& operator=(const FileStream&) = delete;
};

// Closes what the stream held, then opens the name (already resolved by the caller) for reading
// at position 0: a memory name gives its block, anything else an existing file that is not a
// folder. False leaves the stream closed.
bool FileStreamOpen(FileStream& stream, const char* name);

// n bytes. From disk, true only when all came (the position moves by n either way); from memory,
// a read that runs out copies what remains and still answers true. n < 0 is false.
bool FileStreamRead(FileStream& stream, void* buffer, int32_t n);

// n bytes, true only when all n came, from disk and memory alike; a memory stream that has
// fewer left delivers nothing and keeps its position.
bool FileStreamReadExact(FileStream& stream, void* buffer, int32_t n);

// Four bytes of a little-endian 32-bit integer or float, in the host's order; the bytes are
// delivered whatever the result says (as FileStreamRead).
bool FileStreamRead32(FileStream& stream, void* buffer);

// Where a memory line that runs into the end of its block leaves the position: streams leave it
// at the end, file channels one past it, as a disk line without '\n' leaves both.
enum class LastLineEnd { AtEnd, PastEnd };

// One line of at most n bytes into a buffer of n + 1 bytes, always terminated; the '\n' and a
// '\r' before it are dropped. A longer line gives its first n bytes and the rest comes with the
// next call. False at the end of the data. On disk no more than 64 bytes are read beyond the
// line, and the file pointer is put back just after it.
bool FileStreamReadLine(FileStream& stream, char* buffer, int32_t n,
                        LastLineEnd memoryEnd = LastLineEnd::AtEnd);

// Every byte of a stream just opened; false when they could not all be read or held.
bool FileStreamReadWhole(FileStream& stream, std::string& bytes);

// The line of bytes that starts at position, however long: it ends at '\n' or at the end of the
// bytes, and a '\r' just before that end is not part of it. position moves past the line's '\n'.
std::string_view NextLine(std::string_view bytes, size_t& position);

// Moves the position to a byte from 0 to the size; false (position kept) outside that range or
// on a closed stream.
bool FileStreamSeek(FileStream& stream, int64_t position);

// Closes the file or forgets the block (it belongs to its maker); harmless on a closed stream.
void FileStreamClose(FileStream& stream);
