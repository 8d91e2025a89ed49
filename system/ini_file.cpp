// Reading, lookup and writing of INI objects. The file comes whole through the read streams, so
// a disk file and a memory name read alike, and a line is read whole however long it is.
#include "system/ini_file.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <string>
#include <string_view>
#include <utility>

#include "core/allocation_failure.h"
#include "platform/files.h"
#include "system/file_channels.h"
#include "system/file_stream.h"
#include "system/memory_blocks.h"
#include "system/name_match.h"
#include "system/pack_archive.h"

namespace {

constexpr int32_t kKeysInitial = 512;
constexpr int32_t kKeysStep = 128;
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}
bool EndsWord(char c) {
  return IsBlank(c) || c == '\0' || c == '=';
}

const char* SkipBlanks(const char* p) {
  while (IsBlank(*p)) ++p;
  return p;
}

const char* WordEnd(const char* p) {
  while (!EndsWord(*p)) ++p;
  return p;
}

bool SameNoCase(const Str& a, const Str& b) {
  return CStrCompareNoCase(a.data, b.data) == 0;
}

StrValue TextOf(const char* begin, const char* end) {
  return StrValue(std::string(begin, end).c_str());
}

// A section that collected keys joins the object; one without keys is dropped. The name stays
// for the next section when its header names none.
void CloseSection(IniObject& object, IniSection& pending) {
  if (pending.keys.empty()) return;
  object.sections.push_back(pending);
  StringPairArrayClear(pending.keys, false);
}

void ReadHeader(IniObject& object, IniSection& pending, const char* afterBracket) {
  CloseSection(object, pending);
  const char* begin = SkipBlanks(afterBracket);
  const char* end = WordEnd(begin);
  if (end > begin && end[-1] == ']') --end;
  if (end > begin) pending.name = TextOf(begin, end);
}

// "key = value": blanks may stand around the '='; a key without '=' or a pair without a value
// is no pair at all.
void ReadPair(IniSection& pending, const char* line) {
  const char* keyEnd = WordEnd(line);
  if (*keyEnd == '\0') return;
  const char* equals = SkipBlanks(keyEnd);
  if (*equals != '=') return;
  const char* value = SkipBlanks(equals + 1);
  if (*value == '\0') return;
  if (!IniEntryArrayReserve(pending.keys, int32_t(pending.keys.size()))) return;
  // A value of control bytes alone is kept, empty.
  IniEntry entry{TextOf(line, keyEnd), StrValue(value)};
  StrTrimControlRight(entry.value.str());
  pending.keys.push_back(std::move(entry));
}

// A lone '\r' ends a line too: files from editors that end lines so keep their pairs.
std::string_view NextIniLine(std::string_view bytes, size_t& position) {
  const size_t start = position;
  const size_t end = std::min(bytes.find_first_of("\r\n", start), bytes.size());
  position = end + (bytes.substr(end, 2) == "\r\n" ? 2 : 1);
  return bytes.substr(start, end - start);
}

void ReadLine(IniObject& object, IniSection& pending, const char* line) {
  line = SkipBlanks(line);
  if (*line == ';') return;
  if (*line == '[') {
    ReadHeader(object, pending, line + 1);
  } else {
    ReadPair(pending, line);
  }
}

bool HasAny(const char* text, const char* characters) {
  return std::strpbrk(text, characters) != nullptr;
}

// What the header reads back as it is: no blank, '=' or ']' inside.
bool FitsSectionName(const char* name) {
  return !HasAny(name, " \t\r\n=]");
}

// A key is the line's first word: no blank or '=' inside, and no start that makes the line a
// comment or a header.
bool FitsKey(const char* key) {
  return *key != ';' && *key != '[' && !HasAny(key, " \t\r\n=");
}

// The reader skips blanks after the '=' and drops characters below 32 at the line's end.
bool FitsValue(const char* value) {
  const size_t length = std::strlen(value);
  if (length == 0) return true;
  return !IsBlank(value[0]) && uint8_t(value[length - 1]) >= 32 && !HasAny(value, "\r\n");
}

void AppendLine(std::string& text, const char* first, const char* second = "",
                const char* third = "") {
  text.append(first).append(second).append(third).append("\r\n");
}

}  // namespace

void IniClear(IniObject& object) {
  object.dirty = 0;
  object.name = "";
  object.path.clear();
  object.byteOrderMark = false;
  object.sections.clear();
}

void IniLoad(IniObject& object, const Str& name) {
  std::string resolved;
  if (ResolveFileName(MemoryArchive, name.data, resolved, true)) {
    IniRead(object, StrValue(resolved.c_str()));
  } else {
    IniRead(object, name);
  }
}

void IniRead(IniObject& object, const Str& resolvedName) {
  StrValue name(resolvedName);  // taken first: the name may be the object's own
  IniClear(object);
  object.name = std::move(name);
  if (!IsMemoryFileName(object.name.c_str())) {
    object.path = platform::AbsolutePath(object.name.c_str());
  }
  IniSection pending;
  FileStream stream;
  std::string bytes;
  if (!FileStreamOpen(stream, object.name.c_str())) return;
  FatalOnAllocationFailure([&] {
    if (!FileStreamReadWhole(stream, bytes)) return;
    object.byteOrderMark = bytes.starts_with(kByteOrderMark);
    for (size_t position = object.byteOrderMark ? kByteOrderMark.size() : 0;
         position < bytes.size();) {
      ReadLine(object, pending, std::string(NextIniLine(bytes, position)).c_str());
    }
    CloseSection(object, pending);
  });
}

int32_t IniFindSection(const IniObject& object, const Str& section) {
  for (size_t k = 0; k < object.sections.size(); ++k) {
    if (SameNoCase(object.sections[k].name, section)) return int32_t(k);
  }
  return -1;
}

int32_t IniFindKey(const IniSection& section, const Str& key) {
  for (size_t k = 0; k < section.keys.size(); ++k) {
    if (SameNoCase(section.keys[k].key, key)) return int32_t(k);
  }
  return -1;
}

Str IniLookup(const IniObject& object, const Str& section, const Str& key, const Str& fallback) {
  const Str* found = &fallback;
  const int32_t s = IniFindSection(object, section);
  if (s >= 0) {
    const int32_t k = IniFindKey(object.sections[size_t(s)], key);
    if (k >= 0) found = &object.sections[size_t(s)].keys[size_t(k)].value.str();
  }
  Str copy;
  StrCopyConstruct(copy, *found);
  return copy;
}

bool IniEntryArrayReserve(std::vector<IniEntry>& keys, int32_t n) {
  if (n < 0) n = 0;
  if (int64_t(keys.capacity()) > n) return true;
  const int32_t capacity = n <= kKeysInitial ? kKeysInitial : kKeysStep * (n / kKeysStep + 1);
  try {
    keys.reserve(size_t(capacity));
  } catch (const std::bad_alloc&) {
    return false;
  }
  return true;
}

void StringPairArrayClear(std::vector<IniEntry>& keys, bool freeStorage) {
  while (!keys.empty()) keys.pop_back();
  if (freeStorage) std::vector<IniEntry>().swap(keys);
}

bool IniCanHold(const Str& section, const Str& key, const Str& value) {
  return FitsSectionName(section.data ? section.data : "") && FitsKey(key.data) &&
         FitsValue(value.data ? value.data : "");
}

// A header without a name keeps the name of the section before it, so the nameless section
// can only be read back as the file's first: it is written first.
std::string IniText(const IniObject& object) {
  std::string text(object.byteOrderMark ? kByteOrderMark : "");
  auto appendSection = [&text](const IniSection& section) {
    AppendLine(text, "[", section.name.c_str(), "]");
    for (const IniEntry& entry : section.keys) {
      AppendLine(text, entry.key.c_str(), "=", entry.value.c_str());
    }
  };
  auto nameless = [](const IniSection& section) { return section.name.str().length == 0; };
  for (const IniSection& section : object.sections) {
    if (nameless(section)) appendSection(section);
  }
  for (const IniSection& section : object.sections) {
    if (!nameless(section)) appendSection(section);
  }
  return text;
}

bool IniWriteBack(const IniObject& object) {
  const char* name = object.name.c_str();
  if (!object.dirty || *name == '\0' || IsMemoryFileName(name)) return true;
  // No path: the name was relative to a current folder that no longer existed.
  return !object.path.empty() && WriteBackUnlessHeld(object.path, IniText(object));
}
