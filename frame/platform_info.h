// The program's query for facts about the machine and the build, by key.
#pragma once

#include "core/str.h"

// The build's own texts, which the program installs: its build stamp ("Mmm dd yyyy-hh:mm:ss"),
// host id and version. A text not installed answers "NO_DATA".
struct ProjectTexts {
  Str (*buildStamp)();
  Str (*hostId)();
  Str (*version)();
};
void InstallProjectTexts(const ProjectTexts& texts);

// Keys match in any case: the key is upper-cased in place (so the caller's key is left
// upper-case); the name after "GLEXT:" keeps the case the caller gave. An unknown key answers
// "NO_DATA". The caller releases the answer.
Str PlatformInfo(Str& key);
