// The read-ahead window of a file channel over the platform's file helpers.
#include "system/channel_read_window.h"

#include <algorithm>
#include <cstring>

#include "platform/files.h"

namespace {

constexpr size_t kWindowBytes = 64 * 1024;

// Bytes ready at the offset, reading the next window when the offset has left this one; 0 at
// the end of the file, -1 on a failed read.
int64_t Ready(ChannelReadWindow& window, int descriptor) {
  const int64_t end = window.start + int64_t(window.filled);
  if (window.offset >= window.start && window.offset < end) return end - window.offset;
  if (window.offset != end &&
      platform::SeekDescriptor(descriptor, window.offset, platform::SeekFrom::Start) < 0) {
    return -1;
  }
  window.start = window.offset;
  window.filled = 0;
  const int64_t got = platform::ReadFull(descriptor, window.bytes.data(), window.bytes.size());
  if (got > 0) window.filled = size_t(got);
  return got;
}

const uint8_t* AtOffset(const ChannelReadWindow& window) {
  return window.bytes.data() + (window.offset - window.start);
}

// Ends the line where its '\n' stood (or the end of the file), dropping a '\r' before it; the
// reader's descriptor would have been put just after that mark.
bool EndLine(ChannelReadWindow& window, FileStream& stream, char* buffer, int32_t length) {
  buffer[length] = 0;
  if (length > 0 && buffer[length - 1] == '\r') buffer[length - 1] = 0;
  stream.position += length + 1;
  window.offset = stream.position;
  return true;
}

}  // namespace

bool WindowOpen(ChannelReadWindow& window, const FileStream& stream) {
  if (window.active) return true;
  if (stream.descriptor < 0) return false;
  const int64_t at = platform::SeekDescriptor(stream.descriptor, 0, platform::SeekFrom::Current);
  if (at < 0) return false;
  window.bytes.resize(kWindowBytes);
  window.start = window.offset = at;
  window.filled = 0;
  window.active = true;
  return true;
}

bool WindowRead(ChannelReadWindow& window, FileStream& stream, void* buffer, int32_t n) {
  if (n < 0 || stream.position < 0) return false;
  stream.position += n;
  auto* out = static_cast<uint8_t*>(buffer);
  for (int32_t taken = 0; taken < n;) {
    const int64_t ready = Ready(window, stream.descriptor);
    if (ready <= 0) return false;
    const int32_t count = int32_t(std::min<int64_t>(ready, n - taken));
    std::memcpy(out + taken, AtOffset(window), size_t(count));
    window.offset += count;
    taken += count;
  }
  return true;
}

bool WindowReadLine(ChannelReadWindow& window, FileStream& stream, char* buffer, int32_t n) {
  if (n < 1) {
    if (n == 0) buffer[0] = 0;
    return true;
  }
  if (stream.position < 0) return false;
  int32_t taken = 0;
  while (taken < n) {
    const int64_t ready = Ready(window, stream.descriptor);
    if (ready < 0) {
      stream.position += taken;
      return false;
    }
    if (ready == 0) {
      return taken > 0 && EndLine(window, stream, buffer, taken);
    }
    const uint8_t* from = AtOffset(window);
    const size_t looked = size_t(std::min<int64_t>(ready, n - taken));
    const void* mark = std::memchr(from, '\n', looked);
    const size_t count = mark ? size_t(static_cast<const uint8_t*>(mark) - from) : looked;
    std::memcpy(buffer + taken, from, count);
    taken += int32_t(count);
    if (mark) return EndLine(window, stream, buffer, taken);
    window.offset += int64_t(count);
  }
  buffer[n] = 0;
  stream.position += n;
  return true;
}

void WindowDrop(ChannelReadWindow& window, const FileStream& stream) {
  if (!window.active) return;
  window.active = false;
  if (stream.descriptor >= 0) {
    platform::SeekDescriptor(stream.descriptor, window.offset, platform::SeekFrom::Start);
  }
}
