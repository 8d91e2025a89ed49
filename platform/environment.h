// The process environment: stands in for getenv, _putenv and the environment block. Setting
// copies the texts (the caller's buffers may go away), and an empty value removes the variable,
// as the runtime's platform did.
//
// What Linux cannot do: nothing is missing. None of this is safe against other threads changing
// the environment; the runtime uses it from the main thread only.
//
// Test seams: none.
#pragma once

#include <string>
#include <vector>

namespace platform {

// Empty when the variable is not set.
std::string EnvironmentValue(const char* name);

// An empty value removes the variable. False when the name is empty or holds '='.
bool SetEnvironmentValue(const char* name, const char* value);

// Every "name=value" entry, in the environment's own order.
std::vector<std::string> EnvironmentEntries();

}  // namespace platform
