// Temporary: face generation, until it lands.
#include "tool/pending_commands_standin.h"

double GenerateFaces(const Str&, double) {
  return 0;
}
