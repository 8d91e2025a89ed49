// Command line, application name, standard streams and the screen-size words.
#include "core/console.h"

#include <cstdio>

#include "core/error_log_hook.h"
#include "core/process_globals.h"

namespace {

ContextSizeHook gContextSizeHook = nullptr;

Str& ProcessString(Str& s) {
  if (!s.data) StrInitEmpty(s);
  return s;
}

Str gCommandLine{};
Str gAppName{};

// The columns (or rows) a box covers, inclusive; computed wide so extreme values cannot overflow.
struct Span {
  int64_t first, last;
};

Span Covered(int32_t start, int32_t extent) {
  if (extent >= 1) return {start, int64_t(start) + extent - 1};
  if (extent == 0) return {start, start};
  return {int64_t(start) + extent + 1, start};
}

bool Overlap(Span a, Span b) { return a.first <= b.last && b.first <= a.last; }

}  // namespace

Str& GetCommandLineStr() { return ProcessString(gCommandLine); }

void SetCommandLineStr(const char* text) { StrAssignCStringSwap(GetCommandLineStr(), text); }

Str CommandLineStrCopy() {
  Str copy;
  StrCopyConstruct(copy, GetCommandLineStr());
  return copy;
}

Str& GetAppNameStr() { return ProcessString(gAppName); }

void CommandLineStrRelease() { StrRelease(GetCommandLineStr()); }
void AppNameStrRelease() { StrRelease(GetAppNameStr()); }

void StdOut(const Str& text) { std::printf("%s", text.data ? text.data : ""); }
void StdErr(const Str& text) { std::fprintf(stderr, "%s", text.data ? text.data : ""); }

Str StdIn() {
  char line[4095];
  line[0] = 0;
  if (!std::fgets(line, sizeof line, stdin)) line[0] = 0;
  Str text;
  StrFromCString(text, line);
  if (text.length > 0 && text.data[text.length - 1] == '\n') {
    StrTruncate(text, int32_t(text.length - 1));
  }
  return text;
}

int32_t BoxCollision(int32_t x1, int32_t y1, int32_t w1, int32_t h1, int32_t x2, int32_t y2,
                     int32_t w2, int32_t h2) {
  return Overlap(Covered(x1, w1), Covered(x2, w2)) && Overlap(Covered(y1, h1), Covered(y2, h2));
}

int32_t GetEscapeEnds() { return EscapeEndsFlag != 0; }

void qrn_notify_screen_size(int32_t width, int32_t height) {
  char line[64];
  std::snprintf(line, sizeof line, "qrn_notify_screen_size %dx%d\n", width, height);
  WriteErrorLogHook(line);
  DesktopWidth = ConfiguredScreenWidth = width;
  DesktopHeight = ConfiguredScreenHeight = height;
  if (gContextSizeHook) gContextSizeHook(width, height);
}

void GetScreenSize(int32_t* width, int32_t* height) {
  if (width) *width = ConfiguredScreenWidth;
  if (height) *height = ConfiguredScreenHeight;
}

void InstallContextSizeHook(ContextSizeHook hook) { gContextSizeHook = hook; }

void ResetConsoleForTests() {
  CommandLineStrRelease();
  AppNameStrRelease();
  gContextSizeHook = nullptr;
}
