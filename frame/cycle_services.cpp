// The installed cycle services, stand-ins until the layers above replace them.
#include "frame/cycle_services.h"

namespace {

CycleServices& Installed() {
  static CycleServices services = CycleStandIns();
  return services;
}

}  // namespace

const CycleServices& Cycle() {
  return Installed();
}

void InstallCycleServices(const CycleServices& services) {
  Installed() = services;
}
