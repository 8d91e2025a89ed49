// INI objects: sections of key=value pairs read from a disk file or a memory name, looked up
// without regard to letter case, and written back in the runtime's own plain form. The
// program's one INI file (system/ini_commands.h) and the scene loader's own objects share this.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/str.h"
#include "core/str_value.h"

struct IniEntry {
  StrValue key;
  StrValue value;
};

struct IniSection {
  StrValue name;  // may be empty: the keys before the first header
  std::vector<IniEntry> keys;
};

// A file may hold a section or key twice; every lookup and change takes the first in order.
struct IniObject {
  std::vector<IniSection> sections;  // in file order, then in order of creation
  StrValue name;                     // the resolved name loaded from; empty = no file
  std::string path;                  // that file from the root; empty = none can be written
  bool byteOrderMark = false;        // the file began with UTF-8's, which a write-back keeps
  uint8_t dirty = 0;                 // changed since the load
};

// Empties the object, resolves the name through the memory archive (keeping the name as given
// when that fails) and reads it. A line ends at "\n", "\r\n" or a lone "\r"; a byte-order mark
// at the start is no part of the first line. A missing file leaves the object empty but named;
// lines that break the grammar are skipped. Never sets the error code.
void IniLoad(IniObject& object, const Str& name);
// IniLoad of a name already resolved, for a loader that has opened it: resolving a memory name
// of the archive again would release the block it names.
void IniRead(IniObject& object, const Str& resolvedName);

// The value of the key in the first section of that name, as a new string the caller
// releases; otherwise a copy of the default. A later section of the same name is not searched.
Str IniLookup(const IniObject& object, const Str& section, const Str& key, const Str& fallback);

// The first section or key of that name (letter case ignored); -1 when there is none.
int32_t IniFindSection(const IniObject& object, const Str& section);
int32_t IniFindKey(const IniSection& section, const Str& key);

// Room for more than n pairs, grown as the runtime always grew key lists (first 512, then in
// steps of 128). False when memory runs out.
bool IniEntryArrayReserve(std::vector<IniEntry>& keys, int32_t n);

// Releases every pair, the last first; with freeStorage the list's memory goes too.
void StringPairArrayClear(std::vector<IniEntry>& keys, bool freeStorage);

// True when a file holding the pair reads back the same section name, key and value (the key
// not empty): no line break, no blank or '=' in a key or section name, no ']' in a section
// name, no blank at a value's start, no character below 32 at its end.
bool IniCanHold(const Str& section, const Str& key, const Str& value);

// The file's bytes: the byte-order mark the file began with, then "[name]" and each
// "key=value", every line ended by "\r\n".
std::string IniText(const IniObject& object);

// When the object is dirty and was read from a disk file, replaces that file with IniText,
// wherever the current folder is now. False when that was refused (a channel writes to the
// file, or the name was relative to a current folder that no longer existed) or failed; the old
// file then stays whole.
bool IniWriteBack(const IniObject& object);

// Releases the name and every section; dirty 0.
void IniClear(IniObject& object);
