// The quit sequence in its fixed order and the terminate path around it.
#include "frame/runtime_shutdown.h"

#include <cstdio>
#include <cstdlib>

#include "core/last_error.h"
#include "core/process_globals.h"
#include "core/terminate.h"
#include "core/user_functions.h"
#include "frame/frame_services.h"
#include "frame/graphics_context.h"
#include "frame/input_manager.h"
#include "frame/music_player.h"
#include "frame/runtime_hooks.h"
#include "frame/runtime_objects.h"
#include "frame/runtime_startup.h"
#include "frame/sound_device.h"
#include "platform/file_system.h"
#include "platform/window.h"
#include "system/debug_log.h"
#include "system/file_channels.h"
#include "system/file_commands.h"
#include "system/pack_archive.h"

namespace {

bool quitCallbackCalled = false;

void CallQuitCallbackOnce() {
  if (quitCallbackCalled) return;
  quitCallbackCalled = true;
  CallByName("QRN_ON_QUIT");
}

void ReleaseInput() {
  if (!InputObject) return;
  InputRelease(*InputObject);
  delete InputObject;
  InputObject = nullptr;
}

// The scene's textures, buffers and shaders belong to the context: the scene goes first.
void ReleaseSceneAndContext() {
  if (SceneObject) {
    if (GraphicsContext->window) {
      platform::MakeCurrent(GraphicsContext->window, GraphicsContext->glContext);
    }
    GetShutdownHooks().deleteScene(SceneObject);
    SceneObject = nullptr;
  }
  GraphicsContext->scene = nullptr;
  delete GraphicsContext;
  GraphicsContext = nullptr;
}

void DestroyMainWindow() {
  platform::DestroyWindow(platform::WindowFromId(MainWindowHandle));
  MainWindowHandle = 0;
}

void WriteLogNumber(int32_t value) {
  char line[16];
  std::snprintf(line, sizeof line, "%d\n", value);
  ErrorLogWrite(line);
}

void WriteEndOfProgramLines() {
  ErrorLogWrite("-End On Line\n");
  WriteLogNumber(LastErrorCode);
  WriteLogNumber(LastErrorLine - 1);
  WriteLogNumber(SourceLineWord);
  WriteLogNumber(SourcePositionWord);
}

void TerminateRuntime(int exitStatus) {
  // Bytes still waiting in a channel's buffer fail here as they would have failed when
  // written unbuffered: the end reports code 3 and status 1.
  if (!FlushAllChannels()) {
    SetLastErrorCode(3);
    exitStatus = 1;
  }
  if (DebugFlag) WriteEndOfProgramLines();
  QuitRuntime();
  platform::ShutdownWindowSystem();
  std::puts("exit");
  std::fflush(stdout);
  std::exit(exitStatus);
}

}  // namespace

void QuitRuntime() {
  CallQuitCallbackOnce();
  if (!GraphicsContext) return;
  ErrorLogWrite("Shut down QRN\n");
  MusicOff();
  platform::ChangeCurrentFolder(ExecutableFolder());
  CloseAllFiles();
  GetShutdownHooks().releaseNetwork();
  ReleaseInput();
  SoundSlotsShutdown();
  SoundDeviceShutdown();
  ReleaseSceneAndContext();
  ReleasePackArchives();
  DestroyMainWindow();
  ErrorLogWrite("qrn is shut down\n");
}

void InstallRuntimeTerminate() {
  InstallQuitHandler(TerminateRuntime);
}

void ResetShutdownForTests() {
  quitCallbackCalled = false;
}
