// Loading and writing back the text-line cache. The file is read whole, so what the program
// cannot see of it is at hand again when the cache writes the file back.
#include "system/text_line_cache.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "core/allocation_failure.h"
#include "core/last_error.h"
#include "platform/files.h"
#include "system/file_stream.h"
#include "system/memory_blocks.h"
#include "system/pack_archive.h"

namespace {

constexpr int32_t kReadPiece = 1 << 20;

// The stream's bytes from its start; false when they could not all be read.
bool ReadWhole(FileStream& stream, std::string& bytes) {
  try {
    bytes.resize(size_t(stream.size));
  } catch (const std::bad_alloc&) {
    return false;
  }
  for (int64_t done = 0; done < stream.size;) {
    const int32_t piece = int32_t(std::min<int64_t>(stream.size - done, kReadPiece));
    if (!FileStreamReadExact(stream, bytes.data() + done, piece)) return false;
    done += piece;
  }
  return true;
}

// Lines end at '\n' or at the end of the data; a '\r' just before that end is not part of the
// line (as the runtime's line reading has it).
void SplitLines(TextLineCache& cache, std::string_view bytes) {
  size_t position = 0;
  for (int32_t i = 0; i < kTextLineCount && position < bytes.size(); ++i) {
    size_t end = bytes.find('\n', position);
    const size_t next = end == std::string_view::npos ? bytes.size() : end + 1;
    if (end == std::string_view::npos) end = bytes.size();
    if (end > position && bytes[end - 1] == '\r') --end;
    cache.lines[size_t(i)].assign(bytes.substr(position, end - position));
    cache.last = i;
    position = next;
  }
  cache.beyond.assign(bytes.substr(position));
}

void WriteBack(const TextLineCache& cache) {
  if (!cache.dirty || cache.keepFile || cache.name.empty()) return;
  if (IsMemoryFileName(cache.name.c_str())) return;
  platform::AtomicRewrite(cache.name, TextLineFileText(cache));
}

void Clear(TextLineCache& cache) {
  for (std::string& line : cache.lines) line.clear();
  cache.beyond.clear();
  cache.name.clear();
  cache.keepFile = false;
  cache.last = 0;
  cache.dirty = false;
}

int32_t NotFound() {
  return SetLastErrorCode(3);
}

}  // namespace

int32_t TextLineCacheLoad(TextLineCache& cache, const char* name) {
  ClearLastError();
  if (name && cache.name == name) return 0;
  WriteBack(cache);
  Clear(cache);
  if (!name) return 0;
  if (std::strlen(name) >= platform::kMaxNameBytes) return NotFound();
  cache.name = name;
  std::string resolved;
  if (!ResolveFileName(MemoryArchive, name, resolved, true)) return NotFound();
  // A file that is there but cannot be read must not be replaced by what the cache holds.
  cache.keepFile = true;
  FileStream stream;
  std::string bytes;
  if (!FileStreamOpen(stream, resolved.c_str()) || !ReadWhole(stream, bytes)) return NotFound();
  cache.keepFile = IsMemoryFileName(resolved.c_str());
  FatalOnAllocationFailure([&] { SplitLines(cache, bytes); });
  return 0;
}

std::string_view TextLineText(const TextLineCache& cache, int32_t i) {
  if (uint32_t(i) >= uint32_t(kTextLineCount)) return {};
  const std::string& line = cache.lines[size_t(i)];
  return std::string_view(line.c_str(), strnlen(line.c_str(), size_t(kTextLineBytes)));
}

void TextLineStore(TextLineCache& cache, int32_t i, std::string_view text) {
  if (uint32_t(i) >= uint32_t(kTextLineCount) || text.size() > size_t(kTextLineBytes)) return;
  cache.lines[size_t(i)].assign(text);
  cache.last = std::max(cache.last, i);
  cache.dirty = true;
}

std::string TextLineFileText(const TextLineCache& cache) {
  std::string text;
  for (int32_t i = 0; i <= cache.last; ++i) text.append(cache.lines[size_t(i)]).append("\r\n");
  return text.append(cache.beyond);
}
