// The installed start-up and shutdown hooks; layers a program does not link keep their defaults.
#include "frame/runtime_hooks.h"

namespace {

// Function-local tables, so the absent-layer answers are in place before any layer installs.
StartupHooks& InstalledStartup() {
  static StartupHooks hooks = AbsentLayerStartupHooks();
  return hooks;
}

ShutdownHooks& InstalledShutdown() {
  static ShutdownHooks hooks = AbsentLayerShutdownHooks();
  return hooks;
}

}  // namespace

const StartupHooks& GetStartupHooks() {
  return InstalledStartup();
}

void SetStartupHooks(const StartupHooks& hooks) {
  InstalledStartup() = hooks;
}

const ShutdownHooks& GetShutdownHooks() {
  return InstalledShutdown();
}

void SetShutdownHooks(const ShutdownHooks& hooks) {
  InstalledShutdown() = hooks;
}

void ChangeRuntimeHooks(void (*change)(StartupHooks& startup, ShutdownHooks& shutdown)) {
  change(InstalledStartup(), InstalledShutdown());
}
