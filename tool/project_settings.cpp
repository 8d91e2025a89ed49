// The tool's start-up settings and build texts.
#include "tool/project_settings.h"

#include "core/console.h"
#include "core/process_globals.h"
#include "frame/frame_services.h"
#include "frame/runtime_startup.h"
#include "tool/tool_hooks.h"

namespace {

Str NewStr(const char* text) {
  Str s;
  StrFromCString(s, text);
  return s;
}

}  // namespace

void ProjectSettings() {
  const ProjectSettingsValues& settings = kToolProjectSettings;
  ConfiguredScreenWidth = settings.screenWidth;
  ConfiguredScreenHeight = settings.screenHeight;
  DebugFlag = settings.debugFlag;
  ScreenSettings.fullscreen = settings.fullScreen;
  ScreenSettings.hidePointer = settings.hidePointer;
  ScreenSettings.frameRate = settings.frameRate;
  ScreenSettings.multisample = settings.multisampleCount;
  StrAssignCString(GetAppNameStr(), settings.applicationName);
  // The entry asks nothing of the program before its settings, so its routines go in with them.
  InstallToolHooks();
}

// The compiler's date already pads the day with a blank ("Mar  1 2013").
Str ProjectBuildStamp() {
  return NewStr(__DATE__ "-" __TIME__);
}

Str ProjectHostId() {
  return NewStr("00000000");
}

Str ProjectVersion() {
  return NewStr("000.001");
}
