// Storage of the network test seams. Tests install them before they start threads, so plain
// globals serve; the flags are atomic because the network thread reads them.
#include "platform/net_seams.h"

#include <atomic>
#include <utility>

namespace platform {
namespace {

HostResolver& Resolver() {
  static HostResolver resolver;
  return resolver;
}

LocalAddressProvider& Provider() {
  static LocalAddressProvider provider;
  return provider;
}

std::atomic<bool> loopbackGuard{false};
std::atomic<bool> testBindAddress{false};

}  // namespace

void SetHostResolver(HostResolver resolver) {
  Resolver() = std::move(resolver);
}
void SetLocalAddressProvider(LocalAddressProvider provider) {
  Provider() = std::move(provider);
}
const HostResolver& InstalledHostResolver() {
  return Resolver();
}
const LocalAddressProvider& InstalledLocalAddressProvider() {
  return Provider();
}

void SetLoopbackGuard(bool on) {
  loopbackGuard = on;
}
bool LoopbackGuardOn() {
  return loopbackGuard;
}

void SetTestBindAddress(bool on) {
  testBindAddress = on;
}
bool TestBindAddressOn() {
  return testBindAddress;
}

}  // namespace platform
