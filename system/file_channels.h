// The eight file channels behind the program's file commands: the open files (or memory blocks
// being read) with their recorded size and position, and a write buffer and a read-ahead window
// per channel so a writer or reader of millions of small values costs what one buffered stream
// costs. The buffer is handed to the
// file before every read, seek and close of its channel and before any file is opened by name,
// so what a reader sees is what was written; the window is dropped at the same points and before
// any write reaches the file. The commands (system/file_commands.h) check the
// channel numbers and turn failures into the program's error codes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_system.h"
#include "system/channel_read_window.h"
#include "system/file_stream.h"

inline constexpr int32_t kFileChannelCount = 8;

struct FileChannel {
  FileStream record;  // the file or block, its size and the recorded position
  bool writable = false;
  std::string name;  // as the program gave it, for the report of bytes that could not be written
  platform::FileIdentity identity;  // of the disk file, so no second channel opens it
  std::vector<uint8_t> pending;     // written bytes the file has not received yet
  size_t pendingCount = 0;
  ChannelReadWindow readAhead;      // bytes read ahead of the reader, disk files only
};

enum class ChannelMode { Read, Replace, Append };

// Channels 0 to 7 only; the table lives until the process ends, when every channel still open
// is written out and closed, 7 down to 0, after the INI and text-line write-backs. That is the
// end of a program that left main without the quit sequence: bytes that could not be written
// then end the process with status 1.
FileChannel& ChannelAt(int32_t channel);

bool ChannelIsOpen(const FileChannel& channel);

// Opens a name that is ready for the file system (read mode: already resolved; a memory name
// only for reading). False when nothing was opened, also when another channel holds the file.
bool ChannelOpen(FileChannel& channel, const char* name, ChannelMode mode);

// True when an open channel holds the file of that name (links followed).
bool FileHeldByChannel(const char* name);

// True when a channel open for writing or appending holds the file of that name.
bool FileHeldByWriteChannel(const char* name);

// Replaces a file the runtime keeps in memory (the INI file, the text-line file) with its new
// bytes, whole or not at all. Refused while a channel writes to that file: the channel's later
// writes would go to a file no longer there.
bool WriteBackUnlessHeld(const std::string& path, std::string_view bytes);

// Every failure to write a channel's bytes to its file is reported once, as it happens:
// "Cannot write <name>: <the system's reason>" to the debug log and to standard error.

// Hands the pending bytes to the file. False when they could not all be written; they are
// dropped then, so the failure is reported once.
bool ChannelFlush(FileChannel& channel);
bool FlushAllChannels();

// Writes out, then closes; false when the pending bytes could not be written or the system
// reports at the close that written bytes were lost.
bool ChannelClose(FileChannel& channel);

// False on a channel that cannot be written (closed, memory, opened for reading) or when a
// full buffer could not be written.
bool ChannelWrite(FileChannel& channel, const void* bytes, size_t count);

// The stream's reads after the pending bytes are written; false as FileStreamRead, or when
// writing them failed.
bool ChannelRead(FileChannel& channel, void* buffer, int32_t n);
// A line of at most 1024 bytes into a buffer of 1025.
inline constexpr int32_t kChannelLineBytes = 1024;
bool ChannelReadLine(FileChannel& channel, char* buffer);

// The recorded position moves (origin 0: from the start, > 0: from the position, < 0: from the
// recorded size), unclamped; a disk file's pointer follows. False when writing out failed.
bool ChannelSeek(FileChannel& channel, int64_t offset, int32_t origin);

// Bytes each channel collects before writing; 0 writes every value at once. For tests and
// benchmarks that compare the two.
inline constexpr size_t kDefaultChannelBufferSize = 64 * 1024;
void SetChannelBufferSize(size_t bytes);
// Whether disk channels read ahead (the default) or read the descriptor directly, for the same
// comparisons.
void SetChannelReadAhead(bool on);
