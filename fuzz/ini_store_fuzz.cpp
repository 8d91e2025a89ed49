// INI changes through the program's commands, then written back and loaded again: every key the
// object holds after the changes reads back the same from the reloaded text, as far as the plain
// "[section]" and "key=value" lines can carry it. The input is section, key and value triples
// separated by zero bytes.
#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "system/ini_commands.h"
#include "system/ini_file.h"
#include "system/memory_blocks.h"

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

bool Control(char c) {
  return uint8_t(c) < 32 || c == 127;
}

// Names and values the plain lines cannot carry: a nameless section after a named one, names
// with blanks, '=' or control bytes, a section name ending in ']', a key a reader takes for a
// comment or a header, a value with leading blanks or control bytes, a line a reader takes in
// pieces.
bool Carried(const std::string& section, const std::string& key, const std::string& value) {
  auto plainName = [](const std::string& name) {
    return name.find_first_of(" =") == std::string::npos &&
           std::none_of(name.begin(), name.end(), Control);
  };
  constexpr size_t kWholeLine = 1000;
  return section.size() + key.size() + value.size() < kWholeLine && !section.empty() &&
         plainName(section) && section.back() != ']' && plainName(key) &&
         key[0] != ';' && key[0] != '[' && value[0] != ' ' &&
         std::none_of(value.begin(), value.end(), Control);
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
  const uint32_t token = RegisterMemoryBlock(std::vector<uint8_t>(text.begin(), text.end()));
  IniObject reloaded;
  IniRead(reloaded, StrValue(FormatMemoryFileName(uint32_t(text.size()), token).c_str()).str());
  ReleaseMemoryBlock(token);
  // One pair the lines cannot carry may change what the lines after it say, so only an object
  // whose every pair is carried is compared.
  bool carried = true;
  for (const IniSection& section : changed.sections) {
    for (const IniEntry& entry : section.keys)
      carried = carried && Carried(section.name.c_str(), entry.key.c_str(), entry.value.c_str());
  }
  for (const IniSection& section : changed.sections) {
    for (const IniEntry& entry : section.keys) {
      if (carried && Lookup(changed, section.name.str(), entry.key.str()) !=
                         Lookup(reloaded, section.name.str(), entry.key.str())) {
        std::abort();
      }
    }
  }
  IniClear(changed);
  return 0;
}
