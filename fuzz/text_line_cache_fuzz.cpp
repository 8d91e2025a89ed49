// The text-line cache over a scratch file: any bytes load; no line shows more than a line may;
// the write-back text never loses bytes and loads to the same lines; a line stored without line
// ends reads back as stored, also from the text written back. The first byte picks the line
// stored; the text stored is the input up to its first line end.
#include <cstdlib>
#include <string>

#include "fuzz/scratch_file.h"
#include "system/text_line_cache.h"

namespace {

void LoadBytes(TextLineCache& cache, const std::string& bytes) {
  TextLineCacheLoad(cache, nullptr);
  const std::string& path =
      WriteScratchFile(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
  if (TextLineCacheLoad(cache, path.c_str()) != 0) std::abort();
}

bool SameLines(const TextLineCache& a, const TextLineCache& b) {
  for (int32_t i = 0; i < kTextLineCount; ++i) {
    if (TextLineText(a, i) != TextLineText(b, i)) return false;
  }
  return a.beyond == b.beyond;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const std::string bytes(reinterpret_cast<const char*>(data + 1), size - 1);
  TextLineCache cache;
  LoadBytes(cache, bytes);
  for (int32_t i = 0; i < kTextLineCount; ++i) {
    if (TextLineText(cache, i).size() > size_t(kTextLineBytes)) std::abort();
  }
  const std::string written = TextLineFileText(cache);
  if (written.size() < bytes.size()) std::abort();
  TextLineCache again;
  LoadBytes(again, written);
  if (!SameLines(cache, again)) std::abort();

  const int32_t line = data[0];
  const std::string stored = bytes.substr(0, bytes.find_first_of(std::string("\r\n\0", 3)));
  TextLineStore(cache, line, stored);
  if (stored.size() <= size_t(kTextLineBytes) && TextLineText(cache, line) != stored) std::abort();
  LoadBytes(again, TextLineFileText(cache));
  if (!SameLines(cache, again)) std::abort();
  return 0;
}
