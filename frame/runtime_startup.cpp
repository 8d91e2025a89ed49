// The start-up's steps in their fixed order, with the log line each one writes first.
#include "frame/runtime_startup.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/console.h"
#include "core/error_log_hook.h"
#include "core/number_text.h"
#include "core/process_globals.h"
#include "core/random.h"
#include "core/str.h"
#include "core/str_value.h"
#include "frame/default_font.h"
#include "frame/frame_cycle.h"
#include "frame/frame_services.h"
#include "frame/graphics_context.h"
#include "frame/graphics_window.h"
#include "frame/input_manager.h"
#include "frame/render_state.h"
#include "frame/runtime_hooks.h"
#include "frame/runtime_objects.h"
#include "frame/runtime_shutdown.h"
#include "frame/screen_modes.h"
#include "frame/sound_device.h"
#include "platform/file_system.h"
#include "platform/files.h"
#include "platform/window.h"
#include "system/archive_commands.h"
#include "system/debug_log.h"
#include "system/declared_functions.h"
#include "system/pack_archive.h"
#include "system/timers.h"

ScreenSettingsRecord ScreenSettings;

namespace {

// The system font's files, in the order they are looked for.
constexpr const char* kSystemFontFiles[] = {"Media/smalfont.png", "Media/smalfont.bmp",
                                            "smalfont.png", "smalfont.bmp"};

std::string ExecutablePathWithSlashes() {
  std::string path = platform::ExecutablePath();
  std::replace(path.begin(), path.end(), '\\', '/');
  return path;
}

// Running on without a window would crash at the first frame: say why and end here, before any
// quit sequence or callback could touch the missing context.
[[noreturn]] void EndWithoutWindow() {
  std::fprintf(stderr, "The graphics window cannot be made: %s\n",
               platform::LastWindowError().c_str());
  delete GraphicsContext;
  GraphicsContext = nullptr;
  platform::ShutdownWindowSystem();
  std::exit(1);
}

void MakeGraphicsWindow(OpenGLRainbows& ctx, void* instance, const char* applicationName) {
  ErrorLogWrite("rbow init\n");
  if (!CreateGraphicsWindow(ctx, instance, ConfiguredScreenWidth, ConfiguredScreenHeight, 0,
                            ScreenSettings.frameRate, ScreenSettings.multisample)) {
    EndWithoutWindow();
  }
  AdoptMainWindow(ctx);
  platform::SetTitle(ctx.window, applicationName);
  ErrorLogWrite("Cptn\n");
  StrAssignCString(GetCaptionText(), applicationName);
}

OpenGLRainbows& MakeEngineObjects(void* instance, const char* applicationName) {
  ErrorLogWrite("rbow\n");
  GraphicsContext = new OpenGLRainbows;
  OpenGLRainbows& ctx = *GraphicsContext;
  MakeGraphicsWindow(ctx, instance, applicationName);
  RandomSeed(static_cast<uint32_t>(TruncToI32(GetElapsedTime())));
  ErrorLogWrite("Network\n");
  GetStartupHooks().makeNetworkState();
  SceneObject = GetStartupHooks().makeScene(ctx);
  ErrorLogWrite("Input\n");
  InputObject = new InputManager;
  return ctx;
}

void SetUpWindowAndInput(OpenGLRainbows& ctx) {
  ErrorLogWrite("Window mode\n");
  if (ScreenSettings.fullscreen) {
    RecreateGraphicsWindow(ctx);
  } else {
    ApplyWindowMode(ctx);
  }
  ErrorLogWrite("Create DXin\n");
  InputInit(*InputObject, ctx.window, ScreenSettings.hidePointer != 0);
  ErrorLogWrite("reptr\n");
  GetStartupHooks().selectFont(0);
  InputObject->window = ctx.window;
}

void EnterExecutableFolder() {
  ErrorLogWrite("getexe\n");
  const std::string folder = ExecutableFolder();
  ErrorLogWrite("cd\n");
  platform::ChangeCurrentFolder(folder);
  const std::string line = "exepath=curdir= " + folder + "\n";
  ErrorLogWrite(line.c_str());
}

// Both media searches look into the program's own file, where packed media may be appended.
void SetUpMediaSearch() {
  ReleasePackArchives();
  ErrorLogWrite("quazboxing...\n");
  const StrValue archive(ExecutablePathWithSlashes().c_str());
  SetArchiveFiles(archive, archive);
}

// The core reaches the debug log and the graphics context only through these hooks. The size
// notice changes the context's size words alone: no window or viewport.
void TakeNotifiedSize(int32_t width, int32_t height) {
  if (!GraphicsContext) return;
  GraphicsContext->windowWidth = width;
  GraphicsContext->windowHeight = height;
}

void InstallCoreHooks() {
  SetErrorLogHook(ErrorLogWrite);
  InstallContextSizeHook(TakeNotifiedSize);
}

void SetAllFrameTimes() {
  const double now = GetTimerAll();
  FrameTimes = {now, now, now};
}

void FirstFrame(OpenGLRainbows& ctx) {
  ErrorLogWrite("init gettimer\n");
  SetAllFrameTimes();
  SetStartupTimeStampSource(&FrameTimes.startupTimeStamp);
  ErrorLogWrite("clear screen\n");
  GetStartupHooks().clearScreen(0);
  ErrorLogWrite("flip\n");
  PresentFrame(ctx, nullptr);
}

void MakeFonts(OpenGLRainbows& ctx) {
  ErrorLogWrite("mk2D\n");
  ResetRenderState(ctx);
  CreateDefaultFont(ctx, 0);
  ErrorLogWrite("finding font...\n");
  std::string path;
  for (const char* name : kSystemFontFiles) {
    if (!ResolveFileName(MemoryArchive, name, path, true)) continue;
    GetStartupHooks().loadFont(path.c_str(), 0);
    break;
  }
  GetStartupHooks().selectFont(0);
}

void FinishWindow(OpenGLRainbows& ctx, int32_t showCommand) {
  PauseFlag = 0;
  SetAllFrameTimes();
  if (showCommand == 0) {
    LeaveFullscreen(ctx);
    platform::HideWindow(ctx.window);
  }
  SetPointerVisible(*InputObject, ScreenSettings.hidePointer == 0);
}

}  // namespace

std::string ExecutableFolder() {
  std::string path = ExecutablePathWithSlashes();
  const size_t separator = path.rfind('/');
  if (separator != std::string::npos) path.resize(separator);
  return path;
}

void RuntimeStartup(void* instance, int32_t showCommand, const char* applicationName) {
  if (!applicationName) applicationName = "";
  InstallCoreHooks();
  ErrorLogStartNew();
  AutoPauseFlag = 1;
  InstallRuntimeTerminate();
  ErrorLogWrite("timer\n");
  TimerInit();
  OpenGLRainbows& ctx = MakeEngineObjects(instance, applicationName);
  SetUpWindowAndInput(ctx);
  EnterExecutableFolder();
  SetUpMediaSearch();
  FirstFrame(ctx);
  MakeFonts(ctx);
  FinishWindow(ctx, showCommand);
  DeclareDelayLoad();
  SoundStartup(ctx.window, ctx.window);
  ErrorLogWrite("Init Finalized\n");
}
