#include "frame/platform_info.h"

#include <algorithm>
#include <cstring>
#include <ctime>
#include <string>

#include "core/str_functions.h"
#include "frame/gl_extensions.h"
#include "platform/files.h"
#include "platform/power_supply.h"
#include "system/locale_code.h"
#include "system/platform_facts.h"

namespace {

constexpr const char* kNoData = "NO_DATA";
constexpr size_t kGlPrefixLength = 6;  // "GLEXT:"

ProjectTexts& InstalledProjectTexts() {
  static ProjectTexts texts{};
  return texts;
}

Str TextOf(const std::string& text) {
  Str s;
  StrFromCString(s, text.c_str());
  return s;
}

Str ProjectText(Str (*text)()) { return text ? text() : TextOf(kNoData); }

std::string OrNoData(const std::string& text) { return text.empty() ? kNoData : text; }

std::string BatteryText() {
  return std::to_string(std::min(platform::BatteryPercent(), 100));
}

std::string LocaleText() {
  return LocaleCodeOfLanguageId(LanguageIdOfLocale(PosixLocaleName()));
}

// The keys answered by the system layer's facts, in the order they are tested.
std::string FactFor(const char* key) {
  if (std::strcmp(key, "ID") == 0) return DeviceIdText(OrNoData(AppDataFolder()));
  if (std::strcmp(key, "TIME") == 0) return DateTimeTextAt(std::time(nullptr), false);
  if (std::strcmp(key, "UTCTIME") == 0) return DateTimeTextAt(std::time(nullptr), true);
  if (std::strcmp(key, "BATTERY") == 0) return BatteryText();
  return {};
}

std::string FolderFor(const char* key) {
  if (std::strcmp(key, "LOCALE") == 0) return LocaleText();
  if (std::strcmp(key, "DOCUMENTS") == 0) return OrNoData(DocumentsFolder());
  if (std::strcmp(key, "APPDATA") == 0) return OrNoData(AppDataFolder());
  if (std::strcmp(key, "TEMP") == 0) return platform::TempFolder();
  return kNoData;
}

Str Answer(const char* key, const char* keyAsGiven) {
  if (*key == '\0') return TextOf("LINUX");
  if (std::strcmp(key, "DEVICE") == 0) return TextOf("DESKTOP");
  if (std::strncmp(key, "GLEXT:", kGlPrefixLength) == 0) {
    return TextOf(GlFunctionAvailable(keyAsGiven + kGlPrefixLength) ? "1" : "0");
  }
  std::string fact = FactFor(key);
  if (!fact.empty()) return TextOf(fact);
  const ProjectTexts& project = InstalledProjectTexts();
  if (std::strcmp(key, "COMPILED") == 0) return ProjectText(project.buildStamp);
  if (std::strcmp(key, "HOSTID") == 0) return ProjectText(project.hostId);
  if (std::strcmp(key, "VERSION") == 0) return ProjectText(project.version);
  return TextOf(FolderFor(key));
}

}  // namespace

void InstallProjectTexts(const ProjectTexts& texts) { InstalledProjectTexts() = texts; }

Str PlatformInfo(Str& key) {
  const std::string keyAsGiven = key.data;
  StrUpperInPlace(key);
  return Answer(key.data, keyAsGiven.c_str());
}
