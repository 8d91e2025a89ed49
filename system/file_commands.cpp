// The file-channel commands over the channel table: channel checks, error codes and the
// little-endian form of every value.
#include "system/file_commands.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <string>
#include <vector>

#include "core/last_error.h"
#include "core/str_search.h"
#include "core/str_value.h"
#include "core/terminate.h"
#include "core/text_to_number.h"
#include "platform/file_system.h"
#include "platform/files.h"
#include "system/file_channels.h"
#include "system/little_endian.h"
#include "system/pack_archive.h"

namespace {

ToolEmptyHookFunction gToolEmptyHook = nullptr;

constexpr size_t kCopyPiece = 64 * 1024;

// The channel, or the end of the program with code 7 for a number outside 0..7.
FileChannel& CheckedChannel(int32_t channel) {
  if (uint32_t(channel) >= uint32_t(kFileChannelCount)) FatalTerminate(7);
  return ChannelAt(channel);
}

void WriteBytes(int32_t channel, const void* bytes, size_t count) {
  if (!ChannelWrite(CheckedChannel(channel), bytes, count)) FatalTerminate(3);
}

// Up to 8 bytes of a value, zero where a memory channel ran out; code 3 after delivering them
// when the read failed.
template <class Deliver>
void ReadBytes(int32_t channel, int32_t n, Deliver deliver) {
  FileChannel& open = CheckedChannel(channel);
  uint8_t bytes[8] = {};
  const bool complete = ChannelRead(open, bytes, n);
  deliver(bytes);
  if (!complete) FatalTerminate(3);
}

// The name as the file system should see it: a packed entry or memory name for reading.
std::string ResolvedForReading(const Str& name) {
  std::string resolved;
  if (!ResolveFileName(MemoryArchive, name.data, resolved, true)) SetLastErrorCode(3);
  return resolved;
}

bool OpenCopySource(FileStream& source, const Str& name) {
  return !FileHeldByChannel(name.data) && FileStreamOpen(source, name.data);
}

int OpenCopyTarget(const Str& name) {
  if (IsMemoryFileName(name.data) || FileHeldByChannel(name.data)) return -1;
  return platform::ReplaceForWrite(name.data);
}

// The whole 64-bit size, in pieces; each must be read and written whole.
bool CopyAll(FileStream& source, int target) {
  std::vector<uint8_t> piece(kCopyPiece);
  for (int64_t left = source.size; left > 0;) {
    const int32_t count = int32_t(std::min<int64_t>(left, kCopyPiece));
    if (!FileStreamReadExact(source, piece.data(), count) ||
        !platform::WriteFull(target, piece.data(), size_t(count))) {
      return false;
    }
    left -= count;
  }
  return true;
}

}  // namespace

bool OpenFile(int32_t channel, const Str& name, int32_t mode) {
  ClearLastError();
  if (uint32_t(channel) >= uint32_t(kFileChannelCount)) {
    SetLastErrorCode(7);
    return false;
  }
  FlushFileChannels();
  FileChannel& open = ChannelAt(channel);
  const bool opened =
      mode > 0
          ? ChannelOpen(open, ResolvedForReading(name).c_str(), ChannelMode::Read)
          : ChannelOpen(open, name.data, mode == 0 ? ChannelMode::Replace : ChannelMode::Append);
  if (!opened) SetLastErrorCode(3);
  return opened;
}

void CloseFile(int32_t channel) {
  ClearLastError();
  if (!ChannelClose(CheckedChannel(channel))) FatalTerminate(3);
}

void CloseAllFiles() {
  bool flushed = true;
  for (int32_t channel = 0; channel < kFileChannelCount; ++channel) {
    flushed = ChannelClose(ChannelAt(channel)) && flushed;
  }
  if (gToolEmptyHook) gToolEmptyHook();
  if (!flushed) FatalTerminate(3);
}

int32_t FirstFreeChannel() {
  for (int32_t channel = 0; channel < kFileChannelCount; ++channel) {
    if (!ChannelIsOpen(ChannelAt(channel))) return channel;
  }
  return -1;
}

bool ChannelAtEnd(int32_t channel) {
  // A number outside the table answers as a closed channel would.
  if (uint32_t(channel) >= uint32_t(kFileChannelCount)) return true;
  const FileStream& record = ChannelAt(channel).record;
  return record.position >= record.size;
}

void FileSeek(int32_t channel, int64_t offset, int32_t origin) {
  if (!ChannelSeek(CheckedChannel(channel), offset, origin)) FatalTerminate(3);
}

int64_t FilePosition(int32_t channel) {
  return CheckedChannel(channel).record.position;
}

void WriteLine(int32_t channel, const Str& text) {
  WriteString(channel, text);
  WriteBytes(channel, "\r\n", 2);
}

void WriteString(int32_t channel, const Str& text) {
  CheckedChannel(channel);
  if (text.length > 0) WriteBytes(channel, text.data, text.length);
}

void WriteFloat32(int32_t channel, double value) {
  WriteUInt32(channel, std::bit_cast<uint32_t>(float(value)));
}

void WriteFloat64(int32_t channel, double value) {
  uint8_t bytes[8];
  StoreLe64(bytes, std::bit_cast<uint64_t>(value));
  WriteBytes(channel, bytes, 8);
}

void WriteLong(int32_t channel, int32_t value) {
  WriteUInt32(channel, uint32_t(value));
}

void WriteUInt32(int32_t channel, uint32_t value) {
  uint8_t bytes[4];
  StoreLe32(bytes, value);
  WriteBytes(channel, bytes, 4);
}

void WriteInt16(int32_t channel, int32_t value) {
  uint8_t bytes[2];
  StoreLe16(bytes, uint16_t(value));
  WriteBytes(channel, bytes, 2);
}

void WriteUInt16(int32_t channel, int32_t value) {
  WriteInt16(channel, value);
}

void WriteInt8(int32_t channel, int32_t value) {
  const uint8_t byte = uint8_t(value);
  WriteBytes(channel, &byte, 1);
}

void WriteUInt8(int32_t channel, int32_t value) {
  WriteInt8(channel, value);
}

void ReadLine(int32_t channel, Str& out) {
  FileChannel& open = CheckedChannel(channel);
  char* buffer = StrGetBuffer(out, kChannelLineBytes);
  std::memset(buffer, 0, kChannelLineBytes + 1);
  const bool complete = ChannelReadLine(open, buffer);
  StrSyncLength(out);
  if (!complete) FatalTerminate(3);
}

void ReadLineInt(int32_t channel, int32_t& out) {
  StrValue line;
  ReadLine(channel, line.str());
  out = StrToInt(line);
}

void ReadLineNumber(int32_t channel, double& out) {
  StrValue line;
  ReadLine(channel, line.str());
  out = StrToNumber(line);
}

void ReadString(int32_t channel, Str& out, int32_t n) {
  if (n <= 0) {
    StrRelease(out);
    return;
  }
  FileChannel& open = CheckedChannel(channel);
  // Room for n + 32 bytes; bytes a memory block cannot deliver read as NUL.
  char* buffer = StrGetBuffer(out, uint32_t(n) + 31);
  std::memset(buffer, 0, size_t(n) + 1);
  const bool complete = ChannelRead(open, buffer, n);
  out.length = uint32_t(n);
  if (!complete) FatalTerminate(3);
}

void ReadFloat32(int32_t channel, double& out) {
  ReadBytes(channel, 4, [&](const uint8_t* b) { out = std::bit_cast<float>(LoadLe32(b)); });
}

void ReadFloat64(int32_t channel, double& out) {
  ReadBytes(channel, 8, [&](const uint8_t* b) { out = std::bit_cast<double>(LoadLe64(b)); });
}

void ReadInt32(int32_t channel, int32_t& out) {
  ReadBytes(channel, 4, [&](const uint8_t* b) { out = int32_t(LoadLe32(b)); });
}

void ReadUInt32(int32_t channel, int32_t& out) {
  ReadInt32(channel, out);
}

void ReadInt16(int32_t channel, int32_t& out) {
  ReadBytes(channel, 2, [&](const uint8_t* b) { out = int16_t(LoadLe16(b)); });
}

void ReadUInt16(int32_t channel, int32_t& out) {
  ReadBytes(channel, 2, [&](const uint8_t* b) { out = LoadLe16(b); });
}

void ReadInt8(int32_t channel, int32_t& out) {
  ReadBytes(channel, 1, [&](const uint8_t* b) { out = int8_t(b[0]); });
}

void ReadUInt8(int32_t channel, int32_t& out) {
  ReadBytes(channel, 1, [&](const uint8_t* b) { out = b[0]; });
}

void FileCopy(const Str& source, const Str& target) {
  ClearLastError();
  FlushFileChannels();
  FileStream from;
  const int to = OpenCopySource(from, source) ? OpenCopyTarget(target) : -1;
  if (to < 0) {
    SetLastErrorCode(3);
    return;
  }
  const bool copied = CopyAll(from, to);
  platform::CloseDescriptor(to);
  if (!copied) {
    platform::RemoveFileOrFolder(target.data);
    SetLastErrorCode(3);
  }
}

double SetCurrentDir(Str& path) {
  ClearLastError();
  Str changed;
  StrReplace(changed, path, StrValue("\\"), StrValue("/"));
  StrAssign(path, changed);
  StrRelease(changed);
  if (platform::ChangeCurrentFolder(path.data)) return 1.0;
  SetLastErrorCode(3);
  return 0.0;
}

void FlushFileChannels() {
  if (!FlushAllChannels()) FatalTerminate(3);
}

void SetToolEmptyHook(ToolEmptyHookFunction hook) {
  gToolEmptyHook = hook;
}
