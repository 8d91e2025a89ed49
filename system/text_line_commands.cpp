// The process's one text-line cache. It is never destroyed, so the write-back at exit finds it
// whatever order the other objects of the process end in.
#include "system/text_line_commands.h"

#include <string>

#include "core/last_error.h"
#include "core/number_text.h"
#include "core/process_end.h"
#include "core/str_value.h"
#include "core/text_to_number.h"
#include "system/file_commands.h"
#include "system/text_line_cache.h"

namespace {

TextLineCache& Cache() {
  static TextLineCache* const cache = [] {
    // A write-back that fails at the end leaves the exit status alone, as one during the run
    // only sets the last error.
    InstallEndOfProcessStep(EndOfProcessStep::TextLineWriteBack, [] {
      TextLineCacheRelease();
      return true;
    });
    return new TextLineCache();
  }();
  return *cache;
}

bool LineInRange(int32_t line) {
  return uint32_t(line) < uint32_t(kTextLineCount);
}

// The file's text as the cache holds it once the name is taken up (changes to a file a
// channel is writing would otherwise go unseen).
int32_t TakeUp(const Str& name) {
  FlushFileChannels();
  return TextLineCacheLoad(Cache(), name.data);
}

}  // namespace

int32_t GetTextLine(const Str& name, int32_t line, Str& out) {
  ClearLastError();
  if (!LineInRange(line)) {
    StrAssignCString(out, "NO_DATA");
    return SetLastErrorCode(7);
  }
  const int32_t result = TakeUp(name);
  if (result != 0) {
    StrAssignCString(out, "NO_FILE");
    return result;
  }
  StrAssignCString(out, std::string(TextLineText(Cache(), line)).c_str());
  StrTrimControlRight(out);
  if (out.length == 0) StrAssignCString(out, "NO_DATA");
  return 0;
}

int32_t PutTextLine(const Str& name, int32_t line, const Str& text) {
  ClearLastError();
  const uint32_t length = RawTextLength(text.data);
  if (!LineInRange(line) || length > uint32_t(kTextLineBytes)) return SetLastErrorCode(7);
  TakeUp(name);
  TextLineStore(Cache(), line, std::string_view(text.data, length));
  return 0;
}

void GetTextLineNumber(const Str& name, double line, double& out) {
  StrValue text;
  GetTextLine(name, TruncToI32(line), text.str());
  out = StrToNumber(text);
}

void GetTextLineInt(const Str& name, double line, int32_t& out) {
  StrValue text;
  GetTextLine(name, TruncToI32(line), text.str());
  out = StrToInt(text);
}

int32_t GetTextLineAt(const Str& name, double line, Str& out) {
  return GetTextLine(name, TruncToI32(line), out);
}

void PutTextLineNumber(const Str& name, double line, double value) {
  PutTextLine(name, TruncToI32(line), StrValue(value));
}

int32_t PutTextLineAt(const Str& name, double line, const Str& text) {
  return PutTextLine(name, TruncToI32(line), text);
}

void TextLineCacheRelease() {
  TextLineCacheLoad(Cache(), nullptr);
}
