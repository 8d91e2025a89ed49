// The program's file-channel commands. Channels are numbered 0 to 7; misuse the program cannot
// continue from ends it through FatalTerminate: code 7 for a channel above 7 (OpenFile only
// answers 7 and false), code 3 for I/O on a closed channel, a write that cannot be done and a
// read past the end. Binary values are little-endian in the file.
#pragma once

#include <cstdint>

#include "core/str.h"

// mode > 0 reads (the name is resolved through the memory archive first, so packed media and
// memory names open too), mode 0 replaces the file, mode < 0 appends to it. Whatever the
// channel held is closed first, even when the open fails.
bool OpenFile(int32_t channel, const Str& name, int32_t mode);
void CloseFile(int32_t channel);
// Every channel, then the tool's hook, when it installed one. Buffered bytes that cannot be
// written end the program with code 3, as the write itself would have unbuffered (inside the
// quit sequence the process then ends at once with status 1).
void CloseAllFiles();
int32_t FirstFreeChannel();  // -1 when all eight are open
bool ChannelAtEnd(int32_t channel);
void FileSeek(int32_t channel, int64_t offset, int32_t origin);
int64_t FilePosition(int32_t channel);

// Writes go at the file's own pointer and never move the recorded position.
void WriteLine(int32_t channel, const Str& text);  // the text, then "\r\n"
void WriteString(int32_t channel, const Str& text);
void WriteFloat32(int32_t channel, double value);
void WriteFloat64(int32_t channel, double value);
void WriteLong(int32_t channel, int32_t value);
void WriteUInt32(int32_t channel, uint32_t value);
void WriteInt16(int32_t channel, int32_t value);  // the low 16 bits
void WriteUInt16(int32_t channel, int32_t value);
void WriteInt8(int32_t channel, int32_t value);  // the low 8 bits
void WriteUInt8(int32_t channel, int32_t value);

void ReadLine(int32_t channel, Str& out);  // at most 1024 bytes
void ReadLineInt(int32_t channel, int32_t& out);
void ReadLineNumber(int32_t channel, double& out);
void ReadString(int32_t channel, Str& out, int32_t n);  // exactly n bytes, NUL bytes kept
void ReadFloat32(int32_t channel, double& out);
void ReadFloat64(int32_t channel, double& out);
void ReadInt32(int32_t channel, int32_t& out);
void ReadUInt32(int32_t channel, int32_t& out);
void ReadInt16(int32_t channel, int32_t& out);   // sign-extended
void ReadUInt16(int32_t channel, int32_t& out);  // zero-extended
void ReadInt8(int32_t channel, int32_t& out);
void ReadUInt8(int32_t channel, int32_t& out);

// A whole file (disk or memory) to a new disk file; code 3 when either side cannot be opened or
// the copy fails, and a partial target is deleted.
void FileCopy(const Str& source, const Str& target);
// 1.0 on success; 0.0 and code 3 on failure. The path is written back in the '/' form.
double SetCurrentDir(Str& path);

// Writes out every channel's pending bytes; anything else that opens files by name or starts
// programs calls it first. A failure ends the program with code 3.
void FlushFileChannels();

// Called by CloseAllFiles after the channels are closed; the tool installs it, null for none.
using ToolEmptyHookFunction = void (*)();
void SetToolEmptyHook(ToolEmptyHookFunction hook);
