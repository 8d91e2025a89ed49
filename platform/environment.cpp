// getenv, setenv, unsetenv and environ behind the environment functions. Never putenv: it keeps
// the caller's pointer, and "NAME=" would set an empty variable instead of removing it.
#include "platform/environment.h"

#include <unistd.h>

#include <cstdlib>

namespace platform {

std::string EnvironmentValue(const char* name) {
  const char* value = name ? std::getenv(name) : nullptr;
  return value ? value : "";
}

bool SetEnvironmentValue(const char* name, const char* value) {
  if (!value || !*value) return ::unsetenv(name) == 0;
  return ::setenv(name, value, 1) == 0;
}

std::vector<std::string> EnvironmentEntries() {
  std::vector<std::string> entries;
  for (char** entry = environ; entry && *entry; ++entry) entries.emplace_back(*entry);
  return entries;
}

}  // namespace platform
