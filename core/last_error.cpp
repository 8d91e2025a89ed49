// Error code, error texts and debugger lines.
#include "core/last_error.h"

#include <cstdio>
#include <string>

#include "core/process_globals.h"
#include "platform/debug_output.h"

int32_t LastErrorCode = 0;
int32_t LastErrorLine = 0;

namespace {

const char* ErrorCodeText(int32_t code) {
  switch (code) {
    case 0: return "success";
    case 3: return "no such file";
    case 7: return "out of memory";
    case 9: return "out of bounds";
    case 20: return "out of data";
    default: return "unknown error";
  }
}

}  // namespace

int32_t SetLastErrorCode(int32_t code) {
  LastErrorCode = code;
  LastErrorLine = SourceLineWord;
  if (code != 0) {
    Str line, hex;
    StrFromCString(line, "error: ");
    StrHexFromUInt(hex, uint32_t(code));
    StrAppendCString(line, hex.data);
    StrAppendCString(line, "\n");
    DebugOut(line);
    StrRelease(hex);
    StrRelease(line);
  }
  return code;
}

void ClearLastError() { LastErrorCode = 0; }

Str LastErrorText() {
  char text[1024];
  std::snprintf(text, sizeof text, "%.4d %s", LastErrorCode, ErrorCodeText(LastErrorCode));
  Str result;
  StrFromCString(result, text);
  return result;
}

void DebugOut(const char* text) {
  if (!platform::DebuggerAttached()) return;
  std::string line = "TX";
  if (text) line += text;
  platform::DebuggerWrite(line);
}

void DebugOut(const Str& text) { DebugOut(text.data); }
