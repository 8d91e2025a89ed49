// The program's one INI file: opened by name, read and changed by section and key (letter case
// ignored), and written back when another file is opened and when the process ends. A file
// read from packed media is never written back.
#pragma once

#include "core/str.h"
#include "system/ini_file.h"

// The process-wide object, built empty on first use; from then on it is written back at exit.
IniObject& GetIniObject();

// Writes back pending changes to the file they were read from, then loads the named file; an
// empty name leaves no file open. A write-back that failed, or was refused because a channel
// writes to the file, sets code 3 and leaves the file as it was.
void IniOpen(const Str& name);

// A new string the caller releases: the value, or a copy of the default.
Str IniGet(const Str& section, const Str& key, const Str& fallback);

// Sets the key. An empty value deletes it (the section's last key takes its place); an empty
// key deletes the whole section (the last section takes its place). A missing section is made.
// What the file could not give back as it was (IniCanHold) sets code 7 and changes nothing.
void IniPut(const Str& section, const Str& key, const Str& value);

// At process exit: writes back pending changes, then empties the object.
void IniFlush();
