// The network's part of the runtime's start-up and quit sequence, installed into the frame's
// hooks: the frame sits beside the network layer and cannot name it.
#include "net/network_runtime_hooks.h"

#include "frame/runtime_hooks.h"
#include "net/session_commands.h"
#include "net/socket_layer.h"

namespace {

// Enough for every start reference a program can still hold when it ends.
constexpr int kFinalSocketShutdowns = 16;

void MakeNetworkRecord() {
  NetSessionRecordCreate();
}

void ReleaseNetwork() {
  NetSessionRecordRelease();
  for (int i = 0; i < kFinalSocketShutdowns; ++i) SockShutdown();
}

}  // namespace

void InstallNetworkLayer() {
  ChangeRuntimeHooks([](StartupHooks& startup, ShutdownHooks& shutdown) {
    startup.makeNetworkState = MakeNetworkRecord;
    shutdown.releaseNetwork = ReleaseNetwork;
  });
}
