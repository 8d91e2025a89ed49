// A 2D program (a screen mode, sprites, text and typed text, a screenshot, a file, an INI file; no
// 3D command) on the layer list its first argument names: "none", "2d", "2d-net", "2d-3d", "all",
// "3d", "net" or "3d-net". It works in the folder its second argument names and prints the pixel
// its sprite left on the screen and the typed answer, so the tests see every list either run it
// or refuse to start.
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "core/console.h"
#include "core/process_globals.h"
#include "core/str_value.h"
#include "frame/frame_cycle.h"
#include "frame/frame_services.h"
#include "frame/program_entry.h"
#include "frame/runtime_startup.h"
#include "frame/screen_mode_commands.h"
#include "frame/text_input.h"
#include "gfx2d/draw_commands.h"
#include "gfx2d/gfx2d_layer.h"
#include "gfx2d/screen_commands.h"
#include "gfx2d/sprite_commands.h"
#include "gfx2d/sprite_draw_commands.h"
#include "gfx2d/text_commands.h"
#include "gfx3d/scene_runtime_hooks.h"
#include "net/network_runtime_hooks.h"
#include "system/file_commands.h"
#include "system/ini_commands.h"

namespace {

const char* folder = ".";
constexpr int32_t kRed = 0x0000FF;

void ProjectSettings() {
  ConfiguredScreenWidth = 640;
  ConfiguredScreenHeight = 480;
  ScreenSettings = {0, 0, 30, 0};
  StrAssignCString(GetAppNameStr(), "layer test");
}

void DrawAndSaveTheScreen() {
  ChangeScreenMode(640, 480, 0);
  DrawRect(10, 10, 32, 32, kRed);
  GrabSpriteCmd(1, 10, 10, 32, 32);
  DrawSpriteCmd(1, 100, 100);
  PrintText(StrValue("layers"), 0, 200, 0);
  std::printf("pixel %06x\n", GetPixel(110, 110));
  SaveScreenCmd(StrValue("shot.png"));
  ShowScreen(1);
  SaveSpriteCmd(StrValue("sprite.bmp"), 1);
  StrValue answer;
  InputString(answer.str(), 0, 30, 0);
  std::printf("typed %s\n", answer.c_str());
}

void WriteTheFiles() {
  OpenFile(1, StrValue("data.txt"), 0);
  WriteString(1, StrValue("written"));
  CloseFile(1);
  IniOpen(StrValue("settings.ini"));
  IniPut(StrValue("main"), StrValue("x"), StrValue("1"));
}

int32_t MainRoutine() {
  SetCurrentDir(StrValue(folder).str());
  DrawAndSaveTheScreen();
  WriteTheFiles();
  EndLoopAndExit();
  return 0;
}

const UserFunctionEntry kNoRoutines[] = {{nullptr, nullptr}};

const std::map<std::string, std::vector<LayerInstaller>> kLists = {
    {"none", {nullptr}},
    {"2d", {InstallGfx2dLayer, nullptr}},
    {"2d-net", {InstallGfx2dLayer, InstallNetworkLayer, nullptr}},
    {"2d-3d", {InstallGfx2dLayer, InstallGfx3dLayer, nullptr}},
    {"all", {InstallGfx2dLayer, InstallGfx3dLayer, InstallNetworkLayer, nullptr}},
    {"3d", {InstallGfx3dLayer, nullptr}},
    {"net", {InstallNetworkLayer, nullptr}},
    {"3d-net", {InstallGfx3dLayer, InstallNetworkLayer, nullptr}},
};

}  // namespace

int main(int argc, char** argv) {
  const auto list = kLists.find(argc > 1 ? argv[1] : "");
  if (list == kLists.end()) return 2;
  if (argc > 2) folder = argv[2];
  return RunProgram(argc, argv, {ProjectSettings, MainRoutine, kNoRoutines, list->second.data()});
}
