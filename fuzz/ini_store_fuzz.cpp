// INI changes through the program's commands, then written back and loaded again: every key the
// object holds after the changes reads back the same from the reloaded text (what the lines
// cannot carry is refused when it is put). The input is section, key and value triples separated
// by zero bytes.
#include <cstdlib>
#include <string>
#include <vector>

#include "system/ini_commands.h"
#include "system/ini_file.h"
#include "tests/support/memory_file.h"

namespace {

std::vector<std::string> Fields(const uint8_t* data, size_t size) {
  std::vector<std::string> fields(1);
  for (size_t i = 0; i < size; ++i) {
    if (data[i] == 0) {
      fields.emplace_back();
    } else {
      fields.back().push_back(char(data[i]));
    }
  }
  return fields;
}

std::string Lookup(const IniObject& object, const Str& section, const Str& key) {
  Str value = IniLookup(object, section, key, StrValue("").str());
  std::string text(value.data ? value.data : "");
  StrRelease(value);
  return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  IniObject& changed = GetIniObject();
  IniClear(changed);
  const std::vector<std::string> fields = Fields(data, size);
  for (size_t i = 0; i + 2 < fields.size(); i += 3) {
    IniPut(StrValue(fields[i].c_str()).str(), StrValue(fields[i + 1].c_str()).str(),
           StrValue(fields[i + 2].c_str()).str());
  }
  const std::string text = IniText(changed);
  IniObject reloaded;
  IniRead(reloaded, StrValue(MemoryFile(text).name.c_str()).str());
  for (const IniSection& section : changed.sections) {
    for (const IniEntry& entry : section.keys) {
      if (Lookup(changed, section.name.str(), entry.key.str()) !=
          Lookup(reloaded, section.name.str(), entry.key.str())) {
        std::abort();
      }
    }
  }
  IniClear(changed);
  return 0;
}
