#include "platform/power_supply.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <vector>

#include "platform/file_system.h"

namespace platform {

namespace {

std::string& SupplyFolder() {
  static std::string folder = "/sys/class/power_supply";
  return folder;
}

std::string FirstLineOf(const std::string& path) {
  std::ifstream file(path);
  std::string line;
  std::getline(file, line);
  while (!line.empty() && (line.back() == ' ' || line.back() == '\r')) line.pop_back();
  return line;
}

bool ReadPercent(const std::string& path, int& percent) {
  std::string text = FirstLineOf(path);
  if (text.empty()) return false;
  char* end = nullptr;
  long value = std::strtol(text.c_str(), &end, 10);
  if (*end != '\0') return false;
  percent = static_cast<int>(std::clamp(value, 0L, 100L));
  return true;
}

}  // namespace

int BatteryPercent() {
  std::vector<FolderEntry> entries;
  if (!ReadFolder(SupplyFolder(), entries)) return 255;
  std::sort(entries.begin(), entries.end(),
            [](const FolderEntry& a, const FolderEntry& b) { return a.name < b.name; });
  for (const FolderEntry& entry : entries) {
    if (entry.name == "." || entry.name == "..") continue;
    const std::string supply = SupplyFolder() + "/" + entry.name;
    if (FirstLineOf(supply + "/type") != "Battery") continue;
    if (FirstLineOf(supply + "/scope") == "Device") continue;
    int percent = 0;
    if (ReadPercent(supply + "/capacity", percent)) return percent;
  }
  return 255;
}

void SetPowerSupplyFolder(const std::string& folder) {
  SupplyFolder() = folder.empty() ? "/sys/class/power_supply" : folder;
}

}  // namespace platform
