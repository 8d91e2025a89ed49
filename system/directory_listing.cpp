// The current folder through the platform's folder reader, sorted with the runtime's own sort
// so that names equal but for letter case keep the order programs have always seen.
#include "system/directory_listing.h"

#include <string>
#include <vector>

#include "core/allocation_failure.h"
#include "platform/file_system.h"
#include "system/name_match.h"
#include "system/string_array_sort.h"

namespace {

// Stores the names from index `from` on and sorts them there.
void StoreSorted(DimArray& out, int32_t from, const std::vector<std::string>& names) {
  if (names.empty()) return;
  for (size_t k = 0; k < names.size(); ++k) {
    StrAssignCString(*ArrayStringAt(out, from + int32_t(k)), names[k].c_str());
  }
  const int32_t last = from + int32_t(names.size()) - 1;
  StringArraySort(ArrayStringAt(out, from), ArrayStringAt(out, last), CompareNoCase);
}

// The folder's sub-folders, and its files that match the pattern.
void ReadNames(const Str& pattern, std::vector<std::string>& folders,
               std::vector<std::string>& files) {
  std::vector<platform::FolderEntry> entries;
  platform::ReadFolder(".", entries);
  for (platform::FolderEntry& entry : entries) {
    if (entry.isFolder) {
      folders.push_back(std::move(entry.name));
    } else if (WildcardMatch(pattern.data, entry.name.c_str())) {
      files.push_back(std::move(entry.name));
    }
  }
}

}  // namespace

int32_t ListDirectory(const Str& pattern, DimArray& out) {
  std::vector<std::string> folders;
  std::vector<std::string> files;
  FatalOnAllocationFailure([&] { ReadNames(pattern, folders, files); });
  const int32_t total = int32_t(folders.size() + files.size());
  ArrayDimString(out, total, 0, 0, 0);
  StoreSorted(out, 0, folders);
  StoreSorted(out, int32_t(folders.size()), files);
  return total;
}
