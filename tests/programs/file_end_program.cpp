// A whole program that leaves file work for its end, run in the folder given as its second
// argument. "full-disk": 20 KiB wait in a channel's buffer while files may hold only 16 KiB,
// then END (the debug switch is on). "write-back": the INI and text-line files are changed by
// relative names, then END.
#include <signal.h>
#include <sys/resource.h>

#include <cstring>
#include <string>

#include "core/process_globals.h"
#include "core/str_value.h"
#include "core/user_functions.h"
#include "frame/frame_services.h"
#include "frame/program_entry.h"
#include "frame/runtime_startup.h"
#include "system/file_commands.h"
#include "system/ini_commands.h"
#include "system/text_line_commands.h"

namespace {

const char* mode = "";
StrValue folder;

void ProjectSettings() {
  ConfiguredScreenWidth = 640;
  ConfiguredScreenHeight = 480;
  ScreenSettings = {0, 0, 30, 0};
  DebugFlag = 1;
}

void FillABufferBeyondTheFileSizeLimit() {
  signal(SIGXFSZ, SIG_IGN);
  const rlimit limit{16 * 1024, 16 * 1024};
  setrlimit(RLIMIT_FSIZE, &limit);
  OpenFile(1, StrValue("big.bin"), 0);
  WriteString(1, StrValue(std::string(20 * 1024, 'b').c_str()));
}

int32_t MainRoutine() {
  SetCurrentDir(folder.str());
  if (std::strcmp(mode, "full-disk") == 0) {
    FillABufferBeyondTheFileSizeLimit();
  } else {
    IniOpen(StrValue("settings.ini"));
    IniPut(StrValue("main"), StrValue("x"), StrValue("2"));
    PutTextLine(StrValue("lines.txt"), 0, StrValue("changed"));
  }
  EndLoopAndExit();
  return 0;
}

const UserFunctionEntry kNoRoutines[] = {{nullptr, nullptr}};

}  // namespace

int main(int argc, char** argv) {
  if (argc > 2) {
    mode = argv[1];
    folder = StrValue(argv[2]);
  }
  return RunProgram(argc, argv, {ProjectSettings, MainRoutine, kNoRoutines});
}
