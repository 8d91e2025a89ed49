// The channel table over the read streams and the platform's file helpers.
#include "system/file_channels.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "core/process_end.h"
#include "platform/files.h"
#include "system/debug_log.h"

namespace {

size_t gBufferSize = kDefaultChannelBufferSize;
bool gReadAhead = true;

struct ChannelTable {
  FileChannel channels[kFileChannelCount];
};

bool CloseAllAtProcessEnd();

// Never destroyed: the end of the process closes the channels after every destructor has run.
ChannelTable& Table() {
  static ChannelTable* const table = [] {
    InstallEndOfProcessStep(EndOfProcessStep::ChannelClose, CloseAllAtProcessEnd);
    return new ChannelTable();
  }();
  return *table;
}

// A channel is still open here only when the quit sequence did not close it.
bool CloseAllAtProcessEnd() {
  bool written = true;
  for (int32_t i = kFileChannelCount - 1; i >= 0; --i) {
    written = ChannelClose(Table().channels[i]) && written;
  }
  return written;
}

bool HeldByOpenChannel(const platform::FileIdentity& identity, bool writersOnly = false) {
  for (const FileChannel& channel : Table().channels) {
    if (channel.record.descriptor >= 0 && channel.identity == identity &&
        (channel.writable || !writersOnly)) {
      return true;
    }
  }
  return false;
}

bool OpenForReading(FileChannel& channel, const char* name) {
  if (!FileStreamOpen(channel.record, name)) return false;
  if (channel.record.descriptor < 0) return true;  // a memory block
  platform::FileIdentity identity;
  if (!platform::IdentityOfDescriptor(channel.record.descriptor, identity) ||
      HeldByOpenChannel(identity)) {
    FileStreamClose(channel.record);
    return false;
  }
  channel.identity = identity;
  return true;
}

// The failed call's errno is the reason.
bool ReportUnwritten(const FileChannel& channel, bool written) {
  if (written) return true;
  const std::string line =
      "Cannot write " + channel.name + ": " + (errno != 0 ? std::strerror(errno) : "not written");
  std::fprintf(stderr, "%s\n", line.c_str());
  ErrorLogWrite((line + "\n").c_str());
  return false;
}

bool WriteToFile(const FileChannel& channel, const void* bytes, size_t count) {
  errno = 0;
  return ReportUnwritten(channel, platform::WriteFull(channel.record.descriptor, bytes, count));
}

bool OpenForWriting(FileChannel& channel, const char* name, ChannelMode mode) {
  // Checked before a replacing open deletes the name under the other channel.
  if (IsMemoryFileName(name) || FileHeldByChannel(name)) return false;
  const int fd = mode == ChannelMode::Replace ? platform::ReplaceForWrite(name)
                                              : platform::OpenForAppend(name);
  if (fd < 0) return false;
  channel.record.descriptor = fd;
  channel.writable = true;
  channel.name = name;
  platform::IdentityOfDescriptor(fd, channel.identity);
  return true;
}

}  // namespace

FileChannel& ChannelAt(int32_t channel) {
  return Table().channels[channel];
}

bool ChannelIsOpen(const FileChannel& channel) {
  return channel.record.descriptor >= 0 || channel.record.memory != nullptr;
}

bool ChannelOpen(FileChannel& channel, const char* name, ChannelMode mode) {
  ChannelClose(channel);
  if (!name) return false;
  return mode == ChannelMode::Read ? OpenForReading(channel, name)
                                   : OpenForWriting(channel, name, mode);
}

bool FileHeldByChannel(const char* name) {
  platform::FileIdentity identity;
  return platform::IdentityOfName(name, identity) && HeldByOpenChannel(identity);
}

bool FileHeldByWriteChannel(const char* name) {
  platform::FileIdentity identity;
  return platform::IdentityOfName(name, identity) && HeldByOpenChannel(identity, true);
}

bool WriteBackUnlessHeld(const std::string& path, std::string_view bytes) {
  return !FileHeldByWriteChannel(path.c_str()) && platform::AtomicRewrite(path, bytes);
}

bool ChannelFlush(FileChannel& channel) {
  const size_t count = channel.pendingCount;
  channel.pendingCount = 0;
  if (count == 0) return true;
  WindowDrop(channel.readAhead, channel.record);
  return WriteToFile(channel, channel.pending.data(), count);
}

bool FlushAllChannels() {
  bool flushed = true;
  for (FileChannel& channel : Table().channels) {
    flushed = ChannelFlush(channel) && flushed;
    WindowDrop(channel.readAhead, channel.record);
  }
  return flushed;
}

bool ChannelClose(FileChannel& channel) {
  bool written = ChannelFlush(channel);
  if (channel.writable) {
    // Some file systems tell of a full disk only at the close; the stream must not close again.
    errno = 0;
    const bool closed = platform::CloseChecked(channel.record.descriptor);
    channel.record.descriptor = -1;
    written = ReportUnwritten(channel, closed) && written;
  }
  FileStreamClose(channel.record);
  channel.readAhead = {};
  channel.writable = false;
  channel.name.clear();
  channel.identity = {};
  channel.pending = {};
  return written;
}

bool ChannelWrite(FileChannel& channel, const void* bytes, size_t count) {
  if (!channel.writable) return false;
  if (channel.pendingCount + count > gBufferSize && !ChannelFlush(channel)) return false;
  if (count >= gBufferSize) {
    WindowDrop(channel.readAhead, channel.record);
    return WriteToFile(channel, bytes, count);
  }
  if (channel.pending.size() < gBufferSize) channel.pending.resize(gBufferSize);
  std::memcpy(channel.pending.data() + channel.pendingCount, bytes, count);
  channel.pendingCount += count;
  return true;
}

bool ChannelRead(FileChannel& channel, void* buffer, int32_t n) {
  if (!ChannelFlush(channel)) return false;
  if (gReadAhead && WindowOpen(channel.readAhead, channel.record)) {
    return WindowRead(channel.readAhead, channel.record, buffer, n);
  }
  return FileStreamRead(channel.record, buffer, n);
}

bool ChannelReadLine(FileChannel& channel, char* buffer) {
  if (!ChannelFlush(channel)) return false;
  if (gReadAhead && WindowOpen(channel.readAhead, channel.record)) {
    return WindowReadLine(channel.readAhead, channel.record, buffer, kChannelLineBytes);
  }
  return FileStreamReadLine(channel.record, buffer, kChannelLineBytes, LastLineEnd::PastEnd);
}

bool ChannelSeek(FileChannel& channel, int64_t offset, int32_t origin) {
  if (!ChannelIsOpen(channel)) return true;
  const bool flushed = ChannelFlush(channel);
  WindowDrop(channel.readAhead, channel.record);
  FileStream& record = channel.record;
  const int64_t base = origin == 0 ? 0 : origin > 0 ? record.position : record.size;
  // Wraps rather than overflows; a position outside the file fails the next read.
  record.position = int64_t(uint64_t(base) + uint64_t(offset));
  if (record.descriptor >= 0) {
    platform::SeekDescriptor(record.descriptor, record.position, platform::SeekFrom::Start);
  }
  return flushed;
}

void SetChannelBufferSize(size_t bytes) {
  FlushAllChannels();
  gBufferSize = bytes;
}

void SetChannelReadAhead(bool on) {
  FlushAllChannels();
  gReadAhead = on;
}
