// INI files from a memory name: any bytes load without reading out of bounds, every section and
// key found answers a lookup, and the written-back text of what was loaded loads to itself.
#include <cstdlib>
#include <string>

#include "system/ini_file.h"
#include "tests/support/memory_file.h"

namespace {

void LoadText(IniObject& object, const std::string& text) {
  const MemoryFile file(text);
  IniRead(object, StrValue(file.name.c_str()).str());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  IniObject loaded;
  LoadText(loaded, std::string(reinterpret_cast<const char*>(data), size));
  for (const IniSection& section : loaded.sections) {
    for (const IniEntry& entry : section.keys) {
      Str value = IniLookup(loaded, section.name.str(), entry.key.str(), StrValue("").str());
      if (IniFindKey(section, entry.key.str()) < 0) std::abort();
      StrRelease(value);
    }
  }
  const std::string text = IniText(loaded);
  IniObject again;
  LoadText(again, text);
  if (IniText(again) != text) std::abort();
  return 0;
}
