// Read-ahead for a file channel on a disk file that can seek. Reads and line reads are served
// from a window of the file's bytes and give the same bytes, positions and answers as reading
// the descriptor directly, while the descriptor's own offset runs ahead of where a direct reader
// would have left it. Before anything else uses the descriptor (a write, a seek, a close) the
// window is dropped and the offset put back.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "system/file_stream.h"

struct ChannelReadWindow {
  std::vector<uint8_t> bytes;
  int64_t start = 0;    // file offset of bytes[0]
  size_t filled = 0;    // bytes of the file held from start on
  int64_t offset = 0;   // where a direct reader would have left the descriptor
  bool active = false;
};

// False when the stream's descriptor cannot seek: such a channel reads directly.
bool WindowOpen(ChannelReadWindow& window, const FileStream& stream);

// As FileStreamRead and FileStreamReadLine (disk files) on an open window.
bool WindowRead(ChannelReadWindow& window, FileStream& stream, void* buffer, int32_t n);
bool WindowReadLine(ChannelReadWindow& window, FileStream& stream, char* buffer, int32_t n);

// Puts the descriptor's offset back where a direct reader would have left it.
void WindowDrop(ChannelReadWindow& window, const FileStream& stream);
