// A whole program on the runtime for the entry and end tests. The first argument picks how it
// ends: "end" (END), "return" (the main routine returns), "loop" (a loop routine ENDs on its
// third pass), "close" (a window close while the error code holds 7), "bounds" (an array index
// out of bounds), "quit-ends" (a quit routine that meets a close and ENDs), "quit-fatal" (a quit
// routine that fails an array bound), "quit-key-wait" and "quit-poll" (keys waited for until a
// script ends the run, then a quit routine that waits for a key, or polls the keys while showing
// frames), "quit-sigterm" (a quit routine that raises SIGTERM, then waits for a key), "debug"
// (END with the debug switch on), "nowindow" (no window can be made), "resize" (a screen-size
// notice, then a frame), "tool-texts" (the tool's hooks, with a main routine that prints the
// build texts), or file work in the folder the second argument names: "full-disk" (20 KiB wait in a channel's buffer at END while files may hold
// 16 KiB; debug switch on), "close-full-disk" (the same bytes closed with CLOSEFILE),
// "host-full-disk" (the same bytes left waiting by a host that started the runtime without a main
// routine and returns from main; in all three the INI file was taken up and changed first, and
// an exit handler of the program's own says it ran), "write-back" (INI and text-line files
// changed by relative names) or "2d-program" (sprites, text, typed text, a screenshot, a file
// and an INI file on the layer list a third argument names: "none", "2d", "2d-net", "2d-3d" or
// "3d"; all three otherwise). It links the runtime as any program does and lists its layers
// itself.
#include <signal.h>
#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "core/console.h"
#include "core/dim_array.h"
#include "core/last_error.h"
#include "core/process_globals.h"
#include "core/str_value.h"
#include "core/user_functions.h"
#include "frame/frame_cycle.h"
#include "frame/frame_services.h"
#include "frame/graphics_context.h"
#include "frame/input_commands.h"
#include "frame/platform_info.h"
#include "frame/program_entry.h"
#include "frame/runtime_objects.h"
#include "frame/runtime_startup.h"
#include "frame/screen_mode_commands.h"
#include "frame/text_input.h"
#include "frame/waits.h"
#include "gfx2d/draw_commands.h"
#include "gfx2d/gfx2d_layer.h"
#include "gfx2d/screen_commands.h"
#include "gfx2d/sprite_commands.h"
#include "gfx2d/sprite_draw_commands.h"
#include "gfx2d/text_commands.h"
#include "gfx3d/scene_runtime_hooks.h"
#include "net/network_runtime_hooks.h"
#include "platform/input.h"
#include "platform/window.h"
#include "system/file_commands.h"
#include "system/ini_commands.h"
#include "system/text_line_commands.h"
#include "tool/tool_program.h"

namespace {

const char* mode = "end";
const char* folder = ".";

bool ModeIs(const char* name) {
  return std::strcmp(mode, name) == 0;
}

void ProjectSettings() {
  ConfiguredScreenWidth = 640;
  ConfiguredScreenHeight = 480;
  ScreenSettings = {0, 0, 30, 0};
  DebugFlag = ModeIs("debug") || ModeIs("full-disk") ? 1 : 0;
  StrAssignCString(GetAppNameStr(), "entry test");
  if (ModeIs("nowindow")) platform::test::FailWindowCreation(true);
}

void CloseTheWindow() {
  platform::test::InjectClose();
  ShowScreen(1);
}

void FailAnArrayBound() {
  DimArray values{};
  ArrayDimInt(values, 3, 0, 0, 0);
  *ArrayElementAt(values, 5) = 1;
}

bool FillsTheDisk() {
  return ModeIs("full-disk") || ModeIs("close-full-disk") || ModeIs("host-full-disk");
}

// The INI object is made before the channel table is first used (IniOpen uses both).
void ChangeTheIniFile() {
  StrValue::Adopt(IniGet(StrValue("main"), StrValue("x"), StrValue("")));
  IniOpen(StrValue("settings.ini"));
  IniPut(StrValue("main"), StrValue("x"), StrValue("changed"));
}

void LeaveFileWorkForTheEnd() {
  SetCurrentDir(StrValue(folder).str());
  if (FillsTheDisk()) {
    ChangeTheIniFile();
    signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{16 * 1024, 16 * 1024};
    setrlimit(RLIMIT_FSIZE, &limit);
    OpenFile(1, StrValue("big.bin"), 0);
    WriteString(1, StrValue(std::string(20 * 1024, 'b').c_str()));
  } else {
    IniOpen(StrValue("settings.ini"));
    IniPut(StrValue("main"), StrValue("x"), StrValue("2"));
    PutTextLine(StrValue("lines.txt"), 0, StrValue("changed"));
  }
}

void ResizeAndShowAFrame() {
  qrn_notify_screen_size(800, 600);
  std::printf("context %dx%d\n", GraphicsContext->windowWidth, GraphicsContext->windowHeight);
  ShowScreen(1);
}

// Prints the pixel its sprite left and the typed answer.
void RunA2dProgram() {
  SetCurrentDir(StrValue(folder).str());
  ChangeScreenMode(640, 480, 0);
  DrawRect(10, 10, 32, 32, 0x0000FF);
  GrabSpriteCmd(1, 10, 10, 32, 32);
  DrawSpriteCmd(1, 100, 100);
  PrintText(StrValue("layers"), 0, 200, 0);
  std::printf("pixel %06x\n", GetPixel(110, 110));
  SaveScreenCmd(StrValue("shot.png"));
  ShowScreen(1);
  StrValue answer;
  InputString(answer.str(), 0, 30, 0);
  std::printf("typed %s\n", answer.c_str());
  OpenFile(1, StrValue("data.txt"), 0);
  WriteString(1, StrValue("written"));
  CloseFile(1);
  IniOpen(StrValue("settings.ini"));
  IniPut(StrValue("main"), StrValue("x"), StrValue("1"));
}

int32_t PrintBuildTexts() {
  for (const char* name : {"COMPILED", "HOSTID", "VERSION"}) {
    StrValue key(name);
    const StrValue answer = StrValue::Adopt(PlatformInfo(key.str()));
    std::printf("%s=%s\n", name, answer.c_str());
  }
  EndLoopAndExit();
  return 0;
}

bool QuitRoutineWaits() {
  return ModeIs("quit-key-wait") || ModeIs("quit-poll") || ModeIs("quit-sigterm");
}

int32_t MainRoutine() {
  std::puts("main routine");
  while (QuitRoutineWaits() && !ModeIs("quit-sigterm")) {
    WaitForKey();
    std::puts("key wait ended");
  }
  if (FillsTheDisk() || ModeIs("write-back")) LeaveFileWorkForTheEnd();
  if (ModeIs("close-full-disk")) CloseFile(1);
  if (ModeIs("2d-program")) RunA2dProgram();
  if (ModeIs("return") || ModeIs("loop")) return 0;
  if (ModeIs("close")) {
    SetLastErrorCode(7);
    CloseTheWindow();
  }
  if (ModeIs("bounds")) FailAnArrayBound();
  if (ModeIs("resize")) ResizeAndShowAFrame();
  EndLoopAndExit();
  std::puts("after END");
  return 0;
}

void LoopRoutine() {
  static int passes = 0;
  std::printf("loop pass %d\n", ++passes);
  if (passes == 3) EndLoopAndExit();
}

void QuitRoutine() {
  std::puts("quit routine");
  if (ModeIs("quit-fatal")) FailAnArrayBound();
  if (ModeIs("quit-sigterm")) raise(SIGTERM);
  while (ModeIs("quit-poll")) {
    KeyDown(1);
    ShowScreen(1);
  }
  if (QuitRoutineWaits()) WaitForKey();
  CloseTheWindow();
  EndLoopAndExit();
}

const UserFunctionEntry kNoRoutines[] = {{nullptr, nullptr}};
const UserFunctionEntry kLoopRoutines[] = {{LoopRoutine, "QRN_ON_LOOP"}, {nullptr, nullptr}};
const UserFunctionEntry kQuitRoutines[] = {{QuitRoutine, "QRN_ON_QUIT"}, {nullptr, nullptr}};

const UserFunctionEntry* RoutinesForMode() {
  if (ModeIs("loop")) return kLoopRoutines;
  if (ModeIs("quit-ends") || ModeIs("quit-fatal") || QuitRoutineWaits()) return kQuitRoutines;
  return kNoRoutines;
}

const std::map<std::string, std::vector<LayerInstaller>> kLayerLists = {
    {"all", {InstallGfx2dLayer, InstallGfx3dLayer, InstallNetworkLayer, nullptr}},
    {"none", {nullptr}},
    {"2d", {InstallGfx2dLayer, nullptr}},
    {"2d-net", {InstallGfx2dLayer, InstallNetworkLayer, nullptr}},
    {"2d-3d", {InstallGfx2dLayer, InstallGfx3dLayer, nullptr}},
    {"3d", {InstallGfx3dLayer, nullptr}},
};
const char* layerList = "all";

ProgramHooks HooksForMode() {
  const LayerInstaller* layers = kLayerLists.at(layerList).data();
  if (!ModeIs("tool-texts")) return {ProjectSettings, MainRoutine, RoutinesForMode(), layers};
  ProgramHooks tool = ToolProgramHooks();
  tool.mainRoutine = PrintBuildTexts;
  return tool;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1) mode = argv[1];
  if (argc > 2) folder = argv[2];
  if (argc > 3) layerList = argv[3];
  if (FillsTheDisk()) std::atexit([] { std::puts("the program's exit handler ran"); });
  if (!ModeIs("host-full-disk")) return RunProgram(argc, argv, HooksForMode());
  RuntimeInitNoMain(HooksForMode());
  LeaveFileWorkForTheEnd();
  return 0;
}
