// Loading and writing back the text-line cache. The file is read whole, so what the program
// cannot see of it is at hand again when the cache writes the file back.
#include "system/text_line_cache.h"

#include <algorithm>
#include <cstring>

#include "core/allocation_failure.h"
#include "core/last_error.h"
#include "platform/files.h"
#include "system/file_channels.h"
#include "system/file_stream.h"
#include "system/memory_blocks.h"
#include "system/pack_archive.h"

namespace {

void SplitLines(TextLineCache& cache, std::string_view bytes) {
  size_t position = 0;
  for (int32_t i = 0; i < kTextLineCount && position < bytes.size(); ++i) {
    cache.lines[size_t(i)].assign(NextLine(bytes, position));
    cache.last = i;
  }
  cache.beyond.assign(bytes.substr(position));
}

bool WriteBack(const TextLineCache& cache) {
  const bool diskFile = !cache.name.empty() && !IsMemoryFileName(cache.name.c_str());
  if (!cache.dirty || cache.keepFile || !diskFile) return true;
  // No path: the name was relative to a current folder that no longer existed.
  return !cache.path.empty() && WriteBackUnlessHeld(cache.path, TextLineFileText(cache));
}

void Clear(TextLineCache& cache) {
  for (std::string& line : cache.lines) line.clear();
  cache.beyond.clear();
  cache.name.clear();
  cache.path.clear();
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
  const bool writtenBack = WriteBack(cache);
  Clear(cache);
  if (!writtenBack) SetLastErrorCode(3);
  if (!name) return 0;
  if (std::strlen(name) >= platform::kMaxNameBytes) return NotFound();
  cache.name = name;
  if (!IsMemoryFileName(name)) cache.path = platform::AbsolutePath(name);
  std::string resolved;
  if (!ResolveFileName(MemoryArchive, name, resolved, true)) return NotFound();
  // A file that is there but cannot be read must not be replaced by what the cache holds.
  cache.keepFile = true;
  FileStream stream;
  std::string bytes;
  if (!FileStreamOpen(stream, resolved.c_str()) || !FileStreamReadWhole(stream, bytes)) return NotFound();
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
