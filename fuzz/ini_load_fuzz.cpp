// INI files from a memory name: any bytes load without reading out of bounds, every section and
// key found answers a lookup, and what was loaded, written back and loaded again answers each
// lookup that found a value alike. A value of control bytes alone loads empty and is written as
// no value at all, so it is the text written after that second load that loads to itself.
#include <cstdlib>
#include <string>

#include "system/ini_file.h"
#include "tests/support/memory_file.h"

namespace {

void LoadText(IniObject& object, const std::string& text) {
  const MemoryFile file(text);
  IniRead(object, StrValue(file.name.c_str()).str());
}

std::string Lookup(const IniObject& object, const IniSection& section, const IniEntry& entry) {
  Str value = IniLookup(object, section.name.str(), entry.key.str(), StrValue("").str());
  std::string text(value.data);
  StrRelease(value);
  return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  IniObject loaded;
  LoadText(loaded, std::string(reinterpret_cast<const char*>(data), size));
  IniObject again;
  LoadText(again, IniText(loaded));
  for (const IniSection& section : loaded.sections) {
    for (const IniEntry& entry : section.keys) {
      if (IniFindKey(section, entry.key.str()) < 0) std::abort();
      const std::string value = Lookup(loaded, section, entry);
      if (!value.empty() && Lookup(again, section, entry) != value) std::abort();
    }
  }
  const std::string text = IniText(again);
  IniObject third;
  LoadText(third, text);
  if (IniText(third) != text) std::abort();
  return 0;
}
